// fork copies the library's state into the child with only the forking
// thread. Each of our mutexes is taken around the fork, so the child never
// inherits one held by a thread it does not have, and the child drops the
// parent's opens of the node: closing one there must not stop a stream whose
// thread exists only in the parent.
#include <pthread.h>

#include "device.h"
#include "dir_listing.h"
#include "fd_table.h"
#include "frames.h"

namespace fakeuvc {

namespace {

// No code of ours holds two of these at once, so the order is free.
void prepare() {
  fd_table::lockForFork();
  dir_listing::lockForFork();
  lockFramesForFork();
}

void parent() {
  unlockFramesForFork();
  dir_listing::unlockForFork();
  fd_table::unlockForFork();
}

void child() {
  unlockFramesForFork();
  dir_listing::unlockForFork();
  fd_table::forgetInChild();
  Device::startOverInChild();
}

// Registering the handlers is all the library does when it is loaded.
__attribute__((constructor)) void installForkGuard() {
  ::pthread_atfork(prepare, parent, child);
}

}  // namespace

}  // namespace fakeuvc
