#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <opencv2/core.hpp>
#include <thread>

// What a frame of the simulated camera depends on.
struct FrameOrder {
  cv::Size size;
  std::int64_t index = 0;
  double brightness = 1.0;

  bool operator==(const FrameOrder&) const = default;
};

// Makes the next frame on a thread of its own while the program works on the
// current one, as a camera exposes its next frame while the last one is being
// processed: a read then costs the hand-over, not the making. One frame is
// made ahead at most, and only between start() and take() or cancel(), so
// the maker's state is never used by two threads at once.
//
// The making starts a short pause after start(), or at once when the frame is
// asked for: a program that works on each frame for a few milliseconds and
// then waits (the frame loop) does not share the processor and the memory
// bus with the making while it works.
class FrameAhead {
 public:
  using Maker = std::function<void(const FrameOrder&, cv::Mat&)>;

  static constexpr std::chrono::milliseconds defaultPause{10};

  explicit FrameAhead(Maker maker, std::chrono::milliseconds pause = defaultPause);
  ~FrameAhead();
  FrameAhead(const FrameAhead&) = delete;
  FrameAhead& operator=(const FrameAhead&) = delete;

  // Starts making `order` into `buffer`, whose pixels are reused when they
  // fit; no other thread may hold them. A frame made earlier and not taken is
  // dropped.
  void start(const FrameOrder& order, cv::Mat buffer);
  // Waits for the frame being made. True, with the frame, when it was made
  // for `order`; false when none was started or it was made for another.
  bool take(const FrameOrder& order, cv::Mat& frame);
  // Drops the frame ordered; waits for it only when it is being made.
  void cancel();

 private:
  enum class Stage { Idle, Ordered, Making, Made };

  void work();

  Maker maker_;
  std::chrono::milliseconds pause_;
  std::mutex mutex_;
  std::condition_variable changed_;
  Stage stage_ = Stage::Idle;
  bool quitting_ = false;
  bool wanted_ = false;  // someone waits for the frame being made
  FrameOrder order_;
  cv::Mat frame_;
  std::thread worker_;  // started with the first order
};

// True when `frame` owns its pixels and nothing else refers to them, so they
// may be written again without anyone seeing it.
bool isSoleOwner(const cv::Mat& frame);
