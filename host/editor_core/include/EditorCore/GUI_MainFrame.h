#pragma once

#include <EditorCore/GUI_DnDManager.h>
#include <EditorCore/GUI_LanguageManager.h>
#include <EditorCore/GUI_ModuleManager.h>
#include <EditorCore/GUI_Wnd.h>

#include <memory>
#include <string>

namespace EditorCore {

class GUI_MenuBar;

// The host's main window and its services. One frame per process: constructing it makes it
// the frame GetMainFrame returns, destroying it clears that. The window itself is made by
// Create; the services exist from construction.
class GUI_MainFrame : public GUI_Wnd {
 public:
  GUI_MainFrame();
  ~GUI_MainFrame() override;

  static GUI_MainFrame* GetMainFrame();
  // The main window when it exists, else null.
  static GUI_Wnd* GetMainWnd();

  bool Create(const std::string& title, const CRect& rect);
  GUI_MenuBar* GetMenuBar() const { return menuBar.get(); }
  GUI_DnDManager* GetDnDManager() { return &dndManager; }
  GUI_ModuleManager* GetModuleManager() { return &moduleManager; }
  GUI_LanguageManager* GetLanguageManager() { return &languageManager; }
  // Shows or hides a small "Please wait..." window over the main window; calls nest.
  void ShowPleaseWaitDialog(bool show);
  bool IsPleaseWaitShown() const;
  // The client area below the menu bar, where the host lays out its panels.
  void GetPanelRect(CRect& rect) const;

  void OnSize(UINT type, int cx, int cy) override;
  // Keys with Ctrl that no window within took go to the menu bar's items that name them
  // (GUI_MenuBar::TranslateAccelerator), wherever the focus is, but in a text box, whose
  // Ctrl keys (copy, paste, select all) stay its own.
  bool PreTranslateMessage(const GUI_Msg& msg) override;

 private:
  GUI_DnDManager dndManager;
  GUI_ModuleManager moduleManager;
  GUI_LanguageManager languageManager;
  std::unique_ptr<GUI_MenuBar> menuBar;
  std::unique_ptr<GUI_Wnd> pleaseWait;
  int pleaseWaitDepth = 0;
};

}  // namespace EditorCore
