#include <vector>

#include <gtest/gtest.h>

#include "EngineCore/AnimTrack.h"
#include "ModuleHost.h"
#include "graph/GUI_CurvePanelDialog.h"
#include "graph/GUI_GraphCtrl.h"
#include "tools/GUI_ScaleToolDialog.h"
#include "tools/GUI_ToolValueDialog.h"

using EngineCore::AnimTrack;
using Tarvel::CurveInfo;

namespace {

// The page of the project's clip "Walk" (channels Arm: rotation, Root: translation), with
// the curves of its first channel listed and the test choosing rows, keys and the cursor.
class PointOperations : public ModuleHost {
 protected:
  void SetUp() override {
    ModuleHost::SetUp();
    Open("Walk");
    page = Page();
    page->channelList->SelectChannel(EngineCore::AnimClip::ComputeChannelKey("Root"));
  }

  CurveInfo* Row(int row) { return page->trackList->GetRowCurve(row); }
  void SelectRows(std::initializer_list<int> rows) {
    for (int row : rows) page->trackList->SetItemState(row, EditorCore::LVIS_SELECTED, EditorCore::LVIS_SELECTED);
  }
  void Cursor(float frame) { page->curvePanel->horizontalRuler->SetMarkerPosition(4, frame, false); }
  static std::vector<float> Frames(const CurveInfo& curve) {
    std::vector<float> frames;
    for (std::uint32_t i = 0; i < curve.pCurve->GetPointCount(); ++i) frames.push_back(curve.pCurve->GetPointAt(i)->x);
    return frames;
  }
  // Gives the curve exactly these keys, at value 0.
  static void SetKeys(CurveInfo& curve, std::initializer_list<float> frames) {
    curve.pCurve->RemoveAllPoints();
    for (float frame : frames) curve.pCurve->AddPoint({frame, 0.0f}, false);
  }
  // A point selection the way the graph leaves one.
  void SelectKeys(CurveInfo& curve, std::initializer_list<int> indices) {
    for (int i : indices) curve.pCurve->SelectPointAt(static_cast<std::uint32_t>(i), true);
    page->curvePanel->graph->fSelectionBegin = curve.pCurve->GetPointAt(*indices.begin())->x;
    page->curvePanel->graph->fSelectionEnd = curve.pCurve->GetPointAt(*(indices.end() - 1))->x;
  }

  Tarvel::AnimClipDialog* page = nullptr;
};

}  // namespace

TEST_F(PointOperations, KeyAtTheCursorRoundsHalvesDown) {
  SelectRows({0});
  for (auto [cursor, expected] : {std::pair{12.5f, 12.0f}, {12.51f, 13.0f}, {-3.0f, 0.0f}}) {
    SetKeys(*Row(0), {});
    Cursor(cursor);
    page->CreatePoint(true);
    EXPECT_EQ(Frames(*Row(0)), std::vector<float>{expected}) << "cursor " << cursor;
  }
}

TEST_F(PointOperations, NewKeysRepeatTheLastValueOrStartFromRest) {
  SelectRows({0});
  Cursor(30.0f);
  page->CreatePoint(true);
  const EditorToolkit::Curve2& x = *Row(0)->pCurve;
  EXPECT_FLOAT_EQ(x.GetPointAt(x.GetPointCount() - 1)->y, 4.0f) << "the last key's value";
  const EngineCore::AnimCurve& keys =
      *page->GetClip()->GetChannel(EngineCore::AnimClip::ComputeChannelKey("Root"))->GetCurve(AnimTrack::Translation);
  EXPECT_EQ(keys.GetKeyFrame(keys.GetKeyCount() - 1), 30u) << "written back into the clip";
  EXPECT_EQ(page->GetClip()->GetLastKeyFrame(), 30u);

  SetKeys(*Row(1), {});
  page->trackList->SetItemState(0, 0, EditorCore::LVIS_SELECTED);
  SelectRows({1});
  page->CreatePoint(true);
  EXPECT_FLOAT_EQ(Row(1)->pCurve->GetPointAt(0)->y, 0.0f);
}

TEST_F(PointOperations, KeyKeyAndUndoGoBackToTheCurveBefore) {
  SelectRows({0});
  const auto before = Frames(*Row(0));
  Cursor(40.0f);
  EditorCore::GUI_Msg key;
  key.message = EditorCore::WM_KEYDOWN;
  key.wParam = 'K';
  EXPECT_TRUE(page->PreTranslateMessage(key));
  EXPECT_EQ(Frames(*Row(0)).size(), before.size() + 1);
  page->Undo();
  EXPECT_EQ(Frames(*Row(0)), before);
}

TEST_F(PointOperations, WithNothingSelectedInTheSceneNoKeyIsMade) {
  EngineCore::Scene scene;
  page->SetScene(&scene);
  SelectRows({0});
  const auto before = Frames(*Row(0));
  page->CreatePoint(true);
  EXPECT_EQ(Frames(*Row(0)), before);
  page->SetScene(nullptr);
}

TEST_F(PointOperations, RemoveWithoutKeySelectionClearsTheSelectedCurves) {
  SelectRows({0, 2});
  page->RemovePoints();
  EXPECT_EQ(Row(0)->pCurve->GetPointCount(), 0u);
  EXPECT_EQ(Row(1)->pCurve->GetPointCount(), 3u);
  EXPECT_EQ(Row(2)->pCurve->GetPointCount(), 0u);
  page->Undo();
  EXPECT_EQ(Row(2)->pCurve->GetPointCount(), 3u);
}

TEST_F(PointOperations, RemoveTakesOnlyTheSelectedKeys) {
  SelectRows({0});
  SelectKeys(*Row(0), {1});
  page->RemovePoints();
  EXPECT_EQ(Frames(*Row(0)), (std::vector<float>{0, 12}));
}

TEST_F(PointOperations, PasteOverUnselectedKeysPushesThemBack) {
  SelectRows({0});
  CurveInfo& target = *Row(0);
  SetKeys(target, {0, 10});
  SelectKeys(target, {0, 1});
  page->CopyPoints();
  ASSERT_EQ(Tabs().clipboard.GetPointCount(), 2u);
  EXPECT_EQ(Tabs().clipboard.GetPointAt(1)->x, 10.0f) << "frames counted from the first copied key";
  SetKeys(target, {0, 20, 25, 40});
  target.pCurve->SelectPointAt(0, true);
  Cursor(20.0f);
  page->PastePoints();
  EXPECT_EQ(Frames(target), (std::vector<float>{0, 20, 30, 31, 36, 51}));
}

TEST_F(PointOperations, PasteOverSelectedKeysCoversThem) {
  SelectRows({0});
  CurveInfo& target = *Row(0);
  SetKeys(target, {0, 10});
  SelectKeys(target, {0, 1});
  page->CopyPoints();
  SetKeys(target, {0, 20, 25, 40});
  target.pCurve->SelectPointAt(1, true);
  target.pCurve->SelectPointAt(2, true);
  Cursor(20.0f);
  page->PastePoints();
  EXPECT_EQ(Frames(target), (std::vector<float>{0, 20, 20, 25, 30, 31}));
  EXPECT_TRUE(target.pCurve->GetPointAt(1)->bHidden || target.pCurve->GetPointAt(2)->bHidden);
  int hidden = 0;
  for (std::uint32_t i = 0; i < target.pCurve->GetPointCount(); ++i) hidden += target.pCurve->GetPointAt(i)->bHidden;
  EXPECT_EQ(hidden, 2);
}

TEST_F(PointOperations, PasteBetweenKeysOnlyAddsTheBlock) {
  SelectRows({0});
  CurveInfo& target = *Row(0);
  SetKeys(target, {0, 10});
  SelectKeys(target, {0, 1});
  page->CopyPoints();
  SetKeys(target, {0, 40});
  Cursor(15.0f);
  page->PastePoints();
  EXPECT_EQ(Frames(target), (std::vector<float>{0, 15, 25, 40}));
}

TEST_F(PointOperations, CopyTakesTheFirstSelectedCurveOnly) {
  SelectRows({0, 1});
  SelectKeys(*Row(0), {1, 2});
  Row(1)->pCurve->SelectPointAt(0, true);
  page->CopyPoints();
  EXPECT_EQ(Tabs().clipboard.GetPointCount(), 2u);
}

TEST_F(PointOperations, TrackToolsAskTheirSettingsAndRecordAStep) {
  SelectRows({0});
  double startTolerance = -1.0;
  EditorCore::GUI_Dialog::SetModalResponder([&](EditorCore::GUI_Dialog& dialog) {
    if (auto* edit = dynamic_cast<EditorCore::GUI_EditBox*>(dialog.GetDlgItem(Tarvel::GUI_ToolValueDialog::kEdit))) {
      startTolerance = edit->GetFloatValue();
    }
    return EditorCore::IDCANCEL;
  });
  const std::uint32_t step = page->GetUndoHistory().GetStep();
  module->OnMenuCommand(16680);
  EXPECT_DOUBLE_EQ(startTolerance, 0.05) << "the subsample tool starts at 0.05";
  EXPECT_EQ(page->GetUndoHistory().GetStep(), step + 1) << "a cancelled tool still closes with an undo step";
  module->OnMenuCommand(16676);
  EXPECT_EQ(page->GetUndoHistory().GetStep(), step + 1) << "a cancelled scale records nothing";
}

TEST_F(PointOperations, ScaleDialogShowsTheLengthTheCurvesShare) {
  SelectRows({0, 1});
  SetKeys(*Row(1), {0, 5});
  std::string current;
  int wish = -1;
  EditorCore::GUI_Dialog::SetModalResponder([&](EditorCore::GUI_Dialog& dialog) {
    auto& scale = dynamic_cast<Tarvel::GUI_ScaleToolDialog&>(dialog);
    current = dialog.GetDlgItemText(Tarvel::GUI_ScaleToolDialog::kCurrentEdit);
    wish = scale.iWishLength;
    dialog.SetDlgItemText(Tarvel::GUI_ScaleToolDialog::kPercentageEdit, "50");
    return EditorCore::IDOK;
  });
  page->ScaleTrack();
  EXPECT_EQ(current, "") << "lengths 12 and 5 differ";
  EXPECT_EQ(wish, 5);
  EXPECT_EQ(Frames(*Row(0)), (std::vector<float>{0, 3, 6}));
  EXPECT_EQ(Frames(*Row(1)), (std::vector<float>{0, 3}));
}
