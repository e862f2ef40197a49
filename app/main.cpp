#include <QApplication>
#include <QFile>

#include "app/make_camera_system.h"
#include "app/resources.h"
#include "app/varnix_app.h"
#include "app/version_record.h"
#include "platform/icon.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  ensureResources();
  QApplication::setApplicationName(QStringLiteral("varnix"));
  QFile versionFile(QString::fromLatin1(versionResource));
  if (versionFile.open(QIODevice::ReadOnly)) {
    const QByteArray text = versionFile.readAll();
    if (const auto version =
            parseVersionRecord(std::string_view(text.constData(), static_cast<std::size_t>(text.size()))))
      QApplication::setApplicationVersion(QString::fromStdString(version->productVersion));
  }
  const Icon icon = LoadIcon(appIconResource);
  if (!icon.isNull()) QApplication::setWindowIcon(icon.qicon());

  const std::unique_ptr<CameraSystem> cameraSystem = makeCameraSystem(argc, argv);
  CVarnixApp theApp(*cameraSystem);
  theApp.InitInstance();
  return 0;
}
