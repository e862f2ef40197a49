// The whole frame loop through the user-space camera (libfakeuvc.so, loaded
// by re-running this program with LD_PRELOAD): a camera streaming motion
// JPEG at 30 frames a second, opened as the user would, with the video
// window shown on the offscreen platform. Measures how many of the camera's
// frames reach the screen and how old they are when they do.
//
//   camera_path [seconds] [WIDTHxHEIGHT]   (default 10 s, 3264x2448)

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>
#include <thread>
#include <vector>

#include "app/app_globals.h"
#include "app/varnix_dlg.h"
#include "bench/loop_run.h"
#include "camera/frame_decoder.h"
#include "camera/v4l2_capture.h"
#include "platform/simple_controls.h"
#include "res/control_ids.h"

namespace {

constexpr const char* childMark = "VARNIX_CAMERA_PATH_CHILD";

std::int64_t monotonicUs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000;
}

// What a camera sensor sends: a dim, uneven field with sensor noise and a few
// bright spots. Noise is what makes motion JPEG large and slow to decode; a
// clean synthetic picture decodes several times faster than a camera's.
std::string writeCameraLikePicture(int width, int height) {
  cv::Mat picture(height, width, CV_8UC3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.at<cv::Vec3b>(y, x) = cv::Vec3b::all(static_cast<uchar>(30 + 40 * x / width + 20 * y / height));
  cv::Mat noise(height, width, CV_8UC3);
  cv::randn(noise, cv::Scalar::all(0), cv::Scalar::all(8));
  cv::add(picture, noise, picture, cv::noArray(), CV_8UC3);
  for (int i = 1; i <= 5; ++i)
    cv::circle(picture, {width * i / 6, height * (i % 3 + 1) / 4}, height / 40, cv::Scalar::all(230),
               cv::FILLED, cv::LINE_AA);
  const std::string path = "/tmp/varnix-camera-path-" + std::to_string(::getpid()) + ".ppm";
  return cv::imwrite(path, picture) ? path : std::string();
}

// Runs this program again with the user-space camera under it.
[[noreturn]] void runOnTheUserSpaceCamera(char** argv, int width, int height) {
  const std::string picture = writeCameraLikePicture(width, height);
  if (!picture.empty()) setenv("FAKEUVC_PICTURE", picture.c_str(), 1);
  const std::string format = "MJPG " + std::to_string(width) + "x" + std::to_string(height);
  // The model whose profile asks for this very format (or sends nothing).
  const char* card = width == 4000 ? "vexa4.0" : width == 3840 ? "vexa3.5" : "vexa2";
  setenv("LD_PRELOAD", FAKEUVC_LIBRARY, 1);
  setenv("FAKEUVC_CARD", card, 1);
  setenv("FAKEUVC_FORMAT", format.c_str(), 1);
  setenv("FAKEUVC_FPS", "30", 1);
  setenv(childMark, "1", 1);
  execv("/proc/self/exe", argv);
  std::perror("camera_path: exec");
  std::exit(1);
}

// One raw frame straight from the camera, for timing a decode.
RawFrame oneRawFrame(const std::string& devicePath) {
  V4l2Stream stream;
  RawFrame raw;
  if (stream.open(devicePath) != StreamError::None || stream.start() != StreamError::None) return raw;
  for (int tries = 0; tries < 20 && stream.waitNewest(raw, 1000) != V4l2Stream::Wait::Frame; ++tries) {
  }
  return raw;
}

double singleThreadDecodeMs(const RawFrame& raw) {
  FrameDecoder decoder;
  cv::Mat bgr;
  std::vector<double> times;
  for (int i = 0; i < 9; ++i) {
    const std::int64_t start = monotonicUs();
    if (!decoder.decode(raw, bgr)) return 0.0;
    times.push_back(static_cast<double>(monotonicUs() - start) / 1000.0);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const auto at = static_cast<std::size_t>(std::lround(fraction * static_cast<double>(values.size() - 1)));
  return values[std::min(at, values.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  int width = 3264;
  int height = 2448;
  if (argc > 2 && std::sscanf(argv[2], "%dx%d", &width, &height) != 2) {
    std::fprintf(stderr, "usage: camera_path [seconds] [WIDTHxHEIGHT]\n");
    return 2;
  }
  if (std::getenv(childMark) == nullptr) runOnTheUserSpaceCamera(argv, width, height);

  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  constexpr int warmUpMs = 2000;

  QTemporaryDir folder;
  if (!folder.isValid() || !QDir::setCurrent(folder.path())) return 1;
  std::ofstream("focus.txt") << width / 2 << ' ' << height / 2;
  std::ofstream("config4k.txt") << "1000 4 700 4 400 4 1000 4 450 0 0";

  V4l2CameraSystem cameras;
  const auto devices = cameras.enumerateDevices();
  if (devices.empty()) {
    std::fprintf(stderr, "camera_path: the user-space camera did not show up\n");
    return 1;
  }
  const double decodeMs = singleThreadDecodeMs(oneRawFrame(devices.front().devicePath));
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());

  CVarnixDlg dialog(cameras);
  bool measuring = false;
  long presented = 0;
  std::vector<double> agesMs;
  FrameStamp first;
  FrameStamp last;
  cv::Size delivered;
  dialog.afterPass = [&] {
    if (!measuring || currentFrame.empty()) return;
    const auto* capture = dynamic_cast<const V4l2Capture*>(dialog.capture.get());
    if (capture == nullptr) return;
    const FrameStamp stamp = capture->lastFrameStamp();
    if (presented == 0) first = stamp;
    last = stamp;
    delivered = currentFrame.size();
    ++presented;
    agesMs.push_back(static_cast<double>(monotonicUs() - stamp.timestampUs) / 1000.0);
  };

  const double elapsedSeconds = runMeasuredStretch(
      dialog, warmUpMs, seconds,
      {.afterTicking = nullptr, .atStart = [&] { measuring = true; }, .atEnd = [&] { measuring = false; }});
  if (const char* picture = std::getenv("FAKEUVC_PICTURE")) std::remove(picture);

  const double cameraSpanSeconds = static_cast<double>(last.timestampUs - first.timestampUs) / 1e6;
  const double cameraFps =
      cameraSpanSeconds > 0 ? static_cast<double>(last.sequence - first.sequence) / cameraSpanSeconds : 0.0;
  const double presentedFps = static_cast<double>(presented) / elapsedSeconds;
  const double decodeBoundFps = decodeMs > 0 ? cores * 1000.0 / decodeMs : 0.0;
  const double loopBound = 1000.0 / 30.0;
  const double ceiling = std::min({cameraFps, loopBound, decodeBoundFps});

  std::printf("camera set to MJPG %dx%d, frames drawn on %dx%d, %.1f s measured, %u cores\n", width, height,
              delivered.width, delivered.height, elapsedSeconds, cores);
  std::printf("camera frames per second: %.2f\n", cameraFps);
  std::printf("presented frames per second: %.2f\n", presentedFps);
  std::printf("single-thread decode ms: %.1f\n", decodeMs);
  std::printf("decode-bound frames per second: %.2f\n", decodeBoundFps);
  std::printf("median frame age ms: %.1f\n", percentile(agesMs, 0.5));
  std::printf("p95 frame age ms: %.1f\n", percentile(agesMs, 0.95));
  std::printf("efficiency: %.3f\n", ceiling > 0 ? presentedFps / ceiling : 0.0);
  return 0;
}
