#include "app/window_platform.h"

#include <string_view>

namespace {

bool isSet(const char* value) {
  return value != nullptr && *value != '\0';
}

}  // namespace

std::optional<std::string> chooseWindowPlatform(const EnvironmentLookup& environment) {
  if (isSet(environment("QT_QPA_PLATFORM"))) return std::nullopt;
  const char* session = environment("XDG_SESSION_TYPE");
  const bool wayland =
      (session != nullptr && std::string_view(session) == "wayland") || isSet(environment("WAYLAND_DISPLAY"));
  // Without an X server in the session the toolkit's own choice is the only one that starts.
  if (!wayland || !isSet(environment("DISPLAY"))) return std::nullopt;
  return "xcb";
}
