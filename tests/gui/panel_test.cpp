// The overlay panel of the main dialog worked through real key and mouse
// events: number fields, sliders and colour buttons.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <algorithm>
#include <functional>
#include <optional>
#include <string>

#include "app/control_bindings.h"
#include "app/varnix_dlg.h"
#include "platform/color_button.h"
#include "platform/color_palette_popup.h"
#include "platform/number_field.h"
#include "platform/slider_ctrl.h"
#include "res/control_ids.h"
#include "tests/camera_doubles.h"
#include "widget_events.h"

namespace {

const ValueControls& controlsOfField(int fieldId) {
  for (const ValueControls& row : valueControls)
    if (row.fieldId == fieldId) return row;
  ADD_FAILURE() << "no numeric value has field " << fieldId;
  return valueControls.front();
}

// The main dialog as a capture run leaves it: every capture control usable,
// the radius and length sliders grown to their running range.
class Panel {
 public:
  Panel() {
    EXPECT_TRUE(dialog.Create(nullptr));
    for (const int id : ctl::captureControls) dialog.EnableDlgItem(id, true);
    for (const int id : {ctl::Circle1RadiusSlider, ctl::Circle2RadiusSlider, ctl::Circle3RadiusSlider,
                         ctl::CrosshairLengthSlider})
      dialog.slider(id)->SetRange(1, 4000);
    dialog.window()->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.window()));
  }

  NumberField* field(int id) const { return dialog.numberField(id); }
  SliderCtrl* slider(int id) const { return dialog.slider(id); }
  std::string text(int fieldId) const { return field(fieldId)->GetWindowText(); }

  // Circle 2's slider moved from code, which tells nobody: its field still
  // shows the old value until some handler brings the fields into line.
  void makeCircle2FieldStale(int position) { slider(ctl::Circle2RadiusSlider)->SetPos(position); }

  void type(int fieldId, const char* keys) {
    NumberField* f = field(fieldId);
    f->setFocus();
    f->selectAll();
    QTest::keyClicks(f, keys);
  }

  void paste(int fieldId, const char* clip) {
    NumberField* f = field(fieldId);
    f->setFocus();
    f->selectAll();
    QApplication::clipboard()->setText(QString::fromUtf8(clip));
    QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
  }

  void empty(int fieldId) {
    NumberField* f = field(fieldId);
    f->setFocus();
    f->selectAll();
    QTest::keyClick(f, Qt::Key_Backspace);
  }

  FakeCameraSystem cameras{{{"Integrated Webcam", "/dev/video0"}, {"vexa3", "/dev/video2"}}};
  CVarnixDlg dialog{cameras};
};

void dragHandle(SliderCtrl& slider, int dx) {
  const QPoint start = handleCentre(slider);
  const QPoint end = start + QPoint(dx, 0);
  sendMouse(&slider, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
  sendMouse(&slider, QEvent::MouseMove, end, Qt::NoButton, Qt::LeftButton);
  sendMouse(&slider, QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);
}

void pressKey(SliderCtrl& slider, Qt::Key key) {
  slider.setFocus();
  QTest::keyClick(&slider, key);
}

}  // namespace

TEST(PanelNumberField, SettlesOnTheClampedNumberAndMovesItsSliderThere) {
  enum class Entry { Typed, Pasted, Emptied };
  struct Case {
    const char* name;
    int fieldId;
    Entry entry;
    const char* input;
    const char* shown;
    int value;
  };
  const Case cases[] = {
      {"radius above its bound", ctl::Circle1RadiusField, Entry::Typed, "5000", "4000", 4000},
      {"radius typed in range", ctl::Circle3RadiusField, Entry::Typed, "2500", "2500", 2500},
      {"thickness of 0", ctl::Circle1ThicknessField, Entry::Typed, "0", "1", 1},
      {"thickness above its bound", ctl::CrosshairThicknessField, Entry::Typed, "9", "4", 4},
      {"emptied radius", ctl::Circle2RadiusField, Entry::Emptied, "", "1", 1},
      {"emptied length", ctl::CrosshairLengthField, Entry::Emptied, "", "1", 1},
      {"emptied angle", ctl::CrosshairAngleField, Entry::Emptied, "", "0", 0},
      {"emptied offset", ctl::OffsetVerticalField, Entry::Emptied, "", "0", 0},
      {"angle typed with leading zeros", ctl::CrosshairAngleField, Entry::Typed, "007", "7", 7},
      {"pasted negative offset", ctl::OffsetHorizontalField, Entry::Pasted, "-35", "-20", -20},
      {"pasted offset in range", ctl::OffsetVerticalField, Entry::Pasted, "-5", "-5", -5},
      {"pasted radius with letters", ctl::Circle1RadiusField, Entry::Pasted, "12abc", "12", 12},
      {"pasted radius with leading zeros", ctl::Circle3RadiusField, Entry::Pasted, "007", "7", 7},
      {"pasted text without a number", ctl::CrosshairAngleField, Entry::Pasted, "abc", "0", 0},
      {"pasted number beyond 32 bits", ctl::Circle2RadiusField, Entry::Pasted, "99999999999", "4000", 4000},
  };
  for (const Case& c : cases) {
    Panel panel;
    const ValueControls& info = controlsOfField(c.fieldId);
    panel.makeCircle2FieldStale(333);
    const std::string circle2Shown = panel.text(ctl::Circle2RadiusField);

    switch (c.entry) {
      case Entry::Typed: panel.type(c.fieldId, c.input); break;
      case Entry::Pasted: panel.paste(c.fieldId, c.input); break;
      case Entry::Emptied: panel.empty(c.fieldId); break;
    }

    EXPECT_EQ(panel.text(c.fieldId), c.shown) << c.name;
    EXPECT_EQ(panel.slider(info.sliderId)->GetPos(), c.value) << c.name;
    EXPECT_EQ(numericValue(panel.dialog.records, info.value), c.value) << c.name;
    if (c.fieldId != ctl::Circle2RadiusField) {
      // The edit moved its own slider without notifying: no slider handler
      // ran to bring the other fields into line.
      EXPECT_EQ(panel.text(ctl::Circle2RadiusField), circle2Shown) << c.name;
    }
    // The next frame's pull finds the same value in the slider.
    ASSERT_TRUE(panel.dialog.UpdateData(true));
    EXPECT_EQ(numericValue(panel.dialog.records, info.value), c.value) << c.name;
    EXPECT_EQ(numericText(panel.dialog.records, info.value), c.shown) << c.name;
  }
}

TEST(PanelNumberField, PastedNegativeOffsetPutsTheSliderAtItsLeftEnd) {
  Panel panel;
  panel.paste(ctl::OffsetHorizontalField, "-35");
  const SliderCtrl* slider = panel.slider(ctl::OffsetHorizontalSlider);
  EXPECT_EQ(slider->GetPos(), slider->GetRangeMin());
  EXPECT_EQ(panel.dialog.records.centerOffset.horizontal, -20);
}

TEST(PanelNumberField, RadiusFieldCorrectsEveryKeystroke) {
  // Typing 0 first in a radius field is corrected at once, so "007" typed key
  // by key ends as 107: the 1 the field settled on stays in front.
  Panel panel;
  panel.type(ctl::Circle1RadiusField, "0");
  EXPECT_EQ(panel.text(ctl::Circle1RadiusField), "1");
  QTest::keyClicks(panel.field(ctl::Circle1RadiusField), "07");
  EXPECT_EQ(panel.text(ctl::Circle1RadiusField), "107");
  EXPECT_EQ(panel.slider(ctl::Circle1RadiusSlider)->GetPos(), 107);
}

TEST(PanelSlider, EveryKindOfMoveRewritesEveryFieldFromItsSlider) {
  struct Case {
    const char* name;
    int sliderId;
    std::function<void(SliderCtrl&)> move;
    std::optional<int> expectedPosition;  // none: anywhere but where it started
  };
  const Case cases[] = {
      {"End key on the angle slider", ctl::CrosshairAngleSlider,
       [](SliderCtrl& s) { pressKey(s, Qt::Key_End); }, 900},
      {"Home key on the vertical offset", ctl::OffsetVerticalSlider,
       [](SliderCtrl& s) { pressKey(s, Qt::Key_Home); }, -20},
      {"arrow key on circle 1's thickness", ctl::Circle1ThicknessSlider,
       [](SliderCtrl& s) { pressKey(s, Qt::Key_Right); }, 2},
      {"page key on circle 3's radius", ctl::Circle3RadiusSlider,
       [](SliderCtrl& s) { pressKey(s, Qt::Key_PageUp); }, std::nullopt},
      {"click on the groove of the length slider", ctl::CrosshairLengthSlider,
       [](SliderCtrl& s) {
         QTest::mouseClick(&s, Qt::LeftButton, Qt::NoModifier, QPoint(s.width() - 3, s.height() / 2));
       },
       std::nullopt},
      {"drag on circle 1's radius", ctl::Circle1RadiusSlider,
       [](SliderCtrl& s) { dragHandle(s, s.width() / 2); }, std::nullopt},
  };
  for (const Case& c : cases) {
    Panel panel;
    // An edit settled before the move: the move changes nothing it shows.
    panel.type(ctl::Circle3ThicknessField, "3");
    panel.makeCircle2FieldStale(333);
    SliderCtrl* moved = panel.slider(c.sliderId);
    const int before = moved->GetPos();

    c.move(*moved);

    if (c.expectedPosition)
      EXPECT_EQ(moved->GetPos(), *c.expectedPosition) << c.name;
    else
      EXPECT_NE(moved->GetPos(), before) << c.name;
    EXPECT_EQ(panel.text(ctl::Circle2RadiusField), "333") << c.name;
    EXPECT_EQ(panel.text(ctl::Circle3ThicknessField), "3") << c.name;
    for (const ValueControls& row : valueControls)
      EXPECT_EQ(panel.text(row.fieldId), std::to_string(panel.slider(row.sliderId)->GetPos()))
          << c.name << ", field " << row.fieldId;
  }
}

TEST(PanelSlider, KeysMoveEverySliderAsATrackbarAndNotify) {
  struct Key {
    Qt::Key key;
    int lines;  // steps of one; none for the page and end keys
    int pages;
    bool toMinimum;
    bool toMaximum;
  };
  const Key keys[] = {
      {Qt::Key_Left, -1, 0, false, false},   {Qt::Key_Up, -1, 0, false, false},
      {Qt::Key_Right, 1, 0, false, false},   {Qt::Key_Down, 1, 0, false, false},
      {Qt::Key_PageUp, 0, -1, false, false}, {Qt::Key_PageDown, 0, 1, false, false},
      {Qt::Key_Home, 0, 0, true, false},     {Qt::Key_End, 0, 0, false, true},
  };
  Panel panel;
  for (const ValueControls& info : valueControls) {
    SliderCtrl& slider = *panel.slider(info.sliderId);
    const int low = slider.GetRangeMin();
    const int high = slider.GetRangeMax();
    const int page = std::max(1, (high - low) / 5);
    const int middle = low + (high - low) / 2;
    // A slider moved from code tells nobody: its field keeps the old text
    // until a move by the user makes the panel rewrite every field.
    const int witnessId =
        info.sliderId == ctl::Circle2RadiusSlider ? ctl::Circle1RadiusSlider : ctl::Circle2RadiusSlider;
    int witnessPosition = 10;
    for (const Key& k : keys) {
      slider.SetPos(middle);
      panel.slider(witnessId)->SetPos(++witnessPosition);
      pressKey(slider, k.key);
      const int expected = k.toMinimum   ? low
                           : k.toMaximum ? high
                                         : std::clamp(middle + k.lines + k.pages * page, low, high);
      EXPECT_EQ(slider.GetPos(), expected) << "slider " << info.sliderId << ", key " << k.key;
      for (const ValueControls& other : valueControls)
        EXPECT_EQ(panel.text(other.fieldId), std::to_string(panel.slider(other.sliderId)->GetPos()))
            << "slider " << info.sliderId << ", key " << k.key << ", field " << other.fieldId;
    }
  }
}

TEST(PanelSlider, AngleAtItsRightEndReachesTheRecordAsNinetyDegrees) {
  Panel panel;
  pressKey(*panel.slider(ctl::CrosshairAngleSlider), Qt::Key_End);
  EXPECT_EQ(panel.text(ctl::CrosshairAngleField), "900");
  ASSERT_TRUE(panel.dialog.UpdateData(true));
  EXPECT_EQ(panel.dialog.records.crosshair.angle, 900);
  EXPECT_EQ(panel.dialog.records.crosshair.angleText, "900");
}

TEST(PanelColour, PickFromThePaletteSetsOnlyThatElementsDrawingColour) {
  // A swatch whose three channels all differ shows the channel order.
  std::size_t swatch = paletteColors().size();
  for (std::size_t i = 0; i < paletteColors().size(); ++i) {
    const ColorRef c = paletteColors()[i];
    if ((c & 0xFF) != ((c >> 16) & 0xFF) && (c & 0xFF) != ((c >> 8) & 0xFF) &&
        ((c >> 8) & 0xFF) != ((c >> 16) & 0xFF)) {
      swatch = i;
      break;
    }
  }
  ASSERT_LT(swatch, paletteColors().size());
  const ColorRef picked = paletteColors()[swatch];
  const cv::Scalar pickedBgr(static_cast<double>((picked >> 16) & 0xFF),
                             static_cast<double>((picked >> 8) & 0xFF), static_cast<double>(picked & 0xFF),
                             0);

  const ColoredElement elements[] = {ColoredElement::Circle1, ColoredElement::Circle2,
                                     ColoredElement::Circle3, ColoredElement::Crosshair};
  for (const ColoredElement element : elements) {
    Panel panel;
    const int buttonId = colorButtonOf(element);
    panel.makeCircle2FieldStale(333);
    OverlayRecords before = panel.dialog.records;

    ColorButton* button = panel.dialog.colorButton(buttonId);
    QTest::mouseClick(button, Qt::LeftButton);
    ColorPalettePopup* palette = button->openPalette();
    ASSERT_NE(palette, nullptr) << buttonId;
    QTest::mouseClick(palette->swatches()[swatch], Qt::LeftButton);

    OverlayRecords& after = panel.dialog.records;
    for (const ColoredElement other : elements) {
      const cv::Scalar expected = other == element ? pickedBgr : drawColorOf(before, other);
      EXPECT_EQ(drawColorOf(after, other), expected) << "button " << buttonId;
    }
    // Nothing was pulled or pushed: the stale field and its record stay.
    EXPECT_EQ(panel.text(ctl::Circle2RadiusField), "100") << buttonId;
    EXPECT_EQ(after.circle2.radius, 100) << buttonId;
  }
}
