#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_ListCtrl.h"
#include "HostFixture.h"
#include "ModuleWindows.h"

namespace {

using namespace EditorCore;
using TarvelHost::ModuleWindows;

constexpr UINT kCmdKeyboardShortcuts = 16780;
constexpr UINT kCmdAbout = 16781;

class HelpMenu : public HostTest::HostFixture {
 protected:
  // The rows of the Keyboard Shortcuts dialog, as it shows them.
  std::vector<std::pair<std::string, std::string>> ShownShortcuts() {
    std::vector<std::pair<std::string, std::string>> rows;
    GUI_Dialog::SetModalResponder([&rows](GUI_Dialog& dialog) {
      EXPECT_EQ(dialog.GetWindowText(), "Keyboard Shortcuts");
      const auto* list = ModuleWindows::FindFirst<GUI_ListCtrl>(&dialog);
      for (int row = 0; list && row < list->GetItemCount(); ++row) {
        rows.emplace_back(list->GetItemText(row, 0), list->GetItemText(row, 1));
      }
      return IDOK;
    });
    EXPECT_TRUE(host->RouteCommand(kCmdKeyboardShortcuts));
    GUI_Dialog::SetModalResponder({});
    return rows;
  }
};

TEST_F(HelpMenu, KeyboardShortcutsListsEveryKeyAndTheReadmeShowsTheSameTable) {
  const auto rows = ShownShortcuts();
  auto has = [&rows](const std::string& keys, const std::string& what) {
    for (const auto& row : rows) {
      if (row.first == keys && row.second.find(what) != std::string::npos) return true;
    }
    return false;
  };
  // The page's keys, the module's menus' and the host's menus' (the viewer's A and F among them).
  EXPECT_TRUE(has("Space", "Play"));
  EXPECT_TRUE(has("Ctrl+S", "Save"));
  EXPECT_TRUE(has("Home", "first key"));
  EXPECT_TRUE(has("Ctrl+Q", "File > Quit"));
  EXPECT_TRUE(has("Ctrl+O", "File > Open Clip..."));
  EXPECT_TRUE(has("A", "View > Frame All"));

  std::string table = "| Keys | What they do |\n|---|---|\n";
  for (const auto& [keys, what] : rows) table += "| " + keys + " | " + what + " |\n";
  const std::filesystem::path readme =
      std::filesystem::path(TARVEL_DEMO_PROJECT).parent_path().parent_path() / "README.md";
  std::ifstream file(readme);
  std::stringstream text;
  text << file.rdbuf();
  const std::string whole = text.str();
  const std::string begin = "<!-- keyboard-shortcuts -->\n";
  const std::size_t from = whole.find(begin);
  const std::size_t to = whole.find("<!-- /keyboard-shortcuts -->");
  ASSERT_TRUE(from != std::string::npos && to != std::string::npos) << readme;
  EXPECT_EQ(whole.substr(from + begin.size(), to - from - begin.size()), table)
      << "the README's table of keys, as the editor lists them:\n"
      << table;
}

TEST_F(HelpMenu, TheViewerSaysHowToUseIt) {
  EXPECT_NE(host->GetViewer().GetView()->GetToolTip().find("F the selected ones"), std::string::npos);
}

TEST_F(HelpMenu, AboutNamesTheModuleAndItsVersion) {
  std::string said;
  GUI_Dialog::SetModalResponder([&said](GUI_Dialog& dialog) {
    said = dialog.GetWindowText();
    for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(&dialog)) said += "\n" + wnd->GetWindowText();
    return IDOK;
  });
  EXPECT_TRUE(host->RouteCommand(kCmdAbout));
  EXPECT_NE(said.find("Tarvel P1."), std::string::npos) << said;
}

}  // namespace
