#include "curves/FrameworkMessages.h"

#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_ModuleManager.h"

namespace Tarvel {

namespace {

EditorCore::GUI_ModuleManager* Modules() {
  EditorCore::GUI_MainFrame* frame = EditorCore::GUI_MainFrame::GetMainFrame();
  return frame ? frame->GetModuleManager() : nullptr;
}

}  // namespace

void FrameworkMessages::Broadcast(EditorCore::UINT message, EditorCore::WPARAM wParam, EditorCore::LPARAM lParam) {
  if (EditorCore::GUI_ModuleManager* modules = Modules()) modules->SendFrameworkMessageToAll(message, wParam, lParam);
}

EditorCore::GUI_Module* FrameworkMessages::FindModule(EditorCore::UINT moduleId) {
  EditorCore::GUI_ModuleManager* modules = Modules();
  return modules ? modules->GetModuleWithID(moduleId) : nullptr;
}

bool FrameworkMessages::SendTo(EditorCore::GUI_Module* module, EditorCore::UINT message, EditorCore::WPARAM wParam,
                               EditorCore::LPARAM lParam) {
  EditorCore::GUI_ModuleManager* modules = Modules();
  if (!modules || !module) return false;
  modules->SendFrameworkMessage(module, message, wParam, lParam);
  return true;
}

}  // namespace Tarvel
