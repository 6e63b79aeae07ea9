// SPDX-License-Identifier: Apache-2.0
// Told how far a long export has come: rows written so far and rows in all.
// Writers call it every few thousand rows and once at the end.
#pragma once

#include <cstddef>
#include <functional>

namespace corvadex {

using ExportProgress = std::function<void(std::size_t rowsDone, std::size_t rowsTotal)>;

inline constexpr std::size_t kProgressEveryRows = 4096;

inline void reportProgress(const ExportProgress& progress, std::size_t done, std::size_t total) {
  if (progress && (done % kProgressEveryRows == 0 || done == total)) progress(done, total);
}

}  // namespace corvadex
