#pragma once

// What a control tells its dialog, and how a scroll move is described.

// Commands that every dialog understands: Enter and Esc arrive as these.
inline constexpr int commandOk = 1;
inline constexpr int commandCancel = 2;

enum class Notification {
  Clicked,     // a button was pressed, a box ticked, a colour picked
  EditChange,  // the text of a field changed
};

// How a slider or scroll bar was moved. Horizontal and vertical names share
// their values, so one handler can serve either orientation.
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

// The source of a scroll notification from the window's own scroll bars.
inline constexpr int standardScrollBar = 0;

// The receiving end of control notifications; the dialog implements it.
class NotificationSink {
 public:
  virtual void controlNotified(int controlId, Notification code) = 0;
  virtual void scrolled(int controlId, bool horizontal, ScrollCode code, int position) = 0;

 protected:
  ~NotificationSink() = default;
};
