// SPDX-License-Identifier: Apache-2.0
#include "platform/native_windows_view_windows.h"

#include <windows.h>
#include <shlobj.h>
#include <winver.h>

#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "platform/wide_text_windows.h"

namespace corvadex::platform {

namespace {

struct RegistryKeyCloser {
  void operator()(HKEY key) const { ::RegCloseKey(key); }
};
using RegistryKey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegistryKeyCloser>;

// The text SHGetKnownFolderPath hands over, which the caller frees.
struct TaskMemoryFree {
  void operator()(wchar_t* text) const { ::CoTaskMemFree(text); }
};
using TaskMemoryText = std::unique_ptr<wchar_t, TaskMemoryFree>;

using GetKnownFolderPathCall = HRESULT(WINAPI*)(REFGUID, DWORD, HANDLE, PWSTR*);
using GetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);

// A function of a system library that is already loaded (ntdll always is;
// shell32 because the program imports SHGetFolderPathW from it); null when
// this Windows does not have it.
template <typename Call>
Call systemCall(const wchar_t* module, const char* name) {
  HMODULE handle = ::GetModuleHandleW(module);
  if (handle == nullptr) return nullptr;
  return reinterpret_cast<Call>(reinterpret_cast<void*>(::GetProcAddress(handle, name)));
}

GUID toGuid(const KNOWNFOLDERID& id) {
  GUID guid;
  guid.Data1 = id.data1;
  guid.Data2 = id.data2;
  guid.Data3 = id.data3;
  std::memcpy(guid.Data4, id.data4.data(), sizeof guid.Data4);
  return guid;
}

// The numbered folder that stands in for a known folder where
// SHGetKnownFolderPath is missing or fails.
std::optional<int> numberedFolder(const KNOWNFOLDERID& id) {
  if (id == FOLDERID_ProgramFiles) return CSIDL_PROGRAM_FILES;
  if (id == FOLDERID_ProgramFilesX86) return CSIDL_PROGRAM_FILESX86;
  if (id == FOLDERID_Profile) return CSIDL_PROFILE;
  if (id == FOLDERID_LocalAppData) return CSIDL_LOCAL_APPDATA;
  return std::nullopt;
}

std::string withoutTrailingBackslash(std::wstring path) {
  while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return utf8Text(path);
}

bool isFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

int NativeWindowsView::windowsMajorVersion() const {
  // RtlGetVersion is in every NT; should it ever be missing, the answer is
  // that of the oldest Windows the program runs on, Windows 7.
  constexpr int kOldestSupported = 6;
  const auto rtlGetVersion = systemCall<GetVersionCall>(L"ntdll.dll", "RtlGetVersion");
  if (rtlGetVersion == nullptr) return kOldestSupported;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (rtlGetVersion(&info) != 0) return kOldestSupported;
  return static_cast<int>(info.dwMajorVersion);
}

std::optional<std::string> NativeWindowsView::knownFolderPath(const KNOWNFOLDERID& id) const {
  if (const auto getKnownFolderPath =
          systemCall<GetKnownFolderPathCall>(L"shell32.dll", "SHGetKnownFolderPath")) {
    // Without KF_FLAG_DONT_VERIFY the call fails for a folder that is not
    // there, which is the answer wanted.
    PWSTR raw = nullptr;
    const HRESULT result = getKnownFolderPath(toGuid(id), 0, nullptr, &raw);
    const TaskMemoryText text(raw);
    if (SUCCEEDED(result) && text && text.get()[0] != L'\0')
      return withoutTrailingBackslash(text.get());
  }
  if (auto csidl = numberedFolder(id)) return specialFolderPath(*csidl);
  return std::nullopt;
}

std::optional<std::string> NativeWindowsView::specialFolderPath(int csidl) const {
  wchar_t path[MAX_PATH] = {};
  // S_FALSE: the folder is known but does not exist.
  if (::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK ||
      path[0] == L'\0' || !isFolder(path))
    return std::nullopt;
  return withoutTrailingBackslash(path);
}

std::optional<RegistryValue> NativeWindowsView::currentUserValue(std::string_view key,
                                                                 std::string_view name) const {
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, wideText(key).c_str(), 0, KEY_READ, &raw) !=
      ERROR_SUCCESS)
    return std::nullopt;
  const RegistryKey opened(raw);
  const std::wstring valueName = wideText(name);
  // The value may grow between asking for its size and reading it: ask
  // again, a few times.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (::RegQueryValueExW(opened.get(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS)
      return std::nullopt;
    RegistryValue value;
    value.data.resize(size);
    const LONG status =
        ::RegQueryValueExW(opened.get(), valueName.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(value.data.data()), &size);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return std::nullopt;
    value.type = type;
    value.data.resize(size);
    return value;
  }
  return std::nullopt;
}

std::optional<VS_FIXEDFILEINFO> NativeWindowsView::fileVersion(const std::string& path) const {
  const std::wstring file = win32Path(path);
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<std::byte> block(size);
  if (!::GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return std::nullopt;
  void* fixed = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(block.data(), L"\\", &fixed, &length) || fixed == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO))
    return std::nullopt;
  // Windows' structure and ours are the same thirteen 32-bit fields.
  static_assert(sizeof(VS_FIXEDFILEINFO) == sizeof(::VS_FIXEDFILEINFO));
  VS_FIXEDFILEINFO info;
  std::memcpy(&info, fixed, sizeof info);
  if (info.dwSignature != kFixedFileInfoSignature) return std::nullopt;
  return info;
}

bool NativeWindowsView::fileExists(const std::string& path) const {
  if (path.empty()) return false;
  const DWORD attributes = ::GetFileAttributesW(win32Path(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace corvadex::platform
