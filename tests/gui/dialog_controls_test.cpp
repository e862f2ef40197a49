#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include "layer_test_dialog.h"
#include "platform/color_button.h"
#include "platform/color_palette_popup.h"
#include "platform/number_field.h"
#include "platform/simple_controls.h"
#include "platform/slider_ctrl.h"
#include "widget_events.h"

using namespace layer_test;

namespace {

class DialogControls : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog.Create(nullptr));
    dialog.ShowWindow(ShowCommand::Show);
    dialog.window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.window()));
  }

  LayerDialog dialog;
};

}  // namespace

TEST_F(DialogControls, NumberFieldRefusesTypedNonDigitsButTakesPastedTextWhole) {
  NumberField* field = dialog.numberField(Field);
  ASSERT_NE(field, nullptr);
  field->setFocus();

  QTest::keyClicks(field, "-5");
  EXPECT_EQ(field->GetWindowText(), "5");
  QTest::keyClicks(field, "a1.");
  EXPECT_EQ(field->GetWindowText(), "51");

  field->selectAll();
  QApplication::clipboard()->setText(QStringLiteral("-35"));
  QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(field->GetWindowText(), "-35");

  // Every change reached the handler with the text it left behind.
  ASSERT_FALSE(dialog.fieldTextsSeen.empty());
  EXPECT_EQ(dialog.fieldTextsSeen.front(), "5");
  EXPECT_EQ(dialog.fieldTextsSeen.back(), "-35");
}

TEST_F(DialogControls, TextSetFromCodeNotifiesButAnExchangePushDoesNot) {
  NumberField* field = dialog.numberField(Field);
  field->SetWindowText("12");
  EXPECT_EQ(dialog.fieldTextsSeen, std::vector<std::string>{"12"});

  dialog.fieldText = "42";
  dialog.sliderValue = 3;
  ASSERT_TRUE(dialog.UpdateData(false));
  EXPECT_EQ(field->GetWindowText(), "42");
  EXPECT_EQ(dialog.fieldTextsSeen.size(), 1u) << "a push must not start the change handler";

  // An unchanged text is not written again.
  QSignalSpy writes(field, &QLineEdit::textChanged);
  ASSERT_TRUE(dialog.UpdateData(false));
  EXPECT_EQ(writes.count(), 0);
}

TEST_F(DialogControls, SliderKeepsPositionsInRangeAndIsSilentWhenSetFromCode) {
  SliderCtrl* slider = dialog.slider(Slider);
  ASSERT_NE(slider, nullptr);
  slider->SetRange(1, 1000);
  slider->SetPos(5000);
  EXPECT_EQ(slider->GetPos(), 1000);
  slider->SetRange(1, 4);
  EXPECT_EQ(slider->GetPos(), 4);
  slider->SetPos(-3);
  EXPECT_EQ(slider->GetPos(), 1);
  slider->SetTicFreq(10);
  EXPECT_EQ(slider->GetTicFreq(), 10);
  EXPECT_EQ(slider->tickPosition(), QSlider::NoTicks);
  EXPECT_TRUE(dialog.scrolls.empty());
}

TEST_F(DialogControls, SliderKeysReportTheNewPositionToTheHandler) {
  SliderCtrl* slider = dialog.slider(Slider);
  slider->SetRange(0, 100);
  slider->SetPos(50);
  slider->SetLineSize(1);
  slider->setFocus();

  QTest::keyClick(slider, Qt::Key_Right);
  QTest::keyClick(slider, Qt::Key_End);

  ASSERT_GE(dialog.scrolls.size(), 2u);
  const ScrollEvent& step = dialog.scrolls.front();
  EXPECT_EQ(step.code, ScrollCode::LineRight);
  EXPECT_EQ(step.position, 51);
  EXPECT_EQ(step.pulledValue, 51);
  EXPECT_EQ(step.controlId, Slider);
  const auto end = std::find_if(dialog.scrolls.begin(), dialog.scrolls.end(),
                                [](const ScrollEvent& e) { return e.code == ScrollCode::Right; });
  ASSERT_NE(end, dialog.scrolls.end());
  EXPECT_EQ(end->pulledValue, 100);
  EXPECT_EQ(dialog.scrolls.back().code, ScrollCode::EndScroll);
}

TEST_F(DialogControls, SliderDragReportsEveryMoveAndTheRelease) {
  SliderCtrl* slider = dialog.slider(Slider);
  slider->SetRange(0, 100);
  slider->SetPos(0);
  const QPoint start = handleCentre(*slider);

  sendMouse(slider, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
  sendMouse(slider, QEvent::MouseMove, start + QPoint(slider->width() / 2, 0), Qt::NoButton, Qt::LeftButton);
  sendMouse(slider, QEvent::MouseButtonRelease, start + QPoint(slider->width() / 2, 0), Qt::LeftButton,
            Qt::NoButton);

  ASSERT_GE(dialog.scrolls.size(), 3u);
  const ScrollEvent& track = dialog.scrolls.front();
  EXPECT_EQ(track.code, ScrollCode::ThumbTrack);
  EXPECT_GT(track.pulledValue, 0);
  EXPECT_EQ(track.pulledValue, track.position);
  EXPECT_EQ(dialog.scrolls[dialog.scrolls.size() - 2].code, ScrollCode::ThumbPosition);
  EXPECT_EQ(dialog.scrolls.back().code, ScrollCode::EndScroll);
  EXPECT_EQ(dialog.scrolls.back().pulledValue, slider->GetPos());
}

TEST_F(DialogControls, ColorButtonPaletteNotifiesOnlyOnAPick) {
  ColorButton* button = dialog.colorButton(Color);
  ASSERT_NE(button, nullptr);
  button->SetColor(0x0000FF);
  EXPECT_EQ(button->GetColor(), 0x0000FFu);
  EXPECT_TRUE(dialog.log.empty());

  QTest::mouseClick(button, Qt::LeftButton);
  ColorPalettePopup* palette = button->openPalette();
  ASSERT_NE(palette, nullptr);
  EXPECT_TRUE(dialog.log.empty()) << "opening the palette is not a pick";
  EXPECT_EQ(palette->columns(), 5);
  EXPECT_NE(palette->otherColorsButton(), nullptr);
  ASSERT_EQ(palette->swatches().size(), paletteColors().size());
  // The swatches and the other-colours button are all it offers.
  EXPECT_EQ(palette->findChildren<QAbstractButton*>().size(), std::ssize(paletteColors()) + 1);

  QTest::mouseClick(palette->swatches()[1], Qt::LeftButton);
  EXPECT_EQ(button->GetColor(), paletteColors()[1]);
  EXPECT_EQ(dialog.log, std::vector<std::string>{"OnColor"});
}

TEST_F(DialogControls, CheckBoxClickNotifiesAndTheExchangeCarriesItsState) {
  CheckBox* box = dialog.checkBox(Check);
  ASSERT_NE(box, nullptr);
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_EQ(dialog.log, std::vector<std::string>{"OnCheck"});
  ASSERT_TRUE(dialog.UpdateData(true));
  EXPECT_EQ(dialog.checked, 1);

  dialog.checked = 0;
  ASSERT_TRUE(dialog.UpdateData(false));
  EXPECT_EQ(box->GetCheck(), 0);
}

TEST_F(DialogControls, ControlsAreLaidOutInDialogUnitsOfTheDialogFont) {
  const DialogBaseUnits& base = dialog.baseUnits();
  EXPECT_GT(base.averageCharWidth, 0);
  EXPECT_GT(base.charHeight, 0);
  for (const ControlTemplate& control : layerTemplate.controls) {
    if (control.id < 0) continue;
    const QWidget* widget = dialog.GetDlgItem(control.id);
    ASSERT_NE(widget, nullptr) << control.id;
    const PixelRect expected = dialogRectToPixels(control.rect, base);
    EXPECT_EQ(widget->geometry(), QRect(expected.x, expected.y, expected.width, expected.height))
        << control.id;
  }
  const PixelRect client = dialog.GetClientRect();
  const PixelRect expected = dialogRectToPixels(layerTemplate.rect, base);
  EXPECT_EQ(client.width, expected.width);
  EXPECT_EQ(client.height, expected.height);
}
