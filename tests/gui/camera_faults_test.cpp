// Faults met with the real dialog and the simulated camera: a camera that is
// unplugged during a run or never delivers a frame, and parameter files that
// are folders, empty, binary, enormous or full of values a float cannot take.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/app_globals.h"
#include "app/varnix_dlg.h"
#include "camera/camera_system_factory.h"
#include "platform/simple_controls.h"
#include "res/control_ids.h"
#include "tests/camera_doubles.h"
#include "tests/gui/working_folder_test.h"
#include "tests/staged_run.h"
#include "video/movie.h"

namespace {

// The program's own camera set-up with a simulated "vexa3" showing a black
// 400 x 300 still (small frames keep the passes quick under the sanitizers),
// its knobs taken from the environment as the program takes them.
FrameCountingCameras simulatedVexa3(const std::string& stillPath) {
  CameraSystemOptions options;
  options.simulatedCameraName = "vexa3";
  options.simulatedSource = stillPath;
  return FrameCountingCameras(makeCameraSystem(options, std::make_unique<FakeCameraSystem>()));
}

class CameraFaults : public InWorkingFolder {
 protected:
  void SetUp() override {
    InWorkingFolder::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(cv::imwrite(stillPath(), cv::Mat(300, 400, CV_8UC3, cv::Scalar::all(0))));
  }
  void TearDown() override {
    InWorkingFolder::TearDown();
    ::unsetenv("VARNIX_SIM_FAIL_AFTER");
  }

  // Opens the camera, then runs the dialog modally and the stages in order;
  // a stage never reached fails the test and closes the program.
  static void run(CVarnixDlg& dialog, std::vector<Stage> stages) {
    runStages(
        dialog, std::move(stages), stageTimeoutMs,
        [&dialog](std::size_t stage) {
          ADD_FAILURE() << "stage " << stage << " was never reached";
          click(dialog, ctl::CloseProgram);
        },
        [&dialog] { click(dialog, ctl::OpenCamera); });
  }

  // The capture run lives inside the click's handler until the camera is
  // closed; run from the polling timer, it would stop that timer as long.
  static void openCamera(CVarnixDlg& dialog) {
    QTimer::singleShot(0, [&dialog] { click(dialog, ctl::OpenCamera); });
  }

  std::string stillPath() const { return pathInFolder("still.png"); }

  static constexpr qint64 stageTimeoutMs = 60000;
};

// The picture the video window holds and paints: the last frame presented.
QImage shownPicture() {
  return videoWindow->pictureCtrl->picture().copy();
}

// Wheel, drag and double clicks over the middle of the video window.
void handleTheVideoWindow() {
  QWidget* top = videoWindow->window();
  const QPoint center(top->width() / 2, top->height() / 2);
  for (const int delta : {120, 120, -120}) {
    QWidget* target = top->childAt(center) != nullptr ? top->childAt(center) : top;
    QWheelEvent wheel(target->mapFrom(top, QPointF(center)), top->mapToGlobal(QPointF(center)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
  }
  QWindow* handle = top->windowHandle();
  QTest::mousePress(handle, Qt::LeftButton, {}, center);
  QTest::mouseMove(handle, center + QPoint(40, 30));
  QTest::mouseRelease(handle, Qt::LeftButton, {}, center + QPoint(40, 30));
  QTest::mouseDClick(handle, Qt::LeftButton, {}, center);
  QTest::mouseDClick(handle, Qt::RightButton, {}, center);
}

}  // namespace

TEST_F(CameraFaults, UnpluggedDuringARunKeepsTheLastPictureAndReopeningBringsFramesBack) {
  ::setenv("VARNIX_SIM_FAIL_AFTER", "5", 1);
  FrameCountingCameras cameras = simulatedVexa3(stillPath());
  CVarnixDlg dialog(cameras);
  QImage lastPicture;
  long passesWhenUnplugged = 0;
  run(dialog, {{[&] { return cameras.goodReads == 5 && currentFrame.empty(); },  // the camera is gone
                [&] {
                  lastPicture = shownPicture();
                  EXPECT_FALSE(lastPicture.isNull());
                  passesWhenUnplugged = dialog.passCount;
                  handleTheVideoWindow();
                }},
               {[&] { return dialog.passCount >= passesWhenUnplugged + 3; },  // the loop goes on
                [&] {
                  EXPECT_EQ(cameras.goodReads, 5);
                  EXPECT_EQ(shownPicture(), lastPicture);
                  click(dialog, ctl::CloseCamera);
                  EXPECT_FALSE(videoWindow->IsWindow());
                  EXPECT_TRUE(dialog.IsDlgItemEnabled(ctl::OpenCamera));
                  openCamera(dialog);  // plugged back in
                }},
               // Five more frames, then gone again.
               {[&] { return cameras.goodReads == 10 && currentFrame.empty(); },
                [&] {
                  EXPECT_TRUE(videoWindow->IsWindowVisible());
                  // The run's new window starts without a picture: this one came
                  // from the frames that flowed again.
                  EXPECT_FALSE(shownPicture().isNull());
                  click(dialog, ctl::CloseProgram);
                }}});
  EXPECT_EQ(cameras.goodReads, 10);
}

TEST_F(CameraFaults, ACameraThatNeverDeliversAFrameStillRunsTakesInputAndCloses) {
  ::setenv("VARNIX_SIM_FAIL_AFTER", "0", 1);
  FrameCountingCameras cameras = simulatedVexa3(stillPath());
  CVarnixDlg dialog(cameras);
  long passes = 0;
  run(dialog, {{[&] { return dialog.passCount >= 3; },
                [&] {
                  passes = dialog.passCount;
                  ASSERT_TRUE(videoWindow->IsWindowVisible());
                  EXPECT_TRUE(shownPicture().isNull());  // nothing to show yet
                  handleTheVideoWindow();
                }},
               {[&] { return dialog.passCount >= passes + 3; },
                [&] {
                  click(dialog, ctl::CloseCamera);
                  EXPECT_FALSE(videoWindow->IsWindow());
                  EXPECT_TRUE(dialog.IsDlgItemEnabled(ctl::OpenCamera));
                }},
               {[] { return true; }, [&] { click(dialog, ctl::CloseProgram); }}});
  EXPECT_EQ(cameras.goodReads, 0);
  EXPECT_GE(dialog.passCount, passes + 3);
  EXPECT_FALSE(dialog.capture->isOpened());
}

TEST_F(CameraFaults, AnUnreadableOrHostileParameterFileLeavesWhatItCannotSupply) {
  const std::vector<int> startValues = {150, 1, 100, 1, 50, 1, 100, 1, 0, 0, 0};
  constexpr std::size_t hundredMegabytes = 100u << 20;
  const struct {
    const char* what;
    std::function<void()> make;
    std::vector<int> expected;
  } cases[] = {
      {"a folder", [] { QDir().mkdir("config4k.txt"); }, startValues},
      {"empty", [] { writeFile("config4k.txt", ""); }, startValues},
      {"binary", [] { writeFile("config4k.txt", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)); },
       startValues},
      {"100 MB of nines", [&] { writeFile("config4k.txt", std::string(hundredMegabytes, '9')); },
       startValues},
      // All of it must be read to find the value at its end.
      {"100 MB of zeros, then two values",
       [&] { writeFile("config4k.txt", std::string(hundredMegabytes, '0') + "321 2"); },
       {321, 2, 100, 1, 50, 1, 100, 1, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    QDir().rmdir("config4k.txt");
    QFile::remove("config4k.txt");
    c.make();
    FrameCountingCameras cameras = simulatedVexa3(stillPath());
    CVarnixDlg dialog(cameras);
    std::vector<int> loaded;
    run(dialog, {{[&] { return dialog.passCount >= 1; },
                  [&] {
                    EXPECT_GT(cameras.goodReads, 0) << c.what;
                    for (const NumericValueInfo& row : numericValueTable())
                      loaded.push_back(numericValue(dialog.records, row.value));
                    click(dialog, ctl::CloseProgram);
                  }}});
    EXPECT_EQ(loaded, c.expected) << c.what;
  }
}

TEST_F(CameraFaults, FocusValuesAFloatCannotTakeAreRefusedAndDrawingGoesOn) {
  writeFile("config4k.txt", "300 4 100 1 50 1 100 1 0 0 0");
  const struct {
    const char* text;
    float x;
    float y;
  } cases[] = {
      {"nan 100", 0.0f, 0.0f}, {"100 inf", 100.0f, 0.0f},     {"1e39 1e39", 0.0f, 0.0f},
      {"-1e39 7", 0.0f, 0.0f}, {"3e38 -3e38", 3e38f, -3e38f}, {"-500 -700", -500.0f, -700.0f},
      {"-0 -0", -0.0f, -0.0f},
  };
  for (const auto& c : cases) {
    writeFile("focus.txt", c.text);
    FrameCountingCameras cameras = simulatedVexa3(stillPath());
    CVarnixDlg dialog(cameras);
    long passes = 0;
    run(dialog, {{[&] { return dialog.passCount >= 1; },
                  [&] {
                    QTest::mouseClick(dialog.checkBox(ctl::Circle1Enable), Qt::LeftButton);
                    passes = dialog.passCount;
                  }},
                 {[&] { return dialog.passCount >= passes + 2; },
                  [&] {
                    EXPECT_EQ(dialog.focusPoint.x, c.x) << c.text;
                    EXPECT_EQ(dialog.focusPoint.y, c.y) << c.text;
                    EXPECT_EQ(std::signbit(dialog.focusPoint.x), std::signbit(c.x)) << c.text;
                    ASSERT_FALSE(currentFrame.empty()) << c.text;
                    // Centred on the top-left corner, circle 1 (radius 300)
                    // crosses the top row at column 300.
                    if (c.x == 0.0f && c.y == 0.0f) {
                      EXPECT_EQ(currentFrame.at<cv::Vec3b>(0, 300), cv::Vec3b(0, 255, 0)) << c.text;
                    }
                    click(dialog, ctl::CloseProgram);
                  }}});
  }
}
