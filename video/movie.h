#pragma once

#include <functional>

#include "platform/dialog.h"
#include "video/scroll_bar_model.h"
#include "video/view_state.h"
#include "video/zoom_pan.h"

class PictureCtrl;

// The video window: a resizable top-level window showing the live picture in
// one picture control kept at the camera's aspect ratio, with the zoom and
// pan state that the wheel, the double clicks, the drag and the window's own
// scroll bars change. The handlers only change that state; the frame loop
// crops and shows the picture by it on its next pass.
class movie : public Dialog {
 public:
  movie();

  // zoomLevel and centre are read by the crop, which writes the view size
  // back; the creator sets the centre and size from the first frame.
  ViewState view;
  // Width to height of the picture control; set by the creator before Create.
  float aspectRatio = 4.0f / 3.0f;
  // Control 1041 while the window exists, else null. Frames are drawn into it.
  PictureCtrl* pictureCtrl = nullptr;

  // The window system's close (Alt+F4, a task-bar menu; the window has no
  // close button of its own) asks for this; unset, the window stays.
  std::function<void()> onCloseRequested;
  // Key M and Ctrl+S over the window; unset, the keys do nothing.
  std::function<void()> onMeasureToggled;
  std::function<void()> onSnapshotRequested;

  // Fits every control of the window to the client area at aspectRatio.
  void layoutChildren();

  const ScrollBarModel& horizontalBar() const { return horizontalBar_; }
  const ScrollBarModel& verticalBar() const { return verticalBar_; }
  const DragState& drag() const { return drag_; }

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(DataExchange& dx) override;
  void OnDestroy() override;
  // Enter and Esc do nothing here: hiding the window would leave the run
  // going with no picture and no way to bring it back.
  void OnOK() override;
  void OnCancel() override;
  void OnClose() override;
  void OnSize(SizeType type, int clientWidth, int clientHeight) override;
  void OnHScroll(ScrollCode code, int position, int controlId) override;
  void OnVScroll(ScrollCode code, int position, int controlId) override;
  bool OnMouseWheel(unsigned keyFlags, int delta, MousePoint screenPoint) override;
  void OnMouseMove(unsigned keyFlags, MousePoint point) override;
  void OnLButtonDown(unsigned keyFlags, MousePoint point) override;
  void OnLButtonUp(unsigned keyFlags, MousePoint point) override;
  void OnLButtonDblClk(unsigned keyFlags, MousePoint point) override;
  void OnRButtonDblClk(unsigned keyFlags, MousePoint point) override;
  bool OnLetterKey(char letter, unsigned keyFlags, KeyRepeat repeat) override;

 private:
  ScrollBarModel& barModel(bool horizontal) { return horizontal ? horizontalBar_ : verticalBar_; }
  // Makes the window's scroll bar show exactly what the model holds.
  void showBar(bool horizontal);
  void showBars();
  void barScrolled(bool horizontal, ScrollCode code, int position, int controlId);

  ScrollBarModel horizontalBar_;
  ScrollBarModel verticalBar_;
  // One video window exists at a time, so its drag is its own.
  DragState drag_;
};
