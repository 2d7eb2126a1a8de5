#include "platform/event_pause.h"

#include <QEventLoop>
#include <QTimer>

namespace quorvel {

void PauseWithEvents(int ms) {
  if (ms <= 0) return;
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace quorvel
