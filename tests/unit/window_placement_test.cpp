// Where the two windows go: the main dialog by the primary screen, both by
// their outer frame, whatever frame the window manager puts around them.
#include <gtest/gtest.h>

#include "app/dialog_placement.h"
#include "platform/window_frame.h"

TEST(WindowPlacement, TheOuterFrameIsPlacedAndSizedOnThePrimaryScreen) {
  const struct {
    const char* name;
    PixelRect screen;
    FrameExtents frame;
    PixelRect outer;
    PixelRect inside;
  } cases[] = {
      {"no window manager: the window is its frame",
       {0, 0, 1920, 1080},
       {},
       {1520, 100, 300, 700},
       {1520, 100, 300, 700}},
      {"a thin frame with a title bar",
       {0, 0, 1920, 1080},
       {1, 1, 20, 5},
       {1520, 100, 300, 700},
       {1521, 120, 298, 675}},
      {"primary screen right of another",
       {1920, 0, 2560, 1440},
       {4, 4, 30, 4},
       {4080, 100, 300, 700},
       {4084, 130, 292, 666}},
      {"primary screen left of the origin and lower",
       {-1280, 200, 1280, 1024},
       {},
       {-400, 300, 300, 700},
       {-400, 300, 300, 700}},
      {"a screen narrower than the dialog: no clamping",
       {0, 0, 350, 600},
       {2, 2, 2, 2},
       {-50, 100, 300, 700},
       {-48, 102, 296, 696}},
      {"a frame wider than the window leaves nothing",
       {0, 0, 1920, 1080},
       {200, 200, 400, 400},
       {1520, 100, 300, 700},
       {1720, 500, 0, 0}},
  };
  for (const auto& c : cases) {
    const PixelRect outer = placeMainDialog(c.screen, 300, 700);
    EXPECT_EQ(outer, c.outer) << c.name;
    EXPECT_EQ(rectInsideFrame(outer, c.frame), c.inside) << c.name;
  }
}
