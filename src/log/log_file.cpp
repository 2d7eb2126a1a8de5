#include "log/log_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/message_box.h"

namespace quorvel {

LogSaveDialog::LogSaveDialog(const QString& initial_folder, QWidget* parent) : QFileDialog(parent) {
  setObjectName(QStringLiteral("通用对话框1"));
  // Qt's own dialog, so that the folder check below applies everywhere.
  setOption(QFileDialog::DontUseNativeDialog);
  setAcceptMode(QFileDialog::AcceptSave);
  setFileMode(QFileDialog::AnyFile);
  setDirectory(initial_folder);
  // The descriptions carry their patterns in full-width brackets; the ASCII
  // bracket pair is what Qt takes the pattern from, and is hidden.
  setOption(QFileDialog::HideNameFilterDetails);
  setNameFilters({QStringLiteral("文本文档（*.txt） (*.txt)"), QStringLiteral("word文档（*.doc） (*.doc)")});
  selectNameFilter(nameFilters().constFirst());
  setDefaultSuffix(QString());
}

void LogSaveDialog::accept() {
  const QStringList files = selectedFiles();
  if (!files.isEmpty()) {
    const QFileInfo chosen(files.constFirst());
    if (!chosen.isDir() && !chosen.absoluteDir().exists()) {
      ShowMessage(this, QStringLiteral("路径不存在。\n请检查路径是否正确。"), QStringLiteral("警告"));
      return;
    }
  }
  QFileDialog::accept();
}

QString ChooseLogSavePath(QWidget* parent) {
  LogSaveDialog dialog(QCoreApplication::applicationDirPath(), parent);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.constFirst();
}

bool WriteLogFile(const QString& path, std::string_view bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const auto size = static_cast<qint64>(bytes.size());
  // An uncommitted QSaveFile removes its temporary file when it goes.
  if (file.write(bytes.data(), size) != size) return false;
  return file.commit();
}

}  // namespace quorvel
