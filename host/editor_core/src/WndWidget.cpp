#include "WndWidget.h"

#include "DCState.h"
#include "WndState.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace EditorCore::detail {

WndWidget::WndWidget(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void WndWidget::paintEvent(QPaintEvent*) {
  GUI_Wnd* owner = OwnerOf(this);
  if (!owner) return;
  QPainter painter(this);
  auto dc = MakeDC(&painter, CRect(0, 0, width(), height()));
  owner->OnEraseBkgnd(*dc);
  owner->OnPaint(*dc);
}

void WndWidget::mousePressEvent(QMouseEvent* event) { event->accept(); }
void WndWidget::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }
void WndWidget::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }
void WndWidget::mouseMoveEvent(QMouseEvent* event) { event->accept(); }

void WndWidget::keyPressEvent(QKeyEvent* event) {
  // The window object already had the key as its own key-down; it does not go to the parent.
  event->accept();
}

}  // namespace EditorCore::detail
