// SPDX-License-Identifier: Apache-2.0
// Drives corvadex.exe from outside, as a user would, and reads its controls
// back with window messages: starts it, waits for its start-up (dismissing
// the error report of a machine without the mail client), chooses a file,
// clicks Read, reads the list view's rows and the details boxes, and
// exports through both save dialogs. What it reads is compared with what
// the command line read from the same database.
//
//   window_probe.exe CORVADEX.EXE DATABASE ROWS.TSV LOG.TXT XML_OUT CSV_OUT_WITHOUT_EXTENSION
// ROWS.TSV and LOG.TXT: `corvadex-cli read DATABASE`'s rows and log lines.
// Prints each failed check and exits 1 when any failed.
#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/wide_path.h"
#include "window/details_boxes.h"
#include "window/win32/control_ids_win32.h"

using namespace corvadex;
using corvadex::win32::controlId;

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

  // "About" opens the about dialog over the window; OK closes it.
  HWND about = GetDlgItem(form, controlId(Control::Label1));
  PostMessageW(form, WM_COMMAND, MAKEWPARAM(controlId(Control::Label1), STN_CLICKED), reinterpret_cast<LPARAM>(about));
  HWND dialog = nullptr;
  if (waitFor([&] { return (dialog = topLevel(pid, L"#32770")) != nullptr; }, 30, "the about dialog")) {
    checkEqual(textOf(dialog), " About Corvadex", "the about dialog's title");
    check(GetWindow(dialog, GW_OWNER) == form, "the about dialog is owned by the window");
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    waitFor([&] { return !IsWindow(dialog); }, 30, "the about dialog to close");
  }

  PostMessageW(form, WM_CLOSE, 0, 0);
  check(WaitForSingleObject(child.hProcess, 30000) == WAIT_OBJECT_0, "the window closes");
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
