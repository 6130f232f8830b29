#pragma once

#include <EditorCore/WinTypes.h>

#include <vector>

namespace EditorCore {

class GUI_Module;

// The modules the host knows, in registration order. Modules are not owned.
class GUI_ModuleManager {
 public:
  // False for a null module or one registered already.
  bool RegisterModule(GUI_Module* module);
  bool UnregisterModule(GUI_Module* module);
  int GetModuleCount() const { return static_cast<int>(modules.size()); }
  GUI_Module* GetModuleAt(int index) const;
  GUI_Module* GetModuleWithID(UINT id) const;
  // The module's OnFrameworkMessage result; 0 for a null module.
  LRESULT SendFrameworkMessage(GUI_Module* module, UINT message, WPARAM wParam, LPARAM lParam);
  // Every registered module in order, the sender included. A module unregistered by a
  // handler is not called afterwards.
  void SendFrameworkMessageToAll(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  std::vector<GUI_Module*> modules;
};

}  // namespace EditorCore
