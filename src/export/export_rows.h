// SPDX-License-Identifier: Apache-2.0
// The frame every export shares: the bytes before the first row, the rows in
// list order, the bytes after the last row. A format says what those are;
// writeExportRows writes them, on the calling thread or on several.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "base/byte_sink.h"
#include "export/export_progress.h"

namespace corvadex {

// Appends the text of one row to `out`. A formatter may keep working space
// from row to row; each thread has a formatter of its own.
using RowFormatter = std::function<void(std::size_t row, std::string& out)>;

struct ExportRows {
  std::string head;  // before the first row
  std::string tail;  // after the last row
  std::function<RowFormatter()> makeFormatter;
};

// Writes the head, rows 0 to rowCount - 1 and the tail to the sink.
//
// With threads > 1 the rows are cut into chunks of consecutive rows; worker
// threads format the chunks into buffers of their own and the calling thread
// writes the buffers in row order, so the sink receives exactly the bytes of
// a single-thread write. At most two chunks per worker are held at a time,
// so memory stays bounded whatever the list's size. Progress is reported on
// the calling thread, at the same row counts as on one thread. An exception
// from a formatter or the sink stops the workers and reaches the caller.
// More than kMaxExportThreads threads are not started, whatever is asked.
inline constexpr unsigned kMaxExportThreads = 256;

void writeExportRows(const ExportRows& rows, std::size_t rowCount, ByteSink& sink,
                     const ExportProgress& progress, unsigned threads);

}  // namespace corvadex
