#pragma once

#include <QWidget>
#include <optional>

#include "platform/dialog_template.h"
#include "platform/window_events.h"
#include "platform/window_frame.h"

class QScrollBar;

// The client area of a dialog window: parent of the controls, and the place
// where mouse input that no control takes reaches the dialog.
class DialogClient : public QWidget {
  Q_OBJECT

 public:
  DialogClient(WindowEventSink* owner, QWidget* parent);
  void detach() { owner_ = nullptr; }

  // Public, as the window hands over the wheel turned over its scroll bars.
  void wheelEvent(QWheelEvent* event) override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  WindowEventSink* owner_ = nullptr;
};

// The top-level window of a dialog: title bar as the template asks, the
// client area, and the standard scroll bars when the template has them. It
// turns Esc, Enter and the close button into the dialog's commands.
class DialogWindow : public QWidget {
  Q_OBJECT

 public:
  // `owner` hears of everything the window and its scroll bars report until detach().
  DialogWindow(WindowEventSink& owner, const DialogTemplate& dialogTemplate, QWidget* parentWindow);

  // The dialog no longer hears from this window (it is being destroyed).
  void detach();

  DialogClient* client() const { return client_; }
  QScrollBar* scrollBar(bool horizontal) const { return horizontal ? horizontalBar_ : verticalBar_; }
  void showScrollBar(bool horizontal, bool show);
  // Sizes the window so that its client area is width x height.
  void setClientSize(int width, int height);
  // Sizes the window (scroll bars included, frame excluded).
  void setWindowSize(int width, int height);
  // Places and sizes the window by its outer frame. The window manager tells
  // the frame only once it has framed the shown window, so the placement is
  // made again then; without a window manager the frame is the window.
  void placeFrame(const PixelRect& outer);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QScrollBar* makeScrollBar(bool horizontal);
  void layoutClient();
  int barExtent(bool horizontal) const;
  FrameExtents frameExtents() const;
  void applyPlacement();
  void placeAgainOnceFramed();

  WindowEventSink* owner_ = nullptr;
  bool fixedSize_ = false;
  DialogClient* client_ = nullptr;
  QScrollBar* horizontalBar_ = nullptr;
  QScrollBar* verticalBar_ = nullptr;
  // The outer rectangle asked for, kept until the frame around it is known.
  std::optional<PixelRect> placement_;
  FrameExtents placedWith_;
};
