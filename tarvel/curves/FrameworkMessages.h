#pragma once

#include "EditorCore/WinTypes.h"

namespace EditorCore {
class GUI_Module;
}

namespace Tarvel {

// The host's broadcast channel between modules, as the module uses it. Without a host main
// frame (the window-free classes in their own tests) nothing is sent and no module is found.
class FrameworkMessages {
 public:
  // To every module of the host, this one included.
  static void Broadcast(EditorCore::UINT message, EditorCore::WPARAM wParam, EditorCore::LPARAM lParam);
  // The host's module of that id, or null.
  static EditorCore::GUI_Module* FindModule(EditorCore::UINT moduleId);
  // To one module; false when there is none.
  static bool SendTo(EditorCore::GUI_Module* module, EditorCore::UINT message, EditorCore::WPARAM wParam,
                     EditorCore::LPARAM lParam);
};

}  // namespace Tarvel
