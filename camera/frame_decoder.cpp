#include "camera/frame_decoder.h"

#include <linux/videodev2.h>
#include <turbojpeg.h>

#include <opencv2/imgproc.hpp>

namespace {

// Packed 4:2:2 needs two bytes a pixel; a shorter buffer is a cut-off frame.
bool holdsPackedYuv(const RawFrame& frame) {
  if (frame.width <= 0 || frame.height <= 0 || frame.bytesPerLine < frame.width * 2) return false;
  return frame.bytes.size() >=
         static_cast<std::size_t>(frame.bytesPerLine) * static_cast<std::size_t>(frame.height);
}

}  // namespace

FrameDecoder::FrameDecoder() : jpeg_(tjInitDecompress()) {}

FrameDecoder::~FrameDecoder() {
  if (jpeg_ != nullptr) tjDestroy(jpeg_);
}

bool FrameDecoder::canDecode(std::uint32_t fourcc) {
  return fourcc == V4L2_PIX_FMT_MJPEG || fourcc == V4L2_PIX_FMT_JPEG || fourcc == V4L2_PIX_FMT_YUYV ||
         fourcc == V4L2_PIX_FMT_UYVY;
}

bool FrameDecoder::decode(const RawFrame& frame, cv::Mat& bgr) {
  switch (frame.fourcc) {
    case V4L2_PIX_FMT_MJPEG:
    case V4L2_PIX_FMT_JPEG: return decodeJpeg(frame, bgr);
    case V4L2_PIX_FMT_YUYV:
    case V4L2_PIX_FMT_UYVY: {
      if (!holdsPackedYuv(frame)) return false;
      // OpenCV only reads the pixels, so they may stay in the raw frame.
      const cv::Mat packed(frame.height, frame.width, CV_8UC2, const_cast<std::uint8_t*>(frame.bytes.data()),
                           static_cast<std::size_t>(frame.bytesPerLine));
      cv::cvtColor(packed, bgr,
                   frame.fourcc == V4L2_PIX_FMT_YUYV ? cv::COLOR_YUV2BGR_YUYV : cv::COLOR_YUV2BGR_UYVY);
      return true;
    }
    default: return false;
  }
}

bool FrameDecoder::decodeJpeg(const RawFrame& frame, cv::Mat& bgr) {
  if (jpeg_ == nullptr || frame.bytes.empty()) return false;
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colorspace = 0;
  const auto size = static_cast<unsigned long>(frame.bytes.size());
  if (tjDecompressHeader3(jpeg_, frame.bytes.data(), size, &width, &height, &subsampling, &colorspace) != 0)
    return false;
  // The picture's own size wins over the format's: some cameras send other
  // sizes than they announce, and the overlay works on what arrives.
  if (width <= 0 || height <= 0) return false;
  bgr.create(height, width, CV_8UC3);
  // A warning (a few corrupt bytes at the end, common with USB cameras) still
  // leaves a whole picture; only an error means none.
  const int result = tjDecompress2(jpeg_, frame.bytes.data(), size, bgr.data, width,
                                   static_cast<int>(bgr.step[0]), height, TJPF_BGR, 0);
  return result == 0 || tjGetErrorCode(jpeg_) == TJERR_WARNING;
}
