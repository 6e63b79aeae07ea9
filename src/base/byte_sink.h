// SPDX-License-Identifier: Apache-2.0
// Where a writer's bytes go: a file (OutputFile), or memory. Write throws
// std::runtime_error (with the destination's name) when the bytes cannot be
// written.
#pragma once

#include <string>
#include <string_view>

namespace corvadex {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void write(std::string_view bytes) = 0;
  // The name to put in front of an error's description.
  virtual const std::string& name() const = 0;
};

// Collects the bytes in a string.
class StringSink final : public ByteSink {
 public:
  void write(std::string_view bytes) override { text_.append(bytes); }
  const std::string& name() const override { return name_; }
  const std::string& Text() const { return text_; }

 private:
  std::string name_ = "memory";
  std::string text_;
};

}  // namespace corvadex
