// SPDX-License-Identifier: Apache-2.0
// The Win32 window's pieces that need no window: the file dialogs' filters
// and default extensions, and the German texts generated from the Qt
// window's translation file.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "window/details_boxes.h"
#include "window/win32/file_dialog_win32.h"
#include "window/win32/texts_win32.h"
#include "window/window_layout.h"

namespace corvadex::win32 {
namespace {

constexpr const char* kTypedFilter = "vCard 3.0|*.vcf|vCard 4.0|*.vcf|Google CSV|*.csv|Outlook CSV|*.csv";

TEST(FileDialogWin32, FilterBecomesNulSeparatedPairs) {
  EXPECT_EQ(dialogFilter("xml files|*.xml"), std::wstring(L"xml files\0*.xml\0\0", 17));
  EXPECT_EQ(dialogFilter("Datei\u00e4|*.edb"), std::wstring(L"Datei\u00e4\0*.edb\0\0", 14));
  EXPECT_EQ(dialogFilter(""), std::wstring(L"\0", 1));
}

TEST(FileDialogWin32, ExtensionOfEachFileType) {
  const struct {
    const char* filter;
    int index;
    const char* extension;
  } cases[] = {
      {kTypedFilter, 0, "vcf"}, {kTypedFilter, 1, "vcf"}, {kTypedFilter, 2, "csv"},
      {kTypedFilter, 3, "csv"}, {kTypedFilter, 4, ""},    {kTypedFilter, -1, ""},
      {"All|*.*", 0, ""},       {"Text|*.txt;*.csv", 0, "txt"}, {"xml files|*.xml", 0, "xml"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(filterExtension(c.filter, c.index), c.extension) << c.filter << " #" << c.index;
}

TEST(FileDialogWin32, DefaultExtensionOnlyForNamesWithout) {
  const struct {
    const char* path;
    const char* extension;
    const char* result;
  } cases[] = {
      {"C:\\out\\contacts", "xml", "C:\\out\\contacts.xml"},
      {"C:\\out\\contacts.txt", "xml", "C:\\out\\contacts.txt"},
      {"C:\\my.folder\\contacts", "csv", "C:\\my.folder\\contacts.csv"},
      {"C:/my.folder/contacts", "csv", "C:/my.folder/contacts.csv"},
      {"contacts", "", "contacts"},
  };
  for (const auto& c : cases) EXPECT_EQ(withExtension(c.path, c.extension), c.result) << c.path;
}

TEST(TextsWin32, GermanFromTheTranslationFileEnglishOtherwise) {
  const Texts german(true);
  const Texts english(false);
  // Texts of the main window, the details view and the list, by context.
  EXPECT_EQ(german.translate("TFormCorvadex", "Read"), "Lesen");
  EXPECT_EQ(german.translate("ContactDetailsView", "First name:"), "Vorname:");
  EXPECT_EQ(english.translate("ContactDetailsView", "First name:"), "First name:");
  // The same English text in another context is not taken from this one.
  EXPECT_EQ(german.translate("NoSuchContext", "Read"), "Read");
  // The disambiguation picks the entry: the locale of the grouped numbers.
  EXPECT_EQ(german.translate("TFormCorvadex", "en_US", "the locale whose digit grouping numbers follow"), "de_DE");
  EXPECT_EQ(german.translate("TFormCorvadex", "en_US"), "en_US");
}

// The generated table holds a translation for every caption of the window
// and of the details view (some German words are the English ones).
bool catalogued(const char* context, std::string_view source) {
  for (std::size_t i = 0; i < kGermanTextsCount; ++i)
    if (std::string_view(kGermanTexts[i].context) == context && kGermanTexts[i].source == source) return true;
  return false;
}

TEST(TextsWin32, EveryCaptionOfTheWindowIsCatalogued) {
  for (const ControlPlace& place : kWindowControls) {
    if (place.caption == nullptr) continue;
    EXPECT_TRUE(catalogued("TFormCorvadex", place.caption)) << place.name;
  }
  for (const DetailsPage& page : kDetailsPages) EXPECT_TRUE(catalogued("ContactDetailsView", page.caption)) << page.name;
  for (const DetailsBox& box : kDetailsBoxes) {
    if (box.caption.empty()) continue;
    EXPECT_TRUE(catalogued("ContactDetailsView", box.caption)) << box.name;
  }
}

}  // namespace
}  // namespace corvadex::win32
