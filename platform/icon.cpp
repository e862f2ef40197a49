#include "platform/icon.h"

#include <QIcon>
#include <QPixmap>
#include <QString>

Icon::Icon() : icon_(std::make_shared<const QIcon>()) {}
Icon::~Icon() = default;
Icon::Icon(const Icon&) = default;
Icon& Icon::operator=(const Icon&) = default;

bool Icon::isNull() const {
  return icon_->isNull();
}

const QIcon& Icon::qicon() const {
  return *icon_;
}

Icon LoadIcon(std::string_view resourcePath) {
  Icon icon;
  // Through a pixmap, so a missing resource gives a null icon rather than an
  // icon that draws nothing.
  const QPixmap pixmap(QString::fromUtf8(resourcePath.data(), static_cast<qsizetype>(resourcePath.size())));
  if (!pixmap.isNull()) icon.icon_ = std::make_shared<const QIcon>(pixmap);
  return icon;
}
