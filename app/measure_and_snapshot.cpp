#include "app/measure_and_snapshot.h"

#include <QColor>
#include <QStringList>
#include <QTimer>
#include <utility>

#include "app/measurement_text.h"
#include "platform/simple_controls.h"

namespace {

constexpr std::chrono::seconds noticeTime{4};

QStringList toLines(const std::vector<std::string>& lines) {
  QStringList out;
  for (const std::string& line : lines) out.push_back(QString::fromStdString(line));
  return out;
}

}  // namespace

MeasureAndSnapshot::MeasureAndSnapshot(std::string cameraName, std::filesystem::path folder)
    : cameraName_(std::move(cameraName)), writer_(std::move(folder)) {}

void MeasureAndSnapshot::toggleLiveMeasurement() {
  // Switched on, it starts afresh: no spot of an earlier frame is shown.
  liveMeter_ = liveMeter_ ? nullptr : std::make_unique<SpotMeterThread>();
}

void MeasureAndSnapshot::measure(const cv::Mat& frame) {
  spot_.reset();
  if (frame.empty()) return;
  // The live meter follows the spot from frame to frame; a snapshot searches
  // its own frame afresh, so its record holds that frame's spot.
  if (liveMeter_) liveMeter_->sample(frame);
  if (snapshotAsked_) spot_ = measureSpot(frame);
}

void MeasureAndSnapshot::measureInBackground() {
  // Started from the loop's wait: waking the thread can take the processor
  // from the loop for a moment, which must not lengthen the pass.
  if (liveMeter_)
    QTimer::singleShot(0, &context_, [this] {
      if (liveMeter_) liveMeter_->measureSampled();
    });
}

void MeasureAndSnapshot::takeSnapshot(const cv::Mat& frame, SnapshotRecord record) {
  // A failed read leaves nothing to keep; the request waits for a frame.
  if (!snapshotAsked_ || frame.empty()) return;
  snapshotAsked_ = false;
  // Each waiting snapshot holds a whole frame; a key held down must not
  // pile them up.
  if (!writer_.hasRoom()) {
    notice(snapshotBusyNotice(), NoticeKind::Failure);
    return;
  }
  record.cameraName = cameraName_;
  record.frameSize = frame.size();
  record.spot = spot_;
  if (!writer_.submit(std::move(record), frame.clone())) notice(snapshotBusyNotice(), NoticeKind::Failure);
}

void MeasureAndSnapshot::notice(std::string text, NoticeKind kind) {
  notice_ = std::move(text);
  noticeKind_ = kind;
  noticeUntil_.reset();
}

void MeasureAndSnapshot::show(PictureCtrl& picture, OverlayCenter center, Clock::time_point now) {
  for (const SnapshotResult& result : writer_.takeResults())
    notice(result.written ? snapshotSavedNotice(result.picturePath.string())
                          : snapshotFailedNotice(result.error),
           result.written ? NoticeKind::Success : NoticeKind::Failure);
  frameRate_.framePresented(now);

  // The box comes up with the first answer, so it never says "no spot"
  // before the spot has been measured.
  QStringList box;
  if (liveMeter_ && liveMeter_->answered())
    box = toLines(measurementLines(liveMeter_->latest(), center, frameRate_.perSecond(now)));
  picture.setCornerText(PictureCorner::TopLeft, box);

  if (!notice_.empty() && !noticeUntil_) noticeUntil_ = now + noticeTime;
  if (noticeUntil_ && now >= *noticeUntil_) notice_.clear();
  const QColor color = noticeKind_ == NoticeKind::Failure ? QColor(255, 120, 90) : QColor(150, 255, 150);
  picture.setCornerText(PictureCorner::BottomLeft,
                        notice_.empty() ? QStringList() : QStringList{QString::fromStdString(notice_)},
                        color);
}
