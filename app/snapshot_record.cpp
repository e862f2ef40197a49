#include "app/snapshot_record.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>

namespace {

using Clock = std::chrono::system_clock;

struct LocalTime {
  std::tm fields{};
  int milliseconds = 0;
  long utcOffsetSeconds = 0;
};

LocalTime localTime(Clock::time_point time) {
  const auto sinceEpoch = time.time_since_epoch();
  const std::time_t seconds =
      Clock::to_time_t(Clock::time_point(std::chrono::floor<std::chrono::seconds>(sinceEpoch)));
  LocalTime local;
  localtime_r(&seconds, &local.fields);
  local.milliseconds = static_cast<int>((std::chrono::floor<std::chrono::milliseconds>(sinceEpoch) -
                                         std::chrono::floor<std::chrono::seconds>(sinceEpoch))
                                            .count());
  local.utcOffsetSeconds = local.fields.tm_gmtoff;
  return local;
}

// ISO 8601 with milliseconds and the offset from UTC: 2026-12-11T15:43:20.123+01:00.
std::string isoTime(Clock::time_point time) {
  const LocalTime local = localTime(time);
  const long offsetMinutes = local.utcOffsetSeconds / 60;
  const long absoluteMinutes = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
  std::array<char, 64> text{};
  std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02ld:%02ld",
                local.fields.tm_year + 1900, local.fields.tm_mon + 1, local.fields.tm_mday,
                local.fields.tm_hour, local.fields.tm_min, local.fields.tm_sec, local.milliseconds,
                offsetMinutes < 0 ? '-' : '+', absoluteMinutes / 60, absoluteMinutes % 60);
  return text.data();
}

// The drawing colour (blue, green, red) as "#rrggbb".
std::string hexColor(const cv::Scalar& color) {
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "#%02x%02x%02x", cv::saturate_cast<unsigned char>(color[2]),
                cv::saturate_cast<unsigned char>(color[1]), cv::saturate_cast<unsigned char>(color[0]));
  return text.data();
}

nlohmann::ordered_json circleJson(const OverlayCircle& circle) {
  return {{"enabled", circle.enabled == 1},
          {"radius", circle.radius},
          {"thickness", circle.thickness},
          {"color", hexColor(circle.drawColor)}};
}

}  // namespace

std::string snapshotJson(const SnapshotRecord& record) {
  const OverlayRecords& r = record.records;
  nlohmann::ordered_json json;
  json["time"] = isoTime(record.time);
  json["camera"] = record.cameraName;
  json["frame"] = {{"width", record.frameSize.width}, {"height", record.frameSize.height}};
  json["overlayCenter"] = {{"x", record.overlayCenter.cx}, {"y", record.overlayCenter.cy}};
  json["overlay"] = {
      {"circle1", circleJson(r.circle1)},
      {"circle2", circleJson(r.circle2)},
      {"circle3", circleJson(r.circle3)},
      {"crosshair",
       {{"enabled", r.crosshair.enabled == 1},
        {"length", r.crosshair.length},
        {"thickness", r.crosshair.thickness},
        {"angle", r.crosshair.angle},
        {"color", hexColor(r.crosshair.drawColor)}}},
      {"centerOffset",
       {{"enabled", r.centerOffset.enabled == 1},
        {"vertical", r.centerOffset.vertical},
        {"horizontal", r.centerOffset.horizontal}}},
  };
  json["view"] = {{"zoomLevel", record.view.zoomLevel},
                  {"centerX", record.view.viewCenterX},
                  {"centerY", record.view.viewCenterY}};
  if (record.spot)
    json["spot"] = {{"x", record.spot->x},
                    {"y", record.spot->y},
                    {"hfd", record.spot->halfFluxDiameter},
                    {"sharpness", record.spot->sharpness}};
  else
    json["spot"] = nullptr;
  return json.dump(2) + "\n";
}

std::string snapshotBaseName(Clock::time_point time) {
  const LocalTime local = localTime(time);
  std::array<char, 48> text{};
  std::snprintf(text.data(), text.size(), "varnix-%04d%02d%02d-%02d%02d%02d-%03d",
                local.fields.tm_year + 1900, local.fields.tm_mon + 1, local.fields.tm_mday,
                local.fields.tm_hour, local.fields.tm_min, local.fields.tm_sec, local.milliseconds);
  return text.data();
}
