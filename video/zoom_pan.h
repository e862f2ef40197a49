#pragma once

#include "video/scroll_bar_model.h"
#include "video/view_state.h"

// Zoom and pan of the video window, the arithmetic behind the wheel, the
// double clicks, the scroll bars and the drag. The widget forwards its input
// here and lets the next crop show the result.
//
// Levels run 1, 2, 3, 4, 5, 6, 8: level 7 is skipped. The bars have range
// 0..127 and a page of 128 / level, so they hide themselves at level 1.

inline constexpr int maxZoomLevel = 8;
// Both bars span positions 0..scrollMax at every level; only the page changes.
inline constexpr int scrollMax = 127;
inline constexpr int scrollPositions = scrollMax + 1;

// One zoom step up or down. The view size is rescaled (old size x old level
// / new level) and the bars follow; zooming out also pulls the centre back
// to where a view of the larger size fits. Nothing happens at the ends.
void zoomIn(ViewState& view, ScrollBarModel& horizontal, ScrollBarModel& vertical);
void zoomOut(ViewState& view, ScrollBarModel& horizontal, ScrollBarModel& vertical);

// Brings `center` back to where a view of `viewSize` fits into a frame of
// zoomLevel x viewSize; a centre already inside comes back unchanged.
int clampViewCenter(int center, int viewSize, int zoomLevel);

// Sets both bars' page and position from the view state.
void syncScrollBars(const ViewState& view, ScrollBarModel& horizontal, ScrollBarModel& vertical);

// One scroll-bar notification; true when it changed the bar and the centre.
// Only line steps and thumb tracking move the view; clicks in the track, the
// thumb's release and the end notification leave everything as it is.
bool scrollView(ScrollCode code, int thumbPosition, int& center, int viewSize, int zoomLevel,
                ScrollBarModel& bar);

// The left-button drag: the picture follows the mouse once the button is
// released, one frame pixel per pixel of travel.
struct DragState {
  int dragActive = 0;
  int dragStartX = 0;
  int dragStartY = 0;
};
void beginDrag(DragState& drag, int x, int y);
// Pans on release; false (nothing done) when no drag was on.
bool endDrag(DragState& drag, int x, int y, ViewState& view, ScrollBarModel& horizontal,
             ScrollBarModel& vertical);
