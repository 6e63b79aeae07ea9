// SPDX-License-Identifier: Apache-2.0
#include "window/background_tasks.h"

#include <thread>
#include <utility>

#include "window/window_view.h"

namespace corvadex {

namespace {

class ThreadTasks final : public BackgroundTasks {
 public:
  explicit ThreadTasks(WindowView& view) : view_(view) {}
  ~ThreadTasks() override { finish(); }
  ThreadTasks(const ThreadTasks&) = delete;
  ThreadTasks& operator=(const ThreadTasks&) = delete;

  void start(std::function<void()> work, std::function<void(std::exception_ptr)> done) override {
    // The task before has ended (its end has run on the window's thread),
    // so this join does not wait.
    if (thread_.joinable()) thread_.join();
    thread_ = std::thread([this, work = std::move(work), done = std::move(done)]() mutable {
      std::exception_ptr error;
      try {
        work();
      } catch (...) {
        error = std::current_exception();
      }
      toWindow([done = std::move(done), error] { done(error); });
    });
  }

  void toWindow(std::function<void()> step) override {
    // Steps still queued when the window closes find it gone and do nothing.
    view_.post([alive = std::weak_ptr<bool>(alive_), step = std::move(step)] {
      if (alive.lock()) step();
    });
  }

  void finish() override {
    if (thread_.joinable()) thread_.join();
    alive_.reset();
  }

 private:
  WindowView& view_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::thread thread_;
};

class InlineTasks final : public BackgroundTasks {
 public:
  void start(std::function<void()> work, std::function<void(std::exception_ptr)> done) override {
    std::exception_ptr error;
    try {
      work();
    } catch (...) {
      error = std::current_exception();
    }
    done(error);
  }
  void toWindow(std::function<void()> step) override { step(); }
  void finish() override {}
};

}  // namespace

std::unique_ptr<BackgroundTasks> threadTasks(WindowView& view) { return std::make_unique<ThreadTasks>(view); }

std::unique_ptr<BackgroundTasks> inlineTasks() { return std::make_unique<InlineTasks>(); }

}  // namespace corvadex
