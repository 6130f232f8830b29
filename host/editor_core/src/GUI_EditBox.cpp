#include <EditorCore/GUI_EditBox.h>

#include "QtConvert.h"
#include "WndState.h"

#include <QDoubleValidator>
#include <QEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>

#include <algorithm>

namespace EditorCore {

namespace {
QLineEdit* EditOf(const GUI_Wnd* wnd) { return qobject_cast<QLineEdit*>(detail::WidgetOf(wnd)); }

// Tells the box's parent when the user leaves the box after typing in it.
class LeaveWatcher : public QObject {
 public:
  LeaveWatcher(QLineEdit* edit, detail::WndState* ownerState)
      : QObject(edit), state(ownerState), guard(ownerState->guard.get()) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (event->type() == QEvent::FocusOut && edit && edit->isModified() && guard && state->owner) {
      edit->setModified(false);
      GUI_NotifyPayload payload;
      if (auto* owner = dynamic_cast<GUI_EditBox*>(state->owner)) payload.value = owner->GetFloatValue();
      state->owner->NotifyParent(GUI_EditBox::NotifyLeave, payload);
    }
    return false;
  }

 private:
  detail::WndState* state;
  QPointer<QObject> guard;
};
}  // namespace

bool GUI_EditBox::Create(GUI_Wnd* parent, const CRect& rect, UINT id, UINT style) {
  QWidget* parentWidget = detail::ParentWidgetOf(parent);
  if (!parentWidget || IsWindow()) return false;
  auto* edit = new QLineEdit(parentWidget);
  edit->setGeometry(detail::ToQRect(rect));
  if (!AttachNewWidget(edit, parent, id, style)) return false;
  detail::WndState* st = State();
  // The connection follows the widget: after binding, st->owner is the new object.
  QObject::connect(edit, &QLineEdit::textChanged, st->guard.get(), [st](const QString&) {
    auto* owner = dynamic_cast<GUI_EditBox*>(st->owner);
    if (!owner) return;
    GUI_NotifyPayload payload;
    payload.value = owner->GetFloatValue();
    owner->NotifyParent(NotifyValueChanged, payload);
  });
  edit->installEventFilter(new LeaveWatcher(edit, st));
  return true;
}

void GUI_EditBox::OnAttach() { ApplyValidator(); }

void GUI_EditBox::ApplyValidator() {
  QLineEdit* edit = EditOf(this);
  if (!edit) return;
  if (!isFloat) {
    edit->setValidator(nullptr);
    return;
  }
  auto* validator = new QDoubleValidator(edit);
  validator->setLocale(QLocale::c());
  validator->setNotation(QDoubleValidator::StandardNotation);
  validator->setDecimals(decimals);
  validator->setBottom(nonNegative ? 0.0 : -1.0e12);
  validator->setTop(1.0e12);
  edit->setValidator(validator);
}

void GUI_EditBox::SetTypeAsFloat(int newDecimals, bool refuseNegative) {
  isFloat = true;
  decimals = std::max(0, newDecimals);
  nonNegative = refuseNegative;
  ApplyValidator();
}

void GUI_EditBox::SetMinBoundary(double value) {
  hasMinimum = true;
  minimum = value;
}

void GUI_EditBox::SetFloatValue(double value) {
  QLineEdit* edit = EditOf(this);
  if (!edit) return;
  if (hasMinimum) value = std::max(value, minimum);
  edit->setText(QString::number(value, 'f', isFloat ? decimals : 6));
}

double GUI_EditBox::GetFloatValue() const {
  QLineEdit* edit = EditOf(this);
  if (!edit) return hasMinimum ? minimum : 0.0;
  bool ok = false;
  double value = QLocale::c().toDouble(edit->text().trimmed(), &ok);
  if (!ok) value = 0.0;
  if (hasMinimum) value = std::max(value, minimum);
  return value;
}

void GUI_EditBox::SetEmpty() {
  if (QLineEdit* edit = EditOf(this)) edit->clear();
}

void GUI_EditBox::SetReadOnly(bool readOnly) {
  if (QLineEdit* edit = EditOf(this)) edit->setReadOnly(readOnly);
}

bool GUI_EditBox::IsReadOnly() const {
  QLineEdit* edit = EditOf(this);
  return edit && edit->isReadOnly();
}

bool GUI_EditBox::IsEmpty() const {
  QLineEdit* edit = EditOf(this);
  return !edit || edit->text().isEmpty();
}

bool GUI_EditBox::PreTranslateMessage(const GUI_Msg& msg) {
  if (msg.message != WM_KEYDOWN || msg.hwnd != this) return false;
  if (msg.wParam == VK_RETURN) {
    // Enter confirms what was typed; leaving the box afterwards confirms nothing more.
    if (QLineEdit* edit = EditOf(this)) edit->setModified(false);
    return NotifyParent(NotifyEnter);
  }
  if (msg.wParam == VK_ESCAPE) return NotifyParent(NotifyEscape);
  return false;
}

}  // namespace EditorCore
