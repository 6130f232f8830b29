#include "PanelDropTarget.h"

#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

#include "EditorCore/GUI_Wnd.h"
#include "ResourceBrowser.h"

namespace TarvelHost {

PanelDropTarget::PanelDropTarget(EditorCore::GUI_Module* watchedModule, QObject* parent)
    : QObject(parent), module(watchedModule) {
  EditorCore::GUI_Wnd* panel = module ? module->GetModuleDialog() : nullptr;
  auto* widget = panel ? static_cast<QWidget*>(panel->GetSafeHwnd()) : nullptr;
  if (!widget) return;
  widget->setAcceptDrops(true);
  widget->installEventFilter(this);
}

bool PanelDropTarget::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
    return QObject::eventFilter(watched, event);
  }
  auto* drop = static_cast<QDropEvent*>(event);
  if (!drop->mimeData()->hasFormat(ResourceBrowser::kMimeType)) {
    drop->ignore();
    return true;
  }
  const QPoint at = drop->position().toPoint();
  const EditorCore::CPoint point(at.x(), at.y());
  if (!module->CanDnD(point)) {
    drop->ignore();
    return true;
  }
  drop->acceptProposedAction();
  if (type == QEvent::Drop) module->ProcessDnD(point);
  return true;
}

}  // namespace TarvelHost
