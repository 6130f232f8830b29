#include <vector>

#include <gtest/gtest.h>

#include "curves/ClipUndoHistory.h"
#include "curves/CurveSelection.h"

using Tarvel::ClipUndoHistory;
using Tarvel::CurveInfo;

namespace {

// Curves A and B in the track list, only A selected, each a single point whose value names
// the state it is in.
class UndoHistory : public ::testing::Test {
 protected:
  UndoHistory() : a(1, 1, 0), b(1, 1, 1) {
    a.pCurve->AddPoint({0, 0}, false);
    b.pCurve->AddPoint({0, 0}, false);
    a.bSelected = true;
    rows.AddCurve(&a, "A");
    rows.AddCurve(&b, "B");
  }

  static float Value(const CurveInfo& curve) { return curve.pCurve->GetPointAt(0)->y; }
  static void Set(CurveInfo& curve, float value) { curve.pCurve->GetPointAt(0)->y = value; }

  // A tool's protocol: record the curves never recorded, change them, record the step.
  void Tool(std::initializer_list<std::pair<CurveInfo*, float>> changes) {
    for (const auto& [curve, value] : changes) {
      if (curve->iHistoryCount == 0) {
        history.RecordCurve(curve, "Tool");
        history.AdvanceStep();
      }
    }
    for (const auto& [curve, value] : changes) Set(*curve, value);
    history.RecordStep("Tool", false, &rows);
  }
  bool Undo() {
    return history.Undo([this](CurveInfo& c) { restored.push_back(&c); });
  }
  bool Redo() {
    return history.Redo([this](CurveInfo& c) { restored.push_back(&c); });
  }

  CurveInfo a;
  CurveInfo b;
  Tarvel::CurveSelection rows;
  ClipUndoHistory history;
  std::vector<CurveInfo*> restored;
};

}  // namespace

TEST_F(UndoHistory, FollowsTheWorkedExampleStepByStep) {
  Tool({{&a, 1}});
  EXPECT_EQ(history.GetStep(), 2u);
  ASSERT_EQ(history.GetSnapshotCount(), 2u);
  EXPECT_EQ(history.GetSnapshot(0).step, 1u);
  EXPECT_EQ(history.GetSnapshot(1).step, 0u);
  EXPECT_EQ(a.iHistoryCount, 2u);

  EXPECT_TRUE(Undo());
  EXPECT_EQ(history.GetStep(), 1u);
  EXPECT_EQ(Value(a), 0.0f) << "the snapshot tagged 0 holds A's old points";
  EXPECT_EQ(restored, std::vector<CurveInfo*>{&a});

  EXPECT_TRUE(Redo());
  EXPECT_EQ(history.GetStep(), 2u);
  EXPECT_EQ(Value(a), 1.0f);
  EXPECT_EQ(a.iHistoryCount, 0u) << "2, then 1 after the undo, then 0 after the redo";

  Tool({{&a, 2}});
  EXPECT_EQ(history.GetStep(), 4u) << "A counts as unrecorded again: tagged 2 before, 3 after";
  EXPECT_TRUE(Undo());
  EXPECT_EQ(Value(a), 1.0f) << "undo restores the snapshot tagged 2";
}

TEST_F(UndoHistory, TwoNewCurvesAreUndoneOneAtATime) {
  b.bSelected = true;
  Tool({{&a, 1}, {&b, 1}});
  EXPECT_EQ(history.GetStep(), 3u);
  EXPECT_TRUE(Undo());
  EXPECT_EQ(Value(b), 0.0f);
  EXPECT_EQ(Value(a), 1.0f) << "the first undo restores B only (tag 1)";
  EXPECT_TRUE(Undo());
  EXPECT_EQ(Value(a), 0.0f) << "the second restores A (tag 0)";
}

TEST_F(UndoHistory, GraphDragOnRecordedCurvesAddsAnEmptyStep) {
  Tool({{&a, 1}});
  EXPECT_TRUE(Undo());
  EXPECT_TRUE(Redo());
  Tool({{&a, 2}});  // A is recorded now (history count 1)
  const std::size_t before = history.GetSnapshotCount();
  history.RecordStep("GUI_Message_k_Curve_WillChange", true, &rows);
  EXPECT_EQ(history.GetSnapshotCount(), before) << "nothing unrecorded to record";
  Set(a, 3);
  history.RecordStep("GUI_Message_k_Curve_Changed", false, &rows);
  restored.clear();
  EXPECT_TRUE(Undo());
  EXPECT_TRUE(restored.empty()) << "the first undo after the drag restores nothing";
  EXPECT_EQ(Value(a), 3.0f);
  EXPECT_TRUE(Undo());
  EXPECT_EQ(Value(a), 2.0f) << "the second undo takes the drag back";
}

TEST_F(UndoHistory, NothingToUndoOrRedoDoesNothingAndANewEditDiscardsTheUndoneSteps) {
  EXPECT_FALSE(Undo());
  EXPECT_EQ(history.GetStep(), 0u);
  Tool({{&a, 1}});
  EXPECT_FALSE(Redo());
  EXPECT_EQ(history.GetStep(), 2u);
  Tool({{&a, 2}});
  EXPECT_TRUE(Undo());
  EXPECT_EQ(Value(a), 1.0f);
  Tool({{&a, 5}});
  for (std::size_t i = 0; i < history.GetSnapshotCount(); ++i) {
    EXPECT_NE(history.GetSnapshot(i).points.front().y, 2.0f) << "the undone state is gone";
  }
  EXPECT_FALSE(Redo());
  EXPECT_TRUE(Undo());
  EXPECT_EQ(Value(a), 1.0f);
}

TEST_F(UndoHistory, StaleSnapshotsAreSkippedWhileTheStepStillMoves) {
  CurveInfo other(2, 1, 0);
  other.pCurve->AddPoint({0, 0}, false);
  other.bSelected = true;
  rows.AddCurve(&other, "Other");
  Tool({{&a, 1}, {&other, 1}});
  history.MarkStale(2);
  rows.RemoveChannel(2);
  Set(other, 9);
  restored.clear();
  EXPECT_TRUE(Undo());
  EXPECT_EQ(history.GetStep(), 2u);
  EXPECT_TRUE(restored.empty()) << "the only snapshot tagged 1 is the stale one";
  EXPECT_EQ(Value(other), 9.0f);
  EXPECT_TRUE(Undo());
  EXPECT_EQ(restored, std::vector<CurveInfo*>{&a});
}

TEST_F(UndoHistory, NoRowsOrAFullRingRecordNothingOnlyAFullRingAdvancesTheStep) {
  history.RecordStep("Nothing", false, nullptr);
  Tarvel::CurveSelection empty;
  history.RecordStep("Nothing", false, &empty);
  EXPECT_EQ(history.GetStep(), 0u);
  for (std::size_t i = 0; i < ClipUndoHistory::kCapacity; ++i) history.RecordCurve(&a, "Fill");
  ASSERT_EQ(history.GetSnapshotCount(), ClipUndoHistory::kCapacity);
  history.RecordStep("Full", true, &rows);
  EXPECT_EQ(history.GetStep(), 1u);
  EXPECT_EQ(history.GetSnapshotCount(), ClipUndoHistory::kCapacity);
  // Recording directly makes room by dropping the oldest, even for an unselected curve, which
  // is never recorded.
  history.RecordCurve(&b, "Direct");
  EXPECT_EQ(history.GetSnapshotCount(), ClipUndoHistory::kCapacity - 1);
  EXPECT_EQ(b.iHistoryCount, 0u);
}
