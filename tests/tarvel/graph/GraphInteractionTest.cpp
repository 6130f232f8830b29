#include <EditorToolkit/EditorKernel.h>
#include <EditorToolkit/KeyManager.h>

#include <QCursor>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "GraphBench.h"

using EditorCore::CPoint;
using EditorCore::CRect;
using Tarvel::CurveInfo;
using Tarvel::GUI_GraphCtrl;

namespace {

class GraphInteraction : public GraphBench {
 protected:
  void SetUp() override {
    GraphBench::SetUp();
    graph.iEditMode = 3;
    keys()->SetModifierSource([this] { return shift ? EditorToolkit::KeyManager::Shift : 0u; });
  }

  void TearDown() override {
    keys()->SetModifierSource({});
    if (graph.HasCapture()) EditorCore::GUI_Wnd::ReleaseCapture();
  }

  static EditorToolkit::KeyManager* keys() { return EditorToolkit::EditorKernel::GetInstance()->GetKeyManager(); }

  // Selects keys of a curve directly, as a previous gesture would have left them.
  static void Preselect(CurveInfo& info, std::initializer_list<std::uint32_t> indices) {
    info.bSelected = true;
    for (std::uint32_t i : indices) info.pCurve->SelectPointAt(i, true);
  }

  static EditorToolkit::EditablePoint* Key(CurveInfo& info, std::uint32_t i) { return info.pCurve->GetPointAt(i); }

  CPoint At(double frame, double value) const { return {hRuler.ValueToPixel(frame), kH - vRuler.ValueToPixel(value)}; }
  CPoint AtKey(CurveInfo& info, std::uint32_t i) { return At(Key(info, i)->x, Key(info, i)->y); }

  void Press(CPoint p, EditorCore::UINT flags = 0) { graph.OnLButtonDown(flags | EditorCore::MK_LBUTTON, p); }
  void Move(CPoint p) { graph.OnMouseMove(EditorCore::MK_LBUTTON, p); }
  void Release(CPoint p) { graph.OnLButtonUp(0, p); }
  // Codes sent from now on.
  void Forget() { panel.codes.clear(); }
  bool Sent(int code) const { return std::find(panel.codes.begin(), panel.codes.end(), code) != panel.codes.end(); }

  static std::vector<float> Frames(const CurveInfo& info) {
    std::vector<float> frames;
    for (const auto& p : info.pCurve->GetCurve()) frames.push_back(p.x);
    return frames;
  }
  static std::vector<float> Values(const CurveInfo& info) {
    std::vector<float> values;
    for (const auto& p : info.pCurve->GetCurve()) values.push_back(p.y);
    return values;
  }
  static std::vector<bool> Selected(const CurveInfo& info) {
    std::vector<bool> selected;
    for (const auto& p : info.pCurve->GetCurve()) selected.push_back(p.bSelected);
    return selected;
  }

  Qt::CursorShape CursorShape() const { return static_cast<QWidget*>(graph.GetSafeHwnd())->cursor().shape(); }
  bool MarkerVisible(const EditorCore::GUI_RulerCtrl& ruler, int id) const {
    for (int i = 0; i < ruler.GetMarkerCount(); ++i) {
      const EditorCore::GUI_RulerMarker* m = ruler.GetMarkerAt(i);
      if (m && m->id == id) return (m->flags & 1u) != 0;
    }
    return false;
  }

  bool shift = false;
};

using GraphPicking = GraphInteraction;
using GraphMoving = GraphInteraction;
using GraphRubberBand = GraphInteraction;
using GraphPanning = GraphInteraction;

TEST_F(GraphPicking, PicksAKeyNinePixelsAwayInBothDirections) {
  CurveInfo& c = AddCurve({{0, 0}, {10, 5}, {20, 0}});
  const CPoint key = AtKey(c, 1);
  Press(CPoint(key.x + 9, key.y - 9));
  EXPECT_EQ(graph.pCurrentPoint, Key(c, 1));
  EXPECT_FLOAT_EQ(graph.fCurrentPointX, 10.0f);
  EXPECT_TRUE(c.bSelected);
  EXPECT_EQ(Selected(c), (std::vector<bool>{false, true, false}));
  EXPECT_EQ(graph.iDragState, 3);
  EXPECT_TRUE(graph.HasCapture());
}

TEST_F(GraphPicking, MissesAKeyTenPixelsAwayInEitherDirection) {
  CurveInfo& c = AddCurve({{0, 0}, {10, 5}, {20, 0}});
  const CPoint key = AtKey(c, 1);
  for (const CPoint p : {CPoint(key.x + 10, key.y), CPoint(key.x, key.y - 10), CPoint(key.x - 10, key.y + 3)}) {
    Forget();
    Press(p);
    EXPECT_EQ(graph.pCurrentPoint, nullptr);
    EXPECT_EQ(graph.iDragState, 1) << "a miss starts a rubber band";
    EXPECT_EQ(c.pCurve->GetSelectPointsCount(), 0u);
    EXPECT_FALSE(Sent(GUI_GraphCtrl::GraphNotify_CurveWillChange));
    Release(p);
  }
}

TEST_F(GraphPicking, FirstCurveInListOrderWinsAHit) {
  CurveInfo& a = AddCurve({{10, 5}});
  CurveInfo& b = AddCurve({{10, 5}});
  Press(AtKey(b, 0));
  EXPECT_EQ(graph.pCurrentPoint, Key(a, 0));
  EXPECT_TRUE(a.bSelected);
  EXPECT_FALSE(b.bSelected);
  EXPECT_EQ(b.pCurve->GetSelectPointsCount(), 0u);
}

TEST_F(GraphPicking, FilteredCurvesAreNotHit) {
  CurveInfo& a = AddCurve({{10, 5}});
  CurveInfo& b = AddCurve({{10, 5}});
  a.bFiltered = true;
  Press(AtKey(a, 0));
  EXPECT_EQ(graph.pCurrentPoint, Key(b, 0));
  EXPECT_FALSE(a.bSelected);
}

TEST_F(GraphPicking, PressOnSelectedKeyKeepsAMultipleSelection) {
  CurveInfo& c = AddCurve({{0, 0}, {2, 1}, {4, 2}, {6, 3}, {8, 4}});
  CurveInfo& other = AddCurve({{0, -10}, {30, -10}});
  Preselect(c, {1, 2, 3});
  Preselect(other, {1});
  Press(AtKey(c, 2));
  EXPECT_EQ(Selected(c), (std::vector<bool>{false, true, true, true, false}));
  EXPECT_TRUE(other.bSelected);
  EXPECT_EQ(other.pCurve->GetSelectPointsCount(), 1u);
  EXPECT_EQ(graph.pCurrentPoint, Key(c, 2));
  EXPECT_FALSE(Sent(GUI_GraphCtrl::GraphNotify_SelectionChanged));
}

TEST_F(GraphPicking, PressOnUnselectedKeyReplacesTheSelection) {
  CurveInfo& c = AddCurve({{0, 0}, {2, 1}, {4, 2}, {6, 3}});
  CurveInfo& other = AddCurve({{0, -10}, {30, -10}});
  Preselect(c, {0});
  Preselect(other, {1});
  Press(AtKey(c, 3));
  EXPECT_EQ(Selected(c), (std::vector<bool>{false, false, false, true}));
  EXPECT_FALSE(other.bSelected);
  EXPECT_EQ(other.pCurve->GetSelectPointsCount(), 0u);
  EXPECT_TRUE(Sent(GUI_GraphCtrl::GraphNotify_SelectionChanged));
  EXPECT_FLOAT_EQ(graph.fSelectionBegin, 6.0f);
  EXPECT_FLOAT_EQ(graph.fSelectionEnd, 6.0f);
}

TEST_F(GraphPicking, CtrlAddsTheKeyToTheSelection) {
  CurveInfo& c = AddCurve({{0, 0}, {2, 1}, {4, 2}, {6, 3}});
  CurveInfo& other = AddCurve({{0, -10}, {30, -10}});
  Preselect(c, {0});
  Preselect(other, {1});
  Press(AtKey(c, 3), EditorCore::MK_CONTROL);
  EXPECT_EQ(Selected(c), (std::vector<bool>{true, false, false, true}));
  EXPECT_TRUE(other.bSelected);
  EXPECT_EQ(other.pCurve->GetSelectPointsCount(), 1u);
  EXPECT_TRUE(Sent(GUI_GraphCtrl::GraphNotify_SelectionChanged));
  EXPECT_FLOAT_EQ(graph.fSelectionBegin, 0.0f);
  EXPECT_FLOAT_EQ(graph.fSelectionEnd, 30.0f);
}

TEST_F(GraphPicking, PickingAKeyMakesItCurrentAndSaysSo) {
  CurveInfo& c = AddCurve({{0, 0}, {10, 5}});
  Press(AtKey(c, 1));
  EXPECT_EQ(panel.codes,
            (std::vector<int>{GUI_GraphCtrl::GraphNotify_SelectionChanged, GUI_GraphCtrl::GraphNotify_CurrentFrame,
                              GUI_GraphCtrl::GraphNotify_CurrentValue, GUI_GraphCtrl::GraphNotify_CurveWillChange}));
  EXPECT_DOUBLE_EQ(hRuler.GetMarkerPosition(3), 10.0);
  EXPECT_DOUBLE_EQ(vRuler.GetMarkerPosition(3), 5.0);
  EXPECT_TRUE(MarkerVisible(hRuler, 3));
  EXPECT_TRUE(MarkerVisible(vRuler, 3));
  EXPECT_TRUE(MarkerVisible(hRuler, 1));
  EXPECT_DOUBLE_EQ(hRuler.GetMarkerPosition(1), 10.0);
}

TEST_F(GraphPicking, PressingTheCurrentKeyAgainClearsIt) {
  CurveInfo& c = AddCurve({{0, 0}, {10, 5}});
  Press(AtKey(c, 1));
  Release(AtKey(c, 1));
  ASSERT_EQ(graph.pCurrentPoint, Key(c, 1));
  Forget();
  Press(AtKey(c, 1));
  EXPECT_EQ(graph.pCurrentPoint, nullptr);
  EXPECT_EQ(graph.fCurrentPointX, -1.0e11f);
  EXPECT_EQ(panel.codes, (std::vector<int>{GUI_GraphCtrl::GraphNotify_CurveWillChange}));
  EXPECT_TRUE(Key(c, 1)->bSelected) << "the key stays selected";
}

TEST_F(GraphPicking, PressOutsideTheClientAreaDoesNothing) {
  CurveInfo& c = AddCurve({{0, 0}, {10, 5}});
  Press(CPoint(kW + 5, 10));
  EXPECT_FALSE(graph.HasCapture());
  EXPECT_EQ(graph.iDragState, 0);
  EXPECT_TRUE(panel.codes.empty());
  EXPECT_EQ(c.pCurve->GetSelectPointsCount(), 0u);
}

TEST_F(GraphPicking, CursorFollowsTheGesture) {
  CurveInfo& c = AddCurve({{0, 0}, {10, 5}});
  graph.iEditMode = 2;
  Press(AtKey(c, 1));
  EXPECT_EQ(CursorShape(), Qt::SizeVerCursor);
  Release(AtKey(c, 1));
  EXPECT_EQ(CursorShape(), Qt::ArrowCursor);
  graph.iEditMode = 3;
  Press(AtKey(c, 0));
  EXPECT_EQ(CursorShape(), Qt::SizeHorCursor);
  Release(AtKey(c, 0));
  shift = true;
  Press(AtKey(c, 1));
  EXPECT_EQ(graph.iDragState, 4);
  EXPECT_EQ(CursorShape(), Qt::SizeAllCursor);
  Release(AtKey(c, 1));
  shift = false;
  Press(At(30, -20));
  EXPECT_EQ(graph.iDragState, 1);
  EXPECT_EQ(CursorShape(), Qt::ArrowCursor);
  EXPECT_FALSE(MarkerVisible(hRuler, 3)) << "no cross-hair during a rubber band";
}

TEST_F(GraphMoving, FrameMovesLandOnWholeFrames) {
  CurveInfo& c = AddCurve({{0, 0}, {10, 0}, {20, 0}});
  Press(AtKey(c, 1));
  Move(At(13.6, 0));
  EXPECT_FLOAT_EQ(Key(c, 1)->x, 14.0f);
  EXPECT_TRUE(Sent(GUI_GraphCtrl::GraphNotify_CurrentFrame));
  Move(At(15.5, 0));
  EXPECT_FLOAT_EQ(Key(c, 1)->x, 15.0f) << "exact halves go down";
  graph.bSnap = false;
  Move(At(16.7, 0));
  EXPECT_FLOAT_EQ(Key(c, 1)->x, 17.0f) << "whole frames without snap too";
  EXPECT_FLOAT_EQ(Key(c, 1)->y, 0.0f);
  EXPECT_DOUBLE_EQ(hRuler.GetMarkerPosition(3), 17.0);
  EXPECT_FLOAT_EQ(graph.fSelectionBegin, 17.0f);
}

TEST_F(GraphMoving, ValueMovesSnapToATenthOfTheGraduation) {
  CurveInfo& c = AddCurve({{0, 0}, {10, 0}, {20, 0}});
  graph.iEditMode = 2;
  const double tenth = vRuler.GetUnitValue() * 0.1;
  ASSERT_DOUBLE_EQ(tenth, 0.5);
  Press(AtKey(c, 1));
  Move(At(10, 3.3));
  EXPECT_FLOAT_EQ(Key(c, 1)->y, 3.5f);
  EXPECT_TRUE(Sent(GUI_GraphCtrl::GraphNotify_CurrentValue));
  Move(At(10, 3.2));
  EXPECT_FLOAT_EQ(Key(c, 1)->y, 3.0f);
  EXPECT_FLOAT_EQ(Key(c, 1)->x, 10.0f) << "a value move keeps the frame";
  graph.bSnap = false;
  Move(At(10, 3.2));
  EXPECT_NEAR(Key(c, 1)->y, 3.2f, 1e-4);
  EXPECT_FLOAT_EQ(Key(c, 0)->y, 0.0f);
  EXPECT_FLOAT_EQ(Key(c, 2)->y, 0.0f);
}

TEST_F(GraphMoving, ShiftSwitchesToBothDirectionsAndBack) {
  CurveInfo& c = AddCurve({{0, 0}, {10, 0}, {20, 0}});
  Press(AtKey(c, 1));
  shift = true;
  Move(At(14, 3));
  EXPECT_EQ(graph.iDragState, 4);
  EXPECT_EQ(CursorShape(), Qt::SizeAllCursor);
  EXPECT_FLOAT_EQ(Key(c, 1)->x, 14.0f);
  EXPECT_FLOAT_EQ(Key(c, 1)->y, 3.0f);
  shift = false;
  Move(At(16, 7));
  EXPECT_EQ(graph.iDragState, 3);
  EXPECT_EQ(CursorShape(), Qt::SizeHorCursor);
  EXPECT_FLOAT_EQ(Key(c, 1)->x, 16.0f);
  EXPECT_FLOAT_EQ(Key(c, 1)->y, 3.0f) << "back in frame mode the value stays";
}

TEST_F(GraphMoving, FalloffPullsKeysBeforeTheSelectionWithTheSquareOfTheDistance) {
  std::vector<std::pair<float, float>> points;
  for (int f = 0; f <= 12; ++f) points.emplace_back(static_cast<float>(f), 0.0f);
  CurveInfo& c = AddCurve(points);
  graph.iEditMode = 2;
  graph.SetFalloff(true);
  graph.SetFalloffBefore(4.0f);
  graph.SetFalloffAfter(0.0f);
  Press(AtKey(c, 8));
  EXPECT_NEAR(Key(c, 7)->weight, 1.0f - 0.8f * 0.8f, 1e-5);
  Move(At(8, 10));
  EXPECT_FLOAT_EQ(Key(c, 8)->y, 10.0f);
  for (int d = 1; d <= 4; ++d) {
    const float pull = (1.0f - d / 5.0f) * (1.0f - d / 5.0f);
    EXPECT_NEAR(Key(c, 8 - d)->y, 10.0f * pull, 1e-4) << "distance " << d;
  }
  for (std::uint32_t i = 0; i <= 3; ++i) EXPECT_FLOAT_EQ(Key(c, i)->y, 0.0f) << "key " << i;
  for (std::uint32_t i = 9; i <= 12; ++i) EXPECT_FLOAT_EQ(Key(c, i)->y, 0.0f) << "key " << i;
}

TEST_F(GraphMoving, FalloffWidthsRecomputeTheWeights) {
  CurveInfo& c = AddCurve({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}});
  graph.iEditMode = 2;
  Press(AtKey(c, 2));
  EXPECT_FLOAT_EQ(Key(c, 3)->weight, 1.0f);
  graph.SetFalloffAfter(1.0f);
  EXPECT_NEAR(Key(c, 3)->weight, 0.75f, 1e-6);
  EXPECT_FLOAT_EQ(Key(c, 2)->weight, 0.0f);
  graph.SetFalloff(false);
  EXPECT_FLOAT_EQ(Key(c, 3)->weight, 1.0f);
}

TEST_F(GraphMoving, WithoutFalloffEveryKeyBetweenTheSelectedOnesTakesTheValue) {
  CurveInfo& c = AddCurve({{0, 1}, {2, 2}, {4, 3}, {6, 4}, {8, 5}});
  graph.iEditMode = 2;
  graph.SetFalloff(false);
  Preselect(c, {3});
  Press(AtKey(c, 1), EditorCore::MK_CONTROL);
  Move(At(2, 7));
  EXPECT_EQ(Values(c), (std::vector<float>{1, 7, 7, 7, 5}));
}

TEST_F(GraphMoving, FrameMoveBelowFrameZeroLeavesThatCurveAlone) {
  CurveInfo& a = AddCurve({{1, -5}, {5, -5}});
  CurveInfo& b = AddCurve({{4, 5}, {10, 5}});
  Preselect(a, {0});
  Press(AtKey(b, 1), EditorCore::MK_CONTROL);
  ASSERT_EQ(graph.pCurrentPoint, Key(b, 1));
  Move(At(7, 5));
  EXPECT_EQ(Frames(a), (std::vector<float>{1, 5}));
  EXPECT_EQ(Frames(b), (std::vector<float>{4, 7}));
  Move(At(12, 5));
  EXPECT_EQ(Frames(a), (std::vector<float>{5, 6})) << "once it can, the selected key moves by the same amount";
  EXPECT_EQ(Frames(b), (std::vector<float>{4, 12}));
}

TEST_F(GraphMoving, ABlockDraggedOverKeysCoversThemAndAPressOnEmptySpaceDeletesThem) {
  CurveInfo& c = AddCurve({{0, 0}, {2, 0}, {4, 0}, {6, 0}, {8, 0}});
  Preselect(c, {0});
  Press(AtKey(c, 1), EditorCore::MK_CONTROL);
  Move(At(5, 0));
  EXPECT_EQ(Frames(c), (std::vector<float>{3, 4, 5, 6, 8}));
  EXPECT_TRUE(Key(c, 1)->bHidden) << "frame 4 lies inside the moved block";
  EXPECT_FALSE(Key(c, 3)->bHidden);
  // The block runs from its first to its last selected key: the covered key travels with it.
  Move(At(7, 0));
  EXPECT_EQ(Frames(c), (std::vector<float>{5, 6, 6, 7, 8}));
  EXPECT_EQ(Selected(c), (std::vector<bool>{true, false, false, true, false}));
  EXPECT_TRUE(Key(c, 1)->bHidden);
  EXPECT_TRUE(Key(c, 2)->bHidden) << "the key at frame 6 now lies inside the block";
  EXPECT_FALSE(Key(c, 4)->bHidden);
  Release(At(7, 0));
  EXPECT_EQ(Frames(c), (std::vector<float>{5, 6, 6, 7, 8})) << "no selected key shares a frame: kept";
  Press(At(30, -20));
  EXPECT_EQ(Frames(c), (std::vector<float>{5, 7, 8}));
}

TEST_F(GraphMoving, ReleasingAKeyOnAnotherKeysFrameRestoresTheCurve) {
  CurveInfo& c = AddCurve({{0, 0}, {3, 2}, {6, 4}});
  CurveInfo& untouched = AddCurve({{0, -8}, {9, -8}});
  Press(AtKey(c, 1));
  Move(At(6, 2));
  ASSERT_EQ(Frames(c), (std::vector<float>{0, 6, 6}));
  Forget();
  Release(At(6, 2));
  ASSERT_FALSE(panel.codes.empty());
  EXPECT_EQ(panel.codes.front(), GUI_GraphCtrl::GraphNotify_CurveChanged);
  EXPECT_EQ(Frames(c), (std::vector<float>{0, 3, 6}));
  EXPECT_EQ(Values(c), (std::vector<float>{0, 2, 4}));
  EXPECT_EQ(Selected(c), (std::vector<bool>{false, true, false}));
  ASSERT_NE(graph.pCurrentPoint, nullptr);
  EXPECT_EQ(graph.pCurrentPoint, Key(c, 1)) << "the current key is the restored one";
  EXPECT_FLOAT_EQ(graph.fSelectionBegin, 3.0f);
  EXPECT_EQ(Frames(untouched), (std::vector<float>{0, 9}));
}

TEST_F(GraphMoving, FrameMovePressBacksUpTheSelectedCurvesOnly) {
  CurveInfo& c = AddCurve({{0, 0}, {3, 2}});
  CurveInfo& other = AddCurve({{0, -8}, {9, -8}});
  Press(AtKey(c, 1));
  EXPECT_EQ(c.iCurrentUndo, 1u);
  EXPECT_EQ(other.iCurrentUndo, 0u);
  Release(AtKey(c, 1));
  graph.iEditMode = 2;
  Press(AtKey(c, 0));
  EXPECT_EQ(c.iCurrentUndo, 1u) << "a value move takes no backup";
}

TEST_F(GraphMoving, ReleaseAfterAMoveReportsTheChangeFirstThenTheEdits) {
  CurveInfo& c = AddCurve({{0, 0}, {10, 0}});
  graph.iEditMode = 2;
  Press(AtKey(c, 1));
  Move(At(10, 4));
  Forget();
  Release(At(10, 4));
  EXPECT_EQ(panel.codes,
            (std::vector<int>{GUI_GraphCtrl::GraphNotify_CurveChanged, GUI_GraphCtrl::GraphNotify_EnableValue,
                              GUI_GraphCtrl::GraphNotify_EnableFrame, GUI_GraphCtrl::GraphNotify_CurrentFrame,
                              GUI_GraphCtrl::GraphNotify_CurrentValue}));
  EXPECT_FALSE(graph.HasCapture());
  EXPECT_EQ(graph.iDragState, 2) << "the gesture stays for the panel's edits";
}

TEST_F(GraphMoving, EditsMoveTheSelectionInTheChosenMode) {
  CurveInfo& c = AddCurve({{0, 0}, {10, 0}, {20, 0}});
  Press(AtKey(c, 1));
  Release(AtKey(c, 1));
  graph.SetTargetFrame(12.0f);
  EXPECT_FLOAT_EQ(Key(c, 1)->x, 12.0f);
  graph.SetTargetValue(6.0f, false);
  EXPECT_FLOAT_EQ(Key(c, 1)->y, 0.0f) << "frames mode: the value edit moves nothing";
  graph.iEditMode = 2;
  graph.SetTargetValue(6.0f, false);
  EXPECT_FLOAT_EQ(Key(c, 1)->y, 6.0f);
  EXPECT_DOUBLE_EQ(vRuler.GetMarkerPosition(3), 6.0);
}

TEST_F(GraphRubberBand, SelectsTheKeysInsideAndReportsTheSelection) {
  CurveInfo& a = AddCurve({{0, 0}, {5, 5}, {10, 0}, {15, 5}});
  CurveInfo& b = AddCurve({{0, -10}, {20, -10}});
  Press(At(3, 7));
  ASSERT_EQ(graph.iDragState, 1);
  Move(At(8, -1));
  EXPECT_EQ(Selected(a), (std::vector<bool>{false, true, false, false}));
  Forget();
  Release(At(11, -1));
  EXPECT_TRUE(a.bSelected);
  EXPECT_EQ(Selected(a), (std::vector<bool>{false, true, true, false}));
  EXPECT_FALSE(b.bSelected);
  EXPECT_EQ(b.pCurve->GetSelectPointsCount(), 0u);
  EXPECT_FLOAT_EQ(graph.fSelectionBegin, 5.0f);
  EXPECT_FLOAT_EQ(graph.fSelectionEnd, 10.0f);
  EXPECT_TRUE(MarkerVisible(hRuler, 1));
  EXPECT_DOUBLE_EQ(hRuler.GetMarkerPosition(2), 10.0);
  EXPECT_EQ(graph.pCurrentPoint, Key(a, 1)) << "the first selected key becomes current";
  // Six frames selected: the X edit cannot show them.
  EXPECT_EQ(panel.codes,
            (std::vector<int>{GUI_GraphCtrl::GraphNotify_SelectionChanged, GUI_GraphCtrl::GraphNotify_EnableValue,
                              GUI_GraphCtrl::GraphNotify_DisableFrame, GUI_GraphCtrl::GraphNotify_ClearValue}));
}

TEST_F(GraphRubberBand, SelectsACurveThatCrossesTheBandBetweenKeys) {
  CurveInfo& a = AddCurve({{0, -10}, {20, 10}});
  Press(At(8, 3));
  Release(At(12, -3));
  EXPECT_TRUE(a.bSelected) << "the segment crosses the band from below to above";
  EXPECT_EQ(a.pCurve->GetSelectPointsCount(), 0u) << "no key lies inside";
}

TEST_F(GraphRubberBand, EmptyBandClearsEverything) {
  CurveInfo& a = AddCurve({{0, 0}, {5, 5}});
  Preselect(a, {1});
  Press(At(20, -15));
  Forget();
  Release(At(25, -20));
  EXPECT_FALSE(a.bSelected);
  EXPECT_EQ(a.pCurve->GetSelectPointsCount(), 0u);
  EXPECT_FALSE(graph.HasSelectionRange());
  EXPECT_FALSE(MarkerVisible(hRuler, 1));
  EXPECT_EQ(panel.codes,
            (std::vector<int>{GUI_GraphCtrl::GraphNotify_SelectionChanged, GUI_GraphCtrl::GraphNotify_ClearFrame,
                              GUI_GraphCtrl::GraphNotify_ClearValue, GUI_GraphCtrl::GraphNotify_DisableFrame,
                              GUI_GraphCtrl::GraphNotify_DisableValue}));
}

TEST_F(GraphRubberBand, SelectionRangeCountsSelectedFrames) {
  CurveInfo& a = AddCurve({{0, 0}, {2, 0}, {6, 0}});
  EXPECT_EQ(graph.UpdateSelectionRange(), 0);
  Preselect(a, {1});
  graph.ClearSelectionRange();
  EXPECT_EQ(graph.UpdateSelectionRange(), 1);
  a.pCurve->SelectPointAt(2, true);
  graph.ClearSelectionRange();
  EXPECT_EQ(graph.UpdateSelectionRange(), 5);
  a.bFiltered = true;
  graph.ClearSelectionRange();
  EXPECT_EQ(graph.UpdateSelectionRange(), 0);
}

TEST_F(GraphPanning, MiddleButtonDragsBothRulers) {
  graph.iDragState = 3;
  graph.OnMButtonDown(EditorCore::MK_MBUTTON, CPoint(100, 100));
  EXPECT_TRUE(graph.bPanning);
  EXPECT_TRUE(hRuler.IsMoving());
  EXPECT_TRUE(vRuler.IsMoving());
  EXPECT_TRUE(graph.HasCapture());
  EXPECT_EQ(graph.iDragState, 0);
  graph.OnMButtonUp(0, CPoint(120, 90));
  EXPECT_FALSE(graph.bPanning);
  EXPECT_FALSE(hRuler.IsMoving());
  EXPECT_FALSE(vRuler.IsMoving());
  EXPECT_FALSE(graph.HasCapture());
}

TEST_F(GraphPanning, MiddlePressOutsideTheViewDoesNotPan) {
  graph.OnMButtonDown(EditorCore::MK_MBUTTON, CPoint(-3, 100));
  EXPECT_FALSE(graph.bPanning);
  EXPECT_FALSE(hRuler.IsMoving());
}

TEST_F(GraphPanning, MovesWhilePanningLeaveTheKeysAlone) {
  CurveInfo& c = AddCurve({{0, 0}, {10, 0}});
  Press(AtKey(c, 1));
  graph.OnMButtonDown(EditorCore::MK_MBUTTON, CPoint(100, 100));
  graph.iDragState = 3;
  Move(At(15, 0));
  EXPECT_FLOAT_EQ(Key(c, 1)->x, 10.0f);
  graph.OnMButtonUp(0, CPoint(100, 100));
}

}  // namespace
