#pragma once

// Answers the program's modal message boxes from inside a test: the box is
// found once it is up, its title and text are recorded, and it is closed with
// OK, so the code that opened it goes on.

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace quorvel::test {

class MessageBoxCatcher {
 public:
  // Starts watching; every box that comes up while the catcher lives is
  // recorded as "title|text" and accepted.
  MessageBoxCatcher() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || box->isHidden()) return;
      seen_ << box->windowTitle() + QLatin1Char('|') + box->text();
      box->accept();
    });
    timer_.start(5);
  }

  const QStringList& Seen() const { return seen_; }

 private:
  QTimer timer_;
  QStringList seen_;
};

}  // namespace quorvel::test
