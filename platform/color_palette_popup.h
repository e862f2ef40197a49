#pragma once

#include <QFrame>
#include <vector>

#include "platform/color_ref.h"
#include "platform/dialog_template.h"

class QAbstractButton;

// The pop-up palette of a colour button: a grid of colour swatches and an
// optional button that opens the full colour dialog. Emits `picked` once the
// user has chosen.
class ColorPalettePopup : public QFrame {
  Q_OBJECT

 public:
  ColorPalettePopup(const ColorButtonOptions& options, ColorRef current, QWidget* parent);

  const std::vector<QAbstractButton*>& swatches() const { return swatches_; }
  QAbstractButton* otherColorsButton() const { return otherButton_; }
  int columns() const { return columns_; }

 signals:
  void picked(ColorRef color);

 private:
  void choose(ColorRef color);
  void chooseOther();

  ColorRef current_ = 0;
  int columns_ = 1;
  std::vector<QAbstractButton*> swatches_;
  QAbstractButton* otherButton_ = nullptr;
};

// The colours the palette offers, row by row.
const std::vector<ColorRef>& paletteColors();
