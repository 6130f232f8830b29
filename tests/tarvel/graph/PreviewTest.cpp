#include <gtest/gtest.h>

#include "EditorCore/GUI_Menu.h"
#include "PreviewScene.h"
#include "graph/GUI_CurvePanelDialog.h"
#include "graph/GUI_GraphCtrl.h"

namespace {
using Preview = PreviewHost;
constexpr EditorCore::UINT kPlay = 1021;
constexpr EditorCore::UINT kRecord = 1062;
constexpr EditorCore::UINT kAutoRecord = 1026;
}  // namespace

TEST_F(Preview, BackwardsStartsAtTheEndOfTheRange) {
  panel->loopBox.Check(false);
  panel->OnCommand(16696);
  ASSERT_TRUE(panel->playing);
  const EngineCore::AnimController& controller = *root->GetController();
  EXPECT_EQ(controller.GetPlaybackMode(), 1u);
  EXPECT_FLOAT_EQ(controller.GetPlaybackSpeed(), 60.0f);
  EXPECT_FLOAT_EQ(controller.GetPlaybackFrame(0), 12.0f);
  panel->loopBox.Check(true);
  panel->OnCommand(16695);
  EXPECT_EQ(controller.GetPlaybackMode(), 3u);
  EXPECT_FLOAT_EQ(controller.GetPlaybackSpeed(), 120.0f);
  panel->StopPlayback();
}

TEST_F(Preview, PlaysOverTheSelectedFramesOnly) {
  panel->graph->fSelectionBegin = 5.0f;
  panel->graph->fSelectionEnd = 9.0f;
  panel->StartPlayback();
  EXPECT_EQ(arm->GetController()->GetPlaybackKeyFrameBegin(), 5u);
  EXPECT_EQ(arm->GetController()->GetPlaybackKeyFrameEnd(), 9u);
  panel->StopPlayback();
}

TEST_F(Preview, OncePlaybackStopsAtTheEndAndLeavesTheCursorThere) {
  panel->loopBox.Check(false);
  panel->StartPlayback();
  root->GetController()->SetPlaybackFrame(0, 11.999f);
  arm->GetController()->SetPlaybackFrame(0, 11.999f);
  viewer.received.clear();
  for (int step = 0; step < 50 && panel->playing; ++step) panel->OnTimer(3);
  EXPECT_FALSE(panel->playing);
  EXPECT_FLOAT_EQ(panel->timeCursor, 12.0f);
  EXPECT_GE(viewer.Count(2324), 1) << "the viewer redraws after each step";
  EXPECT_FLOAT_EQ(root->GetLocalTranslation().x, 4.0f) << "posed at the last key";
}

TEST_F(Preview, ScrubbingPosesTheObjectsAtTheCursor) {
  viewer.received.clear();
  panel->horizontalRuler->SetMarkerPosition(4, 5.2, false);
  EditorCore::GUI_NotifyHeader header{panel->horizontalRuler.get(), 1, EditorCore::GUI_RulerCtrl::NotifyMarkerMoved};
  EditorCore::LRESULT result = 0;
  panel->OnNotify(header, {}, result);
  EXPECT_EQ(panel->timeCursor, 5.0f);
  EXPECT_NEAR(root->GetLocalTranslation().x, 1.0f, 0.02f);
  EXPECT_GE(viewer.Count(2324), 1);
  EXPECT_GE(viewer.Count(2228), 1) << "every module hears that a pose was applied";
}

TEST_F(Preview, RecordButtonAddsAKeyAndAutoRecordTakesItsPlace) {
  // Without a scene selection to key, the keys go to the selected track rows.
  scene.RemoveEditionManager();
  ASSERT_TRUE(Page()->channelList->SelectChannel(EngineCore::AnimClip::ComputeChannelKey("Root")));
  Page()->trackList->SetItemState(0, EditorCore::LVIS_SELECTED, EditorCore::LVIS_SELECTED);
  panel->SetTimeCursor(20.0f);
  const std::uint32_t before = Page()->trackList->GetRowCurve(0)->pCurve->GetPointCount();
  panel->OnCommand(kRecord);
  EXPECT_EQ(Page()->trackList->GetRowCurve(0)->pCurve->GetPointCount(), before + 1);
  panel->OnCommand(kAutoRecord);
  EXPECT_TRUE(panel->autoRecord);
  EXPECT_FALSE(panel->recordButton.IsWindowEnabled());
  panel->SetTimeCursor(30.0f);
  module->OnFrameworkMessage(2228, 0, 0);
  EXPECT_EQ(Page()->trackList->GetRowCurve(0)->pCurve->GetPointCount(), before + 2) << "keyed automatically";
}

TEST_F(Preview, HoldingPlayOpensTheSpeedMenuWithTheCurrentSpeed) {
  bool forwardOneChecked = false;
  EditorCore::GUI_Menu::SetPopupResponder([&](const EditorCore::GUI_Menu& menu) {
    forwardOneChecked = (menu.GetMenuState(16699, EditorCore::MF_BYCOMMAND) & EditorCore::MF_CHECKED) != 0;
    return 16698u;
  });
  EditorCore::GUI_NotifyHeader pressed{&panel->playButton, kPlay, EditorCore::GUI_PushButton::NotifyPressed};
  EditorCore::LRESULT result = 0;
  panel->OnNotify(pressed, {}, result);
  panel->OnTimer(1);
  EditorCore::GUI_Menu::SetPopupResponder(nullptr);
  EXPECT_TRUE(forwardOneChecked);
  EXPECT_FLOAT_EQ(panel->speed, 2.0f) << "the chosen speed starts playing";
  EXPECT_TRUE(panel->playing);
  panel->OnCommand(kPlay);
  EXPECT_FALSE(panel->playing);
}
