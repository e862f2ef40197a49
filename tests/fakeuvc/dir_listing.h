#pragma once

#include <dirent.h>

// The node's entry in listings of its directory: each DIR of that directory
// is watched, and when the C library's entries run out, the node comes last.
namespace fakeuvc::dir_listing {

// Starts watching `directory` if it lists the node's directory.
void watch(DIR* directory);
// What readdir returns for `directory`, given what the C library returned.
dirent64* entry(DIR* directory, dirent64* real);
void restart(DIR* directory);  // rewinddir
void forget(DIR* directory);   // closedir

// Held across fork (fork_guard.cpp); a child keeps its parent's listings,
// as it keeps the DIR streams.
void lockForFork();
void unlockForFork();

}  // namespace fakeuvc::dir_listing
