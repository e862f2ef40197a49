#include <QApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/resources.h"
#include "app/varnix_app.h"
#include "app/version_record.h"
#include "app/window_platform.h"
#include "camera/camera_system_factory.h"
#include "platform/icon.h"

int main(int argc, char** argv) {
  // Decided before the toolkit starts, which reads it once.
  if (const auto platform = chooseWindowPlatform([](const char* name) { return std::getenv(name); }))
    ::setenv("QT_QPA_PLATFORM", platform->c_str(), 0);
  QApplication application(argc, argv);
  // QApplication has taken its own options out of argv; the rest are ours.
  std::string usageError;
  const auto options = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), usageError);
  if (!options) {
    std::fprintf(stderr, "%s\n", usageError.c_str());
    return 2;
  }
  ensureResources();
  QApplication::setApplicationName(QStringLiteral("varnix"));
  // Lets the window system match our windows to the installed launcher entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(VARNIX_APP_ID));
  QFile versionFile(QString::fromLatin1(versionResource));
  if (versionFile.open(QIODevice::ReadOnly)) {
    const QByteArray text = versionFile.readAll();
    if (const auto version =
            parseVersionRecord(std::string_view(text.constData(), static_cast<std::size_t>(text.size()))))
      QApplication::setApplicationVersion(QString::fromStdString(version->productVersion));
  }
  const Icon icon = LoadIcon(appIconResource);
  if (!icon.isNull()) QApplication::setWindowIcon(icon.qicon());

  const std::unique_ptr<CameraSystem> cameraSystem = makeCameraSystem(cameraSystemOptions(*options));
  CVarnixApp theApp(*cameraSystem);
  theApp.InitInstance();
  return 0;
}
