#include "platform/dialog_template.h"

#include <algorithm>

const ControlTemplate* findControl(const DialogTemplate& dialog, int controlId) {
  if (controlId == noControlId) return nullptr;  // several controls share it
  const auto it = std::find_if(dialog.controls.begin(), dialog.controls.end(),
                               [controlId](const ControlTemplate& c) { return c.id == controlId; });
  return it == dialog.controls.end() ? nullptr : &*it;
}

const ColorButtonOptions* findColorButtonOptions(const DialogTemplate& dialog, int controlId) {
  const auto it = std::find_if(dialog.colorButtons.begin(), dialog.colorButtons.end(),
                               [controlId](const ColorButtonInit& c) { return c.controlId == controlId; });
  return it == dialog.colorButtons.end() ? nullptr : &it->options;
}
