// SPDX-License-Identifier: Apache-2.0
#include "ese/path_mapping_jet.h"

namespace ese {

PathMappingJet::MappedPath::MappedPath(const PathMapping& mapping, const char* path) : given_(path) {
  if (path == nullptr) return;
  auto mapped = mapping(path);
  mapped_ = mapped ? std::move(*mapped) : std::string(path);
}

JET_ERR PathMappingJet::getDatabaseFileInfo(const char* szDatabaseName, void* pvResult,
                                            std::uint32_t cbMax, std::uint32_t InfoLevel) {
  const MappedPath mapped(mapping_, szDatabaseName);
  return ForwardingJet::getDatabaseFileInfo(mapped.get(), pvResult, cbMax, InfoLevel);
}

JET_ERR PathMappingJet::attachDatabase(JET_SESID sesid, const char* szFilename, JET_GRBIT grbit) {
  const MappedPath mapped(mapping_, szFilename);
  return ForwardingJet::attachDatabase(sesid, mapped.get(), grbit);
}

JET_ERR PathMappingJet::OpenDatabase(JET_SESID sesid, const char* szFilename, const char* szConnect,
                                     JET_DBID* pdbid, JET_GRBIT grbit) {
  const MappedPath mapped(mapping_, szFilename);
  return ForwardingJet::OpenDatabase(sesid, mapped.get(), szConnect, pdbid, grbit);
}

}  // namespace ese
