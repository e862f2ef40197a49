#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "formats.h"
#include "picture.h"

namespace fakeuvc {

// What the camera sends for every frame of one mode: a complete JPEG for
// Motion-JPEG, packed YUYV otherwise. Made once per mode and kept, so no
// frame is encoded while streaming.
struct FrameImage {
  Mode mode;
  std::vector<std::uint8_t> bytes;
};

// The frame for `mode`, from FAKEUVC_PICTURE stretched to the size or from the
// built-in picture. May take a while the first time for a large size.
std::shared_ptr<const FrameImage> frameImage(const Mode& mode);

// The JPEG of `picture` that fits in `maxBytes`, at the best quality that does;
// empty when none does.
std::vector<std::uint8_t> encodeJpeg(const RgbImage& picture, std::size_t maxBytes);

// `picture` as YUYV 4:2:2 (BT.601, limited range); its width must be even.
std::vector<std::uint8_t> toYuyv(const RgbImage& picture);

// Copies `frame` into `target` with a JPEG comment naming `sequence` after the
// start-of-image marker (so each buffer shows which frame it holds); other
// formats are copied as they are. Returns the bytes written, at most `room`.
std::size_t writeFrame(const FrameImage& frame, std::uint32_t sequence, std::uint8_t* target,
                       std::size_t room);

// Room writeFrame needs beyond the frame's own bytes.
constexpr std::size_t frameMarkerRoom = 64;

}  // namespace fakeuvc
