#include <chrono>
#include <cstdio>
#include <opencv2/videoio.hpp>
#include <string>

#include "app/app_globals.h"
#include "app/fatal_message.h"
#include "app/measure_and_snapshot.h"
#include "app/slider_setup.h"
#include "app/varnix_dlg.h"
#include "camera/camera_models.h"
#include "overlay/draw_overlay.h"
#include "overlay/panel_values.h"
#include "params/parameter_files.h"
#include "platform/event_wait.h"
#include "platform/slider_ctrl.h"
#include "res/control_ids.h"
#include "video/crop_viewport.h"
#include "video/movie.h"
#include "video/present_mat.h"

namespace {

// The time each pass leaves the rest of the program: every other command and
// all input to the video window run inside this wait.
constexpr int frameWaitMs = 30;

// In the working folder, beside the parameter files.
const char* const snapshotFolder = "snapshots";

}  // namespace

void CVarnixDlg::enableCaptureControls(bool enable) {
  // The two camera buttons first, then the open button the other way round,
  // then the rest, so the open button is off before anything else can run.
  EnableDlgItem(ctl::CameraSettings, enable);
  EnableDlgItem(ctl::CloseCamera, enable);
  EnableDlgItem(ctl::OpenCamera, !enable);
  for (const int id : ctl::captureControls)
    if (id != ctl::CameraSettings && id != ctl::CloseCamera) EnableDlgItem(id, enable);
}

void CVarnixDlg::OnOpenCamera() {
  enableCaptureControls(true);

  discoverKnownCameraOrExit();
  const CameraEntry camera = CameraNameList[static_cast<std::size_t>(selectedCameraIndex)];
  const CameraProfile profile = SelectCameraProfile(camera.name);
  requestedWidth = profile.requestedWidth;
  requestedHeight = profile.requestedHeight;

  loadFocusPoint(focusFileName, focusPoint);
  loadOverlayParameters(overlayParameterFileName, records);
  writeTextsFromValues(records);
  UpdateData(false);
  setUpSliders(runSliders);
  applyDefaultColors();

  capture = cameraSystem.createCapture(camera);
  capture->open();
  if (!capture->isOpened()) {
    // Where the user can act on the cause, the message says what it is.
    switch (capture->openFailure()) {
      case OpenFailure::InUse: ShowFatalMessage(MessageKey::CameraInUse);
      case OpenFailure::NoAccess: ShowFatalMessage(MessageKey::NoPermission, camera.devicePath);
      default: ShowFatalMessage(MessageKey::OpenFailed);
    }
  }
  captureRunning = 1;
  if (profile.setsCaptureFormat) {
    capture->set(cv::CAP_PROP_FRAME_WIDTH, requestedWidth);
    capture->set(cv::CAP_PROP_FRAME_HEIGHT, requestedHeight);
    capture->set(cv::CAP_PROP_FOURCC, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'));
  }

  createVideoWindow(profile.aspectRatio);
  measureAndSnapshot = std::make_unique<MeasureAndSnapshot>(camera.name, snapshotFolder);

  // The first frame only sizes the view; it is neither drawn on nor shown.
  if (captureIsRunning()) {
    capture->read(currentFrame);
    videoWindow->view.viewCenterX = currentFrame.cols / 2;
    videoWindow->view.viewCenterY = currentFrame.rows / 2;
    videoWindow->view.viewWidth = currentFrame.cols;
    videoWindow->view.viewHeight = currentFrame.rows;
  }

  while (captureIsRunning()) {
    capture->read(currentFrame);
    framePass();
    dispatchEventsFor(frameWaitMs);
  }
}

bool CVarnixDlg::captureIsRunning() const {
  return capture && capture->isOpened() && captureRunning == 1;
}

void CVarnixDlg::framePass() {
  ++passCount;
  UpdateData(true);
  // The spot is measured on the camera's own pixels, before the overlay
  // covers any of them.
  if (measureAndSnapshot) measureAndSnapshot->measure(currentFrame);
  DrawOverlay(currentFrame, records, focusPoint);
  const OverlayCenter center = overlayCenter(records.centerOffset, focusPoint);
  if (measureAndSnapshot && measureAndSnapshot->snapshotAsked()) {
    SnapshotRecord record;
    record.time = std::chrono::system_clock::now();
    record.overlayCenter = center;
    record.records = records;
    record.view = videoWindow->view;
    measureAndSnapshot->takeSnapshot(currentFrame, std::move(record));
  }
  // The viewport is shown straight from the frame: presentMat makes the one
  // scaled copy the window needs, so no full-size copy is made per pass.
  const cv::Mat viewportImage = viewportView(currentFrame, videoWindow->view);
  if (videoWindow->pictureCtrl != nullptr) {
    if (measureAndSnapshot && !currentFrame.empty())
      measureAndSnapshot->show(*videoWindow->pictureCtrl, center, MeasureAndSnapshot::Clock::now());
    presentMat(*videoWindow->pictureCtrl, viewportImage);
  }
  // The live measurement of this frame runs while the loop waits, not
  // alongside the drawing.
  if (measureAndSnapshot) measureAndSnapshot->measureInBackground();
  if (afterPass) afterPass();
}

void CVarnixDlg::createVideoWindow(float aspectRatio) {
  // A new window for every run. The previous run's window is already
  // destroyed by the close command; its object goes here, and videoWindow
  // moves to the new one at the same moment, so it never dangles.
  auto window = std::make_unique<movie>();
  window->aspectRatio = aspectRatio;
  window->onCloseRequested = [this] { SendCommand(ctl::CloseCamera); };
  window->onMeasureToggled = [this] {
    if (measureAndSnapshot) measureAndSnapshot->toggleLiveMeasurement();
  };
  window->onSnapshotRequested = [this] {
    if (measureAndSnapshot) measureAndSnapshot->requestSnapshot();
  };
  videoWindowStorage = std::move(window);
  videoWindow = videoWindowStorage.get();
  if (!videoWindow->Create(nullptr)) return;
  videoWindow->ShowWindow(ShowCommand::Show);
}

// Back to idle: the open button is the only camera button left usable.
void CVarnixDlg::OnCloseCamera() {
  endCaptureRun(ControlsAfterRun::Disabled);
}

bool CVarnixDlg::OnLetterKey(char letter, unsigned keyFlags, KeyRepeat repeat) {
  if (letter != 'S' || (keyFlags & mouse_flags::Control) == 0 || !captureIsRunning() || !measureAndSnapshot)
    return Dialog::OnLetterKey(letter, keyFlags, repeat);
  if (repeat == KeyRepeat::First) measureAndSnapshot->requestSnapshot();
  return true;
}

void CVarnixDlg::OnCameraSettings() {
  if (capture && capture->isOpened()) cameraSettings.show(capture->controls());
}

void CVarnixDlg::OnSaveParameters() {
  // A failed save must not pass for a successful one. The file on disk is
  // left as it was and the values stay in memory, so the user can retry.
  if (!saveOverlayParameters(overlayParameterFileName, records)) MessageBox("保存参数失败", "异常");
}
