// SPDX-License-Identifier: Apache-2.0
#include "page_file.h"

#include <stdexcept>
#include <string_view>
#include <system_error>

namespace corvadex::esew {

std::string PageFile::open(const std::string& path, const FileFormat& format) {
  format_ = format;
  try {
    file_.emplace(path);
  } catch (const std::system_error& e) {
    return std::string("cannot create ") + e.what();
  }
  return {};
}

std::uint32_t PageFile::allocate(std::uint32_t count) {
  const std::uint32_t first = next_;
  if (static_cast<std::uint64_t>(next_) + count > 0x7fefffffu)
    throw std::runtime_error("database would exceed the largest page number");
  next_ += count;
  return first;
}

void PageFile::writeAt(std::uint64_t offset, const unsigned char* data, std::size_t size) {
  if (!file_) throw std::logic_error("write to a file that is not open");
  file_->writeAt(offset, std::string_view(reinterpret_cast<const char*>(data), size));
}

void PageFile::writePage(std::uint32_t pgno, const unsigned char* image) {
  if (pgno == 0 || pgno >= next_) throw std::logic_error("write to an unallocated page");
  writeAt((static_cast<std::uint64_t>(pgno) + 1) * format_.pageSize, image, format_.pageSize);
}

void PageFile::writeHeader(const unsigned char* image) {
  writeAt(0, image, format_.pageSize);
  writeAt(format_.pageSize, image, format_.pageSize);
}

std::string PageFile::close() {
  if (!file_) return {};
  std::string error;
  try {
    // Pages allocated but never written (the unused end of a tree's last
    // extent) read as zeros, as in a file the engine has grown.
    file_->resize((static_cast<std::uint64_t>(next_) + 1) * format_.pageSize);
    file_->commit();
  } catch (const std::system_error& e) {
    error = std::string("cannot complete the file: ") + e.what();
  }
  file_.reset();
  return error;
}

}  // namespace corvadex::esew
