#include <EditorCore/GUI_CheckBox.h>

#include "Handles.h"
#include "QtConvert.h"
#include "WndState.h"

#include <QCheckBox>

namespace EditorCore {

namespace {
QCheckBox* BoxOf(const GUI_Wnd* wnd) { return qobject_cast<QCheckBox*>(detail::WidgetOf(wnd)); }
}  // namespace

bool GUI_CheckBox::Create(GUI_Wnd* parent, const CRect& rect, UINT id, const std::string& text, UINT style) {
  QWidget* parentWidget = detail::ParentWidgetOf(parent);
  if (!parentWidget || IsWindow()) return false;
  auto* box = new QCheckBox(detail::ToQString(text), parentWidget);
  box->setGeometry(detail::ToQRect(rect));
  box->setFocusPolicy(Qt::TabFocus);
  if (!AttachNewWidget(box, parent, id, style)) return false;
  detail::WndState* st = State();
  QObject::connect(box, &QCheckBox::clicked, st->guard.get(), [st](bool) {
    if (!st->owner) return;
    if (GUI_Wnd* p = st->owner->GetParent()) p->SendCommand(st->id);
  });
  return true;
}

void GUI_CheckBox::OnAttach() {}

void GUI_CheckBox::Check(bool checked) {
  if (QCheckBox* box = BoxOf(this)) box->setChecked(checked);
}

bool GUI_CheckBox::IsChecked() const {
  QCheckBox* box = BoxOf(this);
  return box && box->isChecked();
}

void GUI_CheckBox::SetIcon(GUI_Icon* icon) {
  QCheckBox* box = BoxOf(this);
  if (!box) return;
  if (icon) {
    box->setIcon(QIcon(icon->pixmap));
    box->setIconSize(QSize(18, 18));
    box->setText(QString());
    // With an icon the box is a toggle button: the icon alone, lit while checked.
    box->setStyleSheet(
        "QCheckBox { border: 1px solid transparent; border-radius: 3px; padding-left: 2px; }"
        "QCheckBox::indicator { width: 0px; height: 0px; }"
        "QCheckBox:checked { background-color: rgba(90, 140, 210, 90); border-color: rgb(90, 140, 210); }"
        "QCheckBox:hover { border-color: rgb(140, 140, 150); }");
  } else {
    box->setIcon(QIcon());
    box->setStyleSheet(QString());
  }
}

}  // namespace EditorCore
