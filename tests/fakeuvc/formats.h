#pragma once

#include <linux/videodev2.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace fakeuvc {

struct FrameSize {
  std::uint32_t width;
  std::uint32_t height;
};

struct FormatInfo {
  std::uint32_t fourcc;
  const char* description;
  std::uint32_t flags;  // V4L2_FMT_FLAG_*
  std::span<const FrameSize> sizes;
};

// A pixel format at one of its sizes: what the camera sends.
struct Mode {
  std::uint32_t fourcc = V4L2_PIX_FMT_MJPEG;
  std::uint32_t width = 640;
  std::uint32_t height = 480;
  bool operator==(const Mode&) const = default;
};

// In the order the camera lists them; the first is its default.
std::span<const FormatInfo> supportedFormats();
const FormatInfo* findFormat(std::uint32_t fourcc);

// The supported mode the driver settles on for a request: the requested
// format (the first one when it is not offered) at its size nearest to the
// requested one, nearest meaning the smallest area covered by only one of
// the two rectangles. Ties go to the size listed first.
Mode settle(std::uint32_t fourcc, std::uint32_t width, std::uint32_t height);

// Bytes one buffer needs for a frame of `mode`.
std::uint32_t frameBufferSize(const Mode& mode);

// Every field of `pix` for `mode`, as the driver reports it.
void describe(const Mode& mode, v4l2_pix_format& pix);

// "MJPG"
std::string fourccText(std::uint32_t fourcc);

// The frame intervals offered at every size, shortest first: 1/fps and the
// usual slower rates below it.
std::vector<v4l2_fract> frameIntervals(unsigned framesPerSecond);

// The offered interval nearest to `requested`; a zero denominator asks for
// the shortest.
v4l2_fract nearestInterval(const std::vector<v4l2_fract>& offered, v4l2_fract requested);

}  // namespace fakeuvc
