#include "platform/dialog_font.h"

#include <QFontMetrics>
#include <QStringList>

QFont dialogFont(const DialogTemplate& dialogTemplate) {
  QFont font;
  font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(dialogTemplate.fontPointSize > 0 ? dialogTemplate.fontPointSize : 9);
  return font;
}

DialogBaseUnits measureBaseUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int advance =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {averageCharWidth(advance), metrics.ascent() + metrics.descent()};
}
