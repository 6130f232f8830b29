#include <cmath>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "ClipBuilder.h"
#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_Module.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "Formats/GltfClipFile.h"
#include "TempFolder.h"
#include "curves/ClipDocument.h"

using EngineCore::AnimTrack;
using EngineCore::Vector3;
using Tarvel::CurveInfo;

namespace {

// Counts the framework messages that reach the host's modules.
class ListeningModule : public EditorCore::GUI_Module {
 public:
  EditorCore::UINT GetModuleID() override { return 0x20000000u; }
  EditorCore::LRESULT OnFrameworkMessage(EditorCore::UINT message, EditorCore::WPARAM, EditorCore::LPARAM) override {
    if (message == 3526) ++rangeMessages;
    return 0;
  }
  int rangeMessages = 0;
};

// A document whose track list is a plain list of curves.
class TestDocument : public Tarvel::ClipDocument, public Tarvel::TrackRows {
 public:
  int GetRowCount() const override { return static_cast<int>(rows.size()); }
  CurveInfo* GetRowCurve(int row) const override { return rows[static_cast<std::size_t>(row)]; }
  void ListChannel(const char* name) {
    for (CurveInfo* curve : *GetChannelCurves(ClipBuilder::Key(name))) rows.push_back(curve);
  }
  std::vector<CurveInfo*> rows;

 protected:
  const Tarvel::TrackRows* GetTrackRows() const override { return this; }
};

class ClipDocumentHost : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EditorCore::GUI_App::EnsureForTests(); }
  void SetUp() override {
    mainFrame = std::make_unique<EditorCore::GUI_MainFrame>();
    mainFrame->GetModuleManager()->RegisterModule(&listener);
  }
  void TearDown() override {
    document.DetachClip();
    mainFrame->GetModuleManager()->UnregisterModule(&listener);
  }

  CurveInfo& Curve(const char* channel, std::uint32_t track, std::uint32_t component) {
    for (CurveInfo* curve : *document.GetChannelCurves(ClipBuilder::Key(channel))) {
      if (curve->iTrackType == track && curve->iComponent == component) return *curve;
    }
    throw std::runtime_error("no such curve");
  }
  // Moves every point of the channel's curves by dx frames.
  void Shift(const char* channel, float dx) {
    for (CurveInfo* curve : *document.GetChannelCurves(ClipBuilder::Key(channel))) {
      curve->pCurve->MovePointsAt(0, curve->pCurve->GetPointCount() - 1, dx);
    }
  }

  std::unique_ptr<EditorCore::GUI_MainFrame> mainFrame;
  ListeningModule listener;
  ClipBuilder builder;
  TestDocument document;
};

}  // namespace

TEST_F(ClipDocumentHost, TellsModulesOnlyWhenBothEndsOfTheRangeMove) {
  builder.Vectors("A", AnimTrack::Translation, {{10, {0, 0, 0}}, {20, {1, 1, 1}}});
  builder.Vectors("B", AnimTrack::Translation, {{10, {0, 0, 0}}, {20, {2, 2, 2}}});
  builder.Clip().ComputeKeyFrameRange();
  document.AttachClip(&builder.Clip());
  Shift("A", 5.0f);
  document.WriteBackAllChannels();
  EXPECT_EQ(builder.Clip().GetLastKeyFrame(), 25u);
  EXPECT_EQ(listener.rangeMessages, 0) << "only the last frame moved";
  Shift("B", -5.0f);
  document.WriteBackAllChannels();
  EXPECT_EQ(builder.Clip().GetFirstKeyFrame(), 5u);
  EXPECT_EQ(listener.rangeMessages, 0) << "only the first frame moved";
  Shift("A", 10.0f);
  Shift("B", 10.0f);
  document.WriteBackAllChannels();
  EXPECT_EQ(listener.rangeMessages, 1);
}

TEST_F(ClipDocumentHost, UndoPutsTheRecordedKeysBackIntoTheClip) {
  builder.Vectors("A", AnimTrack::Translation, {{0, {0, 0, 0}}, {10, {1, 1, 1}}});
  builder.Clip().ComputeKeyFrameRange();
  document.AttachClip(&builder.Clip());
  document.ListChannel("A");
  CurveInfo& x = Curve("A", AnimTrack::Translation, 0);
  x.bSelected = true;
  document.RecordBefore(&x, "Edit");
  x.pCurve->GetPointAt(1)->y = 9.0f;
  document.WriteBackChannel(x.iChannelKey);
  document.RecordStep("Edit", false);
  const EngineCore::AnimCurve& keys = *builder.Channel("A").GetCurve(AnimTrack::Translation);
  EXPECT_FLOAT_EQ(keys.GetVector3Key(1).x, 9.0f);
  document.Undo();
  EXPECT_FLOAT_EQ(keys.GetVector3Key(1).x, 1.0f);
  document.Redo();
  EXPECT_FLOAT_EQ(keys.GetVector3Key(1).x, 9.0f);
}

TEST_F(ClipDocumentHost, UndoThatMovesBothEndsTellsTheModules) {
  builder.Vectors("A", AnimTrack::Translation, {{0, {0, 0, 0}}, {10, {1, 1, 1}}});
  builder.Clip().ComputeKeyFrameRange();
  document.AttachClip(&builder.Clip());
  document.ListChannel("A");
  auto shiftTool = [this]() {
    for (CurveInfo* curve : document.rows) {
      curve->bSelected = true;
      document.RecordBefore(curve, "Shift");
    }
    Shift("A", 5.0f);
    document.WriteBackAllChannels();
    document.RecordStep("Shift", false);
  };
  shiftTool();
  EXPECT_EQ(listener.rangeMessages, 1) << "0..10 became 5..15";
  shiftTool();
  EXPECT_EQ(listener.rangeMessages, 2) << "5..15 became 10..20";
  document.Undo();
  EXPECT_EQ(builder.Clip().GetFirstKeyFrame(), 5u);
  EXPECT_EQ(listener.rangeMessages, 3) << "one undo put all three curves back to 5..15";
  // The first tool recorded its three curves one step each: undoing them one by one moves
  // one end of the range at a time, which tells no one.
  document.Undo();
  document.Undo();
  document.Undo();
  EXPECT_EQ(builder.Clip().GetFirstKeyFrame(), 0u);
  EXPECT_EQ(builder.Clip().GetLastKeyFrame(), 10u);
  EXPECT_EQ(listener.rangeMessages, 3);
}

TEST_F(ClipDocumentHost, RemovedChannelsSnapshotsTurnStale) {
  builder.Vectors("A", AnimTrack::Translation, {{0, {0, 0, 0}}, {10, {1, 1, 1}}});
  document.AttachClip(&builder.Clip());
  document.ListChannel("A");
  CurveInfo& x = Curve("A", AnimTrack::Translation, 0);
  x.bSelected = true;
  document.RecordBefore(&x, "Edit");
  document.rows.clear();
  document.RemoveChannelCurves(ClipBuilder::Key("A"));
  EXPECT_TRUE(document.GetUndoHistory().GetSnapshot(0).stale);
  EXPECT_EQ(document.GetChannelCurves(ClipBuilder::Key("A")), nullptr);
  document.Undo();
  EXPECT_EQ(document.GetUndoHistory().GetStep(), 0u);
}

TEST_F(ClipDocumentHost, DocumentHoldsOneReferenceToItsClip) {
  auto* clip = new EngineCore::AnimClip("Held");
  document.AttachClip(clip);
  EXPECT_EQ(clip->GetReferenceCount(), 2u);
  document.DetachClip();
  EXPECT_EQ(clip->GetReferenceCount(), 1u);
  clip->Release();
}

TEST_F(ClipDocumentHost, EditedReferenceClipSurvivesUndoAndSavesAValidFile) {
  EngineCore::Log::SetEchoToStandardError(false);
  TestSupport::TempFolder folder;
  TestSupport::CopyClipFiles(std::string(TARVEL_TEST_DATA) + "/01_01.gltf", folder.Path());
  const std::string path = folder / "01_01.gltf";
  Formats::ClipOpenResult opened = Formats::GltfClipFile::Open(path);
  ASSERT_NE(opened.clip, nullptr);
  document.AttachClip(opened.clip);
  opened.clip->Release();
  document.ListChannel("Hips");
  CurveInfo& height = Curve("Hips", AnimTrack::Translation, 1);
  const auto original = height.pCurve->GetCurve();
  height.bSelected = true;
  document.RecordBefore(&height, "Lift");
  for (std::uint32_t i = 100; i < 200; ++i) height.pCurve->GetPointAt(i)->y += 10.0f;
  document.WriteBackChannel(height.iChannelKey);
  document.RecordStep("Lift", false);
  EngineCore::Vector3 lifted;
  const EngineCore::AnimCurve& keys =
      *document.GetClip()->GetChannel(ClipBuilder::Key("Hips"))->GetCurve(AnimTrack::Translation);
  ASSERT_TRUE(keys.Evaluate(150.0f, lifted));
  EXPECT_NEAR(lifted.y, original[149].y + 10.0f, 0.05f);

  document.Undo();
  ASSERT_TRUE(document.GetClip()->Save());
  const std::string validate = std::string(TARVEL_GLTF_VALIDATOR) + " '" + path + "' > /dev/null 2>&1";
  EXPECT_EQ(std::system(validate.c_str()), 0);
  Formats::ClipOpenResult again = Formats::GltfClipFile::Open(path);
  ASSERT_NE(again.clip, nullptr);
  const EngineCore::AnimCurve& saved =
      *again.clip->GetChannel(ClipBuilder::Key("Hips"))->GetCurve(AnimTrack::Translation);
  float worst = 0.0f;
  for (const auto& point : original) {
    EngineCore::Vector3 value;
    ASSERT_TRUE(saved.Evaluate(point.x, value));
    worst = std::max(worst, std::abs(value.y - point.y));
  }
  EXPECT_LT(worst, 0.05f) << "the undone edit is gone and the reduced keys follow the capture";
  again.clip->Release();
  EngineCore::Log::SetEchoToStandardError(true);
}
