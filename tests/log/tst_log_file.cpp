#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "log/log_file.h"
#include "modal_helpers.h"

using quorvel::LogSaveDialog;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}

}  // namespace

class TestLogFile : public QObject {
  Q_OBJECT

 private slots:
  void dialogIsSetUpForSaving();
  void dialogRefusesMissingFolder();
  void chooseReturnsPathOrNothing();
  void writeReplacesWholeFile();
  void failedWriteLeavesNoTrace();
};

void TestLogFile::dialogIsSetUpForSaving() {
  QTemporaryDir dir;
  LogSaveDialog dialog(dir.path());
  QCOMPARE(dialog.objectName(), QStringLiteral("通用对话框1"));
  QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
  QCOMPARE(dialog.fileMode(), QFileDialog::AnyFile);
  QCOMPARE(QDir(dialog.directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
  QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
  QVERIFY(dialog.defaultSuffix().isEmpty());
  QCOMPARE(dialog.nameFilters(), (QStringList{QStringLiteral("文本文档（*.txt） (*.txt)"),
                                               QStringLiteral("word文档（*.doc） (*.doc)")}));
  QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("文本文档（*.txt）"));
  // What the user sees in the type list: the descriptions exactly as
  // written, full-width brackets included, and nothing appended.
  auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  QVERIFY(types != nullptr);
  QCOMPARE(types->count(), 2);
  QCOMPARE(types->itemText(0), QStringLiteral("文本文档（*.txt）"));
  QCOMPARE(types->itemText(1), QStringLiteral("word文档（*.doc）"));
  QCOMPARE(types->currentIndex(), 0);
}

void TestLogFile::dialogRefusesMissingFolder() {
  QTemporaryDir dir;
  LogSaveDialog dialog(dir.path());
  dialog.selectFile(dir.filePath(QStringLiteral("missing/log.txt")));
  QSignalSpy accepted(&dialog, &QDialog::accepted);
  {
    quorvel::test::MessageBoxCatcher boxes;
    QTimer::singleShot(0, &dialog, &QDialog::accept);
    QTimer::singleShot(300, &dialog, &QDialog::reject);
    dialog.exec();
    QCOMPARE(boxes.Seen().size(), 1);
    QVERIFY(boxes.Seen().at(0).startsWith(QStringLiteral("警告|")));
  }
  QCOMPARE(accepted.count(), 0);
}

void TestLogFile::chooseReturnsPathOrNothing() {
  QTemporaryDir dir;
  const QString target = dir.filePath(QStringLiteral("记录.doc"));
  QString opened_in;
  // Answers the dialog once it is up: the first time with a name, the
  // second time with a cancel.
  int round = 0;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<LogSaveDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    if (round == 0) {
      opened_in = dialog->directory().absolutePath();
      // Typed into the name field, as a user would.
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (name != nullptr) name->setText(target);
      dialog->accept();
    } else {
      dialog->reject();
    }
  });
  answer.start(10);
  QCOMPARE(quorvel::ChooseLogSavePath(nullptr), target);
  QCOMPARE(QDir(opened_in).canonicalPath(), QDir(QCoreApplication::applicationDirPath()).canonicalPath());
  round = 1;
  QCOMPARE(quorvel::ChooseLogSavePath(nullptr), QString());
}

void TestLogFile::writeReplacesWholeFile() {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("log.txt"));
  QVERIFY(quorvel::WriteLogFile(path, std::string(3000, 'x')));
  QVERIFY(quorvel::WriteLogFile(path, std::string_view("\xB7\xA2\r\n\x00z", 5)));
  QCOMPARE(ReadAll(path), QByteArray("\xB7\xA2\r\n\x00z", 5));
  QVERIFY(quorvel::WriteLogFile(path, {}));
  QCOMPARE(ReadAll(path), QByteArray());
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("log.txt")});
}

void TestLogFile::failedWriteLeavesNoTrace() {
  QTemporaryDir dir;
  // A path below a file, and a path that is a folder.
  QFile plain(dir.filePath(QStringLiteral("plain")));
  QVERIFY(plain.open(QIODevice::WriteOnly));
  plain.close();
  QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
  QVERIFY(!quorvel::WriteLogFile(dir.filePath(QStringLiteral("plain/log.txt")), "data"));
  QVERIFY(!quorvel::WriteLogFile(dir.filePath(QStringLiteral("folder")), "data"));
  QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
           (QStringList{QStringLiteral("folder"), QStringLiteral("plain")}));
  QCOMPARE(ReadAll(dir.filePath(QStringLiteral("plain"))), QByteArray());
}

QTEST_MAIN(TestLogFile)
#include "tst_log_file.moc"
