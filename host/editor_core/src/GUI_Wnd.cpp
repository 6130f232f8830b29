#include <EditorCore/GUI_Wnd.h>

#include <EditorCore/GUI_DC.h>
#include <EditorCore/GUI_ThemeManager.h>

#include "Handles.h"
#include "QtConvert.h"
#include "WndState.h"
#include "WndWidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>

#include <cassert>

namespace EditorCore {

using detail::WidgetOf;

namespace {
GUI_Wnd* captureWnd = nullptr;
int hiddenCursorDepth = 0;

// True when the widget or one of its ancestors is on its way out.
bool IsDying(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    if (w->property("tarvelDying").toBool()) return true;
  }
  return false;
}
}  // namespace

GUI_Wnd::GUI_Wnd() = default;

GUI_Wnd::~GUI_Wnd() {
  DestroyWindow();
  if (captureWnd == this) captureWnd = nullptr;
}

bool GUI_Wnd::AttachNewWidget(void* handle, GUI_Wnd* parent, UINT id, UINT style) {
  auto* widget = static_cast<QWidget*>(handle);
  assert(widget && "AttachNewWidget needs a widget");
  if (IsWindow()) {
    delete widget;
    return false;
  }
  // A widget that went with its parent leaves a state behind: clear it before the new one.
  DestroyWindow();
  state = std::make_unique<detail::WndState>();
  state->owner = this;
  state->id = id;
  state->style = style;
  state->painted = dynamic_cast<detail::WndWidget*>(widget) != nullptr;
  detail::BindWidget(*state, widget);
  if (style & WS_DISABLED) widget->setEnabled(false);
  if (parent) widget->setVisible((style & WS_VISIBLE) != 0);
  OnAttach();
  if (OnCreate() == -1) {
    DestroyWindow();
    return false;
  }
  OnSize(0, widget->width(), widget->height());
  return true;
}

bool GUI_Wnd::CreateChild(GUI_Wnd* parent, UINT id, const CRect& rect, UINT style) {
  QWidget* parentWidget = detail::ParentWidgetOf(parent);
  if (!parentWidget) return false;
  auto* widget = new detail::WndWidget(parentWidget);
  widget->setGeometry(detail::ToQRect(rect));
  return AttachNewWidget(widget, parent, id, style | WS_CHILD);
}

bool GUI_Wnd::CreateTopLevel(const std::string& title, const CRect& rect, GUI_Wnd* owner) {
  auto* widget = new detail::WndWidget(WidgetOf(owner), Qt::Window);
  widget->setWindowTitle(detail::ToQString(title));
  widget->setGeometry(detail::ToQRect(rect));
  return AttachNewWidget(widget, nullptr, 0, 0);
}

void GUI_Wnd::DestroyWindow() {
  if (!state) return;
  QWidget* widget = state->widget.data();
  if (widget && !IsDying(widget)) OnDestroy();
  if (captureWnd == this) ReleaseCapture();
  if (widget) {
    for (const auto& [id, timer] : state->timerById) widget->killTimer(timer);
    widget->setProperty("tarvelWndState", QVariant());
    widget->setProperty("tarvelDying", true);
    widget->hide();
    // Deleted later: the call may come from one of the widget's own event handlers.
    widget->deleteLater();
  }
  state.reset();
}

bool GUI_Wnd::IsWindow() const {
  QWidget* widget = WidgetOf(this);
  return widget && !IsDying(widget);
}

void GUI_Wnd::AdoptState(std::unique_ptr<detail::WndState> newState) {
  assert(!state && "AdoptState on a window that has a widget already");
  state = std::move(newState);
  if (state) {
    state->owner = this;
    OnAttach();
  }
}

std::unique_ptr<detail::WndState> GUI_Wnd::ReleaseState() {
  if (state) state->owner = nullptr;
  return std::move(state);
}

void GUI_Wnd::ShowWindow(bool show) {
  if (QWidget* w = WidgetOf(this)) w->setVisible(show);
}

bool GUI_Wnd::IsWindowVisible() const {
  QWidget* w = WidgetOf(this);
  return w && IsWindow() && !w->isHidden();
}

void GUI_Wnd::EnableWindow(bool enable) {
  if (QWidget* w = WidgetOf(this)) w->setEnabled(enable);
}

bool GUI_Wnd::IsWindowEnabled() const {
  QWidget* w = WidgetOf(this);
  return w && w->isEnabled();
}

void GUI_Wnd::MoveWindow(int x, int y, int width, int height, bool repaint) {
  QWidget* w = WidgetOf(this);
  if (!w) return;
  // A drop-down list's rectangle includes its open list; the closed box keeps its own height.
  if (qobject_cast<QComboBox*>(w)) height = std::min(height, 24);
  w->setGeometry(x, y, std::max(0, width), std::max(0, height));
  if (repaint) w->update();
}

void GUI_Wnd::MoveWindow(const CRect& rect, bool repaint) {
  MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}

void GUI_Wnd::GetClientRect(CRect& rect) const {
  QWidget* w = WidgetOf(this);
  rect = w ? CRect(0, 0, w->width(), w->height()) : CRect();
}

void GUI_Wnd::GetWindowRect(CRect& rect) const {
  QWidget* w = WidgetOf(this);
  if (!w) {
    rect = CRect();
    return;
  }
  const QPoint topLeft = w->mapToGlobal(QPoint(0, 0));
  rect = CRect(topLeft.x(), topLeft.y(), topLeft.x() + w->width(), topLeft.y() + w->height());
}

void GUI_Wnd::Invalidate(bool) {
  if (QWidget* w = WidgetOf(this)) w->update();
}

void GUI_Wnd::InvalidateRect(const CRect* rect, bool) {
  QWidget* w = WidgetOf(this);
  if (!w) return;
  if (rect) {
    w->update(detail::ToQRect(*rect));
  } else {
    w->update();
  }
}

void GUI_Wnd::RedrawWindow(const CRect* rect) {
  QWidget* w = WidgetOf(this);
  if (!w) return;
  if (rect) {
    w->repaint(detail::ToQRect(*rect));
  } else {
    w->repaint();
  }
}

void GUI_Wnd::UpdateWindow() {
  if (QWidget* w = WidgetOf(this)) w->repaint();
}

void GUI_Wnd::SetFocus() {
  if (QWidget* w = WidgetOf(this)) w->setFocus(Qt::OtherFocusReason);
}

bool GUI_Wnd::HasFocus() const {
  QWidget* w = WidgetOf(this);
  return w && QApplication::focusWidget() == w;
}

GUI_Wnd* GUI_Wnd::GetFocus() { return detail::OwnerOfAncestor(QApplication::focusWidget()); }

void GUI_Wnd::SetCapture() {
  QWidget* w = WidgetOf(this);
  if (!w) return;
  if (captureWnd && captureWnd != this) ReleaseCapture();
  captureWnd = this;
  if (w->isVisible()) w->grabMouse();
}

void GUI_Wnd::ReleaseCapture() {
  if (!captureWnd) return;
  if (QWidget* w = WidgetOf(captureWnd)) {
    if (QWidget::mouseGrabber() == w) w->releaseMouse();
  }
  captureWnd = nullptr;
}

bool GUI_Wnd::HasCapture() const { return captureWnd == this && IsWindow(); }

GUI_Wnd* GUI_Wnd::GetCapture() { return captureWnd; }

void GUI_Wnd::SetCursor(GUI_Cursor* cursor) {
  QWidget* w = WidgetOf(this);
  if (!w) return;
  if (cursor) {
    w->setCursor(cursor->cursor);
  } else {
    w->unsetCursor();
  }
}

void GUI_Wnd::ShowCursor(bool show) {
  if (!show) {
    if (hiddenCursorDepth++ == 0) QGuiApplication::setOverrideCursor(Qt::BlankCursor);
  } else if (hiddenCursorDepth > 0) {
    if (--hiddenCursorDepth == 0) QGuiApplication::restoreOverrideCursor();
  }
}

void GUI_Wnd::GetCursorPos(CPoint& screenPoint) { screenPoint = detail::FromQPoint(QCursor::pos()); }

bool GUI_Wnd::IsKeyDown(UINT virtualKey) {
  const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
  switch (virtualKey) {
    case VK_SHIFT: return (mods & Qt::ShiftModifier) != 0;
    case VK_CONTROL: return (mods & Qt::ControlModifier) != 0;
    case VK_MENU: return (mods & Qt::AltModifier) != 0;
    default: return false;
  }
}

bool GUI_Wnd::SetTimer(UINT id, UINT milliseconds) {
  QWidget* w = WidgetOf(this);
  if (!w) return false;
  KillTimer(id);
  const int timer = w->startTimer(static_cast<int>(std::max(1u, milliseconds)), Qt::PreciseTimer);
  if (timer == 0) return false;
  state->timerById[id] = timer;
  state->idByTimer[timer] = id;
  return true;
}

bool GUI_Wnd::KillTimer(UINT id) {
  QWidget* w = WidgetOf(this);
  if (!w) return false;
  const auto it = state->timerById.find(id);
  if (it == state->timerById.end()) return false;
  w->killTimer(it->second);
  state->idByTimer.erase(it->second);
  state->timerById.erase(it);
  return true;
}

LRESULT GUI_Wnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!IsWindow()) return 0;
  if (!OnWndMsg(message, wParam, lParam, result)) return 0;
  return result;
}

bool GUI_Wnd::NotifyParent(int code, const GUI_NotifyPayload& payload, LRESULT* result) {
  GUI_Wnd* parent = GetParent();
  if (!parent) return false;
  GUI_NotifyHeader header;
  header.hwndFrom = this;
  header.idFrom = GetDlgCtrlID();
  header.code = code;
  LRESULT value = 0;
  const bool handled = parent->OnNotify(header, payload, value);
  if (result) *result = value;
  return handled;
}

bool GUI_Wnd::SendCommand(UINT id) { return OnCommand(id); }

void GUI_Wnd::ClientToScreen(CPoint& point) const {
  if (QWidget* w = WidgetOf(this)) point = detail::FromQPoint(w->mapToGlobal(detail::ToQPoint(point)));
}

void GUI_Wnd::ScreenToClient(CPoint& point) const {
  if (QWidget* w = WidgetOf(this)) point = detail::FromQPoint(w->mapFromGlobal(detail::ToQPoint(point)));
}

void GUI_Wnd::ClientToScreen(CRect& rect) const {
  CPoint a = rect.TopLeft();
  CPoint b = rect.BottomRight();
  ClientToScreen(a);
  ClientToScreen(b);
  rect = CRect(a.x, a.y, b.x, b.y);
}

void GUI_Wnd::ScreenToClient(CRect& rect) const {
  CPoint a = rect.TopLeft();
  CPoint b = rect.BottomRight();
  ScreenToClient(a);
  ScreenToClient(b);
  rect = CRect(a.x, a.y, b.x, b.y);
}

GUI_Wnd* GUI_Wnd::GetParent() const {
  QWidget* w = WidgetOf(this);
  if (!w) return nullptr;
  return detail::OwnerOfAncestor(w->parentWidget());
}

UINT GUI_Wnd::GetDlgCtrlID() const { return state ? state->id : 0; }

UINT GUI_Wnd::GetStyle() const {
  QWidget* w = WidgetOf(this);
  if (!w) return 0;
  UINT style = state->style & ~(WS_VISIBLE | WS_DISABLED);
  if (!w->isHidden()) style |= WS_VISIBLE;
  if (!w->isEnabled()) style |= WS_DISABLED;
  return style;
}

void GUI_Wnd::SetWindowText(const std::string& text) {
  QWidget* w = WidgetOf(this);
  if (!w) return;
  const QString s = detail::ToQString(text);
  if (auto* label = qobject_cast<QLabel*>(w))
    label->setText(s);
  else if (auto* edit = qobject_cast<QLineEdit*>(w))
    edit->setText(s);
  else if (auto* button = qobject_cast<QAbstractButton*>(w))
    button->setText(s);
  else if (auto* group = qobject_cast<QGroupBox*>(w))
    group->setTitle(s);
  else
    w->setWindowTitle(s);
}

void GUI_Wnd::SetToolTip(const std::string& text) {
  if (QWidget* w = WidgetOf(this)) w->setToolTip(detail::ToQString(text));
}

std::string GUI_Wnd::GetToolTip() const {
  const QWidget* w = WidgetOf(this);
  return w ? detail::FromQString(w->toolTip()) : std::string();
}

std::string GUI_Wnd::GetToolTipAt(CPoint) const { return GetToolTip(); }

std::string GUI_Wnd::GetWindowText() const {
  QWidget* w = WidgetOf(this);
  if (!w) return {};
  QString s;
  if (auto* label = qobject_cast<QLabel*>(w))
    s = label->text();
  else if (auto* edit = qobject_cast<QLineEdit*>(w))
    s = edit->text();
  else if (auto* button = qobject_cast<QAbstractButton*>(w))
    s = button->text();
  else if (auto* group = qobject_cast<QGroupBox*>(w))
    s = group->title();
  else
    s = w->windowTitle();
  return detail::FromQString(s);
}

void GUI_Wnd::SetFont(GUI_Font* font) {
  QWidget* w = WidgetOf(this);
  if (w && font) w->setFont(font->font);
}

void* GUI_Wnd::GetSafeHwnd() const { return IsWindow() ? WidgetOf(this) : nullptr; }

GUI_Wnd* GUI_Wnd::FromHandle(void* handle) { return detail::OwnerOf(static_cast<QObject*>(handle)); }

void GUI_Wnd::OnSize(UINT, int, int) {}

bool GUI_Wnd::OnEraseBkgnd(GUI_DC& dc) {
  CRect rect;
  dc.GetClipBox(rect);
  dc.FillSolidRect(rect, GUI_ThemeManager::GetColor(10));
  return true;
}

void GUI_Wnd::OnPaint(GUI_DC&) {}
void GUI_Wnd::OnLButtonDown(UINT, CPoint) {}
void GUI_Wnd::OnLButtonUp(UINT, CPoint) {}
void GUI_Wnd::OnLButtonDblClk(UINT flags, CPoint point) { OnLButtonDown(flags, point); }
void GUI_Wnd::OnMButtonDown(UINT, CPoint) {}
void GUI_Wnd::OnMButtonUp(UINT, CPoint) {}
void GUI_Wnd::OnRButtonDown(UINT, CPoint) {}
void GUI_Wnd::OnRButtonUp(UINT, CPoint) {}
void GUI_Wnd::OnMouseMove(UINT, CPoint) {}
bool GUI_Wnd::OnMouseWheel(UINT, short, CPoint) { return false; }
void GUI_Wnd::OnKeyDown(UINT, UINT, UINT) {}
void GUI_Wnd::OnTimer(UINT) {}
bool GUI_Wnd::OnCommand(UINT) { return false; }
bool GUI_Wnd::OnNotify(const GUI_NotifyHeader&, const GUI_NotifyPayload&, LRESULT&) { return false; }
bool GUI_Wnd::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
void GUI_Wnd::OnClose() { DestroyWindow(); }
void GUI_Wnd::OnSetFocus() {}
void GUI_Wnd::OnKillFocus() {}
void GUI_Wnd::OnDestroy() {}
bool GUI_Wnd::PreTranslateMessage(const GUI_Msg&) { return false; }

}  // namespace EditorCore
