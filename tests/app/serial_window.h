#pragma once

// The main window on a pseudo-terminal: its settings folder is a temporary
// folder in which every name COM1..COM30 is pinned, COM1 to a pseudo-terminal
// whose far end the test plays, the others to nothing, so that no test can
// reach a serial device of the machine.

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "log/log_view.h"
#include "pty_pair.h"

namespace quorvel::test {

class SerialWindow {
 public:
  SerialWindow() {
    QDir(dir_.path()).mkdir(QStringLiteral("ports"));
    for (int n = 1; n <= 30; ++n) Pin(n, n == 1 ? device_.SlavePath() : Nowhere());
    window_ = std::make_unique<MainWindow>(dir_.filePath(QStringLiteral("peizhi.ini")).toStdString());
  }

  bool IsValid() const { return dir_.isValid() && device_.IsValid(); }

  // Points ports/COM<n> at `target`, replacing what it pointed at.
  bool Pin(int n, const QString& target) const {
    const QString link = dir_.filePath(QStringLiteral("ports/COM%1").arg(n));
    ::unlink(QFile::encodeName(link).constData());
    return QFile::link(target, link);
  }
  QString Nowhere() const { return dir_.filePath(QStringLiteral("unplugged")); }

  MainWindow& Window() { return *window_; }
  PtyPair& Device() { return device_; }

  template <typename Control>
  Control* Find(const char* name) const {
    return window_->findChild<Control*>(QString::fromUtf8(name));
  }

  std::string Log() const { return Find<LogView>("超级编辑框1")->WholeText(); }
  QString RxPanel() const { return Find<QLabel>("panel0")->text(); }
  QString TxPanel() const { return Find<QLabel>("panel1")->text(); }

 private:
  QTemporaryDir dir_;
  PtyPair device_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace quorvel::test
