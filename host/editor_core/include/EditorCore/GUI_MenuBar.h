#pragma once

#include <EditorCore/GUI_Wnd.h>

#include <functional>
#include <memory>

namespace EditorCore {

class GUI_Menu;

// The menu bar of a top-level window. It shows the host's own menu first and, after it,
// the menu a module installed with SetMenu. Chosen ids go to the command handler (by
// default the OnCommand of the window the bar belongs to). A menu destroyed while shown
// leaves the bar.
class GUI_MenuBar {
 public:
  using CommandHandler = std::function<void(UINT)>;

  GUI_MenuBar();
  ~GUI_MenuBar();
  GUI_MenuBar(const GUI_MenuBar&) = delete;
  GUI_MenuBar& operator=(const GUI_MenuBar&) = delete;

  // Puts the bar on the top-level window.
  bool Create(GUI_Wnd* window);
  void SetHostMenu(GUI_Menu* menu);
  GUI_Menu* GetHostMenu() const;
  // Installs a module's bar menu (its pop-ups follow the host's); null removes it.
  static bool SetMenu(GUI_MenuBar* bar, GUI_Menu* menu);
  GUI_Menu* GetInstalledMenu() const;
  void SetCommandHandler(CommandHandler handler);
  // Number of top-level entries shown (host and module).
  int GetEntryCount() const;
  void Rebuild();
  // Stretches the bar over the window's width; returns its height (0 without a bar).
  int Layout(int width);
  // A menu shown in the bar is going away: the bar stops showing it.
  void ForgetMenu(const GUI_Menu* menu);
  // A key with Ctrl (and Shift) held chooses the enabled item whose text names it after a tab
  // ("Save\tCtrl+S", "Save All\tCtrl+Shift+S"), in a pop-up that is enabled too, as a click
  // on it would; false when no item names it. Keys without Ctrl stay with the windows they
  // are typed in.
  bool TranslateAccelerator(UINT virtualKey, UINT keyFlags);

  struct Data;

 private:
  std::unique_ptr<Data> data;
};

}  // namespace EditorCore
