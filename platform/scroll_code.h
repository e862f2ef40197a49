#pragma once

// How a slider or scroll bar was moved, as the window system reports it.
// Horizontal and vertical names share their values, so one handler can serve
// either orientation. Free of any toolkit, so the widget-free zoom and pan
// arithmetic can take these codes too.
enum class ScrollCode {
  LineLeft = 0,
  LineUp = 0,
  LineRight = 1,
  LineDown = 1,
  PageLeft = 2,
  PageUp = 2,
  PageRight = 3,
  PageDown = 3,
  ThumbPosition = 4,  // the thumb was released where it is now
  ThumbTrack = 5,     // the thumb is being dragged
  Left = 6,
  Top = 6,
  Right = 7,
  Bottom = 7,
  EndScroll = 8,  // the key or mouse button that moved it was released
};
