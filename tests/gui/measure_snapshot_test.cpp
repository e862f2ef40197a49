#include <gtest/gtest.h>

#include <QDir>
#include <QTest>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <string>
#include <vector>

#include "app/app_globals.h"
#include "camera/camera_system_factory.h"
#include "overlay/draw_overlay.h"
#include "platform/number_field.h"
#include "platform/simple_controls.h"
#include "res/control_ids.h"
#include "tests/camera_doubles.h"
#include "tests/gui/capture_run_fixture.h"
#include "video/movie.h"

namespace {

constexpr double spotX = 251.25;
constexpr double spotY = 120.75;

// The camera's still picture: a dark field with one Gaussian spot.
cv::Mat spotPicture() {
  cv::Mat picture(300, 400, CV_8UC3, cv::Scalar::all(10));
  for (int y = 0; y < picture.rows; ++y)
    for (int x = 0; x < picture.cols; ++x) {
      const double r2 = (x - spotX) * (x - spotX) + (y - spotY) * (y - spotY);
      picture.at<cv::Vec3b>(y, x) += cv::Vec3b::all(cv::saturate_cast<uchar>(200.0 * std::exp(-r2 / 18.0)));
    }
  return picture;
}

std::vector<std::filesystem::path> filesIn(const char* folder, const char* extension) {
  std::vector<std::filesystem::path> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    if (entry.path().extension() == extension) found.push_back(entry.path());
  return found;
}

void pressInVideoWindow(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(videoWindow->window(), key, modifiers);
}

class MeasureAndSnapshotRun : public CaptureRun {
 protected:
  void SetUp() override {
    CaptureRun::SetUp();
    writeFile("focus.txt", "200 150");
    writeFile("config4k.txt", "100 2 60 1 30 1 100 1 0 0 0");
    ASSERT_TRUE(cv::imwrite("spot.png", spotPicture()));
    CameraSystemOptions options;
    options.simulatedCameraName = "vexa3";
    options.simulatedSource = "spot.png";
    cameras_ = makeCameraSystem(options, std::make_unique<FakeCameraSystem>());
  }

  std::unique_ptr<CameraSystem> cameras_;
};

}  // namespace

TEST_F(MeasureAndSnapshotRun, KeyMShowsTheSpotsOffsetAndCtrlSWritesTheFrameWithItsOverlay) {
  CVarnixDlg dialog(*cameras_);
  QStringList box;
  QStringList notice;
  run(dialog,
      {{0, 0, [&] { click(dialog, ctl::OpenCamera); }},
       {1, 0,
        [&] {
          QTest::mouseClick(dialog.checkBox(ctl::Circle1Enable), Qt::LeftButton);
          EXPECT_TRUE(videoWindow->pictureCtrl->cornerText(PictureCorner::TopLeft).isEmpty());
          pressInVideoWindow(Qt::Key_M);
        }},
       // The first frame is searched and the next measures the spot
       // found; the box comes up with it, on the frame after.
       {2, 0, [&] { EXPECT_TRUE(videoWindow->pictureCtrl->cornerText(PictureCorner::TopLeft).isEmpty()); }},
       {1, 0,
        [&] {
          box = videoWindow->pictureCtrl->cornerText(PictureCorner::TopLeft);
          pressInVideoWindow(Qt::Key_M);
        }},
       {2, 0,
        [&] {
          EXPECT_TRUE(videoWindow->pictureCtrl->cornerText(PictureCorner::TopLeft).isEmpty());
          pressInVideoWindow(Qt::Key_S, Qt::ControlModifier);
        }},
       // The file is written off the loop; its notice follows within a few passes.
       {1, 500, [&] {
          notice = videoWindow->pictureCtrl->cornerText(PictureCorner::BottomLeft);
          click(dialog, ctl::CloseProgram);
        }}});

  // The box: the spot lies 51.25 right of and 29.25 above the overlay centre (200, 150).
  ASSERT_EQ(box.size(), 5);
  EXPECT_TRUE(box[0].contains("dx +51.2")) << box[0].toStdString();
  EXPECT_TRUE(box[0].contains("dy -29.2")) << box[0].toStdString();
  EXPECT_TRUE(box[1].startsWith("距离 59.")) << box[1].toStdString();

  const auto pictures = filesIn("snapshots", ".png");
  const auto records = filesIn("snapshots", ".json");
  ASSERT_EQ(pictures.size(), 1u);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].stem(), pictures[0].stem());
  ASSERT_EQ(notice.size(), 1);
  EXPECT_EQ(notice[0].toStdString(), "快照已保存：" + pictures[0].string());

  // The picture is the camera's frame with the overlay drawn in, pixel for pixel.
  cv::Mat expected = spotPicture();
  DrawOverlay(expected, dialog.records, FocusPoint{200.0f, 150.0f});
  const cv::Mat written = cv::imread(pictures[0].string(), cv::IMREAD_UNCHANGED);
  ASSERT_EQ(written.size(), expected.size());
  EXPECT_EQ(cv::norm(written, expected, cv::NORM_INF), 0.0);

  // Measured although the live display was off by then.
  std::ifstream in(records[0]);
  const nlohmann::json json = nlohmann::json::parse(in);
  EXPECT_NEAR(json["spot"]["x"].get<double>(), spotX, 0.05);
  EXPECT_NEAR(json["spot"]["y"].get<double>(), spotY, 0.05);
  EXPECT_EQ(json["camera"], "vexa3");
  EXPECT_EQ(json["overlay"]["circle1"]["enabled"], true);
}

TEST_F(MeasureAndSnapshotRun, AFailedSnapshotFromTheMainDialogIsShownAndTheRunGoesOn) {
  writeFile("snapshots", "a file where the folder should be");
  CVarnixDlg dialog(*cameras_);
  QStringList notice;
  long passesAtNotice = 0;
  run(dialog, {{0, 0, [&] { click(dialog, ctl::OpenCamera); }},
               {1, 0,
                [&] {
                  // Typed where the focus is: a number field passes Ctrl+S on to the dialog.
                  NumberField* field = dialog.numberField(ctl::Circle1RadiusField);
                  field->setFocus();
                  QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
                  EXPECT_EQ(field->text(), "100");
                }},
               {1, 300,
                [&] {
                  notice = videoWindow->pictureCtrl->cornerText(PictureCorner::BottomLeft);
                  passesAtNotice = dialog.passCount;
                }},
               {2, 0, [&] { click(dialog, ctl::CloseProgram); }}});
  ASSERT_EQ(notice.size(), 1);
  EXPECT_TRUE(notice[0].startsWith("快照保存失败")) << notice[0].toStdString();
  EXPECT_GT(dialog.passCount, passesAtNotice);
  EXPECT_TRUE(std::filesystem::is_regular_file("snapshots"));
}
