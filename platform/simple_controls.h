#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>

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

// A black frame that can show a picture stretched over its whole area.
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
  // Paints the picture now, not at the next event dispatch.
  void showPicture();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
};
