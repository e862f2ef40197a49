#include "app/varnix_app.h"

#include <QCoreApplication>

#include "app/app_globals.h"
#include "app/varnix_dlg.h"

bool CVarnixApp::InitInstance() {
  // Where settings would go; the program stores none, its parameters live in
  // files beside it.
  QCoreApplication::setOrganizationName(QStringLiteral("应用程序向导生成的本地应用程序"));

  CVarnixDlg dlg(cameraSystem_);
  mainWindow = &dlg;
  dlg.DoModal();
  mainWindow = nullptr;
  return false;
}
