#include "camera/frame_pipeline.h"

#include <algorithm>
#include <utility>

#include "camera/frame_ahead.h"
#include "camera/frame_decoder.h"

namespace {

// How long the reader waits for the driver before looking whether it should
// stop; stop() wakes it at once anyway.
constexpr int readerWaitMs = 500;

unsigned defaultDecoderThreads() {
  return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace

FramePipeline::FramePipeline(V4l2Stream& stream, unsigned decoderThreads)
    : stream_(stream), decoderThreads_(decoderThreads > 0 ? decoderThreads : defaultDecoderThreads()) {}

FramePipeline::~FramePipeline() {
  stop();
}

void FramePipeline::start() {
  stop();
  {
    const std::lock_guard lock(mutex_);
    stopping_ = false;
    streamError_ = StreamError::None;
    pendingNumber_ = 0;
    readCount_ = 0;
    decodedNumber_ = 0;
    takenNumber_ = 0;
    decoded_.release();
  }
  reader_ = std::thread([this] { readFrames(); });
  for (unsigned i = 0; i < decoderThreads_; ++i) decoders_.emplace_back([this] { decodeFrames(); });
}

void FramePipeline::stop() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  rawArrived_.notify_all();
  frameDecoded_.notify_all();
  stream_.wake();
  if (reader_.joinable()) reader_.join();
  for (std::thread& decoder : decoders_) decoder.join();
  decoders_.clear();
}

void FramePipeline::readFrames() {
  RawFrame raw;
  for (;;) {
    {
      const std::lock_guard lock(mutex_);
      if (stopping_) return;
    }
    const V4l2Stream::Wait result = stream_.waitNewest(raw, readerWaitMs);
    if (result == V4l2Stream::Wait::Error) {
      // Nothing comes after a failed dequeue (uvcvideo's answer to a pulled
      // cable); the loop keeps its last picture until the camera is closed.
      const std::lock_guard lock(mutex_);
      streamError_ = stream_.lastError() == StreamError::None ? StreamError::Failed : stream_.lastError();
      frameDecoded_.notify_all();
      return;
    }
    if (result != V4l2Stream::Wait::Frame) continue;
    {
      // A frame still waiting for a decoder is replaced by the newer one.
      const std::lock_guard lock(mutex_);
      std::swap(raw, pendingRaw_);
      pendingNumber_ = ++readCount_;
    }
    rawArrived_.notify_one();
  }
}

void FramePipeline::decodeFrames() {
  FrameDecoder decoder;
  RawFrame raw;
  cv::Mat picture;
  for (;;) {
    std::uint64_t number = 0;
    {
      std::unique_lock lock(mutex_);
      rawArrived_.wait(lock, [this] { return stopping_ || pendingNumber_ != 0; });
      if (stopping_) return;
      std::swap(raw, pendingRaw_);
      number = std::exchange(pendingNumber_, 0);
    }
    if (!decoder.decode(raw, picture)) continue;  // a damaged frame is skipped
    {
      const std::lock_guard lock(mutex_);
      // Another decoder may have finished a newer frame first.
      if (number <= decodedNumber_) continue;
      std::swap(picture, decoded_);
      decodedNumber_ = number;
      decodedStamp_ = {raw.sequence, raw.timestampUs};
    }
    frameDecoded_.notify_all();
  }
}

FramePipeline::Take FramePipeline::take(cv::Mat& frame, std::chrono::milliseconds timeout) {
  // Pixels that someone else still sees must not be decoded into later; the
  // check is made here, on the only thread that may hold them.
  if (!isSoleOwner(frame)) frame.release();
  std::unique_lock lock(mutex_);
  const bool ready = frameDecoded_.wait_for(lock, timeout, [this] {
    return stopping_ || decodedNumber_ > takenNumber_ || streamError_ != StreamError::None;
  });
  if (ready && decodedNumber_ > takenNumber_) {
    std::swap(frame, decoded_);
    takenNumber_ = decodedNumber_;
    takenStamp_ = decodedStamp_;
    return Take::Frame;
  }
  return streamError_ != StreamError::None || stopping_ ? Take::Ended : Take::TimedOut;
}

FrameStamp FramePipeline::lastTaken() const {
  const std::lock_guard lock(mutex_);
  return takenStamp_;
}

StreamError FramePipeline::streamError() const {
  const std::lock_guard lock(mutex_);
  return streamError_;
}
