#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ClipBuilder.h"
#include "ClipTestFiles.h"
#include "CurveRecords.h"
#include "CurveWriter.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Crc32.h"
#include "EngineCore/Scene.h"
#include "EngineCore/SceneEditionManager.h"
#include "TempFolder.h"
#include "curves/ClipEditCore.h"
#include "curves/CurveEvaluation.h"
#include "curves/CurveExport.h"
#include "graph/KeyHandles.h"
#include "tools/KeyTools.h"
#include "tools/PointOperations.h"

using EngineCore::AnimTrack;
using Tarvel::CurveInfo;
using Tarvel::KeyTools;
using Tarvel::PointOperations;

namespace {

// Answers the tools' questions as the test sets them, and keeps what they were asked.
class Answers : public Tarvel::ToolQuestions, public Tarvel::KeyingPage {
 public:
  bool AskFlip(bool& bVertical) override {
    bVertical = vertical;
    return Answer();
  }
  bool AskScale(Tarvel::ScaleSettings& settings) override {
    asked = settings;
    settings.fPercentage = percentage;
    return Answer();
  }
  bool AskSmooth(int& iSubdivision) override {
    iSubdivision = 1;
    return Answer();
  }
  bool AskSubdivise(int& iSubdivision) override {
    iSubdivision = 1;
    return Answer();
  }
  bool AskSubSample(float& fTolerance) override {
    fTolerance = 0.05f;
    return Answer();
  }
  bool AskFrameRate(Tarvel::FrameRateSettings& settings) override {
    askedRate = settings.fRate;
    settings = rate;
    return Answer();
  }
  bool AskAffectChannel() override { return Answer(); }
  bool AskFilterNoise(float& fCutoffHz, float highestHz, const std::function<void(float)>& preview) override {
    offeredCutoff = fCutoffHz;
    highestCutoff = highestHz;
    for (float tried : previews) {
      preview(tried);
      if (onPreview) onPreview();
    }
    fCutoffHz = cutoff;
    return Answer();
  }
  void Tell(const std::string& sentence) override { told.push_back(sentence); }
  bool ShowOnlyChannel(std::uint32_t channelKey) override {
    core->GetSelection().Clear();
    return core->ShowChannel(channelKey);
  }
  void OnObjectChannelChanged() override { ++channelChanges; }

  bool Answer() {
    ++questions;
    return ok;
  }
  Tarvel::ClipEditCore* core = nullptr;
  bool ok = true;
  bool vertical = false;
  float percentage = 100.0f;
  int questions = 0;
  int channelChanges = 0;
  Tarvel::ScaleSettings asked;
  Tarvel::FrameRateSettings rate;
  float askedRate = 0.0f;
  // Filter Noise: the cut-offs previewed in turn, then the one answered.
  std::vector<float> previews;
  std::function<void()> onPreview;
  float cutoff = 6.0f;
  float offeredCutoff = 0.0f;
  float highestCutoff = 0.0f;
  std::vector<std::string> told;
};

// K with the time cursor at a frame, as a tool case runs it.
std::function<bool()> KeyAt(Tarvel::ClipEditCore& core, Answers& answers, float frame) {
  return [&core, &answers, frame] {
    core.SetTimeCursor(frame);
    return PointOperations::CreatePoint(core, answers, answers, true);
  };
}

// The core of a clip whose channel Root has translation keys at frames 0, 5 and 12 (X 0, 1, 4)
// and an empty scale track, its curves shown; the test picks rows, keys and the cursor.
class ClipTools : public ::testing::Test {
 protected:
  void SetUp() override {
    builder.Vectors("Root", AnimTrack::Translation, {{0, {0, 0, 0}}, {5, {1, 2, 3}}, {12, {4, 5, 6}}});
    builder.Track("Root", AnimTrack::Scale, EngineCore::AnimCurve::KeyVector3);
    builder.Clip().ComputeKeyFrameRange();
    core.AttachClip(&builder.Clip());
    core.SetClipboard(&clipboard);
    core.ShowChannel(ClipBuilder::Key("Root"));
    answers.core = &core;
  }
  CurveInfo& Row(int row) { return *core.GetSelection().GetRowCurve(row); }
  void SelectRows(std::initializer_list<int> rows) {
    for (int row : rows) Row(row).bSelected = true;
  }
  // Gives the curve exactly these keys, at value 0.
  static void SetKeys(CurveInfo& curve, std::initializer_list<float> frames) {
    Tarvel::CurveWriter::Of(curve).RemoveAllPoints();
    for (float frame : frames) Tarvel::CurveWriter::Of(curve).AddPoint({frame, 0.0f}, false);
  }
  // Gives the row these keys and empties the other axes of its track, so that no sibling's
  // key frame joins the row's after an edit.
  void SetAxisKeys(int row, std::initializer_list<float> frames) {
    for (int axis = row - row % 3; axis < row - row % 3 + 3; ++axis) SetKeys(Row(axis), {});
    SetKeys(Row(row), frames);
  }
  // A key selection the way the graph leaves one.
  void SelectKeys(CurveInfo& curve, std::initializer_list<std::uint32_t> indices) {
    CurveRecords::Select(curve, indices);
    core.GetSelection().fSelectionBegin = curve.pCurve->GetPointAt(*indices.begin())->x;
    core.GetSelection().fSelectionEnd = curve.pCurve->GetPointAt(*(indices.end() - 1))->x;
  }
  // Copies keys at frames 0 and 10, then pastes them at frame 20 into a curve with these keys.
  void PasteBlock(std::initializer_list<float> target, std::initializer_list<std::uint32_t> selected) {
    SetKeys(Row(0), {0, 10});
    SelectKeys(Row(0), {0, 1});
    ASSERT_TRUE(PointOperations::CopyPoints(core));
    SetAxisKeys(0, target);
    Row(0).pCurve->SelectAllPoints(false);
    for (std::uint32_t i : selected) Row(0).pCurve->SelectPointAt(i, true);
    core.SetTimeCursor(20.0f);
    EXPECT_TRUE(PointOperations::PastePoints(core));
  }
  static std::vector<float> Frames(const CurveInfo& curve) { return CurveRecords::Frames(curve); }

  ClipBuilder builder;
  EditorToolkit::Curve2 clipboard;
  Tarvel::ClipEditCore core;
  Answers answers;
};

}  // namespace

TEST_F(ClipTools, KeysAtTheCursorRoundHalvesDownAndRepeatTheLastValue) {
  SelectRows({3});
  for (auto [cursor, expected] : {std::pair{12.5f, 12.0f}, {12.51f, 13.0f}, {-3.0f, 0.0f}}) {
    SetAxisKeys(3, {});
    core.SetTimeCursor(cursor);
    EXPECT_TRUE(PointOperations::CreatePoint(core, answers, answers, true));
    EXPECT_EQ(Frames(Row(3)), std::vector<float>{expected}) << "cursor " << cursor;
  }
  Row(3).bSelected = false;
  SetAxisKeys(3, {});
  SelectRows({1, 3});
  core.SetTimeCursor(30.0f);
  ASSERT_TRUE(PointOperations::CreatePoint(core, answers, answers, true));
  EXPECT_FLOAT_EQ(Row(1).pCurve->GetPointAt(3)->y, 5.0f) << "the last key's value";
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{0, 5, 12, 30})) << "X and Z are keyed with Y";
  EXPECT_FLOAT_EQ(Row(2).pCurve->GetPointAt(3)->y, 6.0f) << "on their own curve";
  EXPECT_FLOAT_EQ(Row(3).pCurve->GetPointAt(0)->y, 1.0f) << "an empty scale curve starts at 1";
  EXPECT_EQ(Row(4).pCurve->GetPointCount(), 0u) << "an empty sibling stays empty: it plays its rest value";
  const EngineCore::AnimCurve& keys = *builder.Channel("Root").GetCurve(AnimTrack::Translation);
  EXPECT_EQ(keys.GetKeyFrame(keys.GetKeyCount() - 1), 30u) << "written back into the clip";
  EXPECT_EQ(builder.Clip().GetLastKeyFrame(), 30u);
  // One action, one undo, however many curves it changed.
  EXPECT_TRUE(core.Undo());
  EXPECT_EQ(Row(3).pCurve->GetPointCount(), 0u);
  EXPECT_EQ(Frames(Row(1)), (std::vector<float>{0, 5, 12}));
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{0, 5, 12}));
}

TEST_F(ClipTools, SelectedSceneObjectsAreKeyedOnTheirChannelFromTheirPose) {
  EngineCore::Scene scene;
  core.SetScene(&scene);
  SelectRows({0});
  // With no object selected a key goes on the curve where it is: no spike, the pose stays.
  core.SetTimeCursor(8.0f);
  EXPECT_TRUE(PointOperations::CreatePoint(core, answers, answers, true));
  EXPECT_EQ(CurveRecords::Values(Row(0)), (std::vector<float>{0, 1, 1 + 3 * 3 / 7.0f, 4}));
  EXPECT_FALSE(PointOperations::CreatePoint(core, answers, answers, true)) << "a key already there is kept";
  ASSERT_TRUE(core.Undo());

  EngineCore::SceneObject* hero = scene.CreateObject(EngineCore::String("Hero"));
  EngineCore::SceneObject* sidekick = scene.CreateObject(EngineCore::String("Sidekick"));
  for (EngineCore::SceneObject* object : {hero, sidekick}) {
    object->CreateController()->AddClip(&builder.Clip());
    scene.GetEditionManager()->ToggleObjectSelection(object);
  }
  hero->GetController()->SetChannelKey(ClipBuilder::Key("Root"));
  hero->SetLocalTranslation(EngineCore::Vector3(7, 8, 9));
  core.SetTimeCursor(20.5f);
  EXPECT_TRUE(PointOperations::CreatePoint(core, answers, answers, true));
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{0, 5, 12, 20.5f})) << "objects are keyed at the cursor, unrounded";
  EXPECT_FLOAT_EQ(Row(2).pCurve->GetPointAt(3)->y, 9.0f);
  EXPECT_FLOAT_EQ(Row(3).pCurve->GetPointAt(0)->y, 1.0f) << "the scale track takes the object's scale";
  EXPECT_EQ(answers.questions, 1) << "the object without a channel is asked about once";
  EXPECT_EQ(sidekick->GetController()->GetChannelKey(), EngineCore::Crc32::Compute(4, "Root"));
  EXPECT_EQ(answers.channelChanges, 1);
  EXPECT_EQ(Row(0).pCurve->GetPointCount(), 4u) << "and gets no key of its own";
}

TEST_F(ClipTools, RemoveTakesTheSelectedKeysOrElseTheWholeCurves) {
  SelectRows({0, 2});
  SelectKeys(Row(0), {1});
  EXPECT_TRUE(PointOperations::RemovePoints(core));
  EXPECT_EQ(Frames(Row(2)), (std::vector<float>{0, 5, 12})) << "its keys were not selected";
  EXPECT_EQ(CurveRecords::Values(Row(0)), (std::vector<float>{0, 4 * 5 / 12.0f, 4}))
      << "Y and Z keep their key at 5, so X keeps one there too, on the line its own key left";
  SelectKeys(Row(0), {1});
  SelectKeys(Row(2), {1});
  Row(1).bSelected = true;
  SelectKeys(Row(1), {1});
  EXPECT_TRUE(PointOperations::RemovePoints(core));
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{0, 12})) << "removed from every axis, the key goes";
  Row(1).bSelected = false;
  core.GetSelection().ClearSelectionRange();
  EXPECT_TRUE(PointOperations::RemovePoints(core));
  EXPECT_EQ(Row(0).pCurve->GetPointCount(), 0u);
  EXPECT_EQ(Row(1).pCurve->GetPointCount(), 2u);
  EXPECT_EQ(Row(2).pCurve->GetPointCount(), 0u);
  EXPECT_EQ(builder.Channel("Root").GetCurve(AnimTrack::Translation)->GetKeyCount(), 2u) << "Y still has keys";
  core.Undo();
  EXPECT_EQ(Row(2).pCurve->GetPointCount(), 2u);
}

TEST_F(ClipTools, PastingPushesLaterKeysBackCoversSelectedOnesAndCopyTakesTheFirstCurve) {
  PasteBlock({0, 20, 25, 40}, {0});
  EXPECT_EQ(clipboard.GetPointAt(1)->x, 10.0f) << "frames counted from the first copied key";
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{0, 20, 30, 31, 36, 51}));
  PasteBlock({0, 20, 25, 40}, {1, 2});
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{0, 20, 20, 25, 30, 31}));
  std::vector<bool> hidden;
  for (const auto& point : Row(0).pCurve->GetCurve()) hidden.push_back(point.bHidden);
  EXPECT_EQ(hidden, (std::vector<bool>{false, true, false, true, false, false})) << "the old 20 and 25 are covered";
  PasteBlock({0, 40}, {});
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{0, 20, 30, 40})) << "between keys the block is only added";
  SelectRows({1});
  SelectKeys(Row(0), {0, 1, 2});
  Row(1).pCurve->SelectPointAt(0, true);
  EXPECT_TRUE(PointOperations::CopyPoints(core));
  EXPECT_EQ(clipboard.GetPointCount(), 3u);
}

TEST_F(ClipTools, ScaleAsksWithTheSharedLengthAndStretchesEveryCurve) {
  SelectRows({0, 3});
  SetAxisKeys(0, {0, 5, 12});
  SetAxisKeys(3, {0, 5});
  answers.percentage = 50.0f;
  EXPECT_TRUE(KeyTools::Scale(core, answers, false));
  EXPECT_EQ(answers.asked.iCurrentLength, -1) << "lengths 12 and 5 differ";
  EXPECT_EQ(answers.asked.iWishLength, 5);
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{0, 3, 6}));
  EXPECT_EQ(Frames(Row(3)), (std::vector<float>{0, 3}));
  const std::size_t steps = core.GetHistory().GetStepCount();
  answers.ok = false;
  EXPECT_FALSE(KeyTools::Scale(core, answers, false));
  EXPECT_FALSE(KeyTools::Flip(core, answers, false));
  EXPECT_EQ(core.GetHistory().GetStepCount(), steps) << "a declined tool records nothing";
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{0, 3, 6}));
}

TEST_F(ClipTools, ScalingKeepsKeysInOrderOnWholeFramesFromTheRunsFirstKey) {
  SelectRows({0});
  SetAxisKeys(0, {1, 2, 3, 4, 5, 6, 20});
  answers.percentage = 50.0f;
  SelectKeys(Row(0), {0, 1, 2, 3, 4, 5});
  EXPECT_TRUE(KeyTools::Scale(core, answers, true));
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{1, 2, 3, 4, 18})) << "keys that meet on a frame become one";
  SetAxisKeys(0, {0, 20, 30, 40, 50});
  SelectKeys(Row(0), {1, 2, 3});
  EXPECT_TRUE(KeyTools::Scale(core, answers, true));
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{0, 20, 25, 30, 40}));
  answers.percentage = 250.0f;
  EXPECT_TRUE(KeyTools::Scale(core, answers, true));
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{0, 20, 33, 45, 55}));
  answers.vertical = true;
  EXPECT_TRUE(KeyTools::Flip(core, answers, false));
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{0, 10, 22, 35, 55}));
}

// A key the graph shows after a tool is a key of the clip, at the same frame with the same
// value, so that a saved and reopened clip shows what the graph showed.
TEST_F(ClipTools, WhatSubdiviseAndSmoothLeaveIsWhatTheClipHolds) {
  SelectRows({0, 1, 2});
  const EngineCore::AnimCurve& keys = *builder.Channel("Root").GetCurve(AnimTrack::Translation);
  for (bool smooth : {false, true}) {
    EXPECT_TRUE(smooth ? KeyTools::Smooth(core, answers, false) : KeyTools::Subdivise(core, answers, false));
    ASSERT_EQ(keys.GetKeyCount(), Row(0).pCurve->GetPointCount()) << (smooth ? "smooth" : "subdivise");
    for (std::uint32_t k = 0; k < keys.GetKeyCount(); ++k) {
      for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(static_cast<float>(keys.GetKeyFrame(k)), Row(c).pCurve->GetPointAt(k)->x);
        EXPECT_EQ(keys.GetVector3Key(k)[c], Row(c).pCurve->GetPointAt(k)->y);
      }
    }
  }
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{0, 2, 3, 4, 5, 7, 9, 11, 12}));
}

TEST_F(ClipTools, TheOtherToolsReshapeTheSelectedKeysOnly) {
  SelectRows({0});
  SetKeys(Row(1), {});
  SetKeys(Row(2), {});
  SelectKeys(Row(0), {1, 2});
  answers.vertical = true;
  EXPECT_TRUE(KeyTools::Flip(core, answers, true));
  EXPECT_EQ(CurveRecords::Values(Row(0)), (std::vector<float>{0, 4, 1})) << "keys 5 and 12 swap in time";
  EXPECT_TRUE(KeyTools::Subdivise(core, answers, true));
  EXPECT_EQ(Frames(Row(0)), (std::vector<float>{0, 5, 9, 12})) << "on a whole frame";
  EXPECT_TRUE(KeyTools::SubSample(core, answers, true));
  EXPECT_TRUE(KeyTools::Smooth(core, answers, false));
  EXPECT_EQ(Row(0).pCurve->GetPointCount(), 5u) << "the middle key went, then one key per segment came";
  Row(0).bSelected = false;
  answers.questions = 0;
  EXPECT_FALSE(KeyTools::Smooth(core, answers, false));
  EXPECT_EQ(answers.questions, 0) << "without selected curves nothing is asked";
}

namespace {

// A core over a clip whose channel Arm turns from Euler (0, 0, 0) at frame 0 to (60, 60, 0)
// at frame 100 on a linear rotation track, its three curves shown.
class RotationCurves : public ::testing::Test {
 protected:
  void SetUp() override {
    builder.Rotations("Arm", {{0, {0, 0, 0}}, {100, {60, 60, 0}}});
    builder.Clip().ComputeKeyFrameRange();
    core.AttachClip(&builder.Clip());
    core.ShowChannel(ClipBuilder::Key("Arm"));
    answers.core = &core;
  }
  CurveInfo& Row(int row) { return *core.GetSelection().GetRowCurve(row); }
  // The rotation the engine plays at the frame.
  EngineCore::Quaternion Played(float frame) {
    EngineCore::Quaternion pose;
    builder.Channel("Arm").GetCurve(AnimTrack::Rotation)->Evaluate(frame, 60.0f, pose);
    return pose;
  }
  // The rotation the three curves show at the frame.
  EngineCore::Quaternion Shown(float frame) {
    float angles[3] = {0, 0, 0};
    for (int c = 0; c < 3; ++c) EXPECT_TRUE(Tarvel::CurveEvaluation::Evaluate(Row(c), frame, angles[c]));
    constexpr float kRadians = static_cast<float>(M_PI / 180.0);
    return EngineCore::Quaternion::FromAngles(angles[0] * kRadians, angles[1] * kRadians, angles[2] * kRadians);
  }
  // The angle in degrees that turns one rotation into the other, from the vector part of
  // their difference, which keeps its precision for small angles as a dot product does not.
  static double Apart(const EngineCore::Quaternion& a, const EngineCore::Quaternion& b) {
    const double w = double{a.w} * b.w + double{a.x} * b.x + double{a.y} * b.y + double{a.z} * b.z;
    const double x = double{a.w} * b.x - double{b.w} * a.x - (double{a.y} * b.z - double{a.z} * b.y);
    const double y = double{a.w} * b.y - double{b.w} * a.y - (double{a.z} * b.x - double{a.x} * b.z);
    const double z = double{a.w} * b.z - double{b.w} * a.z - (double{a.x} * b.y - double{a.y} * b.x);
    return 2.0 * std::atan2(std::sqrt(x * x + y * y + z * z), std::abs(w)) * 180.0 / M_PI;
  }
  // The largest angle between what the curves show and what the track plays, over 0..100.
  double WorstShown() {
    double worst = 0.0;
    for (float frame = 0.0f; frame <= 100.0f; frame += 0.5f)
      worst = std::max(worst, Apart(Shown(frame), Played(frame)));
    return worst;
  }

  ClipBuilder builder;
  Tarvel::ClipEditCore core;
  Answers answers;
};

}  // namespace

TEST_F(RotationCurves, ShowThePoseTheTrackPlaysBetweenKeys) {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  ASSERT_TRUE(Tarvel::CurveEvaluation::Evaluate(Row(0), 50.0f, x));
  ASSERT_TRUE(Tarvel::CurveEvaluation::Evaluate(Row(1), 50.0f, y));
  ASSERT_TRUE(Tarvel::CurveEvaluation::Evaluate(Row(2), 50.0f, z));
  EXPECT_NEAR(x, 25.3f, 0.05f) << "not the straight line's 30";
  EXPECT_NEAR(y, 29.7f, 0.05f);
  EXPECT_NEAR(z, -9.5f, 0.05f) << "Z moves though both its keys are 0";
  EXPECT_LT(WorstShown(), 0.01);
  ASSERT_TRUE(Tarvel::CurveEvaluation::Evaluate(Row(0), 100.0f, x));
  EXPECT_NEAR(x, 60.0f, 1e-4f) << "the curve meets its keys";
  builder.Channel("Arm").GetCurve(AnimTrack::Rotation)->SetInterpolation(EngineCore::AnimCurve::Step);
  Tarvel::CurveWriter::Of(Row(0)).SetInterpolation(EditorToolkit::Curve2::Step);
  ASSERT_TRUE(Tarvel::CurveEvaluation::Evaluate(Row(0), 99.0f, x));
  EXPECT_EQ(x, 0.0f) << "a step holds its key";
}

// Keys that K, subdivise or a key on one axis put on a rotation lie on the turn it plays, so
// the clip plays as before.
TEST_F(RotationCurves, KeysAddedOnTheCurvesKeepWhatTheClipPlays) {
  std::vector<EngineCore::Quaternion> before;
  for (float frame = 0.0f; frame <= 100.0f; frame += 1.0f) before.push_back(Played(frame));
  auto worstChange = [&] {
    double worst = 0.0;
    for (std::size_t f = 0; f < before.size(); ++f) worst = std::max(worst, Apart(before[f], Played(f)));
    return worst;
  };
  Row(0).bSelected = true;
  core.SetTimeCursor(30.0f);
  ASSERT_TRUE(PointOperations::CreatePoint(core, answers, answers, true));
  EXPECT_EQ(CurveRecords::Frames(Row(2)), (std::vector<float>{0, 30, 100})) << "Z is keyed with X";
  EXPECT_LT(worstChange(), 0.01);
  EXPECT_LT(WorstShown(), 0.01);
  for (int c = 1; c < 3; ++c) Row(c).bSelected = true;
  ASSERT_TRUE(KeyTools::Subdivise(core, answers, false));
  EXPECT_EQ(CurveRecords::Frames(Row(1)), (std::vector<float>{0, 15, 30, 65, 100}));
  EXPECT_LT(worstChange(), 0.01);
  EXPECT_LT(WorstShown(), 0.01);
}

// Keys that keep their times at a rate where they fall between frames are sampled from the
// turn the clip plays, which it still plays afterwards.
TEST_F(RotationCurves, AFrameRateChangeAsksWithTheClipsRateAndKeepsTheTurn) {
  builder.Clip().SetFrameRate(24.0f);
  answers.rate = {30.0f, true, 0.0f};
  answers.ok = false;
  EXPECT_FALSE(KeyTools::FrameRate(core, answers));
  EXPECT_EQ(answers.askedRate, 24.0f);
  EXPECT_EQ(builder.Clip().GetFrameRate(), 24.0f) << "declined";
  answers.ok = true;
  ASSERT_TRUE(KeyTools::FrameRate(core, answers));
  EXPECT_EQ(CurveRecords::Frames(Row(1)), (std::vector<float>{0, 125})) << "100/24 s is frame 125 at 30";
  ASSERT_TRUE(core.Undo());

  // At 25 the last key falls between frames 104 and 105: the turn is sampled on every frame.
  std::vector<EngineCore::Quaternion> before;
  for (int frame = 0; frame <= 104; ++frame) before.push_back(Played(frame * 24.0f / 25.0f));
  answers.rate = {25.0f, true, 0.0f};
  ASSERT_TRUE(KeyTools::FrameRate(core, answers));
  EXPECT_EQ(builder.Clip().GetFrameRate(), 25.0f);
  EXPECT_EQ(Row(0).pCurve->GetPointCount(), 105u);
  double worst = 0.0;
  for (std::size_t f = 0; f < before.size(); ++f) worst = std::max(worst, Apart(before[f], Played(f)));
  EXPECT_LT(worst, 0.01) << "the same turn at the same times";
}

namespace {

// A core over a clip, every channel shown and every curve selected, for the Euler filter.
class EulerFilter : public ::testing::Test {
 protected:
  void Attach(EngineCore::AnimClip& clip) {
    clip.ComputeKeyFrameRange();
    core.AttachClip(&clip);
    for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) core.ShowChannel(clip.GetChannelKeyAt(c));
    for (int row = 0; row < core.GetSelection().GetRowCount(); ++row)
      core.GetSelection().GetRowCurve(row)->bSelected = true;
  }
  // The widest jump between adjacent keys of any rotation curve, in degrees.
  // The widest step in angle between neighbouring keys of a selected rotation curve, from
  // key `from` on.
  float WidestRotationJump(std::uint32_t from = 1) const {
    float widest = 0.0f;
    for (int row = 0; row < core.GetSelection().GetRowCount(); ++row) {
      const CurveInfo& curve = *core.GetSelection().GetRowCurve(row);
      if (curve.iTrackType != AnimTrack::Rotation) continue;
      for (std::uint32_t i = from; i < curve.pCurve->GetPointCount(); ++i) {
        widest = std::max(widest, std::abs(curve.pCurve->GetPointAt(i)->y - curve.pCurve->GetPointAt(i - 1)->y));
      }
    }
    return widest;
  }
  std::vector<float> Values(const char* channel, std::uint32_t component) {
    std::vector<float> values;
    for (const auto& curve : *core.GetChannelCurves(ClipBuilder::Key(channel))) {
      if (curve->iTrackType != AnimTrack::Rotation || curve->iComponent != component) continue;
      for (std::uint32_t i = 0; i < curve->pCurve->GetPointCount(); ++i)
        values.push_back(curve->pCurve->GetPointAt(i)->y);
    }
    return values;
  }
  // Every rotation key of a clip by channel and frame.
  using RotationKeys = std::map<std::pair<std::uint32_t, std::uint32_t>, EngineCore::Quaternion>;
  static RotationKeys Rotations(const EngineCore::AnimClip& clip) {
    RotationKeys keys;
    for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) {
      const EngineCore::AnimCurve* curve = clip.GetChannelAt(c)->GetCurve(AnimTrack::Rotation);
      for (std::uint32_t k = 0; curve && k < curve->GetKeyCount(); ++k)
        keys[{c, curve->GetKeyFrame(k)}] = curve->GetQuaternionKey(k);
    }
    return keys;
  }
  // The widest turn, in degrees, between a key written back and the key the clip held at its
  // frame before; the write-back may leave out keys that lie on a straight line.
  static double WidestTurn(const RotationKeys& before, const RotationKeys& after) {
    double widest = after.empty() ? 360.0 : 0.0;
    for (const auto& [where, rotation] : after) {
      const auto old = before.find(where);
      if (old == before.end()) return 360.0;
      // The angle between two rotations from the half-chord, in double: acos of a float dot
      // product cannot tell turns under a few hundredths of a degree apart.
      const double p[4] = {rotation.x, rotation.y, rotation.z, rotation.w};
      const double q[4] = {old->second.x, old->second.y, old->second.z, old->second.w};
      const double sign = p[0] * q[0] + p[1] * q[1] + p[2] * q[2] + p[3] * q[3] < 0.0 ? -1.0 : 1.0;
      double apart = 0.0, together = 0.0;
      for (int i = 0; i < 4; ++i) {
        apart += (p[i] - sign * q[i]) * (p[i] - sign * q[i]);
        together += (p[i] + sign * q[i]) * (p[i] + sign * q[i]);
      }
      widest = std::max(widest, 4.0 * std::atan2(std::sqrt(apart), std::sqrt(together)) * 57.29577951308232);
    }
    return widest;
  }

  // Gives the channel's rotation keys the other triple of the same rotation, (x + 180,
  // 180 - y, z + 180), as a file's raw angles can have them.
  void Flip(const char* channel, std::initializer_list<std::uint32_t> keys) {
    for (const auto& curve : *core.GetChannelCurves(ClipBuilder::Key(channel))) {
      if (curve->iTrackType != AnimTrack::Rotation) continue;
      for (std::uint32_t key : keys) {
        float& y = Tarvel::CurveWriter::Of(*curve).GetPointAt(key)->y;
        y = curve->iComponent == 1 ? 180.0f - y : y + 180.0f;
      }
    }
  }

  ClipBuilder builder;
  Tarvel::ClipEditCore core;
};

}  // namespace

TEST_F(EulerFilter, ATurnPastNinetyDegreesAboutYKeepsGoingInsteadOfFlipping) {
  // A turn of 96 degrees about Y is also (180, 84, 180), as a raw reading gives it.
  builder.Rotations("Spine", {{0, {0, 80, 0}}, {1, {0, 88, 0}}, {2, {0, 96, 0}}, {3, {0, 104, 0}}});
  Attach(builder.Clip());
  Flip("Spine", {2, 3});
  ASSERT_GT(WidestRotationJump(), 90.0f);
  const RotationKeys before = Rotations(builder.Clip());
  EXPECT_TRUE(KeyTools::EulerFilter(core, false));
  for (std::uint32_t component : {0u, 2u}) {
    for (float value : Values("Spine", component)) EXPECT_NEAR(value, 0.0f, 1e-3f) << "component " << component;
  }
  const std::vector<float> y = Values("Spine", 1);
  ASSERT_EQ(y.size(), 4u);
  for (std::size_t k = 0; k < y.size(); ++k) EXPECT_NEAR(y[k], 80.0f + 8.0f * static_cast<float>(k), 1e-3f);
  EXPECT_LE(WidestTurn(before, Rotations(builder.Clip())), 0.001);
}

TEST_F(EulerFilter, TheSelectionFiltersOnlyFromItsFirstToItsLastKey) {
  builder.Rotations("Spine", {{0, {0, 80, 0}}, {1, {0, 96, 0}}, {2, {0, 80, 0}}, {3, {0, 96, 0}}});
  Attach(builder.Clip());
  Flip("Spine", {1, 3});
  const std::vector<float> x = Values("Spine", 0);
  for (const auto& curve : *core.GetChannelCurves(ClipBuilder::Key("Spine"))) curve->pCurve->SelectPointAt(3, true);
  EXPECT_TRUE(KeyTools::EulerFilter(core, true));
  const std::vector<float> filtered = Values("Spine", 0);
  EXPECT_EQ(filtered[1], x[1]) << "the flip before the selection stays";
  EXPECT_NEAR(filtered[3], filtered[2], 1e-3f) << "the selected key follows the key before it";
}

TEST_F(EulerFilter, OnACapturedTakeNoRotationCurveJumpsAndEveryRotationStaysOneUndoAway) {
  ASSERT_OPENS(take, ClipTestFiles::Data("01_01.gltf"));
  Attach(*take);
  // Raw angles that flip where the Hips turn a few degrees from one key to the next.
  Flip("Hips", {1000, 1001, 1002, 1500, 1501});
  EXPECT_GT(WidestRotationJump(2), 120.0f);
  const RotationKeys before = Rotations(*take);
  ASSERT_TRUE(KeyTools::EulerFilter(core, false));
  // The take's first frame is a pose of its own, a real turn of up to 116 degrees away.
  EXPECT_LE(WidestRotationJump(2), 90.0f);
  EXPECT_LE(WidestTurn(before, Rotations(*take)), 0.001) << "degrees between a key's rotation before and after";
  EXPECT_EQ(core.GetHistory().GetStepCount(), 1u);
  ASSERT_TRUE(core.Undo());
  EXPECT_EQ(Rotations(*take), before) << "one undo gives back every key exactly";
}

namespace {

// A curve split at a frequency by discrete Fourier transform, after taking away the line
// through the reference's ends (the take's motion is no loop): the energy of its parts above
// the frequency, under a Hann window, and its motion below it.
struct Bands {
  double energyAbove = 0.0;
  std::vector<double> below;
};

Bands Split(const std::vector<float>& values, const std::vector<float>& reference, double rate, double hz) {
  const std::size_t n = values.size();
  const double pi = 3.14159265358979323846;
  std::vector<double> plain(n);
  std::vector<double> windowed(n);
  double energy = 0.0;
  for (std::size_t k = 0; k < n; ++k) {
    const double line = reference.front() + (reference.back() - reference.front()) * static_cast<double>(k) / (n - 1);
    plain[k] = values[k] - line;
    windowed[k] = plain[k] * 0.5 * (1.0 - std::cos(2.0 * pi * static_cast<double>(k) / (n - 1)));
    energy += windowed[k] * windowed[k];
  }
  // Parseval: every bin's energy is n times the samples'; the bins below hz, and their mirrors,
  // are taken away from it.
  energy *= static_cast<double>(n);
  const auto lowBins = static_cast<std::size_t>(std::ceil(hz * static_cast<double>(n) / rate));
  Bands bands;
  bands.below.assign(n, 0.0);
  for (std::size_t j = 0; j < lowBins; ++j) {
    double wr = 0.0, wi = 0.0, pr = 0.0, pi2 = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
      const double phase = 2.0 * pi * static_cast<double>((j * k) % n) / static_cast<double>(n);
      wr += windowed[k] * std::cos(phase);
      wi -= windowed[k] * std::sin(phase);
      pr += plain[k] * std::cos(phase);
      pi2 -= plain[k] * std::sin(phase);
    }
    energy -= (j == 0 ? 1.0 : 2.0) * (wr * wr + wi * wi);
    for (std::size_t k = 0; k < n; ++k) {
      const double phase = 2.0 * pi * static_cast<double>((j * k) % n) / static_cast<double>(n);
      bands.below[k] += (j == 0 ? 1.0 : 2.0) * (pr * std::cos(phase) - pi2 * std::sin(phase)) / static_cast<double>(n);
    }
  }
  bands.energyAbove = std::max(energy, 0.0);
  return bands;
}

}  // namespace

TEST_F(EulerFilter, FilterNoiseTakesOutTheToesTremorKeepsTheirMotionAndIsOneUndoableStep) {
  ASSERT_OPENS(take, ClipTestFiles::Data("01_01.gltf"));
  Attach(*take);
  const std::uint32_t toes = ClipBuilder::Key("LeftToeBase");
  for (int row = 0; row < core.GetSelection().GetRowCount(); ++row) {
    CurveInfo& curve = *core.GetSelection().GetRowCurve(row);
    curve.bSelected = curve.iChannelKey == toes && curve.iTrackType == AnimTrack::Rotation;
  }
  const RotationKeys keys = Rotations(*take);
  std::vector<std::vector<float>> original;
  for (std::uint32_t axis = 0; axis < 3; ++axis) original.push_back(Values("LeftToeBase", axis));
  ASSERT_GT(original[0].size(), 2000u);
  const double rate = take->GetFrameRate();
  Answers answers;

  // Cancelled after a preview: the curves are as they were and nothing is recorded.
  answers.previews = {2.0f};
  int previews = 0;
  answers.onPreview = [&] {
    ++previews;
    EXPECT_NE(Values("LeftToeBase", 0), original[0]) << "the preview shows on the curves";
  };
  answers.ok = false;
  EXPECT_FALSE(KeyTools::FilterNoise(core, answers, false));
  EXPECT_EQ(previews, 1);
  EXPECT_FLOAT_EQ(answers.highestCutoff, static_cast<float>(rate / 2.0)) << "a key on every frame";
  EXPECT_FLOAT_EQ(answers.offeredCutoff, 6.0f);
  for (std::uint32_t axis = 0; axis < 3; ++axis) EXPECT_EQ(Values("LeftToeBase", axis), original[axis]);
  EXPECT_EQ(core.GetHistory().GetStepCount(), 0u);

  answers.ok = true;
  answers.previews.clear();
  for (const float cutoff : {3.0f, 6.0f, 10.0f}) {
    answers.cutoff = cutoff;
    ASSERT_TRUE(KeyTools::FilterNoise(core, answers, false)) << cutoff;
    for (std::uint32_t axis = 0; axis < 3; ++axis) {
      const std::vector<float> filtered = Values("LeftToeBase", axis);
      const Bands before = Split(original[axis], original[axis], rate, cutoff);
      const Bands after = Split(filtered, original[axis], rate, cutoff);
      EXPECT_GE(10.0 * std::log10(before.energyAbove / after.energyAbove), 20.0)
          << "dB above " << cutoff << " Hz, axis " << axis;
      double moved = 0.0;
      for (std::size_t k = 0; k < filtered.size(); ++k)
        moved = std::max(moved, std::abs(after.below[k] - before.below[k]));
      EXPECT_LT(moved, 1.0) << "degrees below " << cutoff << " Hz, axis " << axis;
    }
    EXPECT_EQ(core.GetHistory().GetStepCount(), 1u) << "one step (an undone one gives way to it)";
    ASSERT_TRUE(core.Undo());
    EXPECT_EQ(Rotations(*take), keys) << "one undo gives back every key exactly";
  }
  // Smooth has no room between keys a frame apart, and says so.
  EXPECT_FALSE(KeyTools::Smooth(core, answers, false));
  ASSERT_EQ(answers.told.size(), 1u);
  EXPECT_NE(answers.told[0].find("Filter Noise"), std::string::npos);
}

// What the filter leaves is what a save and a reopen show: a reopened take's angles are made
// continuous by the filter's own rule.
TEST_F(EulerFilter, AFilteredTakeSavedAndReopenedShowsTheSameCurves) {
  TestSupport::TempFolder folder;
  TestSupport::CopyClipFiles(ClipTestFiles::Data("01_01.gltf"), folder.Path());
  ASSERT_OPENS(take, folder / "01_01.gltf");
  Attach(*take);
  Flip("Hips", {1000, 1001, 1002, 1500, 1501});
  ASSERT_TRUE(KeyTools::EulerFilter(core, false));
  const std::string filtered = Tarvel::CurveExport::ToCsv(core);
  ASSERT_TRUE(take->Save());
  core.DetachClip();

  ASSERT_OPENS(again, folder / "01_01.gltf");
  Tarvel::ClipEditCore reopened;
  again->ComputeKeyFrameRange();
  reopened.AttachClip(again.clip);
  std::istringstream before(filtered);
  std::istringstream after(Tarvel::CurveExport::ToCsv(reopened));
  // A line's curve and frame, and its value.
  auto split = [](const std::string& line) {
    const std::size_t value = line.rfind(',', line.rfind(',') - 1);
    return std::pair{line.substr(0, value), std::strtod(line.c_str() + value + 1, nullptr)};
  };
  std::string was;
  std::string is;
  double widest = 0.0;
  std::size_t lines = 0;
  while (std::getline(before, was) && std::getline(after, is)) {
    if (++lines == 1) continue;
    const auto [curve, value] = split(was);
    ASSERT_EQ(split(is).first, curve) << "the same curves and frames";
    widest = std::max(widest, std::abs(split(is).second - value));
  }
  EXPECT_FALSE(std::getline(after, is)) << "no more lines after the reopen";
  EXPECT_GT(lines, 279u * 2752u);
  EXPECT_LT(widest, 0.01) << "degrees";
}

namespace {

using EngineCore::AnimCurve;
using EngineCore::Quaternion;
using EngineCore::Vector3;

// Degrees between two rotations, precise near zero as acos is not.
double Degrees(const Quaternion& p, const Quaternion& q) {
  double minus = 0.0, plus = 0.0;
  const float a[4] = {p.x, p.y, p.z, p.w}, b[4] = {q.x, q.y, q.z, q.w};
  for (int c = 0; c < 4; ++c) {
    minus += (static_cast<double>(a[c]) - b[c]) * (static_cast<double>(a[c]) - b[c]);
    plus += (static_cast<double>(a[c]) + b[c]) * (static_cast<double>(a[c]) + b[c]);
  }
  return 4.0 * std::asin(std::min(1.0, std::sqrt(std::min(minus, plus)) / 2.0)) * 57.29577951308232;
}

// A clip at 24 frames per second whose channel Box has a cubic translation track (keys at
// frames 0, 12 and 30, one with a broken tangent) and a cubic rotation track (frames 0, 10
// and 24), its curves shown: translation X, Y, Z are rows 0 to 2, rotation rows 3 to 5.
class CubicTracks : public ::testing::Test {
 protected:
  void SetUp() override {
    AnimCurve& moves = builder.Track("Box", AnimTrack::Translation);
    moves.SetInterpolation(AnimCurve::Cubic);
    moves.AddKey(0, Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(30, 0, -6));
    moves.AddKey(12, Vector3(4, 1, 2), Vector3(6, 3, 0), Vector3(-12, 3, 0));
    moves.AddKey(30, Vector3(1, 5, -2), Vector3(0, 6, 0), Vector3(0, 0, 0));
    AnimCurve& turns = builder.Track("Box", AnimTrack::Rotation);
    turns.SetInterpolation(AnimCurve::Cubic);
    const Quaternion a = Quaternion::FromAngles(0.1f, 0.2f, 0.3f);
    const Quaternion b = Quaternion::FromAngles(1.2f, -0.4f, 0.5f);
    const Quaternion c = Quaternion::FromAngles(0.3f, 0.9f, -1.1f);
    turns.AddKey(0, a, Quaternion(0, 0, 0, 0), Quaternion(0.8f, -0.3f, 0.2f, -0.1f));
    turns.AddKey(10, b, Quaternion(0.5f, 0.4f, -0.2f, 0.05f), Quaternion(0.3f, 0.6f, -0.4f, 0.0f));
    turns.AddKey(24, c, Quaternion(-0.2f, 0.1f, 0.3f, 0.1f), Quaternion(0, 0, 0, 0));
    builder.Clip().SetFrameRate(24.0f);
    builder.Clip().ComputeKeyFrameRange();
    core.AttachClip(&builder.Clip());
    core.SetClipboard(&clipboard);
    core.ShowChannel(ClipBuilder::Key("Box"));
    answers.core = &core;
    moved = moves;
    turned = turns;
  }
  CurveInfo& Row(int row) { return *core.GetSelection().GetRowCurve(row); }
  const AnimCurve& Track(std::uint32_t type) { return *builder.Channel("Box").GetCurve(type); }
  void SelectRows(std::initializer_list<int> rows) {
    for (int row : rows) Row(row).bSelected = true;
  }
  // Every float of a track: frames, values and tangents, to compare bit for bit.
  static std::vector<std::uint32_t> Bits(const AnimCurve& keys) {
    std::vector<std::uint32_t> bits(keys.GetFrames());
    auto add = [&bits](const auto& value) {
      const auto* words = reinterpret_cast<const std::uint32_t*>(&value);
      bits.insert(bits.end(), words, words + sizeof(value) / 4);
    };
    for (std::uint32_t k = 0; k < keys.GetKeyCount(); ++k) {
      if (keys.GetKeyType() == AnimCurve::KeyVector3) {
        add(keys.GetVector3Key(k));
        add(keys.GetVector3InTangent(k));
        add(keys.GetVector3OutTangent(k));
      } else {
        add(keys.GetQuaternionKey(k));
        add(keys.GetQuaternionInTangent(k));
        add(keys.GetQuaternionOutTangent(k));
      }
    }
    return bits;
  }
  // The largest difference between what two tracks play, every quarter frame over 0..30: in
  // units for translations, in degrees of rotation for rotations.
  static double Drift(const AnimCurve& a, const AnimCurve& b) {
    double worst = 0.0;
    for (float frame = 0.0f; frame <= 30.0f; frame += 0.25f) {
      if (a.GetKeyType() == AnimCurve::KeyVector3) {
        Vector3 p, q;
        a.Evaluate(frame, 24.0f, p);
        b.Evaluate(frame, 24.0f, q);
        for (int c = 0; c < 3; ++c) worst = std::max(worst, static_cast<double>(std::abs(p[c] - q[c])));
      } else {
        Quaternion p, q;
        a.Evaluate(frame, 24.0f, p);
        b.Evaluate(frame, 24.0f, q);
        worst = std::max(worst, Degrees(p, q));
      }
    }
    return worst;
  }

  ClipBuilder builder;
  EditorToolkit::Curve2 clipboard;
  Tarvel::ClipEditCore core;
  Answers answers;
  AnimCurve moved;
  AnimCurve turned;
};

}  // namespace

TEST_F(CubicTracks, KeysAddedOnACubicTrackSplitItsSplineAndLeaveWhatPlays) {
  struct Case {
    const char* what;
    std::initializer_list<int> rows;
    std::function<bool()> act;
    std::uint32_t track;
    std::uint32_t keysAfter;
    double tolerance;
  };
  auto keyAt = [this](float frame) { return KeyAt(core, answers, frame); };
  const Case cases[] = {
      {"K between keys", {0, 1, 2}, keyAt(7.0f), AnimTrack::Translation, 4, 1e-4},
      {"K on one axis", {1}, keyAt(20.0f), AnimTrack::Translation, 4, 1e-4},
      {"subdivise",
       {0, 1, 2},
       [&] { return KeyTools::Subdivise(core, answers, false); },
       AnimTrack::Translation,
       5,
       1e-4},
      {"K on a rotation", {3, 4, 5}, keyAt(5.0f), AnimTrack::Rotation, 4, 0.03},
      // A normalised spline has no exact split at a key of unit length: the new key's tangents
      // come as near as a cubic can, well within 0.03 degrees on these steep tangents.
      {"subdivise a rotation",
       {3, 4, 5},
       [&] { return KeyTools::Subdivise(core, answers, false); },
       AnimTrack::Rotation,
       5,
       0.03},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    SelectRows(test.rows);
    const AnimCurve before = Track(test.track);
    ASSERT_TRUE(test.act());
    const AnimCurve& after = Track(test.track);
    EXPECT_TRUE(after.IsCubic());
    EXPECT_EQ(after.GetKeyCount(), test.keysAfter);
    EXPECT_LT(Drift(before, after), test.tolerance);
    // The keys that were there keep their values and tangents.
    for (std::uint32_t k = 0, n = 0; k < after.GetKeyCount(); ++k) {
      if (n < before.GetKeyCount() && after.GetKeyFrame(k) == before.GetKeyFrame(n)) {
        if (test.track == AnimTrack::Translation) {
          EXPECT_EQ(after.GetVector3Key(k), before.GetVector3Key(n));
          EXPECT_EQ(after.GetVector3InTangent(k), before.GetVector3InTangent(n));
          EXPECT_EQ(after.GetVector3OutTangent(k), before.GetVector3OutTangent(n));
        }
        ++n;
      }
    }
    ASSERT_TRUE(core.Undo());
    EXPECT_EQ(Bits(Track(AnimTrack::Translation)), Bits(moved)) << "undo gives back every bit";
    EXPECT_EQ(Bits(Track(AnimTrack::Rotation)), Bits(turned));
    for (const auto& curve : *core.GetChannelCurves(ClipBuilder::Key("Box"))) curve->bSelected = false;
  }
}

TEST_F(CubicTracks, RotationCurvesDrawWhatTheEnginePlays) {
  for (float frame = 0.0f; frame <= 24.0f; frame += 0.5f) {
    float angles[3];
    for (int c = 0; c < 3; ++c) ASSERT_TRUE(Tarvel::CurveEvaluation::Evaluate(Row(3 + c), frame, angles[c]));
    constexpr float kRad = 0.017453292519943295f;
    const Quaternion drawn = Quaternion::FromAngles(angles[0] * kRad, angles[1] * kRad, angles[2] * kRad);
    Quaternion played;
    ASSERT_TRUE(Track(AnimTrack::Rotation).Evaluate(frame, 24.0f, played));
    EXPECT_LT(Degrees(drawn, played), 0.001) << "frame " << frame;
    float x = 0.0f;
    ASSERT_TRUE(Tarvel::CurveEvaluation::Evaluate(Row(0), frame, x));
    Vector3 position;
    Track(AnimTrack::Translation).Evaluate(frame, 24.0f, position);
    EXPECT_NEAR(x, position.x, 1e-5f) << "frame " << frame;
  }
}

TEST_F(CubicTracks, TransformsCarryTheTangentsAlong) {
  SelectRows({0, 1, 2});
  // Flip in time: the keys run backwards, each tangent swapped and negated.
  answers.vertical = true;
  ASSERT_TRUE(KeyTools::Flip(core, answers, false));
  // Undo can give the channel new tracks: each is looked up again.
  auto keys = [this]() -> const AnimCurve& { return Track(AnimTrack::Translation); };
  ASSERT_EQ(keys().GetKeyCount(), 3u);
  EXPECT_EQ(keys().GetKeyFrame(1), 18u);
  EXPECT_EQ(keys().GetVector3InTangent(1), Vector3(12, -3, 0));
  EXPECT_EQ(keys().GetVector3OutTangent(1), Vector3(-6, -3, 0));
  for (float frame = 0.0f; frame <= 30.0f; frame += 0.5f) {
    Vector3 was, now;
    moved.Evaluate(30.0f - frame, 24.0f, was);
    keys().Evaluate(frame, 24.0f, now);
    EXPECT_NEAR(was.y, now.y, 1e-4f) << "the same motion backwards, frame " << frame;
  }
  ASSERT_TRUE(core.Undo());
  // Flip in value: the tangents are negated.
  answers.vertical = false;
  ASSERT_TRUE(KeyTools::Flip(core, answers, false));
  EXPECT_EQ(keys().GetVector3OutTangent(0), Vector3(-30, 0, 6));
  EXPECT_EQ(keys().GetVector3InTangent(2), Vector3(0, -6, 0));
  ASSERT_TRUE(core.Undo());
  // Twice as long: every slope halves, and the track plays at frame 2f what it played at f.
  answers.percentage = 200.0f;
  ASSERT_TRUE(KeyTools::Scale(core, answers, false));
  EXPECT_EQ(keys().GetKeyFrame(2), 60u);
  EXPECT_EQ(keys().GetVector3OutTangent(0), Vector3(15, 0, -3));
  EXPECT_EQ(keys().GetVector3InTangent(1), Vector3(3, 1.5f, 0));
  for (float frame = 0.0f; frame <= 30.0f; frame += 0.5f) {
    Vector3 was, now;
    moved.Evaluate(frame, 24.0f, was);
    keys().Evaluate(2.0f * frame, 24.0f, now);
    EXPECT_NEAR(was.x, now.x, 1e-4f) << "frame " << frame;
  }
  ASSERT_TRUE(core.Undo());
  EXPECT_EQ(Bits(keys()), Bits(moved));
}

TEST_F(CubicTracks, MovedKeysKeepTheirSlopesAndPastedKeysBringTheirs) {
  SelectRows({0});
  // A key moved in value keeps its tangents, and so does a neighbour of a removed key.
  core.BeginEdit("Drag");
  core.Touch(&Row(0))->GetPointAt(1)->y = 9.0f;
  ASSERT_TRUE(core.EndEdit());
  auto keys = [this]() -> const AnimCurve& { return Track(AnimTrack::Translation); };
  EXPECT_EQ(keys().GetVector3Key(1), Vector3(9, 1, 2));
  EXPECT_EQ(keys().GetVector3OutTangent(1), Vector3(-12, 3, 0));
  // The key at 12 copied and pasted at frame 40 keeps its slopes.
  Row(0).pCurve->SelectPointAt(1, true);
  core.GetSelection().fSelectionBegin = core.GetSelection().fSelectionEnd = 12.0f;
  ASSERT_TRUE(PointOperations::CopyPoints(core));
  Row(0).pCurve->SelectAllPoints(false);
  core.SetTimeCursor(40.0f);
  ASSERT_TRUE(PointOperations::PastePoints(core));
  ASSERT_EQ(keys().GetKeyCount(), 4u);
  EXPECT_EQ(keys().GetKeyFrame(3), 40u);
  EXPECT_EQ(keys().GetVector3InTangent(3).x, 6.0f);
  EXPECT_EQ(keys().GetVector3OutTangent(3).x, -12.0f);
  // Removing the key at 12 of every axis leaves the tangents of the others as they were.
  SelectRows({1, 2});
  for (int row : {0, 1, 2}) {
    Row(row).pCurve->SelectAllPoints(false);
    Row(row).pCurve->SelectPointAt(1, true);
  }
  core.GetSelection().fSelectionBegin = core.GetSelection().fSelectionEnd = 12.0f;
  ASSERT_TRUE(PointOperations::RemovePoints(core));
  EXPECT_EQ(keys().GetKeyFrame(1), 30u);
  EXPECT_EQ(keys().GetVector3OutTangent(0), Vector3(30, 0, -6));
  EXPECT_EQ(keys().GetVector3InTangent(1), Vector3(0, 6, 0));
}

TEST(CubicTracksOfBlender, AKeyAddedOnAnExportedRotationLeavesItsMotion) {
  ASSERT_OPENS(clip, ClipTestFiles::Data("blender/keyframed.gltf"));
  Tarvel::ClipEditCore core;
  core.AttachClip(clip.clip);
  core.ShowChannel(ClipBuilder::Key("Box"));
  // Box's tracks: translation rows 0 to 2, rotation 3 to 5.
  for (int row : {3, 4, 5}) core.GetSelection().GetRowCurve(row)->bSelected = true;
  const EngineCore::AnimCurve before = *clip->GetChannel(ClipBuilder::Key("Box"))->GetCurve(AnimTrack::Rotation);
  Answers answers;
  answers.core = &core;
  for (const float frame : {5.0f, 21.0f, 40.0f}) {
    core.SetTimeCursor(frame);
    ASSERT_TRUE(PointOperations::CreatePoint(core, answers, answers, true));
  }
  const EngineCore::AnimCurve& after = *clip->GetChannel(ClipBuilder::Key("Box"))->GetCurve(AnimTrack::Rotation);
  ASSERT_EQ(after.GetKeyCount(), 7u);
  double worst = 0.0;
  for (float frame = 1.0f; frame <= 48.0f; frame += 0.25f) {
    EngineCore::Quaternion p, q;
    before.Evaluate(frame, 24.0f, p);
    after.Evaluate(frame, 24.0f, q);
    worst = std::max(worst, Degrees(p, q));
  }
  // Blender's flat tangents between keys 45 to 90 degrees apart: a normalised cubic split at a
  // key of unit length comes within a few hundredths of a degree, no nearer.
  EXPECT_LT(worst, 0.03) << "degrees";
  core.DetachClip();
}

namespace {

// A face whose three morph targets are keyed as Blender keys them: cubic, at 24 frames/s.
class MorphWeights : public ::testing::Test {
 protected:
  void SetUp() override {
    builder.Vectors("Face", AnimTrack::Translation, {{0, Vector3(0, 0, 0)}, {20, Vector3(1, 1, 1)}});
    AnimCurve& weights = builder.Track("Face", AnimTrack::Weights, AnimCurve::KeyWeights);
    weights.SetWeightCount(3);
    weights.SetWeightNames({"Blink", "Smile", "Frown"});
    weights.SetInterpolation(AnimCurve::Cubic);
    const float values[3][3] = {{0, 0, 0}, {1, 0.25f, 0.5f}, {0, 1, 0}};
    const float in[3][3] = {{0, 0, 0}, {0, 3, -1}, {0, 0, 0}};
    const float out[3][3] = {{2, 1, 0}, {0, 3, -1}, {0, 0, 0}};
    for (std::uint32_t k = 0; k < 3; ++k) weights.AddWeightKey(k * 10, values[k], in[k], out[k]);
    builder.Clip().SetFrameRate(24.0f);
    builder.Clip().ComputeKeyFrameRange();
    core.AttachClip(&builder.Clip());
    core.ShowChannel(ClipBuilder::Key("Face"));
    answers.core = &core;
    before = TestSupport::DescribeKeys(builder.Clip());
  }
  CurveInfo& Row(int row) { return *core.GetSelection().GetRowCurve(row); }
  const AnimCurve& Weights() { return *builder.Channel("Face").GetCurve(AnimTrack::Weights); }

  ClipBuilder builder;
  Tarvel::ClipEditCore core;
  Answers answers;
  std::string before;
};

}  // namespace

TEST_F(MorphWeights, EachTargetIsACurveNamedAfterItAndTheKindFilterAloneHidesThem) {
  ASSERT_EQ(core.GetSelection().GetRowCount(), 6);
  const char* names[] = {"Blink", "Smile", "Frown"};
  for (int w = 0; w < 3; ++w) {
    const CurveInfo& curve = Row(3 + w);
    EXPECT_EQ(curve.iTrackType, CurveInfo::Weights);
    EXPECT_EQ(curve.sTargetName, names[w]);
    ASSERT_EQ(curve.pCurve->GetPointCount(), 3u);
    EXPECT_EQ(curve.pCurve->GetPointAt(1)->y, Weights().GetWeightKey(1)[w]);
  }
  // The graph draws what plays: each weight's Hermite spline.
  for (float frame = 0.0f; frame <= 20.0f; frame += 0.5f) {
    std::vector<float> played;
    ASSERT_TRUE(Weights().Evaluate(frame, 24.0f, played));
    for (int w = 0; w < 3; ++w) {
      float drawn = 0.0f;
      ASSERT_TRUE(Tarvel::CurveEvaluation::Evaluate(Row(3 + w), frame, drawn));
      EXPECT_NEAR(drawn, played[static_cast<std::size_t>(w)], 1e-5f) << "frame " << frame;
    }
  }
  const CurveInfo& blink = Row(3);
  core.GetSelection().ApplyFilter({true, true, true, true}, {false, false, false});
  EXPECT_FALSE(blink.bFiltered) << "weights have no X, Y or Z";
  EXPECT_EQ(core.GetSelection().GetRowCount(), 3);
  core.GetSelection().ApplyFilter({true, true, true, false}, {true, true, true});
  EXPECT_TRUE(blink.bFiltered);
  EXPECT_EQ(core.GetSelection().GetRowCount(), 3);
}

TEST_F(MorphWeights, KeyToolsWorkOnWeightsAndUndoGivesBackEveryBit) {
  struct Case {
    const char* what;
    std::initializer_list<int> rows;
    std::function<bool()> act;
    std::uint32_t keysAfter;
  };
  auto keyAt = [this](float frame) { return KeyAt(core, answers, frame); };
  const Case cases[] = {
      // A key on one target's curve is a key of every weight: the others split where they are.
      {"K on one weight", {4}, keyAt(5.0f), 4},
      {"K on every weight", {3, 4, 5}, keyAt(15.0f), 4},
      {"subdivise", {3, 4, 5}, [&] { return KeyTools::Subdivise(core, answers, false); }, 5},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    for (int row : test.rows) Row(row).bSelected = true;
    const AnimCurve was = Weights();
    ASSERT_TRUE(test.act());
    const AnimCurve& now = Weights();
    EXPECT_TRUE(now.IsCubic());
    EXPECT_EQ(now.GetKeyCount(), test.keysAfter);
    EXPECT_EQ(now.GetWeightNames(), was.GetWeightNames());
    for (float frame = 0.0f; frame <= 20.0f; frame += 0.25f) {
      std::vector<float> a, b;
      was.Evaluate(frame, 24.0f, a);
      now.Evaluate(frame, 24.0f, b);
      for (std::size_t w = 0; w < 3; ++w) EXPECT_NEAR(a[w], b[w], 1e-4f) << "frame " << frame;
    }
    ASSERT_TRUE(core.Undo());
    EXPECT_EQ(TestSupport::DescribeKeys(builder.Clip()), before) << "undo gives back every bit";
    for (int row = 0; row < core.GetSelection().GetRowCount(); ++row) Row(row).bSelected = false;
  }

  // Flip in value negates one target's weights about the middle of its range, and nothing of
  // the others.
  Row(4).bSelected = true;
  answers.vertical = false;
  ASSERT_TRUE(KeyTools::Flip(core, answers, false));
  EXPECT_EQ(Weights().GetWeightKey(0)[1], 1.0f);
  EXPECT_EQ(Weights().GetWeightKey(2)[1], 0.0f);
  EXPECT_EQ(Weights().GetWeightKey(1)[0], 1.0f) << "Blink stays";
  EXPECT_EQ(Weights().GetWeightInTangent(1)[1], -3.0f);
}

TEST_F(CubicTracks, TangentTypesMakeTheTangentsTheyNameAndFollowTheNeighbours) {
  using EngineCore::TangentType;
  SelectRows({0, 1});
  for (int row : {0, 1}) Row(row).pCurve->SelectPointAt(1, true);
  // The key at frame 12: X rises from 0 to 4 and falls to 1 (a peak), Y rises 0, 1, 5; the
  // slopes to its neighbours, per second at 24 frames a second: X 8 and -4, Y 2 and 16/3.
  struct Case {
    TangentType type;
    float inX, inY, outX, outY;
  };
  const Case cases[] = {
      {TangentType::Free, -3.0f, 3.0f, -3.0f, 3.0f},  // in 6, 3 and out -12, 3 made one line
      {TangentType::Flat, 0.0f, 0.0f, 0.0f, 0.0f},
      {TangentType::Linear, 8.0f, 2.0f, -4.0f, 16.0f / 3.0f},
      {TangentType::Auto, 2.0f, 11.0f / 3.0f, 2.0f, 11.0f / 3.0f},
      {TangentType::AutoClamped, 0.0f, 11.0f / 3.0f, 0.0f, 11.0f / 3.0f},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(static_cast<int>(test.type));
    ASSERT_TRUE(KeyTools::SetTangents(core, test.type, true));
    EXPECT_EQ(KeyTools::SharedTangentType(core, true), test.type);
    const AnimCurve& keys = Track(AnimTrack::Translation);
    EXPECT_NEAR(keys.GetVector3InTangent(1).x, test.inX, 1e-4f);
    EXPECT_NEAR(keys.GetVector3InTangent(1).y, test.inY, 1e-4f);
    EXPECT_NEAR(keys.GetVector3OutTangent(1).x, test.outX, 1e-4f);
    EXPECT_NEAR(keys.GetVector3OutTangent(1).y, test.outY, 1e-4f);
    EXPECT_EQ(keys.GetVector3OutTangent(1).z, 0.0f) << "Z's key was not selected";
    EXPECT_EQ(keys.GetVector3OutTangent(0), moved.GetVector3OutTangent(0)) << "keys set by hand stay";
    EXPECT_EQ(keys.GetTangentTypes().at(3 + 1), test.type);
  }
  // Moving the last key down to 2 remakes the Auto Clamped key before it: slopes 2 and 4/3.
  core.BeginEdit("Move");
  core.Touch(&Row(1))->GetPointAt(2)->y = 2.0f;
  ASSERT_TRUE(core.EndEdit());
  EXPECT_NEAR(Track(AnimTrack::Translation).GetVector3InTangent(1).y, 5.0f / 3.0f, 1e-4f);
  while (core.Undo()) {
  }
  EXPECT_EQ(Bits(Track(AnimTrack::Translation)), Bits(moved)) << "undo gives back every tangent bit for bit";
  EXPECT_EQ(TestSupport::DescribeKeys(builder.Clip()).find("types 0"), std::string::npos) << "and every type";
}

TEST_F(CubicTracks, AutoClampedKeysStayWithinTheirNeighboursAndFlatRotationsStop) {
  SelectRows({0, 1, 2, 3});
  ASSERT_TRUE(KeyTools::SetTangents(core, EngineCore::TangentType::AutoClamped, false));
  // Sampled at 240 a second, every segment of every axis stays between its keys' values.
  const AnimCurve& keys = Track(AnimTrack::Translation);
  for (std::uint32_t k = 0; k + 1 < keys.GetKeyCount(); ++k) {
    const Vector3 a = keys.GetVector3Key(k);
    const Vector3 b = keys.GetVector3Key(k + 1);
    for (float frame = static_cast<float>(keys.GetKeyFrame(k)); frame <= keys.GetKeyFrame(k + 1); frame += 0.1f) {
      Vector3 at;
      keys.Evaluate(frame, 24.0f, at);
      for (int c = 0; c < 3; ++c) {
        EXPECT_GE(at[c], std::min(a[c], b[c]) - 1e-5f) << "frame " << frame << " axis " << c;
        EXPECT_LE(at[c], std::max(a[c], b[c]) + 1e-5f) << "frame " << frame << " axis " << c;
      }
    }
  }
  // A rotation key chosen on one axis takes the type on all three: its quaternion stops there.
  SelectRows({3});
  Row(3).pCurve->SelectPointAt(1, true);
  ASSERT_TRUE(KeyTools::SetTangents(core, EngineCore::TangentType::Flat, true));
  EXPECT_EQ(Track(AnimTrack::Rotation).GetQuaternionInTangent(1), Quaternion(0, 0, 0, 0));
  EXPECT_EQ(Track(AnimTrack::Rotation).GetQuaternionOutTangent(1), Quaternion(0, 0, 0, 0));
  for (int row : {4, 5}) EXPECT_EQ(Row(row).pCurve->GetTangentsAt(1)->type, EngineCore::TangentType::Flat);
}

TEST_F(CubicTracks, InterpolationChangesWholeTracksAndLinearToSmoothPlaysTheSame) {
  SelectRows({0});
  ASSERT_TRUE(KeyTools::SetInterpolation(core, EditorToolkit::Curve2::Linear));
  const AnimCurve linear = Track(AnimTrack::Translation);
  EXPECT_EQ(linear.GetInterpolation(), AnimCurve::Linear) << "one axis changes its whole track";
  EXPECT_EQ(Row(2).pCurve->GetInterpolation(), EditorToolkit::Curve2::Linear);
  for (std::uint32_t k = 0; k < linear.GetKeyCount(); ++k) EXPECT_EQ(linear.GetVector3Key(k), moved.GetVector3Key(k));
  ASSERT_TRUE(KeyTools::SetInterpolation(core, EditorToolkit::Curve2::Cubic));
  EXPECT_TRUE(Track(AnimTrack::Translation).IsCubic());
  EXPECT_LT(Drift(linear, Track(AnimTrack::Translation)), 1e-4) << "smooth keys along their segments";
  EXPECT_EQ(KeyTools::SharedTangentType(core, false), EngineCore::TangentType::Linear);
  ASSERT_TRUE(core.Undo());
  ASSERT_TRUE(core.Undo());
  EXPECT_EQ(Bits(Track(AnimTrack::Translation)), Bits(moved)) << "undo gives the cubic track back bit for bit";
  for (const auto& curve : *core.GetChannelCurves(ClipBuilder::Key("Box"))) EXPECT_TRUE(curve->pCurve->IsCubic());
}

TEST_F(CubicTracks, ATypeChangeThatLeavesTheTangentsIsAStepOfItsOwn) {
  // The last key's X tangents are zero on both sides; Auto Clamped makes them zero again.
  SelectRows({0});
  Row(0).pCurve->SelectPointAt(2, true);
  ASSERT_TRUE(KeyTools::SetTangents(core, EngineCore::TangentType::AutoClamped, true));
  EXPECT_EQ(Track(AnimTrack::Translation).GetTangentTypes().at(6), EngineCore::TangentType::AutoClamped)
      << "the clip holds the new type";
  ASSERT_TRUE(core.Undo());
  EXPECT_EQ(Row(0).pCurve->GetTangentsAt(2)->type, EngineCore::TangentType::Free);
}

TEST_F(CubicTracks, ALinearRotationTurnedSmoothPlaysAlongItsArcs) {
  SelectRows({3});
  ASSERT_TRUE(KeyTools::SetInterpolation(core, EditorToolkit::Curve2::Linear));
  const AnimCurve linear = Track(AnimTrack::Rotation);
  ASSERT_TRUE(KeyTools::SetInterpolation(core, EditorToolkit::Curve2::Cubic));
  ASSERT_TRUE(Track(AnimTrack::Rotation).IsCubic());
  // Keys far apart (the second 70 degrees and more from each neighbour): the spline, leaving
  // each key along the spherical blend, follows it within a twentieth of a degree.
  EXPECT_LT(Drift(linear, Track(AnimTrack::Rotation)), 0.05);
}

TEST(Interpolation, ARotationWhoseKeysChangeSignTurnsSmoothTheShortWay) {
  // A linear track plays each key pair the short way whatever their signs; a spline plays its
  // keys as stored, so turning smooth gives them one sign after another.
  ClipBuilder builder;
  AnimCurve& turns = builder.Track("Arm", AnimTrack::Rotation);
  const Quaternion a = Quaternion::FromAngles(0.1f, 0.2f, 0.3f);
  const Quaternion b = Quaternion::FromAngles(0.5f, -0.4f, 0.9f);
  const Quaternion c = Quaternion::FromAngles(0.3f, 0.9f, -0.2f);
  turns.AddKey(0, a);
  turns.AddKey(10, b.Negated());
  turns.AddKey(20, c);
  builder.Clip().SetFrameRate(24.0f);
  builder.Clip().ComputeKeyFrameRange();
  const AnimCurve linear = turns;
  Tarvel::ClipEditCore core;
  core.AttachClip(&builder.Clip());
  core.ShowChannel(ClipBuilder::Key("Arm"));
  core.GetSelection().GetRowCurve(0)->bSelected = true;
  ASSERT_TRUE(KeyTools::SetInterpolation(core, EditorToolkit::Curve2::Cubic));
  const AnimCurve& smooth = *builder.Channel("Arm").GetCurve(AnimTrack::Rotation);
  ASSERT_TRUE(smooth.IsCubic());
  for (float frame = 0.0f; frame <= 20.0f; frame += 0.25f) {
    Quaternion p, q;
    linear.Evaluate(frame, 24.0f, p);
    smooth.Evaluate(frame, 24.0f, q);
    // Two rotations a small angle apart lie twice that angle's half apart as unit quaternions.
    const Quaternion r = p.Dot(q) < 0.0f ? q.Negated() : q;
    const double apart = std::hypot(std::hypot(p.x - r.x, p.y - r.y), std::hypot(p.z - r.z, p.w - r.w));
    EXPECT_LT(2.0 * apart * 57.29578, 0.05) << "degrees apart at frame " << frame;
  }
}

TEST_F(CubicTracks, KeysPastedWithoutTangentsFollowTheirNeighboursAsNewKeysDo) {
  // Keys copied from a linear curve carry no tangents: on the cubic X curve, between its keys
  // at 12 (4) and 30 (1), a key of 3 at frame 20 is Auto Clamped: slopes -1/8 and -2/10 a frame.
  clipboard.RemoveAllPoints();
  clipboard.AddPoint({0.0f, 3.0f}, false);
  SelectRows({0});
  core.SetTimeCursor(20.0f);
  ASSERT_TRUE(PointOperations::PastePoints(core));
  const EditorToolkit::Curve2& x = *Row(0).pCurve;
  ASSERT_EQ(x.GetPointCount(), 4u);
  EXPECT_EQ(x.GetTangentsAt(2)->type, EngineCore::TangentType::AutoClamped);
  EXPECT_NEAR(x.GetTangentsAt(2)->out[0], (-1.0f / 8.0f - 2.0f / 10.0f) / 2.0f * 24.0f, 1e-4f);
}

TEST_F(CubicTracks, ARotationHandleShowsItsAnglesSlopeAndTurnsItAloneTheOtherAnglesKeepingTheirs) {
  // The key at frame 10 of the rotation: X, Y and Z curves on rows 3 to 5.
  auto slopes = [this](std::uint32_t axis, double& in, double& out) {
    return Tarvel::CurveExport::KeySlopes(core, "Box", CurveInfo::Rotation, std::to_string(axis), 10.0f, in, out);
  };
  double in[3], out[3];
  for (std::uint32_t c = 0; c < 3; ++c) ASSERT_TRUE(slopes(c, in[c], out[c]));
  // At 10 columns a frame, the out-handle of Y ends a third of the way to frame 24, along the
  // slope the curve is drawn with.
  const Tarvel::KeyHandles::End end = Tarvel::KeyHandles::Of(Row(4), 1, Tarvel::KeyHandles::Out, 10.0);
  ASSERT_TRUE(end.shown);
  EXPECT_NEAR(end.frame, 10.0 + 14.0 / 3.0, 1e-9);
  EXPECT_NEAR((end.value - Row(4).pCurve->GetPointAt(1)->y) / (14.0 / 3.0), out[1], 1e-2);
  // Y's out-slope turned to 2 degrees a frame, breaking the key: X and Z leave as they did, and
  // the in-side stays.
  EditorToolkit::KeyTangents handled;
  ASSERT_TRUE(Tarvel::KeyHandles::Turned(Row(4), 1, Tarvel::KeyHandles::Out, 2.0f * 24.0f, true, handled));
  EXPECT_EQ(handled.type, EngineCore::TangentType::Broken);
  core.BeginEdit("Handle");
  for (int row : {3, 4, 5}) core.Touch(&Row(row))->SetTangentsAt(1, handled);
  ASSERT_TRUE(core.EndEdit());
  for (std::uint32_t c = 0; c < 3; ++c) {
    double nowIn = 0.0, nowOut = 0.0;
    ASSERT_TRUE(slopes(c, nowIn, nowOut));
    EXPECT_NEAR(nowOut, c == 1 ? 2.0 : out[c], 2e-2) << "axis " << c;
    EXPECT_NEAR(nowIn, in[c], 2e-2) << "axis " << c;
  }
}
