#include "platform/event_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

void dispatchEventsFor(int durationMs) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(std::max(durationMs, 0));
  // The event loop wakes for a timer on whole milliseconds, rounded up from
  // the moment it last went to sleep: after anything was dispatched, a wait
  // would end up to a millisecond late. So the loop ends a millisecond early
  // and the rest is spent looking at the events every tenth of a millisecond.
  constexpr int tailMs = 1;
  if (durationMs > tailMs) {
    // A loop of its own per wait, so nested waits each end on their own
    // timer and never end one another.
    QEventLoop loop;
    QTimer::singleShot(durationMs - tailMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
  }
  constexpr std::chrono::microseconds look{100};
  do {
    QCoreApplication::processEvents();
    std::this_thread::sleep_until(std::min(end, Clock::now() + look));
  } while (Clock::now() < end);
}
