#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <array>
#include <functional>

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

  // Fills the picture's buffer with the next picture, in place: it has the
  // control's size in device pixels and `format`, and is kept from picture
  // to picture while those stay, so a picture per frame costs no
  // allocation; its contents are undefined until `fill` writes them. The
  // filling happens when the control is next painted, in the next event
  // dispatch (a frame loop's wait, not its pass), or at once when the
  // control is not on screen; whatever `fill` holds is let go after it ran.
  using PictureFill = std::function<void(QImage& buffer)>;
  void showPicture(QImage::Format format, PictureFill fill);
  // The picture last shown, filled first when it is still to be; every
  // repaint paints it again.
  const QImage& picture();

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
  void fillPicture();

  QImage picture_;
  QImage::Format pendingFormat_ = QImage::Format_RGB32;
  PictureFill pendingFill_;
  std::array<CornerText, 4> cornerTexts_;
};
