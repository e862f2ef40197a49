// The faults FAKEUVC_FAULT asks for. Each suite runs in a process of its own
// with its fault set, and skips itself otherwise.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/select.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "v4l2_client.h"

using client::fourcc;
using client::Node;

namespace {

bool faultIs(const char* fault) {
  const char* set = std::getenv("FAKEUVC_FAULT");
  return set != nullptr && std::string(set) == fault;
}

bool listed() {
  const std::filesystem::path node = client::nodePath();
  for (const auto& entry : std::filesystem::directory_iterator(node.parent_path()))
    if (entry.path().filename() == node.filename()) return true;
  return false;
}

}  // namespace

TEST(FaultEacces, OpenIsRefusedWhileTheNodeStaysVisible) {
  if (!faultIs("eacces")) GTEST_SKIP() << "needs FAKEUVC_FAULT=eacces";
  const Node camera;
  EXPECT_FALSE(camera.isOpen());
  EXPECT_EQ(camera.openError(), EACCES);
  EXPECT_TRUE(listed());
  struct stat status {};
  EXPECT_EQ(::stat(client::nodePath().c_str(), &status), 0);
  EXPECT_TRUE(S_ISCHR(status.st_mode));
  EXPECT_EQ(::access(client::nodePath().c_str(), R_OK | W_OK), -1);
  EXPECT_EQ(errno, EACCES);
}

TEST(FaultBusy, AnotherProgramHoldsTheStream) {
  if (!faultIs("busy")) GTEST_SKIP() << "needs FAKEUVC_FAULT=busy";
  const Node camera;
  ASSERT_TRUE(camera.isOpen());
  // Asking is allowed...
  v4l2_capability capability{};
  EXPECT_EQ(camera.call(VIDIOC_QUERYCAP, &capability), 0);
  EXPECT_EQ(camera.format().fmt.pix.pixelformat, fourcc("MJPG"));
  v4l2_control gain{V4L2_CID_GAIN, 30};
  EXPECT_EQ(camera.call(VIDIOC_S_CTRL, &gain), 0);
  // ...taking the stream is not.
  EXPECT_EQ(camera.setFormat(fourcc("MJPG"), 640, 480), EBUSY);
  EXPECT_EQ(camera.requestBuffers(4), EBUSY);
  EXPECT_EQ(camera.streamOn(), EBUSY);
}

TEST(FaultUnplug, ThePulledCableEndsTheStreamAndTheNode) {
  if (!faultIs("unplug:3")) GTEST_SKIP() << "needs FAKEUVC_FAULT=unplug:3";
  const Node camera;
  const auto buffers = client::startStream(camera, fourcc("MJPG"), 640, 480, 2);
  ASSERT_TRUE(buffers);
  for (int frame = 0; frame < 3; ++frame) {
    const auto buffer = client::nextFrame(camera);
    ASSERT_TRUE(buffer) << "frame " << frame;
    if (frame < 2) {
      ASSERT_EQ(camera.queue(buffer->index), 0);
    }
  }

  // The third frame was the last.
  pollfd entry{camera.fd(), POLLIN | POLLRDNORM, 0};
  ASSERT_EQ(::poll(&entry, 1, 10000), 1);
  EXPECT_NE(entry.revents & POLLERR, 0);
  EXPECT_EQ(entry.revents & POLLIN, 0);
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(camera.fd(), &readable);
  timeval wait{10, 0};
  ASSERT_EQ(::select(camera.fd() + 1, &readable, nullptr, nullptr, &wait), 1);
  v4l2_buffer buffer{};
  EXPECT_EQ(camera.dequeue(buffer), ENODEV);
  EXPECT_EQ(camera.queue(0), ENODEV);

  // The node is gone for everyone.
  const Node again;
  EXPECT_EQ(again.openError(), ENOENT);
  EXPECT_FALSE(listed());
}
