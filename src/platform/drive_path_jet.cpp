// SPDX-License-Identifier: Apache-2.0
#include "platform/drive_path_jet.h"

namespace corvadex::platform {

using namespace ese;

DrivePathJet::HostPath::HostPath(const DrivePaths& paths, const char* path) : given_(path) {
  if (path == nullptr) return;
  auto host = paths.toHost(path);
  host_ = host ? std::move(*host) : std::string(path);
}

JET_ERR DrivePathJet::getDatabaseFileInfo(const char* szDatabaseName, void* pvResult,
                                          std::uint32_t cbMax, std::uint32_t InfoLevel) {
  const HostPath host(paths_, szDatabaseName);
  return ForwardingJet::getDatabaseFileInfo(host.get(), pvResult, cbMax, InfoLevel);
}

JET_ERR DrivePathJet::attachDatabase(JET_SESID sesid, const char* szFilename, JET_GRBIT grbit) {
  const HostPath host(paths_, szFilename);
  return ForwardingJet::attachDatabase(sesid, host.get(), grbit);
}

JET_ERR DrivePathJet::OpenDatabase(JET_SESID sesid, const char* szFilename,
                                   const char* szConnect, JET_DBID* pdbid, JET_GRBIT grbit) {
  const HostPath host(paths_, szFilename);
  return ForwardingJet::OpenDatabase(sesid, host.get(), szConnect, pdbid, grbit);
}

}  // namespace corvadex::platform
