#include "app/qt/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace zelkor {

namespace {

std::optional<std::string> RunImageDialog(QFileDialog& dialog, const FileDialogSetup& setup) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setDirectory(QString::fromStdString(setup.initialDir));
  dialog.setNameFilters(ImageNameFilters());
  dialog.selectNameFilter(ImageNameFilters().first());
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return QFileInfo(chosen.first()).absoluteFilePath().toStdString();
}

}  // namespace

QStringList ImageNameFilters() {
  return {QString::fromUtf8(kImageFilesFilter), QString::fromUtf8(kAllFilesFilter)};
}

std::optional<std::string> ChooseOpenImage(QWidget* parent, const FileDialogSetup& setup) {
  QFileDialog dialog(parent);
  // A typed name of a missing file is returned too; the load then reports it as not found.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(QString::fromStdString(setup.defaultSuffix));
  return RunImageDialog(dialog, setup);
}

std::optional<std::string> ChooseSaveImage(QWidget* parent, const FileDialogSetup& setup) {
  QFileDialog dialog(parent);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QString::fromStdString(setup.defaultSuffix));
  // A save replaces an existing image without a question, as operators expect of it.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  return RunImageDialog(dialog, setup);
}

}  // namespace zelkor
