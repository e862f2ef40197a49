#pragma once

#include "platform/dialog_template.h"

// Dialog units scale a template with its font: a horizontal unit is a quarter
// of the font's average character width, a vertical unit an eighth of its
// height. This keeps a template's proportions whatever font the system has.

struct DialogBaseUnits {
  int averageCharWidth = 0;  // pixels
  int charHeight = 0;        // pixels, ascent plus descent
};

struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The average character width from the advance of the 52 letters "A".."Z",
// "a".."z" set as one line: the mean over the 52, rounded to the nearest pixel.
int averageCharWidth(int advanceOfLetters);

// value * numerator / denominator with the exact product, rounded to the
// nearest integer, halves away from zero. 0 when the denominator is 0.
int mulDivRounded(int value, int numerator, int denominator);

int dialogUnitsToPixelsX(int dialogUnits, const DialogBaseUnits& base);
int dialogUnitsToPixelsY(int dialogUnits, const DialogBaseUnits& base);
PixelRect dialogRectToPixels(const DialogRect& rect, const DialogBaseUnits& base);
