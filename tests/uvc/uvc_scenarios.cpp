// Scenarios of the real program on whatever V4L2 cameras the machine shows;
// run by uvc_camera_test under the user-space camera (libfakeuvc.so). Each
// prints what it saw, one fact a line, and ends with exit code 0 unless a
// check failed (1) or a stage was never reached (2).
//
//   uvc_scenarios first-frames   open from the main dialog, report the frame size
//   uvc_scenarios slow-reader    read 200 ms apart, report the sequence gaps
//   uvc_scenarios unplug         open, lose the camera, close, report what stayed
//   uvc_scenarios start          start the application and click open camera

#include <dirent.h>
#include <linux/videodev2.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/app_globals.h"
#include "app/varnix_app.h"
#include "app/varnix_dlg.h"
#include "camera/v4l2_capture.h"
#include "platform/simple_controls.h"
#include "res/control_ids.h"
#include "tests/staged_run.h"
#include "video/movie.h"

namespace {

int failures = 0;

void check(bool condition, const char* what) {
  if (condition) return;
  std::printf("FAIL: %s\n", what);
  ++failures;
}

int threadCount() {
  int count = 0;
  if (DIR* tasks = ::opendir("/proc/self/task")) {
    while (const dirent* entry = ::readdir(tasks))
      if (entry->d_name[0] != '.') ++count;
    ::closedir(tasks);
  }
  return count;
}

std::string fourccText(std::uint32_t fourcc) {
  return {static_cast<char>(fourcc & 0xff), static_cast<char>((fourcc >> 8) & 0xff),
          static_cast<char>((fourcc >> 16) & 0xff), static_cast<char>((fourcc >> 24) & 0xff)};
}

// Opens the camera and runs the dialog modally with the stages; a stage
// never reached ends the process with exit code 2.
void runScenarioStages(CVarnixDlg& dialog, std::vector<Stage> stages) {
  runStages(
      dialog, std::move(stages), 90000,
      [](std::size_t stage) {
        std::printf("stage %zu was never reached\n", stage);
        std::fflush(nullptr);
        std::_Exit(2);
      },
      [&dialog] { dialog.SendCommand(ctl::OpenCamera); });
}

int firstFrames() {
  V4l2CameraSystem cameras;
  CVarnixDlg dialog(cameras);
  int presented = 0;
  dialog.afterPass = [&] { presented += currentFrame.empty() ? 0 : 1; };
  cv::Size size;
  std::string format;
  runScenarioStages(dialog, {{[&] { return presented >= 3; },
                              [&] {
                                size = currentFrame.size();
                                const auto* capture = dynamic_cast<const V4l2Capture*>(dialog.capture.get());
                                if (capture != nullptr) format = fourccText(capture->format().fourcc);
                                dialog.SendCommand(ctl::CloseProgram);
                              }}});
  std::printf("frame %dx%d %s\n", size.width, size.height, format.c_str());
  return 0;
}

int slowReader() {
  const auto devices = V4l2CameraSystem().enumerateDevices();
  check(devices.size() == 1, "one camera listed");
  if (devices.empty()) return 1;
  const int threadsBefore = threadCount();
  V4l2Capture capture(devices.front().devicePath);
  check(capture.open(), "the camera opens");
  cv::Mat frame;
  check(capture.read(frame), "a first frame");
  std::uint32_t previous = capture.lastFrameStamp().sequence;
  std::string gaps;
  for (int i = 0; i < 5; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    check(capture.read(frame), "a frame after waiting");
    const std::uint32_t sequence = capture.lastFrameStamp().sequence;
    gaps += (i > 0 ? " " : "") + std::to_string(static_cast<long>(sequence) - static_cast<long>(previous));
    previous = sequence;
  }
  std::printf("sequence gaps %s\n", gaps.c_str());
  std::printf("frame %dx%d %s\n", frame.cols, frame.rows, fourccText(capture.format().fourcc).c_str());
  capture.release();
  check(threadCount() == threadsBefore, "no thread is left running after release");
  return failures == 0 ? 0 : 1;
}

int unplug() {
  V4l2CameraSystem cameras;
  CVarnixDlg dialog(cameras);
  long presented = 0;
  dialog.afterPass = [&] { presented += currentFrame.empty() ? 0 : 1; };
  QImage lastPicture;
  long passesWhenGone = 0;
  int threadsWhileRunning = 0;
  runScenarioStages(dialog, {{[&] { return presented > 0 && currentFrame.empty(); },  // the camera is gone
                              [&] {
                                lastPicture = videoWindow->pictureCtrl->picture().copy();
                                passesWhenGone = dialog.passCount;
                                threadsWhileRunning = threadCount();
                              }},
                             {[&] { return dialog.passCount >= passesWhenGone + 3; },  // the loop goes on
                              [&] {
                                check(!lastPicture.isNull(), "a picture was shown before the camera went");
                                check(videoWindow->pictureCtrl->picture() == lastPicture,
                                      "the last picture stays");
                                check(currentFrame.empty(), "no frame comes after the camera went");
                                const int before = threadCount();
                                dialog.SendCommand(ctl::CloseCamera);
                                check(!videoWindow->IsWindow(), "close camera closes the video window");
                                check(dialog.IsDlgItemEnabled(ctl::OpenCamera), "the open button is back");
                                check(threadCount() < before, "closing ends the capture's threads");
                                dialog.SendCommand(ctl::CloseProgram);
                              }}});
  std::printf("frames presented %ld, threads while running %d\n", presented, threadsWhileRunning);
  return failures == 0 ? 0 : 1;
}

// The application as the program runs it; any box it shows is printed and
// dismissed (a fatal one ends the process with its own exit code).
int start() {
  auto* poll = new QTimer(QApplication::instance());
  static bool openClicked = false;
  QObject::connect(poll, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      std::printf("box: %s / %s\n", box->windowTitle().toStdString().c_str(),
                  box->text().toStdString().c_str());
      std::fflush(nullptr);
      box->button(QMessageBox::Ok)->click();
    } else if (!openClicked && mainWindow != nullptr && mainWindow->IsWindowVisible()) {
      openClicked = true;
      // The capture run lives inside the click's handler; out of this timer.
      QTimer::singleShot(0, [] { static_cast<CVarnixDlg*>(mainWindow)->SendCommand(ctl::OpenCamera); });
    }
  });
  poll->start(10);
  QTimer::singleShot(60000, [] { std::_Exit(2); });
  V4l2CameraSystem cameras;
  CVarnixApp app(cameras);
  app.InitInstance();
  std::printf("the application ended without a message\n");
  return 3;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const std::string scenario = argc > 1 ? argv[1] : "";
  if (scenario == "first-frames") return firstFrames();
  if (scenario == "slow-reader") return slowReader();
  if (scenario == "unplug") return unplug();
  if (scenario == "start") return start();
  std::fprintf(stderr, "usage: uvc_scenarios first-frames|slow-reader|unplug|start\n");
  return 64;
}
