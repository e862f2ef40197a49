#pragma once

#include <QPointer>
#include <QPushButton>

#include "platform/color_palette_popup.h"
#include "platform/color_ref.h"
#include "platform/dialog_template.h"
#include "platform/notifications.h"

// A button that shows a colour. A click opens the palette; a pick sets the
// colour and tells the dialog (as a click). Setting the colour from code
// tells nobody.
class ColorButton : public QPushButton {
  Q_OBJECT

 public:
  ColorButton(int controlId, const ColorButtonOptions& options, NotificationSink& sink, QWidget* parent);

  void SetColor(ColorRef color);
  ColorRef GetColor() const { return color_; }

  const ColorButtonOptions& options() const { return options_; }
  // The palette while it is open, else null.
  ColorPalettePopup* openPalette() const { return palette_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void showPalette();

  int controlId_ = 0;
  ColorButtonOptions options_;
  NotificationSink& sink_;
  ColorRef color_ = 0;
  QPointer<ColorPalettePopup> palette_;
};
