// SPDX-License-Identifier: Apache-2.0
#include "window/Unit1.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFont>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <stdexcept>

#include "window/UnitAbout.h"
#include "window/anchors.h"
#include "window/contact_list_model.h"
#include "window/contact_list_view.h"
#include "window/database_chooser.h"
#include "window/details_view.h"
#include "window/error_report.h"
#include "window/find_bar.h"
#include "window/link_label.h"
#include "window/message_memo.h"
#include "window/shortcut_keys.h"
#include "window/window_view.h"

namespace corvadex {

namespace {

// The desktop's sans-serif font at 8 points: the window's design font does
// not exist here, and the layout keeps the design's pixel geometry.
QFont windowFont() {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

QString caption(Control control) {
  return QCoreApplication::translate(kWindowTextContext, placeOf(control).caption);
}

// The first local file among the dragged addresses, or an empty text.
QString droppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return {};
}

FormServices& withDialogs(FormServices& services) {
  if (services.dialogs == nullptr) throw std::invalid_argument("the main window needs every one of its services");
  return services;
}

}  // namespace

std::string pathFromText(const QString& text) { return QFile::encodeName(text).toStdString(); }

// What the behaviour asks of the window, done with its Qt controls.
class TFormCorvadex::View final : public WindowView {
 public:
  explicit View(TFormCorvadex& form) : form_(form) {}

  void Add(std::string_view line) override { form_.MemoInfo->Add(line); }
  std::string translate(const char* source, const char* disambiguation) const override {
    return QCoreApplication::translate(kWindowTextContext, source, disambiguation).toStdString();
  }
  std::string groupedNumber(std::size_t number, const std::string& localeName) const override {
    return QLocale(QString::fromStdString(localeName)).toString(static_cast<qulonglong>(number)).toStdString();
  }

  std::string text(Control control) const override {
    if (control == Control::FindBar1) return form_.FindBar1->Field->text().toStdString();
    return pathFromText(edit(control)->text());
  }
  void setText(Control control, const std::string& shown) override {
    QLineEdit* box = control == Control::FindBar1 ? form_.FindBar1->Field : edit(control);
    const QSignalBlocker quiet(box);
    box->setText(QFile::decodeName(shown.c_str()));
  }
  bool checked(Control control) const override { return radio(control)->isChecked(); }
  void setChecked(Control control, bool on) override {
    const QSignalBlocker quiet1(form_.RadioButton1);
    const QSignalBlocker quiet2(form_.RadioButton2);
    radio(control)->setChecked(on);
  }
  void setEnabled(Control control, bool enabled) override { form_.widget(control)->setEnabled(enabled); }
  void setTitle(const std::string& title) override { form_.setWindowTitle(QString::fromStdString(title)); }
  void setStatus(const std::string& text) override {
    const QString shown = QString::fromStdString(text);
    form_.LabelStatus->setText(shown);
    form_.LabelStatus->setToolTip(shown);
  }

  void showContact(const ContactRow& row) override { form_.e->showContact(row); }
  void clearDetails() override { form_.e->clearValues(); }

  void openFindBar() override { form_.FindBar1->open(); }
  void closeFindBar() override {
    // The keyboard goes back to the list, not to the next control in the
    // tab order (the source's radio buttons, which arrow keys would switch).
    const bool hadFocus = form_.FindBar1->isAncestorOf(QApplication::focusWidget());
    form_.FindBar1->hide();
    if (hadFocus) form_.ListViewContacts->setFocus(Qt::OtherFocusReason);
  }
  bool findBarOpen() const override { return form_.FindBar1->isVisible(); }
  void showNotFound(bool notFound) override { form_.FindBar1->showNotFound(notFound); }

  std::optional<std::string> askOpenFile(const FileDialogSettings& settings) override {
    return chosenPath(form_.dialogs().openFile(&form_, settings));
  }
  std::optional<std::string> askSaveFile(const FileDialogSettings& settings) override {
    return chosenPath(form_.dialogs().saveFile(&form_, settings));
  }
  std::optional<TypedFileChoice> askSaveFileTyped(const FileDialogSettings& settings) override {
    return form_.dialogs().saveFileTyped(&form_, settings);
  }
  void showMessage(const std::string& message, const std::string& title, MessageIcon icon) override {
    form_.dialogs().messageBox(&form_, QString::fromStdString(message), QString::fromStdString(title), icon);
  }
  std::optional<std::size_t> chooseDatabase(const std::vector<DatabaseFind>& finds) override {
    DatabaseChooser chooser(&form_, finds);
    form_.dialogs().showModal(chooser);
    return chooser.chosen();
  }
  void showAbout() override {
    if (form_.AboutForm == nullptr) form_.AboutForm = new TFormAbout(&form_, form_.dialogs());
    // However the dialog ends, it is released (destroyed once the current
    // event has been handled, not at once) and forgotten.
    struct Release {
      TFormCorvadex& form;
      ~Release() {
        form.AboutForm->deleteLater();
        form.AboutForm = nullptr;
      }
    } release{form_};
    form_.dialogs().showModal(*form_.AboutForm);
  }
  bool dialogOpen() const override { return QApplication::activeModalWidget() != nullptr; }

  void setBusy(bool busy) override {
    if (!busy) {
      QApplication::restoreOverrideCursor();
      return;
    }
    // The pointer with the hourglass: the window still answers meanwhile.
    QApplication::setOverrideCursor(Qt::BusyCursor);
  }
  void show() override { form_.show(); }

  void guard(const std::function<void()>& handler) override { guarded(&form_, handler); }
  void post(std::function<void()> work) override {
    // Queued to the window's thread, from whichever thread posts it.
    QMetaObject::invokeMethod(&form_, [this, work = std::move(work)] { guard(work); }, Qt::QueuedConnection);
  }
  void repeat(int milliseconds, std::function<bool()> tick) override {
    auto* timer = new QTimer(&form_);
    timer->setInterval(milliseconds);
    // A tick that opened a dialog is still running while the dialog's own
    // event loop runs the timer: it is not run again meanwhile.
    auto running = std::make_shared<bool>(false);
    QObject::connect(timer, &QTimer::timeout, &form_, [this, timer, running, tick = std::move(tick)] {
      if (*running) return;
      *running = true;
      bool again = false;
      guard([&again, &tick] { again = tick(); });
      *running = false;
      if (again) return;
      timer->stop();
      timer->deleteLater();
    });
    timer->start();
  }

 private:
  static std::optional<std::string> chosenPath(const std::optional<QString>& chosen) {
    if (!chosen) return std::nullopt;
    return pathFromText(*chosen);
  }
  QLineEdit* edit(Control control) const {
    if (control != Control::EditDBPath) throw std::invalid_argument("not a text box of the window");
    return form_.EditDBPath;
  }
  QRadioButton* radio(Control control) const {
    if (control == Control::RadioButton1) return form_.RadioButton1;
    if (control == Control::RadioButton2) return form_.RadioButton2;
    throw std::invalid_argument("not a radio button of the window");
  }

  TFormCorvadex& form_;
};

TFormCorvadex::TFormCorvadex(FormServices services, QWidget* parent)
    : QWidget(parent),
      dialogs_(withDialogs(services).dialogs),
      view_(std::make_unique<View>(*this)),
      behaviour_(std::make_unique<WindowBehaviour>(*view_, std::move(services))),
      OpenDialog1(behaviour_->OpenDialog1),
      SaveDialog1(behaviour_->SaveDialog1),
      SaveDialog2(behaviour_->SaveDialog2) {
  setObjectName(QStringLiteral("FormCorvadex"));
  setWindowTitle(QStringLiteral("Corvadex"));
  setFont(windowFont());
  resize(kDesignClientSize.width, kDesignClientSize.height);
  move(kDesignLeft, kDesignTop);

  buildControls();
  applyTabOrder();
  connectHandlers();
  buildAdditions();
  placeControls();
}

TFormCorvadex::~TFormCorvadex() {
  // The list view and its model read the contact list, which the behaviour
  // holds and which goes before the base class destroys the children: they
  // go first.
  delete ListViewContacts;
  delete model_;
}

QWidget* TFormCorvadex::widget(Control control) const {
  switch (control) {
    case Control::Form: return const_cast<TFormCorvadex*>(this);
    case Control::RadioButton1: return RadioButton1;
    case Control::RadioButton2: return RadioButton2;
    case Control::Label1: return Label1;
    case Control::EditDBPath: return EditDBPath;
    case Control::ButtonChooseFile: return ButtonChooseFile;
    case Control::ButtonReadDatabase: return ButtonReadDatabase;
    case Control::ListViewContacts: return ListViewContacts;
    case Control::e: return e;
    case Control::TabSheetContact: return e->TabSheetContact;
    case Control::ButtonExportToXML: return ButtonExportToXML;
    case Control::ButtonExportForAddressBook: return ButtonExportForAddressBook;
    case Control::MemoInfo: return MemoInfo;
    case Control::FindBar1: return FindBar1;
    case Control::LabelStatus: return LabelStatus;
  }
  return nullptr;
}

void TFormCorvadex::buildControls() {
  RadioButton1 = new QRadioButton(caption(Control::RadioButton1), this);
  RadioButton1->setChecked(true);  // set before the handlers are connected: raises nothing
  RadioButton2 = new QRadioButton(caption(Control::RadioButton2), this);

  Label1 = new LinkLabel(caption(Control::Label1), this);
  QFont linkFont = font();
  linkFont.setBold(true);
  linkFont.setUnderline(true);
  Label1->setFont(linkFont);

  EditDBPath = new QLineEdit(this);
  EditDBPath->setEnabled(false);
  ButtonChooseFile = new QPushButton(caption(Control::ButtonChooseFile), this);
  ButtonChooseFile->setEnabled(false);
  ButtonReadDatabase = new QPushButton(caption(Control::ButtonReadDatabase), this);
  ButtonReadDatabase->setEnabled(false);

  model_ = new ContactListModel(contacts(), this);
  ListViewContacts = new ContactListView(model_, this);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  Savetofile1 = PopupMenu1->addAction(tr("Save to file"));
  Savetofile1->setObjectName(QStringLiteral("Savetofile1"));  // has no action
  ListViewContacts->setContextMenuPolicy(Qt::CustomContextMenu);

  e = new ContactDetailsView(this);
  ButtonExportToXML = new QPushButton(caption(Control::ButtonExportToXML), e->TabSheetContact);
  ButtonExportForAddressBook = new QPushButton(caption(Control::ButtonExportForAddressBook), e->TabSheetContact);
  MemoInfo = new MessageMemo(this);
}

// Every control at its place in the table, sized to its caption where the
// table says so, and anchored to the window's edges.
void TFormCorvadex::placeControls() {
  anchors_ = new AnchorKeeper(this, QSize(kDesignClientSize.width, kDesignClientSize.height));
  for (const ControlPlace& place : kWindowControls) {
    if (place.sizing == Sizing::ByParent) continue;
    QWidget* control = widget(place.control);
    control->setObjectName(QString::fromLatin1(place.name.data(), static_cast<qsizetype>(place.name.size())));
    control->setGeometry(toQRect(sizedToCaption(place, control->sizeHint().width())));
    if (place.parent == Control::Form) anchors_->Add(control, place.anchors);
  }
}

void TFormCorvadex::applyTabOrder() {
  Label1->setFocusPolicy(Qt::NoFocus);
  for (std::size_t i = 0; i + 1 < std::size(kTabOrder); ++i)
    setTabOrder(widget(kTabOrder[i]), widget(kTabOrder[i + 1]));
}

void TFormCorvadex::connectHandlers() {
  // Only the user's changes raise handlers: the behaviour's own changes come
  // through the view with the signals blocked.
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

// The pieces the window adds to its design, in the free space at the top
// between the source choice and "About", or on keys: the find bar, the
// status line, the shortcuts and file drops.
void TFormCorvadex::buildAdditions() {
  FindBar1 = new FindBar(this);
  FindBar1->setOnFind([this](const QString& text, FindDirection direction, bool fromCurrent) {
    guarded(this, [&] { behaviour_->FindBar1Find(text.toStdString(), direction, fromCurrent); });
  });
  FindBar1->setOnClose([this] { guarded(this, [this] { behaviour_->FindBar1Close(); }); });
  LabelStatus = new QLabel(this);
  LabelStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

  connect(EditDBPath, &QLineEdit::returnPressed, this,
          [this] { guarded(this, [this] { behaviour_->EditDBPathReturn(); }); });
  buildShortcuts();
  acceptFileDrops();
}

void TFormCorvadex::buildShortcuts() {
  QList<QKeySequence> keys;
  const auto key = [this, &keys](const QKeySequence& sequence, std::function<void()> handler) {
    keys.append(sequence);
    auto* shortcut = new QShortcut(sequence, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this,
            [this, handler = std::move(handler)] { guarded(this, handler); });
  };
  key(QKeySequence::Find, [this] { findContact(); });
  key(QKeySequence(Qt::Key_F3), [this] { findAgain(FindDirection::Next); });
  key(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { findAgain(FindDirection::Previous); });
  key(QKeySequence(Qt::CTRL | Qt::Key_O), [this] { behaviour_->ChooseFileKey(); });
  key(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { ButtonExportToXMLClick(); });
  key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), [this] { ButtonExportForAddressBookClick(); });
  key(QKeySequence(Qt::Key_F5), [this] { behaviour_->SearchAgainKey(); });
  key(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });
  key(QKeySequence(Qt::Key_F1), [this] { showGuide(); });
  new ShortcutKeysFirst(this, keys);
}

void TFormCorvadex::showGuide() { dialogs().openWithDesktop(projectGuideLink()); }

void TFormCorvadex::openFile(const QString& path) { behaviour_->openFile(pathFromText(path)); }

// A file dropped anywhere on the window (the path edit and the other text
// boxes included) is read as the command line's file is.
void TFormCorvadex::acceptFileDrops() {
  setAcceptDrops(true);
  // Text boxes take drops themselves (as text); a dragged file is the
  // window's, whichever box it is over.
  for (QWidget* child : findChildren<QWidget*>())
    if (child->acceptDrops()) child->installEventFilter(this);
  // Enter, as Space, presses the button that has the focus.
  for (QPushButton* button : findChildren<QPushButton*>()) button->installEventFilter(this);
}

void TFormCorvadex::dragEnterEvent(QDragEnterEvent* event) {
  if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TFormCorvadex::dropEvent(QDropEvent* event) {
  const QString file = droppedFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  guarded(this, [this, &file] { openFile(file); });
}

bool TFormCorvadex::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::KeyPress) {
    auto* button = qobject_cast<QPushButton*>(watched);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (button != nullptr && (key == Qt::Key_Return || key == Qt::Key_Enter) &&
        (static_cast<QKeyEvent*>(event)->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      if (button->isEnabled()) button->click();
      return true;
    }
  }
  if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    if (!droppedFile(drop->mimeData()).isEmpty()) {
      if (type == QEvent::Drop)
        dropEvent(drop);
      else
        drop->acceptProposedAction();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void showMainWindow(TFormCorvadex& form, const QString& startFile) {
  form.behaviour().showWindow(startFile.isEmpty() ? std::string() : pathFromText(startFile),
                              [&form] { form.FormCreate(); });
}

}  // namespace corvadex
