// SPDX-License-Identifier: Apache-2.0
#include "window/Unit1.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFont>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <stdexcept>

#include "window/details_view.h"
#include "location/database_location.h"
#include "location/database_search.h"
#include "location/found_database_text.h"
#include "platform/file_exists.h"
#include "platform/same_file.h"
#include "window/UnitAbout.h"
#include "window/anchors.h"
#include "window/contact_list_model.h"
#include "window/contact_list_view.h"
#include "window/database_chooser.h"
#include "window/error_report.h"
#include "window/link_label.h"
#include "window/message_memo.h"

namespace corvadex {

namespace {

// Shows the busy cursor for as long as it lives, also when an error ends
// the work early.
class BusyCursor {
 public:
  BusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Hand the cursor to the display now: the work that follows keeps the
    // event loop from running. User input stays queued until it ends.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// The file types of the second export and the formats they write, in the
// same order.
constexpr char kAddressBookFilter[] =
    "vCard 3.0|*.vcf|vCard 4.0|*.vcf|Google CSV|*.csv|Outlook CSV|*.csv";
constexpr const char* kAddressBookFormats[] = {"vcard", "vcard4", "google-csv", "outlook-csv"};

// The desktop's sans-serif font at 8 points: the window's design font does
// not exist here, and the layout keeps the design's pixel geometry.
QFont windowFont() {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

}  // namespace

std::string pathFromText(const QString& text) { return QFile::encodeName(text).toStdString(); }

TFormCorvadex::TFormCorvadex(FormServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
  if (services_.dialogs == nullptr || !services_.makeReader || !services_.writeXml)
    throw std::invalid_argument("the main window needs every one of its services");
  setObjectName(QStringLiteral("FormCorvadex"));
  setWindowTitle(QStringLiteral("Corvadex"));
  setFont(windowFont());
  resize(kClientWidth, kClientHeight);
  move(kLeft, kTop);

  if (!services_.fileExists)
    services_.fileExists = [](const std::string& path) { return isRegularFile(path.c_str()); };
  if (!services_.sameFile) services_.sameFile = isSameFile;
  buildControls();
  applyTabOrder();
  reader_ = services_.makeReader(*MemoInfo, list_);
  if (services_.windows != nullptr) location_ = std::make_unique<DatabaseLocation>(*services_.windows);
  list_.addObserver(this);
  connectHandlers();
  buildAdditions();
}

TFormCorvadex::~TFormCorvadex() {
  list_.removeObserver(this);
  // The list view and its model read the contact list, a member that goes
  // before the base class destroys the children: they go first.
  delete ListViewContacts;
  delete model_;
}

void TFormCorvadex::buildControls() {
  RadioButton1 = new QRadioButton(tr("Find the contacts database authomatically"), this);
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton1->setGeometry(24, 8, 297, 17);
  RadioButton1->setChecked(true);  // set before the handlers are connected: raises nothing

  RadioButton2 = new QRadioButton(tr("Choose the database file"), this);
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  RadioButton2->setGeometry(24, 24, 225, 17);

  Label1 = new LinkLabel(tr("About"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(883, 8, 34, 13);
  QFont linkFont = font();
  linkFont.setBold(true);
  linkFont.setUnderline(true);
  Label1->setFont(linkFont);
  // Sized to its caption, as a label is: the design's 34 pixels are the
  // width of "About" in the design font, narrower than the sans-serif here.
  Label1->resize(std::max(Label1->width(), Label1->sizeHint().width()), Label1->height());

  EditDBPath = new QLineEdit(this);
  EditDBPath->setObjectName(QStringLiteral("EditDBPath"));
  EditDBPath->setGeometry(16, 48, 770, 21);
  EditDBPath->setEnabled(false);

  ButtonChooseFile = new QPushButton(tr("..."), this);
  ButtonChooseFile->setObjectName(QStringLiteral("ButtonChooseFile"));
  ButtonChooseFile->setGeometry(784, 47, 24, 24);
  ButtonChooseFile->setEnabled(false);

  ButtonReadDatabase = new QPushButton(tr("Read"), this);
  ButtonReadDatabase->setObjectName(QStringLiteral("ButtonReadDatabase"));
  ButtonReadDatabase->setGeometry(840, 47, 75, 25);
  ButtonReadDatabase->setEnabled(false);

  model_ = new ContactListModel(list_, this);
  ListViewContacts = new ContactListView(model_, this);
  ListViewContacts->setObjectName(QStringLiteral("ListViewContacts"));
  ListViewContacts->setGeometry(8, 80, 473, 353);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  Savetofile1 = PopupMenu1->addAction(tr("Save to file"));
  Savetofile1->setObjectName(QStringLiteral("Savetofile1"));  // has no action
  ListViewContacts->setContextMenuPolicy(Qt::CustomContextMenu);

  e = new ContactDetailsView(this);
  e->setGeometry(488, 80, 449, 353);

  ButtonExportToXML = new QPushButton(tr("Export to XML file"), e->TabSheetContact);
  ButtonExportToXML->setObjectName(QStringLiteral("ButtonExportToXML"));
  ButtonExportToXML->setGeometry(288, 272, 97, 25);

  // In the free space of the page's right column, between "Other e-mail:"
  // and the XML button.
  ButtonExportForAddressBook =
      new QPushButton(tr("Export for another address book..."), e->TabSheetContact);
  ButtonExportForAddressBook->setObjectName(QStringLiteral("ButtonExportForAddressBook"));
  // Wide enough for its caption in the desktop's font (or a translation),
  // growing leftwards from a fixed right edge.
  const int exportWidth = std::max(185, ButtonExportForAddressBook->sizeHint().width());
  ButtonExportForAddressBook->setGeometry(425 - exportWidth, 244, exportWidth, 25);

  MemoInfo = new MessageMemo(this);
  MemoInfo->setObjectName(QStringLiteral("MemoInfo"));
  MemoInfo->setGeometry(6, 439, 929, 92);

  OpenDialog1.filter = QStringLiteral("*.edb|*.edb");
  SaveDialog1.filter = tr("xml files|*.xml");
  SaveDialog1.defaultExt = QStringLiteral("xml");
  SaveDialog1.fileName = QStringLiteral("contacts");
  SaveDialog1.overwritePrompt = false;
  SaveDialog2.filter = QString::fromLatin1(kAddressBookFilter);
  SaveDialog2.defaultExt = QStringLiteral("vcf");
  SaveDialog2.fileName = QStringLiteral("contacts");
  SaveDialog2.overwritePrompt = false;

  anchors_ = new AnchorKeeper(this, QSize(kClientWidth, kClientHeight));
  anchors_->Add(RadioButton1, AnchorLeft | AnchorTop);
  anchors_->Add(RadioButton2, AnchorLeft | AnchorTop);
  anchors_->Add(Label1, AnchorTop | AnchorRight);
  anchors_->Add(EditDBPath, AnchorLeft | AnchorTop | AnchorRight);
  anchors_->Add(ButtonChooseFile, AnchorTop | AnchorRight);
  anchors_->Add(ButtonReadDatabase, AnchorTop | AnchorRight);
  anchors_->Add(ListViewContacts, AnchorLeft | AnchorTop | AnchorRight);
  anchors_->Add(e, AnchorTop | AnchorRight);
  anchors_->Add(MemoInfo, AnchorLeft | AnchorTop | AnchorRight | AnchorBottom);
}

void TFormCorvadex::applyTabOrder() {
  Label1->setFocusPolicy(Qt::NoFocus);
  QWidget* order[] = {ListViewContacts, MemoInfo,         e,           EditDBPath,
                      ButtonChooseFile, ButtonReadDatabase, RadioButton1, RadioButton2};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
  // The export button comes last among the " Contact " page's controls.
  QWidget* lastBox = e->box("EditOtherphone");
  setTabOrder(lastBox, ButtonExportToXML);
  setTabOrder(ButtonExportToXML, ButtonExportForAddressBook);
}

void TFormCorvadex::connectHandlers() {
  connect(RadioButton1, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) guarded(this, [this] { RadioButton1Click(); });
  });
  connect(RadioButton2, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) guarded(this, [this] { RadioButton2Click(); });
  });
  connect(EditDBPath, &QLineEdit::textChanged, this,
          [this] { guarded(this, [this] { EditDBPathChange(); }); });
  connect(ButtonChooseFile, &QPushButton::clicked, this,
          [this] { guarded(this, [this] { ButtonChooseFileClick(); }); });
  connect(ButtonReadDatabase, &QPushButton::clicked, this,
          [this] { guarded(this, [this] { ButtonReadDatabaseClick(); }); });
  Label1->setOnClick([this] { guarded(this, [this] { Label1Click(); }); });
  connect(ButtonExportToXML, &QPushButton::clicked, this,
          [this] { guarded(this, [this] { ButtonExportToXMLClick(); }); });
  connect(ButtonExportForAddressBook, &QPushButton::clicked, this,
          [this] { guarded(this, [this] { ButtonExportForAddressBookClick(); }); });
  connect(ListViewContacts, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    PopupMenu1->popup(ListViewContacts->viewport()->mapToGlobal(pos));
  });
}

void TFormCorvadex::selectedRowChanged(std::optional<std::size_t>) {
  guarded(this, [this] { ListViewContactsSelectItem(); });
}

void TFormCorvadex::ReadDatabase(const std::string& path) {
  ++readsStarted_;
  reading_ = path;
  struct Done {
    std::optional<std::string>& reading;
    ~Done() { reading.reset(); }
  } done{reading_};
  try {
    BusyCursor busy;
    reader_->ReadDatabase(path);
  } catch (...) {
    afterRead(path);  // the title and status follow what the list now holds
    throw;
  }
  afterRead(path);
}

void TFormCorvadex::rowsAboutToChange() {
  // A read replaces the rows only once it has reached the contact table:
  // from then on the list shows that database.
  if (reading_) shownDatabase_ = *reading_;
}

bool TFormCorvadex::refuseDatabaseAsTarget(const std::string& target) {
  if (shownDatabase_.empty() || !services_.sameFile(shownDatabase_, target)) return false;
  dialogs().messageBox(this,
                       tr("The export was not written: the file chosen is the contacts "
                          "database being shown, which Corvadex never changes."),
                       tr(" Corvadex"), MessageIcon::Error);
  return true;
}

bool TFormCorvadex::fileExists(const std::string& path) const { return services_.fileExists(path); }

void TFormCorvadex::FormCreate() {
  // Finds the mail client's database and reads it before the window is
  // first shown; the log lines go to MemoInfo, and the first contact read is
  // selected, which shows its details. An error (no mail client) ends this
  // handler and reaches the default error report.
  if (location_ == nullptr) return;
  // When that gives no database (no mail client, an old version, no file at
  // its place) the search goes on in other prefixes, on mounted volumes and
  // in named folders, in the background: its finds come once the window is
  // shown, after any error of the location has been reported.
  bool found = false;
  try {
    location_->Run(*MemoInfo, list_, [this, &found](const std::string& path) {
      found = true;
      ReadDatabase(path);
    });
  } catch (...) {
    if (!found) startSearch();
    throw;
  }
  if (!found) {
    startSearch();
  } else if (services_.localPath) {
    OpenDialog1.directory =
        QFile::decodeName(folderOf(services_.localPath(location_->DatabasePath)).c_str());
  }
}

void TFormCorvadex::startSearch() {
  if (!services_.startSearch) return;
  search_ = services_.startSearch();
  searchTimer_ = new QTimer(this);
  searchTimer_->setInterval(20);
  connect(searchTimer_, &QTimer::timeout, this, [this] {
    // A dialog the user has open (an error report, a file dialog) is not
    // interrupted: the finds wait for it to close.
    if (search_ == nullptr || !search_->finished() || QApplication::activeModalWidget() != nullptr)
      return;
    guarded(this, [this] { searchFinished(); });
  });
  searchTimer_->start();
}

void TFormCorvadex::searchFinished() {
  searchTimer_->stop();
  const std::unique_ptr<DatabaseSearch> search = std::move(search_);
  const SearchOutcome outcome = search->wait();
  logSearchOutcome(*MemoInfo, outcome);
  if (!outcome.finds.empty()) {
    OpenDialog1.directory = QFile::decodeName(folderOf(outcome.finds.front().path).c_str());
  } else if (!outcome.windowsVolumes.empty()) {
    OpenDialog1.directory = QFile::decodeName(outcome.windowsVolumes.front().c_str());
  }
  if (outcome.finds.empty() && !userRead_ && readsStarted_ == 0) logHowToGoOn();
  if (outcome.finds.empty() || userRead_) return;

  // One database is read at once; of several, only the one the user picks.
  std::size_t chosen = 0;
  if (outcome.finds.size() > 1) {
    DatabaseChooser chooser(this, outcome.finds);
    dialogs().showModal(chooser);
    const std::optional<std::size_t> row = chooser.chosen();
    if (!row) {
      MemoInfo->Add("No database chosen");
      logHowToGoOn();
      return;
    }
    chosen = *row;
  }
  const std::string& path = outcome.finds[chosen].path;
  OpenDialog1.directory = QFile::decodeName(folderOf(path).c_str());
  MemoInfo->Add("Database File: " + path);
  if (fileExists(path)) {
    ReadDatabase(path);
  } else {
    MemoInfo->Add("ERROR DatabaseFilePath not Exists");
  }
  list_.selectFirst();
}

void TFormCorvadex::RadioButton1Click() {
  const bool enable = !RadioButton1->isChecked();
  EditDBPath->setEnabled(enable);
  ButtonChooseFile->setEnabled(enable);
}

void TFormCorvadex::RadioButton2Click() {
  const bool enable = RadioButton2->isChecked();
  EditDBPath->setEnabled(enable);
  ButtonChooseFile->setEnabled(enable);
}

void TFormCorvadex::EditDBPathChange() {
  ButtonReadDatabase->setEnabled(!EditDBPath->text().isEmpty());
}

void TFormCorvadex::ButtonChooseFileClick() {
  const std::optional<QString> chosen = dialogs().openFile(this, OpenDialog1);
  if (!chosen) return;
  OpenDialog1.fileName = *chosen;
  EditDBPath->setText(*chosen);  // raises EditDBPathChange
}

void TFormCorvadex::ButtonReadDatabaseClick() {
  // The path is read from the edit whether it is enabled or not.
  const std::string path = pathFromText(EditDBPath->text());
  if (fileExists(path)) {
    userRead_ = true;
    ReadDatabase(path);
    return;
  }
  dialogs().messageBox(this, tr(" File does not exists. "), tr(" Corvadex"),
                       MessageIcon::Error);
}

void TFormCorvadex::Label1Click() {
  if (AboutForm == nullptr) AboutForm = new TFormAbout(this, dialogs());
  // However the dialog ends, it is released (destroyed once the current
  // event has been handled, not at once) and forgotten.
  struct Release {
    TFormCorvadex* form;
    ~Release() {
      form->AboutForm->deleteLater();
      form->AboutForm = nullptr;
    }
  } release{this};
  dialogs().showModal(*AboutForm);
}

void TFormCorvadex::ListViewContactsSelectItem() {
  const std::optional<std::size_t> selected = list_.selected();
  if (!selected) return;  // the boxes keep what they show
  e->showContact(list_.item(*selected));
}

void TFormCorvadex::ButtonExportToXMLClick() {
  const std::optional<QString> chosen = dialogs().saveFile(this, SaveDialog1);
  if (!chosen) return;
  SaveDialog1.fileName = *chosen;  // proposed again at the next export
  const std::string path = pathFromText(*chosen);
  if (refuseDatabaseAsTarget(path)) return;
  services_.writeXml(list_, path);
  afterExport(path);
}

void TFormCorvadex::ButtonExportForAddressBookClick() {
  const std::optional<TypedFileChoice> chosen = dialogs().saveFileTyped(this, SaveDialog2);
  if (!chosen) return;
  SaveDialog2.fileName = chosen->fileName;  // proposed again, with its type
  SaveDialog2.filterIndex = chosen->filterIndex;
  const std::string path = pathFromText(chosen->fileName);
  if (refuseDatabaseAsTarget(path)) return;
  if (!services_.writeForAddressBook) throw std::logic_error("no export for other address books");
  const int type = std::clamp(chosen->filterIndex, 0, static_cast<int>(std::size(kAddressBookFormats)) - 1);
  services_.writeForAddressBook(list_, kAddressBookFormats[type], path);
  MemoInfo->Add("Exported " + std::to_string(list_.count()) + " contacts to " + path);
  afterExport(path);
}

void showMainWindow(TFormCorvadex& form, const QString& startFile) {
  if (startFile.isEmpty()) {
    guarded(&form, [&form] { form.FormCreate(); });
    form.afterStartUp();
    form.show();
    return;
  }
  form.show();
  // Read once the window is up, as if chosen and read with "Read"; the
  // first contact is then selected, as after the start-up location.
  QTimer::singleShot(0, &form, [&form, startFile] {
    guarded(&form, [&form, &startFile] {
      form.openFile(startFile);
      form.contacts().selectFirst();
    });
  });
}

}  // namespace corvadex
