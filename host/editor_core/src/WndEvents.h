#pragma once

#include <QObject>

namespace EditorCore::detail {

// Translates the events of one window's widget into the window object's handlers.
class WndEvents : public QObject {
 public:
  explicit WndEvents(QObject* parent) : QObject(parent) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace EditorCore::detail
