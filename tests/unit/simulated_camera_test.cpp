#include "camera/simulated_camera.h"

#include <gtest/gtest.h>
#include <linux/videodev2.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

namespace {

SimulatedCameraOptions unpaced() {
  SimulatedCameraOptions options;
  options.pacing = false;
  return options;
}

// A camera opened at a small size, so tests stay quick.
void openSmall(SimulatedCamera& camera, int width = 320, int height = 240) {
  ASSERT_TRUE(camera.open());
  ASSERT_TRUE(camera.set(cv::CAP_PROP_FRAME_WIDTH, width));
  ASSERT_TRUE(camera.set(cv::CAP_PROP_FRAME_HEIGHT, height));
}

class TempDirectory {
 public:
  TempDirectory()
      : path_(std::filesystem::temp_directory_path() / ("varnix-sim-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~TempDirectory() { std::filesystem::remove_all(path_); }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace

TEST(SimulatedCamera, DeliversItsDefaultSizeAndHonoursSizeRequests) {
  SimulatedCamera camera(unpaced());
  ASSERT_TRUE(camera.open());
  cv::Mat frame;
  ASSERT_TRUE(camera.read(frame));
  EXPECT_EQ(frame.size(), cv::Size(4000, 3000));
  EXPECT_EQ(frame.type(), CV_8UC3);
  EXPECT_TRUE(frame.isContinuous());

  EXPECT_TRUE(camera.set(cv::CAP_PROP_FRAME_WIDTH, 3264));
  EXPECT_TRUE(camera.set(cv::CAP_PROP_FRAME_HEIGHT, 2448));
  EXPECT_TRUE(camera.set(cv::CAP_PROP_FOURCC, cv::VideoWriter::fourcc('M', 'J', 'P', 'G')));
  ASSERT_TRUE(camera.read(frame));
  EXPECT_EQ(frame.size(), cv::Size(3264, 2448));

  // Sizes no camera has, and formats it does not offer, are refused and change nothing.
  for (const double side : {0.0, -640.0, 1e6, std::nan("")}) {
    EXPECT_FALSE(camera.set(cv::CAP_PROP_FRAME_WIDTH, side)) << side;
    EXPECT_FALSE(camera.set(cv::CAP_PROP_FRAME_HEIGHT, side)) << side;
  }
  EXPECT_FALSE(camera.set(cv::CAP_PROP_FOURCC, cv::VideoWriter::fourcc('H', '2', '6', '4')));
  ASSERT_TRUE(camera.read(frame));
  EXPECT_EQ(frame.size(), cv::Size(3264, 2448));

  // Reopened, it starts from its defaults again; closed, it takes no settings.
  ASSERT_TRUE(camera.open());
  ASSERT_TRUE(camera.read(frame));
  EXPECT_EQ(frame.size(), cv::Size(4000, 3000));
  camera.release();
  EXPECT_FALSE(camera.set(cv::CAP_PROP_FRAME_WIDTH, 640));
}

TEST(SimulatedCamera, ShowsABrightRingOffCentreOnADarkNoisyDriftingField) {
  SimulatedCamera camera(unpaced());
  openSmall(camera, 800, 600);
  cv::Mat first;
  cv::Mat second;
  ASSERT_TRUE(camera.read(first));
  ASSERT_TRUE(camera.read(second));

  cv::Mat grey;
  cv::cvtColor(first, grey, cv::COLOR_BGR2GRAY);
  EXPECT_LT(cv::mean(grey)[0], 40.0);  // mostly dark
  double brightest = 0;
  cv::minMaxLoc(grey, nullptr, &brightest);
  EXPECT_GT(brightest, 200.0);
  // The ring: bright pixels, centred away from the frame centre, which stays dark.
  const cv::Moments bright = cv::moments(grey > 180, true);
  ASSERT_GT(bright.m00, 100.0);
  const cv::Point2d ringCenter(bright.m10 / bright.m00, bright.m01 / bright.m00);
  EXPECT_GT(cv::norm(ringCenter - cv::Point2d(400, 300)), 30.0);
  EXPECT_LT(cv::norm(ringCenter - cv::Point2d(400, 300)), 150.0);
  EXPECT_LT(cv::mean(grey(cv::Rect(390, 290, 20, 20)))[0], 40.0);

  // Consecutive frames differ by mild noise only.
  cv::Mat difference;
  cv::absdiff(first, second, difference);
  const double meanDifference = cv::mean(difference)[0];
  EXPECT_GT(meanDifference, 0.5);
  EXPECT_LT(meanDifference, 12.0);
}

// Frames are made ahead on another thread in the caller's last buffer: the
// sequence must be the same as made one by one, and pixels the caller still
// holds elsewhere must never be written.
TEST(SimulatedCamera, FramesMadeAheadComeInOrderAndNeverOverwriteAHeldFrame) {
  SimulatedCamera camera(unpaced());
  openSmall(camera, 320, 240);
  SimulatedPicture reference;
  cv::Mat expected;
  cv::Mat frame;
  const uchar* reusedPixels = nullptr;
  for (std::int64_t index = 0; index < 6; ++index) {
    ASSERT_TRUE(camera.read(frame)) << index;
    reference.render(cv::Size(320, 240), index, 1.0, expected);
    EXPECT_EQ(cv::norm(frame, expected, cv::NORM_INF), 0.0) << index;
    if (index == 2) reusedPixels = frame.data;
    if (index == 4) {
      EXPECT_EQ(frame.data, reusedPixels);  // buffers go round, none is allocated per frame
    }
  }

  const cv::Mat held = frame;  // as a caller keeping the last frame would
  const cv::Mat snapshot = held.clone();
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(camera.read(frame));
  EXPECT_NE(frame.data, held.data);
  EXPECT_EQ(cv::norm(held, snapshot, cv::NORM_INF), 0.0);
}

TEST(SimulatedPicture, DriftsSlowlyWithinItsMargin) {
  const cv::Size size(4000, 3000);
  cv::Point previous = SimulatedPicture::drift(size, 0);
  int largest = 0;
  for (std::int64_t frame = 1; frame < 3000; ++frame) {
    const cv::Point offset = SimulatedPicture::drift(size, frame);
    EXPECT_LE(std::abs(offset.x - previous.x) + std::abs(offset.y - previous.y), 2) << frame;
    largest = std::max({largest, std::abs(offset.x), std::abs(offset.y)});
    previous = offset;
  }
  EXPECT_GT(largest, 5);
  EXPECT_LT(largest, 4000 / 100);
}

TEST(SimulatedCamera, PacesReadsAtItsFrameRate) {
  SimulatedCamera camera;  // pacing on, 30 frames per second
  openSmall(camera, 160, 120);
  cv::Mat frame;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(camera.read(frame));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  // Nine frame intervals of 33 ms; loose, as the machine may be busy.
  EXPECT_GE(elapsed, std::chrono::milliseconds(250));
}

TEST(SimulatedCamera, FailsLikeAnUnpluggedCameraAndWorksAgainWhenReopened) {
  SimulatedCameraOptions options = unpaced();
  options.failAfterFrames = 3;
  SimulatedCamera camera(options);
  openSmall(camera);
  cv::Mat frame;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(camera.read(frame)) << i;
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(camera.read(frame));
    EXPECT_TRUE(frame.empty());
    EXPECT_TRUE(camera.isOpened());
  }
  camera.release();
  EXPECT_FALSE(camera.read(frame));
  EXPECT_EQ(camera.controls(), nullptr);

  ASSERT_TRUE(camera.open());
  EXPECT_TRUE(camera.read(frame));
  EXPECT_FALSE(frame.empty());
}

TEST(SimulatedCamera, CanRefuseToOpen) {
  SimulatedCameraOptions options = unpaced();
  options.refuseOpen = true;
  SimulatedCamera camera(options);
  EXPECT_FALSE(camera.open());
  EXPECT_FALSE(camera.isOpened());
  cv::Mat frame(2, 2, CV_8UC3);
  EXPECT_FALSE(camera.read(frame));
  EXPECT_TRUE(frame.empty());
}

TEST(SimulatedCamera, ExposureAndGainChangeThePicture) {
  SimulatedCamera camera(unpaced());
  openSmall(camera);
  ASSERT_NE(camera.controls(), nullptr);
  const auto brightnessNow = [&camera] {
    cv::Mat frame;
    EXPECT_TRUE(camera.read(frame));
    return cv::mean(frame)[0];
  };
  const double normal = brightnessNow();

  CameraControls& controls = *camera.controls();
  const auto list = controls.queryControls();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].id, static_cast<std::uint32_t>(V4L2_CID_EXPOSURE_ABSOLUTE));
  EXPECT_EQ(list[1].id, static_cast<std::uint32_t>(V4L2_CID_GAIN));

  EXPECT_TRUE(controls.setControl(V4L2_CID_GAIN, 100));
  EXPECT_GT(brightnessNow(), 3.0 * normal);
  EXPECT_EQ(controls.queryControls()[1].value, 100);

  EXPECT_TRUE(controls.setControl(V4L2_CID_GAIN, 0));
  EXPECT_TRUE(controls.setControl(V4L2_CID_EXPOSURE_ABSOLUTE, 10));
  EXPECT_LT(brightnessNow(), normal / 3.0);

  // The capture property reaches the same control; out-of-range values change nothing.
  EXPECT_TRUE(camera.set(cv::CAP_PROP_EXPOSURE, 333));
  EXPECT_FALSE(controls.setControl(V4L2_CID_GAIN, 101));
  EXPECT_FALSE(controls.setControl(V4L2_CID_BRIGHTNESS, 1));
  EXPECT_NEAR(brightnessNow(), normal, normal * 0.1);
}

TEST(SimulatedCamera, ReadsAStillImageSourceResizedToTheRequestedSize) {
  TempDirectory directory;
  cv::Mat picture(90, 120, CV_8UC3, cv::Scalar(10, 200, 30));
  cv::rectangle(picture, cv::Rect(10, 10, 20, 20), cv::Scalar(255, 255, 255), cv::FILLED);
  ASSERT_TRUE(cv::imwrite(directory.file("picture.png"), picture));

  SimulatedCameraOptions options = unpaced();
  options.sourcePath = directory.file("picture.png");
  SimulatedCamera camera(options);
  ASSERT_TRUE(camera.open());
  cv::Mat frame;
  ASSERT_TRUE(camera.read(frame));
  EXPECT_EQ(cv::norm(frame, picture, cv::NORM_INF), 0.0);

  // The caller draws into its frame; the next frame is the picture again.
  frame.setTo(cv::Scalar::all(0));
  ASSERT_TRUE(camera.read(frame));
  EXPECT_EQ(cv::norm(frame, picture, cv::NORM_INF), 0.0);

  ASSERT_TRUE(camera.set(cv::CAP_PROP_FRAME_WIDTH, 240));
  ASSERT_TRUE(camera.set(cv::CAP_PROP_FRAME_HEIGHT, 180));
  ASSERT_TRUE(camera.read(frame));
  EXPECT_EQ(frame.size(), cv::Size(240, 180));
  EXPECT_EQ(frame.at<cv::Vec3b>(150, 200), cv::Vec3b(10, 200, 30));
}

TEST(SimulatedCamera, AnUnreadableSourceMakesOpenFail) {
  TempDirectory directory;
  std::ofstream(directory.file("notes.png")) << "not an image";
  std::ofstream(directory.file("notes.txt")) << "not a video either";
  for (const std::string& path :
       {directory.file("missing.png"), directory.file("notes.png"), directory.file("notes.txt")}) {
    SimulatedCameraOptions options = unpaced();
    options.sourcePath = path;
    SimulatedCamera camera(options);
    EXPECT_FALSE(camera.open()) << path;
    EXPECT_FALSE(camera.isOpened()) << path;
  }
}

TEST(SimulatedCamera, PlaysAVideoSourceInALoop) {
  TempDirectory directory;
  const std::string path = directory.file("clip.avi");
  const cv::Scalar colours[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  {
    cv::VideoWriter writer(path, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 10.0, cv::Size(64, 48));
    if (!writer.isOpened()) GTEST_SKIP() << "no motion-JPEG writer in this OpenCV";
    for (const auto& colour : colours) writer.write(cv::Mat(48, 64, CV_8UC3, colour));
  }

  SimulatedCameraOptions options = unpaced();
  options.sourcePath = path;
  SimulatedCamera camera(options);
  ASSERT_TRUE(camera.open());
  cv::Mat frame;
  for (int i = 0; i < 7; ++i) {
    ASSERT_TRUE(camera.read(frame)) << i;
    ASSERT_EQ(frame.size(), cv::Size(64, 48));
    const cv::Scalar mean = cv::mean(frame);
    const cv::Scalar& expected = colours[i % 3];
    for (int channel = 0; channel < 3; ++channel) EXPECT_NEAR(mean[channel], expected[channel], 20.0) << i;
  }
}

TEST(SimulationEnvironment, AppliesWellFormedKnobsOnly) {
  struct Case {
    const char* failAfter;
    const char* refuseOpen;
    const char* noPacing;
    std::optional<std::int64_t> expectedFailAfter;
    bool expectedRefuseOpen;
    bool expectedPacing;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, std::nullopt, false, true},
      {"5", "1", "1", 5, true, false},
      {"0", "0", "0", 0, false, true},
      {"abc", "yes", "", std::nullopt, false, true},
      {"-3", "2x", " 1", std::nullopt, false, true},
  };
  const auto put = [](const char* name, const char* value) {
    if (value == nullptr)
      ::unsetenv(name);
    else
      ::setenv(name, value, 1);
  };
  for (const auto& c : cases) {
    put("VARNIX_SIM_FAIL_AFTER", c.failAfter);
    put("VARNIX_SIM_REFUSE_OPEN", c.refuseOpen);
    put("VARNIX_SIM_NO_PACING", c.noPacing);
    const SimulatedCameraOptions options = applySimulationEnvironment({});
    EXPECT_EQ(options.failAfterFrames, c.expectedFailAfter) << (c.failAfter ? c.failAfter : "unset");
    EXPECT_EQ(options.refuseOpen, c.expectedRefuseOpen);
    EXPECT_EQ(options.pacing, c.expectedPacing);
  }
  for (const char* name : {"VARNIX_SIM_FAIL_AFTER", "VARNIX_SIM_REFUSE_OPEN", "VARNIX_SIM_NO_PACING"})
    ::unsetenv(name);
}
