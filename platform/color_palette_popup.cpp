#include "platform/color_palette_popup.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

#include "platform/color_ref_qt.h"

namespace {

constexpr ColorRef rgb(int r, int g, int b) {
  return static_cast<ColorRef>(r) | (static_cast<ColorRef>(g) << 8) | (static_cast<ColorRef>(b) << 16);
}

QIcon swatchIcon(ColorRef color) {
  QPixmap pixmap(16, 16);
  pixmap.fill(toQColor(color));
  return QIcon(pixmap);
}

}  // namespace

const std::vector<ColorRef>& paletteColors() {
  // The pure primaries first in their rows, so the overlay's default colours
  // are each one click away.
  static const std::vector<ColorRef> colors = {
      rgb(255, 0, 0),   rgb(0, 255, 0),   rgb(0, 0, 255),     rgb(255, 0, 255),   rgb(255, 255, 0),
      rgb(0, 255, 255), rgb(255, 128, 0), rgb(128, 0, 255),   rgb(255, 128, 192), rgb(128, 255, 0),
      rgb(128, 0, 0),   rgb(0, 128, 0),   rgb(0, 0, 128),     rgb(128, 0, 128),   rgb(128, 128, 0),
      rgb(0, 128, 128), rgb(0, 0, 0),     rgb(128, 128, 128), rgb(192, 192, 192), rgb(255, 255, 255),
  };
  return colors;
}

ColorPalettePopup::ColorPalettePopup(const ColorButtonOptions& options, ColorRef current, QWidget* parent)
    : QFrame(parent, Qt::Popup), current_(current), columns_(options.columns > 0 ? options.columns : 1) {
  setAttribute(Qt::WA_DeleteOnClose);
  setFrameShape(QFrame::StyledPanel);
  auto* grid = new QGridLayout(this);
  grid->setSpacing(2);
  grid->setContentsMargins(4, 4, 4, 4);

  const auto& colors = paletteColors();
  for (std::size_t i = 0; i < colors.size(); ++i) {
    const ColorRef color = colors[i];
    auto* swatch = new QToolButton(this);
    swatch->setIcon(swatchIcon(color));
    swatch->setAutoRaise(true);
    swatch->setCheckable(true);
    swatch->setChecked(color == current);
    swatch->setToolTip(toQColor(color).name());
    connect(swatch, &QToolButton::clicked, this, [this, color] { choose(color); });
    const int index = static_cast<int>(i);
    grid->addWidget(swatch, index / columns_, index % columns_);
    swatches_.push_back(swatch);
  }
  const int row = (static_cast<int>(colors.size()) + columns_ - 1) / columns_;

  if (options.otherColorsButton) {
    auto* button = new QPushButton(QStringLiteral("其他颜色..."), this);
    connect(button, &QPushButton::clicked, this, &ColorPalettePopup::chooseOther);
    grid->addWidget(button, row, 0, 1, columns_);
    otherButton_ = button;
  }
}

void ColorPalettePopup::choose(ColorRef color) {
  emit picked(color);
  close();
}

void ColorPalettePopup::chooseOther() {
  // The colour dialog is modal; the palette steps aside while it is open, and
  // may be gone when it returns.
  QPointer<ColorPalettePopup> self(this);
  QWidget* owner = parentWidget();
  hide();
  const QColor chosen = QColorDialog::getColor(toQColor(current_), owner);
  if (!self) return;
  if (chosen.isValid()) emit picked(toColorRef(chosen));
  close();
}
