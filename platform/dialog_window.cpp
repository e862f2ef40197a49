#include "platform/dialog_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

namespace {

unsigned keyFlagsOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  unsigned flags = 0;
  if (buttons & Qt::LeftButton) flags |= mouse_flags::LeftButton;
  if (buttons & Qt::RightButton) flags |= mouse_flags::RightButton;
  if (buttons & Qt::MiddleButton) flags |= mouse_flags::MiddleButton;
  if (modifiers & Qt::ShiftModifier) flags |= mouse_flags::Shift;
  if (modifiers & Qt::ControlModifier) flags |= mouse_flags::Control;
  return flags;
}

MousePoint pointOf(const QPointF& p) {
  return {static_cast<int>(p.x()), static_cast<int>(p.y())};
}

ScrollCode scrollCodeOf(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: return ScrollCode::LineDown;
    case QAbstractSlider::SliderSingleStepSub: return ScrollCode::LineUp;
    case QAbstractSlider::SliderPageStepAdd: return ScrollCode::PageDown;
    case QAbstractSlider::SliderPageStepSub: return ScrollCode::PageUp;
    case QAbstractSlider::SliderToMinimum: return ScrollCode::Top;
    case QAbstractSlider::SliderToMaximum: return ScrollCode::Bottom;
    default: return ScrollCode::ThumbTrack;
  }
}

Qt::WindowFlags windowFlagsOf(std::uint32_t style) {
  using namespace window_style;
  Qt::WindowFlags flags = Qt::CustomizeWindowHint;
  // A dialog frame makes a dialog of the window, owned by the program,
  // unless it asks for a task-bar entry of its own: then it is a main window.
  flags |= (style & ModalFrame) && !(style & AppWindow) ? Qt::Dialog : Qt::Window;
  if (style & Caption)
    flags |= Qt::WindowTitleHint;
  else
    flags |= Qt::FramelessWindowHint;
  if (style & SystemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  return flags;
}

}  // namespace

DialogClient::DialogClient(WindowEventSink* owner, QWidget* parent) : QWidget(parent), owner_(owner) {
  // Moves without a button pressed reach the dialog too.
  setMouseTracking(true);
}

void DialogClient::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (owner_ == nullptr) return;
  const QWidget* top = window();
  const SizeType type = top->isMinimized()   ? SizeType::Minimized
                        : top->isMaximized() ? SizeType::Maximized
                                             : SizeType::Restored;
  owner_->resized(type, width(), height());
}

void DialogClient::mousePressEvent(QMouseEvent* event) {
  if (owner_ == nullptr) return;
  const unsigned flags = keyFlagsOf(event->buttons(), event->modifiers());
  if (event->button() == Qt::LeftButton)
    owner_->mouseMessage(MouseMessage::LeftDown, flags, pointOf(event->position()));
}

void DialogClient::mouseReleaseEvent(QMouseEvent* event) {
  if (owner_ == nullptr) return;
  const unsigned flags = keyFlagsOf(event->buttons(), event->modifiers());
  if (event->button() == Qt::LeftButton)
    owner_->mouseMessage(MouseMessage::LeftUp, flags, pointOf(event->position()));
}

void DialogClient::mouseDoubleClickEvent(QMouseEvent* event) {
  // A double click is a message of its own, not a second press.
  if (owner_ == nullptr) return;
  const unsigned flags = keyFlagsOf(event->buttons(), event->modifiers());
  if (event->button() == Qt::LeftButton)
    owner_->mouseMessage(MouseMessage::LeftDoubleClick, flags, pointOf(event->position()));
  else if (event->button() == Qt::RightButton)
    owner_->mouseMessage(MouseMessage::RightDoubleClick, flags, pointOf(event->position()));
}

void DialogClient::mouseMoveEvent(QMouseEvent* event) {
  if (owner_ == nullptr) return;
  owner_->mouseMessage(MouseMessage::Move, keyFlagsOf(event->buttons(), event->modifiers()),
                       pointOf(event->position()));
}

void DialogClient::wheelEvent(QWheelEvent* event) {
  if (owner_ == nullptr) return;
  int delta = event->angleDelta().y();
  // Turned with a key held, the wheel may come as a sideways turn (Alt on
  // X11); it is still the wheel. A sideways scroll alone is not.
  if (delta == 0 && event->modifiers() != Qt::NoModifier) delta = event->angleDelta().x();
  if (delta == 0) return;
  owner_->wheelTurned(keyFlagsOf(event->buttons(), event->modifiers()), delta,
                      pointOf(event->globalPosition()));
}

DialogWindow::DialogWindow(WindowEventSink& owner, const DialogTemplate& dialogTemplate,
                           QWidget* parentWindow)
    : QWidget(parentWindow, windowFlagsOf(dialogTemplate.style)),
      owner_(&owner),
      fixedSize_((dialogTemplate.style & window_style::ThickFrame) == 0) {
  client_ = new DialogClient(&owner, this);
  if (dialogTemplate.style & window_style::HScroll) horizontalBar_ = makeScrollBar(true);
  if (dialogTemplate.style & window_style::VScroll) verticalBar_ = makeScrollBar(false);
}

void DialogWindow::detach() {
  owner_ = nullptr;
  client_->detach();
}

QScrollBar* DialogWindow::makeScrollBar(bool horizontal) {
  auto* bar = new QScrollBar(horizontal ? Qt::Horizontal : Qt::Vertical, this);
  bar->setFocusPolicy(Qt::NoFocus);
  // The bar's menu ("Scroll here", ...) would move it without telling the
  // dialog, leaving the bar and the dialog's idea of it apart.
  bar->setContextMenuPolicy(Qt::PreventContextMenu);
  // The standard bars belong to the window: its wheel handling covers them.
  bar->installEventFilter(this);
  bar->hide();  // the dialog shows a bar once it has something to scroll
  connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar, horizontal](int action) {
    // As with sliders: commit the new position before the dialog reads it.
    bar->setValue(bar->sliderPosition());
    if (owner_ != nullptr)
      owner_->scrolled(standardScrollBar, horizontal, scrollCodeOf(action), bar->value());
  });
  connect(bar, &QAbstractSlider::sliderReleased, this, [this, bar, horizontal] {
    if (owner_ == nullptr) return;
    owner_->scrolled(standardScrollBar, horizontal, ScrollCode::ThumbPosition, bar->value());
    if (owner_ != nullptr)
      owner_->scrolled(standardScrollBar, horizontal, ScrollCode::EndScroll, bar->value());
  });
  return bar;
}

int DialogWindow::barExtent(bool horizontal) const {
  const QScrollBar* bar = scrollBar(horizontal);
  if (bar == nullptr || bar->isHidden()) return 0;
  return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bar);
}

void DialogWindow::showScrollBar(bool horizontal, bool show) {
  QScrollBar* bar = scrollBar(horizontal);
  if (bar == nullptr || bar->isHidden() != show) return;
  bar->setVisible(show);
  layoutClient();
}

void DialogWindow::setClientSize(int width, int height) {
  setWindowSize(width + barExtent(false), height + barExtent(true));
}

void DialogWindow::setWindowSize(int width, int height) {
  if (fixedSize_)
    setFixedSize(width, height);
  else
    resize(width, height);
  layoutClient();
}

FrameExtents DialogWindow::frameExtents() const {
  const QRect frame = frameGeometry();
  const QRect inner = geometry();
  return {inner.left() - frame.left(), frame.right() - inner.right(), inner.top() - frame.top(),
          frame.bottom() - inner.bottom()};
}

void DialogWindow::placeFrame(const PixelRect& outer) {
  placement_ = outer;
  applyPlacement();
}

void DialogWindow::applyPlacement() {
  const FrameExtents frame = frameExtents();
  const PixelRect inside = rectInsideFrame(*placement_, frame);
  setWindowSize(inside.width, inside.height);
  // A top-level window's position is that of its frame.
  move(placement_->x, placement_->y);
  placedWith_ = frame;
  if (frame != FrameExtents{}) placement_.reset();
}

void DialogWindow::placeAgainOnceFramed() {
  if (placement_ && frameExtents() != placedWith_) applyPlacement();
}

void DialogWindow::layoutClient() {
  const int right = barExtent(false);
  const int bottom = barExtent(true);
  const int clientWidth = std::max(0, width() - right);
  const int clientHeight = std::max(0, height() - bottom);
  client_->setGeometry(0, 0, clientWidth, clientHeight);
  if (verticalBar_ != nullptr) verticalBar_->setGeometry(clientWidth, 0, right, clientHeight);
  if (horizontalBar_ != nullptr) horizontalBar_->setGeometry(0, clientHeight, clientWidth, bottom);
}

void DialogWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutClient();
  placeAgainOnceFramed();
}

void DialogWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  placeAgainOnceFramed();
}

void DialogWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  placeAgainOnceFramed();
}

void DialogWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || owner_ == nullptr) return;
  // Every change of state is a size message, as a restore must lay the window
  // out again even when the client area came back at the size it had.
  if (isMinimized())
    owner_->resized(SizeType::Minimized, 0, 0);
  else
    owner_->resized(isMaximized() ? SizeType::Maximized : SizeType::Restored, client_->width(),
                    client_->height());
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
  const bool standardBar = watched == horizontalBar_ || watched == verticalBar_;
  if (!standardBar || event->type() != QEvent::Wheel) return QWidget::eventFilter(watched, event);
  // Forwarded, and kept from the bar, which would scroll by itself.
  client_->wheelEvent(static_cast<QWheelEvent*>(event));
  return true;
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  if (owner_ == nullptr) {
    QWidget::keyPressEvent(event);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Escape:
      event->accept();
      owner_->commandKey(commandCancel);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event->accept();
      // A focused push button takes Enter as a click; anywhere else Enter is
      // the dialog's OK command.
      if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button != nullptr && button->isEnabled())
        button->click();
      else
        owner_->commandKey(commandOk);
      return;
    default:
      if (event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z &&
          owner_->letterKey(static_cast<char>('A' + (event->key() - Qt::Key_A)),
                            keyFlagsOf(Qt::NoButton, event->modifiers()),
                            event->isAutoRepeat() ? KeyRepeat::Repeated : KeyRepeat::First)) {
        event->accept();
        return;
      }
      QWidget::keyPressEvent(event);
  }
}

void DialogWindow::closeEvent(QCloseEvent* event) {
  // The close button and Alt+F4 ask; the dialog decides whether to end.
  event->ignore();
  if (owner_ != nullptr) owner_->closeRequested();
}
