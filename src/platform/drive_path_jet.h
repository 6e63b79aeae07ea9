// SPDX-License-Identifier: Apache-2.0
// The engine's calls with Windows paths: every database path handed to the
// engine is first mapped to the Linux file it names (drive_paths.h), so that
// "C:\users\...\contacts.edb" opens the file inside the Wine prefix. All
// other calls pass through unchanged.
#pragma once

#include <string>

#include "ese/forwarding_jet.h"
#include "platform/drive_paths.h"

namespace corvadex::platform {

class DrivePathJet final : public ese::ForwardingJet {
 public:
  // Both must outlive this object.
  DrivePathJet(ese::JetApi& engine, const DrivePaths& paths) : ForwardingJet(engine), paths_(paths) {}

  // The three calls that name the database file.
  ese::JET_ERR getDatabaseFileInfo(const char* szDatabaseName, void* pvResult,
                                   std::uint32_t cbMax, std::uint32_t InfoLevel) override;
  ese::JET_ERR attachDatabase(ese::JET_SESID sesid, const char* szFilename,
                              ese::JET_GRBIT grbit) override;
  ese::JET_ERR OpenDatabase(ese::JET_SESID sesid, const char* szFilename, const char* szConnect,
                            ese::JET_DBID* pdbid, ese::JET_GRBIT grbit) override;

 private:
  // The Linux path for a path argument, kept alive for the call; a null path,
  // or one with no Linux counterpart, is passed on as given, for the engine
  // to report.
  class HostPath {
   public:
    HostPath(const DrivePaths& paths, const char* path);
    const char* get() const { return given_ == nullptr ? nullptr : host_.c_str(); }

   private:
    const char* given_;
    std::string host_;
  };

  const DrivePaths& paths_;
};

}  // namespace corvadex::platform
