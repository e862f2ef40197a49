#include "overlay/spot_measurement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <optional>
#include <string>

#include "overlay/spot_meter_thread.h"

namespace {

constexpr int frameWidth = 2000;
constexpr int frameHeight = 1500;
constexpr double backgroundLevel = 20.0;

// Brightness over the distance from the centre.
using Profile = std::function<double(double)>;

Profile gaussian(double amplitude, double sigma) {
  return [=](double r) { return amplitude * std::exp(-r * r / (2.0 * sigma * sigma)); };
}

// A defocused disc: flat, with a soft edge.
Profile disc(double amplitude, double radius) {
  return [=](double r) { return amplitude / (1.0 + std::exp((r - radius) / 1.5)); };
}

Profile ring(double amplitude, double radius, double width) {
  return [=](double r) { return amplitude * std::exp(-(r - radius) * (r - radius) / (2.0 * width * width)); };
}

// Adds `profile` around (cx, cy), pixel centres at whole numbers, into every
// channel of `frame` whose mask entry is set; values above 255 saturate.
void addLight(cv::Mat& frame, double cx, double cy, double reach, const Profile& profile,
              cv::Vec3b channels = {1, 1, 1}) {
  const int top = std::max(0, static_cast<int>(cy - reach));
  const int bottom = std::min(frame.rows - 1, static_cast<int>(cy + reach) + 1);
  const int left = std::max(0, static_cast<int>(cx - reach));
  const int right = std::min(frame.cols - 1, static_cast<int>(cx + reach) + 1);
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) {
      const double light = profile(std::hypot(x - cx, y - cy));
      cv::Vec3b& pixel = frame.at<cv::Vec3b>(y, x);
      for (int c = 0; c < 3; ++c)
        if (channels[c] != 0) pixel[c] = cv::saturate_cast<uchar>(pixel[c] + light);
    }
}

cv::Mat darkFrame() {
  return cv::Mat(frameHeight, frameWidth, CV_8UC3, cv::Scalar::all(backgroundLevel));
}

cv::Mat noisyFrame(double deviation) {
  cv::Mat frame(frameHeight, frameWidth, CV_8UC3);
  cv::theRNG().state = 14;
  cv::randn(frame, cv::Scalar::all(backgroundLevel * 2), cv::Scalar::all(deviation));
  return frame;
}

// Frame `index` of a spot moving up and to the right, and where its centre is.
struct MovingSpot {
  cv::Mat frame;
  double x;
  double y;
};

MovingSpot movingSpot(int index) {
  MovingSpot moving{darkFrame(), 700.3 + 3.5 * index, 500.6 - 2.25 * index};
  addLight(moving.frame, moving.x, moving.y, 20, gaussian(120, 2.5));
  return moving;
}

void expectSpotAt(const cv::Mat& frame, double x, double y, double tolerance = 0.05) {
  const auto spot = measureSpot(frame);
  ASSERT_TRUE(spot.has_value());
  EXPECT_NEAR(spot->x, x, tolerance);
  EXPECT_NEAR(spot->y, y, tolerance);
}

}  // namespace

// Tolerances are a tenth of the half-pixel error the overlay user would see.
TEST(SpotMeasurement, FindsTheCentroidOfSpotsAndRingsToATenthOfAPixel) {
  struct Case {
    std::string name;
    double cx;
    double cy;
    double reach;
    Profile profile;
    double hfd;  // expected half-flux diameter
    double hfdTolerance;
  };
  const double sigma = 2.5;
  const Case cases[] = {
      {"gaussian at a quarter", 1000.25, 700.75, 20, gaussian(180, sigma), 2.3548 * sigma, 0.5},
      {"gaussian at a half", 1000.5, 700.5, 20, gaussian(180, sigma), 2.3548 * sigma, 0.5},
      {"gaussian at a tenth", 1234.1, 321.9, 20, gaussian(180, sigma), 2.3548 * sigma, 0.5},
      {"wide gaussian", 600.7, 1100.2, 40, gaussian(120, 6.0), 2.3548 * 6.0, 0.8},
      {"saturated spot", 640.3, 480.6, 40, gaussian(2000, 4.0), -1, 0},
      {"ring", 900.25, 600.5, 110, ring(150, 80.0, 2.0), 160.0, 3.0},
      // Wider than the measured neighbourhood's limit: measured on every other pixel.
      {"large disc", 1000.3, 750.6, 630, disc(100, 600.0), 2.0 * 600.0 / std::sqrt(2.0), 5.0},
      {"spot at the top-left edge", 6.4, 7.6, 20, gaussian(180, 2.0), 2.3548 * 2.0, 0.5},
      {"spot at the bottom-right edge", 1993.6, 1492.3, 20, gaussian(180, 2.0), 2.3548 * 2.0, 0.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cv::Mat frame = darkFrame();
    addLight(frame, c.cx, c.cy, c.reach, c.profile);
    const auto spot = measureSpot(frame);
    ASSERT_TRUE(spot.has_value());
    EXPECT_NEAR(spot->x, c.cx, 0.05);
    EXPECT_NEAR(spot->y, c.cy, 0.05);
    if (c.hfd > 0) {
      EXPECT_NEAR(spot->halfFluxDiameter, c.hfd, c.hfdTolerance);
    }
  }
}

TEST(SpotMeasurement, SaysNothingStandsOutOnAnEmptyOrNoisyFrame) {
  struct Case {
    std::string name;
    cv::Mat frame;
  };
  cv::Mat uniform(frameHeight, frameWidth, CV_8UC3);
  cv::randu(uniform, cv::Scalar::all(0), cv::Scalar::all(256));
  const Case cases[] = {
      {"flat", darkFrame()},
      {"gaussian noise", noisyFrame(8.0)},
      {"uniform noise", uniform},
      {"black", cv::Mat(frameHeight, frameWidth, CV_8UC3, cv::Scalar::all(0))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(measureSpot(c.frame).has_value());
  }
}

// Noise lifts some of the spot's faint pixels over the floor and not others;
// at any sub-pixel position that must not move the centroid far.
TEST(SpotMeasurement, FindsASpotInNoiseToAQuarterPixel) {
  cv::RNG positions(3);
  for (int i = 0; i < 16; ++i) {
    const double x = positions.uniform(300.0, 1700.0);
    const double y = positions.uniform(300.0, 1200.0);
    SCOPED_TRACE(i);
    cv::Mat frame = noisyFrame(5.0);
    addLight(frame, x, y, 30, gaussian(120, 3.0));
    expectSpotAt(frame, x, y, 0.25);
  }
}

// An alignment laser is often pure red; a lone hot pixel brighter than the
// spot is not a spot.
TEST(SpotMeasurement, TakesTheBrightestChannelAndSkipsAHotPixel) {
  cv::Mat frame = darkFrame();
  addLight(frame, 800.4, 300.6, 20, gaussian(200, 2.5), {0, 0, 1});
  frame.at<cv::Vec3b>(1000, 1200) = cv::Vec3b(255, 255, 255);
  frame.at<cv::Vec3b>(1001, 1200) = cv::Vec3b(255, 255, 255);
  expectSpotAt(frame, 800.4, 300.6);
}

TEST(SpotMeasurement, ASharperSpotHasTheHigherSharpness) {
  cv::Mat sharp = darkFrame();
  cv::Mat soft = darkFrame();
  addLight(sharp, 1000.0, 750.0, 30, gaussian(200, 1.5));
  addLight(soft, 1000.0, 750.0, 30, gaussian(200, 4.0));
  const auto sharpSpot = measureSpot(sharp);
  const auto softSpot = measureSpot(soft);
  ASSERT_TRUE(sharpSpot && softSpot);
  EXPECT_GT(sharpSpot->sharpness, 2.0 * softSpot->sharpness);
  EXPECT_LT(sharpSpot->halfFluxDiameter, softSpot->halfFluxDiameter);
}

TEST(SpotMeasurement, MeasuresGreyFramesAndRefusesOtherTypes) {
  cv::Mat colour = darkFrame();
  addLight(colour, 300.6, 200.2, 20, gaussian(180, 2.5));
  cv::Mat grey;
  cv::extractChannel(colour, grey, 0);
  expectSpotAt(grey, 300.6, 200.2);

  cv::Mat deep;
  colour.convertTo(deep, CV_16UC3, 256);
  EXPECT_FALSE(measureSpot(deep).has_value());
  EXPECT_FALSE(measureSpot(cv::Mat()).has_value());
}

// Frame after frame, the meter follows the spot it found and still searches
// the whole frame now and then.
TEST(SpotMeter, FollowsAMovingSpotAndFindsABrighterOneWithinAFewFrames) {
  SpotMeter meter;
  for (int frameIndex = 0; frameIndex < 12; ++frameIndex) {
    SCOPED_TRACE(frameIndex);
    const MovingSpot moving = movingSpot(frameIndex);
    const auto spot = meter.measure(moving.frame);
    ASSERT_TRUE(spot.has_value());
    EXPECT_NEAR(spot->x, moving.x, 0.05);
    EXPECT_NEAR(spot->y, moving.y, 0.05);
  }

  cv::Mat twoSpots = darkFrame();
  addLight(twoSpots, 700.0, 500.0, 20, gaussian(120, 2.5));
  addLight(twoSpots, 1500.4, 1200.7, 20, gaussian(230, 2.5));
  int framesUntilFound = 0;
  for (; framesUntilFound < 10; ++framesUntilFound) {
    const auto spot = meter.measure(twoSpots);
    ASSERT_TRUE(spot.has_value());
    if (std::abs(spot->x - 1500.4) < 0.05 && std::abs(spot->y - 1200.7) < 0.05) break;
  }
  EXPECT_LT(framesUntilFound, 9);

  // Gone from its neighbourhood: the meter searches at once rather than
  // reporting a spot that is no longer there.
  EXPECT_FALSE(meter.measure(darkFrame()).has_value());
}

// The loop takes the meter's sample before it draws the overlay into the
// frame, and the spot is measured from the sample while the frame changes:
// what is drawn in between must not move the spot.
TEST(SpotMeter, MeasuresFromItsSampleAloneWhateverTheFrameBecomesAfterwards) {
  SpotMeter meter;
  SpotSample sample;
  for (int frameIndex = 0; frameIndex < 12; ++frameIndex) {
    SCOPED_TRACE(frameIndex);
    MovingSpot moving = movingSpot(frameIndex);
    cv::Mat& frame = moving.frame;
    meter.take(frame, sample);
    // An overlay drawn right over the spot, and a brighter one elsewhere.
    cv::circle(frame, cv::Point(700, 500), 30, cv::Scalar::all(255), 4, cv::LINE_AA);
    cv::circle(frame, cv::Point(1500, 1100), 10, cv::Scalar::all(255), cv::FILLED);
    const auto spot = meter.measureSample(sample);
    // The first frame is searched; the spot found is measured from the next on.
    if (frameIndex == 0) {
      EXPECT_FALSE(spot.has_value());
      continue;
    }
    ASSERT_TRUE(spot.has_value());
    EXPECT_NEAR(spot->x, moving.x, 0.05);
    EXPECT_NEAR(spot->y, moving.y, 0.05);
  }
}

// While nothing stands out, the meter searches only every few frames; a spot
// coming into view is still found within a few frames, on both ways of use.
TEST(SpotMeter, FindsASpotComingIntoViewWithinAFewFrames) {
  cv::Mat withSpot = darkFrame();
  addLight(withSpot, 1200.5, 400.25, 20, gaussian(150, 2.5));
  for (const bool split : {false, true}) {
    SCOPED_TRACE(split ? "sample, then measure" : "measure");
    SpotMeter meter;
    SpotSample sample;
    auto measure = [&](const cv::Mat& frame) {
      if (!split) return meter.measure(frame);
      meter.take(frame, sample);
      return meter.measureSample(sample);
    };
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(measure(darkFrame()).has_value());
    int framesUntilFound = 1;
    for (; framesUntilFound <= 8 && !measure(withSpot).has_value(); ++framesUntilFound) {
    }
    EXPECT_LE(framesUntilFound, split ? 5 : 4);
    const auto spot = measure(withSpot);
    ASSERT_TRUE(spot.has_value());
    EXPECT_NEAR(spot->x, 1200.5, 0.05);
  }
}

// A lone hot pixel is found by every search and proves no spot each time:
// the meter does not search the whole frame on every frame for it.
TEST(SpotMeter, AHotPixelAloneCostsNoSearchOnEveryFrame) {
  cv::Mat frame = darkFrame();
  frame.at<cv::Vec3b>(1000, 1200) = cv::Vec3b(255, 255, 255);
  SpotMeter meter;
  SpotSample sample;
  int searches = 0;
  for (int i = 0; i < 16; ++i) {
    meter.take(frame, sample);
    if (sample.searchStep > 0) ++searches;
    EXPECT_FALSE(meter.measureSample(sample).has_value());
  }
  EXPECT_LE(searches, 4);
}

// The thread measures the frame sampled last while the caller changes it,
// and hands the spot over with the next frame.
TEST(SpotMeterThread, MeasuresEachSampledFrameWhileTheCallerDrawsIntoIt) {
  SpotMeterThread meter;
  EXPECT_FALSE(meter.latest().has_value());
  std::optional<SpotMeasurement> spot;
  for (int frameIndex = 0; frameIndex < 6; ++frameIndex) {
    SCOPED_TRACE(frameIndex);
    const double x = 900.4 + 2.0 * frameIndex;
    cv::Mat frame = darkFrame();
    addLight(frame, x, 650.7, 20, gaussian(140, 2.5));
    meter.sample(frame);
    // The first frame's search finds the spot and the second measures it.
    EXPECT_EQ(meter.answered(), frameIndex >= 2);
    spot = meter.latest();  // of the frame before
    meter.measureSampled();
    frame.setTo(cv::Scalar::all(255));
    if (frameIndex >= 2) {
      ASSERT_TRUE(spot.has_value());
      EXPECT_NEAR(spot->x, x - 2.0, 0.05);
      EXPECT_NEAR(spot->y, 650.7, 0.05);
    }
  }
  // Sampling waits for the frame being measured; the meter may end while
  // one still is.
  meter.sample(darkFrame());
  ASSERT_TRUE(meter.latest().has_value());
  EXPECT_NEAR(meter.latest()->x, 910.4, 0.05);
  meter.measureSampled();
}
