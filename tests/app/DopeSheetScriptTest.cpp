#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "EngineCore/AnimClip.h"
#include "EngineCore/AnimTrack.h"
#include "Formats/ClipFormats.h"
#include "HostFixture.h"

namespace {

namespace fs = std::filesystem;
using Frames = std::map<std::string, std::vector<std::uint32_t>>;

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Each track's key frames in the file, by "CHANNEL TRACK".
Frames FileFrames(const fs::path& path) {
  const Formats::ClipOpenResult opened = Formats::ClipFormats::Open(path.string());
  Frames frames;
  if (!opened.clip) return frames;
  for (std::uint32_t c = 0; c < opened.clip->GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *opened.clip->GetChannelAt(c);
    for (std::uint32_t track = EngineCore::AnimTrack::Translation; track <= EngineCore::AnimTrack::Scale; ++track) {
      if (!channel.HasTrack(track)) continue;
      std::vector<std::uint32_t>& keys = frames[channel.GetName().str() + " " + std::to_string(track)];
      const EngineCore::AnimCurve& curve = *channel.GetCurve(track);
      for (std::uint32_t k = 0; k < curve.GetKeyCount(); ++k) keys.push_back(curve.GetKeyFrame(k));
    }
  }
  opened.clip->Release();
  return frames;
}

class DopeSheetScripts : public HostTest::ScriptedHostFixture {
 protected:
  fs::path Clip() const { return fs::path(ProjectPath()) / "AnimClips" / "keyframed.gltf"; }
};

}  // namespace

TEST_F(DopeSheetScripts, AChannelDraggedTwelveFramesLaterAndTheSummaryScaledByTwoSaveAsAskedAndUndoRestoresTheFile) {
  const Frames before = FileFrames(Clip());
  ASSERT_EQ(before.size(), 4u);
  // The Box row selected with a band, then dragged by one of its marks, 12 frames later.
  ASSERT_TRUE(
      Run("window-size 1600 900\nopen keyframed\nview dope-sheet\nkey a\nexpect-keys Box translation 4\n"
          "dope press -5 Box\ndope move 60 Box\ndope release 60 Box\n"
          "dope press 1 Box\ndope move 7 Box\ndope move 13 Box\ndope release 13 Box\nsave"));
  Frames moved = FileFrames(Clip());
  for (auto& [track, frames] : moved) {
    std::vector<std::uint32_t> expected = before.at(track);
    if (track.rfind("Box ", 0) == 0) {
      for (std::uint32_t& frame : expected) frame += 12;
    }
    EXPECT_EQ(frames, expected) << track;
  }
  const std::string afterMove = Bytes(Clip());

  // Everything selected on the summary row, scaled by 200% about the time cursor at frame 0.
  ASSERT_TRUE(
      Run("scrub 0\ndope press -5 summary\ndope move 200 summary\ndope release 200 summary\n"
          "dialog-text 1005=200\nanswer 1\ncommand 16775\nsave"));
  for (const auto& [track, frames] : FileFrames(Clip())) {
    std::vector<std::uint32_t> expected = moved.at(track);
    for (std::uint32_t& frame : expected) frame *= 2;
    EXPECT_EQ(frames, expected) << track;
  }
  ASSERT_TRUE(Run("key ctrl+z\nsave"));
  EXPECT_EQ(Bytes(Clip()), afterMove) << "undo gives back the file bit for bit";
  EXPECT_FALSE(Run("dope press 1 Nobody")) << "no such row";
  EXPECT_FALSE(Run("expect-keys Box translation 5"));
}

TEST_F(DopeSheetScripts, EachPageKeepsItsOwnViewAndDSwitchesIt) {
  ASSERT_TRUE(Run("open keyframed\nview dope-sheet\nopen 01_01"));
  EXPECT_FALSE(Run("dope press 1 summary")) << "the second page shows its graph";
  ASSERT_TRUE(Run("key d\ndope press 1 summary\ndope release 1 summary\nkey d"));
  EXPECT_FALSE(Run("dope press 1 summary")) << "D switched back to the graph";
  ASSERT_TRUE(Run("open keyframed\ndope press 1 Box\ndope release 1 Box")) << "the first page kept its dope sheet";
}
