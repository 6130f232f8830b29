#include "FileDropTarget.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace TarvelHost {

namespace {

// The one local file a drag carries; empty for anything else.
QString DraggedPath(const QMimeData& data) {
  const QList<QUrl> urls = data.urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  return urls.front().toLocalFile();
}

}  // namespace

FileDropTarget::FileDropTarget(QWidget* window, Handler droppedHandler)
    : QObject(window), handler(std::move(droppedHandler)) {
  window->setAcceptDrops(true);
  window->installEventFilter(this);
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
    return QObject::eventFilter(watched, event);
  }
  auto* drop = static_cast<QDropEvent*>(event);
  const QString path = DraggedPath(*drop->mimeData());
  if (path.isEmpty()) {
    drop->ignore();
    return true;
  }
  drop->acceptProposedAction();
  // The drag's source waits for the drop to return: the host opens the file after it.
  if (type == QEvent::Drop) {
    QMetaObject::invokeMethod(
        this, [this, file = path.toStdString()] { handler(file); }, Qt::QueuedConnection);
  }
  return true;
}

}  // namespace TarvelHost
