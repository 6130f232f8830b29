#include <EditorCore/GUI_Menu.h>

#include "Handles.h"
#include "MenuBuild.h"
#include "QtConvert.h"

#include <QMenu>

#include <set>

namespace EditorCore {

namespace {
GUI_Menu::PopupResponder& Responder() {
  static GUI_Menu::PopupResponder responder;
  return responder;
}

using Item = GUI_Menu::Data::Item;

Item* FindItem(GUI_Menu::Data& data, UINT idOrPosition, UINT flags) {
  if (flags & MF_BYPOSITION) {
    return idOrPosition < data.items.size() ? &data.items[idOrPosition] : nullptr;
  }
  for (Item& item : data.items) {
    if (item.sub) {
      if (detail::IsLiveMenu(item.sub) && item.sub->GetData()) {
        if (Item* found = FindItem(*item.sub->GetData(), idOrPosition, flags)) return found;
      }
    } else if (!(item.flags & MF_SEPARATOR) && item.id == idOrPosition) {
      return &item;
    }
  }
  return nullptr;
}

void Refresh(Item& item) {
  for (const QPointer<QAction>& view : item.views) {
    if (view) detail::ApplyItemState(item, *view);
  }
}
}  // namespace

namespace detail {

namespace {
std::set<const GUI_Menu*>& LiveMenus() {
  static std::set<const GUI_Menu*> menus;
  return menus;
}
}  // namespace

bool IsLiveMenu(const GUI_Menu* menu) { return LiveMenus().count(menu) != 0; }

void ApplyItemState(const Item& item, QAction& action) {
  action.setText(ToQString(item.text));
  action.setToolTip(ToQString(item.toolTip));
  action.setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
  action.setCheckable((item.flags & MF_CHECKED) != 0);
  action.setChecked((item.flags & MF_CHECKED) != 0);
}

void BuildQMenu(const GUI_Menu& menu, QMenu& target) {
  target.clear();
  if (!menu.GetData()) return;
  for (const Item& item : menu.GetData()->items) {
    if (item.flags & MF_SEPARATOR) {
      target.addSeparator();
      continue;
    }
    QAction* action = nullptr;
    if (item.sub && !IsLiveMenu(item.sub)) continue;
    if (item.sub) {
      QMenu* sub = target.addMenu(ToQString(item.text));
      const GUI_Menu* subMenu = item.sub;
      QObject::connect(sub, &QMenu::aboutToShow, sub, [subMenu, sub] {
        if (IsLiveMenu(subMenu)) BuildQMenu(*subMenu, *sub);
      });
      BuildQMenu(*subMenu, *sub);
      action = sub->menuAction();
    } else {
      action = target.addAction(ToQString(item.text));
      action->setData(QVariant::fromValue<uint>(item.id));
    }
    if (item.icon) action->setIcon(QIcon(item.icon->pixmap));
    if (!item.toolTip.empty()) target.setToolTipsVisible(true);
    ApplyItemState(item, *action);
  }
}

}  // namespace detail

GUI_Menu::GUI_Menu() : data(std::make_unique<Data>()) { detail::LiveMenus().insert(this); }

GUI_Menu::~GUI_Menu() {
  detail::LiveMenus().erase(this);
  detail::DetachMenuFromBars(this);
}

bool GUI_Menu::CreateMenu() {
  if (data->created) return false;
  data->created = true;
  data->popup = false;
  return true;
}

bool GUI_Menu::CreatePopupMenu() {
  if (data->created) return false;
  data->created = true;
  data->popup = true;
  return true;
}

void GUI_Menu::DestroyMenu() { data = std::make_unique<Data>(); }
bool GUI_Menu::IsMenu() const { return data->created; }
bool GUI_Menu::IsPopup() const { return data->popup; }

bool GUI_Menu::AppendMenu(UINT flags, UINT id, const std::string& text, GUI_Icon* icon) {
  if (!data->created) return false;
  Item item;
  item.id = (flags & MF_SEPARATOR) ? 0 : id;
  item.text = text;
  item.icon = icon;
  item.flags = flags & ~MF_POPUP;
  data->items.push_back(std::move(item));
  return true;
}

bool GUI_Menu::AppendMenu(UINT flags, GUI_Menu* subMenu, const std::string& text, GUI_Icon* icon) {
  if (!data->created || !subMenu || subMenu == this) return false;
  Item item;
  item.text = text;
  item.icon = icon;
  item.sub = subMenu;
  item.flags = (flags | MF_POPUP) & ~MF_SEPARATOR;
  data->items.push_back(std::move(item));
  return true;
}

UINT GUI_Menu::EnableMenuItem(UINT idOrPosition, UINT flags) {
  Item* item = FindItem(*data, idOrPosition, flags);
  if (!item) return 0xFFFFFFFFu;
  const UINT previous = item->flags & (MF_GRAYED | MF_DISABLED);
  item->flags = (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  Refresh(*item);
  return previous;
}

bool GUI_Menu::SetMenuItemToolTip(UINT id, const std::string& text) {
  Item* item = FindItem(*data, id, MF_BYCOMMAND);
  if (!item) return false;
  item->toolTip = text;
  Refresh(*item);
  return true;
}

bool GUI_Menu::SetMenuItemText(UINT id, const std::string& text) {
  Item* item = FindItem(*data, id, MF_BYCOMMAND);
  if (!item) return false;
  item->text = text;
  Refresh(*item);
  return true;
}

std::string GUI_Menu::GetMenuItemToolTip(UINT id) const {
  const Item* item = FindItem(*data, id, MF_BYCOMMAND);
  return item ? item->toolTip : std::string();
}

UINT GUI_Menu::CheckMenuItem(UINT idOrPosition, UINT flags) {
  Item* item = FindItem(*data, idOrPosition, flags);
  if (!item) return 0xFFFFFFFFu;
  const UINT previous = item->flags & MF_CHECKED;
  item->flags = (item->flags & ~(MF_CHECKED | MF_RADIOCHECK)) | (flags & MF_CHECKED);
  Refresh(*item);
  return previous;
}

bool GUI_Menu::CheckMenuRadioItem(UINT first, UINT last, UINT check, UINT flags) {
  bool found = false;
  if (flags & MF_BYPOSITION) {
    for (UINT pos = first; pos <= last && pos < data->items.size(); ++pos) {
      Item& item = data->items[pos];
      item.flags &= ~(MF_CHECKED | MF_RADIOCHECK);
      if (pos == check) {
        item.flags |= MF_CHECKED | MF_RADIOCHECK;
        found = true;
      }
      Refresh(item);
    }
    return found;
  }
  for (UINT id = first; id <= last; ++id) {
    Item* item = FindItem(*data, id, MF_BYCOMMAND);
    if (!item) continue;
    item->flags &= ~(MF_CHECKED | MF_RADIOCHECK);
    if (id == check) {
      item->flags |= MF_CHECKED | MF_RADIOCHECK;
      found = true;
    }
    Refresh(*item);
  }
  return found;
}

UINT GUI_Menu::GetMenuState(UINT idOrPosition, UINT flags) const {
  Item* item = FindItem(*data, idOrPosition, flags);
  return item ? item->flags : 0xFFFFFFFFu;
}

int GUI_Menu::GetMenuItemCount() const { return data->created ? static_cast<int>(data->items.size()) : -1; }

UINT GUI_Menu::GetMenuItemID(int position) const {
  if (position < 0 || position >= static_cast<int>(data->items.size())) return 0xFFFFFFFFu;
  const Item& item = data->items[position];
  return item.sub ? 0xFFFFFFFFu : item.id;
}

GUI_Menu* GUI_Menu::GetSubMenu(int position) const {
  if (position < 0 || position >= static_cast<int>(data->items.size())) return nullptr;
  return data->items[position].sub;
}

std::string GUI_Menu::GetMenuString(UINT idOrPosition, UINT flags) const {
  Item* item = FindItem(*data, idOrPosition, flags);
  return item ? item->text : std::string();
}

GUI_Icon* GUI_Menu::GetMenuIcon(UINT idOrPosition, UINT flags) const {
  Item* item = FindItem(*data, idOrPosition, flags);
  return item ? item->icon : nullptr;
}

UINT GUI_Menu::TrackPopupMenu(UINT flags, int x, int y, GUI_Wnd* owner, const CRect*) {
  if (!data->created) return 0;
  UINT chosen = 0;
  if (Responder()) {
    chosen = Responder()(*this);
    // An answer must name an enabled command of the menu, as a click could.
    const Item* item = chosen ? FindItem(*data, chosen, MF_BYCOMMAND) : nullptr;
    if (!item || (item->flags & (MF_GRAYED | MF_DISABLED))) chosen = 0;
  } else {
    QMenu menu;
    detail::BuildQMenu(*this, menu);
    if (QAction* action = menu.exec(QPoint(x, y))) chosen = action->data().toUInt();
  }
  if (flags & TPM_RETURNCMD) return chosen;
  if (chosen && owner) owner->SendCommand(chosen);
  return chosen != 0 ? 1u : 0u;
}

void GUI_Menu::SetPopupResponder(PopupResponder responder) { Responder() = std::move(responder); }

}  // namespace EditorCore
