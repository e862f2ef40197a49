#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QWidget>

#include "platform/simple_controls.h"

namespace {

class PictureTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(400, 300);
    picture_ = new PictureCtrl(&window_);
    picture_->setGeometry(0, 0, 400, 300);
    picture_->showPicture(QImage::Format_RGB32, [](QImage& picture) { picture.fill(Qt::white); });
    window_.show();
  }

  QImage shown() { return picture_->grab().toImage(); }

  QWidget window_;
  PictureCtrl* picture_ = nullptr;
};

// Rows of dark backing straight down from `start`, in the image's own pixels.
int darkRunDown(const QImage& image, QPoint start) {
  int rows = 0;
  while (start.y() + rows < image.height() && qGray(image.pixel(start.x(), start.y() + rows)) < 128) ++rows;
  return rows;
}

}  // namespace

// The text box has the font's size in the control's own pixels, so on a
// screen scaled by 2 it covers twice the screen pixels (run again at that scale).
TEST_F(PictureTextTest, DrawsTheLinesOnADarkBoxAtTheFontsSizeInItsCorner) {
  picture_->setCornerText(PictureCorner::TopLeft, {"dx +1.00", "dy -2.00", "fps"}, Qt::green);
  picture_->setCornerText(PictureCorner::BottomRight, {"saved"});
  QImage image = shown();
  const qreal ratio = image.devicePixelRatio();
  const QFontMetrics metrics(picture_->font());
  const int padding = std::max(2, metrics.height() / 4);
  const int logicalHeight = 3 * metrics.lineSpacing() + 2 * padding;
  const int margin = padding + picture_->lineWidth();
  const QPoint topLeft(qRound((margin + 1) * ratio), qRound(margin * ratio));
  EXPECT_NEAR(darkRunDown(image, topLeft), logicalHeight * ratio, 2 * ratio);

  // Text in its colour inside the box, the picture untouched beside it.
  bool green = false;
  for (int y = 0; y < logicalHeight * ratio; ++y)
    for (int x = 0; x < 60 * ratio; ++x) green = green || image.pixelColor(x, y).green() > 200;
  EXPECT_TRUE(green);
  EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2), QColor(Qt::white));
  EXPECT_LT(qGray(image.pixel(image.width() - qRound((margin + 2) * ratio),
                              image.height() - qRound((margin + 2) * ratio))),
            128);

  picture_->setCornerText(PictureCorner::TopLeft, {});
  image = shown();
  EXPECT_EQ(image.pixelColor(topLeft), QColor(Qt::white));
  EXPECT_EQ(picture_->cornerText(PictureCorner::BottomRight), QStringList{"saved"});
}
