#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ClipBuilder.h"
#include "ClipTestFiles.h"
#include "CurveWriter.h"
#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_MainFrame.h"
#include "EngineCore/AnimTrack.h"
#include "LogCapture.h"
#include "RecordingModule.h"
#include "TempFolder.h"
#include "curves/ClipEditCore.h"

using EngineCore::AnimTrack;
using Tarvel::ClipEditCore;
using Tarvel::CurveInfo;

namespace {

// A core over a clip built for the test, in a host whose module manager a listener joins.
class EditCore : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EditorCore::GUI_App::EnsureForTests(); }
  void SetUp() override { mainFrame.GetModuleManager()->RegisterModule(&listener); }
  void TearDown() override { mainFrame.GetModuleManager()->UnregisterModule(&listener); }

  void Attach(std::initializer_list<const char*> shownChannels = {}) {
    builder.Clip().ComputeKeyFrameRange();
    core.AttachClip(&builder.Clip());
    for (const char* name : shownChannels) core.ShowChannel(ClipBuilder::Key(name));
  }
  CurveInfo& Curve(const char* channel, std::uint32_t track, std::uint32_t component) {
    for (const auto& curve : *core.GetChannelCurves(ClipBuilder::Key(channel))) {
      if (curve->iTrackType == track && curve->iComponent == component) return *curve;
    }
    throw std::runtime_error("no such curve");
  }
  // Moves every point of the channel's curves by dx frames.
  void Shift(const char* channel, float dx) {
    for (const auto& curve : *core.GetChannelCurves(ClipBuilder::Key(channel))) {
      Tarvel::CurveWriter::Of(*curve).MovePointsAt(0, curve->pCurve->GetPointCount() - 1, dx);
    }
  }
  const EngineCore::AnimCurve& Keys(const char* channel) {
    return *core.GetClip()->GetChannel(ClipBuilder::Key(channel))->GetCurve(AnimTrack::Translation);
  }

  EditorCore::GUI_MainFrame mainFrame;
  TestSupport::RecordingModule listener;
  ClipBuilder builder;
  ClipEditCore core;
};

}  // namespace

TEST_F(EditCore, TellsModulesOnlyWhenBothEndsOfTheRangeMove) {
  builder.Vectors("A", AnimTrack::Translation, {{10, {0, 0, 0}}, {20, {1, 1, 1}}});
  builder.Vectors("B", AnimTrack::Translation, {{10, {0, 0, 0}}, {20, {2, 2, 2}}});
  Attach();
  Shift("A", 5.0f);
  core.WriteBackAllChannels();
  EXPECT_EQ(builder.Clip().GetLastKeyFrame(), 25u);
  Shift("B", -5.0f);
  core.WriteBackAllChannels();
  EXPECT_EQ(builder.Clip().GetFirstKeyFrame(), 5u);
  EXPECT_EQ(listener.Count(3526), 0) << "one end at a time tells no one";
  Shift("A", 10.0f);
  Shift("B", 10.0f);
  core.WriteBackAllChannels();
  EXPECT_EQ(listener.Count(3526), 1);
}

TEST_F(EditCore, UndoAndRedoWriteTheRecordedKeysBackAndTellWhenTheRangeMoves) {
  builder.Vectors("A", AnimTrack::Translation, {{0, {0, 0, 0}}, {10, {1, 1, 1}}});
  Attach({"A"});
  // A tool moving all three curves of A by 5 frames, twice.
  auto shiftTool = [this]() {
    core.BeginEdit("Shift");
    for (CurveInfo* curve : {&Curve("A", 1, 0), &Curve("A", 1, 1), &Curve("A", 1, 2)}) core.Touch(curve);
    Shift("A", 5.0f);
    EXPECT_TRUE(core.EndEdit());
  };
  shiftTool();
  shiftTool();
  EXPECT_EQ(listener.Count(3526), 2);
  EXPECT_EQ(Keys("A").GetKeyFrame(0), 10u);
  EXPECT_TRUE(core.Undo());
  EXPECT_EQ(Keys("A").GetKeyFrame(0), 5u) << "written back";
  EXPECT_EQ(listener.Count(3526), 3) << "one undo put all three curves back to 5..15";
  EXPECT_TRUE(core.Redo());
  EXPECT_EQ(Keys("A").GetKeyFrame(0), 10u);
  EXPECT_FALSE(core.Redo());
}

TEST_F(EditCore, ACurveIsWritableOnlyThroughTheActionThatTouchedIt) {
  builder.Vectors("A", AnimTrack::Translation, {{0, {0, 0, 0}}, {10, {1, 1, 1}}});
  Attach({"A"});
  CurveInfo& x = Curve("A", 1, 0);
  EXPECT_EQ(core.Touch(&x), nullptr) << "no action in progress";
  core.BeginEdit("Lift");
  EXPECT_EQ(core.Edited(&x), nullptr) << "not touched yet";
  EditorToolkit::Curve2* edited = core.Touch(&x);
  ASSERT_NE(edited, nullptr);
  EXPECT_EQ(core.Edited(&x), edited);
  edited->GetPointAt(1)->y = 4.0f;
  ASSERT_TRUE(core.EndEdit());
  EXPECT_EQ(core.Edited(&x), nullptr) << "the action ended";
  EXPECT_FLOAT_EQ(Keys("A").GetVector3Key(1).x, 4.0f) << "written back";
  ASSERT_TRUE(core.Undo());
  EXPECT_FLOAT_EQ(x.pCurve->GetPointAt(1)->y, 1.0f);
}

TEST_F(EditCore, EditsUndoneAndReplacedAgainAndAgainLeaveTheEarlierStepsUndoable) {
  builder.Vectors("A", AnimTrack::Translation, {{0, {0, 0, 0}}, {10, {1, 1, 1}}});
  Attach({"A"});
  CurveInfo& x = Curve("A", 1, 0);
  core.BeginEdit("Lift");
  core.Touch(&x);
  Tarvel::CurveWriter::Of(x).GetPointAt(0)->y = 3.0f;
  ASSERT_TRUE(core.EndEdit());
  // An undone step holds the points it took away: more than it held when it was made.
  for (int tries = 0; tries < 300; ++tries) {
    core.BeginEdit("Add");
    core.Touch(&x);
    for (float frame : {2.0f, 4.0f, 6.0f}) Tarvel::CurveWriter::Of(x).AddPoint({frame, 1.0f}, false);
    ASSERT_TRUE(core.EndEdit());
    ASSERT_TRUE(core.Undo());
  }
  EXPECT_EQ(core.GetHistory().GetStepCount(), 2u);
  ASSERT_TRUE(core.Undo()) << "the lift is still in the history";
  EXPECT_EQ(Keys("A").GetVector3Key(0).x, 0.0f);
}

// A flip turns -0 into 0: the same number, but another key in the file, which undo gives back.
TEST_F(EditCore, AZeroThatOnlyChangesItsSignIsAnEditAndUndoesExactly) {
  builder.Vectors("A", AnimTrack::Translation, {{0, {-0.0f, 0, 0}}, {10, {1, 1, 1}}});
  Attach({"A"});
  CurveInfo& x = Curve("A", 1, 0);
  core.BeginEdit("Flip");
  core.TouchValues(&x, 0, 0);
  Tarvel::CurveWriter::Of(x).GetPointAt(0)->y = 0.0f;
  ASSERT_TRUE(core.EndEdit());
  EXPECT_FALSE(std::signbit(Keys("A").GetVector3Key(0).x));
  ASSERT_TRUE(core.Undo());
  EXPECT_TRUE(std::signbit(Keys("A").GetVector3Key(0).x));
}

// A curve changed without a step (a fault elsewhere) no longer holds the part a step swaps:
// the undo leaves it alone and says so, instead of reaching past its points.
TEST_F(EditCore, AnUndoThatNoLongerFitsItsCurveLeavesItAndSaysSo) {
  builder.Vectors("A", AnimTrack::Translation, {{0, {0, 0, 0}}, {10, {1, 1, 1}}});
  Attach({"A"});
  CurveInfo& x = Curve("A", 1, 0);
  core.BeginEdit("Add");
  core.Touch(&x);
  for (float frame : {12.0f, 14.0f, 16.0f}) Tarvel::CurveWriter::Of(x).AddPoint({frame, 1.0f}, false);
  ASSERT_TRUE(core.EndEdit());
  Tarvel::CurveWriter::Of(x).RemoveAllPoints();
  Tarvel::CurveWriter::Of(x).AddPoint({0.0f, 2.0f}, false);
  TestSupport::LogCapture log;
  EXPECT_TRUE(core.Undo());
  EXPECT_EQ(x.pCurve->GetPointCount(), 1u);
  EXPECT_EQ(log.Count(EngineCore::Log::Error, "no longer fits"), 1);
}

TEST_F(EditCore, AnEditThatWouldPassTheLastFrameAClipFileHoldsIsTakenBackAndToldToTheUser) {
  builder.Vectors("A", AnimTrack::Translation, {{0, {0, 0, 0}}, {10, {1, 1, 1}}});
  Attach({"A"});
  std::vector<std::string> told;
  core.SetRefusalSink([&told](const std::string& sentence) { told.push_back(sentence); });
  auto shiftAll = [this](float frames) {
    core.BeginEdit("Move");
    for (std::uint32_t c = 0; c < 3; ++c) core.Touch(&Curve("A", AnimTrack::Translation, c));
    Shift("A", frames);
    return core.EndEdit();
  };
  const std::size_t steps = core.GetHistory().GetStepCount();
  EXPECT_FALSE(shiftAll(3'000'000.0f));
  EXPECT_EQ(Curve("A", AnimTrack::Translation, 2).pCurve->GetPointAt(1)->x, 10.0f);
  EXPECT_EQ(Keys("A").GetKeyFrame(1), 10u);
  EXPECT_EQ(core.GetHistory().GetStepCount(), steps);
  EXPECT_FALSE(builder.Clip().IsModified());
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("1000000"), std::string::npos) << told[0];
  // Up to the last frame is an edit like any other.
  EXPECT_TRUE(shiftAll(999'990.0f));
  EXPECT_EQ(Keys("A").GetKeyFrame(1), 1'000'000u);
  EXPECT_EQ(told.size(), 1u);
}

TEST_F(EditCore, AClipThatComesWithUnsavedEditsStaysModifiedWhenEveryStepIsUndone) {
  builder.Vectors("A", AnimTrack::Translation, {{0, {0, 0, 0}}, {10, {1, 1, 1}}});
  builder.Clip().SetModified(true);
  Attach({"A"});
  core.BeginEdit("Move");
  core.Touch(&Curve("A", AnimTrack::Translation, 0));
  Shift("A", 2.0f);
  ASSERT_TRUE(core.EndEdit());
  ASSERT_TRUE(core.Undo());
  EXPECT_TRUE(builder.Clip().IsModified()) << "its file never held what it shows";
}

TEST_F(EditCore, ARemovedChannelLeavesTheSelectionAndComesBackWhole) {
  builder.Vectors("A", AnimTrack::Translation, {{0, {0, 0, 0}}, {10, {1, 1, 1}}});
  builder.Vectors("B", AnimTrack::Translation, {{0, {0, 0, 0}}, {10, {1, 1, 1}}});
  Attach({"A", "B"});
  ASSERT_TRUE(core.RemoveChannels({ClipBuilder::Key("A")}));
  EXPECT_EQ(core.GetChannelCurves(ClipBuilder::Key("A")), nullptr);
  EXPECT_EQ(core.GetSelection().GetCurves().size(), 3u) << "B's curves stay shown";
  EXPECT_TRUE(builder.Clip().IsModified());
  EXPECT_TRUE(core.Undo());
  EXPECT_TRUE(core.LastStepChangedChannels());
  EXPECT_EQ(builder.Clip().GetChannelKeyAt(0), ClipBuilder::Key("A")) << "back in its place";
  EXPECT_EQ(Keys("A").GetKeyFrame(1), 10u);
  EXPECT_EQ(Curve("A", 1, 0).pCurve->GetPointCount(), 2u);
  EXPECT_FALSE(builder.Clip().IsModified());
}

TEST_F(EditCore, RowsFollowTheLabelsIgnoringCaseAndTheFilterBoxes) {
  for (const char* name : {"arm", "Leg", "Back"}) builder.Vectors(name, AnimTrack::Translation, {{0, {0, 0, 0}}});
  builder.Rotations("Leg", {{0, {0, 0, 0}}});
  Attach({"Leg", "arm", "Back"});
  const Tarvel::CurveSelection& rows = core.GetSelection();
  ASSERT_EQ(rows.GetRowCount(), 12);
  EXPECT_EQ(rows.GetRowLabel(0), "arm");
  EXPECT_EQ(rows.GetRowLabel(3), "Back");
  EXPECT_EQ(rows.GetRowCurve(6)->iTrackType, AnimTrack::Translation) << "equal labels keep their order";
  EXPECT_EQ(rows.GetRowCurve(9)->iTrackType, AnimTrack::Rotation);
  core.GetSelection().ApplyFilter({true, false, true, true}, {true, false, true});
  EXPECT_EQ(rows.GetRowCount(), 6) << "no rotation, no Y";
  for (int row = 0; row < rows.GetRowCount(); ++row) EXPECT_NE(rows.GetRowCurve(row)->iComponent, 1u);
  Curve("Leg", 1, 2).bSelected = true;
  Curve("Leg", 2, 0).bSelected = true;
  EXPECT_EQ(rows.GetSelectedRows(), std::vector<CurveInfo*>{&Curve("Leg", 1, 2)}) << "a filtered curve has no row";
  EXPECT_EQ(rows.GetSelectedCurveCount(), 1);
  EXPECT_EQ(core.GetChannelLabel(12345), "0x3039");
}

TEST_F(EditCore, KeySteppingStopsAtTheClipsRangeAndFollowsTheSelectedCurves) {
  builder.Vectors("A", AnimTrack::Translation, {{0, {0, 0, 0}}, {5, {1, 1, 1}}, {12, {2, 2, 2}}});
  builder.Vectors("B", AnimTrack::Translation, {{0, {0, 0, 0}}, {3, {1, 1, 1}}, {12, {2, 2, 2}}});
  Attach({"A", "B"});
  EXPECT_EQ(core.GetNextKeyFrame(0.0f), 3.0f);
  EXPECT_EQ(core.GetNextKeyFrame(12.0f), 12.0f) << "never past the clip's last key frame";
  EXPECT_EQ(core.GetPreviousKeyFrame(-4.0f), 0.0f) << "never before its first";
  Curve("A", 1, 0).bSelected = true;
  EXPECT_EQ(core.GetNextKeyFrame(0.0f), 5.0f) << "only the selected curves count";
  EXPECT_EQ(core.GetPreviousKeyFrame(12.0f), 5.0f);
  EXPECT_TRUE(core.SetTimeCursor(-2.0f));
  EXPECT_FALSE(core.SetTimeCursor(-2.0f));
  EXPECT_EQ(core.GetCursorFrame(), 0.0f);
}

// Undoing every edit and saving writes what a save of the unedited clip writes, byte for
// byte, rotations included, and a valid file.
TEST_F(EditCore, EditsUndoneLeaveTheSaveOfTheUneditedClip) {
  TestSupport::LogCapture log;
  TestSupport::TempFolder unedited;
  TestSupport::TempFolder edited;
  for (const TestSupport::TempFolder* folder : {&unedited, &edited}) {
    TestSupport::CopyClipFiles(ClipTestFiles::Data("01_01.gltf"), folder->Path());
  }
  {
    ASSERT_OPENS(plain, unedited / "01_01.gltf");
    plain.clip->SetModified(true);
    ASSERT_TRUE(plain.clip->Save());
  }
  const std::string path = edited / "01_01.gltf";
  ASSERT_OPENS(opened, path);
  core.AttachClip(opened.clip);
  core.ShowChannel(ClipBuilder::Key("Hips"));
  for (const std::uint32_t track : {AnimTrack::Translation, AnimTrack::Rotation}) {
    CurveInfo& curve = Curve("Hips", track, 1);
    const float before = curve.pCurve->GetPointAt(150)->y;
    core.BeginEdit("Lift");
    core.Touch(&curve);
    for (std::uint32_t i = 100; i < 200; ++i) Tarvel::CurveWriter::Of(curve).GetPointAt(i)->y += 10.0f;
    Tarvel::CurveWriter::Of(curve).RemovePointAt(120);
    ASSERT_TRUE(core.EndEdit());
    EXPECT_NEAR(curve.pCurve->GetPointAt(150)->y, before + 10.0f, 1e-3f);
  }
  EXPECT_EQ(Keys("Hips").GetKeyCount(), 2752u) << "X and Z keep their key where Y lost one, so Y keeps one";
  EXPECT_EQ(Curve("Hips", AnimTrack::Rotation, 1).pCurve->GetPointCount(), 2752u);

  while (core.Undo()) {
  }
  ASSERT_TRUE(core.GetClip()->Save());
  EXPECT_TRUE(ClipTestFiles::PassesValidator(path));
  for (const char* name : {"01_01.gltf", "01_01.bin"}) {
    EXPECT_TRUE(TestSupport::ReadBytes(edited / name) == TestSupport::ReadBytes(unedited / name)) << name;
  }
}

TEST_F(EditCore, AValueEditKeepsOnlyTheKeysItMovesAndIsUndoneExactlyEvenWhenItReachesFurther) {
  EngineCore::AnimCurve& track = builder.Track("A", AnimTrack::Translation);
  for (std::uint32_t i = 0; i < 2000; ++i) {
    const float v = std::sin(0.01f * static_cast<float>(i));
    ASSERT_TRUE(track.AddKey(i, EngineCore::Vector3{v, v, v}));
  }
  Attach({"A"});
  CurveInfo& x = Curve("A", 1, 0);
  auto places = [&x] {
    std::vector<std::pair<float, float>> all;
    for (std::uint32_t i = 0; i < x.pCurve->GetPointCount(); ++i) {
      all.emplace_back(x.pCurve->GetPointAt(i)->x, x.pCurve->GetPointAt(i)->y);
    }
    return all;
  };
  auto lift = [&x](std::uint32_t first, std::uint32_t last) {
    for (std::uint32_t i = first; i <= last; ++i) Tarvel::CurveWriter::Of(x).GetPointAt(i)->y += 0.25f;
  };
  const auto original = places();

  // A value drag of keys 100..119: the action keeps those keys, not the curve.
  core.BeginEdit("Drag");
  core.TouchValues(&x, 100, 119);
  EXPECT_EQ(core.GetPendingBytes(), 20 * sizeof(EditorToolkit::EditablePoint));
  lift(100, 119);
  // It reaches further back, then turns into a move of frames: the state before stays exact.
  core.TouchValues(&x, 90, 105);
  lift(90, 99);
  core.Touch(&x);
  EXPECT_EQ(core.GetPendingBytes(), 2000 * sizeof(EditorToolkit::EditablePoint));
  Tarvel::CurveWriter::Of(x).MovePointsAt(0, 1999, 3.0f);
  ASSERT_TRUE(core.EndEdit());
  const auto edited = places();

  ASSERT_TRUE(core.Undo());
  EXPECT_EQ(places(), original);
  EXPECT_EQ(Keys("A").GetVector3Key(95).x, original[95].second);
  EXPECT_EQ(Keys("A").GetKeyCount(), 2000u);
  ASSERT_TRUE(core.Redo());
  EXPECT_EQ(places(), edited);
  EXPECT_EQ(Keys("A").GetKeyCount(), 2003u) << "x keys on frames 3 to 2002, y and z from 0 to 1999";

  // A value edit that stays in its keys is one step too; one that moves nothing is none.
  core.BeginEdit("Drag");
  core.TouchValues(&x, 1990, 5000);
  lift(1995, 1999);
  ASSERT_TRUE(core.EndEdit());
  ASSERT_TRUE(core.Undo());
  EXPECT_EQ(places(), edited);
  core.BeginEdit("Drag");
  core.TouchValues(&x, 10, 20);
  EXPECT_FALSE(core.EndEdit());
}

TEST_F(EditCore, AFrameRateChangeKeepsKeyTimesOrFrameNumbersAsOneUndoableStep) {
  builder.Vectors("A", AnimTrack::Translation, {{0, {0, 0, 0}}, {12, {1, 1, 1}}, {24, {2, 2, 2}}});
  builder.Vectors("B", AnimTrack::Translation, {{0, {0, 0, 0}}, {5, {5, 5, 5}}});
  builder.Clip().SetFrameRate(24.0f);
  Attach({"A", "B"});
  auto frames = [this](const char* channel) {
    std::vector<std::uint32_t> found;
    for (std::uint32_t i = 0; i < Keys(channel).GetKeyCount(); ++i) found.push_back(Keys(channel).GetKeyFrame(i));
    return found;
  };
  EXPECT_FALSE(core.ChangeFrameRate(24.0f, true, 0.01f)) << "the rate it has";
  EXPECT_FALSE(core.ChangeFrameRate(0.0f, true, 0.01f));

  core.SetTimeCursor(12.0f);
  ASSERT_TRUE(core.ChangeFrameRate(48.0f, true, 0.01f));
  EXPECT_EQ(builder.Clip().GetFrameRate(), 48.0f);
  EXPECT_EQ(frames("A"), (std::vector<std::uint32_t>{0, 24, 48})) << "every key at its own time";
  EXPECT_EQ(frames("B"), (std::vector<std::uint32_t>{0, 10}));
  EXPECT_EQ(core.GetTimeCursor(), 24.0f) << "the cursor too";
  EXPECT_TRUE(builder.Clip().IsModified());
  ASSERT_TRUE(core.Undo());
  EXPECT_EQ(builder.Clip().GetFrameRate(), 24.0f);
  EXPECT_EQ(frames("A"), (std::vector<std::uint32_t>{0, 12, 24}));
  EXPECT_FALSE(builder.Clip().IsModified());

  // At 30 frames per second B's key at 5/24 s lies on frame 6.25: B is sampled on frames
  // 0..6 and thinned back to its ends, a straight run.
  ASSERT_TRUE(core.ChangeFrameRate(30.0f, true, 0.001f));
  EXPECT_EQ(frames("A"), (std::vector<std::uint32_t>{0, 15, 30}));
  EXPECT_EQ(frames("B"), (std::vector<std::uint32_t>{0, 6}));
  EXPECT_FLOAT_EQ(Keys("B").GetVector3Key(1).x, 4.8f) << "the value B played at 6/30 s";

  const std::size_t steps = core.GetHistory().GetStepCount();
  ASSERT_TRUE(core.ChangeFrameRate(60.0f, false, 0.0f));
  EXPECT_EQ(core.GetHistory().GetStepCount(), steps + 1) << "a re-timing is a step of its own";
  EXPECT_EQ(frames("A"), (std::vector<std::uint32_t>{0, 15, 30})) << "every key keeps its frame number";
  ASSERT_TRUE(core.Undo());
  EXPECT_EQ(builder.Clip().GetFrameRate(), 30.0f);
  ASSERT_TRUE(core.Undo());
  EXPECT_EQ(builder.Clip().GetFrameRate(), 24.0f);
  EXPECT_EQ(frames("B"), (std::vector<std::uint32_t>{0, 5}));
  EXPECT_TRUE(core.Redo());
  EXPECT_EQ(frames("B"), (std::vector<std::uint32_t>{0, 6}));
}
