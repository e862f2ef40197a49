#pragma once

// Width of the primary screen in the pixels windows are placed in; 0 when
// there is no screen.
int screenWidth();
