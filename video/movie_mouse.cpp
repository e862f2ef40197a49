// The video window's mouse: wheel and double clicks zoom, a left drag pans.
#include "video/movie.h"

namespace {

bool inside(const PixelRect& rect, MousePoint point) {
  return point.x >= rect.x && point.y >= rect.y && point.x - rect.x < rect.width &&
         point.y - rect.y < rect.height;
}

}  // namespace

bool movie::OnMouseWheel(unsigned keyFlags, int delta, MousePoint screenPoint) {
  // One step per message however far the wheel turned. Where the mouse points
  // does not matter: every zoom keeps the current centre.
  if (delta > 0) {
    zoomIn(view, horizontalBar_, verticalBar_);
    showBars();
  } else if (delta < 0) {
    zoomOut(view, horizontalBar_, verticalBar_);
    showBars();
  }
  Dialog::OnMouseWheel(keyFlags, delta, screenPoint);
  return true;
}

void movie::OnLButtonDblClk(unsigned keyFlags, MousePoint point) {
  zoomIn(view, horizontalBar_, verticalBar_);
  showBars();
  Dialog::OnLButtonDblClk(keyFlags, point);
}

void movie::OnRButtonDblClk(unsigned keyFlags, MousePoint point) {
  zoomOut(view, horizontalBar_, verticalBar_);
  showBars();
  Dialog::OnRButtonDblClk(keyFlags, point);
}

void movie::OnLButtonDown(unsigned keyFlags, MousePoint point) {
  // A press always starts afresh, also while an earlier drag is still on.
  beginDrag(drag_, point.x, point.y);
  SetCursor(CursorShape::SizeAll);
  Dialog::OnLButtonDown(keyFlags, point);
}

void movie::OnMouseMove(unsigned keyFlags, MousePoint point) {
  // Also brings the drag cursor back when the mouse returns after a release
  // elsewhere left the drag on.
  if (drag_.dragActive == 1) SetCursor(CursorShape::SizeAll);
  Dialog::OnMouseMove(keyFlags, point);
}

void movie::OnLButtonUp(unsigned keyFlags, MousePoint point) {
  // The window does not hold on to the mouse during a drag, so a release
  // outside it is not the window's to see: the drag stays on until a release
  // inside. The toolkit reports such releases anyway; they are dropped here.
  if (drag_.dragActive == 1 && inside(GetClientRect(), point)) {
    SetCursor(CursorShape::Arrow);
    endDrag(drag_, point.x, point.y, view, horizontalBar_, verticalBar_);
    showBars();
  }
  Dialog::OnLButtonUp(keyFlags, point);
}
