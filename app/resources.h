#pragma once

// The program's Qt resources (icon, version data) live in a static library,
// whose registration the linker may drop; this pulls it in.
void ensureResources();

inline constexpr const char* appIconResource = ":/varnix.png";
inline constexpr const char* versionResource = ":/version.txt";
