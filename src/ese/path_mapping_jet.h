// SPDX-License-Identifier: Apache-2.0
// The engine's calls with the database path mapped first: every database
// path handed to the engine goes through a function the caller gives, so
// that, for one, "C:\users\...\contacts.edb" opens the file inside a Wine
// prefix. All other calls pass through unchanged.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "ese/forwarding_jet.h"

namespace ese {

// The file a database path names, or nothing when it names none the
// mapping knows.
using PathMapping = std::function<std::optional<std::string>(std::string_view path)>;

class PathMappingJet final : public ForwardingJet {
 public:
  // `engine` must outlive this object.
  PathMappingJet(JetApi& engine, PathMapping mapping) : ForwardingJet(engine), mapping_(std::move(mapping)) {}

  // The three calls that name the database file.
  JET_ERR getDatabaseFileInfo(const char* szDatabaseName, void* pvResult, std::uint32_t cbMax,
                              std::uint32_t InfoLevel) override;
  JET_ERR attachDatabase(JET_SESID sesid, const char* szFilename, JET_GRBIT grbit) override;
  JET_ERR OpenDatabase(JET_SESID sesid, const char* szFilename, const char* szConnect, JET_DBID* pdbid,
                       JET_GRBIT grbit) override;

 private:
  // The mapped path for a path argument, kept alive for the call; a null
  // path, or one the mapping does not know, is passed on as given, for the
  // engine to report.
  class MappedPath {
   public:
    MappedPath(const PathMapping& mapping, const char* path);
    const char* get() const { return given_ == nullptr ? nullptr : mapped_.c_str(); }

   private:
    const char* given_;
    std::string mapped_;
  };

  PathMapping mapping_;
};

}  // namespace ese
