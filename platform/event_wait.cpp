#include "platform/event_wait.h"

#include <QEventLoop>
#include <QTimer>

void dispatchEventsFor(int durationMs) {
  // A loop of its own per wait, so nested waits each end on their own timer
  // and never end one another.
  QEventLoop loop;
  QTimer::singleShot(durationMs < 0 ? 0 : durationMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}
