#include <EditorCore/GUI_TabCtrl.h>

#include "QtConvert.h"
#include "WndState.h"
#include "WndWidget.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTabBar>

namespace EditorCore {

namespace {
// Reports right clicks on the tabs to the control that owns the bar.
class TabBarEvents : public QObject {
 public:
  TabBarEvents(QTabBar* tabBar, detail::WndState* ownerState)
      : QObject(tabBar), bar(tabBar), state(ownerState), guard(ownerState->guard.get()) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != bar || event->type() != QEvent::MouseButtonPress) return false;
    auto* me = static_cast<QMouseEvent*>(event);
    if (me->button() != Qt::RightButton || !guard || !state->owner) return false;
    const QPoint inBar = me->position().toPoint();
    GUI_NotifyPayload payload;
    payload.item = bar->tabAt(inBar);
    payload.point = detail::FromQPoint(bar->mapToParent(inBar));
    state->owner->NotifyParent(GUI_TabCtrl::NotifyContextMenu, payload);
    return true;
  }

 private:
  QTabBar* bar;
  detail::WndState* state;
  QPointer<QObject> guard;  // null once the state is gone
};
}  // namespace

struct GUI_TabCtrl::Data {
  QPointer<QTabBar> bar;
  CRect margins;
};

GUI_TabCtrl::GUI_TabCtrl() : data(std::make_unique<Data>()) {}
GUI_TabCtrl::~GUI_TabCtrl() { DestroyWindow(); }

bool GUI_TabCtrl::Create(GUI_Wnd* parent, UINT id) { return Create(parent, CRect(), id); }

bool GUI_TabCtrl::Create(GUI_Wnd* parent, const CRect& rect, UINT id) {
  QWidget* parentWidget = detail::ParentWidgetOf(parent);
  if (!parentWidget || IsWindow()) return false;
  auto* widget = new detail::WndWidget(parentWidget);
  widget->setGeometry(detail::ToQRect(rect));
  auto* bar = new QTabBar(widget);
  bar->setExpanding(false);
  bar->setDrawBase(false);
  data->bar = bar;
  if (!AttachNewWidget(widget, parent, id, WS_CHILD | WS_VISIBLE)) return false;
  detail::WndState* st = State();
  bar->installEventFilter(new TabBarEvents(bar, st));
  // Whatever the user changes the current tab with (a click, the wheel, the arrow keys), the
  // owner hears of it; the calls below block the signal, their changes are the caller's.
  QObject::connect(bar, &QTabBar::currentChanged, st->guard.get(), [st](int index) {
    auto* tabs = st->owner ? dynamic_cast<GUI_TabCtrl*>(st->owner) : nullptr;
    if (!tabs || index < 0) return;
    GUI_NotifyPayload payload;
    payload.item = index;
    st->owner->NotifyParent(NotifySelChange, payload);
  });
  Layout();
  return true;
}

void GUI_TabCtrl::OnAttach() {
  if (!data->bar) {
    if (QWidget* w = detail::WidgetOf(this)) data->bar = w->findChild<QTabBar*>();
  }
}

void GUI_TabCtrl::SetMargins(int left, int top, int right, int bottom) {
  data->margins = CRect(left, top, right, bottom);
  Layout();
}

int GUI_TabCtrl::InsertItem(int index, const std::string& text) {
  if (!data->bar) return -1;
  // Adding tabs must not announce a selection: only the user's picks are notified.
  const QSignalBlocker blocker(data->bar);
  const int inserted = data->bar->insertTab(index, detail::ToQString(text));
  // The bar's height follows its tabs: none, no height.
  Layout();
  return inserted;
}

bool GUI_TabCtrl::DeleteItem(int index) {
  if (!data->bar || index < 0 || index >= data->bar->count()) return false;
  const QSignalBlocker blocker(data->bar);
  data->bar->removeTab(index);
  Layout();
  return true;
}

bool GUI_TabCtrl::DeleteAllItems() {
  if (!data->bar) return false;
  const QSignalBlocker blocker(data->bar);
  while (data->bar->count() > 0) data->bar->removeTab(0);
  Layout();
  return true;
}

int GUI_TabCtrl::GetItemCount() const { return data->bar ? data->bar->count() : 0; }

int GUI_TabCtrl::GetCurSel() const { return data->bar ? data->bar->currentIndex() : -1; }

int GUI_TabCtrl::SetCurSel(int index) {
  if (!data->bar || index < 0 || index >= data->bar->count()) return -1;
  const int previous = data->bar->currentIndex();
  const QSignalBlocker blocker(data->bar);
  data->bar->setCurrentIndex(index);
  return previous;
}

std::string GUI_TabCtrl::GetItemText(int index) const {
  return data->bar ? detail::FromQString(data->bar->tabText(index)) : std::string();
}

bool GUI_TabCtrl::SetItemText(int index, const std::string& text) {
  if (!data->bar || index < 0 || index >= data->bar->count()) return false;
  data->bar->setTabText(index, detail::ToQString(text));
  return true;
}

std::string GUI_TabCtrl::GetItemToolTip(int index) const {
  return data->bar ? detail::FromQString(data->bar->tabToolTip(index)) : std::string();
}

bool GUI_TabCtrl::SetItemToolTip(int index, const std::string& text) {
  if (!data->bar || index < 0 || index >= data->bar->count()) return false;
  data->bar->setTabToolTip(index, detail::ToQString(text));
  return true;
}

void GUI_TabCtrl::GetDisplayRect(CRect& rect) const {
  GetClientRect(rect);
  const int barHeight = data->bar ? data->bar->sizeHint().height() : 0;
  rect.top += barHeight + data->margins.top;
  rect.left += data->margins.left;
  rect.right -= data->margins.right;
  rect.bottom -= data->margins.bottom;
  if (rect.right < rect.left) rect.right = rect.left;
  if (rect.bottom < rect.top) rect.bottom = rect.top;
}

void GUI_TabCtrl::OnSize(UINT, int, int) { Layout(); }

void GUI_TabCtrl::Layout() {
  if (!data->bar) return;
  CRect client;
  GetClientRect(client);
  data->bar->setGeometry(0, 0, client.Width(), data->bar->sizeHint().height());
}

}  // namespace EditorCore
