#include "ViewerModule.h"

#include "EditorCore/GUI_MainFrame.h"

namespace TarvelHost {

using namespace EditorCore;

ViewerModule::ViewerModule() = default;

ViewerModule::~ViewerModule() { DestroyModuleWindow(); }

bool ViewerModule::CreateModuleWindow() {
  if (view && view->IsWindow()) return true;
  GUI_Wnd* parent = GUI_MainFrame::GetMainWnd();
  if (!parent) return false;
  view = std::make_unique<ViewerWnd>();
  if (!view->CreateChild(parent, kModuleId, CRect(0, 0, 320, 240), WS_CHILD)) {
    view.reset();
    return false;
  }
  view->SetToolTip(
      "The scene's objects: click one to select it, drag to turn around them, Shift-drag or middle-drag to pan, "
      "wheel to zoom; A frames them all, F the selected ones");
  view->SetSelectionHandler(
      [this] { SendFrameworkMessageToAll(kMsgSceneSelection, reinterpret_cast<WPARAM>(scene), 0); });
  view->SetScene(scene);
  return true;
}

void ViewerModule::DestroyModuleWindow() { view.reset(); }

GUI_Wnd* ViewerModule::GetModuleDialog() { return view.get(); }

void ViewerModule::Redraw() {
  if (view) view->Invalidate(true);
}

void ViewerModule::Show(int show) {
  if (view) view->ShowWindow(show != 0);
}

void ViewerModule::SetWindowRect(CRect& rect) {
  if (!view) return;
  if (GUI_Wnd* parent = view->GetParent()) parent->ScreenToClient(rect);
  view->MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), true);
}

void ViewerModule::ShowScene(EngineCore::Scene* newScene) {
  scene = newScene;
  if (view) view->SetScene(scene);
}

LRESULT ViewerModule::OnFrameworkMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kMsgSceneOpened:
    case kMsgSceneChanged: ShowScene(reinterpret_cast<EngineCore::Scene*>(wParam)); return 0;
    case kMsgSceneSelection:
    case kMsgPickedSelection:
      // A selection message without a scene still means the selection changed.
      ShowScene(wParam ? reinterpret_cast<EngineCore::Scene*>(wParam) : scene);
      return 0;
    case kMsgRedraw:
      ++redrawRequests;
      // Posed objects are painted at the next turn of the event loop, once for every request
      // of this turn: a step that poses thirty objects asks thirty times.
      if (view) view->RequestRedraw();
      return 0;
    default: return GUI_Module::OnFrameworkMessage(message, wParam, lParam);
  }
}

}  // namespace TarvelHost
