#pragma once

#include <chrono>
#include <opencv2/core/types.hpp>
#include <optional>
#include <string>

#include "overlay/draw_overlay.h"
#include "overlay/overlay_records.h"
#include "overlay/spot_measurement.h"
#include "video/view_state.h"

// What is written beside a snapshot's picture: when, from which camera, the
// overlay as it was drawn, the view the user had and the spot measured on
// that very frame.
struct SnapshotRecord {
  std::chrono::system_clock::time_point time;
  std::string cameraName;
  cv::Size frameSize;
  OverlayCenter overlayCenter;
  OverlayRecords records;
  ViewState view;
  std::optional<SpotMeasurement> spot;  // nullopt: nothing stood out
};

// The record as JSON text; colours as "#rrggbb", the spot in frame pixels
// or null.
std::string snapshotJson(const SnapshotRecord& record);

// "varnix-YYYYMMDD-HHMMSS-mmm" in local time: the snapshot's file name
// without its extension.
std::string snapshotBaseName(std::chrono::system_clock::time_point time);
