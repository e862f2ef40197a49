#pragma once

#include <QObject>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/frame_rate.h"
#include "app/snapshot_writer.h"
#include "overlay/draw_overlay.h"
#include "overlay/spot_measurement.h"
#include "overlay/spot_meter_thread.h"

class PictureCtrl;

// The live spot measurement and the snapshots of one capture run. Both are
// off until the user asks: the measurement runs on a pass only while it is
// switched on or for a snapshot, and a snapshot costs the pass one copy of
// the frame. The live measurement takes a small sample of the frame in the
// pass and measures it on a thread of its own while the loop waits, so the
// box shows the frame before; a snapshot's is made on the pass, on its frame.
// Destruction finishes the queued snapshots.
class MeasureAndSnapshot {
 public:
  using Clock = std::chrono::steady_clock;

  MeasureAndSnapshot(std::string cameraName, std::filesystem::path folder);

  void toggleLiveMeasurement();
  bool liveMeasurement() const { return liveMeter_ != nullptr; }
  // The next pass with a frame takes a snapshot.
  void requestSnapshot() { snapshotAsked_ = true; }

  // Before the overlay is drawn into `frame`: measures it for a snapshot, and
  // samples it for the live measurement.
  void measure(const cv::Mat& frame);
  // After the overlay is drawn: hands a copy of `frame` to the writer when a
  // snapshot was asked for. `record` holds everything but the camera, the
  // frame size and the spot, which are filled in here.
  void takeSnapshot(const cv::Mat& frame, SnapshotRecord record);
  // The measurement box and the latest notice over the picture.
  void show(PictureCtrl& picture, OverlayCenter center, Clock::time_point now);

  // At the end of the pass: the live measurement of its frame starts in
  // the loop's wait.
  void measureInBackground();

  bool snapshotAsked() const { return snapshotAsked_; }

 private:
  enum class NoticeKind { Success, Failure };
  // Shown from the next presented frame on, for a few seconds.
  void notice(std::string text, NoticeKind kind);

  const std::string cameraName_;
  bool snapshotAsked_ = false;
  std::unique_ptr<SpotMeterThread> liveMeter_;  // while the live measurement is on
  QObject context_;                             // of the calls posted to the event loop
  std::optional<SpotMeasurement> spot_;         // of this pass's frame, when measured for a snapshot
  FrameRate frameRate_;
  std::string notice_;
  NoticeKind noticeKind_ = NoticeKind::Success;
  std::optional<Clock::time_point> noticeUntil_;  // unset until first shown
  SnapshotWriter writer_;                         // last: its thread ends before the rest goes
};
