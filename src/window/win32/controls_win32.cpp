// SPDX-License-Identifier: Apache-2.0
#include "window/win32/controls_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include "base/wide_path.h"

namespace corvadex::win32 {

FontHandle messageFont(LONG weight, bool underline, int points) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  LOGFONTW font = metrics.lfMessageFont;
  font.lfWeight = weight;
  font.lfUnderline = underline ? TRUE : FALSE;
  if (points > 0) {
    HDC screen = GetDC(nullptr);
    font.lfHeight = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
  }
  return FontHandle(CreateFontIndirectW(&font));
}

std::wstring windowTextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

SIZE textSize(HWND window, HFONT font, const std::wstring& text) {
  HDC dc = GetDC(window);
  const HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size;
}

HWND createToolTips(HWND owner) {
  return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

void addToolTip(HWND tips, HWND control, const std::wstring& text) {
  std::wstring shown = text;  // the tip keeps a copy
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = shown.data();
  SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void openWithDesktop(const std::string& address) {
  // What the shell returns is not looked at: a failure leaves things as they are.
  ShellExecuteW(nullptr, nullptr, wideText(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace corvadex::win32
