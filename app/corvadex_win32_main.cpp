// SPDX-License-Identifier: Apache-2.0
// corvadex.exe: the window on Windows, made of the common controls.
//   corvadex.exe [--search DIR]... [FILE]
// reads FILE once the window is shown; without it, the window finds the
// mail client's database itself, and searches the drives and the folders
// named with --search when the mail client has none.
#include <memory>
#include <string>
#include <vector>

#include "base/wide_path.h"
#include "window/win32/native_services_win32.h"
#include "window/win32/Unit1_win32.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

namespace {

struct CommandLine {
  std::vector<std::string> searchFolders;
  std::string file;
};

CommandLine parseCommandLine() {
  CommandLine parsed;
  int count = 0;
  const std::unique_ptr<LPWSTR, decltype(&LocalFree)> argv(CommandLineToArgvW(GetCommandLineW(), &count),
                                                           &LocalFree);
  if (!argv) return parsed;
  bool optionsEnded = false;
  for (int i = 1; i < count; ++i) {
    const std::wstring arg = argv.get()[i];
    if (!optionsEnded && arg == L"--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg == L"--search" && i + 1 < count) {
      parsed.searchFolders.push_back(corvadex::utf8Text(argv.get()[++i]));
    } else if (parsed.file.empty()) {
      parsed.file = corvadex::utf8Text(arg);
    }
  }
  return parsed;
}

// COM for the file dialogs, for as long as the window lives.
struct ComApartment {
  ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE); }
  ~ComApartment() { CoUninitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const ComApartment com;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const CommandLine command = parseCommandLine();
  try {
    corvadex::win32::NativeServices services(command.searchFolders);
    corvadex::win32::TFormCorvadex form(services.services(), corvadex::win32::Texts::forUser());
    return form.run(command.file);
  } catch (const std::exception& e) {
    MessageBoxW(nullptr, corvadex::wideText(e.what()).c_str(), L"Corvadex", MB_OK | MB_ICONERROR);
    return 1;
  }
}
