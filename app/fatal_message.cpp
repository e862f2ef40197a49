#include "app/fatal_message.h"

#include <cstdio>
#include <cstdlib>

#include "app/app_globals.h"
#include "platform/dialog.h"

void ShowFatalMessage(MessageKey key) {
  const MessageText message = lookupMessage(key, languageIndex);
  ShowMessageBox(mainWindow, message.text, message.caption);
  // Ends the process here: the dialog and the handler that called stay where
  // they are, as nothing of theirs needs saving.
  std::fflush(nullptr);
  std::exit(0);
}
