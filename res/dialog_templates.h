#pragma once

#include "platform/dialog_template.h"

// The program's dialog templates, data in the dialog layer's schema.

inline constexpr int mainDialogTemplateId = 102;
inline constexpr int videoWindowTemplateId = 135;

const DialogTemplate& mainDialogTemplate();
const DialogTemplate& videoWindowTemplate();

// The template with this id, or null when there is none.
const DialogTemplate* findDialogTemplate(int templateId);
