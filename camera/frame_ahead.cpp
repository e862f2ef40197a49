#include "camera/frame_ahead.h"

#include <utility>

FrameAhead::FrameAhead(Maker maker, std::chrono::milliseconds pause)
    : maker_(std::move(maker)), pause_(pause) {}

FrameAhead::~FrameAhead() {
  {
    const std::lock_guard lock(mutex_);
    quitting_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void FrameAhead::start(const FrameOrder& order, cv::Mat buffer) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return stage_ != Stage::Making; });
  order_ = order;
  frame_ = std::move(buffer);
  stage_ = Stage::Ordered;
  wanted_ = false;
  if (!worker_.joinable()) worker_ = std::thread(&FrameAhead::work, this);
  lock.unlock();
  changed_.notify_all();
}

bool FrameAhead::take(const FrameOrder& order, cv::Mat& frame) {
  std::unique_lock lock(mutex_);
  wanted_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return stage_ != Stage::Ordered && stage_ != Stage::Making; });
  if (stage_ != Stage::Made) return false;
  stage_ = Stage::Idle;
  cv::Mat made = std::move(frame_);
  if (!(order_ == order)) return false;
  frame = std::move(made);
  return true;
}

void FrameAhead::cancel() {
  std::unique_lock lock(mutex_);
  // An order still in its pause is dropped unmade; one being made is waited for.
  changed_.wait(lock, [this] { return stage_ != Stage::Making; });
  stage_ = Stage::Idle;
  frame_.release();
  lock.unlock();
  changed_.notify_all();
}

void FrameAhead::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return quitting_ || stage_ == Stage::Ordered; });
    // The pause keeps the making out of the way of the program's work on the
    // frame it has just taken; a caller that asks sooner ends the pause.
    changed_.wait_for(lock, pause_, [this] { return quitting_ || wanted_ || stage_ != Stage::Ordered; });
    if (quitting_) return;
    if (stage_ != Stage::Ordered) continue;  // cancelled during the pause
    stage_ = Stage::Making;
    // Only this thread touches the order and the buffer until it is made.
    const FrameOrder order = order_;
    cv::Mat frame = std::move(frame_);
    lock.unlock();
    maker_(order, frame);
    lock.lock();
    frame_ = std::move(frame);
    stage_ = Stage::Made;
    changed_.notify_all();
  }
}

bool isSoleOwner(const cv::Mat& frame) {
  return frame.u != nullptr && frame.u->refcount == 1 && frame.data == frame.datastart &&
         frame.isContinuous();
}
