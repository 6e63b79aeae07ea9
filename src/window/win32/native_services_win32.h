// SPDX-License-Identifier: Apache-2.0
// The program's services for the Win32 window on a running Windows: the
// storage engine, the user's short date format, the exports, the Windows
// view the start-up location asks (NativeWindowsView), and the search of
// the drives and the folders named with --search when that finds nothing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/processor_count.h"
#include "ese/jet.h"
#include "location/search_host.h"
#include "platform/native_windows_view_windows.h"
#include "platform/short_date.h"
#include "window/form_services.h"

namespace corvadex::win32 {

class NativeServices {
 public:
  explicit NativeServices(std::vector<std::string> searchFolders = {})
      : searchFolders_(std::move(searchFolders)) {}
  // Lives as long as the window it serves.
  FormServices services();

 private:
  // A read takes a second processor, when there is one, to read ahead.
  ese::EngineJet engine_{ese::EngineOptions{.threads = processorCount()}};
  LocaleShortDateFormat dates_;
  platform::NativeWindowsView windows_;
  std::shared_ptr<const SearchHost> host_;
  std::vector<std::string> searchFolders_;
};

}  // namespace corvadex::win32
