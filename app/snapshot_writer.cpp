#include "app/snapshot_writer.h"

#include <opencv2/imgcodecs.hpp>
#include <string_view>
#include <system_error>
#include <utility>

#include "params/atomic_file.h"

namespace {

// Beyond this many snapshots in one millisecond something else is wrong.
constexpr int maxNameTries = 100;

bool nameIsFree(const std::filesystem::path& folder, const std::string& base) {
  std::error_code error;
  return !std::filesystem::exists(folder / (base + ".png"), error) && !error &&
         !std::filesystem::exists(folder / (base + ".json"), error) && !error;
}

}  // namespace

SnapshotResult writeSnapshot(const std::filesystem::path& folder, const SnapshotRecord& record,
                             const cv::Mat& picture) {
  SnapshotResult result;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder, error)) {
    result.error = "cannot create folder " + folder.string();
    return result;
  }
  const std::string stem = snapshotBaseName(record.time);
  std::string base = stem;
  for (int n = 2; !nameIsFree(folder, base); ++n) {
    if (n > maxNameTries) {
      result.error = "no free name for " + (folder / stem).string();
      return result;
    }
    base = stem + "-" + std::to_string(n);
  }

  std::vector<unsigned char> png;
  bool encoded = false;
  try {
    encoded = cv::imencode(".png", picture, png);
  } catch (const cv::Exception&) {
    encoded = false;  // a picture OpenCV cannot encode is reported like a full disk
  }
  const std::filesystem::path picturePath = folder / (base + ".png");
  const std::filesystem::path recordPath = folder / (base + ".json");
  if (!encoded || !replaceFileContents(
                      picturePath, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()))) {
    result.error = "cannot write " + picturePath.string();
    return result;
  }
  if (!replaceFileContents(recordPath, snapshotJson(record))) {
    std::filesystem::remove(picturePath, error);
    result.error = "cannot write " + recordPath.string();
    return result;
  }
  result.written = true;
  result.picturePath = picturePath;
  return result;
}

SnapshotWriter::SnapshotWriter(std::filesystem::path folder, std::size_t maxQueued)
    : folder_(std::move(folder)), maxQueued_(maxQueued) {}

SnapshotWriter::~SnapshotWriter() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool SnapshotWriter::hasRoom() const {
  const std::lock_guard lock(mutex_);
  return jobs_.size() < maxQueued_;
}

bool SnapshotWriter::submit(SnapshotRecord record, cv::Mat picture) {
  {
    const std::lock_guard lock(mutex_);
    if (jobs_.size() >= maxQueued_) return false;
    jobs_.push_back({std::move(record), std::move(picture)});
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
  }
  wake_.notify_one();
  return true;
}

std::vector<SnapshotResult> SnapshotWriter::takeResults() {
  const std::lock_guard lock(mutex_);
  return std::exchange(results_, {});
}

void SnapshotWriter::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (jobs_.empty()) return;  // stopping, and everything queued is written
    const Job& job = jobs_.front();
    lock.unlock();
    SnapshotResult result = writeSnapshot(folder_, job.record, job.picture);
    lock.lock();
    results_.push_back(std::move(result));
    jobs_.pop_front();
  }
}
