#include "platform/screen.h"

#include <QGuiApplication>
#include <QScreen>

PixelRect primaryScreenRect() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  const QRect r = screen->geometry();
  return {r.x(), r.y(), r.width(), r.height()};
}
