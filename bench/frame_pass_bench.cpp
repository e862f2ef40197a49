// One pass of the frame loop without its wait: pull the controls, draw the
// overlay, cut the viewport and present it into a shown video window on the
// offscreen platform, with the paint that presenting asks for. Yardstick, measured in the same run: a
// nearest-neighbour resize of the same frame to the picture control's size.

#include <QApplication>
#include <memory>
#include <opencv2/imgproc.hpp>
#include <string>

#include "app/app_globals.h"
#include "app/varnix_dlg.h"
#include "camera/camera_system_factory.h"
#include "platform/simple_controls.h"
#include "platform/slider_ctrl.h"
#include "res/control_ids.h"
#include "video/movie.h"
#include "yardstick.h"

namespace {

// The program's windows, built once: the main dialog with every overlay
// element on at thickness 4 and a 4:3 video window, both shown.
struct Windows {
  Windows() {
    CameraSystemOptions options;
    options.simulatedCameraName = "vexa4.0";
    cameras = makeCameraSystem(options);
    dialog = std::make_unique<CVarnixDlg>(*cameras);
    if (!dialog->Create(nullptr)) std::abort();
    dialog->ShowWindow(ShowCommand::Show);
    for (int id : ctl::captureControls) dialog->EnableDlgItem(id, true);
    for (int id : {ctl::Circle1Enable, ctl::Circle2Enable, ctl::Circle3Enable, ctl::CrosshairEnable})
      dialog->checkBox(id)->setChecked(true);
    const struct {
      int sliderId;
      int position;
    } positions[] = {{ctl::Circle1RadiusSlider, 1500}, {ctl::Circle2RadiusSlider, 1000},
                     {ctl::Circle3RadiusSlider, 500},  {ctl::CrosshairLengthSlider, 1500},
                     {ctl::Circle1ThicknessSlider, 4}, {ctl::Circle2ThicknessSlider, 4},
                     {ctl::Circle3ThicknessSlider, 4}, {ctl::CrosshairThicknessSlider, 4},
                     {ctl::CrosshairAngleSlider, 450}};
    for (const auto& p : positions) {
      dialog->slider(p.sliderId)->SetRange(0, 4000);
      dialog->slider(p.sliderId)->SetPos(p.position);
    }
    window = std::make_unique<movie>();
    window->aspectRatio = 4.0f / 3.0f;
    if (!window->Create(nullptr)) std::abort();
    window->ShowWindow(ShowCommand::Show);
    videoWindow = window.get();
    QApplication::processEvents();
  }

  std::unique_ptr<CameraSystem> cameras;
  std::unique_ptr<CVarnixDlg> dialog;
  std::unique_ptr<movie> window;
};

Windows& windows() {
  static int argc = 1;
  static char name[] = "frame_pass_bench";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication application(argc, argv);
  static Windows built;
  return built;
}

void FramePass(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const int level = static_cast<int>(state.range(2));
  Windows& w = windows();
  currentFrame = makeBenchFrame(width, height);
  w.dialog->focusPoint = {width / 2.0f, height / 2.0f};
  w.window->view = ViewState{level, width / 2, height / 2, width / level, height / level};
  // The picture is sampled and painted in the loop's wait, which this pass
  // does not have: the paint is made here, so the pass still includes it.
  for (auto _ : state) {
    w.dialog->framePass();
    w.window->pictureCtrl->repaint();
  }
  state.counters["picture_w"] = w.window->pictureCtrl->width();
  state.counters["picture_h"] = w.window->pictureCtrl->height();
}

// The yardstick at the size the picture control really has.
void NearestResizeToPicture(benchmark::State& state) {
  const Windows& w = windows();
  nearestResizeTo(state, cv::Size(w.window->pictureCtrl->width(), w.window->pictureCtrl->height()));
}

const bool registered = [] {
  for (const auto& size : cameraFrameSizes) {
    const std::string frame = std::to_string(size.width) + "x" + std::to_string(size.height);
    benchmark::RegisterBenchmark(("NearestResize/" + frame).c_str(), NearestResizeToPicture)
        ->Args({size.width, size.height})
        ->Unit(benchmark::kMicrosecond);
    for (int level : {1, 8})
      benchmark::RegisterBenchmark(("FramePass/" + frame + "/level" + std::to_string(level)).c_str(),
                                   FramePass)
          ->Args({size.width, size.height, level})
          ->Unit(benchmark::kMicrosecond);
  }
  return true;
}();

}  // namespace
