#include "app/measurement_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

// Fixed-point with `decimals` places and an explicit sign when asked; a
// decimal point, never the locale's comma.
std::string fixed(double value, int decimals, bool sign = false) {
  std::array<char, 64> text{};
  char* first = text.data();
  if (sign && value >= 0.0) *first++ = '+';
  const auto [end, error] =
      std::to_chars(first, text.data() + text.size(), value, std::chars_format::fixed, decimals);
  if (error != std::errc()) return "?";
  return std::string(text.data(), end);
}

}  // namespace

std::vector<std::string> measurementLines(const std::optional<SpotMeasurement>& spot, OverlayCenter center,
                                          double framesPerSecond) {
  std::vector<std::string> lines;
  if (spot) {
    const double dx = spot->x - static_cast<double>(center.cx);
    const double dy = spot->y - static_cast<double>(center.cy);
    lines.push_back("光斑偏移 dx " + fixed(dx, 2, true) + "  dy " + fixed(dy, 2, true) + " px");
    lines.push_back("距离 " + fixed(std::hypot(dx, dy), 2) + " px");
    lines.push_back("半通量直径 " + fixed(spot->halfFluxDiameter, 2) + " px");
    lines.push_back("锐度 " + fixed(spot->sharpness, 1));
  } else {
    lines.push_back("未发现光斑");
  }
  lines.push_back("显示帧率 " + fixed(framesPerSecond, 1) + " 帧/秒");
  return lines;
}

std::string snapshotSavedNotice(const std::string& picturePath) {
  return "快照已保存：" + picturePath;
}

std::string snapshotFailedNotice(const std::string& reason) {
  return "快照保存失败：" + reason;
}

std::string snapshotBusyNotice() {
  return "快照仍在写入，本次未保存";
}
