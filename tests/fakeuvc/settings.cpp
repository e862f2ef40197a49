#include "settings.h"

#include <linux/videodev2.h>

#include <charconv>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "libc_next.h"

namespace fakeuvc {

namespace {

constexpr unsigned maxFramesPerSecond = 240;

template <typename Number>
std::optional<Number> parseNumber(std::string_view text) {
  Number value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t stop = text.find(separator, start);
    parts.push_back(
        text.substr(start, stop == std::string_view::npos ? std::string_view::npos : stop - start));
    if (stop == std::string_view::npos) return parts;
    start = stop + 1;
  }
}

// "MJPG 4000x3000": a four-character code, blanks, width x height.
bool parseFormat(std::string_view text, Settings& out) {
  if (text.size() < 4) return false;
  const std::string_view code = text.substr(0, 4);
  std::string_view rest = text.substr(4);
  const std::size_t sizeStart = rest.find_first_not_of(' ');
  if (sizeStart == 0 || sizeStart == std::string_view::npos) return false;
  rest = rest.substr(sizeStart);
  const std::size_t cross = rest.find('x');
  if (cross == std::string_view::npos) return false;
  const auto width = parseNumber<std::uint32_t>(rest.substr(0, cross));
  const auto height = parseNumber<std::uint32_t>(rest.substr(cross + 1));
  if (!width || !height) return false;
  out.startFourcc = v4l2_fourcc(code[0], code[1], code[2], code[3]);
  out.startWidth = *width;
  out.startHeight = *height;
  return true;
}

bool parseFaults(std::string_view text, Settings& out) {
  for (const std::string_view fault : split(text, ',')) {
    if (fault == "eacces") {
      out.openFailsWithEacces = true;
    } else if (fault == "busy") {
      out.heldByAnotherProgram = true;
    } else if (fault.substr(0, 7) == "unplug:") {
      const auto frames = parseNumber<std::uint64_t>(fault.substr(7));
      if (!frames) return false;
      out.unplugAfter = *frames;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string normalizeAbsolutePath(const std::string& path) {
  if (path.empty() || path[0] != '/') return {};
  std::vector<std::string_view> kept;
  for (const std::string_view part : split(path, '/')) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    kept.push_back(part);
  }
  std::string normalized;
  for (const std::string_view part : kept) {
    normalized += '/';
    normalized += part;
  }
  return normalized.empty() ? "/" : normalized;
}

namespace {

// Reads the variables; a value that makes no sense is reported on standard
// error and the default kept.
Settings parseSettings() {
  Settings out;
  auto lookup = [](const char* name) -> const char* { return std::getenv(name); };
  auto complain = [](const char* name, const char* value, const char* expected) {
    warn(std::string("ignoring ") + name + "=\"" + value + "\" (expected " + expected + ")");
  };

  if (const char* node = lookup("FAKEUVC_NODE")) {
    const std::string normalized = normalizeAbsolutePath(node);
    if (normalized.size() > 1 && normalized.size() < 4096)
      out.nodePath = normalized;
    else
      complain("FAKEUVC_NODE", node, "an absolute path to a file");
  }
  if (const char* card = lookup("FAKEUVC_CARD")) out.card = card;
  out.startFourcc = V4L2_PIX_FMT_MJPEG;
  if (const char* format = lookup("FAKEUVC_FORMAT")) {
    Settings parsed = out;
    if (parseFormat(format, parsed))
      out = parsed;
    else
      complain("FAKEUVC_FORMAT", format, "a four-character code and a size, such as \"MJPG 4000x3000\"");
  }
  if (const char* fps = lookup("FAKEUVC_FPS")) {
    const auto value = parseNumber<unsigned>(fps);
    if (value && *value >= 1 && *value <= maxFramesPerSecond)
      out.framesPerSecond = *value;
    else
      complain("FAKEUVC_FPS", fps, "a whole number of frames per second from 1 to 240");
  }
  if (const char* picture = lookup("FAKEUVC_PICTURE")) out.picturePath = picture;
  if (const char* log = lookup("FAKEUVC_LOG")) out.logPath = log;
  if (const char* fault = lookup("FAKEUVC_FAULT"); fault != nullptr && *fault != '\0') {
    Settings parsed = out;
    if (parseFaults(fault, parsed))
      out = parsed;
    else
      complain("FAKEUVC_FAULT", fault, "eacces, busy or unplug:N, separated by commas");
  }
  return out;
}

}  // namespace

void warn(const std::string& line) {
  const std::string text = "fakeuvc: " + line + "\n";
  // One write, so lines of several processes sharing the terminal stay whole.
  [[maybe_unused]] const ssize_t written = libc::write(2, text.data(), text.size());
}

const Settings& settings() {
  static const Settings& parsed = *new Settings(parseSettings());
  return parsed;
}

}  // namespace fakeuvc
