// Soak run of the whole program on Qt's offscreen platform: the real main
// dialog with the simulated camera, driven for a given time by seeded random
// input (wheel, drag and double clicks in the video window, slider keys,
// typing into the number fields, check boxes, save, camera settings, closing
// and opening the camera). Resident memory is sampled every few seconds.
//
// Usage: soak [seconds, default 600] [seed, default 1]
// Exit code 0 when the run ends normally, frames flowed whenever the camera
// was open, and resident memory grew by at most 5 % after the first minute
// (measured against the sample at one minute). Runs shorter than two minutes
// (their "after the first minute" is too short to judge) and AddressSanitizer
// builds only report the growth.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/app_globals.h"
#include "app/control_bindings.h"
#include "app/varnix_dlg.h"
#include "camera/camera_system_factory.h"
#include "platform/number_field.h"
#include "platform/simple_controls.h"
#include "platform/slider_ctrl.h"
#include "res/control_ids.h"
#include "tests/camera_doubles.h"
#include "tests/soak/resident_memory.h"
#include "video/movie.h"

namespace {

constexpr int actionIntervalMs = 40;
constexpr int sampleIntervalSeconds = 5;
constexpr double allowedGrowthPercent = 5.0;
constexpr int shortestJudgedRunSeconds = 120;

// AddressSanitizer holds freed memory in its quarantine, so resident memory
// climbs for minutes whatever the program does; such runs look for crashes
// and memory errors, and only report the growth.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool memoryIsJudged = false;
#else
constexpr bool memoryIsJudged = true;
#endif

class RandomInput {
 public:
  RandomInput(CVarnixDlg& dialog, unsigned seed) : dialog_(dialog), random_(seed) {}

  void act() {
    ++actions_;
    if (dialog_.IsDlgItemEnabled(ctl::OpenCamera)) {
      openCamera();
      return;
    }
    const int roll = pick(0, 999);
    if (roll < 200)
      wheel();
    else if (roll < 350)
      drag();
    else if (roll < 400)
      doubleClick();
    else if (roll < 650)
      sliderKey();
    else if (roll < 850)
      typeIntoField();
    else if (roll < 950)
      click(pickOf(enableBoxes));
    else if (roll < 970)
      click(ctl::SaveParameters);
    else if (roll < 980)
      click(ctl::CameraSettings);
    else if (roll < 990) {
      click(ctl::CloseCamera);
    } else {
      // Closed and opened again within one wait: the new run nests in the old.
      click(ctl::CloseCamera);
      openCamera();
    }
  }

  // No input from now on, also none already queued: the program is ending.
  void stop() { stopped_ = true; }

  long actions() const { return actions_; }
  long opens() const { return opens_; }

 private:
  static constexpr int enableBoxes[] = {ctl::Circle1Enable, ctl::Circle2Enable, ctl::Circle3Enable,
                                        ctl::CrosshairEnable, ctl::OffsetEnable};

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  template <typename T, std::size_t N>
  T pickOf(const T (&items)[N]) {
    return items[pick(0, static_cast<int>(N) - 1)];
  }

  void click(int id) {
    PushButton* button = dialog_.pushButton(id);
    if (button != nullptr) {
      QTest::mouseClick(button, Qt::LeftButton);
      return;
    }
    if (CheckBox* box = dialog_.checkBox(id)) QTest::mouseClick(box, Qt::LeftButton);
  }

  // The capture run lives inside the click's handler until the camera is
  // closed; it must not run inside this timer's callback, which would stop
  // the timer for as long.
  void openCamera() {
    ++opens_;
    QTimer::singleShot(0, [this] {
      if (!stopped_) click(ctl::OpenCamera);
    });
  }

  static bool haveVideoWindow() { return videoWindow != nullptr && videoWindow->IsWindow(); }

  QPoint pointInVideoWindow() {
    const PixelRect client = videoWindow->GetClientRect();
    return {pick(0, std::max(0, client.width - 1)), pick(0, std::max(0, client.height - 1))};
  }

  void wheel() {
    if (!haveVideoWindow()) return;
    QWidget* top = videoWindow->window();
    const QPoint at = pointInVideoWindow();
    QWidget* target = top->childAt(at);
    if (target == nullptr) target = top;
    const int delta = pick(0, 1) == 0 ? -120 : 120;
    QWheelEvent event(target->mapFrom(top, QPointF(at)), top->mapToGlobal(QPointF(at)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
  }

  // QTest's mouse functions for a window dispatch pending events, so the
  // sample timer may end the program (and destroy the video window) between
  // two steps of a gesture: the window is looked at again before each step.
  void drag() {
    const QPointer<QWindow> handle = videoWindowHandle();
    if (!handle) return;
    QTest::mousePress(handle, Qt::LeftButton, {}, pointInVideoWindow());
    for (int step = pick(1, 5); step > 0; --step) {
      if (!stillThere(handle)) return;
      QTest::mouseMove(handle, pointInVideoWindow());
    }
    if (stillThere(handle)) QTest::mouseRelease(handle, Qt::LeftButton, {}, pointInVideoWindow());
  }

  void doubleClick() {
    const QPointer<QWindow> handle = videoWindowHandle();
    if (!handle) return;
    QTest::mouseDClick(handle, pick(0, 1) == 0 ? Qt::LeftButton : Qt::RightButton, {}, pointInVideoWindow());
  }

  static QWindow* videoWindowHandle() {
    return haveVideoWindow() ? videoWindow->window()->windowHandle() : nullptr;
  }

  bool stillThere(const QPointer<QWindow>& handle) const {
    return !stopped_ && handle && haveVideoWindow() && videoWindow->window()->windowHandle() == handle;
  }

  void sliderKey() {
    const ValueControls& row = valueControls[static_cast<std::size_t>(pick(0, numericValueCount - 1))];
    static constexpr Qt::Key keys[] = {Qt::Key_Left,     Qt::Key_Right, Qt::Key_PageUp,
                                       Qt::Key_PageDown, Qt::Key_Home,  Qt::Key_End};
    if (SliderCtrl* slider = dialog_.slider(row.sliderId)) QTest::keyClick(slider, pickOf(keys));
  }

  void typeIntoField() {
    const ValueControls& row = valueControls[static_cast<std::size_t>(pick(0, numericValueCount - 1))];
    NumberField* field = dialog_.numberField(row.fieldId);
    if (field == nullptr) return;
    static constexpr char typed[] = "0123456789-+ .ex";
    std::string text;
    for (int length = pick(0, 6); length > 0; --length) text += typed[pick(0, sizeof typed - 2)];
    if (pick(0, 1) == 0) QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (pick(0, 3) == 0) QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, QString::fromStdString(text));
  }

  CVarnixDlg& dialog_;
  std::mt19937 random_;
  long actions_ = 0;
  long opens_ = 0;
  bool stopped_ = false;
};

bool captureOpen(const CVarnixDlg& dialog) {
  return dialog.capture != nullptr && dialog.capture->isOpened();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1u;
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: soak [seconds] [seed]\n");
    return 2;
  }

  // The program reads and writes its files in the working folder.
  QTemporaryDir folder;
  if (!folder.isValid() || !QDir::setCurrent(folder.path())) {
    std::fprintf(stderr, "soak: no temporary working folder\n");
    return 1;
  }
  std::ofstream("focus.txt") << "1920 1080";
  std::ofstream("config4k.txt") << "300 2 600 2 900 2 1000 1 300 0 0";

  CameraSystemOptions options;
  options.simulatedCameraName = "vexa3.5";
  // No real devices: the soak must behave the same on every machine.
  const std::unique_ptr<CameraSystem> cameras =
      makeCameraSystem(options, std::make_unique<FakeCameraSystem>());
  CVarnixDlg dialog(*cameras);
  RandomInput input(dialog, seed);

  QTimer actionTimer;
  QObject::connect(&actionTimer, &QTimer::timeout, [&] { input.act(); });
  actionTimer.start(actionIntervalMs);

  std::vector<MemorySample> samples;
  long lastPasses = 0;
  bool wasOpen = false;
  bool stalled = false;
  // Wall-clock time: a busy machine delays the timer's ticks, it does not
  // make the run shorter.
  QElapsedTimer clock;
  clock.start();
  int elapsed = 0;
  int lastElapsed = 0;
  QTimer sampleTimer;
  QObject::connect(&sampleTimer, &QTimer::timeout, [&] {
    lastElapsed = elapsed;
    elapsed = static_cast<int>(clock.elapsed() / 1000);
    const long kib = residentKiB().value_or(0);
    samples.push_back({elapsed, kib});
    const bool open = captureOpen(dialog);
    // Open at both ends of the interval yet no pass: the loop has stopped.
    if (wasOpen && open && dialog.passCount == lastPasses) {
      std::fprintf(stderr, "soak: no frame pass between %d s and %d s with the camera open\n", lastElapsed,
                   elapsed);
      stalled = true;
    }
    std::printf("t=%4d s  rss=%7ld KiB  passes=%ld  actions=%ld  opens=%ld\n", elapsed, kib, dialog.passCount,
                input.actions(), input.opens());
    std::fflush(stdout);
    lastPasses = dialog.passCount;
    wasOpen = open;
    if (elapsed >= seconds) {
      actionTimer.stop();
      sampleTimer.stop();
      input.stop();
      QTimer::singleShot(0, [&] { QTest::mouseClick(dialog.pushButton(ctl::CloseProgram), Qt::LeftButton); });
    }
  });
  sampleTimer.start(sampleIntervalSeconds * 1000);

  dialog.DoModal();

  const GrowthReport growth = growthOf(samples);
  bool failed = stalled || dialog.passCount == 0;
  if (growth.baseline) {
    const bool judged = memoryIsJudged && seconds >= shortestJudgedRunSeconds;
    std::printf(
        "resident memory: %ld KiB at %d s, max after it %ld KiB (%+.2f %%), max of the last minute %ld "
        "KiB%s\n",
        growth.baseline->kib, growth.baseline->atSeconds, growth.maxAfterBaselineKiB, growth.growthPercent,
        growth.lastMinuteMaxKiB,
        judged            ? ""
        : !memoryIsJudged ? " (AddressSanitizer build: reported, not judged)"
                          : " (run shorter than 2 minutes: reported, not judged)");
    if (judged && growth.growthPercent > allowedGrowthPercent) {
      std::fprintf(stderr, "soak: resident memory grew by more than %.0f %%\n", allowedGrowthPercent);
      failed = true;
    }
  }
  std::printf("%s: %d s, seed %u, %ld passes, %ld actions, %ld openings\n", failed ? "FAIL" : "PASS", seconds,
              seed, dialog.passCount, input.actions(), input.opens());
  return failed ? 1 : 0;
}
