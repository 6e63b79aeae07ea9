// SPDX-License-Identifier: Apache-2.0
// A file written beside its target and put in the target's place only when
// complete.
//
// The bytes go to a new temporary file in the target's folder (so that the
// final rename stays within one file system and is atomic), under a short
// hidden name of fixed length (".corvadex-" + 8 random characters + ".tmp"),
// so it fits wherever the target's name does. Commit flushes,
// syncs the data to disk, closes and renames the temporary file over the
// target; until then the target, if it exists, is untouched. A ReplacingFile
// destroyed without a successful Commit removes its temporary file, so a
// failed save leaves neither a partial file nor a stray one behind.
//
// A target that is a symbolic link to a file is written through: the file
// the link points to is replaced and the link stays.
#pragma once

#include <string>
#include <string_view>

#include "export/byte_sink.h"

namespace corvadex {

class ReplacingFile final : public ByteSink {
 public:
  // Creates the temporary file; throws std::system_error naming the target
  // when the target is a folder or its folder cannot take a new file.
  explicit ReplacingFile(std::string target);
  ~ReplacingFile() override;

  // Throws the error the constructor would for a target that is a folder or
  // whose folder is missing, is not a folder, or cannot be written to, and
  // the rename's for a name too long for its file system; lets a long job
  // fail before it starts. Creates nothing.
  static void CheckTarget(const std::string& target);

  // True when `target` exists and is neither a regular file nor a folder
  // (links followed): a FIFO, a terminal, a device; and any path under
  // /dev or /proc, such as /dev/stdout. Such a
  // target is written straight into; renaming a new file over it would
  // replace the FIFO or device node itself.
  static bool WritesInPlace(const std::string& target);
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  void Write(std::string_view bytes) override;
  const std::string& Name() const override { return target_; }

  // Makes the written bytes the target's content. Throws std::system_error
  // on failure, after which the target is as it was.
  void Commit();

  // The temporary file's path (empty once committed or removed).
  const std::string& TemporaryPath() const { return tempPath_; }

 private:
  void flushBuffer();
  void discard() noexcept;

  std::string target_;     // the name the user gave, for messages
  std::string finalPath_;  // where the rename goes (the link's file for a link)
  std::string tempPath_;
  int fd_ = -1;
  std::string buffer_;
};

}  // namespace corvadex
