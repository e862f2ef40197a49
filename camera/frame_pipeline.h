#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <opencv2/core/mat.hpp>
#include <thread>
#include <vector>

#include "camera/v4l2_stream.h"

// When a delivered frame was taken by the camera.
struct FrameStamp {
  std::uint32_t sequence = 0;
  std::int64_t timestampUs = 0;  // CLOCK_MONOTONIC
};

// Takes frames off a streaming node on a thread of its own as soon as the
// driver has them, and decodes them on as many threads as the machine has
// cores, each working on the newest frame not yet taken up. The frame loop
// then only swaps a finished picture in: decoding a large motion-JPEG frame
// takes longer than a frame interval, and done in the loop it would both cap
// the picture rate and show ever older frames.
//
// The stream belongs to the pipeline between start() and stop().
class FramePipeline {
 public:
  enum class Take { Frame, TimedOut, Ended };

  explicit FramePipeline(V4l2Stream& stream, unsigned decoderThreads = 0);
  ~FramePipeline();
  FramePipeline(const FramePipeline&) = delete;
  FramePipeline& operator=(const FramePipeline&) = delete;

  void start();
  // Returns once every thread has ended: at most the decodes in progress are
  // waited for, never a frame.
  void stop();

  // The newest decoded frame that is newer than the one taken before,
  // waiting up to `timeout` for one. `frame`'s old pixels are reused for a
  // later frame when nothing else refers to them. Ended once the stream has
  // failed (an unplugged camera): no frame comes any more.
  Take take(cv::Mat& frame, std::chrono::milliseconds timeout);
  FrameStamp lastTaken() const;
  // What ended the stream; None while it runs.
  StreamError streamError() const;

 private:
  void readFrames();
  void decodeFrames();

  V4l2Stream& stream_;
  unsigned decoderThreads_;

  mutable std::mutex mutex_;
  std::condition_variable rawArrived_;
  std::condition_variable frameDecoded_;
  bool stopping_ = false;
  StreamError streamError_ = StreamError::None;

  // The newest frame read and not yet picked up by a decoder; frames are
  // numbered in reading order, as driver sequence numbers restart.
  RawFrame pendingRaw_;
  std::uint64_t pendingNumber_ = 0;  // 0: none pending
  std::uint64_t readCount_ = 0;

  // The newest decoded frame, and the number of the one last taken.
  cv::Mat decoded_;
  std::uint64_t decodedNumber_ = 0;
  FrameStamp decodedStamp_;
  std::uint64_t takenNumber_ = 0;
  FrameStamp takenStamp_;

  std::thread reader_;
  std::vector<std::thread> decoders_;
};
