// SPDX-License-Identifier: Apache-2.0
// window_bench [ROWS]: the main window with a large contact list (default
// 1,000,000 generated contacts) on the offscreen platform. Prints the time of
//   - the read into the window's list (generation inside the list's update
//     bracket, as the contact load does, plus the view's one reset),
//   - the first paint of the window with the full list,
//   - selecting the last row from code (view follows, boxes filled),
//   - a hundred Page Up keys in the list and the paint after them,
//   - selecting with Home and End,
//   - finding from the find bar (opening it, the filters the find makes in
//     the background, then a text nobody holds, one in the last contact,
//     one a few rows on),
// and the list's heap size and the process's peak resident memory.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "contacts/contact_columns.h"
#include "window/details_view.h"
#include "window/Unit1.h"
#include "window/contact_list_view.h"
#include "window/find_bar.h"
#include "window/window_dialogs.h"

namespace {

using namespace corvadex;
using Clock = std::chrono::steady_clock;

double ms(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

long statusKb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
  return -1;
}

// Loads generated contacts the way the contact load does.
class GeneratingReader final : public DatabaseReader {
 public:
  GeneratingReader(ContactList& list, std::size_t rows) : list_(list), rows_(rows) {}
  ese::JET_ERR ReadDatabase(const std::string&) override {
    list_.BeginUpdate();
    list_.clear();
    std::string value;
    for (std::size_t r = 0; r < rows_; ++r) {
      ContactDraft row;
      for (const ContactColumn& c : kContactColumns) {
        value.assign(c.name).append(" ").append(std::to_string(r));
        if (c.place.kind == ContactPlace::Kind::Caption) row.setCaption(value);
        else if (c.place.kind == ContactPlace::Kind::SubItem) row.addSubItem(value);
        else row.setField(c.place.field, value);
      }
      row.setHasData();
      list_.Add(row);
    }
    list_.EndUpdate();
    return ese::JET_errSuccess;
  }

 private:
  ContactList& list_;
  std::size_t rows_;
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::size_t rows = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;

  QtWindowDialogs dialogs;
  FormServices services;
  services.dialogs = &dialogs;
  services.fileExists = [](const std::string&) { return true; };
  services.makeReader = [rows](MessageLog&, ContactList& list) {
    return std::make_unique<GeneratingReader>(list, rows);
  };
  services.writeXml = [](const ContactList&, const std::string&) {};
  TFormCorvadex form(std::move(services));
  showMainWindow(form);
  QCoreApplication::processEvents();

  auto t = Clock::now();
  form.ReadDatabase("generated");
  // The read runs on a thread of its own; its rows reach the window when it ends.
  if (!QTest::qWaitFor([&form] { return !form.behaviour().taskRunning(); }, 600000)) {
    std::fprintf(stderr, "the read did not end within ten minutes\n");
    return 1;
  }
  std::printf("read %zu rows into the window: %.0f ms\n", form.contacts().count(), ms(t));

  t = Clock::now();
  form.grab();
  std::printf("first paint with the full list: %.1f ms\n", ms(t));

  t = Clock::now();
  form.contacts().setSelected(form.contacts().count() - 1, true);
  form.grab();
  std::printf("select the last row from code, paint: %.1f ms\n", ms(t));

  form.ListViewContacts->setFocus();
  t = Clock::now();
  for (int i = 0; i < 100; ++i) QTest::keyClick(form.ListViewContacts, Qt::Key_PageUp);
  form.grab();
  std::printf("100 x Page Up and paint: %.1f ms (%.2f ms a key)\n", ms(t), ms(t) / 100);

  t = Clock::now();
  QTest::keyClick(form.ListViewContacts, Qt::Key_Home);
  QTest::keyClick(form.ListViewContacts, Qt::Key_End);
  form.grab();
  std::printf("Home, End and paint: %.1f ms\n", ms(t));
  std::printf("selected row %zu, first name box \"%s\"\n", form.contacts().selected().value_or(0),
              qPrintable(form.e->boxText(0)));

  // Finding from the find bar. The find's block filters are made by a thread
  // of their own from the end of the read on (while the list was painted and
  // scrolled above); a find folds the blocks not filtered yet itself. A text
  // nobody holds is the slowest find: every block is looked at.
  form.contacts().setSelected(0, true);
  const std::size_t blocks = (form.contacts().count() + ContactSearch::kBlockRows - 1) / ContactSearch::kBlockRows;
  t = Clock::now();
  QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
  std::printf("Ctrl+F, opening the find bar: %.1f ms (filters made for %zu of %zu blocks)\n", ms(t),
              form.contactFinder().preparedBlocks(), blocks);
  t = Clock::now();
  form.contactFinder().waitUntilPrepared();
  std::printf("waiting for the rest of the filters: %.0f ms\n", ms(t));
  {
    t = Clock::now();
    ContactSearch fresh(form.contacts());
    fresh.waitUntilPrepared();
    std::printf("making the filters afresh on one thread: %.0f ms (%.1f MiB)\n", ms(t),
                static_cast<double>(fresh.heapBytes()) / 1048576.0);
  }
  QLineEdit* field = form.FindBar1->Field;
  const struct {
    const char* text;
    const char* what;
  } finds[] = {
      {"Nobody at all", "a text no contact holds"},
      {"Comments 999999", "the last contact's notes, searched from the first"},
      {"firstname 5", "the next match, a few rows on"},
  };
  for (const auto& f : finds) {
    form.contacts().setSelected(0, true);
    field->setText(QString::fromLatin1(f.text));
    t = Clock::now();
    QTest::keyClick(field, Qt::Key_Return);
    std::printf("find %s: %.1f ms (selected row %zu)\n", f.what, ms(t),
                form.contacts().selected().value_or(0));
  }

  std::printf("list heap: %.1f MiB; peak resident: %.1f MiB\n",
              static_cast<double>(form.contacts().heapBytes()) / 1048576.0,
              static_cast<double>(statusKb("VmHWM")) / 1024.0);
  return 0;
}
