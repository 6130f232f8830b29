#pragma once

#include <EditorCore/GUI_Wnd.h>

#include <functional>
#include <memory>
#include <string>

namespace EditorCore {

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_RADIOCHECK = 0x0200;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_RETURNCMD = 0x0100;

// A menu bar or pop-up menu: items with ids, texts, icons and states. Contract:
// 1. A "\t" in a text separates the label from the shortcut shown at the right.
// 2. Sub-menus are not owned: they must outlive the menu they are appended to.
// 3. By-command look-ups (MF_BYCOMMAND) search sub-menus too, the first match wins;
//    by-position ones (MF_BYPOSITION) address this menu's own items.
// 4. EnableMenuItem and CheckMenuItem return the previous flags, or 0xFFFFFFFF when the
//    item does not exist. Changes show at once in a menu bar the menu is installed in.
// 5. TrackPopupMenu shows the menu at a screen point and returns when it closes. The chosen
//    id goes to the owner's OnCommand, or is returned with TPM_RETURNCMD (0: nothing
//    chosen). With a popup responder installed nothing is shown: the responder's answer is
//    used as the choice (tests and scripted runs).
class GUI_Menu {
 public:
  using PopupResponder = std::function<UINT(const GUI_Menu&)>;

  GUI_Menu();
  ~GUI_Menu();
  GUI_Menu(const GUI_Menu&) = delete;
  GUI_Menu& operator=(const GUI_Menu&) = delete;

  bool CreateMenu();
  bool CreatePopupMenu();
  void DestroyMenu();
  bool IsMenu() const;
  bool IsPopup() const;

  bool AppendMenu(UINT flags, UINT id = 0, const std::string& text = {}, GUI_Icon* icon = nullptr);
  bool AppendMenu(UINT flags, GUI_Menu* subMenu, const std::string& text, GUI_Icon* icon = nullptr);
  bool AppendMenuA(UINT flags, UINT id = 0, const std::string& text = {}, GUI_Icon* icon = nullptr) {
    return AppendMenu(flags, id, text, icon);
  }
  bool AppendMenuA(UINT flags, GUI_Menu* subMenu, const std::string& text, GUI_Icon* icon = nullptr) {
    return AppendMenu(flags, subMenu, text, icon);
  }
  bool AppendSeparator() { return AppendMenu(MF_SEPARATOR); }

  UINT EnableMenuItem(UINT idOrPosition, UINT flags);
  UINT CheckMenuItem(UINT idOrPosition, UINT flags);
  // Checks `check` with a radio mark and clears the other ids of [first, last].
  bool CheckMenuRadioItem(UINT first, UINT last, UINT check, UINT flags);
  UINT GetMenuState(UINT idOrPosition, UINT flags) const;
  int GetMenuItemCount() const;
  // 0 for separators, 0xFFFFFFFF for sub-menus and missing positions.
  UINT GetMenuItemID(int position) const;
  GUI_Menu* GetSubMenu(int position) const;
  std::string GetMenuString(UINT idOrPosition, UINT flags) const;
  GUI_Icon* GetMenuIcon(UINT idOrPosition, UINT flags) const;
  // The text shown when the pointer rests on an item (found by command, in sub-menus too);
  // false for an id no item has.
  bool SetMenuItemToolTip(UINT id, const std::string& text);
  // A new text for an item found by command, in sub-menus too; false for an id no item has.
  bool SetMenuItemText(UINT id, const std::string& text);
  std::string GetMenuItemToolTip(UINT id) const;

  UINT TrackPopupMenu(UINT flags, int x, int y, GUI_Wnd* owner, const CRect* rect = nullptr);
  static void SetPopupResponder(PopupResponder responder);

  struct Data;
  Data* GetData() const { return data.get(); }

 private:
  std::unique_ptr<Data> data;
};

}  // namespace EditorCore
