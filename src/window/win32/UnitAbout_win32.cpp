// SPDX-License-Identifier: Apache-2.0
#include "window/win32/UnitAbout_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include "base/wide_path.h"
#include "corvadex_version.h"
#include "location/found_database_text.h"

namespace corvadex::win32 {

namespace {

std::wstring programFolder() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// A link in a task dialog's text opens with the desktop's handler.
HRESULT CALLBACK aboutCallback(HWND, UINT notification, WPARAM, LPARAM lParam, LONG_PTR) {
  if (notification == TDN_HYPERLINK_CLICKED)
    ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(lParam), nullptr, nullptr, SW_SHOWNORMAL);
  return S_OK;
}

std::string about(const Texts& texts, const char* source) { return texts.translate("TFormAbout", source); }

}  // namespace

std::string guideLink(const std::wstring& folder) {
  for (const wchar_t* name : {L"\\guide.html", L"\\doc\\guide.html", L"\\guide.md", L"\\doc\\guide.md"}) {
    const std::wstring path = folder + name;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      std::string link = "file:///" + utf8Text(path);
      for (char& c : link)
        if (c == '\\') c = '/';
      return link;
    }
  }
  return CORVADEX_HOMEPAGE;
}

void showAboutDialog(HWND owner, const Texts& texts) {
  const std::string link = guideLink(programFolder());
  const std::wstring title = wideText(about(texts, " About Corvadex"));
  const std::wstring heading = L"Corvadex v" + wideText(CORVADEX_VERSION);
  const std::wstring content = wideText(
      about(texts, "Author: ") + about(texts, "Corvadex team") + "\n" + about(texts, "Online,") + " " +
      about(texts, "Earth") + "\n\n" + about(texts, "Lists the contacts of a contacts.edb file,") + "\n" +
      about(texts, "shows their details and exports them to XML.") + "\n" +
      about(texts, "The database is only read.") + "\n" + about(texts, "How to use it, in the guide:") + "\n" +
      "<a href=\"" + link + "\">" + link + "</a>");
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof(config);
  config.hwndParent = owner;
  config.hInstance = GetModuleHandleW(nullptr);
  config.dwFlags = TDF_ENABLE_HYPERLINKS | TDF_POSITION_RELATIVE_TO_WINDOW;
  config.dwCommonButtons = TDCBF_OK_BUTTON;
  config.pszWindowTitle = title.c_str();
  config.pszMainIcon = MAKEINTRESOURCEW(1);  // the program's icon
  config.pszMainInstruction = heading.c_str();
  config.pszContent = content.c_str();
  config.pfCallback = aboutCallback;
  TaskDialogIndirect(&config, nullptr, nullptr, nullptr);
}

std::optional<std::size_t> chooseDatabaseDialog(HWND owner, const Texts& texts,
                                                const std::vector<DatabaseFind>& finds) {
  if (finds.empty()) return std::nullopt;
  const auto tr = [&texts](const char* source) { return texts.translate("DatabaseChooser", source); };
  const std::wstring title = wideText(tr("Choose the contacts database"));
  const std::wstring content = wideText(tr("Several contacts databases were found. Choose the one to read:"));
  // One choice per database: its volume, user, version folder, size and
  // date, with the full path below.
  std::vector<std::wstring> rows;
  for (const DatabaseFind& find : finds) {
    std::string row;
    for (const std::string& column : chooserColumns(find)) {
      if (!row.empty()) row += "  \u2014  ";
      row += column;
    }
    rows.push_back(wideText(row + "\n" + find.path));
  }
  std::vector<TASKDIALOG_BUTTON> buttons;
  for (std::size_t i = 0; i < rows.size(); ++i)
    buttons.push_back({static_cast<int>(100 + i), rows[i].c_str()});
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof(config);
  config.hwndParent = owner;
  config.dwFlags = TDF_POSITION_RELATIVE_TO_WINDOW;
  config.dwCommonButtons = TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
  config.pszWindowTitle = title.c_str();
  config.pszContent = content.c_str();
  config.cRadioButtons = static_cast<UINT>(buttons.size());
  config.pRadioButtons = buttons.data();
  config.nDefaultRadioButton = 100;
  int pressed = 0;
  int radio = 0;
  if (FAILED(TaskDialogIndirect(&config, &pressed, &radio, nullptr)) || pressed != IDOK) return std::nullopt;
  if (radio < 100 || static_cast<std::size_t>(radio - 100) >= finds.size()) return std::nullopt;
  return static_cast<std::size_t>(radio - 100);
}

}  // namespace corvadex::win32
