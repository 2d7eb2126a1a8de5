#include <QApplication>

#include "app/main_window.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  quorvel::MainWindow window;
  window.show();
  return application.exec();
}
