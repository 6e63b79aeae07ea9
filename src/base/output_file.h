// SPDX-License-Identifier: Apache-2.0
// The one way the program and its tools write a file: buffered, every write
// and the close checked, and, for a file in a folder, under a new name that
// takes the target's place only when complete.
//
// A new file goes to a temporary file in the target's folder (so that the
// final rename stays within one file system and is atomic), under a short
// hidden name of fixed length (".corvadex-" + 8 random characters + ".tmp"),
// so it fits wherever the target's name does. Commit flushes, syncs the
// data to disk, closes and renames the temporary file over the target;
// until then the target, if it exists, is untouched. An OutputFile
// destroyed without a successful Commit removes its temporary file, so a
// failed save leaves neither a partial file nor a stray one behind.
//
// A target that is a symbolic link to a file is written through: the file
// the link points to is replaced and the link stays.
//
// A target that is not a place in a folder (a FIFO, a device, /dev/stdout)
// is written straight into (InPlace), and an open descriptor the writer does
// not own, such as standard output, through the same buffer (ofDescriptor).
// Failures throw std::system_error naming the target.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/byte_sink.h"

namespace corvadex {

class OutputFile final : public ByteSink {
 public:
  // Creates the temporary file beside `target`; throws when the target is a
  // folder or its folder cannot take a new file.
  explicit OutputFile(std::string target);
  // Opens an existing `target` for writing into it as it is: no temporary
  // file, no rename.
  static OutputFile InPlace(std::string target);
  // Writes to `fd`, which stays open; `name` is for messages.
  static OutputFile ofDescriptor(int fd, std::string name);

  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&&) = delete;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() override;

  // Throws the error the constructor would for a target that is a folder or
  // whose folder is missing, is not a folder, or cannot be written to, and
  // the rename's for a name too long for its file system; lets a long job
  // fail before it starts. Creates nothing.
  static void checkTarget(const std::string& target);

  // True when `target` exists and is neither a regular file nor a folder
  // (links followed): a FIFO, a terminal, a device; and any path under
  // /dev or /proc, such as /dev/stdout. Such a target is written in place;
  // renaming a new file over it would replace the FIFO or device node.
  static bool writesInPlace(const std::string& target);

  void write(std::string_view bytes) override;
  const std::string& name() const override { return target_; }

  // Writes at a byte offset, for a file built out of order (the pages of a
  // database); what Write buffered goes first.
  void writeAt(std::uint64_t offset, std::string_view bytes);
  // Makes the file `size` bytes long; what lies past the written bytes reads
  // as zeros.
  void resize(std::uint64_t size);

  // Writes what is buffered and makes the bytes the target's content: a new
  // file takes the target's place, a file written in place is closed.
  // Throws on failure, after which a replaced target is as it was.
  void commit();

  // The temporary file's path (empty once committed or removed, and for a
  // file written in place).
  const std::string& temporaryPath() const { return tempPath_; }

 private:
  enum class Kind { Replacing, InPlace, Descriptor };
  OutputFile(Kind kind, int fd, std::string target);
  void flushBuffer();
  void discard() noexcept;

  Kind kind_;
  int fd_ = -1;
  std::string target_;     // the name the user gave, for messages
  std::string finalPath_;  // where the rename goes (the link's file for a link)
  std::string tempPath_;
  std::string buffer_;
};

}  // namespace corvadex
