#pragma once

#include <EditorCore/GUI_Menu.h>

#include <QAction>
#include <QMenu>
#include <QPointer>

#include <string>
#include <vector>

namespace EditorCore {

struct GUI_Menu::Data {
  struct Item {
    UINT id = 0;
    std::string text;
    GUI_Icon* icon = nullptr;
    GUI_Menu* sub = nullptr;
    UINT flags = 0;
    std::string toolTip;
    std::vector<QPointer<QAction>> views;  // actions showing the item in a menu bar
  };
  bool created = false;
  bool popup = false;
  std::vector<Item> items;
};

namespace detail {
// Fills a platform menu from a menu's items; sub-menus rebuild themselves each time they open.
void BuildQMenu(const GUI_Menu& menu, QMenu& target);
// Menus alive now: platform menus built from a menu stop following it once it is gone.
bool IsLiveMenu(const GUI_Menu* menu);
// Called as a menu goes: bars showing it drop it.
void DetachMenuFromBars(const GUI_Menu* menu);
// The platform action of one item, its text, tooltip and state applied.
void ApplyItemState(const GUI_Menu::Data::Item& item, QAction& action);
}  // namespace detail

}  // namespace EditorCore
