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
  } else {
    box->setIcon(QIcon());
  }
}

}  // namespace EditorCore
