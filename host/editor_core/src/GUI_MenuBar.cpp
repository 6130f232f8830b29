#include <EditorCore/GUI_MenuBar.h>

#include <EditorCore/GUI_Menu.h>

#include "Handles.h"
#include "MenuBuild.h"
#include "QtConvert.h"
#include "WndState.h"

#include <QMenuBar>

#include <cctype>
#include <set>
#include <string>

namespace EditorCore {

struct GUI_MenuBar::Data {
  QPointer<QMenuBar> bar;
  GUI_Menu* host = nullptr;
  GUI_Menu* installed = nullptr;
  GUI_Wnd* window = nullptr;
  CommandHandler handler;
  // A chosen item's id goes to the handler, else to the window's OnCommand.
  void Dispatch(UINT id) const {
    if (handler) {
      handler(id);
    } else if (window) {
      window->SendCommand(id);
    }
  }
};

namespace {
std::set<GUI_MenuBar*>& Bars() {
  static std::set<GUI_MenuBar*> bars;
  return bars;
}
}  // namespace

void detail::DetachMenuFromBars(const GUI_Menu* menu) {
  for (GUI_MenuBar* bar : Bars()) bar->ForgetMenu(menu);
}

GUI_MenuBar::GUI_MenuBar() : data(std::make_unique<Data>()) { Bars().insert(this); }

GUI_MenuBar::~GUI_MenuBar() {
  Bars().erase(this);
  if (data->bar) delete data->bar.data();
}

void GUI_MenuBar::ForgetMenu(const GUI_Menu* menu) {
  bool changed = false;
  if (data->host == menu) {
    data->host = nullptr;
    changed = true;
  }
  if (data->installed == menu) {
    data->installed = nullptr;
    changed = true;
  }
  if (changed) Rebuild();
}

bool GUI_MenuBar::Create(GUI_Wnd* window) {
  QWidget* widget = detail::WidgetOf(window);
  if (!widget || data->bar) return false;
  data->window = window;
  auto* bar = new QMenuBar(widget);
  bar->setNativeMenuBar(false);
  bar->setGeometry(0, 0, widget->width(), bar->sizeHint().height());
  bar->show();
  data->bar = bar;
  Data* d = data.get();
  QObject::connect(bar, &QMenuBar::triggered, bar, [d](QAction* action) {
    const UINT id = action->data().toUInt();
    if (id != 0) d->Dispatch(id);
  });
  return true;
}

void GUI_MenuBar::SetHostMenu(GUI_Menu* menu) {
  data->host = menu;
  Rebuild();
}

bool GUI_MenuBar::SetMenu(GUI_MenuBar* bar, GUI_Menu* menu) {
  if (!bar) return false;
  bar->data->installed = menu;
  bar->Rebuild();
  return true;
}

GUI_Menu* GUI_MenuBar::GetInstalledMenu() const { return data->installed; }

GUI_Menu* GUI_MenuBar::GetHostMenu() const { return data->host; }

void GUI_MenuBar::SetCommandHandler(CommandHandler handler) { data->handler = std::move(handler); }

int GUI_MenuBar::Layout(int width) {
  if (!data->bar) return 0;
  const int height = data->bar->sizeHint().height();
  data->bar->setGeometry(0, 0, width, height);
  return height;
}

int GUI_MenuBar::GetEntryCount() const { return data->bar ? static_cast<int>(data->bar->actions().size()) : 0; }

void GUI_MenuBar::Rebuild() {
  QMenuBar* bar = data->bar;
  if (!bar) return;
  bar->clear();
  for (GUI_Menu* menu : {data->host, data->installed}) {
    if (!menu || !menu->GetData()) continue;
    for (GUI_Menu::Data::Item& item : menu->GetData()->items) {
      item.views.clear();
      if ((item.flags & MF_SEPARATOR) || (item.sub && !detail::IsLiveMenu(item.sub))) continue;
      QAction* action = nullptr;
      if (item.sub) {
        QMenu* popup = bar->addMenu(detail::ToQString(item.text));
        const GUI_Menu* sub = item.sub;
        QObject::connect(popup, &QMenu::aboutToShow, popup, [sub, popup] {
          if (detail::IsLiveMenu(sub)) detail::BuildQMenu(*sub, *popup);
        });
        detail::BuildQMenu(*sub, *popup);
        action = popup->menuAction();
      } else {
        action = bar->addAction(detail::ToQString(item.text));
        action->setData(QVariant::fromValue<uint>(item.id));
      }
      if (item.icon) action->setIcon(QIcon(item.icon->pixmap));
      detail::ApplyItemState(item, *action);
      item.views.push_back(action);
    }
  }
}

namespace {

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The enabled item of an enabled menu whose text names the accelerator after its tab.
UINT FindAccelerator(const GUI_Menu& menu, const std::string& accelerator) {
  if (!menu.GetData()) return 0;
  for (const GUI_Menu::Data::Item& item : menu.GetData()->items) {
    if ((item.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)) != 0) continue;
    if (item.sub) {
      if (!detail::IsLiveMenu(item.sub)) continue;
      if (const UINT id = FindAccelerator(*item.sub, accelerator)) return id;
      continue;
    }
    const std::size_t tab = item.text.find('\t');
    if (tab != std::string::npos && Lowered(item.text.substr(tab + 1)) == accelerator) return item.id;
  }
  return 0;
}

}  // namespace

bool GUI_MenuBar::TranslateAccelerator(UINT virtualKey, UINT keyFlags) {
  if (!(keyFlags & MK_CONTROL)) return false;
  std::string key;
  if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) {
    key = std::string(1, static_cast<char>(virtualKey));
  } else if (virtualKey >= VK_F1 && virtualKey <= VK_F1 + 11) {
    key = "F" + std::to_string(virtualKey - VK_F1 + 1);
  } else {
    return false;
  }
  const std::string accelerator = Lowered(std::string("Ctrl+") + ((keyFlags & MK_SHIFT) ? "Shift+" : "") + key);
  for (const GUI_Menu* menu : {data->host, data->installed}) {
    const UINT id = menu ? FindAccelerator(*menu, accelerator) : 0;
    if (id == 0) continue;
    data->Dispatch(id);
    return true;
  }
  return false;
}

}  // namespace EditorCore
