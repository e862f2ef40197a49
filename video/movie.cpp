#include "video/movie.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

#include "platform/simple_controls.h"
#include "res/control_ids.h"
#include "res/dialog_templates.h"
#include "video/fit_to_aspect.h"

namespace {

// A page of all the positions hides the bar until a zoom level above 1
// shrinks the page.
constexpr unsigned wholeRangePage = scrollPositions;

// Where the window starts, frame included, whatever the template says.
constexpr int initialX = 100;
constexpr int initialY = 100;
constexpr int initialOuterWidth = 900;
constexpr int initialOuterHeight = 740;

}  // namespace

movie::movie() : Dialog(videoWindowTemplate()) {}

bool movie::OnInitDialog() {
  // Binds pictureCtrl through the exchange.
  Dialog::OnInitDialog();
  drag_.dragActive = 0;
  // Vertical first, then horizontal; range start and position stay as the
  // bars hold them.
  for (const bool horizontal : {false, true}) {
    ScrollInfo info = barModel(horizontal).info();
    info.nPage = wholeRangePage;
    info.nMax = scrollMax;
    barModel(horizontal).setInfo(info);
    showBar(horizontal);
  }
  view.zoomLevel = 1;
  view.viewCenterX = 0;
  view.viewCenterY = 0;
  MoveWindow(initialX, initialY, initialOuterWidth, initialOuterHeight);
  layoutChildren();
  return true;
}

void movie::DoDataExchange(DataExchange& dx) {
  pictureCtrl = picture(ctl::Picture);
  if (pictureCtrl == nullptr) dx.fail();
}

void movie::OnDestroy() {
  // The control goes with the window; the frame loop must not find it here.
  pictureCtrl = nullptr;
  Dialog::OnDestroy();
}

void movie::OnOK() {}

void movie::OnCancel() {}

void movie::OnClose() {
  if (onCloseRequested) onCloseRequested();
}

bool movie::OnLetterKey(char letter, unsigned keyFlags, KeyRepeat repeat) {
  const bool control = (keyFlags & mouse_flags::Control) != 0;
  const bool toggle = letter == 'M' && !control;
  const bool snapshot = letter == 'S' && control;
  if (!toggle && !snapshot) return Dialog::OnLetterKey(letter, keyFlags, repeat);
  // A key held down acts once: a repeated toggle would flicker, and repeated
  // snapshots would fill the disk.
  if (repeat == KeyRepeat::Repeated) return true;
  const std::function<void()>& action = toggle ? onMeasureToggled : onSnapshotRequested;
  if (action) action();
  return true;
}

void movie::layoutChildren() {
  if (!IsWindow()) return;
  const PixelRect client = GetClientRect();
  const IntRect fitted =
      fitToAspect({client.x, client.y, client.x + client.width, client.y + client.height}, aspectRatio);
  // Every control gets the fitted rectangle; the picture is the only one.
  for (const ControlTemplate& control : dialogTemplate().controls) {
    QWidget* child = GetDlgItem(control.id);
    if (child != nullptr) child->setGeometry(fitted.left, fitted.top, fitted.width(), fitted.height());
  }
}

void movie::OnSize(SizeType type, int clientWidth, int clientHeight) {
  Dialog::OnSize(type, clientWidth, clientHeight);
  // A minimised window's client area says nothing about where the picture
  // belongs; the restore lays it out again.
  if (type == SizeType::Restored || type == SizeType::Maximized) layoutChildren();
}

void movie::showBar(bool horizontal) {
  QScrollBar* bar = standardScrollBar(horizontal);
  if (bar == nullptr) return;
  const ScrollBarModel& model = barModel(horizontal);
  const ScrollInfo& info = model.info();
  {
    // Putting the bar right is not a move by the user.
    const QSignalBlocker quiet(bar);
    bar->setRange(info.nMin, model.highestPosition());
    bar->setPageStep(static_cast<int>(std::min<unsigned>(info.nPage, wholeRangePage)));
    bar->setValue(info.nPos);
  }
  // Showing or hiding a bar resizes the client area, which fits the picture again.
  ShowScrollBar(horizontal, model.visible());
}

void movie::showBars() {
  showBar(true);
  showBar(false);
}

void movie::barScrolled(bool horizontal, ScrollCode code, int position, int controlId) {
  if (controlId != ::standardScrollBar) return;  // the window's own bars, not a control
  int& center = horizontal ? view.viewCenterX : view.viewCenterY;
  const int viewSize = horizontal ? view.viewWidth : view.viewHeight;
  scrollView(code, position, center, viewSize, view.zoomLevel, barModel(horizontal));
  // Whatever the code did to the view, the bar has already moved by itself
  // (a track click, a step against an end): it goes back to the stored
  // position so that what the user sees is what the view uses.
  showBar(horizontal);
}

void movie::OnHScroll(ScrollCode code, int position, int controlId) {
  barScrolled(true, code, position, controlId);
  Dialog::OnHScroll(code, position, controlId);
}

void movie::OnVScroll(ScrollCode code, int position, int controlId) {
  barScrolled(false, code, position, controlId);
  Dialog::OnVScroll(code, position, controlId);
}
