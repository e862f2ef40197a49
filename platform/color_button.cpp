#include "platform/color_button.h"

#include <QPainter>
#include <QStyleOptionButton>

#include "platform/color_palette_popup.h"
#include "platform/color_ref_qt.h"

ColorButton::ColorButton(int controlId, const ColorButtonOptions& options, NotificationSink& sink,
                         QWidget* parent)
    : QPushButton(parent), controlId_(controlId), options_(options), sink_(sink) {
  connect(this, &QPushButton::clicked, this, &ColorButton::showPalette);
}

void ColorButton::SetColor(ColorRef color) {
  color_ = color;
  update();
}

void ColorButton::showPalette() {
  if (palette_) return;
  palette_ = new ColorPalettePopup(options_, color_, this);
  connect(palette_, &ColorPalettePopup::picked, this, [this](ColorRef color) {
    SetColor(color);
    sink_.controlNotified(controlId_, Notification::Clicked);
  });
  palette_->adjustSize();
  palette_->move(mapToGlobal(QPoint(0, height())));
  palette_->show();
}

void ColorButton::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  // The swatch fills the button's face; greyed out while disabled.
  QPainter painter(this);
  const QRect swatch = rect().adjusted(5, 4, -5, -4);
  QColor fill = toQColor(color_);
  if (!isEnabled()) fill = QColor::fromHsv(fill.hsvHue(), fill.hsvSaturation() / 3, 160 + fill.value() / 4);
  painter.fillRect(swatch, fill);
  painter.setPen(isEnabled() ? Qt::black : Qt::gray);
  painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}
