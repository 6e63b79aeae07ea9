// SPDX-License-Identifier: Apache-2.0
#include "export/xml_export.h"

#include <filesystem>
#include <memory>
#include <stdexcept>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <csignal>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include "base/output_file.h"
#include "file_io.h"
#include "base/temp_folder.h"
#include "test_support.h"

namespace corvadex {
namespace {

using test::addContact;
using test::ContactValues;
using test::distinctValues;
using testing::readFile;
using testing::writeFile;
using ::testing::HasSubstr;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
using test::kFffd;

// A "contact" element as a parser reads it back: attribute names and values
// in document order.
using Attributes = std::vector<std::pair<std::string, std::string>>;

struct ParsedDocument {
  std::string rootName;
  std::size_t rootAttributes = 0;
  std::size_t nonElementChildren = 0;
  std::vector<std::string> childNames;
  std::vector<Attributes> contacts;
};

// Reads a document with libxml2's parser; a document that is not
// well-formed fails the test.
ParsedDocument parse(const std::string& text) {
  ParsedDocument parsed;
  std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
      xmlReadMemory(text.data(), static_cast<int>(text.size()), "export.xml", nullptr, XML_PARSE_NONET | XML_PARSE_HUGE),
      xmlFreeDoc);
  if (!doc) {
    ADD_FAILURE() << "not well-formed XML";
    return parsed;
  }
  const xmlNode* root = xmlDocGetRootElement(doc.get());
  parsed.rootName = reinterpret_cast<const char*>(root->name);
  for (const xmlAttr* a = root->properties; a; a = a->next) ++parsed.rootAttributes;
  for (const xmlNode* child = root->children; child; child = child->next) {
    if (child->type != XML_ELEMENT_NODE) {
      ++parsed.nonElementChildren;
      continue;
    }
    parsed.childNames.emplace_back(reinterpret_cast<const char*>(child->name));
    Attributes attributes;
    for (const xmlAttr* a = child->properties; a; a = a->next) {
      xmlChar* value = xmlGetProp(child, a->name);
      attributes.emplace_back(reinterpret_cast<const char*>(a->name), reinterpret_cast<const char*>(value));
      xmlFree(value);
    }
    parsed.contacts.push_back(std::move(attributes));
    if (child->children != nullptr) ADD_FAILURE() << "a contact element has content";
  }
  return parsed;
}

Attributes Expected(const ContactValues& values) {
  Attributes attributes;
  for (std::size_t i = 0; i < kContactColumnCount; ++i)
    attributes.emplace_back(std::string(kContactColumns[i].xmlAttribute), values[i]);
  return attributes;
}

std::string toXml(const ContactList& list) {
  StringSink sink;
  writeContactsXml(list, sink);
  return sink.Text();
}

bool xmllintAccepts(const std::string& path) {
  if (::access("/usr/bin/xmllint", X_OK) != 0) return true;  // checked by the libxml2 parse alone
  return test::Run({"/usr/bin/xmllint", "--noout", path}).exitCode == 0;
}

TEST(XmlExport, EmptyListGivesTheRootAlone) {
  ContactList list;
  const std::string xml = toXml(list);
  EXPECT_EQ(xml, kDeclaration + "<contacts/>\n");
  const ParsedDocument doc = parse(xml);
  EXPECT_EQ(doc.rootName, "contacts");
  EXPECT_EQ(doc.rootAttributes, 0u);
  EXPECT_TRUE(doc.childNames.empty());
  EXPECT_EQ(doc.nonElementChildren, 0u);
}

TEST(XmlExport, EveryContactHasAll33AttributesInTableOrderEachWithItsValue) {
  ContactList list;
  const ContactValues ann = distinctValues("Ann"), empty{};
  addContact(list, ann);
  addContact(list, empty);
  addContact(list, ann);  // identical contacts stay two elements

  const std::string xml = toXml(list);
  const ParsedDocument doc = parse(xml);
  EXPECT_EQ(doc.rootName, "contacts");
  EXPECT_EQ(doc.childNames, std::vector<std::string>(3, "contact"));
  EXPECT_EQ(doc.nonElementChildren, 0u);  // no whitespace text between elements
  ASSERT_EQ(doc.contacts.size(), 3u);
  EXPECT_EQ(doc.contacts[0], Expected(ann));
  EXPECT_EQ(doc.contacts[1], Expected(empty));
  EXPECT_EQ(doc.contacts[2], Expected(ann));
  EXPECT_THAT(xml, HasSubstr(" notes=\"\"/>"));
}

TEST(XmlExport, RowWithoutRecordExportsEmptyFields) {
  ContactList list;
  ContactDraft row;
  row.setCaption("Nick");
  list.Add(row);
  const ParsedDocument doc = parse(toXml(list));
  ContactValues values{};
  values[0] = "Nick";
  ASSERT_EQ(doc.contacts.size(), 1u);
  EXPECT_EQ(doc.contacts[0], Expected(values));
}

TEST(XmlExport, ContactsStayInListOrderAcrossManyBufferFlushes) {
  ContactList list;
  constexpr std::size_t kRows = 10'000;
  for (std::size_t i = 0; i < kRows; ++i) addContact(list, distinctValues(std::to_string(i)));
  std::vector<std::pair<std::size_t, std::size_t>> reports;
  StringSink sink;
  writeContactsXml(list, sink, [&](std::size_t done, std::size_t total) { reports.emplace_back(done, total); });

  const ParsedDocument doc = parse(sink.Text());
  ASSERT_EQ(doc.contacts.size(), kRows);
  for (std::size_t i = 0; i < kRows; ++i)
    ASSERT_EQ(doc.contacts[i], Expected(distinctValues(std::to_string(i)))) << "row " << i;

  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back(), std::make_pair(kRows, kRows));
  for (std::size_t i = 1; i < reports.size(); ++i) EXPECT_LT(reports[i - 1].first, reports[i].first);
}

TEST(XmlExport, ReservedCharactersLineBreaksTabsAndNonBmpReadBackExactly) {
  ContactValues values{};
  values[test::columnIndex("notes")] = "line 1\r\nline 2\nline 3\rend\twith tab";
  values[test::columnIndex("nick_name")] = "<Tom & \"Jerry\"> 'quoted' ]]> &amp;";
  values[test::columnIndex("first_name")] = "  leading and trailing  ";
  values[test::columnIndex("last_name")] = "M\xC3\xBCller \xE6\x9D\x8E \xF0\x9F\x98\x80 \xF0\x9D\x84\x9E";
  values[test::columnIndex("city")] = "\t";
  values[test::columnIndex("company")] = "\n";
  ContactList list;
  addContact(list, values);

  TempFolder dir;
  const std::string path = dir.File("contacts.xml");
  writeContactsXml(list, path);
  const std::string xml = readFile(path);
  const ParsedDocument doc = parse(xml);
  ASSERT_EQ(doc.contacts.size(), 1u);
  EXPECT_EQ(doc.contacts[0], Expected(values));
  EXPECT_TRUE(xmllintAccepts(path));
  // Non-ASCII is written as UTF-8, not as character references.
  EXPECT_THAT(xml, HasSubstr("\xF0\x9F\x98\x80"));
}

TEST(XmlExport, CharactersXmlCannotCarryBecomeReplacementCharacters) {
  ContactValues values{};
  const std::size_t notes = test::columnIndex("notes");
  values[notes] = std::string("a\x01") + "b" + std::string(1, '\0') + "c\x1F" + "d\x7F" +
                  "e\xEF\xBF\xBE" + "f\xEF\xBF\xBF" + "g\xC3" + "h\xED\xA0\x80" + "i";
  ContactList list;
  addContact(list, values);

  TempFolder dir;
  const std::string path = dir.File("contacts.xml");
  writeContactsXml(list, path);
  EXPECT_TRUE(xmllintAccepts(path));
  const ParsedDocument doc = parse(readFile(path));
  ASSERT_EQ(doc.contacts.size(), 1u);
  // DEL (U+007F) is a legal XML character and stays; the rest is replaced.
  EXPECT_EQ(doc.contacts[0][notes].second, "a" + kFffd + "b" + kFffd + "c" + kFffd + "d\x7F" + "e" + kFffd +
                                               "f" + kFffd + "g" + kFffd + "h" + kFffd + kFffd + kFffd + "i");
}

// The bytes of an attribute: the five reserved characters as entities, tab,
// LF and CR as character references, all else as it is.
TEST(XmlExport, AttributeValuesAreEscapedByteForByte) {
  const struct {
    std::string value, written;
  } cases[] = {
      {"a&b<c>d\"e'f", "a&amp;b&lt;c&gt;d&quot;e'f"},
      {"\t\n\r\n ", "&#9;&#10;&#13;&#10; "},
      {"\u00E9\u20AC\U0001F600]]>", "\u00E9\u20AC\U0001F600]]&gt;"},
      {"&amp;", "&amp;amp;"},
      {"x\x01y", "x" + kFffd + "y"},
  };
  for (const auto& c : cases) {
    ContactValues values{};
    values[0] = c.value;
    ContactList list;
    addContact(list, values);
    const std::string xml = toXml(list);
    const std::string attribute = " " + std::string(kContactColumns[0].xmlAttribute) + "=\"" + c.written + "\" ";
    EXPECT_NE(xml.find(attribute), std::string::npos) << c.value << "\n" << xml.substr(0, 200);
  }
}

TEST(XmlExport, ExistingFileIsReplacedWithoutTrace) {
  TempFolder dir;
  const std::string path = dir.File("contacts.xml");
  writeFile(path, std::string(100'000, 'o'));  // longer than the new document
  ContactList list;
  addContact(list, distinctValues("new"));
  writeContactsXml(list, path);
  EXPECT_EQ(readFile(path), toXml(list));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"contacts.xml"});
}

// A failed save reports the system's description with the file name, leaves
// what was there and creates nothing.
void expectFailedSave(const std::string& target, const std::string& description) {
  ContactList list;
  addContact(list, distinctValues("lost"));
  try {
    writeContactsXml(list, target);
    ADD_FAILURE() << "saving to " << target << " succeeded";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), target + ": " + description);
  }
}

TEST(XmlExport, FailedSaveLeavesEverythingAsItWas) {
  TempFolder dir;
  // A folder where the file should go.
  std::filesystem::create_directory(dir.File("taken.xml"));
  writeFile(dir.File("taken.xml/inside"), "kept");
  expectFailedSave(dir.File("taken.xml"), "Is a directory");
  EXPECT_EQ(readFile(dir.File("taken.xml/inside")), "kept");

  // A folder that does not exist.
  expectFailedSave(dir.File("missing/contacts.xml"), "No such file or directory");

  // A file where a folder should be.
  writeFile(dir.File("plain"), "kept too");
  expectFailedSave(dir.File("plain/contacts.xml"), "Not a directory");
  EXPECT_EQ(readFile(dir.File("plain")), "kept too");

  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"plain", "taken.xml"}));
}

TEST(XmlExport, SaveIntoReadOnlyFolderFailsAndKeepsTheEarlierFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
  TempFolder dir;
  const std::string path = dir.File("contacts.xml");
  writeFile(path, "earlier");
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  expectFailedSave(path, "Permission denied");
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(readFile(path), "earlier");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"contacts.xml"});
}

// The file size limit makes the writes themselves fail part-way, for root
// too: the earlier file must survive and the partial one must go.
TEST(XmlExport, WriteFailingPartWayKeepsTheEarlierFile) {
  TempFolder dir;
  const std::string path = dir.File("contacts.xml");
  writeFile(path, "earlier");
  ContactList list;
  for (int i = 0; i < 5000; ++i) addContact(list, distinctValues("row " + std::to_string(i)));

  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit small = old;
  small.rlim_cur = 100'000;
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string message;
  try {
    writeContactsXml(list, path);
  } catch (const std::runtime_error& e) {
    message = e.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_EQ(message, path + ": File too large");
  EXPECT_EQ(readFile(path), "earlier");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"contacts.xml"});
}

// A write error from the sink reaches the caller as the sink's own error,
// not as a generic writer failure.
TEST(XmlExport, SinkErrorIsTheErrorReported) {
  class FailingSink final : public ByteSink {
   public:
    void write(std::string_view bytes) override {
      written_ += bytes.size();
      if (written_ > 50'000) throw std::runtime_error("disk on fire");
    }
    const std::string& name() const override { return name_; }

   private:
    std::string name_ = "failing";
    std::size_t written_ = 0;
  };
  ContactList list;
  for (int i = 0; i < 2000; ++i) addContact(list, distinctValues("row"));
  FailingSink sink;
  try {
    writeContactsXml(list, sink);
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "disk on fire");
  }
}

TEST(XmlExport, FullDeviceIsReportedWithItsName) {
  const int fd = ::open("/dev/full", O_WRONLY);
  if (fd < 0) GTEST_SKIP() << "no /dev/full";
  ContactList list;
  for (int i = 0; i < 3000; ++i) addContact(list, distinctValues("row"));
  OutputFile sink = OutputFile::ofDescriptor(fd, "standard output");
  try {
    writeContactsXml(list, sink);
    sink.commit();
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "standard output: No space left on device");
  }
  ::close(fd);
}

}  // namespace
}  // namespace corvadex
