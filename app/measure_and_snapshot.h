#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "app/frame_rate.h"
#include "app/snapshot_writer.h"
#include "overlay/draw_overlay.h"
#include "overlay/spot_measurement.h"

class PictureCtrl;

// The live spot measurement and the snapshots of one capture run. Both are
// off until the user asks: the measurement runs on a pass only while it is
// switched on or for a snapshot, and a snapshot costs the pass one copy of
// the frame. Destruction finishes the queued snapshots.
class MeasureAndSnapshot {
 public:
  using Clock = std::chrono::steady_clock;

  MeasureAndSnapshot(std::string cameraName, std::filesystem::path folder);

  void toggleLiveMeasurement() { live_ = !live_; }
  bool liveMeasurement() const { return live_; }
  // The next pass with a frame takes a snapshot.
  void requestSnapshot() { snapshotAsked_ = true; }

  // Before the overlay is drawn into `frame`: measures it when needed.
  void measure(const cv::Mat& frame);
  // After the overlay is drawn: hands a copy of `frame` to the writer when a
  // snapshot was asked for. `record` holds everything but the camera, the
  // frame size and the spot, which are filled in here.
  void takeSnapshot(const cv::Mat& frame, SnapshotRecord record);
  // The measurement box and the latest notice over the picture.
  void show(PictureCtrl& picture, OverlayCenter center, Clock::time_point now);

  bool snapshotAsked() const { return snapshotAsked_; }

 private:
  enum class NoticeKind { Success, Failure };
  // Shown from the next presented frame on, for a few seconds.
  void notice(std::string text, NoticeKind kind);

  const std::string cameraName_;
  bool live_ = false;
  bool snapshotAsked_ = false;
  SpotMeter meter_;
  std::optional<SpotMeasurement> spot_;  // of this pass's frame, when measured
  FrameRate frameRate_;
  std::string notice_;
  NoticeKind noticeKind_ = NoticeKind::Success;
  std::optional<Clock::time_point> noticeUntil_;  // unset until first shown
  SnapshotWriter writer_;                         // last: its thread ends before the rest goes
};
