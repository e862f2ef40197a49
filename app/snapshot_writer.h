#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <mutex>
#include <opencv2/core/mat.hpp>
#include <string>
#include <thread>
#include <vector>

#include "app/snapshot_record.h"

struct SnapshotResult {
  bool written = false;
  std::filesystem::path picturePath;  // the PNG, when written
  std::string error;                  // why not, when not
};

// Writes `picture` as PNG and `record` as JSON beside it into `folder`
// (created when missing), both named by snapshotBaseName of the record's
// time; a name already taken gets "-2", "-3", ... rather than replacing an
// earlier snapshot. Each file appears whole or not at all, and a failure
// leaves no half pair behind.
SnapshotResult writeSnapshot(const std::filesystem::path& folder, const SnapshotRecord& record,
                             const cv::Mat& picture);

// Writes snapshots on a thread of its own, so the frame loop only pays for
// handing over a copy of the frame. The thread starts with the first
// snapshot; destruction finishes every queued snapshot, then joins it.
class SnapshotWriter {
 public:
  // At most `maxQueued` snapshots wait at a time: each holds a whole frame.
  explicit SnapshotWriter(std::filesystem::path folder, std::size_t maxQueued = 2);
  ~SnapshotWriter();
  SnapshotWriter(const SnapshotWriter&) = delete;
  SnapshotWriter& operator=(const SnapshotWriter&) = delete;

  // False while the queue is full; the caller then copies nothing.
  bool hasRoom() const;
  // Queues a snapshot; false (and nothing queued) when there is no room.
  bool submit(SnapshotRecord record, cv::Mat picture);
  // The results finished since the last call, oldest first.
  std::vector<SnapshotResult> takeResults();

 private:
  struct Job {
    SnapshotRecord record;
    cv::Mat picture;
  };
  void run();

  const std::filesystem::path folder_;
  const std::size_t maxQueued_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;  // the one being written stays here until done
  std::vector<SnapshotResult> results_;
  bool stopping_ = false;
  std::thread thread_;
};
