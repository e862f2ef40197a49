#pragma once

#include <string>

namespace fakeuvc {

// Appends `line` and a newline to the FAKEUVC_LOG file, if one is set. The
// file is opened for appending and each line goes out in one write, so
// several processes and threads can share it.
void logEvent(const std::string& line);

}  // namespace fakeuvc
