// SPDX-License-Identifier: Apache-2.0
// TFormCorvadex on Windows: the main window made of the Windows common
// controls, a thin view over WindowBehaviour as the Qt window is. The
// controls are made from the layout table (window_layout.h) and the details
// boxes from theirs (details_boxes.h), kept anchored on resize; the list
// view is virtual (LVS_OWNERDATA) over the contact list, so a list of any
// size shows at once, its last column filling the list's width. The window procedure hands each message to a named
// function, which draws or forwards to the behaviour's handler of the same
// name; the keys, the popup menu, dropped files and the dialogs are this
// view's.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "contacts/contact_list.h"
#include "window/details_boxes.h"
#include "window/form_services.h"
#include "window/win32/texts_win32.h"
#include "window/window_behaviour.h"
#include "window/window_view.h"

// After the program's headers, whose names Windows' macros would replace.
#include <windows.h>

#include <commctrl.h>

#include "window/win32/control_ids_win32.h"
#include "window/win32/handles_win32.h"

namespace corvadex::win32 {

class TFormCorvadex final : public WindowView, private ContactListObserver {
 public:
  TFormCorvadex(FormServices services, Texts texts);
  ~TFormCorvadex() override;
  TFormCorvadex(const TFormCorvadex&) = delete;
  TFormCorvadex& operator=(const TFormCorvadex&) = delete;

  WindowBehaviour& behaviour() { return *behaviour_; }
  HWND handle() const { return form_.get(); }
  // Shows the window (reading `startFile` once shown, when given) and runs
  // its messages until it is closed; returns the exit code.
  int run(const std::string& startFile);

  // WindowTexts, MessageLog
  std::string translate(const char* source, const char* disambiguation = nullptr) const override;
  std::string groupedNumber(std::size_t number, const std::string& localeName) const override;
  void Add(std::string_view line) override;

  // WindowView
  std::string text(Control control) const override;
  void setText(Control control, const std::string& text) override;
  bool checked(Control control) const override;
  void setChecked(Control control, bool checked) override;
  void setEnabled(Control control, bool enabled) override;
  void setTitle(const std::string& title) override;
  void setStatus(const std::string& text) override;
  void showContact(const ContactRow& row) override;
  void clearDetails() override;
  void openFindBar() override;
  void closeFindBar() override;
  bool findBarOpen() const override;
  void showNotFound(bool notFound) override;
  std::optional<std::string> askOpenFile(const FileDialogSettings& settings) override;
  std::optional<std::string> askSaveFile(const FileDialogSettings& settings) override;
  std::optional<TypedFileChoice> askSaveFileTyped(const FileDialogSettings& settings) override;
  void showMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
  std::optional<std::size_t> chooseDatabase(const std::vector<DatabaseFind>& finds) override;
  void showAbout() override;
  bool dialogOpen() const override { return modal_ > 0; }
  void setBusy(bool busy) override;
  void show() override;
  void guard(const std::function<void()>& handler) override;
  void post(std::function<void()> work) override;
  void repeat(int milliseconds, std::function<bool()> tick) override;

 private:
  static LRESULT CALLBACK formProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK pageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Message handlers.
  void onCommand(int id, int code, HWND control);
  LRESULT onNotify(const NMHDR& header);
  void onSize(int width, int height);
  void onContextMenu(HWND control, int x, int y);
  void onDropFiles(HDROP drop);
  void onTimer(UINT_PTR id);
  void onPosted();
  bool onSetCursor(HWND under);
  LRESULT onColorStatic(HDC dc, HWND control);
  void onDrawItem(const DRAWITEMSTRUCT& item);
  void onGetDispInfo(NMLVDISPINFOW& info);
  void onItemChanged(const NMLISTVIEW& change);
  void onDialogKey(int id);
  // Tab (Shift+Tab: `back`) from the focused control to the next tab stop.
  void onTabKey(bool back);
  // A key of the accelerator table.
  void onAccelerator(int id);

  // Building the window.
  void createForm();
  void createControls();
  void createDetails();
  void createFindBar();
  void showPage(int page);
  // The find bar's pieces within `bar`, the place the layout table gives it.
  void layoutFindBar(const Rect& bar);
  // The list's last column takes the width the others leave.
  void stretchLastColumn();
  // The controls Tab walks through now, in order.
  std::vector<HWND> tabStops() const;

  // ContactListObserver: the list view follows the contact list.
  void rowsAboutToChange() override;
  void rowsChanged() override;
  void selectedRowChanged(std::optional<std::size_t> row) override;

  HWND control(Control control) const;
  HWND findBarPart(FindBarPart part) const { return findBar_[static_cast<std::size_t>(part)]; }
  // The find bar's field or one of its other pieces.
  bool inFindBar(HWND window) const;
  std::string caption(Control control) const;
  std::optional<std::string> fileDialog(const FileDialogSettings& settings, bool save, int* filterIndex);
  // Runs a modal dialog, counted for dialogOpen().
  template <typename F>
  auto modal(F&& f) {
    ++modal_;
    struct Done {
      int& count;
      ~Done() { --count; }
    } done{modal_};
    return f();
  }

  Texts texts_;
  WindowHandle form_;
  std::array<HWND, kControlCount + 1> controls_{};  // by Control, Form first
  std::array<HWND, kDetailsPageCount> pages_{};
  std::array<HWND, kDetailsBoxCount> boxes_{};
  std::array<HWND, kFindBarPartCount> findBar_{};
  Rect findBarPlace_;      // where the layout table puts the find bar now
  HWND tips_ = nullptr;    // the tool tips of the status line and find bar; owned by the window
  FontHandle font_;
  FontHandle linkFont_;
  MenuHandle popup_;
  AcceleratorHandle keys_;
  std::unique_ptr<WindowBehaviour> behaviour_;
  std::wstring cellText_;  // the text the list view asked for last
  int quiet_ = 0;          // > 0 while the behaviour sets a control
  bool syncing_ = false;   // the list view is being made to follow the list
  bool busy_ = false;
  bool notFound_ = false;
  int modal_ = 0;
  std::mutex postedLock_;  // posted_ is filled from other threads too
  std::deque<std::function<void()>> posted_;
  std::map<UINT_PTR, std::function<bool()>> timers_;
  UINT_PTR nextTimer_ = 1;
  UINT_PTR runningTimer_ = 0;
};

}  // namespace corvadex::win32
