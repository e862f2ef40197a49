#pragma once

// The fixture of the tests that run the main dialog with a camera open:
// scripted steps run inside the frame loop's waits.

#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "app/varnix_dlg.h"
#include "tests/gui/working_folder_test.h"

// Each test works in a folder of its own holding the two parameter files.
class CaptureRun : public InWorkingFolder {
 protected:
  // One step of a scripted run: it runs once the dialog has made `passes`
  // more passes and `ms` more milliseconds have gone by since the previous
  // step began, so the script keeps its order however slow the machine is.
  struct Step {
    long passes;
    int ms;
    std::function<void()> action;
  };

  // Runs the dialog modally with the steps, in order, inside the frame
  // loop's waits once the camera is open. Each step has a timer of its own:
  // a step that opens the camera only returns when that run ends, and the
  // steps after it must still come.
  static int run(CVarnixDlg& dialog, const std::vector<Step>& steps) {
    std::size_t next = 0;
    long passesAtLast = 0;
    QElapsedTimer sinceLast;
    sinceLast.start();
    std::vector<std::unique_ptr<QTimer>> timers;
    for (std::size_t i = 0; i < steps.size(); ++i) {
      auto timer = std::make_unique<QTimer>();
      QTimer* self = timer.get();
      QObject::connect(self, &QTimer::timeout, [&, i, self] {
        const Step& step = steps[i];
        if (next != i || dialog.passCount < passesAtLast + step.passes || sinceLast.elapsed() < step.ms)
          return;
        self->stop();
        ++next;
        passesAtLast = dialog.passCount;
        sinceLast.restart();
        step.action();
      });
      timer->start(5);
      timers.push_back(std::move(timer));
    }
    return dialog.DoModal();
  }
};
