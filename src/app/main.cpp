#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/main_window.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // The file dialog and the message box buttons speak the program's language.
  QTranslator qt_texts;
  if (qt_texts.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_texts);
  }
  quorvel::MainWindow window;
  window.show();
  return application.exec();
}
