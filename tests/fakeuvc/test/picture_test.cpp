// FAKEUVC_PICTURE: the camera shows a picture file, stretched to the frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "v4l2_client.h"

using client::fourcc;
using client::Mode;
using client::Node;

namespace {

// A binary PPM, red on the left half and blue on the right. Written by the
// test itself before the first frame makes the camera read it.
void writeHalvesPicture(const std::string& path) {
  constexpr int width = 64;
  constexpr int height = 48;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << "P6\n" << width << " " << height << "\n255\n";
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const char red[3] = {static_cast<char>(255), 0, 0};
      const char blue[3] = {0, 0, static_cast<char>(255)};
      file.write(x < width / 2 ? red : blue, 3);
    }
  ASSERT_TRUE(file.good());
}

class PictureModes : public testing::TestWithParam<Mode> {
 protected:
  static void SetUpTestSuite() {
    const char* path = std::getenv("FAKEUVC_PICTURE");
    ASSERT_NE(path, nullptr) << "needs FAKEUVC_PICTURE";
    writeHalvesPicture(path);
  }
};

}  // namespace

TEST_P(PictureModes, ShowTheFileStretchedToTheFrame) {
  const Mode mode = GetParam();
  const Node camera;
  const auto buffers = client::startStream(camera, mode.fourcc, mode.width, mode.height, 2);
  ASSERT_TRUE(buffers);
  const auto buffer = client::nextFrame(camera);
  ASSERT_TRUE(buffer);
  const auto bytes = buffers->bytes(*buffer);
  const auto picture = client::decodeFrame(bytes, mode);
  ASSERT_TRUE(picture);
  ASSERT_EQ(picture->width, static_cast<int>(mode.width));

  auto pixel = [&](std::uint32_t x, std::uint32_t y) {
    return &picture->rgb[(std::size_t(y) * mode.width + x) * 3];
  };
  for (const std::uint32_t y : {mode.height / 4, mode.height / 2, mode.height * 3 / 4}) {
    const std::uint8_t* left = pixel(mode.width / 4, y);
    const std::uint8_t* right = pixel(mode.width * 3 / 4, y);
    EXPECT_GT(left[0], 180);
    EXPECT_LT(left[2], 70);
    EXPECT_LT(right[0], 70);
    EXPECT_GT(right[2], 180);
  }
}

INSTANTIATE_TEST_SUITE_P(Picture, PictureModes,
                         testing::Values(Mode{fourcc("YUYV"), 320, 240}, Mode{fourcc("MJPG"), 1920, 1080}));
