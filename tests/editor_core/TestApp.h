#pragma once

#include <EditorCore/GUI_Wnd.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace EditorCoreTest {

// The widget behind a window, for playing the user.
inline QWidget* Widget(const EditorCore::GUI_Wnd& wnd) { return static_cast<QWidget*>(wnd.GetSafeHwnd()); }

// Sends a mouse event to the window's widget at a client point, as the platform would.
inline void SendMouse(const EditorCore::GUI_Wnd& wnd, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* w = Widget(wnd);
  QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, buttons, modifiers);
  QApplication::sendEvent(w, &event);
}

// Handles pending events (timers, deferred deletes) for a while.
void Pump(int milliseconds);

}  // namespace EditorCoreTest
