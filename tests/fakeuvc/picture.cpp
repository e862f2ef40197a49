#include "picture.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace fakeuvc {

namespace {

// A picture file bigger than this is refused rather than exhausting memory.
constexpr std::uint64_t maxPicturePixels = 100'000'000;
constexpr long maxPictureFileBytes = 512L * 1024 * 1024;

struct TjHandle {
  tjhandle handle;
  explicit TjHandle(tjhandle h) : handle(h) {}
  ~TjHandle() {
    if (handle != nullptr) tjDestroy(handle);
  }
  TjHandle(const TjHandle&) = delete;
  TjHandle& operator=(const TjHandle&) = delete;
};

struct TjBuffer {
  unsigned char* data = nullptr;
  ~TjBuffer() { tjFree(data); }
};

// Adds `amount` of the given colour to one pixel, saturating.
void addLight(std::uint8_t* pixel, float amount, const float (&colour)[3]) {
  for (int c = 0; c < 3; ++c) {
    const float value = static_cast<float>(pixel[c]) + amount * colour[c];
    pixel[c] = static_cast<std::uint8_t>(std::min(value, 255.0f));
  }
}

std::optional<std::vector<unsigned char>> readWholeFile(const std::string& path, std::string& error) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    error = "cannot open";
    return std::nullopt;
  }
  if (std::fseek(file.get(), 0, SEEK_END) != 0) {
    error = "cannot seek";
    return std::nullopt;
  }
  const long size = std::ftell(file.get());
  if (size <= 0 || size > maxPictureFileBytes) {
    error = "empty or too large";
    return std::nullopt;
  }
  std::rewind(file.get());
  std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
  if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    error = "short read";
    return std::nullopt;
  }
  return bytes;
}

// An RGB picture of the given size, every byte 0; nullopt (with the reason)
// for a size the camera will not hold.
std::optional<RgbImage> imageOfSize(int width, int height, std::string& error) {
  if (width <= 0 || height <= 0 || std::uint64_t(width) * std::uint64_t(height) > maxPicturePixels) {
    error = "picture too large";
    return std::nullopt;
  }
  RgbImage image;
  image.width = static_cast<std::uint32_t>(width);
  image.height = static_cast<std::uint32_t>(height);
  image.pixels.resize(std::size_t(image.width) * image.height * 3);
  return image;
}

std::optional<RgbImage> decodeJpeg(const std::vector<unsigned char>& bytes, std::string& error) {
  TjHandle decoder(tjInitDecompress());
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colourspace = 0;
  if (decoder.handle == nullptr || tjDecompressHeader3(decoder.handle, bytes.data(), bytes.size(), &width,
                                                       &height, &subsampling, &colourspace) != 0) {
    error = "not a readable JPEG";
    return std::nullopt;
  }
  std::optional<RgbImage> sized = imageOfSize(width, height, error);
  if (!sized) return std::nullopt;
  RgbImage& image = *sized;
  if (tjDecompress2(decoder.handle, bytes.data(), bytes.size(), image.pixels.data(), width, 0, height,
                    TJPF_RGB, 0) != 0) {
    error = tjGetErrorStr2(decoder.handle);
    return std::nullopt;
  }
  return sized;
}

}  // namespace

RgbImage builtInPicture(std::uint32_t width, std::uint32_t height) {
  RgbImage image;
  image.width = width;
  image.height = height;
  image.pixels.resize(std::size_t(width) * height * 3);
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  const float shortSide = std::min(w, h);
  const float cx = 0.5f * w;
  const float cy = 0.5f * h;

  // A dark field, a little lighter towards the middle, as under a lens.
  const float reach = 0.5f * std::hypot(w, h);
  for (std::uint32_t y = 0; y < height; ++y) {
    const float dy = (static_cast<float>(y) + 0.5f - cy) / reach;
    std::uint8_t* row = &image.pixels[std::size_t(y) * width * 3];
    for (std::uint32_t x = 0; x < width; ++x) {
      const float dx = (static_cast<float>(x) + 0.5f - cx) / reach;
      const float level = 10.0f + 12.0f * std::max(0.0f, 1.0f - (dx * dx + dy * dy));
      row[3 * x] = static_cast<std::uint8_t>(level);
      row[3 * x + 1] = static_cast<std::uint8_t>(level + 1.0f);
      row[3 * x + 2] = static_cast<std::uint8_t>(level + 3.0f);
    }
  }

  // Visits the pixels of a box around (x, y), clipped to the picture.
  auto forBox = [&](float left, float top, float right, float bottom, auto&& visit) {
    const auto x0 = static_cast<std::uint32_t>(std::clamp(left, 0.0f, w));
    const auto x1 = static_cast<std::uint32_t>(std::clamp(right, 0.0f, w));
    const auto y0 = static_cast<std::uint32_t>(std::clamp(top, 0.0f, h));
    const auto y1 = static_cast<std::uint32_t>(std::clamp(bottom, 0.0f, h));
    for (std::uint32_t y = y0; y < y1; ++y)
      for (std::uint32_t x = x0; x < x1; ++x)
        visit(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f,
              &image.pixels[(std::size_t(y) * width + x) * 3]);
  };

  const float ringRadius = 0.3f * shortSide;
  const float ringWidth = std::max(1.0f, 0.004f * shortSide);
  const float warm[3] = {1.0f, 0.88f, 0.6f};
  const float reachOut = ringRadius + 3.0f * ringWidth;
  forBox(cx - reachOut, cy - reachOut, cx + reachOut, cy + reachOut,
         [&](float x, float y, std::uint8_t* pixel) {
           const float off = (std::hypot(x - cx, y - cy) - ringRadius) / ringWidth;
           if (std::abs(off) < 3.0f) addLight(pixel, 200.0f * std::exp(-off * off), warm);
         });

  const float spotSize = std::max(1.0f, 0.006f * shortSide);
  const float cool[3] = {0.9f, 0.95f, 1.0f};
  const float spots[][2] = {{0.22f, 0.28f}, {0.76f, 0.24f}, {0.68f, 0.74f}, {0.31f, 0.69f}, {0.5f, 0.5f}};
  for (const auto& spot : spots) {
    const float sx = spot[0] * w;
    const float sy = spot[1] * h;
    const float box = 4.0f * spotSize;
    forBox(sx - box, sy - box, sx + box, sy + box, [&](float x, float y, std::uint8_t* pixel) {
      const float r2 = ((x - sx) * (x - sx) + (y - sy) * (y - sy)) / (spotSize * spotSize);
      addLight(pixel, 255.0f * std::exp(-0.5f * r2), cool);
    });
  }

  const float mark = std::max(2.0f, 0.03f * shortSide);
  const float white[3] = {1.0f, 1.0f, 1.0f};
  forBox(0.08f * w, 0.1f * h, 0.08f * w + mark, 0.1f * h + mark,
         [&](float, float, std::uint8_t* pixel) { addLight(pixel, 170.0f, white); });
  return image;
}

std::optional<RgbImage> loadPicture(const std::string& path, std::string& error) {
  const auto bytes = readWholeFile(path, error);
  if (!bytes) return std::nullopt;
  if (bytes->size() >= 2 && (*bytes)[0] == 0xff && (*bytes)[1] == 0xd8) return decodeJpeg(*bytes, error);

  // TurboJPEG reads binary PPM/PGM and BMP files itself.
  int width = 0;
  int height = 0;
  int pixelFormat = TJPF_RGB;
  TjBuffer loaded;
  loaded.data = tjLoadImage(path.c_str(), &width, 1, &height, &pixelFormat, 0);
  if (loaded.data == nullptr) {
    error = "neither JPEG nor a PPM or BMP file TurboJPEG can read";
    return std::nullopt;
  }
  std::optional<RgbImage> image = imageOfSize(width, height, error);
  if (image) std::copy_n(loaded.data, image->pixels.size(), image->pixels.data());
  return image;
}

RgbImage scaled(const RgbImage& source, std::uint32_t width, std::uint32_t height) {
  RgbImage out;
  out.width = width;
  out.height = height;
  out.pixels.resize(std::size_t(width) * height * 3);
  if (source.width == 0 || source.height == 0) return out;

  struct Tap {
    std::uint32_t first;
    std::uint32_t second;
    float weight;  // of `second`
  };
  auto taps = [](std::uint32_t from, std::uint32_t to) {
    std::vector<Tap> result(to);
    const float ratio = static_cast<float>(from) / static_cast<float>(to);
    for (std::uint32_t i = 0; i < to; ++i) {
      const float position =
          std::clamp((static_cast<float>(i) + 0.5f) * ratio - 0.5f, 0.0f, static_cast<float>(from - 1));
      const auto first = static_cast<std::uint32_t>(position);
      result[i] = {first, std::min(first + 1, from - 1), position - static_cast<float>(first)};
    }
    return result;
  };
  const std::vector<Tap> columns = taps(source.width, width);
  const std::vector<Tap> rows = taps(source.height, height);
  const std::size_t stride = std::size_t(source.width) * 3;
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* upper = &source.pixels[rows[y].first * stride];
    const std::uint8_t* lower = &source.pixels[rows[y].second * stride];
    const float down = rows[y].weight;
    std::uint8_t* target = &out.pixels[std::size_t(y) * width * 3];
    for (std::uint32_t x = 0; x < width; ++x) {
      const Tap& column = columns[x];
      for (int c = 0; c < 3; ++c) {
        const float top = upper[column.first * 3 + c] * (1.0f - column.weight) +
                          upper[column.second * 3 + c] * column.weight;
        const float bottom = lower[column.first * 3 + c] * (1.0f - column.weight) +
                             lower[column.second * 3 + c] * column.weight;
        target[x * 3 + c] = static_cast<std::uint8_t>(std::lround(top * (1.0f - down) + bottom * down));
      }
    }
  }
  return out;
}

}  // namespace fakeuvc
