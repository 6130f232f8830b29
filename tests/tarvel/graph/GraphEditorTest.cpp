#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "CurveRecords.h"
#include "CurveWriter.h"
#include "graph/GraphEditor.h"
#include "resources/ModuleIds.h"

using EditorCore::CPoint;
using Tarvel::CurveInfo;
using Tarvel::GraphEditor;
namespace Ids = Tarvel::Ids;

namespace {

// A view of 600 x 400 pixels where a frame and a value are 10 pixels each: frame f at column
// (f + 5) * 10, value v at row 400 - (v + 25) * 10, graduations of 5 values.
class FakeView : public Tarvel::GraphView {
 public:
  bool CanMap() const override { return true; }
  double FrameAtColumn(int x) const override { return x / 10.0 - 5.0; }
  double ValueAtRow(int y) const override { return (400 - y) / 10.0 - 25.0; }
  int ColumnOfFrame(double frame) const override { return static_cast<int>(std::lround((frame + 5.0) * 10.0)); }
  int RowOfValue(double value) const override { return 400 - static_cast<int>(std::lround((value + 25.0) * 10.0)); }
  double GetValueUnit() const override { return 5.0; }
  void ShowSelectionMarkers(bool shown, float begin, float end) override {
    selectionShown = shown;
    if (shown) selection = {begin, end};
  }
  void ShowCrossHair(bool shown) override { crossHairShown = shown; }
  void PlaceCrossHair(float frame, float value) override { crossHair = {frame, value}; }
  // Hands out the curves of the gesture's action and keeps them as the action found them, as
  // the clip's core does.
  void Notify(int code) override {
    codes.push_back(code);
    if (code == Ids::GraphNotify_CurveWillChange && curves) {
      for (CurveInfo* info : curves->GetCurves()) found.try_emplace(info, Found{info, info->pCurve->GetCurve()});
    }
    if (code == Ids::GraphNotify_CurveChanged) found.clear();
  }
  EditorToolkit::Curve2* Writable(const CurveInfo& curve) override {
    const auto touched = found.find(&curve);
    return touched == found.end() ? nullptr : &Tarvel::CurveWriter::Of(*touched->second.info);
  }
  void TakeBack(CurveInfo& curve) override {
    takenBack.push_back(&curve);
    const auto kept = found.find(&curve);
    if (kept != found.end()) Tarvel::CurveWriter::Of(curve).SetCurve(kept->second.before);
  }
  void NoteKeyEdit(const EditorToolkit::Curve2& curve, std::uint64_t before, float firstFrame,
                   float lastFrame) override {
    edits.push_back({&curve, before, curve.GetRevision(), firstFrame, lastFrame});
  }

  struct Edit {
    const EditorToolkit::Curve2* curve;
    std::uint64_t before;
    std::uint64_t after;
    float firstFrame;
    float lastFrame;
  };
  std::vector<int> codes;
  std::vector<Edit> edits;
  const Tarvel::CurveSelection* curves = nullptr;
  struct Found {
    CurveInfo* info;
    EditorToolkit::Curve2::PointList before;
  };
  std::map<const CurveInfo*, Found> found;
  std::vector<const CurveInfo*> takenBack;
  bool selectionShown = false;
  std::pair<float, float> selection;
  bool crossHairShown = false;
  std::pair<float, float> crossHair;
};

class GraphEditing : public ::testing::Test, protected CurveRecords {
 protected:
  GraphEditing() {
    editor.iEditMode = GraphEditor::kDragFrames;
    view.curves = &shown;
  }

  CPoint At(double frame, double value) const { return {view.ColumnOfFrame(frame), view.RowOfValue(value)}; }
  CPoint AtKey(CurveInfo& info, std::uint32_t i) { return At(Key(info, i)->x, Key(info, i)->y); }
  static EditorToolkit::EditablePoint* Key(CurveInfo& info, std::uint32_t i) {
    return Tarvel::CurveWriter::Of(info).GetPointAt(i);
  }
  void Press(CPoint p, bool control = false) { editor.Press(p, control, shift); }
  void Move(CPoint p) { editor.Move(p, shift); }
  void Release(CPoint p) { editor.Release(p, true); }
  bool Sent(int code) const { return std::find(view.codes.begin(), view.codes.end(), code) != view.codes.end(); }

  FakeView view;
  GraphEditor editor{shown, view};
  bool shift = false;
};

TEST_F(GraphEditing, PicksTheKeyOfTheFirstShownCurveNinePixelsAwayButNotTen) {
  CurveInfo& c = Add({{0, 0}, {10, 5}, {20, 0}});
  const CPoint key = AtKey(c, 1);
  for (const CPoint miss : {CPoint(key.x + 10, key.y), CPoint(key.x, key.y - 10), CPoint(key.x - 10, key.y + 3)}) {
    Press(miss);
    EXPECT_EQ(editor.CurrentPoint(), nullptr);
    EXPECT_EQ(editor.iDragState, GraphEditor::kDragRubberBand) << "a miss starts a rubber band";
    EXPECT_FALSE(Sent(Ids::GraphNotify_CurveWillChange));
    Release(miss);
  }
  Press(CPoint(key.x + 9, key.y - 9));
  EXPECT_EQ(editor.CurrentPoint(), Key(c, 1));
  EXPECT_FLOAT_EQ(editor.fCurrentPointX, 10.0f);
  EXPECT_EQ(Selected(c), (std::vector<bool>{false, true, false}));
  EXPECT_EQ(editor.iDragState, GraphEditor::kDragFrames);
  // The first shown curve that is not filtered wins a hit.
  CurveInfo& filtered = Add({{30, -5}});
  CurveInfo& a = Add({{30, -5}});
  CurveInfo& b = Add({{30, -5}});
  filtered.bFiltered = true;
  Press(AtKey(b, 0));
  EXPECT_EQ(editor.CurrentPoint(), Key(a, 0));
  EXPECT_TRUE(a.bSelected);
  EXPECT_FALSE(b.bSelected || filtered.bSelected);
}

TEST_F(GraphEditing, PressesKeepReplaceOrExtendTheSelection) {
  CurveInfo& c = Add({{0, 0}, {2, 1}, {4, 2}, {6, 3}, {8, 4}});
  CurveInfo& other = Add({{0, -10}, {30, -10}});
  Select(c, {1, 2, 3});
  Select(other, {1});
  Press(AtKey(c, 2));
  EXPECT_EQ(Selected(c), (std::vector<bool>{false, true, true, true, false})) << "a selected key keeps the selection";
  EXPECT_TRUE(other.bSelected);
  EXPECT_FALSE(Sent(Ids::GraphNotify_SelectionChanged));
  Release(AtKey(c, 2));
  Press(AtKey(c, 4), true);
  EXPECT_EQ(Selected(c), (std::vector<bool>{false, true, true, true, true})) << "Ctrl adds the key";
  EXPECT_TRUE(other.bSelected);
  EXPECT_FLOAT_EQ(shown.fSelectionBegin, 2.0f);
  EXPECT_FLOAT_EQ(shown.fSelectionEnd, 30.0f);
  Release(AtKey(c, 4));
  view.codes.clear();
  Press(AtKey(c, 0));
  EXPECT_EQ(Selected(c), (std::vector<bool>{true, false, false, false, false})) << "a plain press replaces it";
  EXPECT_FALSE(other.bSelected);
  EXPECT_EQ(other.pCurve->GetSelectPointsCount(), 0u);
  EXPECT_TRUE(Sent(Ids::GraphNotify_SelectionChanged));
  EXPECT_FLOAT_EQ(shown.fSelectionBegin, 0.0f);
  EXPECT_FLOAT_EQ(shown.fSelectionEnd, 0.0f);
}

TEST_F(GraphEditing, PickingAKeyMakesItCurrentAndAClickOnItThatMovesNothingLetsItGo) {
  CurveInfo& c = Add({{0, 0}, {10, 5}});
  Press(AtKey(c, 1));
  EXPECT_EQ(view.codes, (std::vector<int>{Ids::GraphNotify_SelectionChanged, Ids::GraphNotify_CurrentFrame,
                                          Ids::GraphNotify_CurrentValue, Ids::GraphNotify_CurveWillChange}));
  EXPECT_EQ(view.crossHair, std::make_pair(10.0f, 5.0f));
  EXPECT_TRUE(view.crossHairShown);
  EXPECT_TRUE(view.selectionShown);
  EXPECT_EQ(view.selection, std::make_pair(10.0f, 10.0f));
  Release(AtKey(c, 1));
  Press(AtKey(c, 1));
  EXPECT_EQ(editor.CurrentPoint(), Key(c, 1)) << "a press on the current key drags it";
  Move(At(12, 5));
  Release(At(12, 5));
  EXPECT_EQ(editor.CurrentPoint(), Key(c, 1)) << "a drag keeps it current";
  Press(AtKey(c, 1));
  Release(AtKey(c, 1));
  EXPECT_EQ(editor.CurrentPoint(), nullptr) << "a click that moves nothing lets it go";
  EXPECT_EQ(editor.fCurrentPointX, GraphEditor::kNoCurrentFrame);
  EXPECT_TRUE(Key(c, 1)->bSelected) << "the key stays selected";
}

TEST_F(GraphEditing, AValueMoveOfAKeySharingItsFrameTellsTheViewTheFramesOutToItsNeighboursInFrame) {
  // The track plays the last key of frame 10, so the segment from frame 0 changes with it.
  CurveInfo& c = Add({{0, 0}, {10, 0}, {10, 5}, {20, 3}});
  editor.iEditMode = GraphEditor::kDragValues;
  Press(At(9.5, 6));
  Move(At(20.5, 2));
  Release(At(20.5, 2));
  ASSERT_EQ(Selected(c), (std::vector<bool>{false, false, true, true}));
  view.edits.clear();
  Press(AtKey(c, 3));
  Move(At(20, 6));
  ASSERT_FLOAT_EQ(Key(c, 2)->y, 8.0f);
  ASSERT_EQ(view.edits.size(), 1u);
  EXPECT_EQ(std::make_pair(view.edits[0].firstFrame, view.edits[0].lastFrame), std::make_pair(0.0f, 20.0f));
}

TEST_F(GraphEditing, FrameMovesLandOnWholeFramesValueMovesSnapToATenthOfTheGraduationShiftMovesBoth) {
  CurveInfo& c = Add({{0, 0}, {10, 0}, {20, 0}});
  Press(AtKey(c, 1));
  Move(At(13.6, 0));
  EXPECT_FLOAT_EQ(Key(c, 1)->x, 14.0f);
  ASSERT_EQ(view.edits.size(), 1u);
  EXPECT_EQ(std::make_pair(view.edits[0].firstFrame, view.edits[0].lastFrame), std::make_pair(0.0f, 20.0f))
      << "the frames the key left and reached, out to its neighbours";
  Move(At(15.5, 0));
  EXPECT_FLOAT_EQ(Key(c, 1)->x, 15.0f) << "exact halves go down";
  editor.bSnap = false;
  Move(At(16.7, 0));
  EXPECT_FLOAT_EQ(Key(c, 1)->x, 17.0f) << "whole frames without snap too";
  EXPECT_FLOAT_EQ(Key(c, 1)->y, 0.0f);
  EXPECT_FLOAT_EQ(shown.fSelectionBegin, 17.0f);
  shift = true;  // both directions while Shift is held, back to frames only without it
  Move(At(14, 3));
  EXPECT_EQ(editor.iDragState, GraphEditor::kDragBoth);
  EXPECT_EQ(std::make_pair(Key(c, 1)->x, Key(c, 1)->y), std::make_pair(14.0f, 3.0f));
  shift = false;
  Move(At(16, 7));
  EXPECT_EQ(editor.iDragState, GraphEditor::kDragFrames);
  EXPECT_EQ(std::make_pair(Key(c, 1)->x, Key(c, 1)->y), std::make_pair(16.0f, 3.0f)) << "the value stays";
  Release(At(16, 7));

  editor.iEditMode = GraphEditor::kDragValues;
  editor.bSnap = true;
  Press(AtKey(c, 2));
  Move(At(20, 3.3));
  EXPECT_FLOAT_EQ(Key(c, 2)->y, 3.5f);
  Move(At(20, 3.2));
  EXPECT_FLOAT_EQ(Key(c, 2)->y, 3.0f);
  EXPECT_FLOAT_EQ(Key(c, 2)->x, 20.0f) << "a value move keeps the frame";
  editor.bSnap = false;
  Move(At(20, 3.2));
  EXPECT_NEAR(Key(c, 2)->y, 3.2f, 1e-4);
  EXPECT_EQ(Values(c)[1], 3.0f);
}

TEST_F(GraphEditing, FalloffPullsKeysWithTheSquareOfTheirDistance) {
  std::vector<std::pair<float, float>> points;
  for (int f = 0; f <= 12; ++f) points.emplace_back(static_cast<float>(f), 0.0f);
  CurveInfo& c = Add(points);
  editor.iEditMode = GraphEditor::kDragValues;
  editor.SetFalloffBefore(4.0f);
  Press(AtKey(c, 8));
  EXPECT_NEAR(Key(c, 7)->weight, 1.0f - 0.8f * 0.8f, 1e-5);
  Move(At(8, 10));
  EXPECT_FLOAT_EQ(Key(c, 8)->y, 10.0f);
  for (int d = 1; d <= 4; ++d) EXPECT_NEAR(Key(c, 8 - d)->y, 10.0f * std::pow(1.0f - d / 5.0f, 2.0f), 1e-4) << d;
  for (std::uint32_t i : {0u, 3u, 9u, 12u}) EXPECT_FLOAT_EQ(Key(c, i)->y, 0.0f) << "key " << i;
  editor.SetFalloffAfter(1.0f);
  EXPECT_NEAR(Key(c, 9)->weight, 0.75f, 1e-6);
  editor.SetFalloff(false);
  EXPECT_FLOAT_EQ(Key(c, 9)->weight, 1.0f);
  EXPECT_FLOAT_EQ(Key(c, 7)->weight, 1.0f);
  // Without falloff every key between the selected ones takes the value.
  Release(At(8, 10));
  c.pCurve->SelectAllPoints(false);
  CurveInfo& d = Add({{0, 1}, {2, 2}, {4, 3}, {6, 4}, {8, 5}}, "Other");
  Select(d, {3});
  Press(AtKey(d, 1), true);
  Move(At(2, 7));
  EXPECT_EQ(Values(d), (std::vector<float>{1, 7, 7, 7, 5}));
}

TEST_F(GraphEditing, AValueMoveOfManyKeysMovesEveryKeyAndReportsEveryCurve) {
  editor.iEditMode = GraphEditor::kDragValues;
  editor.SetFalloffBefore(3.0f);
  editor.SetFalloffAfter(3.0f);
  // Curves of unequal lengths, each with its own run of moved keys.
  constexpr int kCurves = 7;
  std::vector<CurveInfo*> all;
  std::vector<std::uint64_t> revisions;
  for (int c = 0; c < kCurves; ++c) {
    std::vector<std::pair<float, float>> points;
    for (int f = 0; f < 5'000 + 1'000 * c; ++f) points.emplace_back(static_cast<float>(f), 0.0f);
    all.push_back(&Add(points, "Bone" + std::to_string(c)));
  }
  // A rubber band over frames 10 to 4000 of every curve, then a press on one of its keys.
  editor.Press(At(9.5, 5), false, false);
  editor.Move(At(4'000.5, -5), false);
  editor.Release(At(4'000.5, -5), true);
  editor.Press(AtKey(*all[3], 700), false, false);
  for (CurveInfo* info : all) revisions.push_back(info->pCurve->GetRevision());
  editor.Move(At(700, 4), false);
  ASSERT_EQ(view.edits.size(), all.size()) << "one report per moved curve";
  for (std::size_t c = 0; c < all.size(); ++c) {
    SCOPED_TRACE(c);
    const std::vector<float> values = Values(*all[c]);
    for (std::size_t i = 0; i < values.size(); ++i) {
      // Falloff keys take the pull with the square of their distance.
      const int d = i < 10 ? 10 - static_cast<int>(i) : i > 4'000 ? static_cast<int>(i) - 4'000 : 0;
      const float pull = d == 0 ? 1.0f : d > 3 ? 0.0f : std::pow(1.0f - d / 4.0f, 2.0f);
      ASSERT_NEAR(values[i], 4.0f * pull, 1e-4) << "key " << i;
    }
    EXPECT_EQ(view.edits[c].curve, all[c]->pCurve.get());
    EXPECT_EQ(view.edits[c].before, revisions[c]);
    EXPECT_EQ(view.edits[c].after, all[c]->pCurve->GetRevision());
    EXPECT_FLOAT_EQ(view.edits[c].firstFrame, 6.0f);
    EXPECT_FLOAT_EQ(view.edits[c].lastFrame, 4'004.0f);
  }
}

TEST_F(GraphEditing, AFrameMoveBelowFrameZeroLeavesThatCurveAlone) {
  CurveInfo& a = Add({{1, -5}, {5, -5}});
  CurveInfo& b = Add({{4, 5}, {10, 5}});
  Select(a, {0});
  Press(AtKey(b, 1), true);
  Move(At(7, 5));
  EXPECT_EQ(Frames(a), (std::vector<float>{1, 5}));
  EXPECT_EQ(Frames(b), (std::vector<float>{4, 7}));
  Move(At(12, 5));
  EXPECT_EQ(Frames(a), (std::vector<float>{5, 6})) << "once it can, the selected key moves by the same amount";
}

TEST_F(GraphEditing, AFrameMovePastTheLastFrameAClipFileHoldsStopsAtIt) {
  CurveInfo& c = Add({{999'990, 5}, {999'995, 5}});
  Press(AtKey(c, 1));
  Move(At(1'000'000, 5));
  EXPECT_EQ(Frames(c), (std::vector<float>{999'990, 1'000'000}));
  Move(At(3'000'000, 5));
  EXPECT_EQ(Frames(c), (std::vector<float>{999'990, 1'000'000})) << "the key stays where it was";
}

TEST_F(GraphEditing, ABlockDraggedOverKeysCoversThemAndAPressElsewhereDeletesThem) {
  CurveInfo& c = Add({{0, 0}, {2, 0}, {4, 0}, {6, 0}, {8, 0}});
  Select(c, {0});
  Press(AtKey(c, 1), true);
  Move(At(5, 0));
  EXPECT_EQ(Frames(c), (std::vector<float>{3, 4, 5, 6, 8}));
  EXPECT_TRUE(Key(c, 1)->bHidden) << "frame 4 lies inside the moved block";
  EXPECT_FALSE(Key(c, 3)->bHidden);
  // The block runs from its first to its last selected key: the covered key travels with it.
  Move(At(7, 0));
  EXPECT_EQ(Frames(c), (std::vector<float>{5, 6, 6, 7, 8}));
  EXPECT_TRUE(Key(c, 1)->bHidden && Key(c, 2)->bHidden);
  EXPECT_FALSE(Key(c, 4)->bHidden);
  Release(At(7, 0));
  EXPECT_EQ(Frames(c), (std::vector<float>{5, 6, 6, 7, 8})) << "no selected key shares a frame: kept";
  Press(At(30, -20));
  EXPECT_EQ(Frames(c), (std::vector<float>{5, 7, 8}));
}

TEST_F(GraphEditing, ReleasingAKeyOnAnotherKeysFrameRestoresTheCurve) {
  CurveInfo& c = Add({{0, 0}, {3, 2}, {6, 4}});
  CurveInfo& untouched = Add({{0, -8}, {9, -8}});
  Press(AtKey(c, 1));
  Move(At(6, 2));
  ASSERT_EQ(Frames(c), (std::vector<float>{0, 6, 6}));
  view.codes.clear();
  Release(At(6, 2));
  ASSERT_FALSE(view.codes.empty());
  EXPECT_EQ(view.codes.front(), Ids::GraphNotify_CurveChanged);
  EXPECT_EQ(Frames(c), (std::vector<float>{0, 3, 6}));
  EXPECT_EQ(Values(c), (std::vector<float>{0, 2, 4}));
  EXPECT_EQ(editor.CurrentPoint(), Key(c, 1)) << "the current key is the restored one";
  EXPECT_FLOAT_EQ(shown.fSelectionBegin, 3.0f);
  EXPECT_EQ(Frames(untouched), (std::vector<float>{0, 9}));
  EXPECT_EQ(view.takenBack, (std::vector<const CurveInfo*>{&c})) << "the colliding curve alone";
  Press(AtKey(c, 2));
  Move(At(3, 4));
  Release(At(3, 4));
  EXPECT_EQ(Frames(c), (std::vector<float>{0, 3, 6})) << "a key moved back onto an earlier key's frame";
}

// A collision takes back this gesture's move, never an earlier drag's: the view puts back
// what the gesture's action found, and only a release that ends a press looks for collisions.
TEST_F(GraphEditing, ACollisionTakesBackOnlyTheGestureThatCausedIt) {
  CurveInfo& c = Add({{0, 0}, {3, 2}, {6, 4}});
  Press(AtKey(c, 1));
  Move(At(4, 2));
  Release(At(4, 2));
  ASSERT_EQ(Frames(c), (std::vector<float>{0, 4, 6})) << "an earlier frame drag, kept";

  editor.iEditMode = GraphEditor::kDragValues;
  Press(AtKey(c, 1));
  shift = true;
  Move(At(6, 2));
  ASSERT_EQ(Frames(c), (std::vector<float>{0, 6, 6}));
  Release(At(6, 2));
  EXPECT_EQ(Frames(c), (std::vector<float>{0, 4, 6})) << "Shift during a value drag";

  shift = false;
  Press(AtKey(c, 1));
  shift = true;
  Move(At(6, 2));
  shift = false;
  Move(At(6, 2));
  Release(At(6, 2));
  EXPECT_EQ(Frames(c), (std::vector<float>{0, 4, 6})) << "Shift let go before the release";

  // Two keys on one frame without a gesture of the graph, as a paste leaves them, and a
  // release that ends no press.
  editor.iEditMode = GraphEditor::kDragFrames;
  Press(AtKey(c, 1));
  Release(AtKey(c, 1));
  Key(c, 2)->x = 4;
  view.codes.clear();
  Release(At(4, 2));
  EXPECT_EQ(Frames(c), (std::vector<float>{0, 4, 4}));
  EXPECT_TRUE(view.codes.empty());
}

TEST_F(GraphEditing, ReleaseAfterAMoveReportsTheChangeFirstThenTheEdits) {
  CurveInfo& c = Add({{0, 0}, {10, 0}});
  editor.iEditMode = GraphEditor::kDragValues;
  Press(AtKey(c, 1));
  Move(At(10, 4));
  view.codes.clear();
  Release(At(10, 4));
  EXPECT_EQ(view.codes,
            (std::vector<int>{Ids::GraphNotify_CurveChanged, Ids::GraphNotify_EnableValue, Ids::GraphNotify_EnableFrame,
                              Ids::GraphNotify_CurrentFrame, Ids::GraphNotify_CurrentValue}));
  EXPECT_EQ(editor.iDragState, GraphEditor::kDragValues) << "the gesture stays for the panel's edits";
}

TEST_F(GraphEditing, TheEditsMoveTheSelectionInTheChosenMode) {
  CurveInfo& c = Add({{0, 0}, {10, 0}, {20, 0}});
  Press(AtKey(c, 1));
  Release(AtKey(c, 1));
  editor.SetTargetFrame(12.0f);
  EXPECT_FLOAT_EQ(Key(c, 1)->x, 10.0f) << "outside an action of the clip's core nothing changes";
  // The panel opens an action around a typed number.
  view.Notify(Ids::GraphNotify_CurveWillChange);
  editor.SetTargetFrame(12.0f);
  EXPECT_FLOAT_EQ(Key(c, 1)->x, 12.0f);
  editor.SetTargetValue(6.0f, false);
  EXPECT_FLOAT_EQ(Key(c, 1)->y, 0.0f) << "frames mode: the value edit moves nothing";
  editor.iEditMode = GraphEditor::kDragValues;
  editor.SetTargetValue(6.0f, false);
  EXPECT_FLOAT_EQ(Key(c, 1)->y, 6.0f);
  EXPECT_EQ(view.crossHair, std::make_pair(12.0f, 6.0f));
}

TEST_F(GraphEditing, ARubberBandSelectsTheKeysInsideAndCurvesCrossingIt) {
  CurveInfo& a = Add({{0, 0}, {5, 5}, {10, 0}, {15, 5}});
  CurveInfo& b = Add({{0, -10}, {20, -10}});
  CurveInfo& crossing = Add({{0, -10}, {20, 10}});
  Press(At(3, 7));
  Move(At(8, -1));
  EXPECT_EQ(Selected(a), (std::vector<bool>{false, true, false, false}));
  view.codes.clear();
  Release(At(11, -1));
  EXPECT_EQ(Selected(a), (std::vector<bool>{false, true, true, false}));
  EXPECT_FALSE(b.bSelected);
  EXPECT_TRUE(crossing.bSelected) << "its segment crosses the band";
  EXPECT_EQ(crossing.pCurve->GetSelectPointsCount(), 0u);
  EXPECT_EQ(view.selection, std::make_pair(5.0f, 10.0f));
  EXPECT_EQ(editor.CurrentPoint(), Key(a, 1)) << "the first selected key becomes current";
  // Six frames selected: the frame edit cannot show them.
  EXPECT_EQ(view.codes, (std::vector<int>{Ids::GraphNotify_SelectionChanged, Ids::GraphNotify_EnableValue,
                                          Ids::GraphNotify_DisableFrame, Ids::GraphNotify_ClearValue}));
  Press(At(20, -15));
  view.codes.clear();
  Release(At(25, -20));
  EXPECT_FALSE(a.bSelected);
  EXPECT_EQ(a.pCurve->GetSelectPointsCount(), 0u);
  EXPECT_FALSE(shown.HasSelectionRange());
  EXPECT_FALSE(view.selectionShown);
  EXPECT_EQ(view.codes, (std::vector<int>{Ids::GraphNotify_SelectionChanged, Ids::GraphNotify_ClearFrame,
                                          Ids::GraphNotify_ClearValue, Ids::GraphNotify_DisableFrame,
                                          Ids::GraphNotify_DisableValue}));
}

TEST_F(GraphEditing, TheSelectionRangeCountsSelectedFrames) {
  CurveInfo& a = Add({{0, 0}, {2, 0}, {6, 0}});
  EXPECT_EQ(editor.UpdateSelectionRange(), 0);
  Select(a, {1});
  EXPECT_EQ(editor.UpdateSelectionRange(), 1);
  a.pCurve->SelectPointAt(2, true);
  shown.ClearSelectionRange();
  EXPECT_EQ(editor.UpdateSelectionRange(), 5);
  a.bFiltered = true;
  shown.ClearSelectionRange();
  EXPECT_EQ(editor.UpdateSelectionRange(), 0);
}

}  // namespace

TEST_F(GraphEditing, DraggingAHandleTurnsItsKeysTangentAndShiftBreaksIt) {
  CurveInfo& c = Add({{0, 0}, {6, 3}, {12, 0}});
  EditorToolkit::Curve2& curve = Tarvel::CurveWriter::Of(c);
  curve.SetInterpolation(EditorToolkit::Curve2::Cubic);
  curve.SetFrameRate(10.0f);
  Press(AtKey(c, 1));
  Release(AtKey(c, 1));
  // The handles lie a third of the way to the neighbours (2 frames), along the flat tangent.
  Press(At(8, 3));
  EXPECT_EQ(editor.iDragState, GraphEditor::kDragHandle) << "a handle is picked before anything else";
  Move(At(8, 5));
  Release(At(8, 5));
  // Up 2 over 2 frames: 1 a frame, 10 a second, on both sides of a key that was Free.
  EXPECT_FLOAT_EQ(curve.GetTangentsAt(1)->in[0], 10.0f);
  EXPECT_FLOAT_EQ(curve.GetTangentsAt(1)->out[0], 10.0f);
  EXPECT_EQ(curve.GetTangentsAt(1)->type, EngineCore::TangentType::Free);
  EXPECT_FLOAT_EQ(Key(c, 1)->y, 3.0f) << "the key stays where it was";
  // Shift breaks the tangent: the in-handle (now at frame 4, value 1) turns alone.
  shift = true;
  Press(At(4, 1));
  Move(At(4, 3));
  Release(At(4, 3));
  EXPECT_FLOAT_EQ(curve.GetTangentsAt(1)->in[0], 0.0f);
  EXPECT_FLOAT_EQ(curve.GetTangentsAt(1)->out[0], 10.0f);
  EXPECT_EQ(curve.GetTangentsAt(1)->type, EngineCore::TangentType::Broken);
  // Keys closer than the handles' spacing show none: a press there picks the key.
  shift = false;
  CurveInfo& dense = Add({{20, 0}, {21, 1}, {22, 0}});
  Tarvel::CurveWriter::Of(dense).SetInterpolation(EditorToolkit::Curve2::Cubic);
  Press(AtKey(dense, 1));
  Release(AtKey(dense, 1));
  Press(At(21.3, 1));
  EXPECT_NE(editor.iDragState, GraphEditor::kDragHandle);
}

TEST_F(GraphEditing, KeysWhoseTangentsFollowTheirNeighboursFollowThemWhileTheyMove) {
  editor.iEditMode = GraphEditor::kDragValues;
  CurveInfo& c = Add({{0, 0}, {6, 3}, {12, 6}});
  EditorToolkit::Curve2& curve = Tarvel::CurveWriter::Of(c);
  curve.SetInterpolation(EditorToolkit::Curve2::Cubic);
  curve.SetFrameRate(10.0f);
  curve.SetTangentsAt(1, {{}, {}, EngineCore::TangentType::AutoClamped});
  editor.bSnap = false;
  editor.SetFalloff(false);
  Press(AtKey(c, 2));
  // Rising 3 and then 6 over 6 frames at 10 a second: slopes of 5 and 10 a second, their mean.
  Move(At(12, 9));
  EXPECT_FLOAT_EQ(Key(c, 2)->y, 9.0f);
  EXPECT_FLOAT_EQ(curve.GetTangentsAt(1)->out[0], 7.5f);
  ASSERT_FALSE(view.edits.empty());
  EXPECT_LE(view.edits.back().firstFrame, 0.0f) << "the middle key's segments are drawn again, back to its neighbour";
  // A peak now: Auto Clamped flattens it, before the release.
  Move(At(12, 0));
  EXPECT_FLOAT_EQ(curve.GetTangentsAt(1)->out[0], 0.0f);
  Release(At(12, 0));
}
