#pragma once

#include <functional>
#include <optional>
#include <string>

// The variables of the environment that decide where the windows go, each
// null when unset.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// The window-system platform the toolkit must use, or none to leave the
// choice to it. A Wayland session lets no window place itself, and both
// windows are placed where the program wants them; so there the program runs
// through the session's X server (XWayland) when it has one. A platform the
// user chose (QT_QPA_PLATFORM) always wins.
std::optional<std::string> chooseWindowPlatform(const EnvironmentLookup& environment);
