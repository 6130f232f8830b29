#include <EditorCore/GUI_ModuleManager.h>

#include <EditorCore/GUI_Module.h>

#include <algorithm>

namespace EditorCore {

bool GUI_ModuleManager::RegisterModule(GUI_Module* module) {
  if (!module || std::find(modules.begin(), modules.end(), module) != modules.end()) return false;
  modules.push_back(module);
  return true;
}

bool GUI_ModuleManager::UnregisterModule(GUI_Module* module) {
  const auto it = std::find(modules.begin(), modules.end(), module);
  if (it == modules.end()) return false;
  modules.erase(it);
  return true;
}

GUI_Module* GUI_ModuleManager::GetModuleAt(int index) const {
  return index >= 0 && index < GetModuleCount() ? modules[index] : nullptr;
}

GUI_Module* GUI_ModuleManager::GetModuleWithID(UINT id) const {
  for (GUI_Module* m : modules) {
    if (m->GetModuleID() == id) return m;
  }
  return nullptr;
}

LRESULT GUI_ModuleManager::SendFrameworkMessage(GUI_Module* module, UINT message, WPARAM wParam, LPARAM lParam) {
  return module ? module->OnFrameworkMessage(message, wParam, lParam) : 0;
}

void GUI_ModuleManager::SendFrameworkMessageToAll(UINT message, WPARAM wParam, LPARAM lParam) {
  // A copy: handlers may register or unregister modules while the message goes round.
  const std::vector<GUI_Module*> snapshot = modules;
  for (GUI_Module* m : snapshot) {
    if (std::find(modules.begin(), modules.end(), m) != modules.end()) m->OnFrameworkMessage(message, wParam, lParam);
  }
}

}  // namespace EditorCore
