#pragma once

#include <QApplication>

namespace EditorCore::detail {

// The platform application: it offers key-down messages to the window chain's
// PreTranslateMessage before anything else sees them.
class HostApplication : public QApplication {
 public:
  HostApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace EditorCore::detail
