#include <EditorCore/GUI_RadioButton.h>

#include "QtConvert.h"
#include "WndState.h"

#include <QRadioButton>

namespace EditorCore {

namespace {
QRadioButton* RadioOf(const GUI_Wnd* wnd) { return qobject_cast<QRadioButton*>(detail::WidgetOf(wnd)); }
}  // namespace

bool GUI_RadioButton::Create(GUI_Wnd* parent, const CRect& rect, UINT id, const std::string& text, UINT style) {
  QWidget* parentWidget = detail::ParentWidgetOf(parent);
  if (!parentWidget || IsWindow()) return false;
  auto* radio = new QRadioButton(detail::ToQString(text), parentWidget);
  radio->setGeometry(detail::ToQRect(rect));
  radio->setFocusPolicy(Qt::TabFocus);
  if (!AttachNewWidget(radio, parent, id, style)) return false;
  detail::WndState* st = State();
  QObject::connect(radio, &QRadioButton::clicked, st->guard.get(), [st](bool) {
    if (!st->owner) return;
    if (GUI_Wnd* p = st->owner->GetParent()) p->SendCommand(st->id);
  });
  return true;
}

void GUI_RadioButton::OnAttach() {}

void GUI_RadioButton::Check(bool checked) {
  QRadioButton* radio = RadioOf(this);
  if (!radio) return;
  // Unchecking an auto-exclusive button needs the exclusivity lifted for a moment.
  radio->setAutoExclusive(checked);
  radio->setChecked(checked);
  radio->setAutoExclusive(true);
}

bool GUI_RadioButton::IsChecked() const {
  QRadioButton* radio = RadioOf(this);
  return radio && radio->isChecked();
}

}  // namespace EditorCore
