#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_MenuBar.h"
#include "HostFixture.h"
#include "LogCapture.h"
#include "ModuleLoader.h"
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
  // File and View, then the module's four pop-ups.
  EXPECT_EQ(host->GetMenuBar()->GetEntryCount(), 6);
  const EditorCore::GUI_Menu* installed = host->GetMenuBar()->GetInstalledMenu();
  ASSERT_NE(installed, nullptr);
  EXPECT_EQ(installed->GetMenuString(0, EditorCore::MF_BYPOSITION), "Animation Clip");
  for (const auto& entry : host->GetHostedModules()) {
    EXPECT_EQ(entry.menu != nullptr, entry.module == Panel()) << entry.name;
  }
}

TEST_F(HostModules, PlacesThePanelBetweenTheBrowserAndTheViewerAndResizesItWithTheWindowOrTheViewer) {
  auto rectOf = [](EditorCore::GUI_Wnd* wnd) {
    EditorCore::CRect rect;
    wnd->GetWindowRect(rect);
    return rect;
  };
  const EditorCore::CRect before = rectOf(Panel()->GetModuleDialog());
  const EditorCore::CRect viewer = rectOf(host->GetViewer().GetModuleDialog());
  const EditorCore::CRect frame = rectOf(host.get());
  EXPECT_TRUE(Panel()->GetModuleDialog()->IsWindowVisible());
  EXPECT_GT(before.Width(), 300);
  EXPECT_GT(before.Height(), 300);
  EXPECT_GT(before.left, frame.left);
  EXPECT_LE(before.right, viewer.left);
  EXPECT_EQ(before.top, viewer.top);
  host->MoveWindow(frame.left, frame.top, frame.Width() + 200, frame.Height() + 100);
  EditorCore::GUI_App::ProcessEvents(0);
  EXPECT_EQ(rectOf(Panel()->GetModuleDialog()).Width(), before.Width() + 200);
  EXPECT_EQ(rectOf(Panel()->GetModuleDialog()).Height(), before.Height() + 100);
  EXPECT_TRUE(host->GetViewer().GetModuleDialog()->IsWindowVisible());
  host->RouteCommand(TarvelHost::HostWindow::kCmdViewViewer);
  EXPECT_FALSE(host->GetViewer().GetModuleDialog()->IsWindowVisible());
  EXPECT_GT(rectOf(Panel()->GetModuleDialog()).Width(), before.Width() + 200) << "the panel takes the viewer's room";
  host->RouteCommand(TarvelHost::HostWindow::kCmdViewViewer);
  EXPECT_TRUE(host->GetViewer().GetModuleDialog()->IsWindowVisible());
}

}  // namespace
