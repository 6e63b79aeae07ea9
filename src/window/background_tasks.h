// SPDX-License-Identifier: Apache-2.0
// Long work of the window (a read of a large database, an export) away from
// the window's thread, so that the window keeps drawing, moving and
// answering while it runs. One task runs at a time; what it has to show
// (log lines, the end) is carried back to the window's thread.
#pragma once

#include <exception>
#include <functional>
#include <memory>

namespace corvadex {

class WindowView;

class BackgroundTasks {
 public:
  virtual ~BackgroundTasks() = default;
  // Starts `work` away from the window's thread; `done` then runs on the
  // window's thread, guarded, with what `work` threw (null when nothing).
  // The task before must have ended (its `done` run).
  virtual void start(std::function<void()> work, std::function<void(std::exception_ptr)> done) = 0;
  // From inside `work`: runs `step` on the window's thread, in order with
  // the other steps and before `done`.
  virtual void toWindow(std::function<void()> step) = 0;
  // Waits for the task under way, if any; its `done` and the steps not yet
  // run are dropped. For the window's close.
  virtual void finish() = 0;
};

// Each task on a thread of its own; the view's post (which may be called
// from any thread) carries the steps and the end back. The program's.
std::unique_ptr<BackgroundTasks> threadTasks(WindowView& view);
// Each task at once, inside start, with its steps and end: the behaviour
// driven step by step, as most tests drive it.
std::unique_ptr<BackgroundTasks> inlineTasks();

}  // namespace corvadex
