#include "app/camera_controls_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "app/control_editors.h"

namespace {

enum : std::uint32_t {
  BrightnessId = 10,
  AutoWhiteBalanceId = 11,
  PowerLineId = 12,
  ResetPanId = 13,
  PrivacyId = 14,
  TemperatureId = 15
};

// Controls with each kind of widget, remembering what the window set.
class FakeControls final : public CameraControls {
 public:
  FakeControls() {
    CameraControlInfo brightness;
    brightness.id = BrightnessId;
    brightness.type = ControlType::Integer;
    brightness.name = "Brightness";
    brightness.minimum = -64;
    brightness.maximum = 64;
    brightness.value = 5;
    CameraControlInfo autoWhiteBalance;
    autoWhiteBalance.id = AutoWhiteBalanceId;
    autoWhiteBalance.type = ControlType::Boolean;
    autoWhiteBalance.name = "White Balance, Automatic";
    autoWhiteBalance.maximum = 1;
    CameraControlInfo powerLine;
    powerLine.id = PowerLineId;
    powerLine.type = ControlType::Menu;
    powerLine.name = "Power Line Frequency";
    powerLine.maximum = 3;
    powerLine.value = 1;
    powerLine.menuItems = {{0, "Disabled"}, {1, "50 Hz"}, {3, "Auto"}};
    CameraControlInfo resetPan;
    resetPan.id = ResetPanId;
    resetPan.type = ControlType::Button;
    resetPan.name = "Pan, Reset";
    CameraControlInfo privacy;
    privacy.id = PrivacyId;
    privacy.type = ControlType::Boolean;
    privacy.name = "Privacy";
    privacy.readOnly = true;
    CameraControlInfo temperature;
    temperature.id = TemperatureId;
    temperature.type = ControlType::Integer;
    temperature.name = "White Balance Temperature";
    temperature.minimum = 2800;
    temperature.maximum = 6500;
    temperature.step = 10;
    temperature.value = 4600;
    temperature.inactive = true;
    list = {brightness, autoWhiteBalance, powerLine, resetPan, privacy, temperature};
  }

  std::vector<CameraControlInfo> queryControls() override {
    ++queries;
    return list;
  }
  bool setControl(std::uint32_t id, std::int64_t value) override {
    sets.emplace_back(id, value);
    if (refuseSets) return false;
    control(id).value = value;
    return true;
  }
  CameraControlInfo& control(std::uint32_t id) {
    return *std::find_if(list.begin(), list.end(), [id](const auto& c) { return c.id == id; });
  }

  std::vector<CameraControlInfo> list;
  std::vector<std::pair<std::uint32_t, std::int64_t>> sets;
  bool refuseSets = false;
  int queries = 0;
};

using Sets = std::vector<std::pair<std::uint32_t, std::int64_t>>;

template <typename Widget>
Widget* editorPart(QWidget& window, std::uint32_t id) {
  auto* editor = window.findChild<ControlEditor*>(QStringLiteral("control-%1").arg(id));
  return editor == nullptr ? nullptr : editor->findChild<Widget*>();
}

ControlEditor* editor(QWidget& window, std::uint32_t id) {
  return window.findChild<ControlEditor*>(QStringLiteral("control-%1").arg(id));
}

}  // namespace

TEST(CameraControlsWindow, BuildsAWidgetOfTheRightKindForEachControl) {
  FakeControls controls;
  QWidget owner;
  CameraControlsWindow window(controls, &owner);

  EXPECT_TRUE(window.isWindow());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("摄像头设置"));

  auto* slider = editorPart<QSlider>(window, BrightnessId);
  ASSERT_NE(slider, nullptr);
  EXPECT_EQ(slider->minimum(), -64);
  EXPECT_EQ(slider->maximum(), 64);
  EXPECT_EQ(slider->value(), 5);
  ASSERT_NE(editorPart<QSpinBox>(window, BrightnessId), nullptr);
  EXPECT_EQ(editorPart<QSpinBox>(window, BrightnessId)->value(), 5);
  EXPECT_EQ(editorPart<QSlider>(window, TemperatureId)->singleStep(), 10);

  ASSERT_NE(editorPart<QCheckBox>(window, AutoWhiteBalanceId), nullptr);
  EXPECT_FALSE(editorPart<QCheckBox>(window, AutoWhiteBalanceId)->isChecked());

  auto* list = editorPart<QComboBox>(window, PowerLineId);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->itemText(2), QStringLiteral("Auto"));
  EXPECT_EQ(list->currentText(), QStringLiteral("50 Hz"));

  ASSERT_NE(editorPart<QPushButton>(window, ResetPanId), nullptr);
  EXPECT_EQ(editorPart<QPushButton>(window, ResetPanId)->text(), QStringLiteral("Pan, Reset"));

  // What cannot be changed now is shown but disabled.
  EXPECT_TRUE(editor(window, BrightnessId)->isEnabled());
  EXPECT_FALSE(editor(window, PrivacyId)->isEnabled());
  EXPECT_FALSE(editor(window, TemperatureId)->isEnabled());
  EXPECT_TRUE(controls.sets.empty());
}

TEST(CameraControlsWindow, ChangesReachTheCameraAtOnce) {
  FakeControls controls;
  QWidget owner;
  CameraControlsWindow window(controls, &owner);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  auto* slider = editorPart<QSlider>(window, BrightnessId);
  slider->setFocus();
  QTest::keyClick(slider, Qt::Key_Right);
  EXPECT_EQ(controls.sets.back(), std::make_pair(std::uint32_t{BrightnessId}, std::int64_t{6}));
  EXPECT_EQ(editorPart<QSpinBox>(window, BrightnessId)->value(), 6);

  auto* number = editorPart<QSpinBox>(window, BrightnessId);
  number->selectAll();
  QTest::keyClicks(number, "-20");
  QTest::keyClick(number, Qt::Key_Return);
  EXPECT_EQ(controls.sets.back(), std::make_pair(std::uint32_t{BrightnessId}, std::int64_t{-20}));
  EXPECT_EQ(slider->value(), -20);

  auto* box = editorPart<QCheckBox>(window, AutoWhiteBalanceId);
  box->setFocus();
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_EQ(controls.sets.back(), std::make_pair(std::uint32_t{AutoWhiteBalanceId}, std::int64_t{1}));

  // The list sends the driver's value of the entry, not its position.
  auto* list = editorPart<QComboBox>(window, PowerLineId);
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(controls.sets.back(), std::make_pair(std::uint32_t{PowerLineId}, std::int64_t{3}));

  QTest::mouseClick(editorPart<QPushButton>(window, ResetPanId), Qt::LeftButton);
  EXPECT_EQ(controls.sets.back(), std::make_pair(std::uint32_t{ResetPanId}, std::int64_t{1}));
  EXPECT_EQ(controls.sets.size(), 5u);
}

TEST(CameraControlsWindow, ShowsWhatTheDeviceChangedByItself) {
  FakeControls controls;
  QWidget owner;
  CameraControlsWindow window(controls, &owner);

  controls.control(BrightnessId).value = 40;
  controls.control(AutoWhiteBalanceId).value = 1;
  controls.control(PowerLineId).value = 0;
  controls.control(TemperatureId).inactive = false;
  controls.control(BrightnessId).inactive = true;
  window.refresh();

  EXPECT_EQ(editorPart<QSlider>(window, BrightnessId)->value(), 40);
  EXPECT_EQ(editorPart<QSpinBox>(window, BrightnessId)->value(), 40);
  EXPECT_TRUE(editorPart<QCheckBox>(window, AutoWhiteBalanceId)->isChecked());
  EXPECT_EQ(editorPart<QComboBox>(window, PowerLineId)->currentText(), QStringLiteral("Disabled"));
  EXPECT_TRUE(editor(window, TemperatureId)->isEnabled());
  EXPECT_FALSE(editor(window, BrightnessId)->isEnabled());
  // Showing a value is not a change.
  EXPECT_TRUE(controls.sets.empty());

  // And without being asked, within a few refresh intervals.
  controls.control(BrightnessId).value = -7;
  EXPECT_TRUE(QTest::qWaitFor([&] { return editorPart<QSlider>(window, BrightnessId)->value() == -7; },
                              4 * CameraControlsWindow::refreshIntervalMs));
  EXPECT_TRUE(controls.sets.empty());
}

TEST(CameraControlsWindow, ARefusedChangeFallsBackToTheDevicesValue) {
  FakeControls controls;
  controls.refuseSets = true;
  QWidget owner;
  CameraControlsWindow window(controls, &owner);

  auto* slider = editorPart<QSlider>(window, BrightnessId);
  slider->setValue(30);
  ASSERT_EQ(controls.sets.size(), 1u);
  EXPECT_EQ(slider->value(), 5);
  EXPECT_EQ(editorPart<QSpinBox>(window, BrightnessId)->value(), 5);
}

TEST(CameraSettingsWindowKeeper, KeepsOneWindowPerCameraAndClosesWithIt) {
  FakeControls controls;
  QWidget owner;
  CameraSettingsWindowKeeper keeper(&owner);

  EXPECT_FALSE(keeper.show(nullptr));
  EXPECT_EQ(keeper.window(), nullptr);

  ASSERT_TRUE(keeper.show(&controls));
  CameraControlsWindow* first = keeper.window();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  ASSERT_TRUE(keeper.show(&controls));
  EXPECT_EQ(keeper.window(), first);

  // Another camera gets a window of its own.
  FakeControls otherCamera;
  ASSERT_TRUE(keeper.show(&otherCamera));
  EXPECT_NE(keeper.window(), nullptr);
  const int queriesBefore = controls.queries;

  keeper.close();
  EXPECT_EQ(keeper.window(), nullptr);
  QTest::qWait(2 * CameraControlsWindow::refreshIntervalMs);
  EXPECT_EQ(controls.queries, queriesBefore);

  // Closed by the user, it is made anew on the next request.
  ASSERT_TRUE(keeper.show(&controls));
  keeper.window()->close();
  EXPECT_TRUE(QTest::qWaitFor([&] { return keeper.window() == nullptr; }, 1000));
  ASSERT_TRUE(keeper.show(&controls));
  EXPECT_NE(keeper.window(), nullptr);
  keeper.close();
}
