#pragma once

#include <QObject>

#include "EditorCore/GUI_Module.h"

namespace TarvelHost {

// Lets a module's panel take drops from the resource browser: while a drag of ours is over
// the panel the module's CanDnD decides, and a drop goes to its ProcessDnD, with the point
// in the panel's client coordinates.
class PanelDropTarget : public QObject {
 public:
  // Watches the module's current window; does nothing when it has none.
  PanelDropTarget(EditorCore::GUI_Module* module, QObject* parent = nullptr);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  EditorCore::GUI_Module* module;
};

}  // namespace TarvelHost
