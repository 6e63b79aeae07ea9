// SPDX-License-Identifier: Apache-2.0
// What `corvadex-cli locate` asks of the system it runs on: the Windows view
// the start-up location reads (a Wine prefix's on Linux, the running
// system's on Windows), how a Windows path the location gives names a file
// here, and the search's host. One source per system gives it
// (cli_locate_host.cpp, cli_locate_host_windows.cpp).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ese/path_mapping_jet.h"
#include "location/search_host.h"
#include "platform/windows_view.h"

namespace corvadex::cli {

struct LocateHost {
  std::shared_ptr<const platform::WindowsView> windows;
  ese::PathMapping toFile;  // none: the path names no file here
  std::shared_ptr<const SearchHost> search;
  std::string winePrefix;  // the prefix the search starts from; empty on Windows
};

LocateHost locateHost();

}  // namespace corvadex::cli
