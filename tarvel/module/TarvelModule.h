#pragma once

#include <memory>

#include "EditorCore/GUI_Module.h"

namespace Tarvel {

class AnimClipDialog;
class GUI_ClipEditorFrame;

// The module object the host drives. It owns one window, the clip editor frame, and hands
// almost every host request to it. Every operation the host calls switches to the module's
// resource context first and restores the host's on return.
class TarvelModule : public EditorCore::GUI_Module {
 public:
  TarvelModule();
  ~TarvelModule() override;

  // Drag and drop: accepted when the first dragged item is a resource (data type 10).
  bool CanDnD(EditorCore::CPoint point) override;
  void ProcessDnD(EditorCore::CPoint point) override;

  bool CreateModuleWindow() override;
  void DestroyModuleWindow() override;
  EditorCore::UINT GetModuleID() override;
  const char* GetModuleName() override;
  EditorCore::GUI_Wnd* GetModuleDialog() override;
  EditorCore::GUI_Icon* GetModuleIcon() override;
  bool LoadMenuBar(EditorCore::GUI_MenuBar* menuBar, bool install) override;
  void OnMenuCommand(EditorCore::UINT commandId) override;
  void Redraw() override;
  void Show(int show) override;
  void SetWindowRect(EditorCore::CRect& rect) override;
  EditorCore::LRESULT OnFrameworkMessage(EditorCore::UINT message, EditorCore::WPARAM wParam,
                                         EditorCore::LPARAM lParam) override;

  // Null before CreateModuleWindow and after DestroyModuleWindow.
  GUI_ClipEditorFrame* GetFrame() const { return frame.get(); }

 private:
  void OnSceneMessage(EditorCore::WPARAM scene, bool refillObjects);
  // The page of the selected tab, or null.
  AnimClipDialog* GetCurrentPage() const;

  std::unique_ptr<GUI_ClipEditorFrame> frame;
};

}  // namespace Tarvel
