#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "layer_test_dialog.h"
#include "platform/event_wait.h"
#include "platform/number_field.h"
#include "platform/simple_controls.h"

using namespace layer_test;

namespace {

// Runs `steps` once the modal loop is running, then returns DoModal's result.
template <class Steps>
int runModal(LayerDialog& dialog, Steps steps) {
  QTimer::singleShot(0, [&dialog, steps] {
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.window()));
    steps();
  });
  return dialog.DoModal();
}

QWidget* focused() {
  return QApplication::focusWidget();
}

}  // namespace

TEST(DialogWindow, EscEnterAndCloseEndTheModalDialogThroughTheirHandlers) {
  struct Case {
    const char* name;
    std::function<void(LayerDialog&)> act;
    int result;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {"Esc", [](LayerDialog&) { QTest::keyClick(focused(), Qt::Key_Escape); }, commandCancel, {"OnCancel"}},
      {"Enter in a field",
       [](LayerDialog& d) {
         d.numberField(Field)->setFocus();
         QTest::keyClick(focused(), Qt::Key_Return);
       },
       commandOk,
       {"OnOK"}},
      {"close button", [](LayerDialog& d) { d.window()->close(); }, commandCancel, {"OnClose", "OnCancel"}},
      {"Enter on a push button clicks it, then Esc",
       [](LayerDialog& d) {
         d.pushButton(ApplyButton)->setFocus();
         QTest::keyClick(focused(), Qt::Key_Return);
         QTest::keyClick(focused(), Qt::Key_Escape);
       },
       commandCancel,
       {"OnApply", "OnCancel"}},
  };
  for (const Case& c : cases) {
    LayerDialog dialog;
    const int result = runModal(dialog, [&dialog, &c] { c.act(dialog); });
    EXPECT_EQ(result, c.result) << c.name;
    EXPECT_EQ(dialog.log, c.log) << c.name;
    EXPECT_FALSE(dialog.IsWindow()) << c.name;
  }
}

TEST(DialogWindow, OkPullsTheControlsBeforeEnding) {
  LayerDialog dialog;
  const int result = runModal(dialog, [&dialog] {
    dialog.numberField(Field)->SetWindowText("77");
    dialog.SendCommand(commandOk);
  });
  EXPECT_EQ(result, commandOk);
  EXPECT_EQ(dialog.fieldText, "77");
}

TEST(DialogWindow, TabFollowsTemplateOrderAndSkipsDisabledControls) {
  LayerDialog dialog;
  std::vector<int> visited;
  std::vector<int> visitedWithDisabled;
  auto walk = [&dialog](std::vector<int>& into, int presses) {
    for (int i = 0; i < presses; ++i) {
      for (const ControlTemplate& c : layerTemplate.controls)
        if (dialog.GetDlgItem(c.id) == focused() && c.id >= 0) into.push_back(c.id);
      QTest::keyClick(focused(), Qt::Key_Tab);
    }
  };
  runModal(dialog, [&] {
    walk(visited, 7);
    dialog.EnableDlgItem(Field, false);
    dialog.EnableDlgItem(Slider, false);
    dialog.pushButton(ApplyButton)->setFocus();
    walk(visitedWithDisabled, 5);
    dialog.EndDialog(commandCancel);
  });
  EXPECT_EQ(visited, (std::vector<int>{ApplyButton, Field, Slider, Check, Color, OtherButton, ApplyButton}));
  EXPECT_EQ(visitedWithDisabled, (std::vector<int>{ApplyButton, Check, Color, OtherButton, ApplyButton}));
}

TEST(DialogWindow, ModelessWindowCanBeDestroyedTwiceAndCreatedAgain) {
  LayerDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_EQ(dialog.initCount, 1);
  EXPECT_FALSE(dialog.IsWindowVisible()) << "a template without the visible style starts hidden";
  dialog.ShowWindow(ShowCommand::Show);
  EXPECT_TRUE(dialog.IsWindowVisible());
  EXPECT_FALSE(dialog.Create(nullptr)) << "one window at a time";

  dialog.DestroyWindow();
  EXPECT_FALSE(dialog.IsWindow());
  EXPECT_EQ(dialog.GetDlgItem(Field), nullptr);
  dialog.DestroyWindow();
  EXPECT_FALSE(dialog.IsWindow());

  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_EQ(dialog.initCount, 2);
  EXPECT_NE(dialog.GetDlgItem(Field), nullptr);
}

TEST(DialogWindow, DestroyFromInsideItsOwnHandlerIsSafe) {
  LayerDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  dialog.ShowWindow(ShowCommand::Show);
  QObject::connect(dialog.pushButton(ApplyButton), &QPushButton::clicked,
                   [&dialog] { dialog.DestroyWindow(); });
  QTest::mouseClick(dialog.pushButton(ApplyButton), Qt::LeftButton);
  EXPECT_FALSE(dialog.IsWindow());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(DialogWindow, ClicksOnThePictureReachTheDialog) {
  LayerDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  dialog.ShowWindow(ShowCommand::Show);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.window()));
  const QWidget* picture = dialog.GetDlgItem(Picture);
  const QPoint inPicture = picture->geometry().center();
  QTest::mousePress(dialog.window()->windowHandle(), Qt::LeftButton, {}, inPicture);
  QTest::mouseRelease(dialog.window()->windowHandle(), Qt::LeftButton, {}, inPicture);
  ASSERT_EQ(dialog.log.size(), 1u);
  EXPECT_EQ(dialog.log.front(),
            "OnLButtonDown " + std::to_string(inPicture.x()) + "," + std::to_string(inPicture.y()));
}

TEST(DialogWindow, StandardScrollBarsTakeTheirRoomFromTheClientArea) {
  LayerDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  const PixelRect before = dialog.GetClientRect();
  ASSERT_NE(dialog.standardScrollBar(true), nullptr);
  EXPECT_TRUE(dialog.standardScrollBar(true)->isHidden());

  dialog.ShowScrollBar(true, true);
  dialog.ShowScrollBar(false, true);
  const PixelRect shown = dialog.GetClientRect();
  EXPECT_LT(shown.width, before.width);
  EXPECT_LT(shown.height, before.height);

  dialog.ShowScrollBar(true, false);
  dialog.ShowScrollBar(false, false);
  EXPECT_EQ(dialog.GetClientRect(), before);
}

TEST(EventWait, DispatchesForItsWholeDurationAndNests) {
  QElapsedTimer clock;
  clock.start();
  bool posted = false;
  qint64 innerReturnedAt = -1;
  QTimer::singleShot(0, [&posted] { posted = true; });
  QTimer::singleShot(10, [&] {
    dispatchEventsFor(30);  // a handler that waits inside the wait
    innerReturnedAt = clock.elapsed();
  });
  dispatchEventsFor(60);
  const qint64 outerReturnedAt = clock.elapsed();

  EXPECT_TRUE(posted);
  EXPECT_GE(innerReturnedAt, 40);
  EXPECT_GE(outerReturnedAt, 60);
  EXPECT_GE(outerReturnedAt, innerReturnedAt);
}

TEST(EventWait, EndDialogFromInsideAWaitEndsTheModalRunAfterTheWait) {
  LayerDialog dialog;
  bool waitFinished = false;
  const int result = runModal(dialog, [&] {
    QTimer::singleShot(5, [&dialog] { dialog.EndDialog(commandOk); });
    dispatchEventsFor(30);  // like a frame loop's wait
    waitFinished = true;
  });
  EXPECT_EQ(result, commandOk);
  EXPECT_TRUE(waitFinished);
}
