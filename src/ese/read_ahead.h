// SPDX-License-Identifier: Apache-2.0
// A worker thread that reads runs of consecutive pages of the database file
// ahead of the reader, and verifies each page, while the reader works on the
// pages before them.
//
// The reader asks for a run with request() and collects it with take(),
// which waits while the run is being read. Each page comes in a buffer of
// its own with its status (checkPage's), so that the reader's cache can
// take the buffers as they are. Only the reader notes failures: a page the
// worker could not read at all (the file shrank, the system failed) is left
// out of the run, and the reader reads it itself, which notes the failure.
// Runs never collected are dropped once kMaxRuns are waiting.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ese/file_reader.h"
#include "ese/jet.h"

namespace ese {

// The status of page `pgno` as read from the file: JET_errPageNotInitialized
// for a page never written, JET_errReadVerifyFailure for a checksum that does
// not match, else JET_errSuccess.
JET_ERR checkPage(const std::byte* data, std::size_t page_size, std::uint32_t pgno);

class PageReadAhead {
 public:
  using Buffer = std::shared_ptr<std::byte[]>;
  struct Run {
    std::uint32_t first = 0;
    std::uint32_t count = 0;          // pages asked for
    std::vector<Buffer> pages;        // the pages read, from `first` on
    std::vector<JET_ERR> status;      // each page's status
  };
  static constexpr std::size_t kMaxRuns = 16;
  static constexpr std::size_t kMaxRunPages = 64;

  // `file` stays open while the worker lives.
  PageReadAhead(const ReadOnlyFile& file, std::uint32_t page_size);
  ~PageReadAhead();
  PageReadAhead(const PageReadAhead&) = delete;
  PageReadAhead& operator=(const PageReadAhead&) = delete;

  void request(std::uint32_t first, std::uint32_t count);
  // The run that was asked for and holds `pgno`, once read; false when no
  // such run was asked for (or it was dropped).
  bool take(std::uint32_t pgno, Run& out);
  // Page buffers nothing else holds any more, for the worker to fill again
  // (taken from `buffers`).
  void recycle(std::vector<Buffer>& buffers);

 private:
  void work();

  const ReadOnlyFile& file_;
  const std::uint32_t page_size_;
  std::mutex mutex_;
  std::condition_variable wake_;  // a request, or the end
  std::condition_variable done_;  // a run read
  std::deque<Run> waiting_;       // asked for, not yet read
  std::deque<Run> ready_;         // read, not yet taken
  std::vector<Buffer> spare_;     // buffers to fill again
  bool reading_ = false;          // the worker holds the front of waiting_
  std::uint32_t reading_first_ = 0;
  std::uint32_t reading_count_ = 0;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace ese
