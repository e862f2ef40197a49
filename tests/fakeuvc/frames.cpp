#include "frames.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>

#include "settings.h"

namespace fakeuvc {

namespace {

std::mutex cacheMutex;

// FAKEUVC_PICTURE, read once; nullopt when unset or unreadable. Like every
// lasting value here it is never destroyed: interposed calls still come in
// while the process runs its exit handlers.
const std::optional<RgbImage>& sourcePicture() {
  static const std::optional<RgbImage>& picture =
      *new std::optional<RgbImage>([]() -> std::optional<RgbImage> {
        const std::string& path = settings().picturePath;
        if (path.empty()) return std::nullopt;
        std::string error;
        auto loaded = loadPicture(path, error);
        if (!loaded) warn("FAKEUVC_PICTURE " + path + ": " + error + "; showing the built-in picture");
        return loaded;
      }());
  return picture;
}

RgbImage pictureAt(std::uint32_t width, std::uint32_t height) {
  const auto& source = sourcePicture();
  return source ? scaled(*source, width, height) : builtInPicture(width, height);
}

std::uint8_t clampByte(int value) {
  return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

}  // namespace

std::vector<std::uint8_t> encodeJpeg(const RgbImage& picture, std::size_t maxBytes) {
  tjhandle encoder = tjInitCompress();
  if (encoder == nullptr) return {};
  std::vector<std::uint8_t> result;
  for (const int quality : {85, 60, 35, 15}) {
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int failed = tjCompress2(encoder, picture.pixels.data(), static_cast<int>(picture.width), 0,
                                   static_cast<int>(picture.height), TJPF_RGB, &jpeg, &size, TJSAMP_422,
                                   quality, TJFLAG_FASTDCT);
    if (failed == 0 && size <= maxBytes) result.assign(jpeg, jpeg + size);
    tjFree(jpeg);
    if (failed != 0 || !result.empty()) break;
  }
  tjDestroy(encoder);
  return result;
}

std::vector<std::uint8_t> toYuyv(const RgbImage& picture) {
  std::vector<std::uint8_t> out(std::size_t(picture.width) * picture.height * 2);
  auto luma = [](const std::uint8_t* p) {
    return clampByte(((66 * p[0] + 129 * p[1] + 25 * p[2] + 128) >> 8) + 16);
  };
  for (std::size_t pair = 0; pair < out.size() / 4; ++pair) {
    const std::uint8_t* a = &picture.pixels[pair * 6];
    const std::uint8_t* b = a + 3;
    const int r = (a[0] + b[0]) / 2;
    const int g = (a[1] + b[1]) / 2;
    const int bl = (a[2] + b[2]) / 2;
    std::uint8_t* target = &out[pair * 4];
    target[0] = luma(a);
    target[1] = clampByte(((-38 * r - 74 * g + 112 * bl + 128) >> 8) + 128);
    target[2] = luma(b);
    target[3] = clampByte(((112 * r - 94 * g - 18 * bl + 128) >> 8) + 128);
  }
  return out;
}

std::shared_ptr<const FrameImage> frameImage(const Mode& mode) {
  // One lock over look-up and making, so two streams never encode the same
  // size twice at once.
  const std::lock_guard lock(cacheMutex);
  static auto* cache = new std::map<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>,
                                    std::shared_ptr<const FrameImage>>();
  const auto key = std::make_tuple(mode.fourcc, mode.width, mode.height);
  if (const auto it = cache->find(key); it != cache->end()) return it->second;

  auto frame = std::make_shared<FrameImage>();
  frame->mode = mode;
  if (mode.fourcc == V4L2_PIX_FMT_MJPEG) {
    const std::size_t room = frameBufferSize(mode) - frameMarkerRoom;
    frame->bytes = encodeJpeg(pictureAt(mode.width, mode.height), room);
    if (frame->bytes.empty()) {
      warn("the picture does not compress into a " + std::to_string(room) +
           "-byte frame; showing the built-in one");
      frame->bytes = encodeJpeg(builtInPicture(mode.width, mode.height), room);
    }
  } else {
    frame->bytes = toYuyv(pictureAt(mode.width, mode.height));
  }
  cache->emplace(key, frame);
  return frame;
}

void lockFramesForFork() {
  cacheMutex.lock();
}

void unlockFramesForFork() {
  cacheMutex.unlock();
}

std::size_t writeFrame(const FrameImage& frame, std::uint32_t sequence, std::uint8_t* target,
                       std::size_t room) {
  const std::vector<std::uint8_t>& bytes = frame.bytes;
  const bool jpeg = frame.mode.fourcc == V4L2_PIX_FMT_MJPEG && bytes.size() >= 2;
  if (!jpeg) {
    const std::size_t size = std::min(bytes.size(), room);
    std::memcpy(target, bytes.data(), size);
    return size;
  }
  const std::string text = "fakeuvc frame " + std::to_string(sequence);
  const std::size_t segment = 2 + 2 + text.size();  // marker, length, text
  if (bytes.size() + segment > room) return 0;
  std::uint8_t* out = target;
  *out++ = bytes[0];  // start of image
  *out++ = bytes[1];
  *out++ = 0xff;  // comment
  *out++ = 0xfe;
  const std::size_t length = 2 + text.size();
  *out++ = static_cast<std::uint8_t>(length >> 8);
  *out++ = static_cast<std::uint8_t>(length & 0xff);
  out = std::copy(text.begin(), text.end(), out);
  std::memcpy(out, bytes.data() + 2, bytes.size() - 2);
  out += bytes.size() - 2;
  return static_cast<std::size_t>(out - target);
}

}  // namespace fakeuvc
