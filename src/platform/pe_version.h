// SPDX-License-Identifier: Apache-2.0
// The fixed file information of a Windows executable's version resource,
// read from the file itself (PE32 and PE32+).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace corvadex::platform {

// The fixed part of a version resource, 13 little-endian 32-bit fields.
struct VS_FIXEDFILEINFO {
  std::uint32_t dwSignature;  // 0xFEEF04BD
  std::uint32_t dwStrucVersion;
  std::uint32_t dwFileVersionMS;  // major << 16 | minor
  std::uint32_t dwFileVersionLS;  // build << 16 | revision
  std::uint32_t dwProductVersionMS;
  std::uint32_t dwProductVersionLS;
  std::uint32_t dwFileFlagsMask;
  std::uint32_t dwFileFlags;
  std::uint32_t dwFileOS;
  std::uint32_t dwFileType;
  std::uint32_t dwFileSubtype;
  std::uint32_t dwFileDateMS;
  std::uint32_t dwFileDateLS;
};

constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

// The fixed file information of the executable image in `file`, or none
// when the bytes are not a PE image, carry no version resource, or any
// structure on the way is cut short or points outside the file.
std::optional<VS_FIXEDFILEINFO> readFixedFileInfo(std::span<const std::byte> file);

// The same for a file on disk (a host path); none when it cannot be read,
// is not a regular file or is longer than 64 MiB.
std::optional<VS_FIXEDFILEINFO> readFixedFileInfoFromFile(const std::string& hostPath);

}  // namespace corvadex::platform
