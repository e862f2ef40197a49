#pragma once

#include "platform/dialog_units.h"

// Where the main dialog's outer frame goes on the primary screen (`screen`,
// in the coordinates windows are placed in, offset included): its right edge
// 100 pixels left of the screen's right edge, its top 100 pixels below the
// screen's top, sized to the client area measured before the move. No
// clamping: on a narrow screen the left edge may lie off the screen.
PixelRect placeMainDialog(const PixelRect& screen, int clientWidth, int clientHeight);
