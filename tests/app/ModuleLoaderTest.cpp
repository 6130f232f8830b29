#include <QFontMetrics>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_MenuBar.h"
#include "HostFixture.h"
#include "LogCapture.h"
#include "ModuleLoader.h"
#include "ModuleWindows.h"
#include "ScriptParser.h"
#include "ScriptRunner.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;
using TarvelHost::ModuleLoader;

class ModuleLoading : public ::testing::Test {
 protected:
  void SetUp() override { EditorCore::GUI_App::EnsureForTests(); }
  std::string ModulePath() const { return std::string(TARVEL_MODULES_DIR) + "/libtarvel.so"; }
  TestSupport::TempFolder folder;
};

TEST_F(ModuleLoading, ReadsTheIdentityOfTheModuleLibraryAndSkipsOtherFilesAndMissingFoldersWithALogLine) {
  ModuleLoader loader;
  ASSERT_TRUE(loader.LoadLibrary(ModulePath()));
  ASSERT_EQ(loader.GetModules().size(), 1u);
  const ModuleLoader::LoadedModule& loaded = loader.GetModules().front();
  EXPECT_EQ(loaded.name, "Tarvel");
  EXPECT_EQ(loaded.version, "P1.7.0");
  EXPECT_NE(loaded.icon, nullptr);
  ASSERT_NE(loaded.loadIcon, nullptr);
  EXPECT_EQ(loaded.loadIcon(1004), loaded.icon) << "icons are shared: the module icon is icon 1004";
  EXPECT_EQ(loaded.loadIcon(9999), nullptr);
  // A second loader of the same library, or a second load, gives the same one module.
  ModuleLoader second;
  ASSERT_TRUE(second.LoadLibrary(ModulePath()));
  ASSERT_TRUE(second.LoadLibrary(ModulePath()));
  EXPECT_EQ(second.GetModules().size(), 1u);
  EXPECT_EQ(second.GetModules().front().module, loaded.module);
  fs::create_symlink(ModulePath(), folder.Path() / "libtarvel.so");
  fs::create_symlink(TARVEL_NOT_A_MODULE, folder.Path() / "libnotamodule.so");
  std::ofstream(folder.Path() / "libbroken.so") << "not an ELF file";
  TestSupport::LogCapture log;
  ModuleLoader fromFolder;
  EXPECT_EQ(fromFolder.LoadFolder(folder.Path().string()), 1);
  ASSERT_EQ(fromFolder.GetModules().size(), 1u);
  EXPECT_EQ(fromFolder.GetModules().front().name, "Tarvel");
  EXPECT_EQ(fromFolder.GetSkipped().size(), 2u);
  EXPECT_EQ(log.Count(EngineCore::Log::Warning, "libnotamodule.so"), 1);
  EXPECT_EQ(log.Count(EngineCore::Log::Warning, "libbroken.so"), 1);
  ModuleLoader none;
  EXPECT_EQ(none.LoadFolder((folder.Path() / "absent").string()), 0);
  EXPECT_TRUE(none.GetModules().empty());
  EXPECT_EQ(log.Count(EngineCore::Log::Warning, "No modules folder"), 1);
}

class HostModules : public HostTest::HostFixture {};

TEST_F(HostModules, RegistersTheLoadedModuleAndItsOwnAndInstallsTheModuleMenusAfterItsOwn) {
  EditorCore::GUI_ModuleManager* modules = host->GetModuleManager();
  EXPECT_EQ(modules->GetModuleCount(), 3);
  EXPECT_EQ(modules->GetModuleWithID(32), Panel());
  EXPECT_EQ(modules->GetModuleWithID(0x10000000u), &host->GetViewer());
  EXPECT_EQ(modules->GetModuleWithID(0x80000000u), &host->GetClipCreator());
  // File and View, then the module's six pop-ups, Help last.
  EXPECT_EQ(host->GetMenuBar()->GetEntryCount(), 8);
  const EditorCore::GUI_Menu* installed = host->GetMenuBar()->GetInstalledMenu();
  ASSERT_NE(installed, nullptr);
  EXPECT_EQ(installed->GetMenuString(0, EditorCore::MF_BYPOSITION), "Animation Clip");
  EXPECT_EQ(installed->GetMenuString(1, EditorCore::MF_BYPOSITION), "Edit");
  for (const auto& entry : host->GetHostedModules()) {
    EXPECT_EQ(entry.menu != nullptr, entry.module == Panel()) << entry.name;
  }
}

TEST_F(HostModules, EveryControlOfThePanelIsInsideTheWindowAtEverySizeAndTheSidePanesGiveWay) {
  auto rectOf = [](const EditorCore::GUI_Wnd* wnd) {
    EditorCore::CRect rect;
    wnd->GetWindowRect(rect);
    return rect;
  };
  ASSERT_TRUE(host->OpenClip("01_01"));
  for (const auto& [width, height] : {std::pair{800, 560}, {1024, 700}, {1280, 800}, {1920, 1080}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    // As a script sizes it.
    std::vector<TarvelHost::ScriptAction> actions;
    std::string error;
    ASSERT_TRUE(TarvelHost::ScriptParser::Parse("window-size " + std::to_string(width) + " " + std::to_string(height),
                                                actions, error))
        << error;
    TarvelHost::ScriptRunner runner(*host);
    ASSERT_TRUE(runner.Run(actions)) << runner.GetError();
    ASSERT_EQ(rectOf(host.get()).Width(), width);
    const EditorCore::CRect panel = rectOf(Panel()->GetModuleDialog());
    const EditorCore::CRect viewer = rectOf(host->GetViewer().GetModuleDialog());
    EXPECT_GE(panel.Width(), TarvelHost::HostWindow::kMinimumCentre);
    EXPECT_LE(panel.right, viewer.left);
    EXPECT_GE(viewer.Width(), 120);
    for (const EditorCore::GUI_Wnd* control : TarvelHost::ModuleWindows::GetDescendants(Panel()->GetModuleDialog())) {
      if (!TarvelHost::ModuleWindows::IsShown(control)) continue;
      const EditorCore::CRect r = rectOf(control);
      EXPECT_TRUE(r.left >= panel.left && r.right <= panel.right && r.top >= panel.top && r.bottom <= panel.bottom)
          << "control " << control->GetDlgCtrlID() << " at " << r.left << "," << r.top << " " << r.Width() << "x"
          << r.Height();
      // The Key and Value boxes show a long number whole.
      if (control->GetDlgCtrlID() == 1044 || control->GetDlgCtrlID() == 1049) {
        const auto* edit = static_cast<const QWidget*>(control->GetSafeHwnd());
        EXPECT_GE(r.Width(), edit->fontMetrics().horizontalAdvance("-12345.678") + 8);
      }
      if (control->GetDlgCtrlID() == 1023) {
        const auto* combo = static_cast<const QWidget*>(control->GetSafeHwnd());
        EXPECT_GE(r.Width(), combo->fontMetrics().horizontalAdvance(" - All animated objects") + 24);
      }
    }
  }
  host->RouteCommand(TarvelHost::HostWindow::kCmdViewViewer);
  EXPECT_FALSE(host->GetViewer().GetModuleDialog()->IsWindowVisible());
  EXPECT_EQ(host->GetViewerWidth(), 0) << "the panel takes the viewer's room";
  host->RouteCommand(TarvelHost::HostWindow::kCmdViewViewer);
  EXPECT_TRUE(host->GetViewer().GetModuleDialog()->IsWindowVisible());
}

}  // namespace
