#include "platform/event_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>

void dispatchEventsFor(int durationMs) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(durationMs < 0 ? 0 : durationMs);
  // The event loop wakes for a timer on whole milliseconds, rounded up from
  // the moment it last went to sleep: after anything was dispatched, a wait
  // would end up to a millisecond late. So the loop ends a millisecond early
  // and the rest is slept to the microsecond, after one more look at the
  // events.
  constexpr int slept = 1;
  if (durationMs > slept) {
    // A loop of its own per wait, so nested waits each end on their own
    // timer and never end one another.
    QEventLoop loop;
    QTimer::singleShot(durationMs - slept, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
  }
  QCoreApplication::processEvents();
  std::this_thread::sleep_until(end);
}
