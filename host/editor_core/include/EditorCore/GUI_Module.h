#pragma once

#include <EditorCore/GUI_DnDWnd.h>
#include <EditorCore/Geometry.h>
#include <EditorCore/WinTypes.h>

namespace EditorCore {

class GUI_MenuBar;
class GUI_Wnd;

// The face of an editor module to the host. The virtual operations are declared in the
// order of the host's slot table (the four of GUI_DnDWnd first). Base behaviours: no drag
// and drop (CanDnD false), GetWnd returns GetModuleDialog(), no help URL (empty text),
// no tool bar (LoadToolBar false), OnFrameworkMessage returns 0; the others do nothing and
// return false, 0 or null.
class GUI_Module : public GUI_DnDWnd {
 public:
  GUI_Module() = default;
  ~GUI_Module() override;

  GUI_Wnd* GetWnd() override;
  virtual bool CreateModuleWindow() { return false; }
  virtual void DestroyModuleWindow() {}
  virtual UINT GetModuleID() { return 0; }
  virtual const char* GetModuleName() { return ""; }
  virtual GUI_Wnd* GetModuleDialog() { return nullptr; }
  virtual GUI_Icon* GetModuleIcon() { return nullptr; }
  virtual const char* GetHelpURL() { return ""; }
  virtual bool LoadMenuBar(GUI_MenuBar*, bool) { return false; }
  virtual bool LoadToolBar(GUI_ToolBar*, bool) { return false; }
  virtual void OnMenuCommand(UINT) {}
  virtual void Redraw() {}
  virtual void Show(int) {}
  virtual void SetWindowRect(CRect&) {}
  virtual LRESULT OnFrameworkMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Through the main frame's module manager; nothing (null) without a main frame.
  void SendFrameworkMessageToAll(UINT message, WPARAM wParam, LPARAM lParam);
  GUI_Module* GetModuleWithID(UINT id);
};

}  // namespace EditorCore
