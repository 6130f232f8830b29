#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

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

constexpr UINT kCmdSave = 16657;
constexpr UINT kMsgCreateClip = 3036;

// The host on the demo project. Every message box the user would see is read and closed; the
// name dialog is given `name` and ends with `nameAnswer`.
class ClipFiles : public HostTest::HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    GUI_Dialog::SetModalResponder([this](GUI_Dialog& dialog) {
      if (auto* message = dynamic_cast<GUI_MessageDialog*>(&dialog)) {
        shown.push_back(message->GetText());
        return IDOK;
      }
      ModuleWindows::FindFirst<GUI_EditBox>(&dialog)->SetWindowText(name);
      return nameAnswer;
    });
  }
  fs::path Clips() const { return fs::path(ProjectPath()) / "AnimClips"; }

  std::vector<std::string> shown;
  std::string name;
  int nameAnswer = IDOK;
  TestSupport::LogCapture log;
};

TEST_F(ClipFiles, NewClipNamesMustBeFreeAndPathlessAndANewClipIsWrittenListedAndOpened) {
  TarvelHost::ClipCreatorModule& creator = host->GetClipCreator();
  EXPECT_EQ(creator.CheckName(""), "A clip needs a name.");
  EXPECT_EQ(creator.CheckName("a/b"), "A clip name cannot hold a path.");
  EXPECT_EQ(creator.CheckName(".hidden"), "A clip name cannot hold a path.");
  EXPECT_EQ(creator.CheckName("01_01"), "A clip named 01_01 exists already.");
  EXPECT_EQ(creator.CheckName("Walk"), "");
  ASSERT_TRUE(creator.CreateClip("Walk"));
  EXPECT_TRUE(fs::exists(Clips() / "Walk.gltf"));
  EXPECT_EQ(host->GetResourceBrowser()->GetClips(),
            (std::vector<std::string>{"01_01", "Boxing_Toes", "Walk", "animations:Blink", "animations:Idle",
                                      "animations:Walk", "keyframed"}));
  EXPECT_EQ(TabCount(), 1);
}

TEST_F(ClipFiles, AnExistingNameIsRefusedWithAMessageAndCancellingOrHavingNoProjectCreatesNothing) {
  name = "  01_01 ";
  const auto before = fs::last_write_time(Clips() / "01_01.gltf");
  host->GetModuleManager()->SendFrameworkMessage(&host->GetClipCreator(), kMsgCreateClip, 1, 0);
  EXPECT_EQ(shown, std::vector<std::string>{"A clip named 01_01 exists already."});
  EXPECT_EQ(fs::last_write_time(Clips() / "01_01.gltf"), before);
  name = "Run";
  nameAnswer = IDCANCEL;
  host->GetModuleManager()->SendFrameworkMessage(&host->GetClipCreator(), kMsgCreateClip, 1, 0);
  EXPECT_FALSE(fs::exists(Clips() / "Run.gltf"));
  EXPECT_EQ(TabCount(), 0);
  host->GetSession().Close();
  EXPECT_FALSE(host->GetClipCreator().CreateClip("Walk"));
  EXPECT_EQ(log.Count(EngineCore::Log::Error, "No project is open"), 1);
}

TEST_F(ClipFiles, SavingAWriteProtectedClipTellsTheUserWhy) {
  ASSERT_TRUE(host->OpenClip("01_01"));
  ASSERT_EQ(::chmod((Clips() / "01_01.gltf").c_str(), 0444), 0);
  host->RouteCommand(kCmdSave);
  EXPECT_EQ(shown, std::vector<std::string>{"Could not save 01_01: 01_01.gltf is write-protected."});
}

TEST_F(ClipFiles, AClipThatDoesNotOpenIsMarkedFromAQuickLookAtStartUpAndShownWhenTheUserOpensIt) {
  std::ofstream(Clips() / "Broken.gltf")
      << R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":4,"uri":"../../x.bin"}]})";
  std::ofstream(Clips() / "Lost.gltf")
      << R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":4,"uri":"lost.bin"}]})";
  ASSERT_TRUE(host->OpenProject(ProjectPath()));
  EXPECT_TRUE(shown.empty()) << "start-up reads no clip and asks nothing";
  EXPECT_EQ(log.Count(EngineCore::Log::Error, "Broken.gltf"), 0);
  const QTreeWidgetItem* lost = host->GetResourceBrowser()->FindClip("Lost");
  ASSERT_NE(lost, nullptr);
  EXPECT_EQ(lost->toolTip(0).toStdString(),
            "Lost does not open: buffer 0: URI 'lost.bin' names no file beside the clip");
  // The browser marks it and says why; the others look as they always did.
  const QTreeWidgetItem* broken = host->GetResourceBrowser()->FindClip("Broken");
  ASSERT_NE(broken, nullptr);
  EXPECT_FALSE(broken->icon(0).isNull());
  EXPECT_EQ(broken->toolTip(0).toStdString(),
            "Broken does not open: buffer 0: URI '../../x.bin' leaves the clip's folder");
  const QTreeWidgetItem* fine = host->GetResourceBrowser()->FindClip("01_01");
  ASSERT_NE(fine, nullptr);
  EXPECT_TRUE(fine->icon(0).isNull() && fine->toolTip(0).isEmpty());
  EXPECT_FALSE(host->OpenClip("Broken"));
  EXPECT_EQ(shown,
            std::vector<std::string>{"Could not open Broken: buffer 0: URI '../../x.bin' leaves the clip's folder."});
}

}  // namespace
