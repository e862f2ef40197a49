#pragma once

#include <memory>
#include <opencv2/core/mat.hpp>
#include <string>
#include <vector>

class CameraControls;

// One video device as discovery reports it. `name` is the device's friendly
// name byte for byte (leading blanks kept); `devicePath` is what the capture
// opens (a V4L2 node such as /dev/video2, or a simulated device's key).
struct CameraEntry {
  std::string name;
  std::string devicePath;
};

// Why a capture did not open, where the user can do something about it.
enum class OpenFailure {
  None,
  InUse,     // another program streams from the camera
  NoAccess,  // this user may not open the device
  Other,
};

// A camera that can be opened, read and set, the way the capture run uses it.
// Implementations: OpenCV's V4L2 back end, and the simulated camera.
class CaptureDevice {
 public:
  virtual ~CaptureDevice() = default;

  virtual bool open() = 0;
  virtual bool isOpened() const = 0;
  // Reads the next frame; on failure `frame` is left empty and false returned.
  virtual bool read(cv::Mat& frame) = 0;
  // `propertyId` is one of OpenCV's cv::CAP_PROP_* identifiers.
  virtual bool set(int propertyId, double value) = 0;
  virtual void release() = 0;
  // The device's adjustable controls while it is open; null when it has none.
  virtual CameraControls* controls() { return nullptr; }
  // Why the last open() failed; None after one that worked.
  virtual OpenFailure openFailure() const { return isOpened() ? OpenFailure::None : OpenFailure::Other; }
};

// Where cameras come from: the device list and a capture for one entry.
class CameraSystem {
 public:
  virtual ~CameraSystem() = default;

  // Every device that captures video, in discovery order. Never throws.
  virtual std::vector<CameraEntry> enumerateDevices() = 0;
  // Devices that exist but that this user may not open, with the names the
  // system shows for them, so a missing permission is not taken for a
  // missing camera. Never throws.
  virtual std::vector<CameraEntry> enumerateDeniedDevices() { return {}; }
  // A closed capture for `entry`; open() opens it.
  virtual std::unique_ptr<CaptureDevice> createCapture(const CameraEntry& entry) = 0;
};
