#include "video/picture_control.h"

#include <QImage>
#include <QPainter>

#include "video/display_image.h"

PictureControl::PictureControl(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureControl::present(const cv::Mat& image) {
  cv::Mat scaled;
  if (!scaleForDisplay(image, cv::Size(width(), height()), scaled)) return;
  lastImage_ = image;
  display_ = scaled;
  repaint();
}

bool PictureControl::rescale() {
  if (lastImage_.empty()) return false;
  if (display_.cols == width() && display_.rows == height()) return true;
  return scaleForDisplay(lastImage_, cv::Size(width(), height()), display_);
}

void PictureControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!rescale()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  const auto format = display_.channels() == 3 ? QImage::Format_BGR888 : QImage::Format_Grayscale8;
  const QImage image(display_.data, display_.cols, display_.rows, static_cast<qsizetype>(display_.step),
                     format);
  painter.drawImage(0, 0, image);
}
