#include "app/window_platform.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

TEST(ChooseWindowPlatform, RunsAWaylandSessionThroughItsXServerUnlessTheUserChose) {
  using Environment = std::map<std::string, std::string>;
  const struct {
    const char* name;
    Environment environment;
    std::optional<std::string> platform;
  } cases[] = {
      {"X11 session", {{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}}, std::nullopt},
      {"Wayland session with XWayland",
       {{"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}},
       "xcb"},
      {"Wayland display without a session type",
       {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":1"}},
       "xcb"},
      {"Wayland session type without a display name",
       {{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":0"}},
       "xcb"},
      {"Wayland session without XWayland",
       {{"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}},
       std::nullopt},
      {"Wayland session with an empty DISPLAY",
       {{"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ""}},
       std::nullopt},
      {"the user chose Wayland",
       {{"QT_QPA_PLATFORM", "wayland"}, {"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":0"}},
       std::nullopt},
      {"the user chose offscreen",
       {{"QT_QPA_PLATFORM", "offscreen"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}},
       std::nullopt},
      {"an empty choice is no choice",
       {{"QT_QPA_PLATFORM", ""}, {"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":0"}},
       "xcb"},
      {"a text console", {{"XDG_SESSION_TYPE", "tty"}}, std::nullopt},
      {"nothing set", {}, std::nullopt},
  };
  for (const auto& c : cases) {
    const auto lookup = [&c](const char* name) -> const char* {
      const auto it = c.environment.find(name);
      return it == c.environment.end() ? nullptr : it->second.c_str();
    };
    EXPECT_EQ(chooseWindowPlatform(lookup), c.platform) << c.name;
  }
}
