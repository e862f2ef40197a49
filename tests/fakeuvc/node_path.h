#pragma once

#include <sys/stat.h>

#include <string>

struct statx;

namespace fakeuvc::node {

// True when `path`, relative to `dirfd` (AT_FDCWD for the working
// directory), names the fake node: its exact path, or any spelling that
// reaches the node's directory under the node's name. Cheap for every other
// name, as it runs on every open and stat of the process.
bool named(int dirfd, const char* path);

// True for the node's sysfs uevent file, /sys/dev/char/81:N/uevent, where
// tools look up what kind of device a node is.
bool isUevent(const char* path);
// Its text: the device numbers and the name under /dev.
const std::string& ueventText();

// The text of a sysfs file of the node that the fake serves (the uevent
// file, and /sys/class/video4linux/video0/name, which anyone may read even
// when the node itself is closed to them); null for any other path.
const std::string* sysfsText(const char* path);

// The node's file name, "video0".
const std::string& fileName();

// True when `directory` is the directory that holds the node.
bool isNodeDirectory(const struct stat& directory);

// A character device of the V4L2 major number, like the real node.
void describe(struct stat& out);
void describe(struct statx& out);

// Gone after an unplug: the node then disappears from listings and stat.
bool present();
void unplug();

}  // namespace fakeuvc::node
