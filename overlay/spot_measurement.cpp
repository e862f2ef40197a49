#include "overlay/spot_measurement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

namespace {

// The search sample has about this many pixels along its longer side: at
// 4000 x 3000 it reads every fourth pixel of every fourth row, which keeps
// the search to a small part of a pass.
constexpr int searchSide = 1000;
// A spot stands out when its smoothed peak lies this many grey levels above
// the background, and this many noise deviations: a noise-only frame's
// highest smoothed value stays well below that.
constexpr double minContrast = 16.0;
constexpr double noiseDeviations = 5.0;
// Pixels of the neighbourhood count towards the spot from this many noise
// deviations (and at least this many grey levels) above its background.
constexpr double weightDeviations = 3.0;
constexpr double minWeightLevel = 2.0;
// A neighbourhood longer than this is measured on every n-th pixel, so a
// huge defocused disc costs no more than a compact spot.
constexpr int measureSide = 320;
// A spot found is followed in its neighbourhood for this many passes; then
// the whole frame is searched again, so a brighter spot elsewhere is found
// within a fraction of a second.
constexpr int passesBetweenSearches = 7;
// While nothing stands out, the whole frame is searched on every fourth
// pass: a spot coming into view is found within a tenth of a second.
constexpr int passesBetweenSearchesWhileLost = 3;
// A single hot pixel is no spot; the next brightest place is tried instead.
constexpr int minSpotPixels = 3;
constexpr int peakTries = 3;
// Radii are binned this finely for the half-flux diameter.
constexpr double radiusBin = 0.05;

struct Background {
  double level = 0.0;
  double deviation = 0.0;  // robust standard deviation of the noise
};

inline std::uint8_t brightest(const std::uint8_t* pixel, int channels) {
  if (channels == 1) return pixel[0];
  return std::max({pixel[0], pixel[1], pixel[2]});  // a fourth channel is alpha
}

// Every `step`-th pixel of every `step`-th row, as its brightest channel.
void sampleBrightness(const cv::Mat& image, int step, cv::Mat& out) {
  const int rows = (image.rows + step - 1) / step;
  const int cols = (image.cols + step - 1) / step;
  const int channels = image.channels();
  out.create(rows, cols, CV_8U);
  cv::parallel_for_(cv::Range(0, rows), [&](const cv::Range& range) {
    for (int i = range.start; i < range.end; ++i) {
      const std::uint8_t* source = image.ptr<std::uint8_t>(i * step);
      std::uint8_t* target = out.ptr<std::uint8_t>(i);
      const int pixelStride = step * channels;
      for (int j = 0; j < cols; ++j) target[j] = brightest(source + j * pixelStride, channels);
    }
  });
}

// Median and median absolute deviation from a histogram: robust against the
// spot itself and against a few stars.
Background backgroundOf(const cv::Mat& sample) {
  std::array<std::int64_t, 256> counts{};
  for (int i = 0; i < sample.rows; ++i) {
    const std::uint8_t* row = sample.ptr<std::uint8_t>(i);
    for (int j = 0; j < sample.cols; ++j) ++counts[row[j]];
  }
  const std::int64_t half = (sample.total() + 1) / 2;
  int median = 0;
  for (std::int64_t seen = 0; median < 255; ++median) {
    seen += counts[median];
    if (seen >= half) break;
  }
  int deviation = 0;
  for (std::int64_t seen = counts[median]; seen < half && deviation < 255;) {
    ++deviation;
    if (median + deviation < 256) seen += counts[median + deviation];
    if (median - deviation >= 0) seen += counts[median - deviation];
  }
  // 1.4826 turns the absolute deviation of Gaussian noise into its standard deviation.
  return {static_cast<double>(median), 1.4826 * deviation};
}

double borderMedian(const cv::Mat& image) {
  std::vector<float> border;
  border.reserve(2 * (image.rows + image.cols));
  for (int j = 0; j < image.cols; ++j) {
    border.push_back(image.at<float>(0, j));
    border.push_back(image.at<float>(image.rows - 1, j));
  }
  for (int i = 1; i + 1 < image.rows; ++i) {
    border.push_back(image.at<float>(i, 0));
    border.push_back(image.at<float>(i, image.cols - 1));
  }
  const auto middle = border.begin() + static_cast<std::ptrdiff_t>(border.size() / 2);
  std::nth_element(border.begin(), middle, border.end());
  return *middle;
}

// Diameter of the circle around (cx, cy) holding half the weight. A pixel's
// light is spread evenly over the radii within half a pixel of its centre,
// as its area covers them; light at a few discrete radii alone would make
// the diameter of a small spot jump with its sub-pixel position.
double halfFluxDiameter(const cv::Mat& weights, double cx, double cy, double total) {
  const double farX = std::max(cx, weights.cols - 1 - cx);
  const double farY = std::max(cy, weights.rows - 1 - cy);
  const std::size_t bins = static_cast<std::size_t>((std::hypot(farX, farY) + 0.5) / radiusBin) + 2;
  // Changes of light per bin: each pixel adds its share from its first bin
  // and takes it away after its last.
  std::vector<double> change(bins + 1, 0.0);
  for (int i = 0; i < weights.rows; ++i) {
    const float* row = weights.ptr<float>(i);
    for (int j = 0; j < weights.cols; ++j) {
      if (row[j] <= 0.0f) continue;
      const double dx = j - cx;
      const double dy = i - cy;
      const double r = std::sqrt(dx * dx + dy * dy);
      const auto first = static_cast<std::size_t>(std::max(0.0, r - 0.5) / radiusBin);
      const auto last = static_cast<std::size_t>((r + 0.5) / radiusBin);
      const double share = row[j] / static_cast<double>(last - first + 1);
      change[first] += share;
      change[last + 1] -= share;
    }
  }
  double perBin = 0.0;
  double enclosed = 0.0;
  for (std::size_t bin = 0; bin < bins; ++bin) {
    perBin += change[bin];
    if (perBin > 0.0 && enclosed + perBin >= total / 2.0)
      return 2.0 * radiusBin * (static_cast<double>(bin) + (total / 2.0 - enclosed) / perBin);
    enclosed += perBin;
  }
  return 2.0 * radiusBin * static_cast<double>(bins);
}

bool isMeasurable(const cv::Mat& frame) {
  return !frame.empty() && frame.dims == 2 && frame.depth() == CV_8U &&
         (frame.channels() == 1 || frame.channels() == 3 || frame.channels() == 4);
}

// The brightness of `area`, on every n-th pixel when the area is large.
void takeArea(const cv::Mat& frame, const cv::Rect& area, SpotSample::Area& out) {
  out.area = area;
  out.step = std::max(1, (std::max(area.width, area.height) + measureSide - 1) / measureSide);
  sampleBrightness(frame(area), out.step, out.brightness);
}

// The spot within a sampled area, when it stands `detection` above the local background.
std::optional<SpotMeasurement> measureArea(const SpotSample::Area& sampled, double noiseDeviation,
                                           double detection) {
  cv::Mat brightness;
  sampled.brightness.convertTo(brightness, CV_32F);
  if (brightness.rows < 3 || brightness.cols < 3) return std::nullopt;

  // The border of the neighbourhood lies off the spot: its median is the
  // local background, which may differ from the frame's (vignetting, glow).
  const double background = borderMedian(brightness);
  const double floor = background + std::max(weightDeviations * noiseDeviation, minWeightLevel);
  const cv::Mat unlit = brightness <= floor;
  // The light above the background gives the half-flux diameter; the light
  // above the noise floor gives the centroid, so pixels that only noise lifts
  // over the floor weigh next to nothing and cannot pull the centroid about.
  cv::Mat light = brightness - background;
  light.setTo(0.0f, unlit);
  cv::Mat weights = brightness - floor;
  weights.setTo(0.0f, unlit);
  double peak = 0.0;
  cv::minMaxLoc(light, nullptr, &peak);
  if (peak < detection || cv::countNonZero(weights) < minSpotPixels) return std::nullopt;

  const cv::Moments moments = cv::moments(weights, false);
  if (moments.m00 <= 0.0) return std::nullopt;
  const double cx = moments.m10 / moments.m00;
  const double cy = moments.m01 / moments.m00;

  cv::Mat laplacian;
  cv::Laplacian(brightness, laplacian, CV_32F);
  cv::Scalar mean;
  cv::Scalar deviation;
  cv::meanStdDev(laplacian, mean, deviation);

  const int step = sampled.step;
  SpotMeasurement spot;
  spot.x = sampled.area.x + cx * step;
  spot.y = sampled.area.y + cy * step;
  spot.halfFluxDiameter = halfFluxDiameter(light, cx, cy, cv::sum(light)[0]) * step;
  spot.sharpness = deviation[0] * deviation[0];
  return spot;
}

// The frame area around `region` of the search sample, with a margin wide enough for the spot's faint wings
// and for a local background beyond them.
cv::Rect neighbourhoodOf(const cv::Rect& region, int step, cv::Size frameSize) {
  const cv::Rect inFrame(region.x * step, region.y * step, region.width * step, region.height * step);
  const int margin = std::max(inFrame.width, inFrame.height) / 2 + 2 * step + 4;
  const cv::Rect grown(inFrame.x - margin, inFrame.y - margin, inFrame.width + 2 * margin,
                       inFrame.height + 2 * margin);
  return grown & cv::Rect(cv::Point(0, 0), frameSize);
}

// The neighbourhood followed, moved to keep the spot in its middle.
cv::Rect recentred(const cv::Rect& area, const SpotMeasurement& spot, cv::Size frameSize) {
  const cv::Point center(cvRound(spot.x), cvRound(spot.y));
  return cv::Rect(center - cv::Point(area.width / 2, area.height / 2), area.size()) &
         cv::Rect(cv::Point(), frameSize);
}

}  // namespace

std::optional<SpotMeasurement> measureSpot(const cv::Mat& frame) {
  SpotMeter meter;
  return meter.measure(frame);
}

std::optional<SpotMeasurement> SpotMeter::measure(const cv::Mat& frame) {
  // At most three rounds: the neighbourhood followed, a search when the spot
  // has left it, and the places that search found.
  constexpr int maxRounds = 3;
  SpotSample sample;
  std::optional<SpotMeasurement> spot;
  for (int round = 0; round < maxRounds; ++round) {
    take(frame, sample);
    if (auto measured = measureSample(sample)) spot = measured;
    if (!moreOnThisFrame_) break;
  }
  return spot;
}

void SpotMeter::take(const cv::Mat& frame, SpotSample& sample) const {
  sample.frameSize = isMeasurable(frame) ? frame.size() : cv::Size();
  sample.areaCount = 0;
  sample.searchStep = 0;
  if (sample.frameSize.empty()) return;

  const bool sameSize = frame.size() == frameSize_;
  if (sameSize) {
    if (sample.areas.size() < areas_.size()) sample.areas.resize(areas_.size());
    for (const cv::Rect& area : areas_) takeArea(frame, area, sample.areas[sample.areaCount++]);
  }
  const int searchEvery = areas_.empty() ? passesBetweenSearchesWhileLost : passesBetweenSearches;
  if (!sameSize || searchNow_ || passesSinceSearch_ >= searchEvery) {
    sample.searchStep = std::max(1, (std::max(frame.cols, frame.rows) + searchSide - 1) / searchSide);
    sampleBrightness(frame, sample.searchStep, sample.search);
  }
}

std::optional<SpotMeasurement> SpotMeter::measureSample(const SpotSample& sample) {
  moreOnThisFrame_ = false;
  if (sample.frameSize.empty()) return std::nullopt;
  if (sample.frameSize != frameSize_) {
    // Another camera format: nothing followed so far applies.
    frameSize_ = sample.frameSize;
    areas_.clear();
    searchNow_ = true;
  }

  std::optional<SpotMeasurement> spot;
  for (std::size_t i = 0; i < sample.areaCount && !spot; ++i)
    if ((spot = measureArea(sample.areas[i], noiseDeviation_, detection_)))
      areas_ = {recentred(sample.areas[i].area, *spot, frameSize_)};
  if (!spot && sample.areaCount > 0) {
    // A spot gone from its neighbourhood is searched for at once rather
    // than reported where it no longer is. Places a search found that prove
    // no spot (a hot pixel) wait for the next search in turn.
    searchNow_ = following_;
    areas_.clear();
  }
  following_ = spot.has_value();
  if (sample.searchStep == 0) {
    ++passesSinceSearch_;
    moreOnThisFrame_ = searchNow_;
    return spot;
  }

  passesSinceSearch_ = 0;
  searchNow_ = false;
  const Background background = backgroundOf(sample.search);
  const double detection = std::max(minContrast, noiseDeviations * background.deviation);
  const std::vector<cv::Rect> found = searchSample(sample, background.level, detection);
  if (found.empty()) {
    if (!spot) areas_.clear();
    return spot;
  }
  noiseDeviation_ = background.deviation;
  detection_ = detection;
  // A spot followed and still the brightest is followed on; anything else
  // makes the places found the ones to measure.
  if (spot && found.front().contains(cv::Point(cvRound(spot->x), cvRound(spot->y)))) return spot;
  areas_ = found;
  moreOnThisFrame_ = true;
  return spot;
}

std::vector<cv::Rect> SpotMeter::searchSample(const SpotSample& sample, double backgroundLevel,
                                              double detection) {
  std::vector<cv::Rect> found;
  // Smoothing keeps a lone noisy sample from passing for a spot.
  cv::blur(sample.search, smooth_, cv::Size(3, 3));
  for (int attempt = 0; attempt < peakTries; ++attempt) {
    double peak = 0.0;
    cv::Point at;
    cv::minMaxLoc(smooth_, nullptr, &peak, nullptr, &at);
    if (peak - backgroundLevel < detection) break;

    // The bright region around the peak; widened a little so a ring broken
    // by gaps (support vanes, dust) is still one region.
    const double level = backgroundLevel + std::max(detection / 2.0, 0.2 * (peak - backgroundLevel));
    cv::threshold(smooth_, region_, level, 255, cv::THRESH_BINARY);
    cv::dilate(region_, region_, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(5, 5)));
    cv::Rect bounds;
    cv::floodFill(region_, at, cv::Scalar(128), &bounds, cv::Scalar(), cv::Scalar(), 8);
    found.push_back(neighbourhoodOf(bounds, sample.searchStep, sample.frameSize));
    // It may prove no spot (a hot pixel): the next brightest place is the next to try.
    smooth_(bounds).setTo(cv::Scalar(0));
  }
  return found;
}
