#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ClipBuilder.h"
#include "CurveRecords.h"
#include "EngineCore/AnimTrack.h"
#include "curves/ClipEditCore.h"
#include "tools/DopeSheet.h"

using EngineCore::AnimTrack;
using Tarvel::CurveInfo;
using Tarvel::DopeSheet;

namespace {

// Frames of a track's keys in the clip, as its file would hold them.
std::vector<std::uint32_t> ClipFrames(EngineCore::AnimClip& clip, const char* channel, std::uint32_t track) {
  std::vector<std::uint32_t> frames;
  const EngineCore::AnimCurve* curve = clip.GetChannel(ClipBuilder::Key(channel))->GetCurve(track);
  for (std::uint32_t k = 0; k < curve->GetKeyCount(); ++k) frames.push_back(curve->GetKeyFrame(k));
  return frames;
}

// A clip of two channels in a page's core, the sheet showing Root then Arm:
// Root translation keys at 0, 5 and 12, Arm rotation keys at 0 and 10.
class DopeSheetEditing : public ::testing::Test {
 protected:
  void SetUp() override {
    builder.Vectors("Root", AnimTrack::Translation, {{0, {0, 0, 0}}, {5, {1, 2, 3}}, {12, {4, 5, 6}}});
    builder.Rotations("Arm", {{0, {0, 0, 0}}, {10, {0, 45, 0}}});
    builder.Clip().ComputeKeyFrameRange();
    core.AttachClip(&builder.Clip());
    sheet.SetChannels({ClipBuilder::Key("Root"), ClipBuilder::Key("Arm")});
    sheet.SetTeller([this](const std::string& sentence) { told.push_back(sentence); });
  }
  std::vector<std::uint32_t> Frames(const char* channel, std::uint32_t track) {
    return ClipFrames(builder.Clip(), channel, track);
  }
  int Row(const char* name) const {
    const int row = sheet.FindRow(name);
    EXPECT_GE(row, 0) << name;
    return row;
  }

  ClipBuilder builder;
  Tarvel::ClipEditCore core;
  DopeSheet sheet{core};
  std::vector<std::string> told;
};

using Keys = std::vector<std::uint32_t>;

}  // namespace

TEST_F(DopeSheetEditing, RowsAreTheSummaryAndTheChannelsInOrderWhichOpenIntoTheirTracks) {
  ASSERT_EQ(sheet.GetRows().size(), 3u);
  EXPECT_EQ(sheet.GetRows()[0].curves.size(), 6u) << "the summary holds every curve";
  EXPECT_EQ(Row("summary"), 0);
  EXPECT_EQ(Row("Root"), 1);
  EXPECT_EQ(Row("Arm"), 2);
  EXPECT_EQ(sheet.FindRow("Root translation"), -1) << "closed";
  ASSERT_TRUE(sheet.ToggleExpanded(1));
  ASSERT_EQ(sheet.GetRows().size(), 4u);
  EXPECT_EQ(Row("Root translation"), 2);
  EXPECT_EQ(sheet.GetRows()[2].curves.size(), 3u);
  EXPECT_EQ(Row("Arm"), 3);
  EXPECT_FALSE(sheet.ToggleExpanded(2)) << "a track row does not open";
  sheet.SetChannels({ClipBuilder::Key("Arm"), ClipBuilder::Key("Root")});
  EXPECT_EQ(Row("Arm"), 1) << "the channel list's order";
  EXPECT_EQ(Row("Root translation"), 3) << "an open channel stays open";
}

TEST_F(DopeSheetEditing, MarksAreFoundNearThePointerAndTheirKeysAreTheGraphsSelection) {
  float mark = 0.0f;
  EXPECT_TRUE(sheet.FindMark(Row("summary"), 8.0f, 3.0f, mark));
  EXPECT_EQ(mark, 10.0f) << "Arm's key is nearer than Root's";
  EXPECT_TRUE(sheet.FindMark(Row("Root"), 8.5f, 3.5f, mark));
  EXPECT_EQ(mark, 5.0f) << "of two as near, the earlier";
  EXPECT_FALSE(sheet.FindMark(Row("Arm"), 5.0f, 2.0f, mark));

  sheet.SelectMark(Row("Root"), 5.0f, false);
  for (const auto& curve : *core.GetChannelCurves(ClipBuilder::Key("Root"))) {
    EXPECT_TRUE(curve->bSelected);
    EXPECT_EQ(CurveRecords::Selected(*curve), (std::vector<bool>{false, true, false}));
  }
  EXPECT_TRUE(sheet.IsMarkSelected(Row("summary"), 5.0f));
  EXPECT_FALSE(sheet.IsMarkSelected(Row("Arm"), 10.0f));
  EXPECT_EQ(sheet.SelectedCurves().size(), 3u);

  // A key the graph selects is selected here; a selection made here drops the graph's.
  const CurveInfo& armX = *core.GetChannelCurves(ClipBuilder::Key("Arm"))->front();
  const_cast<CurveInfo&>(armX).bSelected = true;
  armX.pCurve->SelectPointAt(1, true);
  EXPECT_TRUE(sheet.IsMarkSelected(Row("Arm"), 10.0f));
  sheet.SelectMark(Row("Arm"), 0.0f, false);
  EXPECT_FALSE(sheet.IsMarkSelected(Row("Arm"), 10.0f));
  EXPECT_FALSE(sheet.IsMarkSelected(Row("Root"), 5.0f));
  EXPECT_FALSE(core.GetChannelCurves(ClipBuilder::Key("Root"))->front()->bSelected);

  sheet.SelectMark(Row("Root"), 12.0f, true);
  EXPECT_TRUE(sheet.IsMarkSelected(Row("Arm"), 0.0f)) << "added";
  sheet.SelectMark(Row("Arm"), 0.0f, false, true);
  EXPECT_FALSE(sheet.IsMarkSelected(Row("Arm"), 0.0f)) << "toggled off";
  EXPECT_TRUE(sheet.IsMarkSelected(Row("Root"), 12.0f));

  sheet.SelectBox(Row("Root"), Row("Arm"), 4.0f, 10.0f, false);
  EXPECT_TRUE(sheet.IsMarkSelected(Row("Root"), 5.0f));
  EXPECT_TRUE(sheet.IsMarkSelected(Row("Arm"), 10.0f));
  EXPECT_FALSE(sheet.IsMarkSelected(Row("Root"), 12.0f));
  sheet.SelectAll(true);
  EXPECT_EQ(sheet.SelectedCurves().size(), 6u);
  sheet.SelectAll(false);
  EXPECT_FALSE(sheet.HasSelection());
}

TEST_F(DopeSheetEditing, DraggingAChannelRowMovesEveryKeyOfItsTracksInOneStep) {
  sheet.SelectBox(Row("Root"), Row("Root"), 0.0f, 12.0f, false);
  ASSERT_TRUE(sheet.BeginMove());
  EXPECT_TRUE(sheet.MoveBy(5.0f));
  EXPECT_TRUE(sheet.MoveBy(12.0f));
  EXPECT_FALSE(sheet.MoveBy(12.0f)) << "nothing new";
  ASSERT_TRUE(sheet.EndMove());
  EXPECT_EQ(Frames("Root", AnimTrack::Translation), (Keys{12, 17, 24}));
  EXPECT_EQ(Frames("Arm", AnimTrack::Rotation), (Keys{0, 10})) << "nothing else moves";
  EXPECT_TRUE(sheet.IsMarkSelected(Row("Root"), 17.0f)) << "the keys stay selected";
  ASSERT_TRUE(core.Undo());
  EXPECT_EQ(Frames("Root", AnimTrack::Translation), (Keys{0, 5, 12}));

  // Keys never go before frame 0; a drag taken back leaves no step.
  sheet.SelectBox(Row("Root"), Row("Root"), 5.0f, 12.0f, false);
  ASSERT_TRUE(sheet.BeginMove());
  sheet.MoveBy(-20.0f);
  EXPECT_EQ(sheet.GetMovedFrames(), -5.0f);
  sheet.CancelMove();
  EXPECT_EQ(Frames("Root", AnimTrack::Translation), (Keys{0, 5, 12}));
  ASSERT_TRUE(core.Redo()) << "the undone step is still the one to redo";
  EXPECT_EQ(Frames("Root", AnimTrack::Translation), (Keys{12, 17, 24}));
}

TEST_F(DopeSheetEditing, AMoveOrScaleThatLandsAKeyOnAnotherIsTakenBackOnThatCurveAndTold) {
  sheet.SelectMark(Row("summary"), 5.0f, false);
  sheet.SelectMark(Row("Arm"), 10.0f, true);
  ASSERT_TRUE(sheet.BeginMove());
  sheet.MoveBy(7.0f);
  EXPECT_TRUE(sheet.EndMove()) << "Arm's key moved";
  EXPECT_EQ(Frames("Root", AnimTrack::Translation), (Keys{0, 5, 12})) << "5 + 7 lands on 12";
  EXPECT_EQ(Frames("Arm", AnimTrack::Rotation), (Keys{0, 17}));
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("3 curves keep their keys"), std::string::npos) << told[0];

  sheet.SelectMark(Row("Root"), 12.0f, false);
  EXPECT_FALSE(sheet.Scale(0.5f, -2.0f)) << "12 scaled by half about -2 lands on 5";
  EXPECT_EQ(Frames("Root", AnimTrack::Translation), (Keys{0, 5, 12}));
  ASSERT_EQ(told.size(), 2u);
  EXPECT_NE(told[1].find("the scale put two"), std::string::npos) << told[1];
}

TEST_F(DopeSheetEditing, ScalingTheSummaryAboutFrameZeroDoublesEveryFrameAndUndoRestoresTheKeys) {
  const EngineCore::AnimCurve before =
      *builder.Clip().GetChannel(ClipBuilder::Key("Arm"))->GetCurve(AnimTrack::Rotation);
  sheet.SelectAll(true);
  ASSERT_TRUE(sheet.Scale(2.0f, 0.0f));
  EXPECT_EQ(Frames("Root", AnimTrack::Translation), (Keys{0, 10, 24}));
  EXPECT_EQ(Frames("Arm", AnimTrack::Rotation), (Keys{0, 20}));
  EXPECT_FALSE(sheet.Scale(0.0f, 0.0f));
  EXPECT_FALSE(sheet.Scale(-1.0f, 0.0f));
  EXPECT_FALSE(sheet.Scale(1.0e6f, 0.0f)) << "past the last frame a clip holds";
  EXPECT_EQ(told.size(), 3u);
  ASSERT_TRUE(core.Undo());
  const EngineCore::AnimCurve& after =
      *builder.Clip().GetChannel(ClipBuilder::Key("Arm"))->GetCurve(AnimTrack::Rotation);
  ASSERT_EQ(after.GetKeyCount(), before.GetKeyCount());
  for (std::uint32_t k = 0; k < after.GetKeyCount(); ++k) {
    EXPECT_EQ(after.GetKeyFrame(k), before.GetKeyFrame(k));
    EXPECT_EQ(std::memcmp(&after.GetQuaternionKey(k), &before.GetQuaternionKey(k), sizeof(EngineCore::Quaternion)), 0);
  }
}

TEST_F(DopeSheetEditing, DeleteCopyPasteAndDuplicateWorkOnTheSelectedKeysAcrossClips) {
  sheet.SelectMark(Row("Root"), 5.0f, false);
  Tarvel::DopeSheetClipboard clipboard;
  ASSERT_TRUE(sheet.Copy(clipboard));
  ASSERT_TRUE(sheet.Duplicate());
  EXPECT_EQ(Frames("Root", AnimTrack::Translation), (Keys{0, 5, 6, 12}));
  EXPECT_TRUE(sheet.IsMarkSelected(Row("Root"), 6.0f)) << "the copies are the selection";
  EXPECT_FALSE(sheet.IsMarkSelected(Row("Root"), 5.0f));
  ASSERT_TRUE(sheet.Delete());
  EXPECT_EQ(Frames("Root", AnimTrack::Translation), (Keys{0, 5, 12}));

  // Another clip, whose Root has keys where the paste lands; it has no Arm.
  ClipBuilder other("Other");
  other.Vectors("Root", AnimTrack::Translation, {{0, {9, 9, 9}}, {20, {9, 9, 9}}, {30, {9, 9, 9}}});
  other.Clip().ComputeKeyFrameRange();
  Tarvel::ClipEditCore otherCore;
  otherCore.AttachClip(&other.Clip());
  DopeSheet otherSheet(otherCore);
  otherSheet.SetChannels({ClipBuilder::Key("Root")});
  otherSheet.SetTeller([this](const std::string& sentence) { told.push_back(sentence); });
  ASSERT_TRUE(otherSheet.Paste(clipboard, 20.0f));
  EXPECT_EQ(ClipFrames(other.Clip(), "Root", AnimTrack::Translation), (Keys{0, 20, 30}));
  const EngineCore::AnimCurve& pasted =
      *other.Clip().GetChannel(ClipBuilder::Key("Root"))->GetCurve(AnimTrack::Translation);
  EXPECT_FLOAT_EQ(pasted.GetVector3Key(1).y, 2.0f) << "the pasted key replaced the one at 20";
  EXPECT_TRUE(told.empty());

  sheet.SelectAll(true);
  ASSERT_TRUE(sheet.Copy(clipboard));
  ASSERT_TRUE(otherSheet.Paste(clipboard, 100.0f));
  EXPECT_EQ(ClipFrames(other.Clip(), "Root", AnimTrack::Translation), (Keys{0, 20, 30, 100, 105, 112}));
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("3 copied curves have no curve"), std::string::npos) << told[0];
}
