#pragma once

// Where the main dialog goes: its right edge 100 pixels left of the screen's
// right edge, its top 100 pixels down, sized to the client area measured
// before the move. No clamping: on a narrow screen the left edge may be
// negative.
struct WindowPlacement {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

WindowPlacement placeMainDialog(int screenWidth, int clientWidth, int clientHeight);
