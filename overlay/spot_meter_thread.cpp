#include "overlay/spot_meter_thread.h"

SpotMeterThread::~SpotMeterThread() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void SpotMeterThread::waitUntilIdle(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [this] { return !busy_; });
}

void SpotMeterThread::sample(const cv::Mat& frame) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    waitUntilIdle(lock);
  }
  // Idle: the meter and its sample are this thread's until busy_ is set.
  meter_.take(frame, sample_);
  std::lock_guard<std::mutex> lock(mutex_);
  sampled_ = true;
}

void SpotMeterThread::measureSampled() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!sampled_ || busy_) return;
    sampled_ = false;
    busy_ = true;
    if (!thread_.joinable()) thread_ = std::thread(&SpotMeterThread::run, this);
  }
  changed_.notify_all();
}

std::optional<SpotMeasurement> SpotMeterThread::latest() {
  std::lock_guard<std::mutex> lock(mutex_);
  return latest_;
}

bool SpotMeterThread::answered() {
  std::lock_guard<std::mutex> lock(mutex_);
  return answered_;
}

void SpotMeterThread::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return busy_ || stopping_; });
    if (stopping_) return;
    lock.unlock();
    std::optional<SpotMeasurement> spot = meter_.measureSample(sample_);
    const bool measuredToTheEnd = !meter_.wantsMoreOfThisFrame();
    lock.lock();
    latest_ = spot;
    answered_ = answered_ || measuredToTheEnd;
    busy_ = false;
    changed_.notify_all();
  }
}
