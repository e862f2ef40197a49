#include "platform/dialog.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScrollBar>

#include "platform/color_button.h"
#include "platform/dialog_font.h"
#include "platform/dialog_window.h"
#include "platform/icon.h"
#include "platform/number_field.h"
#include "platform/simple_controls.h"
#include "platform/slider_ctrl.h"

namespace {

QString qtext(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Counts nested runs: of the dialog's handlers (while one runs, its window may
// not be deleted on the spot) and of its data exchange.
class DepthScope {
 public:
  explicit DepthScope(int& depth) : depth_(depth) { ++depth_; }
  ~DepthScope() { --depth_; }
  DepthScope(const DepthScope&) = delete;
  DepthScope& operator=(const DepthScope&) = delete;

 private:
  int& depth_;
};

}  // namespace

Dialog::Dialog(const DialogTemplate& dialogTemplate) : template_(dialogTemplate) {
  // Windows come and go with the dialogs, not with the application: hiding or
  // closing the last one must not end every running event loop.
  QGuiApplication::setQuitOnLastWindowClosed(false);
}

Dialog::~Dialog() {
  releaseWindow();
}

bool Dialog::buildWindow(QWidget* parentWindow) {
  if (window_) return false;
  window_ = new DialogWindow(*this, template_, parentWindow);
  const QFont font = dialogFont(template_);
  window_->setFont(font);
  baseUnits_ = measureBaseUnits(font);
  window_->setWindowTitle(qtext(template_.caption));
  window_->setWindowIcon(QGuiApplication::windowIcon());

  controls_.clear();
  for (const ControlTemplate& control : template_.controls) createControl(control);

  // Tab order is template order; Qt skips disabled controls by itself.
  QWidget* previous = nullptr;
  for (const ControlTemplate& control : template_.controls) {
    if ((control.style & control_style::TabStop) == 0) continue;
    QWidget* widget = GetDlgItem(control.id);
    if (widget == nullptr) continue;
    if (previous != nullptr) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }

  const PixelRect size = dialogRectToPixels(template_.rect, baseUnits_);
  window_->setClientSize(size.width, size.height);
  return true;
}

void Dialog::createControl(const ControlTemplate& control) {
  QWidget* parent = window_->client();
  NotificationSink& sink = *this;
  const QString caption = qtext(control.caption);
  QWidget* widget = nullptr;
  switch (control.kind) {
    case ControlKind::PushButton: widget = new PushButton(control.id, caption, sink, parent); break;
    case ControlKind::CheckBox: widget = new CheckBox(control.id, caption, sink, parent); break;
    case ControlKind::GroupBox: widget = new GroupBox(caption, parent); break;
    case ControlKind::StaticText: widget = new StaticText(caption, parent); break;
    case ControlKind::Picture: widget = new PictureCtrl(parent); break;
    case ControlKind::Slider: widget = new SliderCtrl(control.id, sink, parent); break;
    case ControlKind::NumberField: {
      auto* field =
          new NumberField(control.id, (control.style & control_style::DigitsOnly) != 0, sink, parent);
      field->setFrame((control.style & control_style::Border) != 0);
      widget = field;
      break;
    }
    case ControlKind::ColorButton: {
      const ColorButtonOptions* options = findColorButtonOptions(template_, control.id);
      widget =
          new ColorButton(control.id, options != nullptr ? *options : ColorButtonOptions{}, sink, parent);
      break;
    }
  }
  const PixelRect r = dialogRectToPixels(control.rect, baseUnits_);
  widget->setGeometry(r.x, r.y, r.width, r.height);
  widget->setFocusPolicy((control.style & control_style::TabStop) ? Qt::StrongFocus : Qt::NoFocus);
  // Group boxes sit behind the controls they frame, whatever their place in
  // the template, so they never cover one.
  if (control.kind == ControlKind::GroupBox) widget->lower();
  if (control.id != noControlId) controls_.emplace(control.id, widget);
}

int Dialog::DoModal() {
  if (modalLoop_ != nullptr || !buildWindow(nullptr)) return -1;
  QEventLoop loop;
  modalLoop_ = &loop;
  modalResult_ = commandCancel;
  endRequested_ = false;
  const bool focusFirst = OnInitDialog();
  // OnInitDialog may already have ended the dialog.
  if (!endRequested_ && window_) {
    window_->show();
    window_->activateWindow();
    if (focusFirst) focusFirstTabStop();
    loop.exec();
  }
  modalLoop_ = nullptr;
  releaseWindow();
  return modalResult_;
}

void Dialog::EndDialog(int result) {
  modalResult_ = result;
  endRequested_ = true;
  if (window_) window_->hide();
  // Ends the modal loop once every handler running inside it has returned.
  if (modalLoop_ != nullptr) modalLoop_->exit(result);
}

bool Dialog::Create(Dialog* parent) {
  QWidget* parentWindow = parent != nullptr ? parent->window() : nullptr;
  if (!buildWindow(parentWindow)) return false;
  const bool focusFirst = OnInitDialog();
  if (window_ && (template_.style & window_style::Visible)) {
    window_->show();
    if (focusFirst) focusFirstTabStop();
  }
  return static_cast<bool>(window_);
}

void Dialog::ShowWindow(ShowCommand command) {
  if (!window_) return;
  window_->setVisible(command == ShowCommand::Show);
}

void Dialog::DestroyWindow() {
  if (modalLoop_ != nullptr) modalLoop_->exit(modalResult_);
  releaseWindow();
}

void Dialog::releaseWindow() {
  if (!window_) return;
  OnDestroy();
  DialogWindow* window = window_;
  window_ = nullptr;
  window->detach();
  window->hide();
  controls_.clear();
  // Deleting a widget from inside one of its own event handlers pulls the
  // floor from under Qt; then the event loop deletes it once it is safe.
  if (handlerDepth_ > 0)
    window->deleteLater();
  else
    delete window;
}

bool Dialog::IsWindow() const {
  return static_cast<bool>(window_);
}

bool Dialog::IsWindowVisible() const {
  return window_ && window_->isVisible();
}

QWidget* Dialog::window() const {
  return window_;
}

bool Dialog::UpdateData(bool saveAndValidate) {
  DepthScope exchange(exchangeDepth_);
  DataExchange dx(*this, saveAndValidate);
  DoDataExchange(dx);
  return !dx.failed();
}

QWidget* Dialog::GetDlgItem(int controlId) const {
  const auto it = controls_.find(controlId);
  return it == controls_.end() ? nullptr : it->second;
}

SliderCtrl* Dialog::slider(int controlId) const {
  return qobject_cast<SliderCtrl*>(GetDlgItem(controlId));
}

NumberField* Dialog::numberField(int controlId) const {
  return qobject_cast<NumberField*>(GetDlgItem(controlId));
}

CheckBox* Dialog::checkBox(int controlId) const {
  return qobject_cast<CheckBox*>(GetDlgItem(controlId));
}

ColorButton* Dialog::colorButton(int controlId) const {
  return qobject_cast<ColorButton*>(GetDlgItem(controlId));
}

PushButton* Dialog::pushButton(int controlId) const {
  return qobject_cast<PushButton*>(GetDlgItem(controlId));
}

PictureCtrl* Dialog::picture(int controlId) const {
  return qobject_cast<PictureCtrl*>(GetDlgItem(controlId));
}

bool Dialog::EnableDlgItem(int controlId, bool enable) {
  QWidget* widget = GetDlgItem(controlId);
  if (widget == nullptr) return false;
  widget->setEnabled(enable);
  return true;
}

bool Dialog::IsDlgItemEnabled(int controlId) const {
  const QWidget* widget = GetDlgItem(controlId);
  return widget != nullptr && widget->isEnabled();
}

void Dialog::SetWindowText(std::string_view text) {
  if (window_) window_->setWindowTitle(qtext(text));
}

std::string Dialog::GetWindowText() const {
  return window_ ? window_->windowTitle().toStdString() : std::string();
}

void Dialog::SetIcon(const Icon& icon, IconSize /*size*/) {
  // The window system picks the size it needs from the one icon.
  if (window_ && !icon.isNull()) window_->setWindowIcon(icon.qicon());
}

PixelRect Dialog::GetClientRect() const {
  if (!window_) return {};
  return {0, 0, window_->client()->width(), window_->client()->height()};
}

PixelRect Dialog::GetWindowRect() const {
  if (!window_) return {};
  const QRect frame = window_->frameGeometry();
  return {frame.x(), frame.y(), frame.width(), frame.height()};
}

void Dialog::MoveWindow(int x, int y, int width, int height) {
  if (window_) window_->placeFrame({x, y, width, height});
}

int Dialog::MessageBox(std::string_view text, std::string_view caption) {
  return ShowMessageBox(this, text, caption);
}

int ShowMessageBox(Dialog* owner, std::string_view text, std::string_view caption) {
  QMessageBox box(owner != nullptr ? owner->window() : nullptr);
  box.setWindowTitle(qtext(caption));
  box.setTextFormat(Qt::PlainText);
  box.setText(qtext(text));
  box.setIcon(QMessageBox::NoIcon);
  box.setStandardButtons(QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  box.setWindowIcon(QGuiApplication::windowIcon());
  box.exec();
  return commandOk;
}

QScrollBar* Dialog::standardScrollBar(bool horizontal) const {
  return window_ ? window_->scrollBar(horizontal) : nullptr;
}

void Dialog::ShowScrollBar(bool horizontal, bool show) {
  if (window_) window_->showScrollBar(horizontal, show);
}

void Dialog::SetCursor(CursorShape shape) {
  if (!window_) return;
  window_->client()->setCursor(shape == CursorShape::SizeAll ? Qt::SizeAllCursor : Qt::ArrowCursor);
}

void Dialog::focusFirstTabStop() {
  for (const ControlTemplate& control : template_.controls) {
    QWidget* widget = GetDlgItem(control.id);
    if (widget != nullptr && (control.style & control_style::TabStop) && widget->isEnabled()) {
      widget->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

void Dialog::SendCommand(int controlId, Notification code) {
  controlNotified(controlId, code);
}

void Dialog::controlNotified(int controlId, Notification code) {
  // What controls say while the dialog itself moves values into them is an
  // echo of the exchange, not the user.
  if (exchangeDepth_ > 0) return;
  DepthScope handler(handlerDepth_);
  for (const CommandEntry& entry : GetMessageMap()) {
    if (entry.controlId == controlId && entry.code == code) {
      entry.invoke(*this);
      return;
    }
  }
  if (code != Notification::Clicked) return;
  if (controlId == commandOk)
    OnOK();
  else if (controlId == commandCancel)
    OnCancel();
}

void Dialog::scrolled(int controlId, bool horizontal, ScrollCode code, int position) {
  DepthScope handler(handlerDepth_);
  if (horizontal)
    OnHScroll(code, position, controlId);
  else
    OnVScroll(code, position, controlId);
}

void Dialog::closeRequested() {
  DepthScope handler(handlerDepth_);
  OnClose();
}

void Dialog::resized(SizeType type, int clientWidth, int clientHeight) {
  DepthScope handler(handlerDepth_);
  OnSize(type, clientWidth, clientHeight);
}

void Dialog::mouseMessage(MouseMessage message, unsigned keyFlags, MousePoint point) {
  DepthScope handler(handlerDepth_);
  switch (message) {
    case MouseMessage::Move: OnMouseMove(keyFlags, point); break;
    case MouseMessage::LeftDown: OnLButtonDown(keyFlags, point); break;
    case MouseMessage::LeftUp: OnLButtonUp(keyFlags, point); break;
    case MouseMessage::LeftDoubleClick: OnLButtonDblClk(keyFlags, point); break;
    case MouseMessage::RightDoubleClick: OnRButtonDblClk(keyFlags, point); break;
  }
}

void Dialog::wheelTurned(unsigned keyFlags, int delta, MousePoint screenPoint) {
  DepthScope handler(handlerDepth_);
  OnMouseWheel(keyFlags, delta, screenPoint);
}

void Dialog::commandKey(int command) {
  SendCommand(command);
}

bool Dialog::letterKey(char letter, unsigned keyFlags, KeyRepeat repeat) {
  DepthScope handler(handlerDepth_);
  return OnLetterKey(letter, keyFlags, repeat);
}

bool Dialog::OnInitDialog() {
  // Members into controls once, as every dialog starts.
  (void)UpdateData(false);
  return true;
}

void Dialog::DoDataExchange(DataExchange& /*dx*/) {}

void Dialog::OnOK() {
  if (!UpdateData(true)) return;  // a failed exchange keeps the dialog open
  EndDialog(commandOk);
}

void Dialog::OnCancel() {
  EndDialog(commandCancel);
}

void Dialog::OnClose() {
  SendCommand(commandCancel);
}

void Dialog::OnDestroy() {}

void Dialog::OnHScroll(ScrollCode, int, int) {}
void Dialog::OnVScroll(ScrollCode, int, int) {}
void Dialog::OnSize(SizeType, int, int) {}
bool Dialog::OnMouseWheel(unsigned, int, MousePoint) {
  return false;
}
void Dialog::OnMouseMove(unsigned, MousePoint) {}
void Dialog::OnLButtonDown(unsigned, MousePoint) {}
void Dialog::OnLButtonUp(unsigned, MousePoint) {}
void Dialog::OnLButtonDblClk(unsigned, MousePoint) {}
void Dialog::OnRButtonDblClk(unsigned, MousePoint) {}
bool Dialog::OnLetterKey(char, unsigned, KeyRepeat) {
  return false;
}
