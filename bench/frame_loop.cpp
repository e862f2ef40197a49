// The whole frame loop of the program with the simulated camera at
// 4000 x 3000 and pacing off: opens the camera as the user would, lets the
// loop run, counts its passes over a measured stretch and closes the
// program. Each pass ends in the 30 ms wait, so at most 1000 / 30 passes a
// second are possible; the last line printed is the passes per second.
// With "measure" the live spot measurement is on (key M in the video window).
//
//   frame_loop [seconds] [measure]   (default 10 seconds, measurement off)

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/app_globals.h"
#include "app/varnix_dlg.h"
#include "bench/loop_run.h"
#include "camera/camera_system_factory.h"
#include "platform/simple_controls.h"
#include "res/control_ids.h"
#include "video/movie.h"

namespace {

// Peak resident memory of this process so far, in KiB (0 where unknown).
long peakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("VARNIX_SIM_NO_PACING", "1");
  QApplication application(argc, argv);
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  const bool measure = argc > 2 && std::string(argv[2]) == "measure";
  constexpr int warmUpMs = 1000;

  // Start values and the overlay centred on the frame, all elements on.
  QTemporaryDir folder;
  if (!folder.isValid() || !QDir::setCurrent(folder.path())) return 1;
  std::ofstream("focus.txt") << "2000 1500";
  std::ofstream("config4k.txt") << "1500 4 1000 4 500 4 1500 4 450 0 0";

  CameraSystemOptions options;
  options.simulatedCameraName = "vexa4.0";
  const auto cameras = makeCameraSystem(options);
  CVarnixDlg dialog(*cameras);

  long passesAtStart = 0;
  long passesAtEnd = 0;
  bool boxShown = false;
  const double elapsedSeconds = runMeasuredStretch(
      dialog, warmUpMs, seconds,
      {.afterTicking =
           [&] {
             if (measure && videoWindow != nullptr && videoWindow->window() != nullptr) {
               QKeyEvent press(QEvent::KeyPress, Qt::Key_M, Qt::NoModifier, "m");
               QApplication::sendEvent(videoWindow->window(), &press);
             }
           },
       .atStart =
           [&] {
             // The box proves the measurement really runs in the measured stretch.
             boxShown = videoWindow != nullptr && videoWindow->pictureCtrl != nullptr &&
                        !videoWindow->pictureCtrl->cornerText(PictureCorner::TopLeft).isEmpty();
             passesAtStart = dialog.passCount;
           },
       .atEnd = [&] { passesAtEnd = dialog.passCount; }});

  const double passesPerSecond = static_cast<double>(passesAtEnd - passesAtStart) / elapsedSeconds;
  std::printf("frame size 4000x3000, measurement box %s, %.1f s measured, %ld passes\n",
              boxShown ? "shown" : "off", elapsedSeconds, passesAtEnd - passesAtStart);
  std::printf("peak resident memory %.1f MiB (frame %.1f MiB)\n",
              static_cast<double>(peakResidentKiB()) / 1024.0, 4000.0 * 3000.0 * 3.0 / (1024.0 * 1024.0));
  std::printf("passes per second (at most %.1f possible): %.2f\n", 1000.0 / 30.0, passesPerSecond);
  return 0;
}
