#include "video/movie.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

#include "platform/simple_controls.h"
#include "res/control_ids.h"
#include "video/fit_to_aspect.h"

namespace {

// A 3840 x 2160 camera, as the frame loop leaves the window after its first frame.
constexpr int frameWidth = 3840;
constexpr int frameHeight = 2160;

void openLikeTheFrameLoop(movie& window) {
  ASSERT_TRUE(window.Create(nullptr));
  window.ShowWindow(ShowCommand::Show);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.window()));
  window.view.viewCenterX = frameWidth / 2;
  window.view.viewCenterY = frameHeight / 2;
  window.view.viewWidth = frameWidth;
  window.view.viewHeight = frameHeight;
}

QWindow* handleOf(const movie& window) {
  return window.window()->windowHandle();
}

// The wheel turned with the mouse at `pos` (window coordinates), delivered
// to whatever widget lies there, as the window system would.
void turnWheel(const movie& window, QPoint pos, QPoint angleDelta, Qt::KeyboardModifiers modifiers) {
  QWidget* top = window.window();
  QWidget* target = top->childAt(pos);
  if (target == nullptr) target = top;
  QWheelEvent event(target->mapFrom(top, QPointF(pos)), top->mapToGlobal(QPointF(pos)), QPoint(), angleDelta,
                    Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &event);
}

void turnWheel(const movie& window, QPoint pos, int delta) {
  turnWheel(window, pos, QPoint(0, delta), Qt::NoModifier);
}

QPoint clientCenter(const movie& window) {
  const PixelRect client = window.GetClientRect();
  return {client.width / 2, client.height / 2};
}

void dragInWindow(const movie& window, QPoint from, QPoint to) {
  QTest::mousePress(handleOf(window), Qt::LeftButton, {}, from);
  QTest::mouseMove(handleOf(window), to);
  QTest::mouseRelease(handleOf(window), Qt::LeftButton, {}, to);
}

// Where a part of a scroll bar (arrow, track, thumb) is drawn.
QRect partOf(const QScrollBar* bar, QStyle::SubControl part) {
  QStyleOptionSlider option;
  option.initFrom(bar);
  option.subControls = QStyle::SC_None;
  option.activeSubControls = QStyle::SC_None;
  option.orientation = bar->orientation();
  option.minimum = bar->minimum();
  option.maximum = bar->maximum();
  option.sliderPosition = bar->sliderPosition();
  option.sliderValue = bar->value();
  option.singleStep = bar->singleStep();
  option.pageStep = bar->pageStep();
  option.upsideDown = bar->invertedAppearance();
  if (bar->orientation() == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
  return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

Qt::CursorShape clientCursor(const movie& window) {
  // The picture passes the mouse through, so the pointer over it is its parent's.
  return window.pictureCtrl->parentWidget()->cursor().shape();
}

// The window's own bar shows exactly what the model says.
void expectBarShows(const movie& window, bool horizontal) {
  const QScrollBar* bar = window.standardScrollBar(horizontal);
  const ScrollBarModel& model = horizontal ? window.horizontalBar() : window.verticalBar();
  const char* which = horizontal ? "horizontal" : "vertical";
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->isVisible(), model.visible()) << which;
  if (!model.visible()) return;
  EXPECT_EQ(bar->minimum(), model.info().nMin) << which;
  EXPECT_EQ(bar->maximum(), model.highestPosition()) << which;
  EXPECT_EQ(bar->pageStep(), static_cast<int>(model.info().nPage)) << which;
  EXPECT_EQ(bar->value(), model.info().nPos) << which;
  EXPECT_EQ(bar->sliderPosition(), model.info().nPos) << which;
}

void expectPictureFitted(const movie& window) {
  const PixelRect client = window.GetClientRect();
  const IntRect fitted = fitToAspect({0, 0, client.width, client.height}, window.aspectRatio);
  EXPECT_EQ(window.pictureCtrl->geometry(), QRect(fitted.left, fitted.top, fitted.width(), fitted.height()));
}

}  // namespace

TEST(Movie, WalkThroughA4kFrameWithWheelDragAndScrollBars) {
  movie window;
  openLikeTheFrameLoop(window);
  QScrollBar* horizontal = window.standardScrollBar(true);
  QScrollBar* vertical = window.standardScrollBar(false);
  ASSERT_NE(horizontal, nullptr);
  ASSERT_NE(vertical, nullptr);
  EXPECT_FALSE(horizontal->isVisible());
  EXPECT_FALSE(vertical->isVisible());
  const PixelRect clientAtLevel1 = window.GetClientRect();

  turnWheel(window, clientCenter(window), 120);
  EXPECT_EQ(window.view.zoomLevel, 2);
  EXPECT_EQ(window.view.viewWidth, 1920);
  EXPECT_EQ(window.view.viewHeight, 1080);
  EXPECT_EQ(window.view.viewCenterX, 1920);
  EXPECT_EQ(window.view.viewCenterY, 1080);
  for (const ScrollBarModel* model : {&window.horizontalBar(), &window.verticalBar()}) {
    EXPECT_EQ(model->info().nPage, 64u);
    EXPECT_EQ(model->info().nPos, 32);
    EXPECT_TRUE(model->visible());
  }
  expectBarShows(window, true);
  expectBarShows(window, false);
  // The bars took their room from the client area and the picture moved in.
  EXPECT_LT(window.GetClientRect().width, clientAtLevel1.width);
  EXPECT_LT(window.GetClientRect().height, clientAtLevel1.height);
  expectPictureFitted(window);

  // A drag over the picture: the picture follows the mouse.
  ASSERT_TRUE(window.pictureCtrl->geometry().contains(QPoint(500, 400)));
  dragInWindow(window, {500, 400}, {400, 300});
  EXPECT_EQ(window.view.viewCenterX, 2020);
  EXPECT_EQ(window.view.viewCenterY, 1180);
  EXPECT_EQ(window.horizontalBar().info().nPos, 35);
  EXPECT_EQ(window.verticalBar().info().nPos, 37);
  EXPECT_EQ(window.drag().dragActive, 0);
  EXPECT_EQ(clientCursor(window), Qt::ArrowCursor);
  expectBarShows(window, true);
  expectBarShows(window, false);

  // The right arrow: one position, 1920 / 63 = 30 frame pixels per position.
  QTest::mouseClick(horizontal, Qt::LeftButton, {}, partOf(horizontal, QStyle::SC_ScrollBarAddLine).center());
  EXPECT_EQ(window.horizontalBar().info().nPos, 36);
  EXPECT_EQ(window.view.viewCenterX, 36 * 30 + 960);
  expectBarShows(window, true);

  // The vertical thumb dragged past the end of its track stops at 64:
  // 1080 / 63 = 17 pixels per position, a centre a little beyond the last
  // valid one (1620), which the crop absorbs.
  const QPoint thumb = partOf(vertical, QStyle::SC_ScrollBarSlider).center();
  QTest::mousePress(vertical, Qt::LeftButton, {}, thumb);
  QTest::mouseMove(vertical, {thumb.x(), vertical->height() + 200});
  QTest::mouseRelease(vertical, Qt::LeftButton, {}, {thumb.x(), vertical->height() + 200});
  EXPECT_EQ(window.verticalBar().info().nPos, 64);
  EXPECT_EQ(window.view.viewCenterY, 64 * 17 + 540);
  expectBarShows(window, false);

  // Clicks in the track beside the thumb change nothing, on screen neither.
  const ViewState before = window.view;
  const QRect page = partOf(horizontal, QStyle::SC_ScrollBarAddPage);
  ASSERT_FALSE(page.isEmpty());
  QTest::mouseClick(horizontal, Qt::LeftButton, {}, page.center());
  EXPECT_EQ(window.horizontalBar().info().nPos, 36);
  EXPECT_EQ(window.view.viewCenterX, before.viewCenterX);
  expectBarShows(window, true);

  // Back to level 1: the whole frame, centre pulled back, bars gone.
  turnWheel(window, clientCenter(window), -120);
  EXPECT_EQ(window.view.zoomLevel, 1);
  EXPECT_EQ(window.view.viewWidth, frameWidth);
  EXPECT_EQ(window.view.viewHeight, frameHeight);
  EXPECT_EQ(window.view.viewCenterX, 1920);
  EXPECT_EQ(window.view.viewCenterY, 1080);
  EXPECT_EQ(window.horizontalBar().info().nPos, 0);
  EXPECT_EQ(window.verticalBar().info().nPos, 0);
  EXPECT_FALSE(horizontal->isVisible());
  EXPECT_FALSE(vertical->isVisible());
  EXPECT_EQ(window.GetClientRect(), clientAtLevel1);
  expectPictureFitted(window);
}

TEST(Movie, ArrowsStopAtTheEndsOfTheBarWithoutMovingAnything) {
  movie window;
  openLikeTheFrameLoop(window);
  turnWheel(window, clientCenter(window), 120);
  QScrollBar* vertical = window.standardScrollBar(false);

  struct Case {
    const char* name;
    int thumbAt;  // where the thumb is tracked to first
    QAbstractSlider::SliderAction arrow;
  };
  const Case cases[] = {
      {"up arrow at the top", 0, QAbstractSlider::SliderSingleStepSub},
      {"down arrow at the bottom", 64, QAbstractSlider::SliderSingleStepAdd},
  };
  for (const Case& c : cases) {
    vertical->setSliderDown(true);
    vertical->setSliderPosition(c.thumbAt);
    vertical->setSliderDown(false);
    ASSERT_EQ(window.verticalBar().info().nPos, c.thumbAt) << c.name;
    const int center = window.view.viewCenterY;
    vertical->triggerAction(c.arrow);
    EXPECT_EQ(window.verticalBar().info().nPos, c.thumbAt) << c.name;
    EXPECT_EQ(window.view.viewCenterY, center) << c.name;
    expectBarShows(window, false);
  }
}

TEST(Movie, WheelStepsOncePerTurnWhateverItsSizeAndSkipsLevel7) {
  movie window;
  openLikeTheFrameLoop(window);
  const QPoint center = clientCenter(window);

  for (int step = 0; step < 6; ++step) turnWheel(window, center, 120);
  EXPECT_EQ(window.view.zoomLevel, 8);
  turnWheel(window, center, 120);
  EXPECT_EQ(window.view.zoomLevel, 8) << "no level above 8";
  turnWheel(window, center, -120);
  EXPECT_EQ(window.view.zoomLevel, 6) << "no level 7 on the way down";

  turnWheel(window, center, 240);
  EXPECT_EQ(window.view.zoomLevel, 8) << "a double notch is one step";
  turnWheel(window, center, 0);
  EXPECT_EQ(window.view.zoomLevel, 8) << "a turn of 0 is no turn";
  turnWheel(window, center, -1);
  EXPECT_EQ(window.view.zoomLevel, 6) << "the smallest turn is a step";

  // Over a scroll bar the wheel still zooms: the bars are the window's own.
  const QScrollBar* vertical = window.standardScrollBar(false);
  ASSERT_TRUE(vertical->isVisible());
  turnWheel(window, vertical->geometry().center(), -120);
  EXPECT_EQ(window.view.zoomLevel, 5);
  EXPECT_EQ(vertical->pageStep(), 128 / 5);
  EXPECT_EQ(window.verticalBar().info().nPos, vertical->value());

  for (int step = 0; step < 8; ++step) turnWheel(window, center, -120);
  EXPECT_EQ(window.view.zoomLevel, 1);
  EXPECT_FALSE(vertical->isVisible());
}

TEST(Movie, WheelZoomsWhateverModifierIsHeld) {
  // With Alt held the X11 platform reports the wheel as a sideways turn.
  const struct {
    const char* name;
    Qt::KeyboardModifiers modifiers;
    QPoint angleDelta;
    int level;  // from level 2
  } cases[] = {
      {"Ctrl", Qt::ControlModifier, {0, 120}, 3},
      {"Shift", Qt::ShiftModifier, {0, -120}, 1},
      {"Alt, forward", Qt::AltModifier, {120, 0}, 3},
      {"Alt, back", Qt::AltModifier, {-120, 0}, 1},
      {"Alt and Shift", Qt::AltModifier | Qt::ShiftModifier, {120, 0}, 3},
      {"a sideways scroll alone is no wheel turn", Qt::NoModifier, {120, 0}, 2},
  };
  for (const auto& c : cases) {
    movie window;
    openLikeTheFrameLoop(window);
    const QPoint center = clientCenter(window);
    turnWheel(window, center, 120);
    ASSERT_EQ(window.view.zoomLevel, 2);
    turnWheel(window, center, c.angleDelta, c.modifiers);
    EXPECT_EQ(window.view.zoomLevel, c.level) << c.name;
  }
}

TEST(Movie, DoubleClicksZoomWithoutPanning) {
  movie window;
  openLikeTheFrameLoop(window);
  const QPoint offCenter(200, 150);

  QTest::mouseDClick(handleOf(window), Qt::LeftButton, {}, offCenter);
  EXPECT_EQ(window.view.zoomLevel, 2);
  EXPECT_EQ(window.view.viewCenterX, 1920) << "the click point is not a new centre";
  EXPECT_EQ(window.view.viewCenterY, 1080);
  EXPECT_EQ(window.drag().dragActive, 0) << "the release after the double click finds no drag";

  QTest::mouseDClick(handleOf(window), Qt::LeftButton, {}, offCenter);
  EXPECT_EQ(window.view.zoomLevel, 3);
  QTest::mouseDClick(handleOf(window), Qt::RightButton, {}, offCenter);
  EXPECT_EQ(window.view.zoomLevel, 2);
  QTest::mouseClick(handleOf(window), Qt::RightButton, {}, offCenter);
  EXPECT_EQ(window.view.zoomLevel, 2) << "a single right click does nothing";
  EXPECT_EQ(window.view.viewCenterX, 1920);
  EXPECT_EQ(window.view.viewCenterY, 1080);
}

TEST(Movie, DragKeepsItsCursorAndIsLeftOnByAReleaseOutside) {
  movie window;
  openLikeTheFrameLoop(window);
  turnWheel(window, clientCenter(window), 120);
  const PixelRect client = window.GetClientRect();

  // A click without movement pans by nothing.
  QTest::mouseClick(handleOf(window), Qt::LeftButton, {}, {300, 300});
  EXPECT_EQ(window.view.viewCenterX, 1920);
  EXPECT_EQ(window.view.viewCenterY, 1080);

  QTest::mousePress(handleOf(window), Qt::LeftButton, {}, {300, 300});
  EXPECT_EQ(window.drag().dragActive, 1);
  EXPECT_EQ(clientCursor(window), Qt::SizeAllCursor);
  QTest::mouseMove(handleOf(window), {350, 320});
  EXPECT_EQ(clientCursor(window), Qt::SizeAllCursor);
  EXPECT_EQ(window.view.viewCenterX, 1920) << "the picture waits for the release";

  // Released beyond the right edge of the window: not seen.
  const QPoint outside(client.width + 150, 320);
  QTest::mouseMove(handleOf(window), outside);
  QTest::mouseRelease(handleOf(window), Qt::LeftButton, {}, outside);
  EXPECT_EQ(window.drag().dragActive, 1);
  EXPECT_EQ(window.view.viewCenterX, 1920);
  EXPECT_EQ(window.view.viewCenterY, 1080);

  // Back over the window the drag cursor shows again.
  window.SetCursor(CursorShape::Arrow);
  QTest::mouseMove(handleOf(window), {400, 400});
  EXPECT_EQ(clientCursor(window), Qt::SizeAllCursor);

  // The next press starts from its own point: a click there pans by nothing.
  QTest::mouseClick(handleOf(window), Qt::LeftButton, {}, {400, 400});
  EXPECT_EQ(window.drag().dragActive, 0);
  EXPECT_EQ(window.view.viewCenterX, 1920);
  EXPECT_EQ(window.view.viewCenterY, 1080);
  EXPECT_EQ(clientCursor(window), Qt::ArrowCursor);

  // At level 1 a drag always ends on the frame centre.
  turnWheel(window, clientCenter(window), -120);
  dragInWindow(window, {500, 500}, {100, 100});
  EXPECT_EQ(window.view.viewCenterX, 1920);
  EXPECT_EQ(window.view.viewCenterY, 1080);
}

TEST(Movie, StartsAsACameraWindowAt100By100Sized900By740) {
  const QIcon appIconBefore = QApplication::windowIcon();
  QPixmap iconPixmap(16, 16);
  iconPixmap.fill(Qt::darkCyan);
  QApplication::setWindowIcon(QIcon(iconPixmap));

  movie window;
  ASSERT_TRUE(window.Create(nullptr));
  EXPECT_FALSE(window.IsWindowVisible()) << "the creator shows it";
  EXPECT_EQ(window.GetWindowText(), "Camera");
  EXPECT_EQ(window.GetWindowRect(), (PixelRect{100, 100, 900, 740}));
  EXPECT_EQ(window.view.zoomLevel, 1);
  EXPECT_EQ(window.view.viewCenterX, 0);
  EXPECT_EQ(window.view.viewCenterY, 0);
  EXPECT_EQ(window.drag().dragActive, 0);
  for (const ScrollBarModel* model : {&window.horizontalBar(), &window.verticalBar()}) {
    EXPECT_EQ(model->info().nMin, 0);
    EXPECT_EQ(model->info().nMax, 127);
    EXPECT_EQ(model->info().nPage, 128u);
    EXPECT_EQ(model->info().nPos, 0);
  }
  ASSERT_NE(window.pictureCtrl, nullptr);
  EXPECT_EQ(window.pictureCtrl, window.picture(ctl::Picture));
  EXPECT_TRUE(window.pictureCtrl->testAttribute(Qt::WA_TransparentForMouseEvents));

  window.ShowWindow(ShowCommand::Show);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.window()));
  // Once shown the platform frames the window; the frame is what stands
  // at (100, 100) with 900 x 740, the window inside it.
  EXPECT_EQ(window.GetWindowRect(), (PixelRect{100, 100, 900, 740}));
  expectPictureFitted(window);

  const Qt::WindowFlags flags = window.window()->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::Window));
  EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(window.window()->parentWidget(), nullptr) << "a top-level window nobody owns";
  EXPECT_FALSE(window.window()->windowIcon().isNull());

  QApplication::setWindowIcon(appIconBefore);
}

TEST(Movie, EnterAndEscLeaveItUpAndTheWindowSystemsCloseOnlyAsks) {
  movie window;
  openLikeTheFrameLoop(window);
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
    QTest::keyClick(window.window(), key);
    EXPECT_TRUE(window.IsWindowVisible()) << key;
  }
  EXPECT_FALSE(window.window()->close()) << "nobody to ask: the window stays";
  EXPECT_TRUE(window.IsWindowVisible());
  int asked = 0;
  window.onCloseRequested = [&asked] { ++asked; };
  window.window()->close();
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(window.IsWindowVisible()) << "whoever asked decides";
}

TEST(Movie, DestroyingTwiceIsHarmlessAndCreateStartsAfresh) {
  movie window;
  openLikeTheFrameLoop(window);
  turnWheel(window, clientCenter(window), 120);
  QTest::mousePress(handleOf(window), Qt::LeftButton, {}, {300, 300});
  ASSERT_EQ(window.drag().dragActive, 1);

  window.DestroyWindow();
  EXPECT_FALSE(window.IsWindow());
  EXPECT_EQ(window.pictureCtrl, nullptr) << "the frame loop must not draw into a dead control";
  window.DestroyWindow();
  EXPECT_FALSE(window.IsWindow());
  window.layoutChildren();  // no window: nothing to lay out, nothing to crash on

  ASSERT_TRUE(window.Create(nullptr));
  EXPECT_NE(window.pictureCtrl, nullptr);
  EXPECT_EQ(window.view.zoomLevel, 1);
  EXPECT_EQ(window.drag().dragActive, 0);
  EXPECT_EQ(window.horizontalBar().info().nPage, 128u);
  EXPECT_EQ(window.horizontalBar().info().nPos, 0);
  EXPECT_EQ(window.GetWindowRect(), (PixelRect{100, 100, 900, 740}));
  window.DestroyWindow();
}

TEST(Movie, PictureFollowsTheAspectRatioOnResizeButNotWhileMinimised) {
  struct Case {
    const char* name;
    float ratio;
    QSize client;
    QRect picture;
  };
  const Case cases[] = {
      {"exactly 4:3 fills the client area", 4.0f / 3.0f, {800, 600}, {0, 0, 800, 600}},
      {"wider: bars at the sides", 4.0f / 3.0f, {1000, 600}, {100, 0, 800, 600}},
      {"taller: bars above and below", 4.0f / 3.0f, {884, 701}, {0, 19, 884, 663}},
      {"taller at 16:9", 16.0f / 9.0f, {884, 701}, {0, 101, 884, 498}},
      {"exactly 16:9", 16.0f / 9.0f, {1920, 1080}, {0, 0, 1920, 1080}},
  };
  for (const Case& c : cases) {
    movie window;
    window.aspectRatio = c.ratio;
    openLikeTheFrameLoop(window);
    // At level 1 the bars are hidden: the window is all client area.
    window.window()->resize(c.client);
    ASSERT_EQ(window.GetClientRect(), (PixelRect{0, 0, c.client.width(), c.client.height()})) << c.name;
    EXPECT_EQ(window.pictureCtrl->geometry(), c.picture) << c.name;
  }

  movie window;
  openLikeTheFrameLoop(window);
  window.window()->resize(1000, 600);
  const QRect restored = window.pictureCtrl->geometry();
  window.window()->showMinimized();
  QCoreApplication::processEvents();
  ASSERT_TRUE(window.window()->isMinimized());
  window.window()->resize(600, 900);
  EXPECT_EQ(window.pictureCtrl->geometry(), restored) << "minimised: left where it was";

  window.window()->showNormal();
  QCoreApplication::processEvents();
  ASSERT_FALSE(window.window()->isMinimized());
  expectPictureFitted(window);
  EXPECT_NE(window.pictureCtrl->geometry(), restored) << "the restore lays it out again";
}
