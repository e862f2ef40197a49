#include "video/zoom_pan.h"

#include <cstdint>

#include "video/int_saturation.h"

namespace {

// The levels are 1, 2, 3, 4, 5, 6, 8: level 7 is never used.
int levelAbove(int level) {
  return level == 6 ? 8 : level + 1;
}
int levelBelow(int level) {
  return level == 8 ? 6 : level - 1;
}

// old size x old level / new level, truncated: the size the whole frame had,
// cut down to the new level. The next crop replaces it with its own size.
int rescaledSize(int size, int oldLevel, int newLevel) {
  return saturateToInt(std::int64_t{size} * oldLevel / newLevel);
}

void rescaleView(ViewState& view, int oldLevel, int newLevel) {
  view.viewHeight = rescaledSize(view.viewHeight, oldLevel, newLevel);
  view.viewWidth = rescaledSize(view.viewWidth, oldLevel, newLevel);
  view.zoomLevel = newLevel;
}

// Bar position for a centre: where the centre lies in the distance it can
// travel, (level - 1) x viewSize, spread over 128 - page positions. Where
// there is nothing to travel (level 1, or no view yet) the bar rests at 0.
int scrollPosition(int center, int viewSize, int level, unsigned page) {
  const std::int64_t travel = std::int64_t{level - 1} * viewSize;
  const int spread = scrollPositions - static_cast<int>(page);
  if (travel == 0 || spread == 0) return 0;
  return truncateToInt((center - 0.5 * viewSize) / static_cast<double>(travel) * spread);
}

void syncScrollBar(int center, int viewSize, int level, ScrollBarModel& bar) {
  ScrollInfo info = bar.info();
  info.nMax = scrollMax;
  info.nPage = static_cast<unsigned>(scrollPositions / level);
  info.nPos = scrollPosition(center, viewSize, level, info.nPage);
  bar.setInfo(info);
}

}  // namespace

void zoomIn(ViewState& view, ScrollBarModel& horizontal, ScrollBarModel& vertical) {
  const int level = effectiveZoomLevel(view.zoomLevel);
  if (level >= maxZoomLevel) return;
  // A smaller view fits wherever the larger one did: no clamp needed.
  rescaleView(view, level, levelAbove(level));
  syncScrollBars(view, horizontal, vertical);
}

void zoomOut(ViewState& view, ScrollBarModel& horizontal, ScrollBarModel& vertical) {
  const int level = effectiveZoomLevel(view.zoomLevel);
  if (level <= 1) return;
  rescaleView(view, level, levelBelow(level));
  view.viewCenterX = clampViewCenter(view.viewCenterX, view.viewWidth, view.zoomLevel);
  view.viewCenterY = clampViewCenter(view.viewCenterY, view.viewHeight, view.zoomLevel);
  syncScrollBars(view, horizontal, vertical);
}

int clampViewCenter(int center, int viewSize, int zoomLevel) {
  const std::int64_t frameSize = std::int64_t{effectiveZoomLevel(zoomLevel)} * viewSize;
  const std::int64_t half = viewSize / 2;
  if (center + half > frameSize) return truncateToInt(static_cast<double>(frameSize) - 0.5 * viewSize);
  if (center - half < 0) return truncateToInt(0.5 * viewSize);
  return center;
}

void syncScrollBars(const ViewState& view, ScrollBarModel& horizontal, ScrollBarModel& vertical) {
  const int level = effectiveZoomLevel(view.zoomLevel);
  syncScrollBar(view.viewCenterX, view.viewWidth, level, horizontal);
  syncScrollBar(view.viewCenterY, view.viewHeight, level, vertical);
}

bool scrollView(ScrollCode code, int thumbPosition, int& center, int viewSize, int zoomLevel,
                ScrollBarModel& bar) {
  ScrollInfo info = bar.info();
  int position = 0;
  switch (code) {
    case ScrollCode::LineUp:
      if (std::int64_t{info.nPos} - 1 < info.nMin) return false;
      position = info.nPos - 1;
      break;
    case ScrollCode::LineDown: {
      // Unsigned like the bar's own arithmetic; at level 1 the highest
      // position nMax - nPage + 1 is 0, so no step is taken there.
      const std::uint32_t next = static_cast<std::uint32_t>(info.nPos) + 1u;
      const std::uint32_t highest = static_cast<std::uint32_t>(info.nMax) - info.nPage + 1u;
      if (next > highest) return false;
      position = static_cast<int>(next);
      break;
    }
    case ScrollCode::ThumbTrack: position = thumbPosition; break;
    default:
      // Track clicks, the thumb's release and the end notification: the
      // position reached while tracking stays.
      return false;
  }

  // Frame pixels per bar position. The divisor is nMax - nPage (127 - page),
  // one less than the positions syncScrollBars spreads over, so the centre
  // can end a little beyond the last valid one; the crop keeps the picture
  // inside the frame regardless. At level 1 the divisor wraps to 2^32 - 1
  // and the step is 0. A page of exactly nMax leaves no divisor at all:
  // then there is no mapping from position to centre, and nothing changes.
  const std::uint32_t divisor = static_cast<std::uint32_t>(info.nMax) - info.nPage;
  if (divisor == 0) return false;
  const std::int64_t travel = std::int64_t{effectiveZoomLevel(zoomLevel) - 1} * viewSize;
  const std::uint32_t step = static_cast<std::uint32_t>(travel) / divisor;
  const std::uint32_t offset = static_cast<std::uint32_t>(position) * step;
  center = truncateToInt(static_cast<double>(offset) + 0.5 * viewSize);

  info.nPos = position;
  bar.setInfo(info);
  return true;
}

void beginDrag(DragState& drag, int x, int y) {
  drag.dragStartX = x;
  drag.dragStartY = y;
  drag.dragActive = 1;
}

bool endDrag(DragState& drag, int x, int y, ViewState& view, ScrollBarModel& horizontal,
             ScrollBarModel& vertical) {
  if (drag.dragActive != 1) return false;
  // The picture follows the mouse: dragging right brings the left part into view.
  view.viewCenterX = saturateToInt(std::int64_t{view.viewCenterX} + (std::int64_t{drag.dragStartX} - x));
  view.viewCenterY = saturateToInt(std::int64_t{view.viewCenterY} + (std::int64_t{drag.dragStartY} - y));
  drag.dragActive = 0;
  view.viewCenterX = clampViewCenter(view.viewCenterX, view.viewWidth, view.zoomLevel);
  view.viewCenterY = clampViewCenter(view.viewCenterY, view.viewHeight, view.zoomLevel);
  syncScrollBars(view, horizontal, vertical);
  return true;
}
