#pragma once

#include <QObject>

#include <functional>
#include <string>

class QWidget;

namespace TarvelHost {

// Lets the window take a file dropped from the desktop or a file manager: a drag of one local
// file or folder is accepted anywhere in the window that does not take it itself, and its
// drop hands the path to the handler (the host opens a clip file or a project folder).
class FileDropTarget : public QObject {
 public:
  using Handler = std::function<void(const std::string& path)>;

  FileDropTarget(QWidget* window, Handler handler);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Handler handler;
};

}  // namespace TarvelHost
