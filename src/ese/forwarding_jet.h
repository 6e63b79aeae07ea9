// SPDX-License-Identifier: Apache-2.0
// A JetApi that hands every call on unchanged, so that a wrapper of the
// engine overrides only the calls it changes and calls the base for the
// rest. Made with no engine behind it, every call it is left to answer
// gives one fixed status and touches no argument: the base of stand-ins
// that implement only the calls they are about.
#pragma once

#include "ese/jet.h"

namespace ese {

class ForwardingJet : public JetApi {
 public:
  // `next` must outlive this object.
  explicit ForwardingJet(JetApi& next) : next_(&next) {}

  JET_ERR GetDatabaseFileInfo(const char* szDatabaseName, void* pvResult, std::uint32_t cbMax,
                              std::uint32_t InfoLevel) override {
    return next_ ? next_->GetDatabaseFileInfo(szDatabaseName, pvResult, cbMax, InfoLevel) : answer_;
  }
  JET_ERR SetSystemParameter(JET_INSTANCE* pinstance, JET_SESID sesid, std::uint32_t paramid,
                             JET_API_PTR lParam, const char* szParam) override {
    return next_ ? next_->SetSystemParameter(pinstance, sesid, paramid, lParam, szParam) : answer_;
  }
  JET_ERR GetSystemParameter(JET_INSTANCE instance, JET_SESID sesid, std::uint32_t paramid,
                             JET_API_PTR* plParam, char* szParam, std::uint32_t cbMax) override {
    return next_ ? next_->GetSystemParameter(instance, sesid, paramid, plParam, szParam, cbMax)
                 : answer_;
  }
  JET_ERR CreateInstance(JET_INSTANCE* pinstance, const char* szInstanceName) override {
    return next_ ? next_->CreateInstance(pinstance, szInstanceName) : answer_;
  }
  JET_ERR Init(JET_INSTANCE* pinstance) override { return next_ ? next_->Init(pinstance) : answer_; }
  JET_ERR BeginSession(JET_INSTANCE instance, JET_SESID* psesid, const char* szUserName,
                       const char* szPassword) override {
    return next_ ? next_->BeginSession(instance, psesid, szUserName, szPassword) : answer_;
  }
  JET_ERR AttachDatabase(JET_SESID sesid, const char* szFilename, JET_GRBIT grbit) override {
    return next_ ? next_->AttachDatabase(sesid, szFilename, grbit) : answer_;
  }
  JET_ERR OpenDatabase(JET_SESID sesid, const char* szFilename, const char* szConnect,
                       JET_DBID* pdbid, JET_GRBIT grbit) override {
    return next_ ? next_->OpenDatabase(sesid, szFilename, szConnect, pdbid, grbit) : answer_;
  }
  JET_ERR OpenTable(JET_SESID sesid, JET_DBID dbid, const char* szTableName,
                    const void* pvParameters, std::uint32_t cbParameters, JET_GRBIT grbit,
                    JET_TABLEID* ptableid) override {
    return next_ ? next_->OpenTable(sesid, dbid, szTableName, pvParameters, cbParameters, grbit,
                                    ptableid)
                 : answer_;
  }
  JET_ERR GetTableColumnInfo(JET_SESID sesid, JET_TABLEID tableid, const char* szColumnName,
                             void* pvResult, std::uint32_t cbMax,
                             std::uint32_t InfoLevel) override {
    return next_ ? next_->GetTableColumnInfo(sesid, tableid, szColumnName, pvResult, cbMax,
                                             InfoLevel)
                 : answer_;
  }
  JET_ERR Move(JET_SESID sesid, JET_TABLEID tableid, std::int32_t cRow, JET_GRBIT grbit) override {
    return next_ ? next_->Move(sesid, tableid, cRow, grbit) : answer_;
  }
  JET_ERR RetrieveColumn(JET_SESID sesid, JET_TABLEID tableid, JET_COLUMNID columnid, void* pvData,
                         std::uint32_t cbData, std::uint32_t* pcbActual, JET_GRBIT grbit,
                         JET_RETINFO* pretinfo) override {
    return next_ ? next_->RetrieveColumn(sesid, tableid, columnid, pvData, cbData, pcbActual, grbit,
                                         pretinfo)
                 : answer_;
  }
  JET_ERR GetBookmark(JET_SESID sesid, JET_TABLEID tableid, void* pvBookmark, std::uint32_t cbMax,
                      std::uint32_t* pcbActual) override {
    return next_ ? next_->GetBookmark(sesid, tableid, pvBookmark, cbMax, pcbActual) : answer_;
  }
  JET_ERR CloseTable(JET_SESID sesid, JET_TABLEID tableid) override {
    return next_ ? next_->CloseTable(sesid, tableid) : answer_;
  }
  JET_ERR Term(JET_INSTANCE instance) override { return next_ ? next_->Term(instance) : answer_; }

 protected:
  // No engine behind: every call not overridden gives `answer`.
  explicit ForwardingJet(JET_ERR answer) : answer_(answer) {}

 private:
  JetApi* next_ = nullptr;
  JET_ERR answer_ = JET_errSuccess;
};

}  // namespace ese
