// SPDX-License-Identifier: Apache-2.0
#include "ese/read_ahead.h"

#include <algorithm>

#include "base/byte_view.h"
#include "ese/page.h"
#include "ese/page_checksum.h"

namespace ese {

JET_ERR checkPage(const std::byte* data, std::size_t page_size, std::uint32_t pgno) {
  // Every page size is at least 2 KiB: the header's checksum and flags
  // are there.
  const std::uint64_t checksum = corvadex::base::loadLe64(data);
  const std::uint32_t flags = corvadex::base::loadLe32(data + 36);
  if (checksum == 0 && flags == 0) return JET_errPageNotInitialized;
  const bool new_format = page_size > 8192 || (flags & kPageNewChecksum) != 0;
  if (!verifyPageChecksum(Bytes(data, page_size), pgno, new_format)) {
    return JET_errReadVerifyFailure;
  }
  return JET_errSuccess;
}

PageReadAhead::PageReadAhead(const ReadOnlyFile& file, std::uint32_t page_size)
    : file_(file), page_size_(page_size), thread_([this] { work(); }) {}

PageReadAhead::~PageReadAhead() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void PageReadAhead::request(std::uint32_t first, std::uint32_t count) {
  {
    std::lock_guard lock(mutex_);
    auto same = [first](const Run& r) { return r.first == first; };
    if ((reading_ && reading_first_ == first) || std::any_of(waiting_.begin(), waiting_.end(), same) ||
        std::any_of(ready_.begin(), ready_.end(), same)) {
      return;
    }
    Run run;
    run.first = first;
    run.count = count;
    waiting_.push_back(std::move(run));
  }
  wake_.notify_one();
}

bool PageReadAhead::take(std::uint32_t pgno, Run& out) {
  auto holds = [pgno](const Run& r) { return pgno >= r.first && pgno - r.first < r.count; };
  std::unique_lock lock(mutex_);
  for (;;) {
    if (auto it = std::find_if(ready_.begin(), ready_.end(), holds); it != ready_.end()) {
      out = std::move(*it);
      ready_.erase(it);
      return true;
    }
    if (reading_ && pgno >= reading_first_ && pgno - reading_first_ < reading_count_) {
      done_.wait(lock);
      continue;
    }
    // Not started yet: the reader is quicker reading it itself than
    // waiting behind the runs before it.
    if (auto it = std::find_if(waiting_.begin(), waiting_.end(), holds); it != waiting_.end()) {
      waiting_.erase(it);
    }
    return false;
  }
}

void PageReadAhead::recycle(std::vector<Buffer>& buffers) {
  std::lock_guard lock(mutex_);
  // As many as the runs the worker may hold at once can use.
  const std::size_t room = kMaxRuns * kMaxRunPages;
  while (!buffers.empty() && spare_.size() < room) {
    spare_.push_back(std::move(buffers.back()));
    buffers.pop_back();
  }
  buffers.clear();
}

void PageReadAhead::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || !waiting_.empty(); });
    if (stop_) return;
    Run run = std::move(waiting_.front());
    waiting_.pop_front();
    reading_ = true;
    reading_first_ = run.first;
    reading_count_ = run.count;
    run.pages.resize(run.count);
    for (std::uint32_t i = 0; i < run.count && !spare_.empty(); ++i) {
      run.pages[i] = std::move(spare_.back());
      spare_.pop_back();
    }
    lock.unlock();

    std::vector<ReadBuffer> vec(run.count);
    for (std::uint32_t i = 0; i < run.count; ++i) {
      if (!run.pages[i]) run.pages[i] = std::make_shared_for_overwrite<std::byte[]>(page_size_);
      vec[i] = ReadBuffer{run.pages[i].get(), page_size_};
    }
    const std::int64_t got =
        file_.read(vec.data(), vec.size(), (std::uint64_t{run.first} + 1) * page_size_);
    const std::size_t pages = got < 0 ? 0 : static_cast<std::size_t>(got) / page_size_;
    run.pages.resize(std::min<std::size_t>(pages, run.count));
    run.status.resize(run.pages.size());
    for (std::size_t i = 0; i < run.pages.size(); ++i) {
      run.status[i] = checkPage(run.pages[i].get(), page_size_,
                                run.first + static_cast<std::uint32_t>(i));
    }

    lock.lock();
    reading_ = false;
    ready_.push_back(std::move(run));
    while (!ready_.empty() && ready_.size() + waiting_.size() > kMaxRuns) ready_.pop_front();
    done_.notify_all();
  }
}

}  // namespace ese
