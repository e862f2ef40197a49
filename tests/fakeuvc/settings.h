#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fakeuvc {

// What the FAKEUVC_* environment variables ask for, read once per process.
struct Settings {
  std::string nodePath = "/dev/video0";  // FAKEUVC_NODE, lexically normalised
  std::string card = "fakeuvc camera";   // FAKEUVC_CARD, verbatim
  std::uint32_t startFourcc = 0;         // FAKEUVC_FORMAT; settled by the device
  std::uint32_t startWidth = 640;
  std::uint32_t startHeight = 480;
  unsigned framesPerSecond = 30;             // FAKEUVC_FPS
  std::string picturePath;                   // FAKEUVC_PICTURE; empty: the built-in picture
  std::string logPath;                       // FAKEUVC_LOG; empty: no log
  bool openFailsWithEacces = false;          // FAKEUVC_FAULT=eacces
  bool heldByAnotherProgram = false;         // FAKEUVC_FAULT=busy
  std::optional<std::uint64_t> unplugAfter;  // FAKEUVC_FAULT=unplug:N
};

const Settings& settings();

// Writes one line to standard error, never to standard output.
void warn(const std::string& line);

// "/a//b/./c/../d" -> "/a/b/d"; empty for a relative or empty path.
std::string normalizeAbsolutePath(const std::string& path);

}  // namespace fakeuvc
