#include <cmath>

#include <gtest/gtest.h>

#include "EditorCore/GUI_Menu.h"
#include "ModuleHost.h"
#include "resources/ModuleIds.h"

using EditorCore::CRect;

namespace {

// The curve panel of the page of the project's clip "Walk" (keys at frames 0, 5 and 12).
class CurvePanel : public ModuleHost {
 protected:
  void SetUp() override {
    ModuleHost::SetUp();
    Open("Walk");
  }
  float Cursor() { return Page()->GetCore().GetTimeCursor(); }
};

}  // namespace

TEST_F(CurvePanel, KeyButtonsStepTheCursorWithinTheClipsRangeAndDragsLandOnWholeFrames) {
  Panel().SetTimeCursor(3.0f);
  Panel().OnCommand(1060);
  EXPECT_EQ(Cursor(), 5.0f);
  Panel().OnCommand(1060);
  Panel().OnCommand(1060);
  EXPECT_EQ(Cursor(), 12.0f);
  Panel().OnCommand(1059);
  EXPECT_EQ(Cursor(), 5.0f);
  EXPECT_EQ(Panel().GetFrameRuler().GetMarkerPosition(4), 5.0) << "the ruler shows the cursor";
  for (auto [dragged, expected] : {std::pair{12.5, 12.0f}, {12.6, 13.0f}}) {
    DragCursor(dragged);
    EXPECT_EQ(Cursor(), expected);
    EXPECT_EQ(Panel().GetFrameRuler().GetMarkerPosition(4), expected);
  }
}

TEST_F(CurvePanel, ArrowKeysMoveTheTimeCursorNotBelowZeroHomeAndEndToTheClipsEnds) {
  EXPECT_TRUE(KeyDown(Panel(), EditorCore::VK_RIGHT)) << "keys in the panel are the page's keys";
  EXPECT_EQ(Cursor(), 1.0f);
  KeyDown(*Page(), EditorCore::VK_LEFT);
  KeyDown(*Page(), EditorCore::VK_LEFT);
  EXPECT_EQ(Cursor(), 0.0f);
  KeyDown(*Page(), EditorCore::VK_END);
  EXPECT_EQ(Cursor(), 12.0f) << "Walk's last key";
  KeyDown(*Page(), EditorCore::VK_HOME);
  EXPECT_EQ(Cursor(), 0.0f);
}

TEST_F(CurvePanel, TheFramesModeHidesTheFalloffButKeepsIt) {
  EXPECT_EQ(Page()->GetCore().GetSelection().GetCurves().size(), 3u) << "Arm's rotation, shown when the page opened";
  const Tarvel::GraphEditor& editor = Graph().GetEditor();
  auto& falloff = Item<EditorCore::GUI_CheckBox>(Panel(), 1048);
  Panel().OnCommand(Tarvel::Ids::kCtlFramesModeBox);
  EXPECT_EQ(editor.iEditMode, 3);
  EXPECT_FALSE(falloff.IsChecked() || falloff.IsWindowEnabled());
  EXPECT_TRUE(editor.bFalloff);
  Panel().OnCommand(Tarvel::Ids::kCtlValuesModeBox);
  EXPECT_EQ(editor.iEditMode, 2);
  EXPECT_TRUE(falloff.IsChecked());
}

TEST_F(CurvePanel, WheelZoomIsOneFactorAboutThePointerAndHomeAndFBringTheKeysBack) {
  Panel().MoveWindow(0, 0, 900, 500);
  EditorCore::GUI_RulerCtrl& frames = Panel().GetFrameRuler();
  EditorCore::GUI_RulerCtrl& values = Panel().GetValueRuler();
  CRect rect;
  Graph().GetWindowRect(rect);
  const EditorCore::CPoint over(rect.left + 100, rect.top + 50);
  const double frame = frames.PixelToValue(100);
  const double value = values.PixelToValue(rect.Height() - 50);
  const double before = frames.GetScale();
  Panel().OnMouseWheel(0, -120, over);
  EXPECT_NEAR(frames.GetScale(), before * 1.25, 1e-9) << "towards the user zooms in";
  EXPECT_NEAR(frames.PixelToValue(100), frame, 1 / (frames.GetPixelPerUnit() * frames.GetScale()));
  EXPECT_NEAR(values.PixelToValue(rect.Height() - 50), value, 1 / (values.GetPixelPerUnit() * values.GetScale()));
  for (int notch = 0; notch < 30; ++notch) Panel().OnMouseWheel(0, 120, over);
  EXPECT_NEAR(frames.GetScale(), before * std::pow(1.25, -29), 1e-9) << "out as far as in, with no stop";
  EXPECT_NEAR(frames.PixelToValue(100), frame, 1 / (frames.GetPixelPerUnit() * frames.GetScale()));

  const int width = frames.GetLength();
  KeyDown(*Page(), 'A');
  EXPECT_NEAR(frames.PixelToValue(0), -5.0, 0.1) << "Walk's keys run from frame 0 to 12";
  EXPECT_NEAR(frames.PixelToValue(width), 17.0, 0.1);
  Tarvel::CurveInfo& curve = *Page()->GetCore().GetSelection().GetCurves()[0];
  curve.bSelected = true;
  curve.pCurve->SelectPointAt(1, true);
  curve.pCurve->SelectPointAt(2, true);
  KeyDown(*Page(), 'F');
  EXPECT_NEAR(frames.PixelToValue(0), 0.0, 0.1) << "the keys at 5 and 12, five frames each side";
  EXPECT_NEAR(frames.PixelToValue(width), 17.0, 0.1);
}

TEST_F(CurvePanel, EveryControlSaysWhatItIsAndListIconsStayClearOfTheScrollBar) {
  namespace Ids = Tarvel::Ids;
  for (EditorCore::UINT id :
       {Ids::kCtlSnapBox, Ids::kCtlValuesModeBox, Ids::kCtlFramesModeBox, Ids::kCtlFalloffBox,
        Ids::kCtlFalloffBeforeEdit, Ids::kCtlFalloffAfterEdit, Ids::kCtlKeyEdit, Ids::kCtlValueEdit,
        Ids::kCtlPreviousKeyButton, Ids::kCtlPlayButton, Ids::kCtlRecordButton, Ids::kCtlNextKeyButton,
        Ids::kCtlLoopBox, Ids::kCtlObjectCombo, Ids::kCtlFitButton, Ids::kCtlAutoRecordBox, Ids::kCtlTangentsButton}) {
    EXPECT_FALSE(Panel().GetDlgItem(id)->GetToolTip().empty()) << "control " << id;
  }
  // The page's track and axis filters say what they show.
  for (EditorCore::UINT id : {Ids::kCtlFilterTranslation, Ids::kCtlFilterRotation, Ids::kCtlFilterScale,
                              Ids::kCtlFilterWeights, Ids::kCtlFilterX, Ids::kCtlFilterY, Ids::kCtlFilterZ}) {
    EXPECT_EQ(Page()->GetDlgItem(id)->GetToolTip().rfind("Show ", 0), 0u) << "filter " << id;
  }
  EXPECT_NE(Panel().GetDlgItem(Ids::kCtlFitButton)->GetToolTip().find("Home"), std::string::npos);
  // Every tool is in the Track and Selection menus, with its key one tab away.
  EditorCore::GUI_Menu& menu = *Frame().GetMenu();
  for (EditorCore::UINT id : {Ids::kCmdTrackSubSample, Ids::kCmdSelectionSubSample, Ids::kCmdRemovePoints}) {
    EXPECT_EQ(menu.GetMenuString(id, EditorCore::MF_BYCOMMAND).find("\t\t"), std::string::npos) << id;
  }
  EXPECT_EQ(menu.GetMenuString(Ids::kCmdTrackSubSample, EditorCore::MF_BYCOMMAND), "Subsample");
  EXPECT_EQ(menu.GetMenuString(Ids::kCmdSelectionSubSample, EditorCore::MF_BYCOMMAND), "Subsample");
  Page()->MoveWindow(0, 0, 700, 300);
  for (EditorCore::GUI_ListCtrl* list :
       {static_cast<EditorCore::GUI_ListCtrl*>(&Channels()), static_cast<EditorCore::GUI_ListCtrl*>(&Tracks())}) {
    CRect client, icons;
    list->GetClientRect(client);
    ASSERT_TRUE(list->GetSubItemRect(0, list->GetColumnCount() - 1, icons));
    EXPECT_LE(icons.right, client.right - EditorCore::GUI_ListCtrl::ScrollBarWidth);
  }
}

TEST_F(CurvePanel, APageNarrowedToNothingGetsItsListsBackWhenItGrows) {
  Page()->MoveWindow(0, 0, 900, 500);
  CRect before;
  Channels().GetWindowRect(before);
  for (const int width : {150, 40, 300}) Page()->MoveWindow(0, 0, width, 500);
  Page()->MoveWindow(0, 0, 900, 500);
  CRect after;
  Channels().GetWindowRect(after);
  EXPECT_EQ(after.Width(), before.Width());
  EXPECT_GT(after.Width(), 100);
}
