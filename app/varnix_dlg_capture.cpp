#include <cstdio>
#include <opencv2/videoio.hpp>
#include <string>

#include "app/app_globals.h"
#include "app/fatal_message.h"
#include "app/varnix_dlg.h"
#include "camera/camera_models.h"
#include "overlay/draw_overlay.h"
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

// The overlay sliders as every capture run sets them up, whatever the camera:
// radius and length reach 4000 here, beyond the start-up range of 1000.
struct RunSlider {
  NumericValue value;
  int minimum;
  int maximum;
  int ticFrequency;
  bool setsPosition;
};
constexpr RunSlider runSliders[] = {
    {NumericValue::Circle2Radius, 1, 4000, 10, true},   {NumericValue::Circle2Thickness, 1, 4, 1, false},
    {NumericValue::Circle1Radius, 1, 4000, 10, true},   {NumericValue::Circle1Thickness, 1, 4, 1, false},
    {NumericValue::Circle3Radius, 1, 4000, 10, true},   {NumericValue::Circle3Thickness, 1, 4, 1, false},
    {NumericValue::CrosshairLength, 1, 4000, 10, true}, {NumericValue::CrosshairThickness, 1, 4, 1, false},
    {NumericValue::CrosshairAngle, 0, 900, 10, false},
};

// The order in which an opening writes the loaded values into the fields.
constexpr NumericValue fieldRewriteOrder[] = {
    NumericValue::OffsetVertical,     NumericValue::OffsetHorizontal, NumericValue::Circle2Radius,
    NumericValue::Circle2Thickness,   NumericValue::Circle1Radius,    NumericValue::Circle1Thickness,
    NumericValue::Circle3Radius,      NumericValue::Circle3Thickness, NumericValue::CrosshairLength,
    NumericValue::CrosshairThickness, NumericValue::CrosshairAngle,
};

std::string decimal(int value) {
  char text[16] = {};
  std::snprintf(text, sizeof text, "%d", value);
  return text;
}

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

  CameraNameList.clear();
  DiscoverCameras(cameraSystem, CameraNameList);
  if (!MatchKnownCamera(CameraNameList, selectedCameraIndex)) ShowFatalMessage(MessageKey::NoHardware);
  const CameraEntry camera = CameraNameList[static_cast<std::size_t>(selectedCameraIndex)];
  const CameraProfile profile = SelectCameraProfile(camera.name);
  requestedWidth = profile.requestedWidth;
  requestedHeight = profile.requestedHeight;

  loadFocusPoint(focusFileName, focusPoint);
  loadOverlayParameters(overlayParameterFileName, records);
  for (const NumericValue value : fieldRewriteOrder)
    numericText(records, value) = decimal(numericValue(records, value));
  UpdateData(false);
  setUpRunSliders();
  applyDefaultColors();

  capture = cameraSystem.createCapture(camera);
  capture->open();
  if (!capture->isOpened()) ShowFatalMessage(MessageKey::OpenFailed);
  captureRunning = 1;
  if (profile.setsCaptureFormat) {
    capture->set(cv::CAP_PROP_FRAME_WIDTH, requestedWidth);
    capture->set(cv::CAP_PROP_FRAME_HEIGHT, requestedHeight);
    capture->set(cv::CAP_PROP_FOURCC, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'));
  }

  createVideoWindow(profile.aspectRatio);

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
  DrawOverlay(currentFrame, records, focusPoint);
  // The viewport is shown straight from the frame: presentMat makes the one
  // scaled copy the window needs, so no full-size copy is made per pass.
  const cv::Mat viewportImage = viewportView(currentFrame, videoWindow->view);
  if (videoWindow->pictureCtrl != nullptr) presentMat(*videoWindow->pictureCtrl, viewportImage);
}

void CVarnixDlg::createVideoWindow(float aspectRatio) {
  // A new window for every run. The previous run's window is already
  // destroyed by the close command; its object goes here, and videoWindow
  // moves to the new one at the same moment, so it never dangles.
  auto window = std::make_unique<movie>();
  window->aspectRatio = aspectRatio;
  videoWindowStorage = std::move(window);
  videoWindow = videoWindowStorage.get();
  if (!videoWindow->Create(nullptr)) return;
  videoWindow->ShowWindow(ShowCommand::Show);
}

void CVarnixDlg::setUpRunSliders() {
  for (const RunSlider& run : runSliders) {
    SliderCtrl* control = slider(numericValueInfo(run.value).sliderId);
    if (control == nullptr) continue;
    control->SetRange(run.minimum, run.maximum);
    control->SetTicFreq(run.ticFrequency);
    if (run.setsPosition) control->SetPos(numericValue(records, run.value));
    control->SetLineSize(1);
  }
}

void CVarnixDlg::OnCloseCamera() {
  if (videoWindow != nullptr) videoWindow->DestroyWindow();
  enableCaptureControls(false);
  cameraSettings.close();  // the settings window must not outlive the controls it edits
  if (capture) capture->release();
}

void CVarnixDlg::OnCameraSettings() {
  if (capture && capture->isOpened()) cameraSettings.show(capture->controls());
}

void CVarnixDlg::OnSaveParameters() {
  // A failed save must not pass for a successful one. The file on disk is
  // left as it was and the values stay in memory, so the user can retry.
  if (!saveOverlayParameters(overlayParameterFileName, records)) MessageBox("保存参数失败", "异常");
}
