#include "app/main_window.h"

namespace quorvel {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("Quorvel串口调试v2.31"));
  resize(727, 536);
}

}  // namespace quorvel
