#pragma once

// Saving the log: the save dialog and the write of the log's bytes.

#include <QFileDialog>
#include <QString>
#include <string_view>

namespace quorvel {

// The save dialog of the log (通用对话框1): save mode, opening in
// `initial_folder`, the filters "文本文档（*.txt）" (preselected) and
// "word文档（*.doc）" shown as written, confirmation before overwriting, and
// no extension added to a typed name. A name in a folder that does not exist
// is refused with a warning and the dialog stays open.
class LogSaveDialog : public QFileDialog {
  Q_OBJECT

 public:
  explicit LogSaveDialog(const QString& initial_folder, QWidget* parent = nullptr);

  void accept() override;
};

// Shows LogSaveDialog modally, opening in the program's folder; the chosen
// path, or an empty text when the user cancels.
QString ChooseLogSavePath(QWidget* parent);

// Makes `bytes` the entire content of the file at `path`, nothing added. The
// bytes go to a temporary file in the same folder that replaces the target
// only once all of them are written, so a failed save leaves an existing file
// as it was and no temporary file behind. False when the save failed.
bool WriteLogFile(const QString& path, std::string_view bytes);

}  // namespace quorvel
