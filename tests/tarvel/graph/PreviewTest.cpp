#include <gtest/gtest.h>

#include "EditorCore/GUI_Menu.h"
#include "PreviewScene.h"

namespace {
using Preview = PreviewHost;
constexpr EditorCore::UINT kPlay = 1021;
constexpr EditorCore::UINT kRecord = 1062;
constexpr EditorCore::UINT kAutoRecord = 1026;
constexpr EditorCore::UINT kLoop = 1025;
constexpr EditorCore::UINT kNextKey = 1060;
}  // namespace

TEST_F(Preview, BackwardsPlaysFromTheEndOfTheRangeInTheLoopsModeAndOnlyOverTheSelectedFrames) {
  Click(*panel, kLoop);
  panel->OnCommand(16696);
  ASSERT_TRUE(Page()->GetPlayback().playing);
  const EngineCore::AnimController& controller = *root->GetController();
  EXPECT_EQ(controller.GetPlaybackMode(), 1u);
  EXPECT_FLOAT_EQ(controller.GetPlaybackSpeed(), 60.0f);
  EXPECT_FLOAT_EQ(controller.GetPlaybackFrame(0), 12.0f);
  Click(*panel, kLoop);
  panel->OnCommand(16695);
  EXPECT_EQ(controller.GetPlaybackMode(), 3u);
  EXPECT_FLOAT_EQ(controller.GetPlaybackSpeed(), 120.0f);
  panel->StopPlayback();
  Page()->GetCore().GetSelection().fSelectionBegin = 5.0f;
  Page()->GetCore().GetSelection().fSelectionEnd = 9.0f;
  panel->StartPlayback();
  EXPECT_EQ(arm->GetController()->GetPlaybackKeyFrameBegin(), 5u);
  EXPECT_EQ(arm->GetController()->GetPlaybackKeyFrameEnd(), 9u);
  panel->StopPlayback();
}

TEST_F(Preview, PlayingOnceStopsAtTheEndAndLeavesTheCursorThere) {
  Click(*panel, kLoop);
  Page()->GetPlayback().SetStepClock([] { return 0.05f; });
  panel->StartPlayback();
  viewer.received.clear();
  int steps = 0;
  for (; steps < 50 && Page()->GetPlayback().playing; ++steps) panel->OnTimer(3);
  EXPECT_FALSE(Page()->GetPlayback().playing);
  EXPECT_FLOAT_EQ(Page()->GetCore().GetTimeCursor(), 12.0f);
  EXPECT_EQ(viewer.Count(2324), steps) << "one redraw of the viewer per step, however many objects";
  EXPECT_FLOAT_EQ(root->GetLocalTranslation().x, 4.0f) << "posed at the last key";
}

TEST_F(Preview, AStepThatLeavesTheCursorWhereItWasDrawsNothing) {
  float seconds = 0.0f;
  Page()->GetPlayback().SetStepClock([&seconds] { return seconds; });
  panel->StartPlayback();
  viewer.received.clear();
  panel->OnTimer(3);
  EXPECT_EQ(viewer.Count(2324), 0) << "no time passed: nothing moved";
  seconds = 0.05f;
  panel->OnTimer(3);
  EXPECT_EQ(viewer.Count(2324), 1);
  panel->StopPlayback();
}

TEST_F(Preview, ScrubbingPosesTheObjectsAtTheCursor) {
  viewer.received.clear();
  DragCursor(5.2);
  EXPECT_EQ(Page()->GetCore().GetTimeCursor(), 5.0f);
  EXPECT_NEAR(root->GetLocalTranslation().x, 1.0f, 0.02f);
  EXPECT_GE(viewer.Count(2324), 1);
  EXPECT_GE(viewer.Count(2228), 1) << "every module hears that a pose was applied";
  // With the key at frame 5 selected, the pose is still the one under the cursor.
  Page()->GetCore().GetSelection().fSelectionBegin = 5.0f;
  Page()->GetCore().GetSelection().fSelectionEnd = 5.0f;
  DragCursor(12.0);
  EXPECT_FLOAT_EQ(root->GetLocalTranslation().x, 4.0f) << "frame 12, not the selected frame 5";
}

TEST_F(Preview, AFrameAppliedToTheObjectsEndsWithOneRedrawAndOnePoseMessageHoweverManyObjects) {
  Tarvel::PreviewPlayback& playback = Page()->GetPlayback();
  viewer.received.clear();
  playback.ApplyFrame(5.0f);
  EXPECT_EQ(viewer.Count(2324), 1) << "the root and the arm are posed";
  EXPECT_EQ(viewer.Count(2228), 1);
  // Objects none of which the clip animates: the pose message still goes, so auto-record keys.
  Tarvel::PreviewObjects& objects = Page()->GetPreviewObjects();
  objects.SetCurrentEntry(Tarvel::PreviewObjects::kSelectionEntry);
  objects.chosenObjects.clear();
  viewer.received.clear();
  playback.ApplyFrame(6.0f);
  EXPECT_EQ(viewer.Count(2324), 1);
  EXPECT_EQ(viewer.Count(2228), 1);
}

TEST_F(Preview, RecordButtonAddsAKeyAndAutoRecordTakesItsPlace) {
  // Without a scene selection to key, the keys go to the selected track rows.
  scene.RemoveEditionManager();
  SelectRow(Channels(), 0, false);
  SelectRow(Channels(), 1);
  SelectRow(Tracks(), 0);
  const Tarvel::CurveInfo& curve = *Tracks().GetRowCurve(0);
  const std::uint32_t before = curve.pCurve->GetPointCount();
  panel->SetTimeCursor(20.0f);
  panel->OnCommand(kRecord);
  EXPECT_EQ(curve.pCurve->GetPointCount(), before + 1);
  panel->OnCommand(kAutoRecord);
  EXPECT_TRUE(Page()->IsAutoRecording());
  EXPECT_FALSE(Item<EditorCore::GUI_PushButton>(*panel, kRecord).IsWindowEnabled());
  panel->SetTimeCursor(30.0f);
  module->OnFrameworkMessage(2228, 0, 0);
  EXPECT_EQ(curve.pCurve->GetPointCount(), before + 2) << "keyed automatically";
}

TEST_F(Preview, HoldingPlayOpensTheSpeedMenuWithTheCurrentSpeed) {
  bool forwardOneChecked = false;
  EditorCore::GUI_Menu::SetPopupResponder([&](const EditorCore::GUI_Menu& menu) {
    forwardOneChecked = (menu.GetMenuState(16699, EditorCore::MF_BYCOMMAND) & EditorCore::MF_CHECKED) != 0;
    return 16698u;
  });
  auto& play = Item<EditorCore::GUI_PushButton>(*panel, kPlay);
  Notify(*panel, &play, kPlay, EditorCore::GUI_PushButton::NotifyPressed);
  panel->OnTimer(1);
  EditorCore::GUI_Menu::SetPopupResponder(nullptr);
  EXPECT_TRUE(forwardOneChecked);
  EXPECT_FLOAT_EQ(Page()->GetPlayback().speed, 2.0f) << "the chosen speed starts playing";
  panel->OnCommand(kPlay);
  EXPECT_TRUE(Page()->GetPlayback().playing) << "releasing the button that opened the menu keeps playing";
  Notify(*panel, &play, kPlay, EditorCore::GUI_PushButton::NotifyPressed);
  panel->OnCommand(kPlay);
  EXPECT_FALSE(Page()->GetPlayback().playing) << "the next click stops";
}

TEST_F(Preview, TheCursorFollowsElapsedTimeWithOrWithoutObjectsAndKeySteppingStopsPlaybackFirst) {
  Page()->GetPlayback().SetStepClock([] { return 0.1f; });
  panel->StartPlayback();
  EXPECT_FALSE(Item<EditorCore::GUI_PushButton>(*panel, kNextKey).IsWindowEnabled()) << "no stepping while playing";
  panel->OnTimer(3);
  EXPECT_FLOAT_EQ(Page()->GetCore().GetTimeCursor(), 6.0f) << "a tenth of a second at 60 frames per second";
  EXPECT_FLOAT_EQ(root->GetController()->GetPlaybackFrame(0), 6.0f);
  panel->OnCommand(kNextKey);
  EXPECT_FALSE(Page()->GetPlayback().playing);
  EXPECT_TRUE(Item<EditorCore::GUI_PushButton>(*panel, kNextKey).IsWindowEnabled());
  EXPECT_GT(Page()->GetCore().GetTimeCursor(), 6.0f) << "stepped to the next key";
  EngineCore::Scene nothingAnimated;
  module->OnFrameworkMessage(2249, reinterpret_cast<EditorCore::WPARAM>(&nothingAnimated), 0);
  panel->StartPlayback();
  for (int step = 0; step < 3; ++step) panel->OnTimer(3);
  EXPECT_FLOAT_EQ(Page()->GetCore().GetTimeCursor(), 6.0f) << "no object to play on: the cursor still moves, and loops";
  panel->StopPlayback();
  module->OnFrameworkMessage(2249, 0, 0);
}
