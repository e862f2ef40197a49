#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <opencv2/videoio.hpp>
#include <optional>
#include <utility>
#include <vector>

#include "app/app_globals.h"
#include "app/varnix_app.h"
#include "app/varnix_dlg.h"
#include "platform/color_button.h"
#include "platform/number_field.h"
#include "platform/simple_controls.h"
#include "platform/slider_ctrl.h"
#include "res/control_ids.h"
#include "tests/camera_doubles.h"
#include "tests/gui/capture_run_fixture.h"
#include "video/movie.h"

namespace {

// Where a frame point lands in the picture control, 400 x 300 frames at level 1.
QPoint shownAt(const PictureCtrl& picture, int frameX, int frameY) {
  return {frameX * picture.width() / 400, frameY * picture.height() / 300};
}

}  // namespace

TEST_F(CaptureRun, OpenDrawsTheOverlayWhereTheFilesSayAndCloseEndsTheLoopAtOnce) {
  writeFile("focus.txt", "200 150");
  writeFile("config4k.txt", "100 4 60 1 30 1 100 1 0 0 0");
  FakeCameraSystem cameras(
      std::vector<CameraEntry>{{"Integrated Webcam", "/dev/video0"}, {"vexa4.0", "/dev/video2"}});
  CVarnixDlg dialog(cameras);
  long passesAtClose = 0;
  const int result = run(
      dialog, {{0, 0, [&] { click(dialog, ctl::OpenCamera); }},
               {1, 0,
                [&] {
                  for (int id : ctl::captureControls) EXPECT_TRUE(dialog.IsDlgItemEnabled(id)) << id;
                  EXPECT_FALSE(dialog.IsDlgItemEnabled(ctl::OpenCamera));
                  QTest::mouseClick(dialog.checkBox(ctl::Circle1Enable), Qt::LeftButton);
                }},
               {3, 0,
                [&] {
                  ASSERT_NE(videoWindow, nullptr);
                  EXPECT_TRUE(videoWindow->IsWindowVisible());
                  PictureCtrl& picture = *videoWindow->pictureCtrl;
                  const QImage shown = picture.grab().toImage();
                  EXPECT_EQ(shown.pixelColor(shownAt(picture, 300, 150)), QColor(0, 255, 0));  // on circle 1
                  EXPECT_EQ(shown.pixelColor(shownAt(picture, 200, 50)), QColor(0, 255, 0));
                  EXPECT_EQ(shown.pixelColor(shownAt(picture, 250, 150)), QColor(0, 0, 0));  // inside it
                  EXPECT_EQ(shown.pixelColor(shownAt(picture, 200, 150)), QColor(0, 0, 0));
                  click(dialog, ctl::CloseCamera);
                  passesAtClose = dialog.passCount;
                }},
               {0, 200, [&] {
                  EXPECT_EQ(dialog.passCount, passesAtClose);  // no pass after the close click
                  EXPECT_FALSE(videoWindow->IsWindow());
                  EXPECT_TRUE(dialog.IsDlgItemEnabled(ctl::OpenCamera));
                  for (int id : ctl::captureControls) EXPECT_FALSE(dialog.IsDlgItemEnabled(id)) << id;
                  click(dialog, ctl::CloseProgram);
                }}});
  EXPECT_EQ(result, commandCancel);
  EXPECT_GT(passesAtClose, 3);
  EXPECT_EQ(cameras.log.opens, 1);
}

TEST_F(CaptureRun, ValuesOutsideTheSliderRangesAreDrawnAtTheRangeEndsFromTheFirstPass) {
  writeFile("config4k.txt", "1500 7 100 1 50 1 1500 1 0 0 0");
  FakeCameraSystem cameras(std::vector<CameraEntry>{{"vexa3", "/dev/video0"}});
  CVarnixDlg dialog(cameras);
  run(dialog, {{0, 0, [&] { click(dialog, ctl::OpenCamera); }},
               {1, 0, [&] {
                  ASSERT_GE(dialog.passCount, 1);
                  EXPECT_EQ(dialog.records.circle1.radius, 1500);
                  EXPECT_EQ(dialog.slider(ctl::Circle1RadiusSlider)->GetPos(), 1500);
                  EXPECT_EQ(dialog.records.crosshair.length, 1500);
                  EXPECT_EQ(dialog.records.circle1.thickness, 4);                          // the slider's end
                  EXPECT_EQ(dialog.numberField(ctl::Circle1ThicknessField)->text(), "7");  // as read
                  EXPECT_EQ(dialog.numberField(ctl::Circle1RadiusField)->text(), "1500");
                  click(dialog, ctl::CloseProgram);
                }}});
}

TEST_F(CaptureRun, OnlyTheModelsThatAskForItGetSizeAndFormatRequests) {
  const double mjpg = cv::VideoWriter::fourcc('M', 'J', 'P', 'G');
  const struct {
    const char* model;
    std::vector<std::pair<int, double>> expected;
  } cases[] = {
      {"vexa4.0", {}},
      {"vexa3", {}},
      {"vexa2",
       {{cv::CAP_PROP_FRAME_WIDTH, 3264}, {cv::CAP_PROP_FRAME_HEIGHT, 2448}, {cv::CAP_PROP_FOURCC, mjpg}}},
      {"vexa3.5",
       {{cv::CAP_PROP_FRAME_WIDTH, 3840}, {cv::CAP_PROP_FRAME_HEIGHT, 2160}, {cv::CAP_PROP_FOURCC, mjpg}}},
  };
  for (const auto& c : cases) {
    FakeCameraSystem cameras(std::vector<CameraEntry>{{c.model, "/dev/video0"}});
    CVarnixDlg dialog(cameras);
    run(dialog,
        {{0, 0, [&] { click(dialog, ctl::OpenCamera); }}, {1, 0, [&] { click(dialog, ctl::CloseProgram); }}});
    EXPECT_EQ(cameras.log.settings, c.expected) << c.model;
  }
}

TEST_F(CaptureRun, ReopeningRereadsTheFilesResetsColoursAndZoomAndRunsNestedRunsInnermostFirst) {
  writeFile("config4k.txt", "150 1 100 1 50 1 100 1 0 0 0");
  FakeCameraSystem cameras(std::vector<CameraEntry>{{"vexa3.5", "/dev/video0"}});
  CVarnixDlg dialog(cameras);
  long passesBeforeReopen = 0;
  run(dialog, {{0, 0, [&] { click(dialog, ctl::OpenCamera); }},
               {2, 0,
                [&] {
                  dialog.colorButton(ctl::Circle1Color)->SetColor(0x123456);
                  dialog.SendCommand(ctl::Circle1Color);
                  videoWindow->view.zoomLevel = 2;
                  writeFile("config4k.txt", "321 2 100 1 50 1 100 1 0 0 0");
                  // Close and open again within the same wait: the new run starts
                  // inside the old one's wait.
                  click(dialog, ctl::CloseCamera);
                  passesBeforeReopen = dialog.passCount;
                  click(dialog, ctl::OpenCamera);
                }},
               {3, 0,
                [&] {
                  EXPECT_GT(dialog.passCount, passesBeforeReopen);
                  EXPECT_EQ(dialog.records.circle1.radius, 321);
                  EXPECT_EQ(dialog.numberField(ctl::Circle1RadiusField)->text(), "321");
                  EXPECT_EQ(dialog.colorButton(ctl::Circle1Color)->GetColor(), 0x00FF00u);
                  EXPECT_EQ(dialog.records.circle1.drawColor, cv::Scalar(0, 255, 0, 0));
                  EXPECT_TRUE(videoWindow->IsWindowVisible());
                  EXPECT_EQ(videoWindow->view.zoomLevel, 1);
                  click(dialog, ctl::CloseCamera);  // ends the inner run, then the outer one
                }},
               {0, 100, [&] { click(dialog, ctl::CloseProgram); }}});
  EXPECT_EQ(cameras.log.opens, 2);
}

TEST_F(CaptureRun, ClosingTheProgramDuringARunEndsLoopCameraAndWindow) {
  FakeCameraSystem cameras(std::vector<CameraEntry>{{"vexa3", "/dev/video0"}});
  CVarnixDlg dialog(cameras);
  long passesAtClose = 0;
  const int result = run(dialog, {{0, 0, [&] { click(dialog, ctl::OpenCamera); }},
                                  {2, 0, [&] {
                                     passesAtClose = dialog.passCount;
                                     dialog.window()->close();  // the window's close button
                                   }}});
  EXPECT_EQ(result, commandCancel);
  EXPECT_EQ(dialog.passCount, passesAtClose);
  EXPECT_FALSE(dialog.capture->isOpened());
  EXPECT_FALSE(videoWindow->IsWindow());
}

TEST_F(CaptureRun, AFailedSaveTellsTheUserAndKeepsTheFileAndTheValues) {
  FakeCameraSystem cameras(std::vector<CameraEntry>{{"vexa3", "/dev/video0"}});
  CVarnixDlg dialog(cameras);
  QDir().mkdir("config4k.txt");  // a folder where the file should be: the save cannot replace it
  QString caption;
  QString text;
  auto* poll = new QTimer(QApplication::instance());
  QObject::connect(poll, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      caption = box->windowTitle();
      text = box->text();
      box->button(QMessageBox::Ok)->click();
    }
  });
  poll->start(20);
  run(dialog, {{0, 0, [&] { click(dialog, ctl::OpenCamera); }},
               {1, 0, [&] { click(dialog, ctl::SaveParameters); }},
               {2, 0, [&] {
                  EXPECT_TRUE(dialog.IsWindowVisible());
                  EXPECT_EQ(dialog.records.circle1.radius, 150);
                  click(dialog, ctl::CloseProgram);
                }}});
  delete poll;
  EXPECT_EQ(caption, QString::fromUtf8("异常"));
  EXPECT_EQ(text, QString::fromUtf8("保存参数失败"));
  EXPECT_TRUE(QFileInfo("config4k.txt").isDir());
}

TEST_F(CaptureRun, SaveWritesTheValuesAsTheyStandInTheRecords) {
  FakeCameraSystem cameras(std::vector<CameraEntry>{{"vexa3", "/dev/video0"}});
  CVarnixDlg dialog(cameras);
  run(dialog, {{0, 0, [&] { click(dialog, ctl::OpenCamera); }},
               {1, 0,
                [&] {
                  dialog.slider(ctl::OffsetHorizontalSlider)->SetPos(-7);
                  dialog.slider(ctl::CrosshairAngleSlider)->SetPos(450);
                }},
               {2, 0, [&] {
                  click(dialog, ctl::SaveParameters);
                  click(dialog, ctl::CloseProgram);
                }}});
  std::ifstream saved("config4k.txt");
  const std::string content((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "150 1 100 1 50 1 100 1 450 0 -7");
}

namespace {

// Runs the application, dismisses the box it shows at opening and reports
// on stderr what the box said. Ends the process itself.
void openAndDismissTheBox(FakeCameraSystem& cameras, bool unplugBeforeOpening) {
  if (unplugBeforeOpening) QTimer::singleShot(0, [&cameras] { cameras.devices.clear(); });
  auto* poll = new QTimer(QApplication::instance());
  QObject::connect(poll, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      std::fprintf(stderr, "box: %s / %s\n", box->windowTitle().toStdString().c_str(),
                   box->text().toStdString().c_str());
      box->button(QMessageBox::Ok)->click();
    }
  });
  poll->start(10);
  QTimer::singleShot(0, [] {
    QTest::mouseClick(static_cast<CVarnixDlg*>(mainWindow)->pushButton(ctl::OpenCamera), Qt::LeftButton);
  });
  CVarnixApp app(cameras);
  app.InitInstance();
  std::exit(3);
}

}  // namespace

TEST_F(CaptureRun, OpeningAnAbsentOrRefusingCameraShowsTheMessageAndExitsWithZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  {
    // Present at start-up, unplugged before the open click.
    FakeCameraSystem cameras(std::vector<CameraEntry>{{"vexa3", "/dev/video0"}});
    EXPECT_EXIT(openAndDismissTheBox(cameras, true), ::testing::ExitedWithCode(0),
                "box: 异常 / 未检测到硬件，请检查连接状态后重新打开应用程序");
  }
  {
    FakeCameraSystem cameras(std::vector<CameraEntry>{{"vexa3", "/dev/video0"}});
    cameras.refuseOpen = true;
    EXPECT_EXIT(openAndDismissTheBox(cameras, false), ::testing::ExitedWithCode(0),
                "box: 异常 / 打开摄像头失败");
  }
}

TEST_F(CaptureRun, AColourPickShowsInTheNextPresentedFrame) {
  writeFile("focus.txt", "200 150");
  writeFile("config4k.txt", "100 4 60 1 30 1 100 1 0 0 0");
  FakeCameraSystem cameras(std::vector<CameraEntry>{{"vexa4.0", "/dev/video0"}});
  CVarnixDlg dialog(cameras);
  long passesAtPick = 0;
  run(dialog, {{0, 0, [&] { click(dialog, ctl::OpenCamera); }},
               {1, 0,
                [&] {
                  dialog.checkBox(ctl::Circle1Enable)->setChecked(true);
                  // A pick as the palette makes it: the button takes the colour, then notifies.
                  dialog.colorButton(ctl::Circle1Color)->SetColor(0x00FFFF);  // yellow
                  dialog.SendCommand(ctl::Circle1Color);
                  passesAtPick = dialog.passCount;
                }},
               {2, 0, [&] {
                  ASSERT_GT(dialog.passCount, passesAtPick);
                  PictureCtrl& picture = *videoWindow->pictureCtrl;
                  EXPECT_EQ(picture.grab().toImage().pixelColor(shownAt(picture, 300, 150)),
                            QColor(255, 255, 0));
                  click(dialog, ctl::CloseProgram);
                }}});
}

TEST_F(CaptureRun, NoKeyStrandsARunAndTheWindowSystemsCloseOfTheVideoIsCloseCamera) {
  FakeCameraSystem cameras(std::vector<CameraEntry>{{"vexa3", "/dev/video0"}});
  CVarnixDlg dialog(cameras);
  long passesAtKeys = 0;
  const int result =
      run(dialog,
          {{0, 0, [&] { click(dialog, ctl::OpenCamera); }},
           {1, 0,
            [&] {
              for (const int id : {ctl::Circle1RadiusField, ctl::Circle1RadiusSlider, ctl::Circle1Enable}) {
                dialog.GetDlgItem(id)->setFocus();
                QTest::keyClick(dialog.GetDlgItem(id), Qt::Key_Return);
              }
              QTest::keyClick(videoWindow->window(), Qt::Key_Escape);
              QTest::keyClick(videoWindow->window(), Qt::Key_Return);
              passesAtKeys = dialog.passCount;
            }},
           {1, 0,
            [&] {
              EXPECT_GT(dialog.passCount, passesAtKeys) << "the run goes on";
              EXPECT_TRUE(dialog.IsWindowVisible());
              EXPECT_TRUE(videoWindow->IsWindowVisible());
              videoWindow->window()->close();  // Alt+F4 or a task-bar menu
              EXPECT_FALSE(videoWindow->IsWindow());
              EXPECT_FALSE(dialog.capture->isOpened());
              EXPECT_TRUE(dialog.IsDlgItemEnabled(ctl::OpenCamera));
              for (int id : ctl::captureControls) EXPECT_FALSE(dialog.IsDlgItemEnabled(id)) << id;
            }},
           {0, 100, [&] {
              // Outside a run Enter off the buttons is the dialog's OK again.
              EXPECT_TRUE(dialog.IsWindowVisible());
              dialog.window()->setFocus();
              QTest::keyClick(dialog.window(), Qt::Key_Return);
            }}});
  EXPECT_EQ(result, commandOk);
}
