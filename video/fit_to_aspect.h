#pragma once

#include "video/view_state.h"

// The largest rectangle of width-to-height `ratio` centred in `rect`, with
// edges truncated toward zero. The margin is worked out in single precision,
// which is what makes 800 x 600 at 4:3 come back unchanged although the
// float 4/3 is not exactly 800/600. A ratio that is not a positive finite
// number describes no shape, and `rect` is returned as it is.
IntRect fitToAspect(IntRect rect, float ratio);
