#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

#include "EngineCore/AnimClip.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/ResourceFactory.h"
#include "Formats/ClipFormats.h"
#include "Formats/SaveStepHook.h"
#include "HostFixture.h"

namespace {

namespace fs = std::filesystem;
using EngineCore::AnimClip;
using EngineCore::AnimTrack;

// The demo's file of three animations, Idle, Walk and Blink, edited through scripts.
class ClipsOfOneFile : public HostTest::ScriptedHostFixture {
 protected:
  void TearDown() override {
    Formats::SaveStepHook::Set({});
    ScriptedHostFixture::TearDown();
  }
  std::string Path() const { return (fs::path(ProjectPath()) / "AnimClips" / "animations.gltf").string(); }
  nlohmann::json Animations() const {
    std::ifstream in(Path());
    return nlohmann::json::parse(in)["animations"];
  }
  static const EngineCore::AnimCurve& BodyTranslation(const char* clipName) {
    AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip(clipName);
    clip->Release();  // the factory keeps it
    return *clip->GetChannel(AnimClip::ComputeChannelKey("Body"))->GetCurve(AnimTrack::Translation);
  }
  // Moves the key of Body's translation at that index by `dx`, as an edit of the page would.
  static void MoveBodyKey(const char* clipName, std::uint32_t key, float dx) {
    AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip(clipName);
    EngineCore::AnimCurve& curve =
        *clip->GetChannel(AnimClip::ComputeChannelKey("Body"))->GetCurve(AnimTrack::Translation);
    const EngineCore::AnimCurve read = curve;
    curve.Empty();
    for (std::uint32_t k = 0; k < read.GetKeyCount(); ++k) {
      EngineCore::Vector3 value = read.GetVector3Key(k);
      if (k == key) value.x += dx;
      if (read.IsCubic()) {
        curve.AddKey(read.GetKeyFrame(k), value, read.GetVector3InTangent(k), read.GetVector3OutTangent(k));
      } else {
        curve.AddKey(read.GetKeyFrame(k), value);
      }
    }
    clip->SetModified(true);
    clip->Release();
  }
  float BodyXOnDisk(const char* clipName, std::uint32_t key) const {
    const Formats::ClipOpenResult opened = Formats::ClipFormats::Open(Path(), EngineCore::String(clipName));
    EXPECT_NE(opened.clip, nullptr) << opened.message;
    if (!opened.clip) return 0.0f;
    const float x = opened.clip->GetChannel(AnimClip::ComputeChannelKey("Body"))
                        ->GetCurve(AnimTrack::Translation)
                        ->GetVector3Key(key)
                        .x;
    opened.clip->Release();
    return x;
  }
};

TEST_F(ClipsOfOneFile, TwoClipsOpenInTwoTabsAndSaveAllWritesTheFileOnceWithBothEdits) {
  const nlohmann::json before = Animations();
  ASSERT_TRUE(Run("open animations:Idle\nopen animations:Walk\nexpect-tabs 2")) << runner->GetError();
  const float idleX = BodyTranslation("animations:Idle").GetVector3Key(1).x;
  const float walkX = BodyTranslation("animations:Walk").GetVector3Key(2).x;
  MoveBodyKey("animations:Idle", 1, 1.0f);
  MoveBodyKey("animations:Walk", 2, -1.0f);
  int writes = 0;
  Formats::SaveStepHook::Set([&](int, const std::string& what) {
    writes += what == "write animations.gltf" ? 1 : 0;
    return true;
  });
  ASSERT_TRUE(Run("save-all")) << runner->GetError();
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(Animations()[2], before[2]) << "Blink is as it was";
  EXPECT_EQ(BodyXOnDisk("animations:Idle", 1), idleX + 1.0f);
  EXPECT_EQ(BodyXOnDisk("animations:Walk", 2), walkX - 1.0f);
}

TEST_F(ClipsOfOneFile, SavingOneClipLeavesTheOtherAnimationsOfItsFileAsTheyWere) {
  const nlohmann::json before = Animations();
  ASSERT_TRUE(Run("open animations:Walk")) << runner->GetError();
  const float walkX = BodyTranslation("animations:Walk").GetVector3Key(3).x;
  MoveBodyKey("animations:Walk", 3, 0.5f);
  ASSERT_TRUE(Run("save")) << runner->GetError();
  const nlohmann::json after = Animations();
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(after[0], before[0]) << "Idle";
  EXPECT_EQ(after[2], before[2]) << "Blink";
  EXPECT_EQ(BodyXOnDisk("animations:Walk", 3), walkX + 0.5f);
  EXPECT_EQ(BodyXOnDisk("animations:Walk", 2), BodyTranslation("animations:Walk").GetVector3Key(2).x);
}

}  // namespace

namespace {

TEST_F(ClipsOfOneFile, AWeightsClipShowsOneCurvePerMorphTargetNamedAfterIt) {
  const std::string csv = (fs::path(ProjectPath()) / "blink.csv").string();
  ASSERT_TRUE(Run("open animations:Blink\nselect-channel Face\nselect-curve Face weights Smile\nexport-curves " + csv))
      << runner->GetError();
  EXPECT_FALSE(Run("select-curve Face weights Frown")) << "a target the mesh does not have";
  std::ifstream in(csv);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Frame 6 is the second key: Blink at 1, Smile at 0.25.
  EXPECT_NE(text.find("Face,weights,Blink,6,1,1"), std::string::npos) << text.substr(0, 400);
  EXPECT_NE(text.find("Face,weights,Smile,6,0.25,1"), std::string::npos);
}

}  // namespace
