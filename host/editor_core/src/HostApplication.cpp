#include "HostApplication.h"

#include "WndState.h"

#include <QKeyEvent>

namespace EditorCore::detail {

HostApplication::HostApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool HostApplication::notify(QObject* receiver, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (PreTranslateKey(receiver, key->key(), key->isAutoRepeat(), key->modifiers())) {
      event->accept();
      return true;
    }
  }
  return QApplication::notify(receiver, event);
}

}  // namespace EditorCore::detail
