#include <gtest/gtest.h>

#include "ModuleHost.h"
#include "graph/GUI_CurvePanelDialog.h"
#include "graph/GUI_GraphCtrl.h"

using EditorCore::CRect;
using Tarvel::GUI_CurvePanelDialog;

namespace {

// The curve panel of the page of the project's clip "Walk" (keys at frames 0, 5 and 12).
class CurvePanel : public ModuleHost {
 protected:
  void SetUp() override {
    ModuleHost::SetUp();
    Open("Walk");
    panel = Page()->curvePanel.get();
  }
  CRect Placed(const EditorCore::GUI_Wnd& window) {
    CRect rect;
    window.GetWindowRect(rect);
    panel->ScreenToClient(rect);
    return rect;
  }

  GUI_CurvePanelDialog* panel = nullptr;
};

}  // namespace

TEST(CurvePanelRounding, HalvesGoDown) {
  EXPECT_EQ(GUI_CurvePanelDialog::WholeFrame(12.5f), 12.0f);
  EXPECT_EQ(GUI_CurvePanelDialog::WholeFrame(12.6f), 13.0f);
  EXPECT_EQ(GUI_CurvePanelDialog::WholeFrame(12.4f), 12.0f);
}

TEST_F(CurvePanel, NarrowPanelsPutTheRightGroupOnASecondRow) {
  panel->MoveWindow(0, 0, 900, 500);
  EXPECT_EQ(Placed(*panel->graph), CRect(30, 31, 899, 470));
  EXPECT_EQ(Placed(panel->previousKeyButton), CRect(900 - 328, 0, 900 - 298, 30));
  EXPECT_EQ(Placed(*panel->horizontalRuler), CRect(30, 470, 900, 500));
  panel->MoveWindow(0, 0, 600, 500);
  EXPECT_EQ(Placed(*panel->graph), CRect(30, 61, 599, 470));
  EXPECT_EQ(Placed(panel->previousKeyButton), CRect(600 - 328, 30, 600 - 298, 60));
  EXPECT_EQ(Placed(*panel->verticalRuler), CRect(0, 60, 30, 470));
}

TEST_F(CurvePanel, KeySteppingStopsAtTheClipsRange) {
  panel->SetTimeCursor(3.0f);
  panel->OnCommand(1060);
  EXPECT_EQ(panel->timeCursor, 5.0f);
  panel->OnCommand(1060);
  EXPECT_EQ(panel->timeCursor, 12.0f);
  panel->OnCommand(1060);
  EXPECT_EQ(panel->timeCursor, 12.0f) << "never past the clip's last key frame";
  panel->OnCommand(1059);
  EXPECT_EQ(panel->timeCursor, 5.0f);
  panel->SetTimeCursor(-4.0f);
  panel->OnCommand(1059);
  EXPECT_EQ(panel->timeCursor, 0.0f) << "never before the clip's first key frame";
  EXPECT_EQ(panel->horizontalRuler->GetMarkerPosition(4), 0.0);
}

TEST_F(CurvePanel, DraggingTheCursorLandsOnWholeFrames) {
  for (auto [dragged, expected] : {std::pair{12.5, 12.0f}, {12.6, 13.0f}}) {
    panel->horizontalRuler->SetMarkerPosition(4, dragged, false);
    EditorCore::GUI_NotifyHeader header{panel->horizontalRuler.get(), 1, EditorCore::GUI_RulerCtrl::NotifyMarkerMoved};
    EditorCore::LRESULT result = 0;
    panel->OnNotify(header, {}, result);
    EXPECT_EQ(panel->timeCursor, expected);
  }
}

TEST_F(CurvePanel, FramesModeHidesTheFalloffButKeepsIt) {
  ASSERT_TRUE(panel->graph->bFalloff);
  panel->OnCommand(1028);
  EXPECT_EQ(panel->graph->iEditMode, 3);
  EXPECT_FALSE(panel->falloffBox.IsChecked());
  EXPECT_FALSE(panel->falloffBox.IsWindowEnabled());
  EXPECT_TRUE(panel->graph->bFalloff);
  panel->OnCommand(1030);
  EXPECT_EQ(panel->graph->iEditMode, 2);
  EXPECT_TRUE(panel->falloffBox.IsChecked());
}

TEST_F(CurvePanel, ArrowKeysMoveTheTimeCursorNotBelowZero) {
  EditorCore::GUI_Msg key;
  key.message = EditorCore::WM_KEYDOWN;
  key.wParam = EditorCore::VK_RIGHT;
  EXPECT_TRUE(Page()->PreTranslateMessage(key));
  EXPECT_EQ(panel->timeCursor, 1.0f);
  key.wParam = EditorCore::VK_LEFT;
  Page()->PreTranslateMessage(key);
  Page()->PreTranslateMessage(key);
  EXPECT_EQ(panel->timeCursor, 0.0f);
}

TEST_F(CurvePanel, GraphShowsTheCurvesOfTheShownChannels) {
  EXPECT_EQ(panel->graph->GetCurveCount(), 3) << "Arm's rotation, shown when the page opened";
  Page()->channelList->SetItemState(1, EditorCore::LVIS_SELECTED, EditorCore::LVIS_SELECTED);
  EXPECT_EQ(panel->graph->GetCurveCount(), 6);
}

TEST_F(CurvePanel, WheelZoomStepsTheScaleWithinItsLimits) {
  panel->MoveWindow(0, 0, 900, 500);
  CRect ruler;
  panel->horizontalRuler->GetWindowRect(ruler);
  const EditorCore::CPoint over(ruler.left + 100, ruler.top + 5);
  const double before = panel->horizontalRuler->GetScale();
  panel->OnMouseWheel(0, -120, over);
  EXPECT_NEAR(panel->horizontalRuler->GetScale(), before + 0.1, 1e-9) << "towards the user zooms in";
  panel->OnMouseWheel(0, 120, over);
  EXPECT_NEAR(panel->horizontalRuler->GetScale(), before - 0.1, 1e-9) << "away zooms out by twice as much";
  panel->horizontalRuler->SetScale(0.25);
  panel->OnMouseWheel(0, 120, over);
  EXPECT_NEAR(panel->horizontalRuler->GetScale(), 0.25, 1e-9) << "no step to 0.05";
}
