#include "app/varnix_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/app_globals.h"
#include "app/messages.h"
#include "app/resources.h"
#include "app/varnix_app.h"
#include "app/version_record.h"
#include "platform/color_button.h"
#include "platform/number_field.h"
#include "platform/screen.h"
#include "platform/simple_controls.h"
#include "platform/slider_ctrl.h"
#include "res/control_ids.h"
#include "res/dialog_templates.h"
#include "tests/camera_doubles.h"
#include "video/movie.h"

namespace {

// A built-in camera first, a known model second.
std::vector<CameraEntry> devicesWithKnownCamera() {
  return {{"Integrated Webcam", "/dev/video0"}, {"vexa3", "/dev/video2"}};
}

std::vector<int> tabStopsInTemplateOrder() {
  std::vector<int> ids;
  for (const ControlTemplate& c : mainDialogTemplate().controls)
    if (c.style & control_style::TabStop) ids.push_back(c.id);
  return ids;
}

int focusedControl(const Dialog& dialog) {
  for (const ControlTemplate& c : mainDialogTemplate().controls)
    if (c.id != noControlId && dialog.GetDlgItem(c.id) == QApplication::focusWidget()) return c.id;
  return 0;
}

// Runs the dialog modally and does `steps` once it is up.
int runModal(CVarnixDlg& dialog, const std::function<void()>& steps) {
  QTimer::singleShot(0, [&dialog, steps] {
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.window()));
    steps();
  });
  return dialog.DoModal();
}

class MainDialogStart : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dialog.Create(nullptr)); }

  FakeCameraSystem cameras{devicesWithKnownCamera()};
  CVarnixDlg dialog{cameras};
};

}  // namespace

TEST_F(MainDialogStart, OnlyOpenCameraAndCloseProgramAreUsable) {
  EXPECT_EQ(dialog.GetWindowText(), "VEXA");
  EXPECT_TRUE(dialog.IsWindowVisible());
  EXPECT_TRUE(dialog.IsDlgItemEnabled(ctl::OpenCamera));
  EXPECT_TRUE(dialog.IsDlgItemEnabled(ctl::CloseProgram));
  for (const int id : ctl::captureControls) EXPECT_FALSE(dialog.IsDlgItemEnabled(id)) << id;
  for (const int id :
       {ctl::Circle1Enable, ctl::Circle2Enable, ctl::Circle3Enable, ctl::CrosshairEnable, ctl::OffsetEnable})
    EXPECT_EQ(dialog.checkBox(id)->GetCheck(), 0) << id;
  EXPECT_EQ(selectedCameraIndex, 1);
  EXPECT_EQ(dialog.captureRunning, 0);
  EXPECT_FALSE(dialog.window()->windowIcon().isNull());
}

TEST_F(MainDialogStart, FieldsShowTheStartValuesAndSlidersStandOnThem) {
  struct Case {
    int fieldId;
    const char* text;
    int sliderId;
    int minimum;
    int maximum;
    int ticFrequency;
  };
  const Case cases[] = {
      {ctl::Circle2RadiusField, "100", ctl::Circle2RadiusSlider, 1, 1000, 10},
      {ctl::Circle2ThicknessField, "1", ctl::Circle2ThicknessSlider, 1, 4, 1},
      {ctl::Circle1RadiusField, "150", ctl::Circle1RadiusSlider, 1, 1000, 10},
      {ctl::OffsetVerticalField, "0", ctl::OffsetVerticalSlider, -20, 20, 10},
      {ctl::OffsetHorizontalField, "0", ctl::OffsetHorizontalSlider, -20, 20, 10},
      {ctl::Circle1ThicknessField, "1", ctl::Circle1ThicknessSlider, 1, 4, 1},
      {ctl::Circle3RadiusField, "50", ctl::Circle3RadiusSlider, 1, 1000, 10},
      {ctl::Circle3ThicknessField, "1", ctl::Circle3ThicknessSlider, 1, 4, 1},
      {ctl::CrosshairLengthField, "100", ctl::CrosshairLengthSlider, 1, 1000, 10},
      {ctl::CrosshairThicknessField, "1", ctl::CrosshairThicknessSlider, 1, 4, 1},
      {ctl::CrosshairAngleField, "0", ctl::CrosshairAngleSlider, 0, 900, 10},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dialog.numberField(c.fieldId)->GetWindowText(), c.text) << c.fieldId;
    const SliderCtrl* slider = dialog.slider(c.sliderId);
    EXPECT_EQ(slider->GetRangeMin(), c.minimum) << c.sliderId;
    EXPECT_EQ(slider->GetRangeMax(), c.maximum) << c.sliderId;
    EXPECT_EQ(slider->GetTicFreq(), c.ticFrequency) << c.sliderId;
    EXPECT_EQ(slider->GetLineSize(), 1) << c.sliderId;
    EXPECT_EQ(std::to_string(slider->GetPos()), c.text) << c.sliderId;
  }
  // A pull leaves everything as it is: records and controls agree.
  const OverlayRecords before = dialog.records;
  ASSERT_TRUE(dialog.UpdateData(true));
  for (const NumericValueInfo& info : numericValueTable())
    EXPECT_EQ(numericValue(dialog.records, info.value), numericValue(before, info.value));
}

TEST_F(MainDialogStart, ColourButtonsShowTheDefaultsAndTheDrawingColoursFollow) {
  EXPECT_EQ(dialog.colorButton(ctl::Circle2Color)->GetColor(), 0x0000FFu);
  EXPECT_EQ(dialog.colorButton(ctl::Circle1Color)->GetColor(), 0x00FF00u);
  EXPECT_EQ(dialog.colorButton(ctl::Circle3Color)->GetColor(), 0xFF0000u);
  EXPECT_EQ(dialog.colorButton(ctl::CrosshairColor)->GetColor(), 0xFF00FFu);
  EXPECT_EQ(dialog.records.circle2.drawColor, cv::Scalar(0, 0, 255, 0));
  EXPECT_EQ(dialog.records.circle1.drawColor, cv::Scalar(0, 255, 0, 0));
  EXPECT_EQ(dialog.records.circle3.drawColor, cv::Scalar(255, 0, 0, 0));
  EXPECT_EQ(dialog.records.crosshair.drawColor, cv::Scalar(255, 0, 255, 0));

  // A colour chosen by the user lasts until the defaults are applied again.
  dialog.colorButton(ctl::Circle1Color)->SetColor(0x123456);
  dialog.applyDefaultColors();
  EXPECT_EQ(dialog.colorButton(ctl::Circle1Color)->GetColor(), 0x00FF00u);
}

TEST_F(MainDialogStart, StandsAHundredPixelsFromTheTopRightOfTheScreen) {
  // The outer frame takes the client area's size from before the move, so
  // the frame (this platform draws one) comes off the client area.
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.window()));
  const PixelRect screen = primaryScreenRect();
  const PixelRect before = dialogRectToPixels(mainDialogTemplate().rect, dialog.baseUnits());
  const PixelRect outer = dialog.GetWindowRect();
  EXPECT_EQ(outer.x + outer.width, screen.x + screen.width - 100);
  EXPECT_EQ(outer.y, screen.y + 100);
  EXPECT_EQ(outer.width, before.width);
  EXPECT_EQ(outer.height, before.height);
}

TEST(MainDialogTab, AlternatesBetweenTheTwoUsableButtonsAfterStartAndVisitsAllInTemplateOrder) {
  FakeCameraSystem cameras(devicesWithKnownCamera());
  CVarnixDlg dialog(cameras);
  std::vector<int> afterStart;
  std::vector<int> allEnabled;
  runModal(dialog, [&] {
    for (int i = 0; i < 4; ++i) {
      afterStart.push_back(focusedControl(dialog));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (const int id : ctl::captureControls) dialog.EnableDlgItem(id, true);
    dialog.GetDlgItem(ctl::CloseProgram)->setFocus();
    for (std::size_t i = 0; i < tabStopsInTemplateOrder().size(); ++i) {
      allEnabled.push_back(focusedControl(dialog));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    dialog.EndDialog(commandCancel);
  });
  EXPECT_EQ(afterStart,
            (std::vector<int>{ctl::CloseProgram, ctl::OpenCamera, ctl::CloseProgram, ctl::OpenCamera}));
  EXPECT_EQ(allEnabled, tabStopsInTemplateOrder());
}

TEST(MainDialogEnding, EachWayEndsThroughItsHandler) {
  struct Case {
    const char* name;
    std::function<void(CVarnixDlg&)> act;
  };
  const Case cases[] = {
      {"close-program button",
       [](CVarnixDlg& d) { QTest::mouseClick(d.pushButton(ctl::CloseProgram), Qt::LeftButton); }},
      {"Esc", [](CVarnixDlg&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }},
      {"window close button", [](CVarnixDlg& d) { d.window()->close(); }},
  };
  for (const Case& c : cases) {
    FakeCameraSystem cameras(devicesWithKnownCamera());
    CVarnixDlg dialog(cameras);
    // A capture run in progress: an open camera and a video window.
    std::unique_ptr<CaptureDevice> capture = cameras.createCapture(cameras.devices[1]);
    capture->open();
    const CaptureDevice* camera = capture.get();
    dialog.capture = std::move(capture);
    movie video;
    ASSERT_TRUE(video.Create(nullptr));
    videoWindow = &video;

    EXPECT_EQ(runModal(dialog, [&] { c.act(dialog); }), commandCancel) << c.name;
    EXPECT_FALSE(camera->isOpened()) << c.name;
    EXPECT_FALSE(video.IsWindow()) << c.name;
    videoWindow = nullptr;
  }
}

namespace {

// Runs the application on `devices`, dismisses the box it shows and reports
// on stderr what the box looked like. Ends the process itself.
void runApplicationAndDismissTheBox(std::vector<CameraEntry> devices) {
  FakeCameraSystem cameras(std::move(devices));
  auto* poll = new QTimer(QApplication::instance());
  QObject::connect(poll, &QTimer::timeout, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    const MessageText expected = lookupMessage(MessageKey::NoHardware, 0);
    std::fprintf(stderr, "caption %s, text %s, buttons %d, icon %s, main dialog %s\n",
                 box->windowTitle().toStdString() == expected.caption ? "ok" : "wrong",
                 box->text().toStdString() == expected.text ? "ok" : "wrong",
                 static_cast<int>(box->buttons().size()),
                 box->icon() == QMessageBox::NoIcon ? "none" : "shown",
                 mainWindow != nullptr && !mainWindow->IsWindowVisible() ? "hidden" : "visible");
    box->button(QMessageBox::Ok)->click();
  });
  poll->start(10);
  CVarnixApp app(cameras);
  app.InitInstance();
  std::fprintf(stderr, "the dialog returned\n");
  std::exit(3);
}

}  // namespace

TEST(MainDialogNoHardware, ShowsTheMessageBeforeTheDialogAndExitsWithZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const char* const verdict = "caption ok, text ok, buttons 1, icon none, main dialog hidden";
  EXPECT_EXIT(runApplicationAndDismissTheBox({}), ::testing::ExitedWithCode(0), verdict);
  EXPECT_EXIT(runApplicationAndDismissTheBox({{"Integrated Webcam", "/dev/video0"},
                                              {"USB CAMERA KTR", "/dev/video2"},
                                              {"vexa3 ", "/dev/video4"}}),
              ::testing::ExitedWithCode(0), verdict);
}

TEST(Resources, CarryTheIconAndTheVersionData) {
  ensureResources();
  const QImage icon(QString::fromLatin1(appIconResource));
  EXPECT_EQ(icon.size(), QSize(256, 256));
  EXPECT_TRUE(icon.hasAlphaChannel());

  QFile file(QString::fromLatin1(versionResource));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  const auto version =
      parseVersionRecord(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->fileVersion, "1.0.0.1");
  EXPECT_EQ(version->productVersion, "1.0.0.1");
  EXPECT_EQ(version->fileDescription, "Varnix");
}
