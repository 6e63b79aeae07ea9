// SPDX-License-Identifier: Apache-2.0
// Where an export's bytes go: a file that replaces its target only when
// complete, standard output, or memory. Write throws std::runtime_error
// (with the destination's name) when the bytes cannot be written.
#pragma once

#include <string>
#include <string_view>

namespace corvadex {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Write(std::string_view bytes) = 0;
  // The name to put in front of an error's description.
  virtual const std::string& Name() const = 0;
};

// Collects the bytes in a string.
class StringSink final : public ByteSink {
 public:
  void Write(std::string_view bytes) override { text_.append(bytes); }
  const std::string& Name() const override { return name_; }
  const std::string& Text() const { return text_; }

 private:
  std::string name_ = "memory";
  std::string text_;
};

// Writes to an open file descriptor that it does not own (standard output),
// through a buffer; Flush writes what the buffer holds.
class FdSink final : public ByteSink {
 public:
  FdSink(int fd, std::string name);
  ~FdSink() override;
  FdSink(const FdSink&) = delete;
  FdSink& operator=(const FdSink&) = delete;

  void Write(std::string_view bytes) override;
  const std::string& Name() const override { return name_; }
  void Flush();

 private:
  int fd_;
  std::string name_;
  std::string buffer_;
};

// Writes all of `bytes` to `fd`, retrying interrupted and partial writes;
// throws std::system_error naming `name` on failure.
void WriteAll(int fd, std::string_view bytes, const std::string& name);

}  // namespace corvadex
