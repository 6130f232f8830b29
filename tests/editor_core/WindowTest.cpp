#include "TestApp.h"

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

TEST_F(WindowTest, MouseEventsReachTheChildsHandlersWithClientPointAndFlags) {
  struct Case {
    QEvent::Type type;
    QPoint at;
    Qt::MouseButton button;
    Qt::MouseButtons buttons;  // held after the event: a release reports the buttons still held
    Qt::KeyboardModifiers modifiers;
    const char* what;
    UINT flags;
  };
  constexpr auto kPress = QEvent::MouseButtonPress, kRelease = QEvent::MouseButtonRelease;
  constexpr auto kLeft = Qt::LeftButton, kMiddle = Qt::MiddleButton, kRight = Qt::RightButton, kNone = Qt::NoButton;
  constexpr auto kCtrl = Qt::ControlModifier, kNoKey = Qt::NoModifier;
  const Case cases[] = {
      {kPress, {5, 7}, kLeft, kLeft, Qt::ShiftModifier, "LDown", MK_LBUTTON | MK_SHIFT},
      {kRelease, {3, 4}, kLeft, kNone, kCtrl, "LUp", MK_CONTROL},
      {QEvent::MouseMove, {40, 41}, kNone, kRight | kMiddle, kCtrl, "Move", MK_RBUTTON | MK_MBUTTON | MK_CONTROL},
      {kPress, {1, 2}, kMiddle, kMiddle, kNoKey, "MDown", MK_MBUTTON},
      {kPress, {3, 4}, kRight, kRight, kNoKey, "RDown", MK_RBUTTON},
      {kRelease, {6, 9}, kRight, kNone, kNoKey, "RUp", 0}};
  for (const Case& c : cases) {
    child.calls.clear();
    SendMouse(child, c.type, c.at, c.button, c.buttons, c.modifiers);
    ASSERT_EQ(child.calls.size(), 1u) << c.what;
    EXPECT_EQ(child.calls[0].what, c.what);
    EXPECT_EQ(child.calls[0].flags, c.flags) << c.what;
    EXPECT_EQ(child.calls[0].point, CPoint(c.at.x(), c.at.y())) << c.what;
  }
  EXPECT_EQ(top.Count("LDown"), 0);
}

TEST_F(WindowTest, AWheelTheChildLeavesGoesOnToTheParentWithTheScreenPoint) {
  QWidget* w = Widget(child);
  const QPoint global = w->mapToGlobal(QPoint(5, 5));
  for (bool taken : {true, false}) {
    child.takeWheel = taken;
    QWheelEvent wheel(QPointF(5, 5), QPointF(global), QPoint(), QPoint(0, taken ? 120 : -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &wheel);
  }
  EXPECT_EQ(child.Count("Wheel"), 2);
  ASSERT_EQ(top.Count("Wheel"), 1);
  EXPECT_EQ(top.calls.back().value, -120);
  EXPECT_EQ(top.calls.back().point, CPoint(global.x(), global.y()));
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

TEST_F(WindowTest, NotifyParentNamesSenderIdAndCodeAndSendMessageReturnsTheHandlersResultUntilTheParentGoes) {
  GUI_NotifyPayload payload;
  payload.distance = -7;
  LRESULT result = 0;
  EXPECT_TRUE(child.NotifyParent(2034, payload, &result));
  ASSERT_EQ(top.notifications.size(), 1u);
  EXPECT_EQ(top.notifications[0].hwndFrom, &child);
  EXPECT_EQ(top.notifications[0].idFrom, 42u);
  EXPECT_EQ(top.notifications[0].code, 2034);
  EXPECT_EQ(result, -14);
  EXPECT_EQ(child.SendMessage(3524, 40, 2), 42);
  EXPECT_EQ(child.SendMessage(3525, 40, 2), 0);
  ASSERT_TRUE(child.IsWindow());
  top.DestroyWindow();
  EXPECT_FALSE(top.IsWindow());
  EXPECT_FALSE(child.IsWindow());
  Pump(0);
  EXPECT_FALSE(child.IsWindow());
  EXPECT_EQ(child.SendMessage(3524, 1, 1), 0);
}

TEST_F(WindowTest, ClientAndScreenConvertBothWaysAndMoveWindowChangesTheClientRectangle) {
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
  child.MoveWindow(5, 6, 70, 30);
  child.GetClientRect(r);
  EXPECT_EQ(r, CRect(0, 0, 70, 30));
  EXPECT_EQ(Widget(child)->pos(), QPoint(5, 6));
}

TEST_F(WindowTest, ShowAndEnableAreReflectedInTheStyleAndCaptureBelongsToOneWindowAtATime) {
  child.ShowWindow(false);
  EXPECT_EQ(child.GetStyle() & WS_VISIBLE, 0u);
  child.ShowWindow(true);
  EXPECT_NE(child.GetStyle() & WS_VISIBLE, 0u);
  child.EnableWindow(false);
  EXPECT_FALSE(child.IsWindowEnabled());
  EXPECT_NE(child.GetStyle() & WS_DISABLED, 0u);
  child.SetCapture();
  EXPECT_TRUE(child.HasCapture());
  top.SetCapture();
  EXPECT_FALSE(child.HasCapture());
  EXPECT_TRUE(top.HasCapture());
  GUI_Wnd::ReleaseCapture();
  EXPECT_FALSE(top.HasCapture());
  EXPECT_EQ(GUI_Wnd::GetCapture(), nullptr);
}

TEST_F(WindowTest, KeyDownIsOfferedInnermostFirstThenToTheHandlerUnlessAWindowConsumesIt) {
  std::vector<std::string> log;
  child.keyLog = &log;
  top.keyLog = &log;
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  QApplication::sendEvent(Widget(child), &del);
  EXPECT_EQ(log, (std::vector<std::string>{"child:46", "top:46"}));
  ASSERT_EQ(child.Count("Key"), 1);
  EXPECT_EQ(child.calls.back().value, static_cast<long>(VK_DELETE));
  log.clear();
  child.eatKeys = true;
  QKeyEvent k(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier);
  QApplication::sendEvent(Widget(child), &k);
  EXPECT_EQ(log, std::vector<std::string>{"child:75"});
  EXPECT_EQ(child.Count("Key"), 1);
}

}  // namespace
