// SPDX-License-Identifier: Apache-2.0
// locate on Windows: the running system answers, its paths are files as they
// are, and the search goes through its drives.
#include "cli_locate_host.h"

#include "location/windows_search_host_windows.h"
#include "platform/native_windows_view_windows.h"

namespace corvadex::cli {

LocateHost locateHost() {
  LocateHost host;
  host.windows = std::make_shared<platform::NativeWindowsView>();
  host.toFile = [](std::string_view path) { return std::optional<std::string>(path); };
  host.search = std::make_shared<WindowsSearchHost>();
  return host;
}

}  // namespace corvadex::cli
