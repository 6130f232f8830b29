#include <gtest/gtest.h>

#include <filesystem>

#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_EditBox.h"
#include "EditorCore/GUI_MessageDialog.h"
#include "HostFixture.h"
#include "LogCapture.h"
#include "ModuleWindows.h"
#include "ResourceBrowser.h"

namespace {

namespace fs = std::filesystem;
using namespace EditorCore;
using TarvelHost::ModuleWindows;

class ClipCreation : public HostTest::HostFixture {
 protected:
  fs::path ClipFile(const std::string& name) const { return fs::path(ProjectPath()) / "AnimClips" / (name + ".gltf"); }
};

TEST_F(ClipCreation, RefusesNamesThatCannotBeNewClips) {
  TarvelHost::ClipCreatorModule& creator = host->GetClipCreator();
  EXPECT_EQ(creator.CheckName(""), "A clip needs a name.");
  EXPECT_EQ(creator.CheckName("a/b"), "A clip name cannot hold a path.");
  EXPECT_EQ(creator.CheckName(".hidden"), "A clip name cannot hold a path.");
  EXPECT_EQ(creator.CheckName("01_01"), "A clip named 01_01 exists already.");
  EXPECT_EQ(creator.CheckName("Walk"), "");
}

TEST_F(ClipCreation, WritesAnEmptyClipListsItAndOpensIt) {
  ASSERT_TRUE(host->GetClipCreator().CreateClip("Walk"));
  EXPECT_TRUE(fs::exists(ClipFile("Walk")));
  const auto listed = host->GetResourceBrowser()->GetClips();
  EXPECT_EQ(listed, (std::vector<std::string>{"01_01", "Boxing_Toes", "Walk"}));
  EXPECT_EQ(TabCount(), 1);
}

TEST_F(ClipCreation, AnExistingNameIsRefusedWithAMessageAndCancellingCreatesNothing) {
  std::vector<std::string> texts;
  GUI_Dialog::SetModalResponder([&](GUI_Dialog& dialog) {
    if (auto* message = dynamic_cast<GUI_MessageDialog*>(&dialog)) {
      texts.push_back(message->GetText());
      return IDOK;
    }
    ModuleWindows::FindFirst<GUI_EditBox>(&dialog)->SetWindowText("  01_01 ");
    return IDOK;
  });
  const auto before = fs::last_write_time(ClipFile("01_01"));
  host->GetModuleManager()->SendFrameworkMessage(&host->GetClipCreator(), 3036, 1, 0);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts.front(), "A clip named 01_01 exists already.");
  EXPECT_EQ(fs::last_write_time(ClipFile("01_01")), before);
  EXPECT_EQ(TabCount(), 0);
  GUI_Dialog::SetModalResponder([](GUI_Dialog& dialog) {
    ModuleWindows::FindFirst<GUI_EditBox>(&dialog)->SetWindowText("Run");
    return IDCANCEL;
  });
  host->GetModuleManager()->SendFrameworkMessage(&host->GetClipCreator(), 3036, 1, 0);
  EXPECT_FALSE(fs::exists(ClipFile("Run")));
  EXPECT_EQ(TabCount(), 0);
}

TEST_F(ClipCreation, WithoutAProjectNothingIsCreated) {
  TestSupport::LogCapture log;
  host->GetSession().Close();
  EXPECT_FALSE(host->GetClipCreator().CreateClip("Walk"));
  EXPECT_EQ(log.Count(EngineCore::Log::Error, "No project is open"), 1);
}

}  // namespace
