#include "camera/camera_system_factory.h"

#include <utility>

#include "camera/simulated_camera.h"
#include "camera/v4l2_capture.h"

namespace {

// Real devices first, the simulated camera last, so a real camera of a known
// model is still preferred when both are present.
class CameraSystemWithSimulation final : public CameraSystem {
 public:
  CameraSystemWithSimulation(std::unique_ptr<CameraSystem> realDevices, std::string simulatedName,
                             SimulatedCameraOptions simulatedOptions)
      : realDevices_(std::move(realDevices)),
        simulatedName_(std::move(simulatedName)),
        simulatedOptions_(std::move(simulatedOptions)) {}

  std::vector<CameraEntry> enumerateDevices() override {
    std::vector<CameraEntry> entries = realDevices_->enumerateDevices();
    entries.push_back({simulatedName_, simulatedDevicePath});
    return entries;
  }

  std::unique_ptr<CaptureDevice> createCapture(const CameraEntry& entry) override {
    if (entry.devicePath == simulatedDevicePath) return std::make_unique<SimulatedCamera>(simulatedOptions_);
    return realDevices_->createCapture(entry);
  }

 private:
  std::unique_ptr<CameraSystem> realDevices_;
  std::string simulatedName_;
  SimulatedCameraOptions simulatedOptions_;
};

}  // namespace

std::unique_ptr<CameraSystem> makeCameraSystem(const CameraSystemOptions& options) {
  return makeCameraSystem(options, std::make_unique<V4l2CameraSystem>());
}

std::unique_ptr<CameraSystem> makeCameraSystem(const CameraSystemOptions& options,
                                               std::unique_ptr<CameraSystem> realDevices) {
  if (!options.simulatedCameraName) return realDevices;
  SimulatedCameraOptions simulated;
  simulated.sourcePath = options.simulatedSource.value_or("");
  return std::make_unique<CameraSystemWithSimulation>(std::move(realDevices), *options.simulatedCameraName,
                                                      applySimulationEnvironment(std::move(simulated)));
}
