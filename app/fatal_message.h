#pragma once

#include <string_view>

#include "app/messages.h"

// Shows the message in a modal box owned by the main dialog (language
// `languageIndex`) and, once the user has dismissed it, ends the process with
// exit code 0 without returning to the caller. `devicePath` fills the
// message's device mark, where it has one.
[[noreturn]] void ShowFatalMessage(MessageKey key, std::string_view devicePath = {});
