// SPDX-License-Identifier: Apache-2.0
// A teardown step bound to a scope: run it explicitly with Now() on the
// normal way out, where its own exceptions reach the caller; if the scope is
// left by an exception instead, the destructor runs it and drops whatever it
// throws, so that the first exception is the one the caller sees.
#pragma once

#include <utility>

namespace corvadex {

template <class Step>
class Teardown {
 public:
  explicit Teardown(Step step) : step_(std::move(step)) {}
  Teardown(const Teardown&) = delete;
  Teardown& operator=(const Teardown&) = delete;

  ~Teardown() {
    if (pending_) {
      pending_ = false;
      try {
        step_();
      } catch (...) {
      }
    }
  }

  void now() {
    pending_ = false;
    step_();
  }

 private:
  Step step_;
  bool pending_ = true;
};

}  // namespace corvadex
