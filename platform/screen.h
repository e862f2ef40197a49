#pragma once

#include "platform/dialog_units.h"

// The primary screen's rectangle in the pixels and coordinates windows are
// placed in (beside other screens it may not start at 0, 0); empty when there
// is no screen.
PixelRect primaryScreenRect();
