// SPDX-License-Identifier: Apache-2.0
#include "window/window_dialogs.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>
#include <algorithm>

namespace corvadex {

QStringList QtNameFilters(const std::string& filter) {
  QStringList result;
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    result << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
  return result;
}

QString withDefaultExt(const QString& fileName, const QString& defaultExt) {
  if (defaultExt.isEmpty() || fileName.isEmpty()) return fileName;
  if (!QFileInfo(fileName).suffix().isEmpty()) return fileName;
  return fileName + QLatin1Char('.') + defaultExt;
}

QString filterExtension(const std::string& filter, int index) {
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  const qsizetype at = 2 * qsizetype{index} + 1;
  if (index < 0 || at >= parts.size()) return QString();
  const QString pattern = parts[at].section(QLatin1Char(';'), 0, 0).trimmed();
  return pattern.startsWith(QStringLiteral("*.")) ? pattern.mid(2) : QString();
}

namespace {

// The settings every file dialog shares, then the dialog itself: the first
// file chosen, or nothing when it is cancelled.
std::optional<QString> runForOneFile(QFileDialog& dialog, const FileDialogSettings& settings) {
  if (!settings.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!settings.title.empty()) dialog.setWindowTitle(QString::fromStdString(settings.title));
  if (!settings.directory.empty()) dialog.setDirectory(QFile::decodeName(settings.directory.c_str()));
  if (!settings.fileName.empty()) dialog.selectFile(QFile::decodeName(settings.fileName.c_str()));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return files.first();
}

std::optional<QString> runFileDialog(QWidget* owner, const FileDialogSettings& settings,
                                     QFileDialog::AcceptMode mode) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(QtNameFilters(settings.filter));
  const QString defaultExt = QString::fromStdString(settings.defaultExt);
  if (!defaultExt.isEmpty()) dialog.setDefaultSuffix(defaultExt);
  const std::optional<QString> file = runForOneFile(dialog, settings);
  if (!file) return std::nullopt;
  return withDefaultExt(*file, defaultExt);
}

}  // namespace

std::optional<QString> QtWindowDialogs::openFile(QWidget* owner,
                                                 const FileDialogSettings& settings) {
  return runFileDialog(owner, settings, QFileDialog::AcceptOpen);
}

std::optional<QString> QtWindowDialogs::saveFile(QWidget* owner,
                                                 const FileDialogSettings& settings) {
  return runFileDialog(owner, settings, QFileDialog::AcceptSave);
}

std::optional<TypedFileChoice> QtWindowDialogs::saveFileTyped(QWidget* owner,
                                                              const FileDialogSettings& settings) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QStringList filters = QtNameFilters(settings.filter);
  dialog.setNameFilters(filters);
  if (settings.filterIndex >= 0 && settings.filterIndex < filters.size())
    dialog.selectNameFilter(filters[settings.filterIndex]);
  dialog.setDefaultSuffix(filterExtension(settings.filter, settings.filterIndex));
  // Choosing another type changes the extension a typed name gets.
  // and, while the name is one a type suggests (whatever ending the dialog
  // has given it meanwhile), the name too.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& chosen) {
    const qsizetype index = filters.indexOf(chosen);
    dialog.setDefaultSuffix(filterExtension(settings.filter, static_cast<int>(index)));
    const auto& names = settings.typeFileNames;
    if (index < 0 || static_cast<std::size_t>(index) >= names.size()) return;
    const QString typed = QFileInfo(dialog.selectedFiles().value(0)).completeBaseName();
    const bool suggested = std::any_of(names.begin(), names.end(), [&typed](const std::string& name) {
      return QFileInfo(QString::fromStdString(name)).completeBaseName() == typed;
    });
    if (suggested) dialog.selectFile(QString::fromStdString(names[static_cast<std::size_t>(index)]));
  });
  const std::optional<QString> file = runForOneFile(dialog, settings);
  if (!file) return std::nullopt;
  const int index = std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
  const QString chosen = withDefaultExt(*file, filterExtension(settings.filter, index));
  return TypedFileChoice{QFile::encodeName(chosen).toStdString(), index};
}

void QtWindowDialogs::messageBox(QWidget* owner, const QString& text, const QString& caption,
                                 MessageIcon icon) {
  QMessageBox::Icon qtIcon = QMessageBox::Critical;
  if (icon == MessageIcon::Warning) qtIcon = QMessageBox::Warning;
  if (icon == MessageIcon::Information) qtIcon = QMessageBox::Information;
  QMessageBox box(qtIcon, caption, text, QMessageBox::Ok, owner);
  box.exec();
}

void QtWindowDialogs::showModal(QDialog& dialog) { dialog.exec(); }

void QtWindowDialogs::openWithDesktop(const QString& target) {
  QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

}  // namespace corvadex
