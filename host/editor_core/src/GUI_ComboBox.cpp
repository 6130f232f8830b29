#include <EditorCore/GUI_ComboBox.h>

#include "QtConvert.h"
#include "WndState.h"

#include <QComboBox>

namespace EditorCore {

namespace {
QComboBox* ComboOf(const GUI_Wnd* wnd) { return qobject_cast<QComboBox*>(detail::WidgetOf(wnd)); }
}  // namespace

bool GUI_ComboBox::Create(GUI_Wnd* parent, const CRect& rect, UINT id, UINT style) {
  QWidget* parentWidget = detail::ParentWidgetOf(parent);
  if (!parentWidget || IsWindow()) return false;
  auto* combo = new QComboBox(parentWidget);
  combo->setEditable(false);
  // A template's height includes the dropped list; the closed box keeps its own height.
  combo->setGeometry(rect.left, rect.top, rect.Width(), std::min(rect.Height(), 24));
  if (!AttachNewWidget(combo, parent, id, style)) return false;
  detail::WndState* st = State();
  QObject::connect(combo, &QComboBox::activated, st->guard.get(), [st](int index) {
    if (!st->owner) return;
    GUI_NotifyPayload payload;
    payload.item = index;
    st->owner->NotifyParent(NotifySelChange, payload);
  });
  return true;
}

void GUI_ComboBox::OnAttach() {}

int GUI_ComboBox::AddString(const std::string& text) {
  QComboBox* combo = ComboOf(this);
  if (!combo) return -1;
  combo->addItem(detail::ToQString(text), QVariant::fromValue<qlonglong>(0));
  return combo->count() - 1;
}

int GUI_ComboBox::InsertString(int index, const std::string& text) {
  QComboBox* combo = ComboOf(this);
  if (!combo) return -1;
  if (index < 0 || index > combo->count()) index = combo->count();
  combo->insertItem(index, detail::ToQString(text), QVariant::fromValue<qlonglong>(0));
  return index;
}

bool GUI_ComboBox::DeleteString(int index) {
  QComboBox* combo = ComboOf(this);
  if (!combo || index < 0 || index >= combo->count()) return false;
  combo->removeItem(index);
  return true;
}

void GUI_ComboBox::ResetContent() {
  if (QComboBox* combo = ComboOf(this)) combo->clear();
}

int GUI_ComboBox::GetCount() const {
  QComboBox* combo = ComboOf(this);
  return combo ? combo->count() : 0;
}

bool GUI_ComboBox::SetItemData(int index, LPARAM data) {
  QComboBox* combo = ComboOf(this);
  if (!combo || index < 0 || index >= combo->count()) return false;
  combo->setItemData(index, QVariant::fromValue<qlonglong>(static_cast<qlonglong>(data)));
  return true;
}

LPARAM GUI_ComboBox::GetItemData(int index) const {
  QComboBox* combo = ComboOf(this);
  if (!combo || index < 0 || index >= combo->count()) return 0;
  return static_cast<LPARAM>(combo->itemData(index).toLongLong());
}

void GUI_ComboBox::SetCurSel(int index) {
  QComboBox* combo = ComboOf(this);
  if (!combo) return;
  combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

int GUI_ComboBox::GetCurSel() const {
  QComboBox* combo = ComboOf(this);
  return combo ? combo->currentIndex() : -1;
}

std::string GUI_ComboBox::GetLBText(int index) const {
  QComboBox* combo = ComboOf(this);
  if (!combo || index < 0 || index >= combo->count()) return {};
  return detail::FromQString(combo->itemText(index));
}

int GUI_ComboBox::FindStringExact(int startAfter, const std::string& text) const {
  QComboBox* combo = ComboOf(this);
  if (!combo) return -1;
  const QString s = detail::ToQString(text);
  for (int i = std::max(0, startAfter + 1); i < combo->count(); ++i) {
    if (combo->itemText(i).compare(s, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

}  // namespace EditorCore
