#pragma once

#include <QFont>

#include "platform/dialog_template.h"
#include "platform/dialog_units.h"

// The font a dialog is laid out and drawn with: the template's size in a
// family that carries the Chinese captions (fontconfig falls back to another
// CJK font where this one is missing).
QFont dialogFont(const DialogTemplate& dialogTemplate);

// The font's dialog base units: average width of the letters A-Z, a-z and
// the character height, in pixels.
DialogBaseUnits measureBaseUnits(const QFont& font);
