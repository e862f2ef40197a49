#pragma once

#include <chrono>
#include <deque>

// Presented frames per second over the last second.
class FrameRate {
 public:
  using Clock = std::chrono::steady_clock;

  void framePresented(Clock::time_point at) {
    times_.push_back(at);
    forgetBefore(at - window);
  }
  double perSecond(Clock::time_point now) {
    forgetBefore(now - window);
    return static_cast<double>(times_.size());
  }

 private:
  static constexpr std::chrono::seconds window{1};
  void forgetBefore(Clock::time_point limit) {
    while (!times_.empty() && times_.front() <= limit) times_.pop_front();
  }
  std::deque<Clock::time_point> times_;
};
