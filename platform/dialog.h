#pragma once

#include <QPointer>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data_exchange.h"
#include "platform/dialog_template.h"
#include "platform/dialog_units.h"
#include "platform/message_map.h"
#include "platform/notifications.h"
#include "platform/window_events.h"

class QEventLoop;
class QScrollBar;
class QWidget;
class CheckBox;
class ColorButton;
class DialogClient;
class DialogWindow;
class Icon;
class NumberField;
class PictureCtrl;
class PushButton;
class SliderCtrl;

enum class ShowCommand { Hide, Show };
enum class IconSize { Big, Small };
enum class CursorShape { Arrow, SizeAll };

// A dialog built from a template. Controls are reached by identifier; control
// notifications go through the dialog's message map to handlers named after
// them; window messages arrive at the virtual On... handlers; UpdateData moves
// values between controls and members through DoDataExchange.
//
// The window exists from DoModal or Create until EndDialog's modal loop ends
// or DestroyWindow; the Dialog object outlives it and may create it again.
class Dialog : private WindowEventSink, private ControlLookup {
 public:
  explicit Dialog(const DialogTemplate& dialogTemplate);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally: builds the window, runs OnInitDialog, shows the
  // window and dispatches events until EndDialog. Returns EndDialog's result,
  // or -1 when the dialog is already running.
  int DoModal();
  void EndDialog(int result);

  // Modeless: builds the window and runs OnInitDialog; shows it at once only
  // when its template says so. `parent` null makes an unowned top-level window.
  [[nodiscard]] bool Create(Dialog* parent);
  void ShowWindow(ShowCommand command);
  // Destroys the window; the object stays usable, and a second call does nothing.
  void DestroyWindow();
  bool IsWindow() const;
  bool IsWindowVisible() const;

  // true pulls the controls into the members, false pushes the members into
  // the controls. Notifications from controls are discarded while it runs.
  // False when a binding names a control the dialog does not have.
  bool UpdateData(bool saveAndValidate = true);

  // Controls by identifier; null when the dialog has no such control (or it
  // is of another kind).
  QWidget* GetDlgItem(int controlId) const;
  SliderCtrl* slider(int controlId) const override;
  NumberField* numberField(int controlId) const override;
  CheckBox* checkBox(int controlId) const override;
  ColorButton* colorButton(int controlId) const;
  PushButton* pushButton(int controlId) const;
  PictureCtrl* picture(int controlId) const;
  // Enables or disables a control; false when there is no such control.
  bool EnableDlgItem(int controlId, bool enable);
  bool IsDlgItemEnabled(int controlId) const;

  void SetWindowText(std::string_view text);
  std::string GetWindowText() const;
  void SetIcon(const Icon& icon, IconSize size);
  PixelRect GetClientRect() const;
  // The outer rectangle, frame included where the window system reports one.
  PixelRect GetWindowRect() const;
  // Places and sizes the outer rectangle, the window manager's frame
  // included: (x, y) is the frame's top-left corner.
  void MoveWindow(int x, int y, int width, int height);

  // A modal box owned by this dialog with one OK button and no icon.
  int MessageBox(std::string_view text, std::string_view caption);

  // The window's own scroll bars (templates with the scroll styles), else null.
  QScrollBar* standardScrollBar(bool horizontal) const;
  void ShowScrollBar(bool horizontal, bool show);

  // The mouse pointer over the client area, the controls that take no mouse
  // input included; it stays until set again.
  void SetCursor(CursorShape shape);

  const DialogTemplate& dialogTemplate() const { return template_; }
  const DialogBaseUnits& baseUnits() const { return baseUnits_; }
  // The window while it exists, for the few things only a widget can do.
  QWidget* window() const;

  // Routes a command to the dialog as a control would send it.
  void SendCommand(int controlId, Notification code = Notification::Clicked);

 protected:
  // Called once the window and its controls exist. Return true to give the
  // focus to the first tab stop.
  virtual bool OnInitDialog();
  virtual void DoDataExchange(DataExchange& dx);
  // The command handlers for Enter and Esc, unless the message map routes
  // those commands elsewhere.
  virtual void OnOK();
  virtual void OnCancel();
  // The window's close button: turns into the cancel command.
  virtual void OnClose();
  // The window is about to go; its controls still exist. Pointers to them
  // that the dialog keeps must be dropped here.
  virtual void OnDestroy();
  virtual MessageMap GetMessageMap() const { return {}; }

  virtual void OnHScroll(ScrollCode code, int position, int controlId);
  virtual void OnVScroll(ScrollCode code, int position, int controlId);
  virtual void OnSize(SizeType type, int clientWidth, int clientHeight);
  virtual bool OnMouseWheel(unsigned keyFlags, int delta, MousePoint screenPoint);
  virtual void OnMouseMove(unsigned keyFlags, MousePoint point);
  virtual void OnLButtonDown(unsigned keyFlags, MousePoint point);
  virtual void OnLButtonUp(unsigned keyFlags, MousePoint point);
  virtual void OnLButtonDblClk(unsigned keyFlags, MousePoint point);
  virtual void OnRButtonDblClk(unsigned keyFlags, MousePoint point);
  // A letter key no control took ('A' to 'Z', flags as for the mouse).
  // Return true when it was used.
  virtual bool OnLetterKey(char letter, unsigned keyFlags, KeyRepeat repeat);

 private:
  bool buildWindow(QWidget* parentWindow);
  void createControl(const ControlTemplate& control);
  void focusFirstTabStop();
  void releaseWindow();

  // NotificationSink
  void controlNotified(int controlId, Notification code) override;
  void scrolled(int controlId, bool horizontal, ScrollCode code, int position) override;

  // WindowEventSink
  void closeRequested() override;
  void resized(SizeType type, int clientWidth, int clientHeight) override;
  void mouseMessage(MouseMessage message, unsigned keyFlags, MousePoint point) override;
  void wheelTurned(unsigned keyFlags, int delta, MousePoint screenPoint) override;
  void commandKey(int command) override;
  bool letterKey(char letter, unsigned keyFlags, KeyRepeat repeat) override;

  const DialogTemplate& template_;
  DialogBaseUnits baseUnits_;
  QPointer<DialogWindow> window_;
  std::map<int, QWidget*> controls_;
  QEventLoop* modalLoop_ = nullptr;
  int modalResult_ = 0;
  bool endRequested_ = false;
  int exchangeDepth_ = 0;
  int handlerDepth_ = 0;
};

// A modal box with one OK button and no icon, owned by `owner` (null: no
// owner). Returns commandOk once dismissed.
int ShowMessageBox(Dialog* owner, std::string_view text, std::string_view caption);
