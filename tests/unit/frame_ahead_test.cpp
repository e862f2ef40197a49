#include "camera/frame_ahead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Fills the frame with its index, notes the thread and counts the makings.
struct CountingMaker {
  std::atomic<int> made{0};
  std::atomic<bool> madeOnCallerThread{false};
  std::thread::id caller = std::this_thread::get_id();

  FrameAhead::Maker maker() {
    return [this](const FrameOrder& order, cv::Mat& frame) {
      if (frame.size() != order.size || frame.type() != CV_8UC1) frame = cv::Mat(order.size, CV_8UC1);
      frame.setTo(static_cast<double>(order.index));
      if (std::this_thread::get_id() == caller) madeOnCallerThread = true;
      ++made;
    };
  }
};

FrameOrder order(std::int64_t index) {
  return {cv::Size(8, 4), index, 1.0};
}

}  // namespace

TEST(FrameAhead, HandsOverTheFrameMadeAheadInTheBufferItWasGiven) {
  CountingMaker counting;
  FrameAhead ahead(counting.maker(), std::chrono::milliseconds(0));
  cv::Mat buffer(4, 8, CV_8UC1, cv::Scalar(0));
  const uchar* pixels = buffer.data;
  ahead.start(order(7), std::move(buffer));

  cv::Mat frame;
  ASSERT_TRUE(ahead.take(order(7), frame));
  EXPECT_EQ(frame.data, pixels);  // no new buffer, no copy
  EXPECT_EQ(cv::countNonZero(frame != 7), 0);
  EXPECT_EQ(counting.made, 1);
  EXPECT_FALSE(counting.madeOnCallerThread);

  // Taken once only.
  EXPECT_FALSE(ahead.take(order(7), frame));
}

TEST(FrameAhead, DropsAFrameMadeForAnotherOrderOrCancelled) {
  CountingMaker counting;
  FrameAhead ahead(counting.maker(), std::chrono::milliseconds(0));
  cv::Mat frame(1, 1, CV_8UC1, cv::Scalar(99));

  ahead.start(order(1), cv::Mat());
  EXPECT_FALSE(ahead.take(order(2), frame));  // made for frame 1, frame 2 wanted
  FrameOrder brighter = order(1);
  brighter.brightness = 2.0;
  ahead.start(order(1), cv::Mat());
  EXPECT_FALSE(ahead.take(brighter, frame));
  EXPECT_EQ(counting.made, 2);

  // Cancelled while being made or before: never handed out.
  ahead.start(order(3), cv::Mat());
  ahead.cancel();
  EXPECT_FALSE(ahead.take(order(3), frame));
  EXPECT_EQ(frame.at<uchar>(0, 0), 99);  // left as it was
}

TEST(FrameAhead, AskingForTheFrameEndsThePauseAndNothingIsMadeForNobody) {
  CountingMaker counting;
  {
    // A pause far longer than the test: the frame can only come because it is asked for.
    FrameAhead ahead(counting.maker(), std::chrono::hours(1));
    ahead.start(order(5), cv::Mat());
    cv::Mat frame;
    ASSERT_TRUE(ahead.take(order(5), frame));
    EXPECT_EQ(frame.at<uchar>(0, 0), 5);
    ahead.start(order(6), cv::Mat());
    ahead.cancel();  // dropped in its pause, not made
    EXPECT_FALSE(ahead.take(order(6), frame));
    ahead.start(order(7), cv::Mat());
  }  // ends without making frame 7 and without waiting an hour
  EXPECT_EQ(counting.made, 1);
}

TEST(FrameAhead, OnlyPixelsNobodyElseHoldsAreWrittenAgain) {
  const cv::Mat owned(4, 4, CV_8UC3);
  cv::Mat shared = owned;
  cv::Mat userData(4, 4, CV_8UC3, shared.data);
  const struct {
    const char* what;
    cv::Mat frame;
    bool reusable;
  } cases[] = {
      {"a frame of its own", cv::Mat(4, 4, CV_8UC3), true},
      {"a frame another matrix shares", shared, false},
      {"a region of a larger frame",
       cv::Mat(8, 8, CV_8UC3)(cv::Rect(2, 2, 4, 4)).clone()(cv::Rect(1, 1, 2, 2)), false},
      {"pixels the caller allocated", userData, false},
      {"no frame", cv::Mat(), false},
  };
  for (const auto& c : cases) EXPECT_EQ(isSoleOwner(c.frame), c.reusable) << c.what;
}
