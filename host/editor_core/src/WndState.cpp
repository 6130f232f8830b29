#include "WndState.h"

#include "WndEvents.h"

#include <QApplication>
#include <QVariant>

namespace EditorCore::detail {

namespace {
constexpr const char* kStateProperty = "tarvelWndState";
}

WndState* StateOf(const QObject* object) {
  if (!object) return nullptr;
  const QVariant v = object->property(kStateProperty);
  return v.isValid() ? static_cast<WndState*>(v.value<void*>()) : nullptr;
}

GUI_Wnd* OwnerOf(const QObject* object) {
  WndState* state = StateOf(object);
  return state ? state->owner : nullptr;
}

GUI_Wnd* OwnerOfAncestor(QWidget* widget) {
  for (QWidget* w = widget; w; w = w->parentWidget()) {
    if (GUI_Wnd* owner = OwnerOf(w)) return owner;
  }
  return nullptr;
}

QWidget* WidgetOf(const GUI_Wnd* wnd) {
  if (!wnd || !wnd->State()) return nullptr;
  return wnd->State()->widget.data();
}

void BindWidget(WndState& state, QWidget* widget) {
  state.widget = widget;
  widget->setProperty(kStateProperty, QVariant::fromValue<void*>(&state));
  widget->installEventFilter(new WndEvents(widget));
}

QWidget* ParentWidgetOf(const GUI_Wnd* parent) { return WidgetOf(parent); }

UINT VirtualKeyOf(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<UINT>('A' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<UINT>('0' + (key - Qt::Key_0));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    default: return 0;
  }
}

UINT MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  UINT flags = 0;
  if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
  if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
  if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
  if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
  return flags;
}

bool PreTranslateKey(QObject* receiver, int qtKey, bool autoRepeat, Qt::KeyboardModifiers modifiers) {
  auto* widget = qobject_cast<QWidget*>(receiver);
  if (!widget) return false;
  const UINT vk = VirtualKeyOf(qtKey);
  if (vk == 0) return false;
  GUI_Wnd* target = OwnerOfAncestor(widget);
  if (!target) return false;
  GUI_Msg msg;
  msg.hwnd = target;
  msg.message = WM_KEYDOWN;
  msg.wParam = vk;
  msg.lParam = autoRepeat ? 2 : 1;
  msg.keyFlags = MouseFlags(Qt::NoButton, modifiers);
  GUI_Wnd::GetCursorPos(msg.pt);
  // Innermost window first; the chain is read again after each call because a handler may
  // destroy windows.
  QPointer<QWidget> current = WidgetOf(target);
  while (current) {
    GUI_Wnd* wnd = OwnerOf(current);
    QWidget* parent = current->isWindow() ? nullptr : current->parentWidget();
    if (wnd && wnd->PreTranslateMessage(msg)) return true;
    if (!current) return false;
    current = parent;
  }
  return false;
}

}  // namespace EditorCore::detail
