// SPDX-License-Identifier: Apache-2.0
#include "platform/drive_path_jet.h"

namespace corvadex::platform {

using namespace ese;

std::string DrivePathJet::hostPath(const char* path) const {
  auto host = paths_.ToHost(path);
  return host ? *host : std::string(path);
}

JET_ERR DrivePathJet::GetDatabaseFileInfo(const char* szDatabaseName, void* pvResult,
                                          std::uint32_t cbMax, std::uint32_t InfoLevel) {
  if (szDatabaseName == nullptr) {
    return engine_.GetDatabaseFileInfo(szDatabaseName, pvResult, cbMax, InfoLevel);
  }
  const std::string host = hostPath(szDatabaseName);
  return engine_.GetDatabaseFileInfo(host.c_str(), pvResult, cbMax, InfoLevel);
}

JET_ERR DrivePathJet::AttachDatabase(JET_SESID sesid, const char* szFilename, JET_GRBIT grbit) {
  if (szFilename == nullptr) return engine_.AttachDatabase(sesid, szFilename, grbit);
  const std::string host = hostPath(szFilename);
  return engine_.AttachDatabase(sesid, host.c_str(), grbit);
}

JET_ERR DrivePathJet::OpenDatabase(JET_SESID sesid, const char* szFilename,
                                   const char* szConnect, JET_DBID* pdbid, JET_GRBIT grbit) {
  if (szFilename == nullptr) {
    return engine_.OpenDatabase(sesid, szFilename, szConnect, pdbid, grbit);
  }
  const std::string host = hostPath(szFilename);
  return engine_.OpenDatabase(sesid, host.c_str(), szConnect, pdbid, grbit);
}

JET_ERR DrivePathJet::SetSystemParameter(JET_INSTANCE* pinstance, JET_SESID sesid,
                                         std::uint32_t paramid, JET_API_PTR lParam,
                                         const char* szParam) {
  return engine_.SetSystemParameter(pinstance, sesid, paramid, lParam, szParam);
}

JET_ERR DrivePathJet::GetSystemParameter(JET_INSTANCE instance, JET_SESID sesid,
                                         std::uint32_t paramid, JET_API_PTR* plParam,
                                         char* szParam, std::uint32_t cbMax) {
  return engine_.GetSystemParameter(instance, sesid, paramid, plParam, szParam, cbMax);
}

JET_ERR DrivePathJet::CreateInstance(JET_INSTANCE* pinstance, const char* szInstanceName) {
  return engine_.CreateInstance(pinstance, szInstanceName);
}

JET_ERR DrivePathJet::Init(JET_INSTANCE* pinstance) { return engine_.Init(pinstance); }

JET_ERR DrivePathJet::BeginSession(JET_INSTANCE instance, JET_SESID* psesid,
                                   const char* szUserName, const char* szPassword) {
  return engine_.BeginSession(instance, psesid, szUserName, szPassword);
}

JET_ERR DrivePathJet::OpenTable(JET_SESID sesid, JET_DBID dbid, const char* szTableName,
                                const void* pvParameters, std::uint32_t cbParameters,
                                JET_GRBIT grbit, JET_TABLEID* ptableid) {
  return engine_.OpenTable(sesid, dbid, szTableName, pvParameters, cbParameters, grbit, ptableid);
}

JET_ERR DrivePathJet::GetTableColumnInfo(JET_SESID sesid, JET_TABLEID tableid,
                                         const char* szColumnName, void* pvResult,
                                         std::uint32_t cbMax, std::uint32_t InfoLevel) {
  return engine_.GetTableColumnInfo(sesid, tableid, szColumnName, pvResult, cbMax, InfoLevel);
}

JET_ERR DrivePathJet::Move(JET_SESID sesid, JET_TABLEID tableid, std::int32_t cRow,
                           JET_GRBIT grbit) {
  return engine_.Move(sesid, tableid, cRow, grbit);
}

JET_ERR DrivePathJet::RetrieveColumn(JET_SESID sesid, JET_TABLEID tableid, JET_COLUMNID columnid,
                                     void* pvData, std::uint32_t cbData,
                                     std::uint32_t* pcbActual, JET_GRBIT grbit,
                                     JET_RETINFO* pretinfo) {
  return engine_.RetrieveColumn(sesid, tableid, columnid, pvData, cbData, pcbActual, grbit,
                                pretinfo);
}

JET_ERR DrivePathJet::GetBookmark(JET_SESID sesid, JET_TABLEID tableid, void* pvBookmark,
                                  std::uint32_t cbMax, std::uint32_t* pcbActual) {
  return engine_.GetBookmark(sesid, tableid, pvBookmark, cbMax, pcbActual);
}

JET_ERR DrivePathJet::CloseTable(JET_SESID sesid, JET_TABLEID tableid) {
  return engine_.CloseTable(sesid, tableid);
}

JET_ERR DrivePathJet::Term(JET_INSTANCE instance) { return engine_.Term(instance); }

}  // namespace corvadex::platform
