#pragma once

#include "platform/scroll_code.h"

// What a control tells its dialog, and how a scroll move is described.

// Commands that every dialog understands: Enter and Esc arrive as these.
inline constexpr int commandOk = 1;
inline constexpr int commandCancel = 2;

enum class Notification {
  Clicked,     // a button was pressed, a box ticked, a colour picked
  EditChange,  // the text of a field changed
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
