#include "module/GUI_KeyboardShortcutsDialog.h"

#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorCore/GUI_MenuBar.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "resources/KeyBindings.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleResources.h"
#include "resources/ModuleText.h"

namespace Tarvel {

using namespace EditorCore;

namespace {

constexpr const char* kSection = "Tarvel_Help";

// The items of a menu and its sub-menus that show a key, as "File > Quit".
void AddMenuKeys(const GUI_Menu& menu, const std::string& path, std::vector<GUI_KeyboardShortcutsDialog::Row>& rows) {
  for (int position = 0; position < menu.GetMenuItemCount(); ++position) {
    const std::string text = menu.GetMenuString(static_cast<UINT>(position), MF_BYPOSITION);
    const std::string name = path.empty() ? text : path + " > " + text.substr(0, text.find('\t'));
    if (const GUI_Menu* sub = menu.GetSubMenu(position)) {
      AddMenuKeys(*sub, name, rows);
      continue;
    }
    const std::size_t tab = text.find('\t');
    if (tab != std::string::npos && tab + 1 < text.size()) rows.push_back({text.substr(tab + 1), name});
  }
}

}  // namespace

GUI_KeyboardShortcutsDialog::GUI_KeyboardShortcutsDialog(GUI_Wnd* parent)
    : GUI_Dialog(Ids::kTplKeyboardShortcuts, parent) {}

GUI_KeyboardShortcutsDialog::~GUI_KeyboardShortcutsDialog() = default;

int GUI_KeyboardShortcutsDialog::DoModal() {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::DoModal();
}

std::vector<GUI_KeyboardShortcutsDialog::Row> GUI_KeyboardShortcutsDialog::Rows() {
  std::vector<Row> rows;
  for (const KeyBinding& binding : KeyBindings::All()) {
    rows.push_back({binding.keys, ModuleText::Translate(binding.what, kSection)});
  }
  const GUI_MainFrame* frame = GUI_MainFrame::GetMainFrame();
  const GUI_Menu* host = frame && frame->GetMenuBar() ? frame->GetMenuBar()->GetHostMenu() : nullptr;
  if (host) AddMenuKeys(*host, {}, rows);
  return rows;
}

bool GUI_KeyboardShortcutsDialog::OnInitDialog() {
  GUI_Dialog::OnInitDialog();
  SetWindowText(ModuleText::Translate("Keyboard Shortcuts", kSection));
  SetDlgItemText(IDOK, ModuleText::Translate("Close", kSection));
  CRect client;
  GetClientRect(client);
  list = std::make_unique<GUI_ListCtrl>();
  // The list fills the dialog above its button.
  const CRect area(8, 8, client.Width() - 8, client.Height() - 44);
  // Unsorted: the rows keep the table's order.
  if (!list->Create(this, Ids::kListStyle & ~LVS_SORTASCENDING, area, Ids::kCtlShortcutList)) return true;
  const int keysWidth = 120;
  list->InsertColumn(0, ModuleText::Translate("Keys", kSection), keysWidth);
  list->InsertColumn(1, ModuleText::Translate("What they do", kSection),
                     area.Width() - keysWidth - GUI_ListCtrl::ScrollBarWidth);
  for (const Row& row : Rows()) {
    const int item = list->InsertItem(list->GetItemCount(), row.keys);
    if (item >= 0) list->SetItemText(item, 1, row.what);
  }
  return true;
}

}  // namespace Tarvel
