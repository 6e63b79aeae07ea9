// SPDX-License-Identifier: Apache-2.0
// The program's own services for the window: the storage engine, the user's
// short date format, the XML export, and the Windows view of the Wine prefix
// (the start-up location asks it; Windows paths, typed or found, open the
// files inside the prefix), and the search of other prefixes, mounted
// volumes and the folders named with --search.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ese/jet.h"
#include "base/processor_count.h"
#include "location/search_host.h"
#include "ese/path_mapping_jet.h"
#include "platform/short_date.h"
#include "platform/wine_prefix_view.h"
#include "window/form_services.h"

namespace corvadex {

// What a Wine prefix's Windows view gives the window: the start-up location
// asks it, and paths (found, typed, or chosen for an export) are tested and
// compared as the engine opens them, through the prefix. `windows` must
// outlive the window.
void useWinePrefix(FormServices& services, const platform::WinePrefixView& windows);

class EngineServices {
 public:
  explicit EngineServices(std::vector<std::string> searchFolders = {})
      : searchFolders_(std::move(searchFolders)) {}
  // Lives as long as the window it serves.
  FormServices services(WindowDialogs& dialogs);

 private:
  // A read takes a second processor, when there is one, to read ahead.
  ese::EngineJet engine_{ese::EngineOptions{.threads = processorCount()}};
  platform::WinePrefixView windows_{platform::winePrefixFromEnvironment()};
  ese::PathMappingJet jet_{engine_, [this](std::string_view path) { return windows_.paths().toHost(path); }};
  LocaleShortDateFormat dates_;
  std::shared_ptr<const SearchHost> host_ = std::make_shared<SystemSearchHost>();
  std::vector<std::string> searchFolders_;
};

}  // namespace corvadex
