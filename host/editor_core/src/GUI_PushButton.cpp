#include <EditorCore/GUI_PushButton.h>

#include "Handles.h"
#include "QtConvert.h"
#include "WndState.h"

#include <QPushButton>

namespace EditorCore {

namespace {
QPushButton* ButtonOf(const GUI_Wnd* wnd) { return qobject_cast<QPushButton*>(detail::WidgetOf(wnd)); }
}  // namespace

bool GUI_PushButton::Create(GUI_Wnd* parent, const CRect& rect, UINT id, const std::string& text, UINT style) {
  QWidget* parentWidget = detail::ParentWidgetOf(parent);
  if (!parentWidget || IsWindow()) return false;
  auto* button = new QPushButton(detail::ToQString(text), parentWidget);
  button->setGeometry(detail::ToQRect(rect));
  button->setAutoDefault(false);
  button->setFocusPolicy(Qt::TabFocus);
  if (!AttachNewWidget(button, parent, id, style)) return false;
  detail::WndState* st = State();
  QObject::connect(button, &QPushButton::pressed, st->guard.get(), [st] {
    if (st->owner) st->owner->NotifyParent(NotifyPressed);
  });
  QObject::connect(button, &QPushButton::clicked, st->guard.get(), [st](bool) {
    if (!st->owner) return;
    if (GUI_Wnd* p = st->owner->GetParent()) p->SendCommand(st->id);
  });
  return true;
}

void GUI_PushButton::OnAttach() {}

void GUI_PushButton::SetIcon(GUI_Icon* newIcon, bool border) {
  QPushButton* button = ButtonOf(this);
  if (!button) return;
  icon = newIcon;
  button->setFlat(!border);
  if (newIcon) {
    button->setIcon(QIcon(newIcon->pixmap));
    button->setIconSize(newIcon->pixmap.size().isEmpty() ? QSize(18, 18) : newIcon->pixmap.size());
    button->setText(QString());
  } else {
    button->setIcon(QIcon());
  }
}

}  // namespace EditorCore
