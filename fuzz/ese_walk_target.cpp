// SPDX-License-Identifier: Apache-2.0
// Fuzz target: open a database from the input's bytes and read all of it,
// as the dump does: every table, every row, every value of every column;
// and each row once more with all its values in one enumeration.
// The bytes are handed to the engine as a file in memory (memfd), so the
// engine's own file access is what is exercised.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "ese/database.h"
#include "ese/enumerate_columns.h"

namespace {

void* reallocate(void*, void* block, std::uint32_t size) {
  if (size == 0) {
    std::free(block);
    return nullptr;
  }
  return std::realloc(block, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int fd = ::memfd_create("fuzz.edb", MFD_CLOEXEC);
  if (fd < 0) return 0;
  std::size_t written = 0;
  while (written < size) {
    const ssize_t n = ::write(fd, data + written, size - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  std::unique_ptr<ese::Database> db;
  if (written == size &&
      ese::Database::open("/proc/self/fd/" + std::to_string(fd), db) == ese::JET_errSuccess) {
    for (const auto& table : db->catalog().tables()) {
      ese::TableCursor cursor(*db, table);
      ese::ColumnEnumerator enumerator;
      ese::EnumerateRequest request;
      request.allocate = &reallocate;
      request.most = 1u << 16;
      for (ese::Status err = cursor.moveFirst(); err == ese::JET_errSuccess;
           err = cursor.moveNext()) {
        std::uint32_t enumerated = 0;
        ese::JET_ENUMCOLUMN* columns = nullptr;
        request.compress = !request.compress;
        if (enumerator.enumerate(cursor, request, enumerated, columns) == ese::JET_errSuccess) {
          std::free(columns);
        }
        for (const ese::ColumnInfo& column : table->columns) {
          std::uint32_t count = 0;
          if (cursor.countValues(column, count) != ese::JET_errSuccess) continue;
          for (std::uint32_t i = 1; i <= count && i <= 16; ++i) {
            ese::Bytes value;
            bool is_null = false;
            (void)cursor.readValue(column, i, value, is_null);
          }
        }
      }
    }
  }
  db.reset();
  ::close(fd);
  return 0;
}
