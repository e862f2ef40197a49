#pragma once

#include "platform/notifications.h"

// What a dialog's window reports besides its controls' notifications: close,
// size, mouse, wheel and the command keys. The dialog implements it, so the
// window knows nothing else of the dialog.

enum class SizeType { Restored, Minimized, Maximized };

struct MousePoint {
  int x = 0;
  int y = 0;
};

// Which buttons and keys were down with a mouse message.
namespace mouse_flags {
inline constexpr unsigned LeftButton = 1u << 0;
inline constexpr unsigned RightButton = 1u << 1;
inline constexpr unsigned Shift = 1u << 2;
inline constexpr unsigned Control = 1u << 3;
inline constexpr unsigned MiddleButton = 1u << 4;
}  // namespace mouse_flags

// Whether a key press is the keyboard's repetition of a key held down.
enum class KeyRepeat { First, Repeated };

enum class MouseMessage { Move, LeftDown, LeftUp, LeftDoubleClick, RightDoubleClick };

// The window's own scroll bars report through NotificationSink::scrolled, as
// the control standardScrollBar.
class WindowEventSink : public NotificationSink {
 public:
  // The close button or Alt+F4: a request the dialog may turn down.
  virtual void closeRequested() = 0;
  virtual void resized(SizeType type, int clientWidth, int clientHeight) = 0;
  // `point` is in client coordinates.
  virtual void mouseMessage(MouseMessage message, unsigned keyFlags, MousePoint point) = 0;
  virtual void wheelTurned(unsigned keyFlags, int delta, MousePoint screenPoint) = 0;
  // Esc and Enter, as the commands they stand for (commandCancel, commandOk).
  virtual void commandKey(int command) = 0;
  // A letter key that no control took, as its upper-case character ('A' to
  // 'Z'), with the Shift and Control flags of mouse_flags. True when the
  // dialog used it; otherwise it goes on as unhandled.
  virtual bool letterKey(char letter, unsigned keyFlags, KeyRepeat repeat) = 0;

 protected:
  ~WindowEventSink() = default;
};
