#pragma once

#include <EditorCore/GUI_Wnd.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <vector>

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

// A parent window that writes down every notification and command its children send it.
class NotifyRecorder : public EditorCore::GUI_Wnd {
 public:
  struct Note {
    EditorCore::GUI_NotifyHeader header;
    EditorCore::GUI_NotifyPayload payload;
  };
  std::vector<Note> notes;
  std::vector<EditorCore::UINT> commands;

  bool OnNotify(const EditorCore::GUI_NotifyHeader& header, const EditorCore::GUI_NotifyPayload& payload,
                EditorCore::LRESULT&) override {
    notes.push_back({header, payload});
    return true;
  }
  bool OnCommand(EditorCore::UINT id) override {
    commands.push_back(id);
    return true;
  }
  // The notes of one code, in the order they came.
  std::vector<Note> With(int code) const {
    std::vector<Note> found;
    for (const Note& note : notes) {
      if (note.header.code == code) found.push_back(note);
    }
    return found;
  }
};

}  // namespace EditorCoreTest
