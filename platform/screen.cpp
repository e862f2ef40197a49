#include "platform/screen.h"

#include <QGuiApplication>
#include <QScreen>

int screenWidth() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->geometry().width() : 0;
}
