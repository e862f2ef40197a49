#include "platform/simple_controls.h"

#include <QPainter>

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

QImage& PictureCtrl::pictureBuffer(QSize size, QImage::Format format) {
  if (picture_.size() != size || picture_.format() != format) picture_ = QImage(size, format);
  return picture_;
}

void PictureCtrl::showPicture() {
  repaint();
}

void PictureCtrl::paintEvent(QPaintEvent* event) {
  if (picture_.isNull()) {
    QFrame::paintEvent(event);
    return;
  }
  // Nearest-neighbour stretch over the whole area: fast, no blending.
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(rect(), picture_);
}
