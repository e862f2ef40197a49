#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/select.h>
#include <time.h>

#include <optional>

namespace fakeuvc {

// poll and select over descriptors of which some are fake nodes: the real
// wait runs on every descriptor (a fake one waits on its eventfd), and the
// fake ones then report what the driver would. nullopt when no fake node is
// among them, so the caller hands the call to the C library unchanged.
// Results and errno are those of ppoll and pselect.
std::optional<int> pollWithFakes(pollfd* fds, nfds_t count, const timespec* timeout, const sigset_t* mask);

// `timeout` is left with the time not waited, as Linux's select does, when
// `updateTimeout` is set.
std::optional<int> selectWithFakes(int count, fd_set* readable, fd_set* writable, fd_set* exceptional,
                                   timespec* timeout, bool updateTimeout, const sigset_t* mask);

}  // namespace fakeuvc
