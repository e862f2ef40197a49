#include "event_log.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

#include "libc_next.h"
#include "settings.h"

namespace fakeuvc {

namespace {

int logFile() {
  static const int fd = [] {
    const std::string& path = settings().logPath;
    if (path.empty()) return -1;
    const int opened = libc::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (opened < 0) warn("cannot open FAKEUVC_LOG file " + path + ": " + std::strerror(errno));
    return opened;
  }();
  return fd;
}

}  // namespace

void logEvent(const std::string& line) {
  const int fd = logFile();
  if (fd < 0) return;
  const std::string text = line + '\n';
  [[maybe_unused]] const ssize_t written = libc::write(fd, text.data(), text.size());
}

}  // namespace fakeuvc
