// SPDX-License-Identifier: Apache-2.0
#include "store/error_line.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace corvadex {

namespace {
constexpr std::uint32_t kErrorTextBufferSize = 256;
}  // namespace

std::string JetErrorText(ese::JetApi& jet, ese::JET_ERR code) {
  std::array<char, kErrorTextBufferSize> buffer{};
  // The numeric slot carries the code sign-extended, as a pointer-sized
  // integer made from a 32-bit long would be.
  auto number = static_cast<ese::JET_API_PTR>(static_cast<std::intptr_t>(code));
  const ese::JET_ERR status = jet.getSystemParameter(0, 0, ese::JET_paramErrorToString,
                                                     &number, buffer.data(),
                                                     kErrorTextBufferSize);
  if (status != ese::JET_errSuccess) return std::string(kNoErrorText);
  const void* nul = std::memchr(buffer.data(), '\0', buffer.size());
  const std::size_t length =
      nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer.data())
          : buffer.size();
  return std::string(buffer.data(), length);
}

std::string errorLine(std::string_view prefix, ese::JET_ERR code, std::string_view text) {
  std::string line;
  const std::string number = std::to_string(code);
  line.reserve(prefix.size() + number.size() + 3 + text.size());
  line.append(prefix).append(number).append(" - ").append(text);
  return line;
}

void addErrorLine(MessageLog& log, ese::JetApi& jet, std::string_view prefix,
                  ese::JET_ERR code) {
  log.Add(errorLine(prefix, code, JetErrorText(jet, code)));
}

}  // namespace corvadex
