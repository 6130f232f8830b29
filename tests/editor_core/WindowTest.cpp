#include "TestApp.h"

#include <EditorCore/GUI_DC.h>

#include <QImage>
#include <QKeyEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace EditorCore;
using EditorCoreTest::Pump;
using EditorCoreTest::SendMouse;
using EditorCoreTest::Widget;

namespace {

struct Call {
  std::string what;
  UINT flags = 0;
  CPoint point;
  long value = 0;
};

class RecordingWnd : public GUI_Wnd {
 public:
  std::vector<Call> calls;
  std::vector<std::string>* keyLog = nullptr;
  std::string name;
  bool takeWheel = false;
  bool eatKeys = false;
  std::vector<GUI_NotifyHeader> notifications;

  void OnLButtonDown(UINT f, CPoint p) override { calls.push_back({"LDown", f, p, 0}); }
  void OnLButtonUp(UINT f, CPoint p) override { calls.push_back({"LUp", f, p, 0}); }
  void OnMButtonDown(UINT f, CPoint p) override { calls.push_back({"MDown", f, p, 0}); }
  void OnRButtonDown(UINT f, CPoint p) override { calls.push_back({"RDown", f, p, 0}); }
  void OnRButtonUp(UINT f, CPoint p) override { calls.push_back({"RUp", f, p, 0}); }
  void OnMouseMove(UINT f, CPoint p) override { calls.push_back({"Move", f, p, 0}); }
  bool OnMouseWheel(UINT f, short delta, CPoint screen) override {
    calls.push_back({"Wheel", f, screen, delta});
    return takeWheel;
  }
  void OnTimer(UINT id) override { calls.push_back({"Timer", 0, CPoint(), static_cast<long>(id)}); }
  void OnKeyDown(UINT key, UINT, UINT) override { calls.push_back({"Key", 0, CPoint(), static_cast<long>(key)}); }
  bool OnEraseBkgnd(GUI_DC& dc) override {
    CRect r;
    dc.GetClipBox(r);
    dc.FillSolidRect(r, RGB(200, 10, 20));
    calls.push_back({"Erase", 0, CPoint(), 0});
    return true;
  }
  bool OnWndMsg(UINT message, WPARAM w, LPARAM l, LRESULT& result) override {
    if (message != 3524) return false;
    result = static_cast<LRESULT>(w) + l;
    return true;
  }
  bool OnNotify(const GUI_NotifyHeader& header, const GUI_NotifyPayload& payload, LRESULT& result) override {
    notifications.push_back(header);
    result = payload.distance * 2;
    return true;
  }
  bool PreTranslateMessage(const GUI_Msg& msg) override {
    if (keyLog && msg.message == WM_KEYDOWN) keyLog->push_back(name + ":" + std::to_string(msg.wParam));
    return eatKeys;
  }

  int Count(const std::string& what) const {
    int n = 0;
    for (const Call& c : calls) n += c.what == what ? 1 : 0;
    return n;
  }
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(top.CreateTopLevel("top", CRect(100, 50, 500, 350)));
    ASSERT_TRUE(child.CreateChild(&top, 42, CRect(10, 20, 110, 120)));
    top.name = "top";
    child.name = "child";
  }
  RecordingWnd top;
  RecordingWnd child;
};

TEST_F(WindowTest, LeftPressReachesTheChildWithClientPointAndFlags) {
  SendMouse(child, QEvent::MouseButtonPress, QPoint(5, 7), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
  ASSERT_EQ(child.calls.size(), 1u);
  EXPECT_EQ(child.calls[0].what, "LDown");
  EXPECT_EQ(child.calls[0].flags, MK_LBUTTON | MK_SHIFT);
  EXPECT_EQ(child.calls[0].point, CPoint(5, 7));
  EXPECT_EQ(top.Count("LDown"), 0);
}

TEST_F(WindowTest, ReleaseReportsTheButtonsStillHeld) {
  SendMouse(child, QEvent::MouseButtonRelease, QPoint(3, 4), Qt::LeftButton, Qt::NoButton, Qt::ControlModifier);
  ASSERT_EQ(child.calls.size(), 1u);
  EXPECT_EQ(child.calls[0].what, "LUp");
  EXPECT_EQ(child.calls[0].flags, MK_CONTROL);
}

TEST_F(WindowTest, MoveCarriesRightButtonAndControlFlags) {
  SendMouse(child, QEvent::MouseMove, QPoint(40, 41), Qt::NoButton, Qt::RightButton | Qt::MiddleButton,
            Qt::ControlModifier);
  ASSERT_EQ(child.calls.size(), 1u);
  EXPECT_EQ(child.calls[0].what, "Move");
  EXPECT_EQ(child.calls[0].flags, MK_RBUTTON | MK_MBUTTON | MK_CONTROL);
  EXPECT_EQ(child.calls[0].point, CPoint(40, 41));
}

TEST_F(WindowTest, MiddleAndRightButtonsHaveTheirOwnHandlers) {
  SendMouse(child, QEvent::MouseButtonPress, QPoint(1, 2), Qt::MiddleButton, Qt::MiddleButton);
  SendMouse(child, QEvent::MouseButtonPress, QPoint(3, 4), Qt::RightButton, Qt::RightButton);
  ASSERT_EQ(child.calls.size(), 2u);
  EXPECT_EQ(child.calls[0].what, "MDown");
  EXPECT_EQ(child.calls[0].flags, MK_MBUTTON);
  EXPECT_EQ(child.calls[1].what, "RDown");
  EXPECT_EQ(child.calls[1].point, CPoint(3, 4));
}

TEST_F(WindowTest, UnhandledWheelGoesOnToTheParentWithTheScreenPoint) {
  QWidget* w = Widget(child);
  const QPoint global = w->mapToGlobal(QPoint(5, 5));
  QWheelEvent wheel(QPointF(5, 5), QPointF(global), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &wheel);
  ASSERT_EQ(child.Count("Wheel"), 1);
  ASSERT_EQ(top.Count("Wheel"), 1);
  EXPECT_EQ(top.calls.back().value, -120);
  EXPECT_EQ(top.calls.back().point, CPoint(global.x(), global.y()));
}

TEST_F(WindowTest, HandledWheelStaysWithTheChild) {
  child.takeWheel = true;
  QWidget* w = Widget(child);
  QWheelEvent wheel(QPointF(5, 5), QPointF(w->mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &wheel);
  EXPECT_EQ(child.Count("Wheel"), 1);
  EXPECT_EQ(top.Count("Wheel"), 0);
}

TEST_F(WindowTest, TimersFireByIdUntilKilled) {
  ASSERT_TRUE(child.SetTimer(7, 5));
  Pump(120);
  const int fired = child.Count("Timer");
  EXPECT_GE(fired, 2);
  for (const Call& c : child.calls) {
    if (c.what == "Timer") {
      EXPECT_EQ(c.value, 7);
    }
  }
  ASSERT_TRUE(child.KillTimer(7));
  Pump(60);
  EXPECT_EQ(child.Count("Timer"), fired);
  EXPECT_FALSE(child.KillTimer(7));
}

TEST_F(WindowTest, SendMessageReturnsTheHandlersResult) {
  EXPECT_EQ(child.SendMessage(3524, 40, 2), 42);
  EXPECT_EQ(child.SendMessage(3525, 40, 2), 0);
}

TEST_F(WindowTest, NotifyParentNamesSenderIdAndCode) {
  GUI_NotifyPayload payload;
  payload.distance = -7;
  LRESULT result = 0;
  EXPECT_TRUE(child.NotifyParent(2034, payload, &result));
  ASSERT_EQ(top.notifications.size(), 1u);
  EXPECT_EQ(top.notifications[0].hwndFrom, &child);
  EXPECT_EQ(top.notifications[0].idFrom, 42u);
  EXPECT_EQ(top.notifications[0].code, 2034);
  EXPECT_EQ(result, -14);
}

TEST_F(WindowTest, ClientAndScreenConvertBothWays) {
  CPoint a(0, 0);
  child.ClientToScreen(a);
  CPoint b(10, 20);
  top.ClientToScreen(b);
  EXPECT_EQ(a, b);
  child.ScreenToClient(a);
  EXPECT_EQ(a, CPoint(0, 0));
  CRect r;
  child.GetWindowRect(r);
  top.ScreenToClient(r);
  EXPECT_EQ(r, CRect(10, 20, 110, 120));
}

TEST_F(WindowTest, MoveWindowChangesTheClientRectangle) {
  child.MoveWindow(5, 6, 70, 30);
  CRect r;
  child.GetClientRect(r);
  EXPECT_EQ(r, CRect(0, 0, 70, 30));
  EXPECT_EQ(Widget(child)->pos(), QPoint(5, 6));
}

TEST_F(WindowTest, PaintingRunsEraseBackgroundWithADrawingContext) {
  const QImage image = Widget(child)->grab().toImage();
  EXPECT_GE(child.Count("Erase"), 1);
  EXPECT_EQ(image.pixelColor(50, 50), QColor(200, 10, 20));
}

TEST_F(WindowTest, DestroyingTheParentEndsTheChildWindow) {
  ASSERT_TRUE(child.IsWindow());
  top.DestroyWindow();
  EXPECT_FALSE(top.IsWindow());
  EXPECT_FALSE(child.IsWindow());
  Pump(0);
  EXPECT_FALSE(child.IsWindow());
  EXPECT_EQ(child.SendMessage(3524, 1, 1), 0);
}

TEST_F(WindowTest, ShowAndEnableAreReflectedInTheStyle) {
  child.ShowWindow(false);
  EXPECT_EQ(child.GetStyle() & WS_VISIBLE, 0u);
  child.ShowWindow(true);
  EXPECT_NE(child.GetStyle() & WS_VISIBLE, 0u);
  child.EnableWindow(false);
  EXPECT_FALSE(child.IsWindowEnabled());
  EXPECT_NE(child.GetStyle() & WS_DISABLED, 0u);
}

TEST_F(WindowTest, CaptureBelongsToOneWindowAtATime) {
  child.SetCapture();
  EXPECT_TRUE(child.HasCapture());
  top.SetCapture();
  EXPECT_FALSE(child.HasCapture());
  EXPECT_TRUE(top.HasCapture());
  GUI_Wnd::ReleaseCapture();
  EXPECT_FALSE(top.HasCapture());
  EXPECT_EQ(GUI_Wnd::GetCapture(), nullptr);
}

TEST_F(WindowTest, KeyDownIsOfferedInnermostFirstThenToTheHandler) {
  std::vector<std::string> log;
  child.keyLog = &log;
  top.keyLog = &log;
  QKeyEvent key(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  QApplication::sendEvent(Widget(child), &key);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], "child:46");
  EXPECT_EQ(log[1], "top:46");
  ASSERT_EQ(child.Count("Key"), 1);
  EXPECT_EQ(child.calls.back().value, static_cast<long>(VK_DELETE));
}

TEST_F(WindowTest, AConsumedKeyReachesNeitherAncestorsNorTheHandler) {
  std::vector<std::string> log;
  child.keyLog = &log;
  top.keyLog = &log;
  child.eatKeys = true;
  QKeyEvent key(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier);
  QApplication::sendEvent(Widget(child), &key);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "child:75");
  EXPECT_EQ(child.Count("Key"), 0);
}

}  // namespace
