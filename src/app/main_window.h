#pragma once

#include <QMainWindow>

namespace quorvel {

// The program's one main window: every control of the working surface, the
// program-wide state, and the wiring between the parts.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
};

}  // namespace quorvel
