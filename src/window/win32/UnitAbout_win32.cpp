// SPDX-License-Identifier: Apache-2.0
#include "window/win32/UnitAbout_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>

#include "base/wide_path.h"
#include "corvadex_version.h"
#include "location/found_database_text.h"
#include "window/win32/control_ids_win32.h"
#include "window/win32/controls_win32.h"
#include "window/window_texts.h"

namespace corvadex::win32 {

namespace {

std::wstring programFolder() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// TFormAbout's client area.
constexpr int kClientWidth = 318;
constexpr int kClientHeight = 223;

// The 16-colour palette's pure colours the dialog's labels use; the others
// are in the window text's colour.
constexpr COLORREF kWindowText = CLR_INVALID;
constexpr COLORREF kBlue = RGB(0x00, 0x00, 0xFF);
constexpr COLORREF kPurple = RGB(0x80, 0x00, 0x80);
constexpr COLORREF kNavy = RGB(0x00, 0x00, 0x80);

enum class AboutFont : unsigned char { Plain, Heading, Link };

// Each control of the dialog at its place in the design, with its text
// (English, translated in TFormAbout's context; null where the dialog
// fills it in), its font and its colour.
struct AboutPlace {
  AboutControl control;
  Rect design;
  const char* text;
  AboutFont font;
  COLORREF colour;
};
constexpr AboutPlace kAboutPlaces[kAboutControlCount] = {
    {AboutControl::Image1, {32, 14, 48, 48}, nullptr, AboutFont::Plain, kWindowText},
    {AboutControl::LabelName, {158, 15, 91, 16}, nullptr, AboutFont::Heading, kWindowText},
    {AboutControl::LabelVers, {255, 15, 33, 16}, nullptr, AboutFont::Heading, kBlue},
    {AboutControl::Label1, {165, 37, 37, 13}, QT_TRANSLATE_NOOP("TFormAbout", "Author: "), AboutFont::Plain,
     kWindowText},
    {AboutControl::Label2, {205, 37, 81, 13}, QT_TRANSLATE_NOOP("TFormAbout", "Corvadex team"), AboutFont::Plain,
     kNavy},
    {AboutControl::Label5, {232, 50, 40, 13}, QT_TRANSLATE_NOOP("TFormAbout", "Online,"), AboutFont::Plain,
     kWindowText},
    {AboutControl::Label6, {232, 63, 37, 13}, QT_TRANSLATE_NOOP("TFormAbout", "Earth"), AboutFont::Plain,
     kWindowText},
    {AboutControl::Bevel1, {15, 79, 278, 10}, nullptr, AboutFont::Plain, kWindowText},
    {AboutControl::Label3, {40, 94, 228, 13},
     QT_TRANSLATE_NOOP("TFormAbout", "Lists the contacts of a contacts.edb file,"), AboutFont::Plain, kPurple},
    {AboutControl::Label4, {14, 106, 281, 13},
     QT_TRANSLATE_NOOP("TFormAbout", "shows their details and exports them to XML."), AboutFont::Plain, kPurple},
    {AboutControl::Label7, {75, 119, 158, 13}, QT_TRANSLATE_NOOP("TFormAbout", "The database is only read."),
     AboutFont::Plain, kPurple},
    {AboutControl::Label8, {75, 136, 163, 13}, QT_TRANSLATE_NOOP("TFormAbout", "How to use it, in the guide:"),
     AboutFont::Plain, kPurple},
    {AboutControl::LabelURL, {56, 149, 192, 13}, nullptr, AboutFont::Link, kBlue},
    {AboutControl::Bevel2, {15, 160, 278, 10}, nullptr, AboutFont::Plain, kWindowText},
    {AboutControl::ButtonOK, {216, 182, 75, 22}, QT_TRANSLATE_NOOP("TFormAbout", "OK"), AboutFont::Plain,
     kWindowText},
};

const AboutPlace& aboutPlace(int id) {
  for (const AboutPlace& place : kAboutPlaces)
    if (aboutControlId(place.control) == id) return place;
  return kAboutPlaces[0];
}

// What the open dialog holds.
struct AboutDialog {
  const Texts& texts;
  std::string link;
  FontHandle plain = messageFont();
  FontHandle heading = messageFont(FW_BOLD, false, 10);
  FontHandle underlined = messageFont(FW_NORMAL, true);
};

// The program's picture, a 48 by 48 address-book card: the card with its
// binding and rings, a person's head and shoulders, two lines of text.
// Only the shapes are drawn, so the dialog's face shows around them.
void drawPicture(HDC dc) {
  const auto shape = [dc](HGDIOBJ pen, COLORREF colour, auto draw) {
    const BrushHandle brush(CreateSolidBrush(colour));
    const HGDIOBJ oldPen = SelectObject(dc, pen);
    const HGDIOBJ oldBrush = SelectObject(dc, brush.get());
    draw();
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
  };
  const auto fill = [dc](COLORREF colour, std::initializer_list<RECT> rects) {
    const BrushHandle brush(CreateSolidBrush(colour));
    for (const RECT& r : rects) FillRect(dc, &r, brush.get());
  };
  const PenHandle border(CreatePen(PS_SOLID, 1, RGB(0, 0, 128)));
  shape(border.get(), RGB(40, 90, 170), [dc] { Rectangle(dc, 6, 4, 43, 45); });
  shape(border.get(), RGB(250, 250, 240), [dc] { Rectangle(dc, 11, 7, 40, 42); });
  fill(RGB(200, 200, 200), {{4, 9, 8, 12}, {4, 15, 8, 18}, {4, 21, 8, 24}, {4, 27, 8, 30}, {4, 33, 8, 36},
                            {4, 39, 8, 42}});
  shape(GetStockObject(NULL_PEN), RGB(220, 140, 60), [dc] { Ellipse(dc, 20, 12, 31, 23); });
  fill(RGB(60, 120, 60), {{17, 24, 34, 30}, {19, 22, 32, 24}});
  fill(RGB(120, 120, 120), {{15, 33, 35, 34}, {15, 36, 31, 37}});
}

// The controls from the table. A label is as wide as its text when that is
// wider than its design, and taller alike, centred where it was; "Author: "
// may push the name along; the link, shortened in its middle when too long
// for the dialog, is centred under the description when it runs past the
// edge, the whole of it in its tool tip. Only "OK" takes the focus.
void createAboutControls(HWND dialog, AboutDialog& about) {
  std::array<Rect, kAboutControlCount> placed{};
  for (std::size_t i = 0; i < kAboutControlCount; ++i) {
    const AboutPlace& place = kAboutPlaces[i];
    std::wstring text;
    const wchar_t* windowClass = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE | SS_NOPREFIX;
    Rect r = place.design;
    switch (place.control) {
      case AboutControl::Image1: style = WS_CHILD | WS_VISIBLE | SS_OWNERDRAW; break;
      case AboutControl::LabelName: text = L"Corvadex"; break;
      case AboutControl::LabelVers: text = wideText("v " CORVADEX_VERSION); break;
      case AboutControl::Bevel1:
      case AboutControl::Bevel2:
        // The etched line along the bevel's bottom edge.
        style = WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ;
        r = {r.left, r.bottom() - 2, r.width, 2};
        break;
      case AboutControl::LabelURL:
        text = wideText(about.link);
        style |= SS_NOTIFY | SS_PATHELLIPSIS;
        break;
      case AboutControl::ButtonOK:
        windowClass = L"BUTTON";
        style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
        break;
      default: break;
    }
    if (place.text != nullptr) text = wideText(about.texts.translate("TFormAbout", place.text));
    const HFONT font = place.font == AboutFont::Heading  ? about.heading.get()
                       : place.font == AboutFont::Link ? about.underlined.get()
                                                        : about.plain.get();
    HWND control = CreateWindowExW(0, windowClass, text.c_str(), style, r.left, r.top, r.width, r.height, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(aboutControlId(place.control))),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (windowClass == std::wstring_view(L"STATIC") && !text.empty()) {
      const SIZE wanted = textSize(control, font, text);
      r.width = std::max(r.width, static_cast<int>(wanted.cx));
      if (place.control == AboutControl::LabelURL) r.width = std::min(r.width, kClientWidth - 8);
      if (wanted.cy > r.height) {
        r.top -= (wanted.cy - r.height) / 2;
        r.height = wanted.cy;
      }
      if (place.control == AboutControl::Label2) {
        const Rect& author = placed[static_cast<std::size_t>(AboutControl::Label1)];
        r.left = std::max(r.left, author.right());
      }
      if (place.control == AboutControl::LabelURL && r.right() >= kClientWidth - 4)
        r.left = std::max(4, (kClientWidth - r.width) / 2);
      MoveWindow(control, r.left, r.top, r.width, r.height, FALSE);
    }
    placed[i] = r;
    if (place.control == AboutControl::LabelURL) {
      addToolTip(createToolTips(dialog), control, text);
    }
  }
}

// The dialog's client area at its design size, centred in the work area of
// the screen it opens on, wherever the main window is.
void placeAboutDialog(HWND dialog) {
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& area = monitor.rcWork;
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(dialog, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ButtonOKClick and the close box close the dialog; Escape does nothing, as
// there is no cancel button; LabelURLClick opens the link's own text.
INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* about = reinterpret_cast<AboutDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      createAboutControls(dialog, *reinterpret_cast<AboutDialog*>(lParam));
      placeAboutDialog(dialog);
      SetFocus(GetDlgItem(dialog, aboutControlId(AboutControl::ButtonOK)));
      return FALSE;  // the focus is set
    case WM_COMMAND:
      if (LOWORD(wParam) == aboutControlId(AboutControl::ButtonOK)) {
        EndDialog(dialog, IDCANCEL);
      } else if (LOWORD(wParam) == aboutControlId(AboutControl::LabelURL) && HIWORD(wParam) == STN_CLICKED) {
        openWithDesktop(utf8Text(windowTextOf(reinterpret_cast<HWND>(lParam))));
      }
      return TRUE;
    case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
    case WM_CTLCOLORSTATIC: {
      const COLORREF colour = aboutPlace(GetDlgCtrlID(reinterpret_cast<HWND>(lParam))).colour;
      const HDC dc = reinterpret_cast<HDC>(wParam);
      if (colour != kWindowText) SetTextColor(dc, colour);
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DRAWITEM:
      drawPicture(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hDC);
      return TRUE;
    case WM_SETCURSOR:
      if (about != nullptr && reinterpret_cast<HWND>(wParam) == GetDlgItem(dialog, aboutControlId(AboutControl::LabelURL))) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

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

std::string programGuideLink() { return guideLink(programFolder()); }

void showAboutDialog(HWND owner, const Texts& texts) {
  AboutDialog about{texts, programGuideLink()};
  // A template without controls: they are made from their table when the
  // dialog starts, in pixels.
  DLGTEMPLATE head{};
  head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  std::vector<WORD> words(sizeof(head) / sizeof(WORD));
  std::memcpy(words.data(), &head, sizeof(head));
  words.push_back(0);  // no menu
  words.push_back(0);  // the dialog class
  for (wchar_t c : wideText(about.texts.translate("TFormAbout", " About Corvadex"))) words.push_back(c);
  words.push_back(0);
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(words.data()), owner,
                          aboutProc, reinterpret_cast<LPARAM>(&about));
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
