#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <map>

#include "camera/camera_controls.h"

class ControlEditor;
class QTimer;

// The camera-settings window: every control the open camera offers, applied
// at once while the picture runs. It is modeless, and it re-reads the values
// every half second, because the driver changes some by itself (switching
// auto exposure on makes the exposure time inactive and moves it).
class CameraControlsWindow final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int refreshIntervalMs = 500;

  // `controls` must outlive the window; `owner` keeps it as a window of its
  // own, not a child inside itself.
  CameraControlsWindow(CameraControls& controls, QWidget* owner);

  // Shows the device's current values and which controls can be changed.
  void refresh();

 private:
  void apply(std::uint32_t id, std::int64_t value);

  CameraControls& controls_;
  std::map<std::uint32_t, ControlEditor*> editors_;
  QTimer* refreshTimer_;
};

// Keeps at most one settings window for the open camera: a second request
// brings the same window forward, and it closes with the camera.
class CameraSettingsWindowKeeper {
 public:
  explicit CameraSettingsWindowKeeper(QWidget* owner) : owner_(owner) {}

  // Opens or raises the window for `controls`; false when the camera offers
  // none.
  bool show(CameraControls* controls);
  // Call before the camera is released: the window must not outlive its
  // controls.
  void close();
  CameraControlsWindow* window() const { return window_.data(); }

 private:
  QWidget* owner_;
  QPointer<CameraControlsWindow> window_;
  CameraControls* shownControls_ = nullptr;
};
