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

  JET_ERR getDatabaseFileInfo(const char* szDatabaseName, void* pvResult, std::uint32_t cbMax,
                              std::uint32_t InfoLevel) override {
    return next_ ? next_->getDatabaseFileInfo(szDatabaseName, pvResult, cbMax, InfoLevel) : answer_;
  }
  JET_ERR setSystemParameter(JET_INSTANCE* pinstance, JET_SESID sesid, std::uint32_t paramid,
                             JET_API_PTR lParam, const char* szParam) override {
    return next_ ? next_->setSystemParameter(pinstance, sesid, paramid, lParam, szParam) : answer_;
  }
  JET_ERR getSystemParameter(JET_INSTANCE instance, JET_SESID sesid, std::uint32_t paramid,
                             JET_API_PTR* plParam, char* szParam, std::uint32_t cbMax) override {
    return next_ ? next_->getSystemParameter(instance, sesid, paramid, plParam, szParam, cbMax)
                 : answer_;
  }
  JET_ERR createInstance(JET_INSTANCE* pinstance, const char* szInstanceName) override {
    return next_ ? next_->createInstance(pinstance, szInstanceName) : answer_;
  }
  JET_ERR init(JET_INSTANCE* pinstance) override { return next_ ? next_->init(pinstance) : answer_; }
  JET_ERR beginSession(JET_INSTANCE instance, JET_SESID* psesid, const char* szUserName,
                       const char* szPassword) override {
    return next_ ? next_->beginSession(instance, psesid, szUserName, szPassword) : answer_;
  }
  JET_ERR attachDatabase(JET_SESID sesid, const char* szFilename, JET_GRBIT grbit) override {
    return next_ ? next_->attachDatabase(sesid, szFilename, grbit) : answer_;
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
  JET_ERR getTableColumnInfo(JET_SESID sesid, JET_TABLEID tableid, const char* szColumnName,
                             void* pvResult, std::uint32_t cbMax,
                             std::uint32_t InfoLevel) override {
    return next_ ? next_->getTableColumnInfo(sesid, tableid, szColumnName, pvResult, cbMax,
                                             InfoLevel)
                 : answer_;
  }
  JET_ERR move(JET_SESID sesid, JET_TABLEID tableid, std::int32_t cRow, JET_GRBIT grbit) override {
    return next_ ? next_->move(sesid, tableid, cRow, grbit) : answer_;
  }
  JET_ERR retrieveColumn(JET_SESID sesid, JET_TABLEID tableid, JET_COLUMNID columnid, void* pvData,
                         std::uint32_t cbData, std::uint32_t* pcbActual, JET_GRBIT grbit,
                         JET_RETINFO* pretinfo) override {
    return next_ ? next_->retrieveColumn(sesid, tableid, columnid, pvData, cbData, pcbActual, grbit,
                                         pretinfo)
                 : answer_;
  }
  JET_ERR getBookmark(JET_SESID sesid, JET_TABLEID tableid, void* pvBookmark, std::uint32_t cbMax,
                      std::uint32_t* pcbActual) override {
    return next_ ? next_->getBookmark(sesid, tableid, pvBookmark, cbMax, pcbActual) : answer_;
  }
  JET_ERR closeTable(JET_SESID sesid, JET_TABLEID tableid) override {
    return next_ ? next_->closeTable(sesid, tableid) : answer_;
  }
  JET_ERR term(JET_INSTANCE instance) override { return next_ ? next_->term(instance) : answer_; }

 protected:
  // No engine behind: every call not overridden gives `answer`.
  explicit ForwardingJet(JET_ERR answer) : answer_(answer) {}

 private:
  JetApi* next_ = nullptr;
  JET_ERR answer_ = JET_errSuccess;
};

}  // namespace ese
