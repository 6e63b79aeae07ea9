// SPDX-License-Identifier: Apache-2.0
#include "window/win32/Unit1_win32.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "base/wide_path.h"
#include "location/found_database_text.h"
#include "window/win32/control_ids_win32.h"
#include "window/win32/controls_win32.h"
#include "window/win32/file_dialog_win32.h"
#include "window/win32/list_view_win32.h"
#include "window/win32/UnitAbout_win32.h"

namespace corvadex::win32 {

namespace {

constexpr wchar_t kPageClassName[] = L"CorvadexPage";
constexpr UINT kPostedWork = WM_APP + 1;
// The accelerator table's commands.
enum Key : WORD {
  KeyFind = 1000,
  KeyFindNext,
  KeyFindPrevious,
  KeyChooseFile,
  KeyExportToXML,
  KeyExportForAddressBook,
  KeySearchAgain,
  KeyQuit,
  KeyGuide,
};
// The window's keys, those of the Qt window in the same order.
constexpr ACCEL kKeys[] = {
    {FVIRTKEY | FCONTROL, 'F', KeyFind},
    {FVIRTKEY, VK_F3, KeyFindNext},
    {FVIRTKEY | FSHIFT, VK_F3, KeyFindPrevious},
    {FVIRTKEY | FCONTROL, 'O', KeyChooseFile},
    {FVIRTKEY | FCONTROL, 'E', KeyExportToXML},
    {FVIRTKEY | FCONTROL | FSHIFT, 'E', KeyExportForAddressBook},
    {FVIRTKEY, VK_F5, KeySearchAgain},
    {FVIRTKEY | FCONTROL, 'Q', KeyQuit},
    {FVIRTKEY, VK_F1, KeyGuide},
};
// The popup menu's one item, "Save to file", has no action.
constexpr UINT kSaveToFile = 1100;

// What each control of the layout table is made of.
struct ControlKind {
  const wchar_t* windowClass;
  DWORD style;
  DWORD exStyle;
};

ControlKind kindOf(Control control) {
  constexpr DWORD child = WS_CHILD | WS_VISIBLE;
  switch (control) {
    case Control::RadioButton1: return {L"BUTTON", child | WS_TABSTOP | WS_GROUP | BS_RADIOBUTTON, 0};
    case Control::RadioButton2: return {L"BUTTON", child | BS_RADIOBUTTON, 0};
    case Control::Label1: return {L"STATIC", child | SS_NOTIFY | SS_NOPREFIX, 0};
    case Control::EditDBPath:
      return {L"EDIT", child | WS_TABSTOP | WS_GROUP | WS_DISABLED | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case Control::ButtonChooseFile:
    case Control::ButtonReadDatabase:
      return {L"BUTTON", child | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON, 0};
    case Control::ListViewContacts:
      return {WC_LISTVIEWW,
              child | WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
              WS_EX_CLIENTEDGE};
    case Control::e: return {WC_TABCONTROLW, child | WS_TABSTOP | WS_GROUP | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT};
    case Control::TabSheetContact: return {kPageClassName, child | WS_VISIBLE, WS_EX_CONTROLPARENT};
    case Control::ButtonExportToXML:
    case Control::ButtonExportForAddressBook: return {L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case Control::MemoInfo:
      return {L"EDIT", child | WS_TABSTOP | WS_GROUP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
              WS_EX_CLIENTEDGE};
    case Control::FindBar1: return {L"EDIT", WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case Control::LabelStatus:
      return {L"STATIC", child | SS_NOTIFY | SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS | SS_NOPREFIX, 0};
    case Control::Form: break;
  }
  throw std::logic_error("the window has no such control");
}

std::wstring wide(std::string_view text) { return wideText(text); }

// An edit shows line breaks only as CR LF.
std::wstring withCrLf(std::string_view text) {
  std::wstring in = wide(text);
  std::wstring out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i] == L'\n' && (i == 0 || in[i - 1] != L'\r')) out += L'\r';
    out += in[i];
  }
  return out;
}

void moveTo(HWND window, const Rect& r) { MoveWindow(window, r.left, r.top, r.width, r.height, TRUE); }

int textWidth(HWND window, HFONT font, const std::wstring& text) { return textSize(window, font, text).cx; }

void registerClasses() {
  static const bool registered = [] {
    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpszClassName = kFormClassName;
    form.hInstance = GetModuleHandleW(nullptr);
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    form.hIcon = LoadIconW(form.hInstance, MAKEINTRESOURCEW(1));
    form.lpfnWndProc = DefWindowProcW;  // replaced once the window exists
    RegisterClassExW(&form);
    WNDCLASSEXW page = form;
    page.lpszClassName = kPageClassName;
    page.hIcon = nullptr;
    RegisterClassExW(&page);
    return true;
  }();
  (void)registered;
}

}  // namespace

TFormCorvadex::TFormCorvadex(FormServices services, Texts texts) : texts_(texts) {
  registerClasses();
  createForm();
  createControls();
  createDetails();
  createFindBar();
  // The behaviour comes once the controls exist: it may log at once.
  behaviour_ = std::make_unique<WindowBehaviour>(*this, std::move(services));
  behaviour_->contacts().addObserver(this);
}

TFormCorvadex::~TFormCorvadex() {
  behaviour_->contacts().removeObserver(this);
  // The list view asks for rows while it goes: it goes before the list.
  form_.reset();
}

// ---- Building the window ------------------------------------------------

void TFormCorvadex::createForm() {
  RECT frame{0, 0, kDesignClientSize.width, kDesignClientSize.height};
  constexpr DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_ACCEPTFILES | WS_EX_CONTROLPARENT);
  HWND window = CreateWindowExW(WS_EX_ACCEPTFILES | WS_EX_CONTROLPARENT, kFormClassName, L"Corvadex", style,
                                kDesignLeft, kDesignTop, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) throw std::runtime_error("the main window could not be made");
  form_.reset(window);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&formProc));
  font_ = messageFont();
  linkFont_ = messageFont(FW_BOLD, true);
  controls_[static_cast<std::size_t>(Control::Form)] = window;
  // The tool tips are owned by the window, which destroys them with itself.
  tips_ = createToolTips(window);

  popup_.reset(CreatePopupMenu());
  AppendMenuW(popup_.get(), MF_STRING, kSaveToFile,
              wide(translate(QT_TRANSLATE_NOOP("TFormCorvadex", "Save to file"))).c_str());
  ACCEL keys[std::size(kKeys)];
  std::copy(std::begin(kKeys), std::end(kKeys), keys);
  keys_.reset(CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
}

std::string TFormCorvadex::caption(Control c) const {
  const char* text = placeOf(c).caption;
  return text == nullptr ? std::string() : translate(text);
}

HWND TFormCorvadex::control(Control c) const { return controls_[static_cast<std::size_t>(c)]; }

bool TFormCorvadex::inFindBar(HWND window) const {
  return window == control(Control::FindBar1) || std::find(findBar_.begin(), findBar_.end(), window) != findBar_.end();
}

// Every control of the layout table, in the table's order (a parent before
// its children), at its place, sized to its caption where the table says so.
void TFormCorvadex::createControls() {
  for (const ControlPlace& place : kWindowControls) {
    const ControlKind kind = kindOf(place.control);
    const HWND parent = control(place.parent);
    const std::wstring text = wide(caption(place.control));
    HWND window = CreateWindowExW(kind.exStyle, kind.windowClass, text.c_str(), kind.style, 0, 0, 0, 0, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(place.control))),
                                  GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) throw std::runtime_error("a control of the main window could not be made");
    controls_[static_cast<std::size_t>(place.control)] = window;
    const HFONT font = place.control == Control::Label1 ? linkFont_.get() : font_.get();
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (place.sizing == Sizing::ByParent) continue;  // placed with its page control
    const int padding = kind.windowClass == std::wstring_view(L"BUTTON") ? 16 : 0;
    moveTo(window, sizedToCaption(place, text.empty() ? 0 : textWidth(window, font, text) + padding));
  }
  SetWindowLongPtrW(control(Control::TabSheetContact), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(control(Control::TabSheetContact), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&pageProc));
  pages_[0] = control(Control::TabSheetContact);
  SetWindowLongPtrW(control(Control::TabSheetContact), GWLP_ID, detailsPageId(0));

  Button_SetCheck(control(Control::RadioButton1), BST_CHECKED);
  SendMessageW(control(Control::MemoInfo), EM_SETLIMITTEXT, 0, 0);
  SendMessageW(control(Control::FindBar1), EM_SETCUEBANNER, TRUE,
               reinterpret_cast<LPARAM>(wide(texts_.translate("FindBar", "name, e-mail, phone, ...")).c_str()));
  ContactListColumns::insert(control(Control::ListViewContacts), texts_);

  // The status line's tool tip holds it whole when it is cut.
  addToolTip(tips_, control(Control::LabelStatus), L"");
}

namespace {

// The find bar's pieces beside its field, as the Qt window's find bar has
// them from left to right: the caption, the previous and next buttons
// (arrows, drawn by the window), "not found" and the close button. Texts
// and tips are the find bar's, translated in its context.
struct FindBarPiece {
  FindBarPart part;
  const wchar_t* windowClass;
  DWORD style;
  const char* text;
  const char* tip;  // null for none
};
constexpr FindBarPiece kFindBarPieces[kFindBarPartCount] = {
    {FindBarPart::Caption, L"STATIC", SS_NOPREFIX | SS_CENTERIMAGE, QT_TRANSLATE_NOOP("FindBar", "Find:"), nullptr},
    {FindBarPart::Previous, L"BUTTON", WS_TABSTOP | BS_OWNERDRAW, "",
     QT_TRANSLATE_NOOP("FindBar", "Previous contact with the text (Shift+F3)")},
    {FindBarPart::Next, L"BUTTON", WS_TABSTOP | BS_OWNERDRAW, "",
     QT_TRANSLATE_NOOP("FindBar", "Next contact with the text (F3, Enter)")},
    {FindBarPart::NotFound, L"STATIC", SS_NOPREFIX | SS_CENTERIMAGE, QT_TRANSLATE_NOOP("FindBar", "not found"),
     nullptr},
    {FindBarPart::Close, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, "\u00d7",
     QT_TRANSLATE_NOOP("FindBar", "Close the find bar (Escape)")},
};

}  // namespace

// Hidden, as the field is, until the bar opens; placed by layoutFindBar.
void TFormCorvadex::createFindBar() {
  for (const FindBarPiece& piece : kFindBarPieces) {
    const std::wstring text = wide(texts_.translate("FindBar", piece.text));
    HWND window = CreateWindowExW(0, piece.windowClass, text.c_str(), WS_CHILD | piece.style, 0, 0, 0, 0,
                                  form_.get(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(findBarPartId(piece.part))),
                                  GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) throw std::runtime_error("a control of the main window could not be made");
    findBar_[static_cast<std::size_t>(piece.part)] = window;
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    if (piece.tip != nullptr) addToolTip(tips_, window, wide(texts_.translate("FindBar", piece.tip)));
  }
  layoutFindBar(placeOf(Control::FindBar1).design);
}

// The caption at the left, the close button at the right edge, and between
// them the field, taking what the arrows and "not found" (while shown)
// leave; the buttons are square, as high as the field.
void TFormCorvadex::layoutFindBar(const Rect& bar) {
  findBarPlace_ = bar;
  constexpr int kSpacing = 4;
  const int button = bar.height;
  const auto widthOf = [this](FindBarPart part) {
    return textWidth(findBarPart(part), font_.get(), windowTextOf(findBarPart(part)));
  };
  const int caption = widthOf(FindBarPart::Caption);
  const int notFound = notFound_ ? widthOf(FindBarPart::NotFound) + kSpacing : 0;
  int left = bar.left;
  moveTo(findBarPart(FindBarPart::Caption), {left, bar.top, caption, bar.height});
  left += caption + kSpacing;
  const int field = std::max(0, bar.right() - left - 2 * (button + kSpacing) - notFound - kSpacing - button);
  moveTo(control(Control::FindBar1), {left, bar.top, field, bar.height});
  left += field + kSpacing;
  for (FindBarPart arrow : {FindBarPart::Previous, FindBarPart::Next}) {
    moveTo(findBarPart(arrow), {left, bar.top, button, bar.height});
    left += button + kSpacing;
  }
  moveTo(findBarPart(FindBarPart::NotFound), {left, bar.top, std::max(0, notFound - kSpacing), bar.height});
  moveTo(findBarPart(FindBarPart::Close), {bar.right() - button, bar.top, button, bar.height});
}

// The page control's five pages and the boxes on them, from their tables.
void TFormCorvadex::createDetails() {
  const HWND tabs = control(Control::e);
  for (std::size_t p = 0; p < kDetailsPageCount; ++p) {
    std::wstring text = wide(texts_.translate("ContactDetailsView", kDetailsPages[p].caption));
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(tabs, TCM_INSERTITEMW, p, reinterpret_cast<LPARAM>(&item));
    if (p == 0) continue;  // TabSheetContact, made from the layout table
    pages_[p] = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClassName, L"", WS_CHILD, 0, 0, 0, 0, tabs,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(detailsPageId(p))),
                                GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(pages_[p], GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(pages_[p], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&pageProc));
  }
  for (std::size_t b = 0; b < kDetailsBoxCount; ++b) {
    const DetailsBox& box = kDetailsBoxes[b];
    columnOf(box);  // every box names a real column
    const HWND page = pages_[static_cast<std::size_t>(box.page)];
    const bool memo = box.caption.empty();
    if (!memo) {
      const std::wstring label = wide(texts_.translate("ContactDetailsView", box.caption.data()));
      HWND l = CreateWindowExW(0, L"STATIC", label.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX, box.labelLeft,
                               box.labelTop, 0, 0, page,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(detailsLabelId(b))),
                               GetModuleHandleW(nullptr), nullptr);
      SendMessageW(l, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
      SetWindowPos(l, nullptr, 0, 0, textWidth(l, font_.get(), label), 16, SWP_NOMOVE | SWP_NOZORDER);
    }
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_READONLY |
                        (memo ? ES_MULTILINE | WS_VSCROLL | ES_AUTOVSCROLL : ES_AUTOHSCROLL);
    boxes_[b] = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, box.left, box.top, box.width, box.height,
                                page, reinterpret_cast<HMENU>(static_cast<INT_PTR>(detailsBoxId(b))),
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(boxes_[b], WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageW(boxes_[b], EM_SETLIMITTEXT, 0, 0);  // values are shown whole
  }
}

// The keyboard's order through the window, the Qt window's (kTabOrder),
// the shown page's boxes row by row after the page control, then the find
// bar while it is open. The dialog manager walks each parent's children in
// turn, which cannot put the page's export buttons before the log: the
// window walks this list itself.
std::vector<HWND> TFormCorvadex::tabStops() const {
  std::vector<HWND> order;
  const int page = TabCtrl_GetCurSel(control(Control::e));
  for (Control c : kTabOrder) {
    // Of the two sources only the checked one, as in a dialog's radio group.
    if ((c == Control::RadioButton1 || c == Control::RadioButton2) && !checked(c)) continue;
    order.push_back(control(c));
    if (c != Control::e) continue;
    for (std::size_t b = 0; b < kDetailsBoxCount; ++b)
      if (kDetailsBoxes[b].page == page) order.push_back(boxes_[b]);
  }
  order.push_back(control(Control::FindBar1));
  for (FindBarPart part : {FindBarPart::Previous, FindBarPart::Next, FindBarPart::Close})
    order.push_back(findBarPart(part));
  std::erase_if(order, [](HWND w) { return !IsWindowVisible(w) || !IsWindowEnabled(w); });
  return order;
}

void TFormCorvadex::onTabKey(bool back) {
  const std::vector<HWND> stops = tabStops();
  if (stops.empty()) return;
  // The focused stop, else the stop holding the focused control (the list
  // view's edit, say); the page control holds its boxes, which are stops
  // of their own.
  const HWND focus = GetFocus();
  auto at = std::find(stops.begin(), stops.end(), focus);
  if (at == stops.end()) at = std::find_if(stops.begin(), stops.end(), [focus](HWND w) { return IsChild(w, focus); });
  std::size_t next = back ? stops.size() - 1 : 0;
  if (at != stops.end()) {
    const auto i = static_cast<std::size_t>(at - stops.begin());
    next = back ? (i + stops.size() - 1) % stops.size() : (i + 1) % stops.size();
  }
  const HWND to = stops[next];
  SetFocus(to);
  // A one-line box comes with its text selected, as the dialog manager gives it.
  wchar_t className[16] = {};
  GetClassNameW(to, className, static_cast<int>(std::size(className)));
  if (std::wstring_view(className) == L"Edit" && (GetWindowLongW(to, GWL_STYLE) & ES_MULTILINE) == 0)
    SendMessageW(to, EM_SETSEL, 0, -1);
}

void TFormCorvadex::showPage(int page) {
  for (std::size_t p = 0; p < kDetailsPageCount; ++p)
    ShowWindow(pages_[p], static_cast<int>(p) == page ? SW_SHOW : SW_HIDE);
}

// ---- The window procedure ------------------------------------------------

LRESULT CALLBACK TFormCorvadex::formProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<TFormCorvadex*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return form->handleMessage(message, wParam, lParam);
}

// A page hands what its controls tell it to the window.
LRESULT CALLBACK TFormCorvadex::pageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<TFormCorvadex*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
      return form->handleMessage(message, wParam, lParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT TFormCorvadex::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
    case WM_NOTIFY: return onNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_SIZE: onSize(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_CONTEXTMENU:
      onContextMenu(reinterpret_cast<HWND>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_DROPFILES: onDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_TIMER: onTimer(wParam); return 0;
    case kPostedWork: onPosted(); return 0;
    case WM_SETCURSOR:
      if (onSetCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
      break;
    case WM_CTLCOLORSTATIC: return onColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_CLOSE: DestroyWindow(form_.get()); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
  }
  return DefWindowProcW(form_.get(), message, wParam, lParam);
}

namespace {

// The behaviour's handler each control's notification raises.
struct CommandRoute {
  Control control;
  int code;
  void (WindowBehaviour::*handler)();
};
constexpr CommandRoute kCommandRoutes[] = {
    {Control::RadioButton1, BN_CLICKED, &WindowBehaviour::RadioButton1Click},
    {Control::RadioButton2, BN_CLICKED, &WindowBehaviour::RadioButton2Click},
    {Control::EditDBPath, EN_CHANGE, &WindowBehaviour::EditDBPathChange},
    {Control::ButtonChooseFile, BN_CLICKED, &WindowBehaviour::ButtonChooseFileClick},
    {Control::ButtonReadDatabase, BN_CLICKED, &WindowBehaviour::ButtonReadDatabaseClick},
    {Control::Label1, STN_CLICKED, &WindowBehaviour::Label1Click},
    {Control::ButtonExportToXML, BN_CLICKED, &WindowBehaviour::ButtonExportToXMLClick},
    {Control::ButtonExportForAddressBook, BN_CLICKED, &WindowBehaviour::ButtonExportForAddressBookClick},
};

}  // namespace

void TFormCorvadex::onCommand(int id, int code, HWND) {
  if (quiet_ > 0) return;  // the behaviour's own change
  if (id == IDOK || id == IDCANCEL) {
    onDialogKey(id);
    return;
  }
  if (id >= KeyFind && id <= KeyGuide) {
    onAccelerator(id);
    return;
  }
  if (id == controlId(Control::FindBar1) && code == EN_CHANGE) {
    guard([&] { behaviour_->FindBar1Find(text(Control::FindBar1), FindDirection::Next, true); });
    return;
  }
  if (code == BN_CLICKED && id == findBarPartId(FindBarPart::Previous)) {
    guard([&] { behaviour_->findAgain(FindDirection::Previous); });
    return;
  }
  if (code == BN_CLICKED && id == findBarPartId(FindBarPart::Next)) {
    guard([&] { behaviour_->findAgain(FindDirection::Next); });
    return;
  }
  if (code == BN_CLICKED && id == findBarPartId(FindBarPart::Close)) {
    guard([&] { behaviour_->FindBar1Close(); });
    return;
  }
  for (const CommandRoute& route : kCommandRoutes) {
    if (id != controlId(route.control) || code != route.code) continue;
    // A click on the radio button already checked raises nothing; one on
    // the other checks it (and unchecks this one) first.
    if (route.control == Control::RadioButton1 || route.control == Control::RadioButton2) {
      if (checked(route.control)) return;
      setChecked(route.control, true);
    }
    guard([&] { (behaviour_.get()->*route.handler)(); });
    return;
  }
}

// Enter and Escape, as the dialog manager reports them: Enter reads the
// typed path, or finds the next contact (Shift: the previous) from the find
// bar's field, or presses the find bar's arrow that has the focus; Escape
// anywhere in the find bar closes it.
void TFormCorvadex::onDialogKey(int id) {
  const HWND focus = GetFocus();
  guard([&] {
    if (inFindBar(focus)) {
      if (id == IDCANCEL) {
        behaviour_->FindBar1Close();
        return;
      }
      if (focus == findBarPart(FindBarPart::Previous) || focus == findBarPart(FindBarPart::Next)) {
        behaviour_->findAgain(focus == findBarPart(FindBarPart::Previous) ? FindDirection::Previous
                                                                         : FindDirection::Next);
        return;
      }
      const bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
      behaviour_->FindBar1Find(text(Control::FindBar1), back ? FindDirection::Previous : FindDirection::Next,
                               false);
    } else if (focus == control(Control::EditDBPath) && id == IDOK) {
      behaviour_->EditDBPathReturn();
    }
  });
}

void TFormCorvadex::onAccelerator(int id) {
  guard([&] {
    switch (id) {
      case KeyFind: behaviour_->findContact(); break;
      case KeyFindNext: behaviour_->findAgain(FindDirection::Next); break;
      case KeyFindPrevious: behaviour_->findAgain(FindDirection::Previous); break;
      case KeyChooseFile: behaviour_->ChooseFileKey(); break;
      case KeyExportToXML: behaviour_->ButtonExportToXMLClick(); break;
      case KeyExportForAddressBook: behaviour_->ButtonExportForAddressBookClick(); break;
      case KeySearchAgain: behaviour_->SearchAgainKey(); break;
      case KeyQuit: PostMessageW(form_.get(), WM_CLOSE, 0, 0); break;
      case KeyGuide: openWithDesktop(programGuideLink()); break;
      default: break;
    }
  });
}

LRESULT TFormCorvadex::onNotify(const NMHDR& header) {
  if (header.hwndFrom == control(Control::ListViewContacts)) {
    if (header.code == LVN_GETDISPINFOW) {
      onGetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
    } else if (header.code == LVN_ITEMCHANGED) {
      onItemChanged(*reinterpret_cast<const NMLISTVIEW*>(&header));
    }
  } else if (GetParent(header.hwndFrom) == control(Control::ListViewContacts) &&
             (header.code == HDN_ITEMCHANGEDW || header.code == HDN_ENDTRACKW)) {
    stretchLastColumn();  // a column made wider or narrower by the user
  } else if (header.hwndFrom == control(Control::e) && header.code == TCN_SELCHANGE) {
    showPage(TabCtrl_GetCurSel(control(Control::e)));
  }
  return 0;
}

void TFormCorvadex::onGetDispInfo(NMLVDISPINFOW& info) {
  if ((info.item.mask & LVIF_TEXT) == 0 || info.item.cchTextMax <= 0) return;
  const auto row = static_cast<std::size_t>(info.item.iItem);
  info.item.pszText[0] = L'\0';
  if (info.item.iItem < 0 || row >= behaviour_->contacts().count()) return;
  cellText_ = wide(ContactListColumns::cell(behaviour_->contacts().item(row), info.item.iSubItem));
  const std::size_t n = std::min(cellText_.size(), static_cast<std::size_t>(info.item.cchTextMax - 1));
  std::copy_n(cellText_.begin(), n, info.item.pszText);
  info.item.pszText[n] = L'\0';
}

void TFormCorvadex::onItemChanged(const NMLISTVIEW& change) {
  if (syncing_ || change.iItem < 0 || (change.uChanged & LVIF_STATE) == 0) return;
  const bool now = (change.uNewState & LVIS_SELECTED) != 0;
  const bool before = (change.uOldState & LVIS_SELECTED) != 0;
  if (now == before) return;
  const auto row = static_cast<std::size_t>(change.iItem);
  guard([&] { behaviour_->contacts().setSelected(row, now); });
}

void TFormCorvadex::onSize(int width, int height) {
  const Size size{width, height};
  for (const ControlPlace& place : kWindowControls) {
    if (place.parent != Control::Form) continue;
    HWND window = control(place.control);
    RECT now{};
    GetWindowRect(window, &now);
    // The design's place, with the width the caption gave it at creation.
    Rect design = place.design;
    if (place.sizing == Sizing::WidensToCaption || place.sizing == Sizing::KeepsRightEdge)
      design = sizedToCaption(place, now.right - now.left);
    const Rect placed = anchoredRect(design, kDesignClientSize, size, place.anchors);
    if (place.control == Control::FindBar1)
      layoutFindBar(placed);
    else
      moveTo(window, placed);
  }
  stretchLastColumn();
  // The pages fill the page control's display area.
  RECT area{};
  GetClientRect(control(Control::e), &area);
  TabCtrl_AdjustRect(control(Control::e), FALSE, &area);
  for (HWND page : pages_)
    MoveWindow(page, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}

void TFormCorvadex::onContextMenu(HWND window, int x, int y) {
  if (window != control(Control::ListViewContacts)) return;
  if (x == -1 && y == -1) {  // from the keyboard: at the list's corner
    RECT r{};
    GetWindowRect(window, &r);
    x = r.left;
    y = r.top;
  }
  TrackPopupMenu(popup_.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, form_.get(), nullptr);
}

void TFormCorvadex::onDropFiles(HDROP dropped) {
  const DropHandle drop(dropped);
  if (DragQueryFileW(drop.get(), 0xFFFFFFFF, nullptr, 0) == 0) return;
  const UINT length = DragQueryFileW(drop.get(), 0, nullptr, 0);
  std::wstring name(length + 1, L'\0');
  DragQueryFileW(drop.get(), 0, name.data(), length + 1);
  name.resize(length);
  const std::string path = utf8Text(name);
  guard([&] { behaviour_->openFile(path); });
}

void TFormCorvadex::onTimer(UINT_PTR id) {
  const auto found = timers_.find(id);
  // A tick that opened a dialog is still running while the dialog's own
  // message loop delivers the timer: it is not run again meanwhile.
  if (found == timers_.end() || runningTimer_ == id) return;
  runningTimer_ = id;
  bool again = false;
  guard([&] { again = found->second(); });
  runningTimer_ = 0;
  if (again) return;
  KillTimer(form_.get(), id);
  timers_.erase(id);
}

void TFormCorvadex::onPosted() {
  std::function<void()> work;
  {
    const std::lock_guard<std::mutex> lock(postedLock_);
    if (posted_.empty()) return;
    work = std::move(posted_.front());
    posted_.pop_front();
  }
  guard(work);
}

bool TFormCorvadex::onSetCursor(HWND under) {
  if (busy_) {
    SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
    return true;
  }
  if (under == control(Control::Label1)) {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
  }
  return false;
}

LRESULT TFormCorvadex::onColorStatic(HDC dc, HWND window) {
  if (window == control(Control::Label1)) SetTextColor(dc, RGB(0, 0, 255));
  if (window == findBarPart(FindBarPart::NotFound)) SetTextColor(dc, RGB(0xb0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// The find bar's arrows: up for the previous contact, down for the next.
void TFormCorvadex::onDrawItem(const DRAWITEMSTRUCT& item) {
  RECT r = item.rcItem;
  UINT state = item.hwndItem == findBarPart(FindBarPart::Previous) ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
  if (item.itemState & ODS_SELECTED) state |= DFCS_PUSHED;
  if (item.itemState & ODS_DISABLED) state |= DFCS_INACTIVE;
  DrawFrameControl(item.hDC, &r, DFC_SCROLL, state);
  if (item.itemState & ODS_FOCUS) {
    InflateRect(&r, -3, -3);
    DrawFocusRect(item.hDC, &r);
  }
}

void TFormCorvadex::stretchLastColumn() { ContactListColumns::stretchLast(control(Control::ListViewContacts)); }

// ---- The list view follows the contact list --------------------------------

void TFormCorvadex::rowsAboutToChange() {
  // The rows go while the read fills the list: the view shows none meanwhile.
  ListView_SetItemCountEx(control(Control::ListViewContacts), 0, 0);
}

void TFormCorvadex::rowsChanged() {
  const HWND list = control(Control::ListViewContacts);
  ListView_SetItemCountEx(list, static_cast<int>(std::min<std::size_t>(behaviour_->contacts().count(), INT_MAX)),
                          0);
  stretchLastColumn();  // the rows may have brought the scroll bar
  InvalidateRect(list, nullptr, TRUE);
}

void TFormCorvadex::selectedRowChanged(std::optional<std::size_t> row) {
  const HWND list = control(Control::ListViewContacts);
  syncing_ = true;
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  if (row && *row <= INT_MAX) {
    const int item = static_cast<int>(*row);
    ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, item, FALSE);
  }
  syncing_ = false;
}

// ---- WindowView ----------------------------------------------------------

std::string TFormCorvadex::translate(const char* source, const char* disambiguation) const {
  return texts_.translate(kWindowTextContext, source, disambiguation);
}

std::string TFormCorvadex::groupedNumber(std::size_t number, const std::string& localeName) const {
  std::wstring locale = wide(localeName);
  std::replace(locale.begin(), locale.end(), L'_', L'-');
  wchar_t separator[8] = L",";
  GetLocaleInfoEx(locale.c_str(), LOCALE_STHOUSAND, separator, static_cast<int>(std::size(separator)));
  const std::string digits = std::to_string(number);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += utf8Text(separator);
    out += digits[i];
  }
  return out;
}

void TFormCorvadex::Add(std::string_view line) {
  const HWND memo = control(Control::MemoInfo);
  std::wstring text = withCrLf(line);
  if (GetWindowTextLengthW(memo) > 0) text.insert(0, L"\r\n");
  const int end = GetWindowTextLengthW(memo);
  SendMessageW(memo, EM_SETSEL, end, end);
  SendMessageW(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string TFormCorvadex::text(Control c) const {
  if (c != Control::EditDBPath && c != Control::FindBar1) throw std::invalid_argument("not a text box of the window");
  return utf8Text(windowTextOf(control(c)));
}

void TFormCorvadex::setText(Control c, const std::string& shown) {
  if (c != Control::EditDBPath && c != Control::FindBar1) throw std::invalid_argument("not a text box of the window");
  ++quiet_;
  SetWindowTextW(control(c), wide(shown).c_str());
  --quiet_;
}

bool TFormCorvadex::checked(Control c) const {
  if (c != Control::RadioButton1 && c != Control::RadioButton2) throw std::invalid_argument("not a radio button of the window");
  return Button_GetCheck(control(c)) == BST_CHECKED;
}

void TFormCorvadex::setChecked(Control c, bool on) {
  if (c != Control::RadioButton1 && c != Control::RadioButton2) throw std::invalid_argument("not a radio button of the window");
  const Control other = c == Control::RadioButton1 ? Control::RadioButton2 : Control::RadioButton1;
  Button_SetCheck(control(c), on ? BST_CHECKED : BST_UNCHECKED);
  if (on) Button_SetCheck(control(other), BST_UNCHECKED);
}

void TFormCorvadex::setEnabled(Control c, bool enabled) {
  const HWND window = control(c);
  // A disabled control cannot keep the keyboard: it goes on to the next
  // control in the tab order (the Read button disabled by its own read).
  if (!enabled && GetFocus() == window) onTabKey(false);
  EnableWindow(window, enabled ? TRUE : FALSE);
}

void TFormCorvadex::setTitle(const std::string& title) { SetWindowTextW(form_.get(), wide(title).c_str()); }

void TFormCorvadex::setStatus(const std::string& status) {
  std::wstring text = wide(status);
  SetWindowTextW(control(Control::LabelStatus), text.c_str());
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = form_.get();
  tool.uId = reinterpret_cast<UINT_PTR>(control(Control::LabelStatus));
  tool.lpszText = text.data();
  SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TFormCorvadex::showContact(const ContactRow& row) {
  for (std::size_t b = 0; b < kDetailsBoxCount; ++b)
    SetWindowTextW(boxes_[b], withCrLf(row.Value(columnOf(kDetailsBoxes[b]))).c_str());
}

void TFormCorvadex::clearDetails() {
  for (HWND box : boxes_) SetWindowTextW(box, L"");
}

void TFormCorvadex::openFindBar() {
  const HWND bar = control(Control::FindBar1);
  for (const FindBarPiece& piece : kFindBarPieces)
    if (piece.part != FindBarPart::NotFound || notFound_) ShowWindow(findBarPart(piece.part), SW_SHOW);
  ShowWindow(bar, SW_SHOW);
  SetFocus(bar);
  SendMessageW(bar, EM_SETSEL, 0, -1);
}

void TFormCorvadex::closeFindBar() {
  // The keyboard goes back to the list, not to the next control in the
  // tab order (the source's radio buttons, which arrow keys would switch).
  const bool hadFocus = inFindBar(GetFocus());
  ShowWindow(control(Control::FindBar1), SW_HIDE);
  for (HWND piece : findBar_) ShowWindow(piece, SW_HIDE);
  if (hadFocus) SetFocus(control(Control::ListViewContacts));
}

bool TFormCorvadex::findBarOpen() const { return IsWindowVisible(control(Control::FindBar1)) != FALSE; }

// "not found" beside the arrows, the field narrower by its width meanwhile.
void TFormCorvadex::showNotFound(bool notFound) {
  notFound_ = notFound;
  layoutFindBar(findBarPlace_);
  ShowWindow(findBarPart(FindBarPart::NotFound), notFound && findBarOpen() ? SW_SHOW : SW_HIDE);
}

std::optional<std::string> TFormCorvadex::fileDialog(const FileDialogSettings& settings, bool save,
                                                     int* filterIndex) {
  std::wstring name(32768, L'\0');
  const std::wstring proposed = wide(settings.fileName);
  std::copy_n(proposed.begin(), std::min(proposed.size(), name.size() - 1), name.begin());
  const std::wstring filter = dialogFilter(settings.filter);
  const std::wstring folder = wide(settings.directory);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = form_.get();
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = static_cast<DWORD>(settings.filterIndex + 1);
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
  if (save && settings.overwritePrompt) dialog.Flags |= OFN_OVERWRITEPROMPT;
  const BOOL chosen = modal([&] { return save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog); });
  if (!chosen) return std::nullopt;
  name.resize(wcslen(name.c_str()));
  std::string path = utf8Text(name);
  if (save) {
    // The default extension is the chosen type's when the dialog is typed.
    const int type = static_cast<int>(dialog.nFilterIndex) - 1;
    path = withExtension(path, filterIndex != nullptr ? filterExtension(settings.filter, type) : settings.defaultExt);
    if (filterIndex != nullptr) *filterIndex = type;
  }
  return path;
}

std::optional<std::string> TFormCorvadex::askOpenFile(const FileDialogSettings& settings) {
  return fileDialog(settings, false, nullptr);
}

std::optional<std::string> TFormCorvadex::askSaveFile(const FileDialogSettings& settings) {
  return fileDialog(settings, true, nullptr);
}

std::optional<TypedFileChoice> TFormCorvadex::askSaveFileTyped(const FileDialogSettings& settings) {
  int type = 0;
  std::optional<std::string> path = fileDialog(settings, true, &type);
  if (!path) return std::nullopt;
  return TypedFileChoice{*path, type};
}

void TFormCorvadex::showMessage(const std::string& message, const std::string& title, MessageIcon icon) {
  UINT flags = MB_OK;
  switch (icon) {
    case MessageIcon::Error: flags |= MB_ICONERROR; break;
    case MessageIcon::Warning: flags |= MB_ICONWARNING; break;
    case MessageIcon::Information: flags |= MB_ICONINFORMATION; break;
  }
  const HWND owner = IsWindowVisible(form_.get()) ? form_.get() : nullptr;
  modal([&] { return MessageBoxW(owner, wide(message).c_str(), wide(title).c_str(), flags); });
}

std::optional<std::size_t> TFormCorvadex::chooseDatabase(const std::vector<DatabaseFind>& finds) {
  return modal([&] { return chooseDatabaseDialog(form_.get(), texts_, finds); });
}

void TFormCorvadex::showAbout() {
  modal([&] {
    showAboutDialog(form_.get(), texts_);
    return 0;
  });
}

void TFormCorvadex::setBusy(bool busy) {
  busy_ = busy;
  // Shown now, not at the pointer's next move; onSetCursor keeps it while
  // the read or export runs.
  SetCursor(LoadCursorW(nullptr, busy ? IDC_APPSTARTING : IDC_ARROW));
}

void TFormCorvadex::show() {
  ShowWindow(form_.get(), SW_SHOW);
  RECT client{};
  GetClientRect(form_.get(), &client);
  onSize(client.right, client.bottom);
  showPage(0);
  UpdateWindow(form_.get());
}

void TFormCorvadex::guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    const std::string text =
        currentErrorText([this](const char* source) { return texts_.translate("ErrorReport", source); });
    // The report itself must not throw back into the handler that failed.
    try {
      showMessage(text, "Corvadex", MessageIcon::Error);
    } catch (...) {
    }
  }
}

void TFormCorvadex::post(std::function<void()> work) {
  // Reads and exports post from their own thread.
  {
    const std::lock_guard<std::mutex> lock(postedLock_);
    posted_.push_back(std::move(work));
  }
  PostMessageW(form_.get(), kPostedWork, 0, 0);
}

void TFormCorvadex::repeat(int milliseconds, std::function<bool()> tick) {
  const UINT_PTR id = nextTimer_++;
  timers_.emplace(id, std::move(tick));
  SetTimer(form_.get(), id, static_cast<UINT>(milliseconds), nullptr);
}

int TFormCorvadex::run(const std::string& startFile) {
  behaviour_->showWindow(startFile);
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorW(form_.get(), keys_.get(), &message)) continue;
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && IsChild(form_.get(), message.hwnd) &&
        (GetKeyState(VK_CONTROL) & 0x8000) == 0 && (GetKeyState(VK_MENU) & 0x8000) == 0) {
      onTabKey((GetKeyState(VK_SHIFT) & 0x8000) != 0);
      continue;
    }
    if (IsDialogMessageW(form_.get(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace corvadex::win32
