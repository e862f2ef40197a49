#pragma once

#include <QLineEdit>
#include <string>
#include <string_view>

#include "platform/notifications.h"

// A single-line text field. With the digits-only style, typed characters other
// than digits are refused; pasted text goes in as it is. Every change of the
// text, typed or set from code, is reported to the dialog.
class NumberField : public QLineEdit {
  Q_OBJECT

 public:
  NumberField(int controlId, bool digitsOnly, NotificationSink& sink, QWidget* parent);

  void SetWindowText(std::string_view text);
  std::string GetWindowText() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;

 private:
  int controlId_ = 0;
  bool digitsOnly_ = false;
};
