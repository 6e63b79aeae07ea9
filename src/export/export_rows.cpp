// SPDX-License-Identifier: Apache-2.0
#include "export/export_rows.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace corvadex {

namespace {

// The single-thread writer hands the sink pieces of about this size.
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;
// A chunk of rows is a power of two of at most this many rows, so that the
// chunk ends fall on every multiple of kProgressEveryRows.
constexpr std::size_t kMaxChunkRows = 1024;
static_assert(kProgressEveryRows % kMaxChunkRows == 0);

// Chunks small enough that every worker gets several, even of a short list.
std::size_t chunkRowsFor(std::size_t rowCount, std::size_t workers) {
  std::size_t rows = kMaxChunkRows;
  while (rows > 1 && rows * workers * 4 > rowCount) rows /= 2;
  return rows;
}

void writeOnOneThread(const ExportRows& rows, std::size_t rowCount, ByteSink& sink,
                      const ExportProgress& progress) {
  const RowFormatter format = rows.makeFormatter();
  std::string out = rows.head;
  out.reserve(kPieceBytes + (kPieceBytes >> 2));
  for (std::size_t row = 0; row < rowCount; ++row) {
    format(row, out);
    if (out.size() >= kPieceBytes) {
      sink.write(out);
      out.clear();
    }
    reportProgress(progress, row + 1, rowCount);
  }
  out += rows.tail;
  sink.write(out);
}

// Chunk c is formatted into slot c % slots.size(), which is free once chunk
// c - slots.size() has been written.
class ChunkPipeline {
 public:
  ChunkPipeline(const ExportRows& rows, std::size_t rowCount, unsigned threads)
      : rowCount_(rowCount),
        chunkRows_(chunkRowsFor(rowCount, threads)),
        chunks_((rowCount + chunkRows_ - 1) / chunkRows_),
        slots_(2 * std::min<std::size_t>(threads, chunks_)) {
    const std::size_t workers = slots_.size() / 2;
    formatters_.reserve(workers);
    for (std::size_t i = 0; i < workers; ++i) formatters_.push_back(rows.makeFormatter());
    workers_.reserve(workers);
    try {
      for (std::size_t i = 0; i < workers; ++i) workers_.emplace_back([this, i] { work(formatters_[i]); });
    } catch (...) {
      stopWorkers();  // the threads that did start
      throw;
    }
  }

  ~ChunkPipeline() { stopWorkers(); }

  ChunkPipeline(const ChunkPipeline&) = delete;
  ChunkPipeline& operator=(const ChunkPipeline&) = delete;

  // Writes every chunk in order, reporting progress after each.
  void writeAll(ByteSink& sink, const ExportProgress& progress) {
    for (std::size_t chunk = 0; chunk < chunks_; ++chunk) {
      Slot& slot = slots_[chunk % slots_.size()];
      {
        std::unique_lock lock(mutex_);
        chunkReady_.wait(lock, [&] { return slot.ready; });
        slot.ready = false;
      }
      if (slot.error) std::rethrow_exception(slot.error);
      sink.write(slot.text);
      {
        const std::lock_guard lock(mutex_);
        ++written_;
      }
      slotFreed_.notify_all();
      const std::size_t before = chunk * chunkRows_, done = std::min(rowCount_, before + chunkRows_);
      if (progress && (done / kProgressEveryRows != before / kProgressEveryRows || done == rowCount_))
        progress(done, rowCount_);
    }
  }

 private:
  struct Slot {
    std::string text;
    std::exception_ptr error;
    bool ready = false;
  };

  void stopWorkers() {
    {
      const std::lock_guard lock(mutex_);
      stop_ = true;
    }
    slotFreed_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }

  void work(const RowFormatter& format) {
    for (;;) {
      std::size_t chunk;
      {
        std::unique_lock lock(mutex_);
        slotFreed_.wait(lock, [&] { return stop_ || next_ >= chunks_ || next_ < written_ + slots_.size(); });
        if (stop_ || next_ >= chunks_) return;
        chunk = next_++;
      }
      Slot& slot = slots_[chunk % slots_.size()];
      slot.text.clear();
      try {
        const std::size_t end = std::min(rowCount_, (chunk + 1) * chunkRows_);
        for (std::size_t row = chunk * chunkRows_; row < end; ++row) format(row, slot.text);
      } catch (...) {
        slot.error = std::current_exception();
      }
      {
        const std::lock_guard lock(mutex_);
        slot.ready = true;
      }
      chunkReady_.notify_all();
    }
  }

  const std::size_t rowCount_, chunkRows_, chunks_;
  std::vector<Slot> slots_;
  std::vector<RowFormatter> formatters_;
  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable chunkReady_, slotFreed_;
  std::size_t next_ = 0;     // the next chunk a worker takes
  std::size_t written_ = 0;  // chunks written to the sink
  bool stop_ = false;
};

}  // namespace

void writeExportRows(const ExportRows& rows, std::size_t rowCount, ByteSink& sink,
                     const ExportProgress& progress, unsigned threads) {
  if (threads < 2 || rowCount < 2) return writeOnOneThread(rows, rowCount, sink, progress);
  sink.write(rows.head);
  {
    ChunkPipeline pipeline(rows, rowCount, std::min(threads, kMaxExportThreads));
    pipeline.writeAll(sink, progress);
  }
  sink.write(rows.tail);
}

}  // namespace corvadex
