#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "overlay/spot_measurement.h"

// Measures a stream of frames with a SpotMeter on a thread of its own. The
// caller's thread only takes the meter's sample of each frame, after which
// it may change the frame (draw the overlay into it); the measuring itself
// is started when the caller has time to spare, so the two never compete
// for the processor. One frame is measured at a time; the thread starts
// with the first frame and is joined on destruction.
class SpotMeterThread {
 public:
  SpotMeterThread() = default;
  ~SpotMeterThread();
  SpotMeterThread(const SpotMeterThread&) = delete;
  SpotMeterThread& operator=(const SpotMeterThread&) = delete;

  // Waits for the frame being measured, then takes the sample of `frame`.
  void sample(const cv::Mat& frame);
  // Starts measuring the frame sampled last (nothing when it already was).
  void measureSampled();
  // The spot of the last frame measured to the end, or nullopt when there
  // is none or nothing stood out. A spot that a search has only just found
  // counts from the next frame measured on.
  std::optional<SpotMeasurement> latest();
  // True once a frame was measured to the end. Until then a nullopt from
  // latest() says nothing yet: the first frame's search may have found a
  // spot that only the next frame measures.
  bool answered();

 private:
  void run();
  // Waits until no frame is being measured; `lock` holds mutex_.
  void waitUntilIdle(std::unique_lock<std::mutex>& lock);

  SpotMeter meter_;    // used by one thread at a time: the caller's while idle
  SpotSample sample_;  // likewise
  std::mutex mutex_;
  std::condition_variable changed_;
  bool sampled_ = false;  // a sample waits to be measured
  bool busy_ = false;     // it is being measured
  bool stopping_ = false;
  std::optional<SpotMeasurement> latest_;
  bool answered_ = false;
  std::thread thread_;
};
