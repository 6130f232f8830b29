#pragma once

#include <EditorCore/GUI_Wnd.h>

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>

namespace EditorCore::detail {

// What a window object knows of its widget. It moves with the widget when a template
// control is bound to another object of its kind; owner always names the current object.
struct WndState {
  GUI_Wnd* owner = nullptr;
  QPointer<QWidget> widget;
  UINT id = 0;
  UINT style = 0;
  bool painted = false;  // our own widget: painting and input belong to the window object
  std::map<UINT, int> timerById;
  std::map<int, UINT> idByTimer;
  // Context of the signal connections made for the widget: they end with the state.
  std::unique_ptr<QObject> guard = std::make_unique<QObject>();
};

// The state behind a widget, or null when no window object owns it (or it is being destroyed).
WndState* StateOf(const QObject* object);
GUI_Wnd* OwnerOf(const QObject* object);
// The nearest ancestor widget (the widget itself included) owned by a window object.
GUI_Wnd* OwnerOfAncestor(QWidget* widget);
QWidget* WidgetOf(const GUI_Wnd* wnd);
// Binds the widget to the state: property, event translation.
void BindWidget(WndState& state, QWidget* widget);
// The widget a child of this window must be created in.
QWidget* ParentWidgetOf(const GUI_Wnd* parent);
// Converts the platform's key to a virtual key code (0 when it has none).
UINT VirtualKeyOf(int qtKey);
UINT MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
// Offers a key-down to PreTranslateMessage of the window chain from the receiver up.
bool PreTranslateKey(QObject* receiver, int qtKey, bool autoRepeat, Qt::KeyboardModifiers modifiers);

}  // namespace EditorCore::detail
