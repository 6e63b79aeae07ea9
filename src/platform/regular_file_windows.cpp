// SPDX-License-Identifier: Apache-2.0
// Reading a whole small file on Windows: opened for reading with every
// sharing mode (the mail client may hold it open), only a disk file, and
// only when no longer than the cap.
#include "platform/regular_file.h"

#include <algorithm>
#include <memory>

#include "base/wide_path.h"

#include <windows.h>

namespace corvadex::platform {

namespace {
struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
}  // namespace

std::optional<std::string> readRegularFile(const std::string& path, std::size_t cap) {
  const std::wstring name = widePath(path);
  if (name.empty()) return std::nullopt;
  HANDLE raw = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return std::nullopt;
  const std::unique_ptr<void, HandleCloser> file(raw);
  LARGE_INTEGER size{};
  if (GetFileType(raw) != FILE_TYPE_DISK || !GetFileSizeEx(raw, &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > cap)
    return std::nullopt;
  // One byte more than the size, to see a file that grew meanwhile.
  std::string bytes(static_cast<std::size_t>(size.QuadPart) + 1, '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - got, 1u << 30));
    if (!ReadFile(raw, bytes.data() + got, want, &n, nullptr)) return std::nullopt;
    if (n == 0) break;
    got += n;
  }
  if (got > cap || got >= bytes.size()) return std::nullopt;
  bytes.resize(got);
  return bytes;
}

}  // namespace corvadex::platform
