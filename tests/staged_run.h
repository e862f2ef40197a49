#pragma once

// Runs a main dialog modally with the camera opened, and a list of stages
// inside the frame loop's wait: each stage's action runs once its condition
// holds. Stages wait for passes and frames, not for a time, so a slow machine
// only makes the run longer.

#include <QElapsedTimer>
#include <QTimer>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "app/varnix_dlg.h"

struct Stage {
  std::function<bool()> ready;
  std::function<void()> action;
};

// `neverReached` is told the index of a stage whose condition did not hold
// within `timeoutMs`; it must end the run (close the program, or the process).
// `openCamera` starts the capture run; it is called from a zero timer, as
// the run lives inside its handler until the camera is closed.
inline void runStages(CVarnixDlg& dialog, std::vector<Stage> stages, qint64 timeoutMs,
                      const std::function<void(std::size_t)>& neverReached,
                      const std::function<void()>& openCamera) {
  std::size_t next = 0;
  QElapsedTimer clock;
  clock.start();
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (next < stages.size() && stages[next].ready()) {
      stages[next++].action();
    } else if (clock.elapsed() > timeoutMs) {
      poll.stop();
      neverReached(next);
    }
  });
  poll.start(10);
  QTimer::singleShot(0, openCamera);
  dialog.DoModal();
}
