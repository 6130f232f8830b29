#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "EditorCore/GUI_MessageDialog.h"
#include "HostFixture.h"
#include "LogCapture.h"

namespace {

namespace fs = std::filesystem;
using EditorCore::GUI_Dialog;
using EditorCore::GUI_MessageDialog;

constexpr EditorCore::UINT kCmdSave = 16657;

// The host on the demo project, with every message box the user would see collected.
class ClipFileFailures : public HostTest::HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    GUI_Dialog::SetModalResponder([this](GUI_Dialog& dialog) {
      if (auto* message = dynamic_cast<GUI_MessageDialog*>(&dialog)) shown.push_back(message->GetText());
      return EditorCore::IDOK;
    });
  }
  void TearDown() override {
    GUI_Dialog::SetModalResponder({});
    HostFixture::TearDown();
  }
  fs::path Clips() const { return fs::path(ProjectPath()) / "AnimClips"; }

  std::vector<std::string> shown;
  TestSupport::LogCapture log;
};

TEST_F(ClipFileFailures, SavingAWriteProtectedClipTellsTheUserWhy) {
  ASSERT_TRUE(host->OpenClip("01_01"));
  ASSERT_EQ(::chmod((Clips() / "01_01.gltf").c_str(), 0444), 0);
  host->RouteCommand(kCmdSave);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "Could not save 01_01: 01_01.gltf is write-protected.");
}

TEST_F(ClipFileFailures, AClipThatDoesNotOpenIsLoggedAtStartUpAndShownWhenTheUserOpensIt) {
  std::ofstream(Clips() / "Broken.gltf")
      << R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":4,"uri":"../../x.bin"}]})";
  ASSERT_TRUE(host->OpenProject(ProjectPath()));
  EXPECT_TRUE(shown.empty()) << "start-up only logs";
  EXPECT_EQ(log.Count(EngineCore::Log::Error, "Broken.gltf"), 1);
  EXPECT_FALSE(host->OpenClip("Broken"));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "Could not open Broken: buffer 0: URI '../../x.bin' leaves the clip's folder.");
}

}  // namespace
