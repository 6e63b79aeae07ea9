// SPDX-License-Identifier: Apache-2.0
// The main window's layout table as a user sees the window: every control
// inside its parent, none covering another, and the anchors holding when the
// window grows; the pieces both views place controls with; the texts' fill-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "window/details_boxes.h"
#include "window/window_behaviour.h"
#include "window/window_layout.h"
#include "window/window_texts.h"

namespace corvadex {
namespace {

// Where a control stands when the window's client area is `client`.
Rect placeAt(const ControlPlace& place, Size client);

Size areaOf(Control parent, Size client) {
  if (parent == Control::Form) return client;
  const Rect r = placeAt(placeOf(parent), client);
  return {r.width, r.height};
}

Rect placeAt(const ControlPlace& place, Size client) {
  const Size designArea = areaOf(place.parent, kDesignClientSize);
  return anchoredRect(place.design, designArea, areaOf(place.parent, client), place.anchors);
}

bool overlap(const Rect& a, const Rect& b) {
  return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

// The width and height two rectangles share (none: 0 by 0).
Size shared(const Rect& a, const Rect& b) {
  if (!overlap(a, b)) return {};
  return {std::min(a.right(), b.right()) - std::max(a.left, b.left),
          std::min(a.bottom(), b.bottom()) - std::max(a.top, b.top)};
}

// Two pairs of the design touch: the radio buttons share a row of pixels,
// and the chooser button sits on the path edit's right frame.
bool touchInTheDesign(Control a, Control b) {
  const auto pair = [&](Control x, Control y) { return (a == x && b == y) || (a == y && b == x); };
  return pair(Control::RadioButton1, Control::RadioButton2) || pair(Control::EditDBPath, Control::ButtonChooseFile);
}

// The design's size and larger ones: wider and taller, or taller only.
const Size kSizes[] = {kDesignClientSize, {1041, 575}, {1441, 835}, {kDesignClientSize.width, 900}};

TEST(WindowLayout, EveryControlStaysInsideItsParentAndCoversNoOther) {
  for (const Size client : kSizes) {
    const std::string at = std::to_string(client.width) + "x" + std::to_string(client.height);
    for (const ControlPlace& place : kWindowControls) {
      const Rect r = placeAt(place, client);
      const Size area = areaOf(place.parent, client);
      EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right() <= area.width && r.bottom() <= area.height)
          << place.name << " at " << at;
      for (const ControlPlace& other : kWindowControls) {
        if (&other == &place || other.parent != place.parent) continue;
        // Two that touch in the design touch no more when the window grows.
        const Size allowed =
            touchInTheDesign(place.control, other.control) ? shared(place.design, other.design) : Size{};
        EXPECT_EQ(shared(r, placeAt(other, client)), allowed) << place.name << " covers " << other.name << " at " << at;
      }
    }
  }
}

// The details view's boxes on their pages, with the export buttons on the
// " Contact " page: inside the page, none covering another.
TEST(WindowLayout, DetailsBoxesStayOnTheirPageAndCoverNoOther) {
  const Rect page = placeOf(Control::TabSheetContact).design;
  struct Placed {
    std::size_t page;
    std::string_view name;
    Rect at;
  };
  std::vector<Placed> placed;
  for (const DetailsBox& box : kDetailsBoxes) {
    EXPECT_NO_THROW(columnOf(box)) << box.name;
    placed.push_back({static_cast<std::size_t>(box.page), box.name, {box.left, box.top, box.width, box.height}});
  }
  for (const ControlPlace& place : kWindowControls) {
    if (place.parent == Control::TabSheetContact) placed.push_back({0, place.name, place.design});
  }
  for (const Placed& p : placed) {
    EXPECT_LT(p.page, kDetailsPageCount) << p.name;
    EXPECT_TRUE(p.at.left >= 0 && p.at.top >= 0 && p.at.right() <= page.width && p.at.bottom() <= page.height)
        << p.name;
    for (const Placed& other : placed) {
      if (&other != &p && other.page == p.page) {
        EXPECT_FALSE(overlap(p.at, other.at)) << p.name << " covers " << other.name;
      }
    }
  }
}

TEST(WindowLayout, AnchoredEdgesKeepTheirDistanceWhenTheWindowGrows) {
  for (const Size client : kSizes) {
    for (const ControlPlace& place : kWindowControls) {
      if (place.parent != Control::Form) continue;
      const Rect design = place.design, r = placeAt(place, client);
      const std::string name(place.name);
      if (place.anchors & AnchorLeft) { EXPECT_EQ(r.left, design.left) << name; }
      if (place.anchors & AnchorTop) { EXPECT_EQ(r.top, design.top) << name; }
      if (place.anchors & AnchorRight) {
        EXPECT_EQ(client.width - r.right(), kDesignClientSize.width - design.right()) << name;
      }
      if (place.anchors & AnchorBottom) {
        EXPECT_EQ(client.height - r.bottom(), kDesignClientSize.height - design.bottom()) << name;
      }
      // Not anchored to an edge, it keeps its size on that side.
      if ((place.anchors & (AnchorLeft | AnchorRight)) != (AnchorLeft | AnchorRight)) {
        EXPECT_EQ(r.width, design.width) << name;
      }
      if ((place.anchors & (AnchorTop | AnchorBottom)) != (AnchorTop | AnchorBottom)) {
        EXPECT_EQ(r.height, design.height) << name;
      }
    }
  }
}

TEST(WindowLayout, EachControlHasOneEntryUnderItsOwnName) {
  std::set<std::string_view> names;
  std::set<Control> controls;
  for (const ControlPlace& place : kWindowControls) {
    EXPECT_EQ(&placeOf(place.control), &place) << place.name;
    names.insert(place.name);
    controls.insert(place.control);
  }
  EXPECT_EQ(names.size(), kControlCount);
  EXPECT_EQ(controls.size(), kControlCount);
  EXPECT_THROW(placeOf(Control::Form), std::invalid_argument);
}

TEST(WindowLayout, AnchoredRectFollowsTheEdgesGiven) {
  const Rect design{10, 20, 100, 50};
  const Size from{300, 200};
  const struct {
    unsigned anchors;
    Size to;
    Rect expected;
  } cases[] = {
      {AnchorLeft | AnchorTop, {400, 260}, {10, 20, 100, 50}},
      {AnchorTop | AnchorRight, {400, 260}, {110, 20, 100, 50}},
      {AnchorLeft | AnchorTop | AnchorRight, {400, 260}, {10, 20, 200, 50}},
      {AnchorLeft | AnchorTop | AnchorRight | AnchorBottom, {400, 260}, {10, 20, 200, 110}},
      {AnchorLeft | AnchorBottom, {400, 260}, {10, 80, 100, 50}},
      {AnchorTop | AnchorBottom, {250, 180}, {10, 20, 100, 30}},
      {AnchorLeft | AnchorRight, {150, 200}, {10, 20, 0, 50}},  // never narrower than nothing
  };
  for (const auto& c : cases) EXPECT_EQ(anchoredRect(design, from, c.to, c.anchors), c.expected) << c.anchors;
}

TEST(WindowLayout, CaptionsWidenTheirControlFromTheEdgeItKeeps) {
  const ControlPlace& about = placeOf(Control::Label1);
  const ControlPlace& second = placeOf(Control::ButtonExportForAddressBook);
  const ControlPlace& read = placeOf(Control::ButtonReadDatabase);
  const struct {
    const ControlPlace& place;
    int captionWidth;
    Rect expected;
  } cases[] = {
      {about, 20, about.design},
      {about, 40, {about.design.left, about.design.top, 40, about.design.height}},
      {second, 100, second.design},
      {second, 200, {second.design.right() - 200, second.design.top, 200, second.design.height}},
      {read, 300, read.design},  // sized as designed whatever its caption
  };
  for (const auto& c : cases) EXPECT_EQ(sizedToCaption(c.place, c.captionWidth), c.expected) << c.place.name;
}

TEST(WindowTexts, FillInReplacesNumberedPlacesOnce) {
  const struct {
    const char* pattern;
    std::initializer_list<std::string_view> arguments;
    const char* expected;
  } cases[] = {
      {"%1 contacts", {"20,000"}, "20,000 contacts"},
      {"Corvadex \u2014 %1 \u2014 %2", {"a.edb", "1 contact"}, "Corvadex \u2014 a.edb \u2014 1 contact"},
      {"%2 before %1", {"one", "two"}, "two before one"},
      {"%1: %2 read", {"%2.edb", "3"}, "%2.edb: 3 read"},  // an argument's own place stays
      {"%3 and 100%", {"x"}, "%3 and 100%"},             // no such argument
      {"", {"x"}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(fillIn(c.pattern, c.arguments), c.expected) << c.pattern;
}

TEST(WindowTexts, FileNameIsTheLastPartOfThePath) {
  const struct {
    const char* path;
    const char* name;
  } cases[] = {{"/home/bob/contacts.edb", "contacts.edb"}, {"contacts.edb", "contacts.edb"}, {"/d/", ""}};
  for (const auto& c : cases) EXPECT_EQ(fileNameOf(c.path), c.name);
}

}  // namespace
}  // namespace corvadex
