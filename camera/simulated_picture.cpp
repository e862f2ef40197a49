#include "camera/simulated_picture.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int noiseBlock = 256;  // frames add noise in blocks of this size
constexpr int noiseLevel = 7;    // at brightness 1, out of 255
// Drift periods, in frames at the nominal 30 per second: slow enough to read
// as mount drift, not shake; different so the path is not a line.
constexpr double driftPeriodX = 30.0 * 23.0;
constexpr double driftPeriodY = 30.0 * 31.0;

int driftAmplitude(cv::Size size) {
  return std::max(2, std::min(size.width, size.height) / 200);
}

// The defocused star: a bright disc with a dark centre (the shadow of the
// secondary mirror) and a brighter rim, softened.
void drawStarRing(cv::Mat& picture, cv::Point center, int radius) {
  const int pad = radius / 4 + 4;
  const cv::Rect box =
      cv::Rect(center.x - radius - pad, center.y - radius - pad, 2 * (radius + pad), 2 * (radius + pad)) &
      cv::Rect(0, 0, picture.cols, picture.rows);
  cv::Mat area = picture(box);
  const cv::Point local = center - box.tl();
  cv::circle(area, local, radius, cv::Scalar(150, 165, 180), cv::FILLED, cv::LINE_AA);
  cv::circle(area, local, std::max(1, radius * 7 / 20), cv::Scalar(14, 14, 16), cv::FILLED, cv::LINE_AA);
  cv::circle(area, local, radius - std::max(1, radius / 30), cv::Scalar(235, 245, 255),
             std::max(1, radius / 15), cv::LINE_AA);
  const double sigma = std::max(0.8, radius / 45.0);
  cv::GaussianBlur(area, area, cv::Size(), sigma);
}

void drawBackgroundStars(cv::Mat& picture) {
  cv::RNG rng(0x5eed);
  const int count = std::max(8, static_cast<int>(static_cast<double>(picture.total()) / 60000.0));
  for (int i = 0; i < count; ++i) {
    const cv::Point at(rng.uniform(0, picture.cols), rng.uniform(0, picture.rows));
    const int level = rng.uniform(40, 140);
    cv::circle(picture, at, rng.uniform(0, 2), cv::Scalar(level, level, level + 10), cv::FILLED, cv::LINE_AA);
  }
}

}  // namespace

cv::Point SimulatedPicture::drift(cv::Size size, std::int64_t frameIndex) {
  const double amplitude = driftAmplitude(size) - 1;
  const double t = static_cast<double>(frameIndex) * 2.0 * std::numbers::pi;
  return {static_cast<int>(std::lround(amplitude * std::sin(t / driftPeriodX))),
          static_cast<int>(std::lround(amplitude * std::sin(t / driftPeriodY)))};
}

void SimulatedPicture::prepare(cv::Size size, double brightness) {
  if (size == size_ && brightness == brightness_) return;
  // Drawn afresh for a new size or brightness and kept only as exposed, so a
  // single picture of frame size (plus margin) stays in memory. Redrawing
  // takes a fraction of a second, which only an exposure or gain change pays.
  size_ = size;
  brightness_ = brightness;
  margin_ = driftAmplitude(size);
  exposed_.create(size.height + 2 * margin_, size.width + 2 * margin_, CV_8UC3);
  exposed_.setTo(cv::Scalar(10, 10, 12));
  drawBackgroundStars(exposed_);
  const cv::Point offCenter(size.width * 9 / 100, -size.height * 7 / 100);
  const cv::Point center = cv::Point(exposed_.cols / 2, exposed_.rows / 2) + offCenter;
  drawStarRing(exposed_, center, std::max(4, std::min(size.width, size.height) * 10 / 100));
  if (brightness != 1.0) exposed_.convertTo(exposed_, CV_8U, brightness);
  // Gain amplifies the sensor's noise along with the light.
  const int level = std::clamp(static_cast<int>(std::lround(noiseLevel * std::sqrt(brightness))), 1, 60);
  noise_.create(2 * noiseBlock, 2 * noiseBlock, CV_8UC3);
  cv::RNG rng(0xa11ce);
  rng.fill(noise_, cv::RNG::UNIFORM, cv::Scalar::all(0), cv::Scalar::all(level + 1));
}

void SimulatedPicture::render(cv::Size size, std::int64_t frameIndex, double brightness, cv::Mat& frame) {
  prepare(size, brightness);
  if (frame.size() != size || frame.type() != CV_8UC3 || !frame.isContinuous())
    frame = cv::Mat(size, CV_8UC3);

  const cv::Point origin = cv::Point(margin_, margin_) + drift(size, frameIndex);
  // A different window of the noise tile each frame, so the noise flickers.
  const auto mix = static_cast<std::uint64_t>(frameIndex) * 0x9E3779B97F4A7C15ULL;
  const cv::Point noiseAt(static_cast<int>((mix >> 20) % noiseBlock),
                          static_cast<int>((mix >> 40) % noiseBlock));
  for (int y = 0; y < size.height; y += noiseBlock) {
    for (int x = 0; x < size.width; x += noiseBlock) {
      const cv::Rect block(x, y, std::min(noiseBlock, size.width - x), std::min(noiseBlock, size.height - y));
      cv::add(exposed_(block + origin), noise_(cv::Rect(noiseAt, block.size())), frame(block));
    }
  }
}
