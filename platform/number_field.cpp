#include "platform/number_field.h"

#include <QKeyEvent>

namespace {

bool hasNonDigit(const QString& text) {
  for (const QChar c : text) {
    if (c.isPrint() && (c < u'0' || c > u'9')) return true;
  }
  return false;
}

// True for a key that would type printable text other than the digits 0-9.
bool typesNonDigit(const QKeyEvent& event) {
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  return hasNonDigit(event.text());
}

}  // namespace

NumberField::NumberField(int controlId, bool digitsOnly, NotificationSink& sink, QWidget* parent)
    : QLineEdit(parent), controlId_(controlId), digitsOnly_(digitsOnly) {
  // textChanged fires for typed and programmatic changes alike, which is what
  // the dialog's change handlers expect.
  connect(this, &QLineEdit::textChanged, this,
          [this, &sink](const QString&) { sink.controlNotified(controlId_, Notification::EditChange); });
}

void NumberField::SetWindowText(std::string_view text) {
  setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::string NumberField::GetWindowText() const {
  return text().toStdString();
}

void NumberField::keyPressEvent(QKeyEvent* event) {
  // Paste, cut, undo and the like come with a modifier and pass; only typed
  // characters are filtered, so a pasted "-35" still arrives whole.
  if (digitsOnly_ && !event->matches(QKeySequence::Paste) && typesNonDigit(*event)) {
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void NumberField::inputMethodEvent(QInputMethodEvent* event) {
  // Text composed with an input method is typed text too.
  if (digitsOnly_ && hasNonDigit(event->commitString())) {
    event->accept();
    return;
  }
  QLineEdit::inputMethodEvent(event);
}
