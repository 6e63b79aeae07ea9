// SPDX-License-Identifier: Apache-2.0
#include "window/window_layout.h"

#include <algorithm>
#include <stdexcept>

#include "window/window_texts.h"

namespace corvadex {

namespace {
constexpr unsigned kLeftTop = AnchorLeft | AnchorTop;
constexpr unsigned kTopRight = AnchorTop | AnchorRight;
constexpr unsigned kLeftTopRight = AnchorLeft | AnchorTop | AnchorRight;
}  // namespace

const std::array<ControlPlace, kControlCount> kWindowControls{{
    {Control::RadioButton1, "RadioButton1", Control::Form, {24, 8, 297, 17}, kLeftTop, Sizing::Fixed,
     QT_TRANSLATE_NOOP("TFormCorvadex", "Find the contacts database authomatically")},
    {Control::RadioButton2, "RadioButton2", Control::Form, {24, 24, 225, 17}, kLeftTop, Sizing::Fixed,
     QT_TRANSLATE_NOOP("TFormCorvadex", "Choose the database file")},
    {Control::Label1, "Label1", Control::Form, {883, 8, 34, 13}, kTopRight, Sizing::WidensToCaption,
     QT_TRANSLATE_NOOP("TFormCorvadex", "About")},
    {Control::EditDBPath, "EditDBPath", Control::Form, {16, 48, 770, 21}, kLeftTopRight, Sizing::Fixed,
     nullptr},
    {Control::ButtonChooseFile, "ButtonChooseFile", Control::Form, {784, 47, 24, 24}, kTopRight,
     Sizing::Fixed, QT_TRANSLATE_NOOP("TFormCorvadex", "...")},
    {Control::ButtonReadDatabase, "ButtonReadDatabase", Control::Form, {840, 47, 75, 25}, kTopRight,
     Sizing::Fixed, QT_TRANSLATE_NOOP("TFormCorvadex", "Read")},
    {Control::ListViewContacts, "ListViewContacts", Control::Form, {8, 80, 473, 353}, kLeftTopRight,
     Sizing::Fixed, nullptr},
    {Control::e, "e", Control::Form, {488, 80, 449, 353}, kTopRight, Sizing::Fixed, nullptr},
    {Control::TabSheetContact, "TabSheetContact", Control::e, {4, 24, 441, 325}, 0, Sizing::ByParent,
     nullptr},
    {Control::ButtonExportToXML, "ButtonExportToXML", Control::TabSheetContact, {288, 272, 97, 25}, 0,
     Sizing::Fixed, QT_TRANSLATE_NOOP("TFormCorvadex", "Export to XML file")},
    // In the free space of the page's right column, between "Other e-mail:"
    // and the XML button.
    {Control::ButtonExportForAddressBook, "ButtonExportForAddressBook", Control::TabSheetContact,
     {240, 244, 185, 25}, 0, Sizing::KeepsRightEdge,
     QT_TRANSLATE_NOOP("TFormCorvadex", "Export for another address book...")},
    {Control::MemoInfo, "MemoInfo", Control::Form, {6, 439, 929, 92},
     AnchorLeft | AnchorTop | AnchorRight | AnchorBottom, Sizing::Fixed, nullptr},
    // In the free space at the top, between the source choice and "About".
    {Control::FindBar1, "FindBar1", Control::Form, {336, 4, 540, 22}, kLeftTopRight, Sizing::Fixed,
     nullptr},
    {Control::LabelStatus, "LabelStatus", Control::Form, {340, 28, 536, 16}, kLeftTopRight,
     Sizing::Fixed, nullptr},
}};

const ControlPlace& placeOf(Control control) {
  for (const ControlPlace& place : kWindowControls)
    if (place.control == control) return place;
  throw std::invalid_argument("the window has no such control");
}

Rect anchoredRect(const Rect& design, Size designSize, Size size, unsigned anchors) {
  const int dx = size.width - designSize.width;
  const int dy = size.height - designSize.height;
  Rect r = design;
  if (anchors & AnchorRight) {
    if (anchors & AnchorLeft)
      r.width = std::max(0, design.width + dx);
    else
      r.left = design.left + dx;
  }
  if (anchors & AnchorBottom) {
    if (anchors & AnchorTop)
      r.height = std::max(0, design.height + dy);
    else
      r.top = design.top + dy;
  }
  return r;
}

Rect sizedToCaption(const ControlPlace& place, int captionWidth) {
  Rect r = place.design;
  if (place.sizing != Sizing::WidensToCaption && place.sizing != Sizing::KeepsRightEdge) return r;
  r.width = std::max(r.width, captionWidth);
  if (place.sizing == Sizing::KeepsRightEdge) r.left = place.design.right() - r.width;
  return r;
}

}  // namespace corvadex
