#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <nlohmann/json.hpp>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <string>

#include "app/measurement_text.h"
#include "app/snapshot_record.h"
#include "app/snapshot_writer.h"
#include "temp_folder.h"

namespace {

using Clock = std::chrono::system_clock;

// 2026-12-11 15:43:20.123 in local time.
Clock::time_point localMoment() {
  std::tm fields{};
  fields.tm_year = 2026 - 1900;
  fields.tm_mon = 11;
  fields.tm_mday = 11;
  fields.tm_hour = 15;
  fields.tm_min = 43;
  fields.tm_sec = 20;
  fields.tm_isdst = -1;
  return Clock::from_time_t(std::mktime(&fields)) + std::chrono::milliseconds(123);
}

SnapshotRecord sampleRecord() {
  SnapshotRecord record;
  record.time = localMoment();
  record.cameraName = "vexa3.5";
  record.frameSize = {3840, 2160};
  record.overlayCenter = {1920.5f, 1075.0f};
  OverlayRecords& r = record.records;
  r.circle1 = {1, 300, 4, cv::Scalar(0, 255, 0, 0), "", ""};
  r.circle2 = {0, 600, 2, cv::Scalar(0, 0, 255, 0), "", ""};
  r.circle3 = {1, 900, 1, cv::Scalar(255, 0, 0, 0), "", ""};
  r.crosshair = {1, 100, 3, 450, cv::Scalar(255, 0, 255, 0), "", "", ""};
  r.centerOffset = {1, -5, 7, "", ""};
  record.view = {3, 2000, 1100, 1280, 720};
  record.spot = SpotMeasurement{1234.25, 987.5, 8.75, 152.5};
  return record;
}

cv::Mat samplePicture() {
  cv::Mat picture(48, 64, CV_8UC3);
  cv::randu(picture, cv::Scalar::all(0), cv::Scalar::all(256));
  return picture;
}

}  // namespace

TEST(SnapshotRecord, HoldsEveryFieldOfTheSnapshot) {
  const nlohmann::json json = nlohmann::json::parse(snapshotJson(sampleRecord()));
  EXPECT_EQ(json["time"].get<std::string>().substr(0, 23), "2026-12-11T15:43:20.123");
  EXPECT_EQ(json["camera"], "vexa3.5");
  EXPECT_EQ(json["frame"], (nlohmann::json{{"width", 3840}, {"height", 2160}}));
  EXPECT_EQ(json["overlayCenter"], (nlohmann::json{{"x", 1920.5}, {"y", 1075.0}}));
  const nlohmann::json& overlay = json["overlay"];
  // Colours are written red first, although the drawing colour holds blue first.
  EXPECT_EQ(overlay["circle1"],
            (nlohmann::json{{"enabled", true}, {"radius", 300}, {"thickness", 4}, {"color", "#00ff00"}}));
  EXPECT_EQ(overlay["circle2"],
            (nlohmann::json{{"enabled", false}, {"radius", 600}, {"thickness", 2}, {"color", "#ff0000"}}));
  EXPECT_EQ(overlay["circle3"]["color"], "#0000ff");
  EXPECT_EQ(overlay["crosshair"],
            (nlohmann::json{
                {"enabled", true}, {"length", 100}, {"thickness", 3}, {"angle", 450}, {"color", "#ff00ff"}}));
  EXPECT_EQ(overlay["centerOffset"],
            (nlohmann::json{{"enabled", true}, {"vertical", -5}, {"horizontal", 7}}));
  EXPECT_EQ(json["view"], (nlohmann::json{{"zoomLevel", 3}, {"centerX", 2000}, {"centerY", 1100}}));
  EXPECT_EQ(json["spot"],
            (nlohmann::json{{"x", 1234.25}, {"y", 987.5}, {"hfd", 8.75}, {"sharpness", 152.5}}));

  SnapshotRecord withoutSpot = sampleRecord();
  withoutSpot.spot.reset();
  EXPECT_TRUE(nlohmann::json::parse(snapshotJson(withoutSpot))["spot"].is_null());
}

TEST(SnapshotRecord, NamesTheFileByLocalTimeToTheMillisecond) {
  EXPECT_EQ(snapshotBaseName(localMoment()), "varnix-20261211-154320-123");
}

TEST(SnapshotWriter, WritesThePictureLosslesslyAndTheRecordBesideIt) {
  TempFolder folder;
  const cv::Mat picture = samplePicture();
  const SnapshotResult result = writeSnapshot(folder / "snapshots", sampleRecord(), picture);
  ASSERT_TRUE(result.written) << result.error;
  EXPECT_EQ(result.picturePath, folder / "snapshots" / "varnix-20261211-154320-123.png");
  const cv::Mat read = cv::imread(result.picturePath.string(), cv::IMREAD_UNCHANGED);
  ASSERT_EQ(read.size(), picture.size());
  EXPECT_EQ(cv::norm(read, picture, cv::NORM_INF), 0.0);
  const std::string record = readFile(folder / "snapshots" / "varnix-20261211-154320-123.json");
  EXPECT_EQ(nlohmann::json::parse(record)["camera"], "vexa3.5");
}

TEST(SnapshotWriter, NeverReplacesAnEarlierSnapshotOfTheSameMillisecond) {
  TempFolder folder;
  const cv::Mat first = samplePicture();
  const cv::Mat second = samplePicture();
  ASSERT_TRUE(writeSnapshot(folder.path(), sampleRecord(), first).written);
  const SnapshotResult again = writeSnapshot(folder.path(), sampleRecord(), second);
  ASSERT_TRUE(again.written);
  EXPECT_EQ(again.picturePath, folder / "varnix-20261211-154320-123-2.png");
  const cv::Mat kept = cv::imread((folder / "varnix-20261211-154320-123.png").string(), cv::IMREAD_UNCHANGED);
  EXPECT_EQ(cv::norm(kept, first, cv::NORM_INF), 0.0);
  EXPECT_TRUE(std::filesystem::exists(folder / "varnix-20261211-154320-123-2.json"));
}

TEST(SnapshotWriter, ReportsAFolderItCannotMakeAndWritesNothing) {
  TempFolder folder;
  writeFile(folder / "snapshots", "a file where the folder should be");
  const SnapshotResult result = writeSnapshot(folder / "snapshots", sampleRecord(), samplePicture());
  EXPECT_FALSE(result.written);
  EXPECT_NE(result.error.find("snapshots"), std::string::npos);
  EXPECT_EQ(readFile(folder / "snapshots"), "a file where the folder should be");
}

TEST(SnapshotWriter, FinishesEveryQueuedSnapshotBeforeItEnds) {
  TempFolder folder;
  SnapshotRecord later = sampleRecord();
  later.time += std::chrono::milliseconds(40);
  {
    SnapshotWriter writer(folder.path());
    ASSERT_TRUE(writer.submit(sampleRecord(), samplePicture()));
    ASSERT_TRUE(writer.submit(later, samplePicture()));
  }
  EXPECT_TRUE(std::filesystem::exists(folder / "varnix-20261211-154320-123.png"));
  EXPECT_TRUE(std::filesystem::exists(folder / "varnix-20261211-154320-163.json"));
}

TEST(MeasurementText, GivesTheOffsetFromTheOverlayCentreOrSaysNoSpot) {
  const SpotMeasurement spot{1932.3456, 1076.8, 8.456, 152.34};
  const auto lines = measurementLines(spot, OverlayCenter{1920.0f, 1080.0f}, 29.84);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "光斑偏移 dx +12.35  dy -3.20 px");
  EXPECT_EQ(lines[1], "距离 12.75 px");
  EXPECT_EQ(lines[2], "半通量直径 8.46 px");
  EXPECT_EQ(lines[3], "锐度 152.3");
  EXPECT_EQ(lines[4], "显示帧率 29.8 帧/秒");

  const auto none = measurementLines(std::nullopt, OverlayCenter{1920.0f, 1080.0f}, 30.0);
  EXPECT_EQ(none, (std::vector<std::string>{"未发现光斑", "显示帧率 30.0 帧/秒"}));
}
