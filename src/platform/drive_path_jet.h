// SPDX-License-Identifier: Apache-2.0
// The engine's calls with Windows paths: every database path handed to the
// engine is first mapped to the Linux file it names (drive_paths.h), so that
// "C:\users\...\contacts.edb" opens the file inside the Wine prefix. All
// other calls pass through unchanged.
#pragma once

#include <string>

#include "ese/jet.h"
#include "platform/drive_paths.h"

namespace corvadex::platform {

class DrivePathJet final : public ese::JetApi {
 public:
  // Both must outlive this object.
  DrivePathJet(ese::JetApi& engine, const DrivePaths& paths) : engine_(engine), paths_(paths) {}

  ese::JET_ERR GetDatabaseFileInfo(const char* szDatabaseName, void* pvResult,
                                   std::uint32_t cbMax, std::uint32_t InfoLevel) override;
  ese::JET_ERR SetSystemParameter(ese::JET_INSTANCE* pinstance, ese::JET_SESID sesid,
                                  std::uint32_t paramid, ese::JET_API_PTR lParam,
                                  const char* szParam) override;
  ese::JET_ERR GetSystemParameter(ese::JET_INSTANCE instance, ese::JET_SESID sesid,
                                  std::uint32_t paramid, ese::JET_API_PTR* plParam,
                                  char* szParam, std::uint32_t cbMax) override;
  ese::JET_ERR CreateInstance(ese::JET_INSTANCE* pinstance, const char* szInstanceName) override;
  ese::JET_ERR Init(ese::JET_INSTANCE* pinstance) override;
  ese::JET_ERR BeginSession(ese::JET_INSTANCE instance, ese::JET_SESID* psesid,
                            const char* szUserName, const char* szPassword) override;
  ese::JET_ERR AttachDatabase(ese::JET_SESID sesid, const char* szFilename,
                              ese::JET_GRBIT grbit) override;
  ese::JET_ERR OpenDatabase(ese::JET_SESID sesid, const char* szFilename, const char* szConnect,
                            ese::JET_DBID* pdbid, ese::JET_GRBIT grbit) override;
  ese::JET_ERR OpenTable(ese::JET_SESID sesid, ese::JET_DBID dbid, const char* szTableName,
                         const void* pvParameters, std::uint32_t cbParameters,
                         ese::JET_GRBIT grbit, ese::JET_TABLEID* ptableid) override;
  ese::JET_ERR GetTableColumnInfo(ese::JET_SESID sesid, ese::JET_TABLEID tableid,
                                  const char* szColumnName, void* pvResult, std::uint32_t cbMax,
                                  std::uint32_t InfoLevel) override;
  ese::JET_ERR Move(ese::JET_SESID sesid, ese::JET_TABLEID tableid, std::int32_t cRow,
                    ese::JET_GRBIT grbit) override;
  ese::JET_ERR RetrieveColumn(ese::JET_SESID sesid, ese::JET_TABLEID tableid,
                              ese::JET_COLUMNID columnid, void* pvData, std::uint32_t cbData,
                              std::uint32_t* pcbActual, ese::JET_GRBIT grbit,
                              ese::JET_RETINFO* pretinfo) override;
  ese::JET_ERR GetBookmark(ese::JET_SESID sesid, ese::JET_TABLEID tableid, void* pvBookmark,
                           std::uint32_t cbMax, std::uint32_t* pcbActual) override;
  ese::JET_ERR CloseTable(ese::JET_SESID sesid, ese::JET_TABLEID tableid) override;
  ese::JET_ERR Term(ese::JET_INSTANCE instance) override;

 private:
  // The Linux path for a path argument; a path with no Linux counterpart is
  // passed on as given, for the engine to report as not found.
  std::string hostPath(const char* path) const;

  ese::JetApi& engine_;
  const DrivePaths& paths_;
};

}  // namespace corvadex::platform
