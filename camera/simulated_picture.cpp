#include "camera/simulated_picture.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int noiseBlock = 256;  // frames take noise in blocks of this size
constexpr int noiseLevel = 7;    // at brightness 1, out of 255
const cv::Scalar fieldColor(10, 10, 12);
// Drift periods, in frames at the nominal 30 per second: slow enough to read
// as mount drift, not shake; different so the path is not a line.
constexpr double driftPeriodX = 30.0 * 23.0;
constexpr double driftPeriodY = 30.0 * 31.0;

int driftAmplitude(cv::Size size) {
  return std::max(2, std::min(size.width, size.height) / 200);
}

// The defocused star: a bright disc with a dark centre (the shadow of the
// secondary mirror) and a brighter rim, softened. `area` holds the field
// around it, so the softening blends into the field.
void drawStarRing(cv::Mat& area, cv::Point center, int radius) {
  cv::circle(area, center, radius, cv::Scalar(150, 165, 180), cv::FILLED, cv::LINE_AA);
  cv::circle(area, center, std::max(1, radius * 7 / 20), cv::Scalar(14, 14, 16), cv::FILLED, cv::LINE_AA);
  cv::circle(area, center, radius - std::max(1, radius / 30), cv::Scalar(235, 245, 255),
             std::max(1, radius / 15), cv::LINE_AA);
  const double sigma = std::max(0.8, radius / 45.0);
  cv::GaussianBlur(area, area, cv::Size(), sigma);
}

cv::Scalar scaled(const cv::Scalar& color, double brightness) {
  cv::Scalar result;
  for (int i = 0; i < 4; ++i) result[i] = std::min(255.0, std::round(color[i] * brightness));
  return result;
}

// Calls `visit` for the pieces of `area`, each at most one noise block.
template <typename Visit>
void forEachBlock(const cv::Rect& area, Visit visit) {
  for (int y = area.y; y < area.y + area.height; y += noiseBlock)
    for (int x = area.x; x < area.x + area.width; x += noiseBlock)
      visit(cv::Rect(x, y, std::min(noiseBlock, area.x + area.width - x),
                     std::min(noiseBlock, area.y + area.height - y)));
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
  size_ = size;
  brightness_ = brightness;

  // Gain amplifies the sensor's noise along with the light.
  const int level = std::clamp(static_cast<int>(std::lround(noiseLevel * std::sqrt(brightness))), 1, 60);
  noise_.create(2 * noiseBlock, 2 * noiseBlock, CV_8UC3);
  cv::RNG noiseRng(0xa11ce);
  noiseRng.fill(noise_, cv::RNG::UNIFORM, cv::Scalar::all(0), cv::Scalar::all(level + 1));
  cv::add(noise_, scaled(fieldColor, brightness), noisyBackground_);

  const cv::Point center =
      cv::Point(size.width / 2, size.height / 2) + cv::Point(size.width * 9 / 100, -size.height * 7 / 100);
  const int radius = std::max(4, std::min(size.width, size.height) * 10 / 100);
  const int reach = radius + radius / 4 + 4;
  ringAt_ = center - cv::Point(reach, reach);
  ring_.create(2 * reach, 2 * reach, CV_8UC3);
  ring_.setTo(fieldColor);
  drawStarRing(ring_, center - ringAt_, radius);
  if (brightness != 1.0) ring_.convertTo(ring_, CV_8U, brightness);

  // Faint stars spread over the field and the margin the drift uncovers.
  const int margin = driftAmplitude(size);
  cv::RNG starRng(0x5eed);
  const int count = std::max(8, static_cast<int>(static_cast<double>(size.area()) / 60000.0));
  stars_.clear();
  for (int i = 0; i < count; ++i) {
    const cv::Point at(starRng.uniform(-margin, size.width + margin),
                       starRng.uniform(-margin, size.height + margin));
    const int starLevel = starRng.uniform(40, 140);
    const int starRadius = starRng.uniform(0, 2);
    stars_.push_back({at, starRadius, scaled(cv::Scalar(starLevel, starLevel, starLevel + 10), brightness)});
  }
}

void SimulatedPicture::render(cv::Size size, std::int64_t frameIndex, double brightness, cv::Mat& frame) {
  prepare(size, brightness);
  if (frame.size() != size || frame.type() != CV_8UC3 || !frame.isContinuous())
    frame = cv::Mat(size, CV_8UC3);

  // The field moves against the frame as the mount drifts.
  const cv::Point shift = -drift(size, frameIndex);
  // A different window of the noise tile each frame, so the noise flickers.
  const auto mix = static_cast<std::uint64_t>(frameIndex) * 0x9E3779B97F4A7C15ULL;
  const cv::Point noiseAt(static_cast<int>((mix >> 20) % noiseBlock),
                          static_cast<int>((mix >> 40) % noiseBlock));

  forEachBlock(cv::Rect(cv::Point(), size), [&](const cv::Rect& block) {
    noisyBackground_(cv::Rect(noiseAt, block.size())).copyTo(frame(block));
  });
  for (const Star& star : stars_)
    cv::circle(frame, star.at + shift, star.radius, star.color, cv::FILLED, cv::LINE_AA);
  const cv::Rect ringInFrame = cv::Rect(ringAt_ + shift, ring_.size()) & cv::Rect(cv::Point(), size);
  forEachBlock(ringInFrame, [&](const cv::Rect& block) {
    cv::add(ring_(block - (ringAt_ + shift)), noise_(cv::Rect(noiseAt, block.size())), frame(block));
  });
}
