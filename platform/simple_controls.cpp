#include "platform/simple_controls.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWindow>
#include <algorithm>

PushButton::PushButton(int controlId, const QString& caption, NotificationSink& sink, QWidget* parent)
    : QPushButton(caption, parent) {
  // Enter on a focused button clicks it; the dialog decides everything else.
  setAutoDefault(false);
  connect(this, &QPushButton::clicked, this,
          [controlId, &sink] { sink.controlNotified(controlId, Notification::Clicked); });
}

CheckBox::CheckBox(int controlId, const QString& caption, NotificationSink& sink, QWidget* parent)
    : QCheckBox(caption, parent) {
  connect(this, &QCheckBox::clicked, this,
          [controlId, &sink] { sink.controlNotified(controlId, Notification::Clicked); });
}

GroupBox::GroupBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
}

StaticText::StaticText(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

PictureCtrl::PictureCtrl(QWidget* parent) : QFrame(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  QPalette frame = palette();
  frame.setColor(QPalette::WindowText, Qt::black);
  setPalette(frame);
}

void PictureCtrl::showPicture(QImage::Format format, PictureFill fill) {
  pendingFormat_ = format;
  pendingFill_ = std::move(fill);
  // A control that is hidden or minimised would hold on to what the fill
  // needs (a camera's frame) until it is shown again.
  const QWindow* handle = window()->windowHandle();
  if (!isVisible() || handle == nullptr || !handle->isExposed()) fillPicture();
  update();
}

const QImage& PictureCtrl::picture() {
  fillPicture();
  return picture_;
}

void PictureCtrl::fillPicture() {
  if (!pendingFill_) return;
  const qreal ratio = devicePixelRatioF();
  const QSize size(qRound(width() * ratio), qRound(height() * ratio));
  if (picture_.size() != size || picture_.format() != pendingFormat_) picture_ = QImage(size, pendingFormat_);
  const PictureFill fill = std::move(pendingFill_);
  pendingFill_ = nullptr;
  fill(picture_);
}

void PictureCtrl::setCornerText(PictureCorner corner, const QStringList& lines, const QColor& color) {
  CornerText& text = cornerTexts_[static_cast<std::size_t>(corner)];
  if (text.lines == lines && text.color == color) return;
  text = {lines, color};
  update();
}

const QStringList& PictureCtrl::cornerText(PictureCorner corner) const {
  return cornerTexts_[static_cast<std::size_t>(corner)].lines;
}

void PictureCtrl::paintEvent(QPaintEvent* event) {
  fillPicture();
  if (picture_.isNull()) {
    QFrame::paintEvent(event);
  } else {
    // Nearest-neighbour stretch over the whole area: fast, no blending.
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), picture_);
  }
  QPainter painter(this);
  for (const PictureCorner corner : {PictureCorner::TopLeft, PictureCorner::TopRight,
                                     PictureCorner::BottomLeft, PictureCorner::BottomRight})
    paintCornerText(painter, corner);
}

void PictureCtrl::paintCornerText(QPainter& painter, PictureCorner corner) const {
  const CornerText& text = cornerTexts_[static_cast<std::size_t>(corner)];
  if (text.lines.isEmpty()) return;
  // Painted in the control's own (device-independent) pixels, so the text
  // has the font's size on any screen and at any zoom of the picture.
  const QFontMetrics metrics(font());
  const int padding = std::max(2, metrics.height() / 4);
  int textWidth = 0;
  for (const QString& line : text.lines) textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
  const QSize box(textWidth + 2 * padding,
                  static_cast<int>(text.lines.size()) * metrics.lineSpacing() + 2 * padding);
  const int margin = padding + lineWidth();
  const bool right = corner == PictureCorner::TopRight || corner == PictureCorner::BottomRight;
  const bool bottom = corner == PictureCorner::BottomLeft || corner == PictureCorner::BottomRight;
  const QPoint at(right ? width() - margin - box.width() : margin,
                  bottom ? height() - margin - box.height() : margin);
  painter.fillRect(QRect(at, box), QColor(0, 0, 0, 180));
  painter.setPen(text.color);
  painter.setFont(font());
  int baseline = at.y() + padding + metrics.ascent();
  for (const QString& line : text.lines) {
    painter.drawText(at.x() + padding, baseline, line);
    baseline += metrics.lineSpacing();
  }
}
