#include <EditorCore/GUI_Module.h>

#include <EditorCore/GUI_MainFrame.h>

namespace EditorCore {

GUI_Module::~GUI_Module() = default;

GUI_Wnd* GUI_Module::GetWnd() { return GetModuleDialog(); }

LRESULT GUI_Module::OnFrameworkMessage(UINT, WPARAM, LPARAM) { return 0; }

void GUI_Module::SendFrameworkMessageToAll(UINT message, WPARAM wParam, LPARAM lParam) {
  if (GUI_MainFrame* frame = GUI_MainFrame::GetMainFrame()) {
    frame->GetModuleManager()->SendFrameworkMessageToAll(message, wParam, lParam);
  }
}

GUI_Module* GUI_Module::GetModuleWithID(UINT id) {
  GUI_MainFrame* frame = GUI_MainFrame::GetMainFrame();
  return frame ? frame->GetModuleManager()->GetModuleWithID(id) : nullptr;
}

}  // namespace EditorCore
