#pragma once

#include <string_view>

// The two messages the program shows of its own; both end the process.
enum class MessageKey { NoHardware, OpenFailed };

struct MessageText {
  std::string_view caption;
  std::string_view text;
};

// Caption and text of `key` in the column of `languageIndex` (0 simplified
// Chinese, 1 traditional Chinese, 2 English), as UTF-8. An index outside the
// table reads the simplified Chinese column rather than past the table.
MessageText lookupMessage(MessageKey key, int languageIndex);
