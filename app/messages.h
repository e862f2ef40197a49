#pragma once

#include <string_view>

// The program's own messages, one column per language (0 simplified Chinese,
// 1 traditional Chinese, 2 English).
enum class MessageKey { NoHardware, OpenFailed };

struct MessageText {
  std::string_view caption;
  std::string_view text;
};

// Texts are UTF-8. A language index outside 0..2 reads the first column.
MessageText lookupMessage(MessageKey key, int languageIndex);
