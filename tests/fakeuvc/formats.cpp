#include "formats.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace fakeuvc {

namespace {

constexpr std::array<FrameSize, 6> mjpegSizes{{
    {4000, 3000},
    {3840, 2160},
    {3264, 2448},
    {1920, 1080},
    {1280, 720},
    {640, 480},
}};

constexpr std::array<FrameSize, 2> yuyvSizes{{
    {640, 480},
    {320, 240},
}};

const std::array<FormatInfo, 2> formats{{
    {V4L2_PIX_FMT_MJPEG, "Motion-JPEG", V4L2_FMT_FLAG_COMPRESSED, mjpegSizes},
    {V4L2_PIX_FMT_YUYV, "YUYV 4:2:2", 0, yuyvSizes},
}};

constexpr std::array<unsigned, 6> usualRates{30, 25, 20, 15, 10, 5};

// Area covered by only one of the two rectangles anchored at the origin.
std::uint64_t sizeDistance(const FrameSize& size, std::uint32_t width, std::uint32_t height) {
  const std::uint64_t overlap =
      std::uint64_t{std::min(size.width, width)} * std::uint64_t{std::min(size.height, height)};
  return std::uint64_t{size.width} * size.height + std::uint64_t{width} * height - 2 * overlap;
}

}  // namespace

std::span<const FormatInfo> supportedFormats() {
  return formats;
}

const FormatInfo* findFormat(std::uint32_t fourcc) {
  for (const FormatInfo& format : formats)
    if (format.fourcc == fourcc) return &format;
  return nullptr;
}

Mode settle(std::uint32_t fourcc, std::uint32_t width, std::uint32_t height) {
  const FormatInfo* format = findFormat(fourcc);
  if (format == nullptr) format = &formats.front();
  const FrameSize* best = &format->sizes.front();
  std::uint64_t bestDistance = std::numeric_limits<std::uint64_t>::max();
  for (const FrameSize& size : format->sizes) {
    const std::uint64_t distance = sizeDistance(size, width, height);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = &size;
    }
  }
  return {format->fourcc, best->width, best->height};
}

std::uint32_t frameBufferSize(const Mode& mode) {
  // YUYV is exactly two bytes a pixel. For Motion-JPEG the camera announces
  // a worst case, commonly the same two bytes a pixel.
  return mode.width * mode.height * 2;
}

void describe(const Mode& mode, v4l2_pix_format& pix) {
  pix = v4l2_pix_format{};
  pix.width = mode.width;
  pix.height = mode.height;
  pix.pixelformat = mode.fourcc;
  pix.field = V4L2_FIELD_NONE;
  pix.bytesperline = mode.fourcc == V4L2_PIX_FMT_YUYV ? mode.width * 2 : 0;
  pix.sizeimage = frameBufferSize(mode);
  pix.colorspace = V4L2_COLORSPACE_SRGB;
  pix.priv = V4L2_PIX_FMT_PRIV_MAGIC;
  pix.xfer_func = V4L2_XFER_FUNC_SRGB;
  pix.ycbcr_enc = V4L2_YCBCR_ENC_601;
  pix.quantization = V4L2_QUANTIZATION_DEFAULT;
}

std::string fourccText(std::uint32_t fourcc) {
  std::string text;
  for (int shift = 0; shift < 32; shift += 8) {
    const char c = static_cast<char>((fourcc >> shift) & 0xff);
    text += (c >= 0x20 && c < 0x7f) ? c : '?';
  }
  return text;
}

std::vector<v4l2_fract> frameIntervals(unsigned framesPerSecond) {
  std::vector<v4l2_fract> intervals{{1, framesPerSecond}};
  for (const unsigned rate : usualRates)
    if (rate < framesPerSecond) intervals.push_back({1, rate});
  return intervals;
}

v4l2_fract nearestInterval(const std::vector<v4l2_fract>& offered, v4l2_fract requested) {
  if (requested.denominator == 0) return offered.front();
  const double wanted = static_cast<double>(requested.numerator) / requested.denominator;
  const v4l2_fract* best = &offered.front();
  for (const v4l2_fract& interval : offered) {
    const double seconds = static_cast<double>(interval.numerator) / interval.denominator;
    const double bestSeconds = static_cast<double>(best->numerator) / best->denominator;
    if (std::abs(seconds - wanted) < std::abs(bestSeconds - wanted)) best = &interval;
  }
  return *best;
}

}  // namespace fakeuvc
