#pragma once

#include <string>
#include <string_view>

// The messages the program shows of its own; each ends the process.
enum class MessageKey {
  NoHardware,
  OpenFailed,
  // A camera of a known model whose device this user may not open; the
  // text names the device.
  NoPermission,
  // The camera opened but another program streams from it.
  CameraInUse,
};

struct MessageText {
  std::string_view caption;
  std::string_view text;
};

// Caption and text of `key` in the column of `languageIndex` (0 simplified
// Chinese, 1 traditional Chinese, 2 English), as UTF-8. An index outside the
// table reads the simplified Chinese column rather than past the table.
MessageText lookupMessage(MessageKey key, int languageIndex);

// The text with the device path put in place of its "{device}" mark.
std::string messageTextFor(const MessageText& message, std::string_view devicePath);
