#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <array>

#include "platform/notifications.h"

// The plain controls of a dialog template. Buttons and check boxes report
// clicks; group boxes, texts and pictures take no mouse input, so clicks fall
// through to whatever lies beneath them.

class PushButton : public QPushButton {
  Q_OBJECT

 public:
  PushButton(int controlId, const QString& caption, NotificationSink& sink, QWidget* parent);
};

class CheckBox : public QCheckBox {
  Q_OBJECT

 public:
  CheckBox(int controlId, const QString& caption, NotificationSink& sink, QWidget* parent);

  void SetCheck(int state) { setChecked(state != 0); }
  int GetCheck() const { return isChecked() ? 1 : 0; }
};

class GroupBox : public QGroupBox {
  Q_OBJECT

 public:
  GroupBox(const QString& caption, QWidget* parent);
};

class StaticText : public QLabel {
  Q_OBJECT

 public:
  StaticText(const QString& caption, QWidget* parent);
};

enum class PictureCorner { TopLeft, TopRight, BottomLeft, BottomRight };

// A black frame that can show a picture stretched over its whole area, and a
// few lines of text over the picture in any of its corners.
class PictureCtrl : public QFrame {
  Q_OBJECT

 public:
  explicit PictureCtrl(QWidget* parent);

  // The picture last shown; every repaint paints it again.
  const QImage& picture() const { return picture_; }
  // The picture's own buffer, to draw the next picture into in place: kept
  // from call to call while `size` and `format` stay the same, so a picture
  // per frame costs no allocation. Its contents are undefined until written.
  QImage& pictureBuffer(QSize size, QImage::Format format);
  // Paints the picture at the next event dispatch, together with any text
  // changed over it: a frame loop paints while it waits, not in its pass.
  void showPicture();

  // Lines of text in `corner`, in `color` on a dark backing so they read on
  // any picture; no lines removes them. They are drawn on the control, not
  // into the picture, at the control's font size whatever the picture's
  // scale, and stay until replaced.
  void setCornerText(PictureCorner corner, const QStringList& lines, const QColor& color = Qt::white);
  const QStringList& cornerText(PictureCorner corner) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct CornerText {
    QStringList lines;
    QColor color;
  };
  void paintCornerText(QPainter& painter, PictureCorner corner) const;

  QImage picture_;
  std::array<CornerText, 4> cornerTexts_;
};
