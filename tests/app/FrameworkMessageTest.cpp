#include <gtest/gtest.h>

#include <filesystem>

#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_EditBox.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/ResourceFactory.h"
#include "HostFixture.h"
#include "ModuleWindows.h"
#include "RecordingModule.h"

namespace {

namespace fs = std::filesystem;
using namespace EditorCore;
using TarvelHost::ModuleWindows;

// Message numbers the modules share.
constexpr UINT kMsgSceneSelection = 2225;
constexpr UINT kMsgSceneOpened = 2249;
constexpr UINT kMsgResourcesSaved = 2255;
constexpr UINT kMsgViewerRedraw = 2324;
constexpr UINT kMsgCreateClip = 3036;
constexpr UINT kMsgOpenClip = 3524;
// Commands of the module's menu.
constexpr UINT kCmdClipCreate = 16654;
constexpr UINT kCmdClipSaveAll = 16658;

class FrameworkMessages : public HostTest::HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    ASSERT_TRUE(host->GetModuleManager()->RegisterModule(&recorder));
  }
  void TearDown() override {
    if (host) host->GetModuleManager()->UnregisterModule(&recorder);
    HostFixture::TearDown();
  }

  TestSupport::RecordingModule recorder;
};

TEST_F(FrameworkMessages, AModuleBroadcastReachesEveryModule) {
  ASSERT_TRUE(host->OpenClip("01_01"));
  host->RouteCommand(kCmdClipSaveAll);
  ASSERT_EQ(recorder.Count(kMsgResourcesSaved), 1);
  EXPECT_EQ(recorder.Last(kMsgResourcesSaved)->wParam, 9u);
}

TEST_F(FrameworkMessages, AnAddressedMessageReachesOnlyItsModule) {
  std::vector<std::string> asked;
  GUI_Dialog::SetModalResponder([&](GUI_Dialog& dialog) {
    asked.push_back(dialog.GetWindowText());
    auto* edit = ModuleWindows::FindFirst<GUI_EditBox>(&dialog);
    if (edit) edit->SetWindowText("Walk");
    return IDOK;
  });
  host->RouteCommand(kCmdClipCreate);
  // 3036 went to the clip creator alone; its answer 3524 went to everyone.
  EXPECT_EQ(recorder.Count(kMsgCreateClip), 0);
  EXPECT_EQ(asked, std::vector<std::string>{"Create an Animation Clip"});
  EXPECT_TRUE(fs::exists(fs::path(ProjectPath()) / "AnimClips" / "Walk.gltf"));
  ASSERT_EQ(recorder.Count(kMsgOpenClip), 1);
  auto* clip = reinterpret_cast<EngineCore::AnimClip*>(recorder.Last(kMsgOpenClip)->wParam);
  ASSERT_NE(clip, nullptr);
  EXPECT_EQ(clip->GetName().str(), "Walk");
  EXPECT_EQ(TabCount(), 1);
}

TEST_F(FrameworkMessages, OpeningAProjectTellsEveryModuleItsScene) {
  HostTest::CopyDemoProject(temp.Path() / "second");
  ASSERT_TRUE(host->OpenProject((temp.Path() / "second").string()));
  // The save question first, then "no scene" while the old project closes, then the new scene.
  ASSERT_EQ(recorder.received.size(), 3u);
  EXPECT_EQ(recorder.received[0].message, 4u);
  EXPECT_NE(recorder.received[0].wParam, 0u) << "message 4 carries a save list";
  EXPECT_EQ(recorder.received[1].message, kMsgSceneOpened);
  EXPECT_EQ(recorder.received[1].wParam, 0u);
  auto* scene = reinterpret_cast<EngineCore::Scene*>(recorder.Last(kMsgSceneOpened)->wParam);
  EXPECT_EQ(scene, host->GetSession().GetScene());
  ASSERT_NE(scene, nullptr);
  EXPECT_EQ(host->GetViewer().GetScene(), scene);
  EXPECT_EQ(host->GetSession().GetFolder(), (temp.Path() / "second").string());
  const EngineCore::SceneObject* hips = scene->FindObject("Hips");
  ASSERT_NE(hips, nullptr);
  EXPECT_EQ(hips->GetController(), nullptr) << "no clip is read before it is asked for";
  ASSERT_TRUE(host->OpenClip("01_01"));
  EXPECT_NE(hips->GetController(), nullptr) << "the objects a clip animates carry it once it is read";
}

TEST_F(FrameworkMessages, TheViewerRedrawsOn2324OncePerTurnOfTheEventLoop) {
  TarvelHost::ViewerModule& viewer = host->GetViewer();
  EditorCore::GUI_App::ProcessEvents(50);
  const int paints = viewer.GetView()->GetPaintCount();
  for (int object = 0; object < 31; ++object) {
    host->GetModuleManager()->SendFrameworkMessage(&viewer, kMsgViewerRedraw, 0, 0);
  }
  EXPECT_EQ(viewer.GetRedrawRequestCount(), 31);
  EditorCore::GUI_App::ProcessEvents(50);
  EXPECT_EQ(viewer.GetView()->GetPaintCount(), paints + 1);
}

TEST_F(FrameworkMessages, APickInTheViewerSelectsTheObjectAndTellsEveryModule) {
  EngineCore::Scene* scene = host->GetSession().GetScene();
  TarvelHost::ViewerWnd* view = host->GetViewer().GetView();
  EngineCore::SceneObject* hips = scene->FindObject("Hips");
  CRect client;
  view->GetClientRect(client);
  const auto at = view->GetCamera().Project(hips->GetWorldPosition(), client.Width(), client.Height());
  ASSERT_TRUE(at.visible);
  const CPoint point(static_cast<int>(at.x), static_cast<int>(at.y));
  ASSERT_NE(view->PickObject(point, client.Width(), client.Height()), nullptr);
  view->SelectAt(point);
  const EngineCore::SceneEditionManager* selection = scene->GetEditionManager();
  ASSERT_EQ(selection->GetSelectedObjectCount(), 1u);
  ASSERT_EQ(recorder.Count(kMsgSceneSelection), 1);
  EXPECT_EQ(recorder.Last(kMsgSceneSelection)->wParam, reinterpret_cast<WPARAM>(scene));
  // A click on empty space clears the selection.
  view->SelectAt(CPoint(2, client.Height() - 2));
  EXPECT_EQ(selection->GetSelectedObjectCount(), 0u);
}

}  // namespace
