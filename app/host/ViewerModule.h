#pragma once

#include <memory>

#include "EditorCore/GUI_Module.h"
#include "EngineCore/Scene.h"
#include "ViewerWnd.h"

namespace TarvelHost {

// The host's 3-D viewer, module 0x10000000. It shows the scene named by framework messages:
//   2249, 2250 (a scene opened or changed) and 2225, 2326 (the selection of that scene
//   changed) make it show and redraw that scene; 2324 redraws it (objects were posed), in
//   one paint at the next turn of the event loop for all the requests of this one.
// A click in the view selects the picked object in the scene's edition manager and tells
// every module with 2225.
class ViewerModule : public EditorCore::GUI_Module {
 public:
  static constexpr EditorCore::UINT kModuleId = 0x10000000u;
  static constexpr EditorCore::UINT kMsgSceneSelection = 2225;
  static constexpr EditorCore::UINT kMsgSceneOpened = 2249;
  static constexpr EditorCore::UINT kMsgSceneChanged = 2250;
  static constexpr EditorCore::UINT kMsgRedraw = 2324;
  static constexpr EditorCore::UINT kMsgPickedSelection = 2326;

  ViewerModule();
  ~ViewerModule() override;

  bool CreateModuleWindow() override;
  void DestroyModuleWindow() override;
  EditorCore::UINT GetModuleID() override { return kModuleId; }
  const char* GetModuleName() override { return "Viewer"; }
  EditorCore::GUI_Wnd* GetModuleDialog() override;
  bool LoadMenuBar(EditorCore::GUI_MenuBar*, bool) override { return true; }
  void Redraw() override;
  void Show(int show) override;
  void SetWindowRect(EditorCore::CRect& rect) override;
  EditorCore::LRESULT OnFrameworkMessage(EditorCore::UINT message, EditorCore::WPARAM wParam,
                                         EditorCore::LPARAM lParam) override;

  EngineCore::Scene* GetScene() const { return scene; }
  ViewerWnd* GetView() const { return view.get(); }
  // How many redraw requests (2324) arrived.
  int GetRedrawRequestCount() const { return redrawRequests; }

 private:
  void ShowScene(EngineCore::Scene* newScene);

  std::unique_ptr<ViewerWnd> view;
  EngineCore::Scene* scene = nullptr;
  int redrawRequests = 0;
};

}  // namespace TarvelHost
