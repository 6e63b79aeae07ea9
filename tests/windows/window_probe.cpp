// SPDX-License-Identifier: Apache-2.0
// Drives corvadex.exe from outside, as a user would, and reads its controls
// back with window messages: starts it, waits for its start-up (dismissing
// the error report of a machine without the mail client), chooses a file,
// clicks Read, reads the list view's rows and the details boxes, works the
// find bar, walks the controls with Tab, opens the list's popup menu,
// resizes the window, exports through both save dialogs, presses the
// window's keys and opens the about dialog. What it reads is compared with
// what the command line read from the same database. Keys are typed as the
// keyboard types them (SendInput, the window in the foreground), so that
// the window sees their modifiers.
//
//   window_probe.exe CORVADEX.EXE DATABASE ROWS.TSV LOG.TXT XML_OUT CSV_OUT_WITHOUT_EXTENSION
// ROWS.TSV and LOG.TXT: `corvadex-cli read DATABASE`'s rows and log lines.
// Prints each failed check and exits 1 when any failed.
#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/wide_path.h"
#include "corvadex_version.h"
#include "window/details_boxes.h"
#include "window/win32/control_ids_win32.h"

using namespace corvadex;
using corvadex::win32::AboutControl;
using corvadex::win32::aboutControlId;
using corvadex::win32::controlId;
using corvadex::win32::FindBarPart;
using corvadex::win32::findBarPartId;

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
  if (ok) return;
  ++failures;
  std::printf("FAILED: %s\n", what.c_str());
}

void checkEqual(const std::string& got, const std::string& want, const std::string& what) {
  check(got == want, what + ": got \"" + got + "\", want \"" + want + "\"");
}

std::vector<std::string> readLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::vector<std::string> split(const std::string& line, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(line);
  std::string part;
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (!line.empty() && line.back() == separator) parts.emplace_back();
  return parts;
}

// Asked with messages: GetWindowTextLengthW gives a window's caption kept
// by the system, not an edit's text, for a window of another process.
std::string textOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return utf8Text(text);
}

// Waits for `ready`, giving up (a failure) after about `seconds`: a hung
// window must end the test, not hold it.
template <typename F>
bool waitFor(F ready, int seconds, const std::string& what) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (ready()) return true;
    Sleep(100);
  }
  check(false, "waited in vain for " + what);
  return false;
}

struct Found {
  DWORD process;
  const wchar_t* className;
  HWND window = nullptr;
};

BOOL CALLBACK findTopLevel(HWND window, LPARAM param) {
  auto& found = *reinterpret_cast<Found*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (process != found.process || !IsWindowVisible(window) || wcscmp(name, found.className) != 0) return TRUE;
  found.window = window;
  return FALSE;
}

HWND topLevel(DWORD process, const wchar_t* className) {
  Found found{process, className};
  EnumWindows(findTopLevel, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

// A list view cell of another process: the item and its text buffer are
// placed in that process's memory.
std::string cellText(HANDLE process, HWND list, int row, int column) {
  constexpr std::size_t kChars = 1024;
  const std::size_t bytes = sizeof(LVITEMW) + kChars * sizeof(wchar_t);
  auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
  if (remote == nullptr) return "<no memory>";
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
  item.cchTextMax = kChars;
  WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
  const auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
  std::wstring text(kChars, L'\0');
  ReadProcessMemory(process, remote + sizeof(LVITEMW), text.data(), kChars * sizeof(wchar_t), nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  text.resize(static_cast<std::size_t>(length));
  return utf8Text(text);
}

void selectRow(HANDLE process, HWND list, int row) {
  auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE));
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
}

bool fileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(wideText(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Answers the save dialog the window opened: the file name, and the file
// type when given (its type list is the dialog's cmb1).
void answerSaveDialog(DWORD process, const std::string& path, int fileType) {
  HWND dialog = nullptr;
  if (!waitFor([&] { return (dialog = topLevel(process, L"#32770")) != nullptr; }, 30, "the save dialog")) return;
  if (fileType >= 0) {
    HWND types = GetDlgItem(dialog, cmb1);
    SendMessageW(types, CB_SETCURSEL, static_cast<WPARAM>(fileType), 0);
    // Dialogs take the choice on one notification or the other.
    for (int code : {CBN_SELCHANGE, CBN_SELENDOK})
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, code), reinterpret_cast<LPARAM>(types));
  }
  // The name box: cmb13 (a combo box with an edit) or, in older dialogs, edt1.
  HWND name = GetDlgItem(dialog, cmb13);
  if (name == nullptr) name = GetDlgItem(dialog, edt1);
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wideText(path).c_str()));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  waitFor([&] { return !IsWindow(dialog); }, 30, "the save dialog to close");
}


// Types the keys as the keyboard does, the first held down while the next
// are pressed (Ctrl, Shift, then the key), into the window's focused control.
void pressKeys(HWND form, std::initializer_list<WORD> keys) {
  SetForegroundWindow(form);
  waitFor([&] { return GetForegroundWindow() == form; }, 10, "the window in the foreground");
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    inputs.push_back(in);
  }
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = *key;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The control of the window's thread that holds the keyboard.
HWND focusOf(HWND form) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
  return info.hwndFocus;
}

std::string idOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return utf8Text(name) + " " + std::to_string(GetDlgCtrlID(window)) + " \"" + textOf(window) + "\"";
}

LONG_PTR selectedRow(HWND list) { return SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); }

// The row a find of any of `spellings` gives from `from` on, wrapping round
// the list, `from` itself last; -1 for none.
LONG_PTR rowHolding(const std::vector<std::string>& rows, std::initializer_list<const char*> spellings, LONG_PTR from,
                    int step) {
  const auto n = static_cast<LONG_PTR>(rows.size());
  for (LONG_PTR i = 1; i <= n; ++i) {
    const LONG_PTR r = ((from + step * i) % n + n) % n;
    for (const char* spelling : spellings)
      if (rows[static_cast<std::size_t>(r)].find(spelling) != std::string::npos) return r;
  }
  return -1;
}

// The texts of the tool tips of the process's windows, by the control each
// one is for.
std::map<HWND, std::string> toolTips(HANDLE process, DWORD pid) {
  std::map<HWND, std::string> tips;
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND window, LPARAM param) {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  constexpr std::size_t kChars = 512;
  const std::size_t bytes = sizeof(TTTOOLINFOW) + kChars * sizeof(wchar_t);
  auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
  for (HWND window : windows) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (owner != pid || wcscmp(name, TOOLTIPS_CLASSW) != 0) continue;
    const auto count = SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      TTTOOLINFOW tool{};
      tool.cbSize = sizeof(tool);
      tool.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof(TTTOOLINFOW));
      WriteProcessMemory(process, remote, &tool, sizeof(tool), nullptr);
      std::wstring text(kChars, L'\0');
      WriteProcessMemory(process, remote + sizeof(TTTOOLINFOW), text.data(), sizeof(wchar_t), nullptr);
      SendMessageW(window, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote));
      ReadProcessMemory(process, remote, &tool, sizeof(tool), nullptr);
      ReadProcessMemory(process, remote + sizeof(TTTOOLINFOW), text.data(), kChars * sizeof(wchar_t), nullptr);
      text.resize(wcslen(text.c_str()));
      tips[reinterpret_cast<HWND>(tool.uId)] = utf8Text(text);
    }
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return tips;
}

// The find bar: its pieces, "not found", the arrows, F3 and Shift+F3,
// Escape and the close button. The selection is on a row holding
// "jager" when this starts.
void checkFindBar(HANDLE process, DWORD pid, HWND form, HWND list, const std::vector<std::string>& rows) {
  const auto part = [form](FindBarPart p) { return GetDlgItem(form, findBarPartId(p)); };
  HWND field = GetDlgItem(form, controlId(Control::FindBar1));
  const auto barShown = [&] {
    return IsWindowVisible(field) && IsWindowVisible(part(FindBarPart::Caption)) &&
           IsWindowVisible(part(FindBarPart::Previous)) && IsWindowVisible(part(FindBarPart::Next)) &&
           IsWindowVisible(part(FindBarPart::Close));
  };
  const auto barHidden = [&] {
    for (FindBarPart p : {FindBarPart::Caption, FindBarPart::Previous, FindBarPart::Next, FindBarPart::NotFound,
                          FindBarPart::Close})
      if (IsWindowVisible(part(p))) return false;
    return !IsWindowVisible(field);
  };
  check(barHidden(), "the find bar starts hidden");
  pressKeys(form, {VK_CONTROL, 'F'});
  waitFor([&] { return barShown() && focusOf(form) == field; }, 30, "Ctrl+F to open the find bar");
  checkEqual(textOf(part(FindBarPart::Caption)), "Find:", "the find bar's caption");
  checkEqual(textOf(part(FindBarPart::NotFound)), "not found", "the find bar's not-found label");
  checkEqual(textOf(part(FindBarPart::Close)), "\u00d7", "the find bar's close button");
  check(!IsWindowVisible(part(FindBarPart::NotFound)), "\"not found\" is hidden while the text is found");
  // Left to right as in the Qt window: caption, field, arrows, close.
  RECT at[6];
  HWND order[] = {part(FindBarPart::Caption), field, part(FindBarPart::Previous), part(FindBarPart::Next),
                  part(FindBarPart::Close), GetDlgItem(form, controlId(Control::Label1))};
  for (std::size_t i = 0; i < std::size(order); ++i) GetWindowRect(order[i], &at[i]);
  for (std::size_t i = 0; i + 1 < std::size(order); ++i)
    check(at[i].right <= at[i + 1].left, "the find bar's piece " + idOf(order[i]) + " stands left of the next");
  std::map<HWND, std::string> tips = toolTips(process, pid);
  checkEqual(tips[part(FindBarPart::Previous)], "Previous contact with the text (Shift+F3)", "the up arrow's tip");
  checkEqual(tips[part(FindBarPart::Next)], "Next contact with the text (F3, Enter)", "the down arrow's tip");
  checkEqual(tips[part(FindBarPart::Close)], "Close the find bar (Escape)", "the close button's tip");

  const auto type = [field](const std::string& text) {
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wideText(text).c_str()));
  };
  type("no contact holds this");
  check(IsWindowVisible(part(FindBarPart::NotFound)) != FALSE, "\"not found\" shows for a text no contact holds");
  // The selection went back to where it was before the typing began.
  const LONG_PTR start = selectedRow(list);
  RECT narrowed{};
  GetWindowRect(field, &narrowed);
  check(narrowed.right < at[1].right, "the field makes room for \"not found\"");
  type("m\u00fcnchen");
  check(!IsWindowVisible(part(FindBarPart::NotFound)), "\"not found\" goes once the text is found");
  const auto spellings = {"m\u00fcnchen", "M\u00fcnchen", "munchen", "Munchen", "M\u00dcNCHEN"};
  LONG_PTR want = rowHolding(rows, spellings, start - 1, 1);
  checkEqual(std::to_string(selectedRow(list)), std::to_string(want), "the row found while typing");
  const struct {
    const char* what;
    std::function<void()> act;
    int step;
  } steps[] = {
      {"the down arrow", [&] { SendMessageW(part(FindBarPart::Next), BM_CLICK, 0, 0); }, 1},
      {"the down arrow again", [&] { SendMessageW(part(FindBarPart::Next), BM_CLICK, 0, 0); }, 1},
      {"the up arrow", [&] { SendMessageW(part(FindBarPart::Previous), BM_CLICK, 0, 0); }, -1},
      {"F3", [&] { pressKeys(form, {VK_F3}); }, 1},
      {"Shift+F3", [&] { pressKeys(form, {VK_SHIFT, VK_F3}); }, -1},
      // The up arrow holds the keyboard since its click: Enter presses it.
      {"Enter on the up arrow", [&] { pressKeys(form, {VK_RETURN}); }, -1},
      {"Enter in the field",
       [&] {
         pressKeys(form, {VK_CONTROL, 'F'});
         waitFor([&] { return focusOf(form) == field; }, 10, "Ctrl+F to put the keyboard in the field");
         pressKeys(form, {VK_RETURN});
       },
       1},
  };
  for (const auto& step : steps) {
    want = rowHolding(rows, spellings, want, step.step);
    step.act();
    if (!waitFor([&] { return selectedRow(list) == want; }, 10, std::string(step.what) + " to select row " + std::to_string(want)))
      std::printf("row %ld is selected\n", static_cast<long>(selectedRow(list)));
  }
  pressKeys(form, {VK_ESCAPE});
  waitFor(barHidden, 10, "Escape to close the find bar");
  check(focusOf(form) == list, "the keyboard goes back to the list: " + idOf(focusOf(form)));
  pressKeys(form, {VK_CONTROL, 'F'});
  waitFor(barShown, 10, "Ctrl+F to open the find bar again");
  SendMessageW(part(FindBarPart::Close), BM_CLICK, 0, 0);
  check(barHidden(), "the close button closes the find bar");
}

// Tab walks the window as the Qt window's Tab does: the list, the export
// buttons, the log, the page control and the " Contact " page's boxes,
// the path edit with its buttons, the checked source, the find bar while
// it is open; Shift+Tab walks back.
void checkTabOrder(HWND form, HWND list) {
  const auto item = [form](Control c) { return GetDlgItem(form, controlId(c)); };
  HWND tabs = item(Control::e);
  HWND page = GetDlgItem(tabs, win32::detailsPageId(0));
  std::vector<HWND> want = {list, GetDlgItem(page, controlId(Control::ButtonExportToXML)),
                            GetDlgItem(page, controlId(Control::ButtonExportForAddressBook)), item(Control::MemoInfo),
                            tabs};
  for (std::size_t b = 0; b < kDetailsBoxCount; ++b)
    if (kDetailsBoxes[b].page == 0) want.push_back(GetDlgItem(page, win32::detailsBoxId(b)));
  for (Control c : {Control::EditDBPath, Control::ButtonChooseFile, Control::ButtonReadDatabase, Control::RadioButton2})
    want.push_back(item(c));
  // From the list, with the find bar closed: once round.
  pressKeys(form, {VK_CONTROL, 'F'});
  pressKeys(form, {VK_ESCAPE});
  waitFor([&] { return focusOf(form) == list; }, 10, "the keyboard in the list");
  for (std::size_t i = 1; i <= want.size(); ++i) {
    pressKeys(form, {VK_TAB});
    HWND next = want[i % want.size()];
    if (!waitFor([&] { return focusOf(form) == next; }, 10, "Tab to " + idOf(next) + ", not " + idOf(focusOf(form))))
      return;
  }
  // With the find bar open, its field, arrows and close button come last.
  pressKeys(form, {VK_CONTROL, 'F'});
  for (FindBarPart p : {FindBarPart::Previous, FindBarPart::Next, FindBarPart::Close}) {
    pressKeys(form, {VK_TAB});
    HWND next = GetDlgItem(form, findBarPartId(p));
    waitFor([&] { return focusOf(form) == next; }, 10, "Tab to " + idOf(next) + ", not " + idOf(focusOf(form)));
  }
  pressKeys(form, {VK_TAB});
  waitFor([&] { return focusOf(form) == list; }, 10, "Tab round to the list, not " + idOf(focusOf(form)));
  pressKeys(form, {VK_SHIFT, VK_TAB});
  HWND close = GetDlgItem(form, findBarPartId(FindBarPart::Close));
  waitFor([&] { return focusOf(form) == close; }, 10, "Shift+Tab back to the close button, not " + idOf(focusOf(form)));
  pressKeys(form, {VK_ESCAPE});
  waitFor([&] { return focusOf(form) == list; }, 10, "Escape back to the list");
}

// The list's last column fills the list's width, at the window's size and
// after the window is made wider.
void checkLastColumn(HWND form, HWND list) {
  // What the last column lacks to reach the list's right edge.
  const auto gap = [list] {
    RECT client{};
    GetClientRect(list, &client);
    LRESULT columns = 0;
    for (int c = 0; c < 5; ++c) columns += SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0);
    return client.right - columns;
  };
  const auto fills = [&gap] { return gap() == 0; };
  check(fills(), "the last column fills the list: it lacks " + std::to_string(gap()));
  RECT frame{};
  RECT before{};
  GetWindowRect(form, &frame);
  GetWindowRect(list, &before);
  SetWindowPos(form, nullptr, 0, 0, frame.right - frame.left + 100, frame.bottom - frame.top + 40,
               SWP_NOMOVE | SWP_NOZORDER);
  RECT after{};
  waitFor([&] { return GetWindowRect(list, &after) && after.right - after.left == before.right - before.left + 100; },
          10, "the list to widen by 100 pixels with the window");
  waitFor(fills, 10, "the last column to fill the widened list");
  SetWindowPos(form, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
  if (!waitFor(fills, 10, "the last column to fill the list at the window's first size"))
    std::printf("it lacks %ld pixels\n", static_cast<long>(gap()));
}

// The list's popup menu opens on the list (here from the keyboard's menu
// key), and its one item, "Save to file", does nothing.
void checkPopupMenu(DWORD pid, HWND form, HWND list, HWND memo) {
  const std::string log = textOf(memo);
  const auto rowsBefore = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  PostMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
  HWND menu = nullptr;
  if (!waitFor([&] { return (menu = topLevel(pid, L"#32768")) != nullptr; }, 10, "the list's popup menu")) return;
  PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  waitFor([&] { return !IsWindowVisible(menu); }, 10, "the popup menu to close on \"Save to file\"");
  DWORD_PTR ignored = 0;
  check(SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored) != 0, "the window answers");
  check(topLevel(pid, L"#32770") == nullptr, "\"Save to file\" opens no dialog");
  check(textOf(memo) == log, "\"Save to file\" writes nothing to the log");
  check(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == rowsBefore, "\"Save to file\" leaves the list as it was");
}

// The keys that open dialogs: Ctrl+E the XML export's, Ctrl+Shift+E the
// address book export's (its file types), Ctrl+O the open dialog; each
// cancelled. F5 goes back to the automatic source and searches again.
void checkDialogKeys(DWORD pid, HWND form, HWND memo) {
  const struct {
    const char* what;
    std::initializer_list<WORD> keys;
    bool manyTypes;
  } keys[] = {
      {"Ctrl+E", {VK_CONTROL, 'E'}, false},
      {"Ctrl+Shift+E", {VK_CONTROL, VK_SHIFT, 'E'}, true},
      {"Ctrl+O", {VK_CONTROL, 'O'}, false},
  };
  for (const auto& key : keys) {
    pressKeys(form, key.keys);
    HWND dialog = nullptr;
    if (!waitFor([&] { return (dialog = topLevel(pid, L"#32770")) != nullptr; }, 30,
                 std::string("the dialog of ") + key.what))
      continue;
    const auto types = SendMessageW(GetDlgItem(dialog, cmb1), CB_GETCOUNT, 0, 0);
    check((types > 1) == key.manyTypes, std::string(key.what) + "'s dialog has " + std::to_string(types) + " file types");
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    waitFor([&] { return !IsWindow(dialog); }, 30, std::string("the dialog of ") + key.what + " to close");
  }
  const auto searches = [memo] {
    const std::string log = textOf(memo);
    std::size_t n = 0;
    for (std::size_t at = log.find(" places for contacts databases"); at != std::string::npos;
         at = log.find(" places for contacts databases", at + 1))
      ++n;
    return n;
  };
  const std::size_t before = searches();
  pressKeys(form, {VK_F5});
  waitFor([&] {
    if (HWND chooser = topLevel(pid, L"#32770")) PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return searches() > before;
  }, 120, "F5's search");
  check(SendMessageW(GetDlgItem(form, controlId(Control::RadioButton1)), BM_GETCHECK, 0, 0) == BST_CHECKED,
        "F5 checks the automatic source");
}

// The about dialog: TFormAbout's texts at their places (the link whole in
// its tip), centred on the screen, over the window, which takes no input meanwhile. Only "OK" takes
// the keyboard; Escape does nothing; Space on "OK" closes it, and so does
// the close box. Each "About" opens a new dialog.
void checkAboutDialog(HANDLE process, DWORD pid, HWND form) {
  HWND about = GetDlgItem(form, controlId(Control::Label1));
  for (const bool byCloseBox : {false, true}) {
    PostMessageW(form, WM_COMMAND, MAKEWPARAM(controlId(Control::Label1), STN_CLICKED), reinterpret_cast<LPARAM>(about));
    HWND dialog = nullptr;
    if (!waitFor([&] { return (dialog = topLevel(pid, L"#32770")) != nullptr; }, 30, "the about dialog")) return;
    const auto item = [dialog](AboutControl c) { return GetDlgItem(dialog, aboutControlId(c)); };
    checkEqual(textOf(dialog), " About Corvadex", "the about dialog's title");
    check(GetWindow(dialog, GW_OWNER) == form, "the about dialog is owned by the window");
    check(!IsWindowEnabled(form), "the window takes no input while the about dialog is open");
    const struct {
      AboutControl control;
      std::string text;
    } texts[] = {
        {AboutControl::LabelName, "Corvadex"},
        {AboutControl::LabelVers, "v " CORVADEX_VERSION},
        {AboutControl::Label1, "Author: "},
        {AboutControl::Label2, "Corvadex team"},
        {AboutControl::Label5, "Online,"},
        {AboutControl::Label6, "Earth"},
        {AboutControl::Label3, "Lists the contacts of a contacts.edb file,"},
        {AboutControl::Label4, "shows their details and exports them to XML."},
        {AboutControl::Label7, "The database is only read."},
        {AboutControl::Label8, "How to use it, in the guide:"},
        {AboutControl::LabelURL, CORVADEX_HOMEPAGE},
        {AboutControl::ButtonOK, "OK"},
    };
    for (const auto& t : texts) checkEqual(textOf(item(t.control)), t.text, "the about dialog's " + idOf(item(t.control)));
    checkEqual(toolTips(process, pid)[item(AboutControl::LabelURL)], CORVADEX_HOMEPAGE, "the link's tip");
    for (AboutControl c : {AboutControl::Image1, AboutControl::Bevel1, AboutControl::Bevel2})
      check(IsWindowVisible(item(c)) != FALSE, "the about dialog shows its " + std::to_string(aboutControlId(c)));
    RECT client{};
    GetClientRect(dialog, &client);
    checkEqual(std::to_string(client.right) + "x" + std::to_string(client.bottom), "318x223", "the about dialog's size");
    RECT frame{};
    GetWindowRect(dialog, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    check(std::abs((frame.left + frame.right) - (monitor.rcWork.left + monitor.rcWork.right)) <= 2 &&
              std::abs((frame.top + frame.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom)) <= 2,
          "the about dialog is centred on the screen");
    HWND ok = item(AboutControl::ButtonOK);
    waitFor([&] { return focusOf(dialog) == ok; }, 10, "\"OK\" to hold the keyboard");
    if (byCloseBox) {
      PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
      // Escape, then Space down: once "OK" shows pressed, Escape has been
      // handled, and the dialog must still be open.
      PostMessageW(ok, WM_KEYDOWN, VK_ESCAPE, 0);
      PostMessageW(ok, WM_KEYDOWN, VK_SPACE, 0);
      waitFor([&] { return (SendMessageW(ok, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }, 10, "Space to press \"OK\"");
      check(IsWindowVisible(dialog) != FALSE, "Escape leaves the about dialog open");
      PostMessageW(ok, WM_KEYUP, VK_SPACE, 0);
    }
    waitFor([&] { return !IsWindow(dialog); }, 30, byCloseBox ? "the close box to close the about dialog"
                                                              : "Space on \"OK\" to close the about dialog");
    waitFor([&] { return IsWindowEnabled(form) != FALSE; }, 10, "the window to take input again");
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 7) {
    std::printf("usage: window_probe CORVADEX.EXE DATABASE ROWS.TSV LOG.TXT XML_OUT CSV_OUT\n");
    return 2;
  }
  const std::string database = utf8Text(argv[2]);
  const std::vector<std::string> rows = readLines(utf8Text(argv[3]));
  const std::vector<std::string> cliLog = readLines(utf8Text(argv[4]));
  const std::string xmlOut = utf8Text(argv[5]);
  const std::string csvOut = utf8Text(argv[6]);

  std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child{};
  if (!CreateProcessW(argv[1], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) {
    std::printf("FAILED: corvadex.exe did not start\n");
    return 1;
  }
  const DWORD pid = child.dwProcessId;

  // The start-up ends with the search finding nothing on this machine: the
  // window then tells how to go on. Error reports of the start-up location
  // (no mail client here), shown before the window or over it, are
  // answered with OK meanwhile.
  HWND form = nullptr;
  const auto answerReports = [pid] {
    if (HWND box = topLevel(pid, L"#32770")) {
      std::printf("start-up report: %s\n", textOf(GetDlgItem(box, 0xFFFF)).c_str());
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
  };
  waitFor(
      [&] {
        answerReports();
        return (form = topLevel(pid, win32::kFormClassName)) != nullptr;
      },
      120, "the main window");
  if (form == nullptr) return 1;
  HWND memo = GetDlgItem(form, controlId(Control::MemoInfo));
  waitFor(
      [&] {
        answerReports();
        return textOf(memo).find("No contacts database was read.") != std::string::npos;
      },
      120, "the start-up to end");

  HWND edit = GetDlgItem(form, controlId(Control::EditDBPath));
  HWND read = GetDlgItem(form, controlId(Control::ButtonReadDatabase));
  check(!IsWindowEnabled(edit), "the path edit starts disabled");
  SendMessageW(GetDlgItem(form, controlId(Control::RadioButton2)), BM_CLICK, 0, 0);
  check(IsWindowEnabled(edit) != FALSE, "choosing the file source enables the path edit");
  check(!IsWindowEnabled(read), "Read is disabled while the path is empty");
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wideText(database).c_str()));
  check(IsWindowEnabled(read) != FALSE, "a path enables Read");
  DWORD_PTR ignored = 0;
  check(SendMessageTimeoutW(read, BM_CLICK, 0, 0, SMTO_NORMAL, 120000, &ignored) != 0, "Read returns");
  // The read runs on a thread of its own; Read is disabled until it ends.
  waitFor([&] { return IsWindowEnabled(read) != FALSE; }, 120, "the read to end");

  HWND list = GetDlgItem(form, controlId(Control::ListViewContacts));
  const auto count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  checkEqual(std::to_string(count), std::to_string(rows.size()), "the list's row count");
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  for (std::size_t r = 0; r < rows.size() && static_cast<LONG_PTR>(r) < count; ++r) {
    const std::vector<std::string> fields = split(rows[r], '\t');
    for (int c = 0; c < 5; ++c)
      checkEqual(cellText(process, list, static_cast<int>(r), c),
                 static_cast<std::size_t>(c) < fields.size() ? fields[static_cast<std::size_t>(c)] : "",
                 "row " + std::to_string(r) + " column " + std::to_string(c));
  }

  // Selecting a row fills the details boxes with its values.
  HWND tabs = GetDlgItem(form, controlId(Control::e));
  HWND contactPage = GetDlgItem(tabs, win32::detailsPageId(0));
  const std::size_t chosen = rows.size() > 1 ? 1 : 0;
  if (!rows.empty()) {
    selectRow(process, list, static_cast<int>(chosen));
    const std::vector<std::string> fields = split(rows[chosen], '\t');
    for (std::size_t b = 0; b < kDetailsBoxCount; ++b) {
      const DetailsBox& box = kDetailsBoxes[b];
      // The list's columns show these values too: the first, middle and last names.
      const int column = box.column == "FirstName" ? 1 : box.column == "MiddleName" ? 2 : box.column == "LastName" ? 3 : -1;
      if (column < 0 || box.page != 0) continue;
      checkEqual(textOf(GetDlgItem(contactPage, win32::detailsBoxId(b))), fields.at(static_cast<std::size_t>(column)),
                 std::string(box.name));
    }
  }

  // The find bar's text, typed: the selection moves to the first contact
  // from the selected one on that holds it, blind to case and accents.
  {
    const std::string typed = "jager";
    std::size_t want = rows.size();
    for (std::size_t r = chosen; r < rows.size() && want == rows.size(); ++r)
      for (const char* spelling : {"J\u00e4ger", "j\u00e4ger", "Jager", "jager", "J\u00c4GER", "JAGER"})
        if (rows[r].find(spelling) != std::string::npos) want = r;
    SendMessageW(GetDlgItem(form, controlId(Control::FindBar1)), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(wideText(typed).c_str()));
    const auto selected = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (want < rows.size())
      checkEqual(std::to_string(selected), std::to_string(want), "the row the find bar finds for \"" + typed + "\"");
    else
      check(false, "the database has no contact the find bar's check can find");
  }
  checkFindBar(process, pid, form, list, rows);
  checkTabOrder(form, list);
  checkPopupMenu(pid, form, list, memo);
  checkLastColumn(form, list);

  const std::string fileName = database.substr(database.find_last_of("\\/") + 1);
  const std::string contacts = std::to_string(rows.size()) + (rows.size() == 1 ? " contact" : " contacts");
  checkEqual(textOf(form), "Corvadex \u2014 " + fileName + " \u2014 " + contacts, "the title");
  checkEqual(textOf(GetDlgItem(form, controlId(Control::LabelStatus))), fileName + ": " + contacts + " read",
             "the status line");
  const std::string log = textOf(memo);
  for (const std::string& line : cliLog)
    check(log.find(line) != std::string::npos, "the log holds the read's line \"" + line + "\"");

  // "Export to XML file", through the save dialog.
  PostMessageW(GetDlgItem(contactPage, controlId(Control::ButtonExportToXML)), BM_CLICK, 0, 0);
  answerSaveDialog(pid, xmlOut, -1);
  waitFor([&] { return fileExists(xmlOut); }, 60, "the XML export");
  // The second export, its type chosen in the dialog: Google CSV, the third;
  // the name is given without an extension, which the type adds.
  PostMessageW(GetDlgItem(contactPage, controlId(Control::ButtonExportForAddressBook)), BM_CLICK, 0, 0);
  answerSaveDialog(pid, csvOut, 2);
  waitFor([&] { return fileExists(csvOut + ".csv"); }, 60, "the Google CSV export");
  waitFor([&] {
    return textOf(memo).find("Exported " + std::to_string(rows.size()) + " contacts from ") != std::string::npos;
  }, 10, "the export's log line");
  checkEqual(textOf(GetDlgItem(form, controlId(Control::LabelStatus))),
             contacts + " from " + fileName + " exported to " +
                 csvOut.substr(csvOut.find_last_of("\\/") + 1) + ".csv as Google CSV",
             "the status line after the export");

  checkDialogKeys(pid, form, memo);
  checkAboutDialog(process, pid, form);

  pressKeys(form, {VK_CONTROL, 'Q'});
  check(WaitForSingleObject(child.hProcess, 30000) == WAIT_OBJECT_0, "Ctrl+Q closes the window");
  DWORD code = 1;
  GetExitCodeProcess(child.hProcess, &code);
  checkEqual(std::to_string(code), "0", "the exit code");
  CloseHandle(process);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  if (failures > 0) std::printf("the log:\n%s\n", textOf(memo).c_str());
  std::printf("%s\n", failures == 0 ? "window probe: all checks passed" : "window probe: checks failed");
  return failures == 0 ? 0 : 1;
}
