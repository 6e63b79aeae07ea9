// SPDX-License-Identifier: Apache-2.0
// locate on Linux: the Wine prefix ($WINEPREFIX, else ~/.wine) stands for
// Windows, and its drive letters name files in the prefix.
#include "cli_locate_host.h"

#include "platform/wine_prefix_view.h"

namespace corvadex::cli {

LocateHost locateHost() {
  auto windows = std::make_shared<platform::WinePrefixView>(platform::winePrefixFromEnvironment());
  LocateHost host;
  host.toFile = [windows](std::string_view path) { return windows->paths().toHost(path); };
  host.winePrefix = platform::winePrefixFromEnvironment().prefix;
  host.windows = std::move(windows);
  host.search = std::make_shared<SystemSearchHost>();
  return host;
}

}  // namespace corvadex::cli
