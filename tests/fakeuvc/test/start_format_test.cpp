// The format a process finds before it sets one: FAKEUVC_FORMAT, settled as
// a request for it would be; MJPG 640x480 without it. The expected answer
// comes from FAKEUVC_TEST_START_FORMAT, so the same test runs under several
// settings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "v4l2_client.h"

TEST(StartFormat, IsTheConfiguredOne) {
  const char* expected = std::getenv("FAKEUVC_TEST_START_FORMAT");
  ASSERT_NE(expected, nullptr) << "set FAKEUVC_TEST_START_FORMAT to the expected \"FOURCC WxH\"";
  const client::Node camera;
  const v4l2_pix_format pix = camera.format().fmt.pix;
  EXPECT_EQ(client::fourccText(pix.pixelformat) + " " + std::to_string(pix.width) + "x" +
                std::to_string(pix.height),
            expected);
}
