// SPDX-License-Identifier: Apache-2.0
// Where the main window's controls stand: one table of every control with
// its parent, its place in the window's design (a client area of 941 by 535
// at 258, 138 on the screen) and the edges it is anchored to. Both views of
// the window place their controls from it, and keep them anchored with
// anchoredRect() when the window is resized.
//
// Anchors: a control anchored to an edge of its parent keeps its distance to
// that edge when the parent is resized. Anchored left and right, it
// stretches horizontally; right only, it moves with the right edge; top and
// bottom, it stretches vertically. (A side anchored on neither edge keeps its
// place, which is all this window needs.)
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace corvadex {

// A rectangle in pixels of its parent's client area; right() and bottom()
// are the first column and row outside it.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// The window's place on the screen and the size of its client area.
inline constexpr int kDesignLeft = 258;
inline constexpr int kDesignTop = 138;
inline constexpr Size kDesignClientSize{941, 535};

enum Anchor : unsigned {
  AnchorLeft = 1,
  AnchorTop = 2,
  AnchorRight = 4,
  AnchorBottom = 8,
};

// The window itself and its controls, named as the window's design names
// them; the find bar and the status line are the window's additions.
enum class Control : unsigned char {
  Form,
  RadioButton1,
  RadioButton2,
  Label1,
  EditDBPath,
  ButtonChooseFile,
  ButtonReadDatabase,
  ListViewContacts,
  e,
  TabSheetContact,
  ButtonExportToXML,
  ButtonExportForAddressBook,
  MemoInfo,
  FindBar1,
  LabelStatus,
};
inline constexpr std::size_t kControlCount = 14;  // all but Form

// How a control's size follows from its place in the table.
enum class Sizing : unsigned char {
  // As the table gives it.
  Fixed,
  // From its place, as wide as its caption needs when that is wider (the
  // design's widths are those of the design's font, narrower than others).
  WidensToCaption,
  // The same, growing leftwards: its right edge stays where it is.
  KeepsRightEdge,
  // Placed by its parent: a page of the page control, whose area the page
  // control gives (the table holds what it gives at the design's size).
  ByParent,
};

struct ControlPlace {
  Control control;
  std::string_view name;  // the control's name in the design
  Control parent;
  Rect design;
  unsigned anchors;
  Sizing sizing;
  // The caption in English, as the view translates it; null for none.
  const char* caption;
};

// In the order the controls are made; a parent comes before its children.
extern const std::array<ControlPlace, kControlCount> kWindowControls;

// The table's entry for a control (not Form).
const ControlPlace& placeOf(Control control);

// The keyboard's order through the window: the list, at once the export
// buttons (what is read is exported without passing every box of the
// details), the log, the page control (with the shown page's boxes), the
// path edit with its buttons, then the sources.
inline constexpr Control kTabOrder[] = {
    Control::ListViewContacts, Control::ButtonExportToXML, Control::ButtonExportForAddressBook,
    Control::MemoInfo,         Control::e,                 Control::EditDBPath,
    Control::ButtonChooseFile, Control::ButtonReadDatabase, Control::RadioButton1,
    Control::RadioButton2,
};

// The place a control designed at `design` within a parent of `designSize`
// takes when the parent is `size`.
Rect anchoredRect(const Rect& design, Size designSize, Size size, unsigned anchors);

// The control's place at the design's size once its caption, which needs
// `captionWidth` pixels, is taken into account.
Rect sizedToCaption(const ControlPlace& place, int captionWidth);

}  // namespace corvadex
