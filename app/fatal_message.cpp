#include "app/fatal_message.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app_globals.h"
#include "platform/dialog.h"

void ShowFatalMessage(MessageKey key, std::string_view devicePath) {
  const MessageText message = lookupMessage(key, languageIndex);
  ShowMessageBox(mainWindow, messageTextFor(message, devicePath), message.caption);
  // Ends the process here: the dialog and the handler that called stay where
  // they are, as nothing of theirs needs saving.
  std::fflush(nullptr);
  std::exit(0);
}
