#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "ClipBuilder.h"
#include "ClipKeys.h"
#include "EngineCore/AnimTrack.h"
#include "Formats/ClipRecovery.h"
#include "TempFolder.h"

namespace fs = std::filesystem;
using EngineCore::AnimTrack;
using Formats::ClipRecovery;

namespace {

// A clip with a bit of everything a record must carry: vectors, rotations, weights, a negative
// zero, a channel without tracks and a track without keys.
void BuildEdited(ClipBuilder& builder) {
  builder.Clip().SetFrameRate(24.0f);
  builder.Vectors("Hips", AnimTrack::Translation, {{0, {1, -0.0f, 3}}, {7, {4, 5, 6}}, {999'999, {7, 8, 9}}});
  builder.Track("Hips", AnimTrack::Translation).SetInterpolation(EngineCore::AnimCurve::Step);
  builder.Rotations("Hips", {{0, {10, 20, 30}}, {12, {-170, 5, 0}}});
  builder.Channel("Empty");
  builder.Track("Tail", AnimTrack::Scale);
  EngineCore::AnimCurve& arm = builder.Track("Arm", AnimTrack::Rotation);
  arm.SetInterpolation(EngineCore::AnimCurve::Cubic);
  arm.AddKey(0, EngineCore::Quaternion(0, 0, 0, 1), {0, 0, 0, 0}, {0.5f, -0.25f, 0, 0.125f});
  arm.AddKey(9, EngineCore::Quaternion(0, 0.6f, 0, 0.8f), {-1, 2, 3, -4}, {0, 0, 0, 0});
  // Tangent types that the tangents alone would not tell.
  arm.SetTangentTypes({EngineCore::TangentType::AutoClamped, EngineCore::TangentType::Flat});
  // A face's morph targets, cubic, with their names.
  EngineCore::AnimCurve& face = builder.Track("Arm", AnimTrack::Weights, EngineCore::AnimCurve::KeyWeights);
  face.SetWeightCount(2);
  face.SetWeightNames({"Blink", "Smile"});
  face.SetInterpolation(EngineCore::AnimCurve::Cubic);
  const float weights[2][2] = {{0, 1}, {0.5f, -0.0f}};
  const float in[2] = {0.25f, -3};
  const float out[2] = {7, 0.125f};
  face.AddWeightKey(0, weights[0], in, out);
  face.AddWeightKey(5, weights[1], out, in);
  face.SetTangentTypes({EngineCore::TangentType::Auto, EngineCore::TangentType::Linear, EngineCore::TangentType::Free,
                        EngineCore::TangentType::Broken});
}

class Recovery : public ::testing::Test {
 protected:
  TestSupport::TempFolder project;
  ClipRecovery recovery{project.Path().string()};
};

}  // namespace

TEST_F(Recovery, ARecordGivesBackTheClipsChannelsTracksAndKeysBitForBit) {
  ClipBuilder edited("Walk");
  BuildEdited(edited);
  std::string message;
  ASSERT_TRUE(recovery.Write("Walk", ClipRecovery::Snapshot(edited.Clip()), message)) << message;
  EXPECT_TRUE(fs::exists(project.Path() / ".tarvel/recovery"));
  EXPECT_TRUE(recovery.Exists("Walk"));

  ClipBuilder restored("Walk");
  restored.Vectors("Old", AnimTrack::Translation, {{0, {0, 0, 0}}});
  ASSERT_TRUE(recovery.Restore("Walk", restored.Clip(), message)) << message;
  EXPECT_EQ(TestSupport::DescribeKeys(restored.Clip()), TestSupport::DescribeKeys(edited.Clip()));
  EXPECT_EQ(restored.Clip().GetChannelCount(), 4u);
  EXPECT_EQ(restored.Clip().GetChannel(ClipBuilder::Key("Old")), nullptr);
  EXPECT_TRUE(std::signbit(restored.Track("Hips", AnimTrack::Translation).GetVector3Key(0).y));
  EXPECT_EQ(restored.Clip().GetLastKeyFrame(), 999'999u);
  EXPECT_EQ(restored.Clip().GetFrameRate(), 24.0f);
  EXPECT_EQ(restored.Track("Hips", AnimTrack::Translation).GetInterpolation(), EngineCore::AnimCurve::Step);
  EXPECT_EQ(restored.Track("Hips", AnimTrack::Rotation).GetInterpolation(), EngineCore::AnimCurve::Linear);
  recovery.Remove("Walk");
  EXPECT_FALSE(recovery.Exists("Walk"));
}

TEST_F(Recovery, ARecordCutShortOrOfAnotherClipIsRefusedAndTheClipKeepsItsKeys) {
  ClipBuilder edited("Walk");
  BuildEdited(edited);
  const std::vector<unsigned char> bytes = ClipRecovery::Snapshot(edited.Clip());
  std::string message;
  ASSERT_TRUE(recovery.Write("Run", bytes, message)) << message;
  ClipBuilder other("Run");
  other.Vectors("Old", AnimTrack::Translation, {{0, {0, 0, 0}}});
  EXPECT_FALSE(recovery.Restore("Run", other.Clip(), message)) << "the record names another clip";
  for (const std::size_t size : {std::size_t{0}, std::size_t{20}, bytes.size() / 2, bytes.size() - 1}) {
    ASSERT_TRUE(recovery.Write("Walk", std::vector<unsigned char>(bytes.begin(), bytes.begin() + size), message));
    ClipBuilder clip("Walk");
    clip.Vectors("Old", AnimTrack::Translation, {{0, {0, 0, 0}}});
    EXPECT_FALSE(recovery.Restore("Walk", clip.Clip(), message)) << size;
    EXPECT_NE(message.find("Walk"), std::string::npos) << message;
    EXPECT_EQ(clip.Clip().GetChannelCount(), 1u) << size;
  }
}

TEST_F(Recovery, OnlyRecordsNewerThanTheirClipsFilesAreOfferedAndTheOthersGo) {
  const fs::path clips = project.Path() / "AnimClips";
  fs::create_directories(clips);
  for (const char* file : {"Saved.gltf", "Edited.gltf", "odd.gltf"}) std::ofstream(clips / file) << "{}";
  ClipBuilder clip("Edited");
  BuildEdited(clip);
  std::string message;
  for (const char* name : {"Saved", "Edited", "Gone", "a/b c"}) {
    ASSERT_TRUE(recovery.Write(name, ClipRecovery::Snapshot(clip.Clip()), message)) << message;
  }
  // Saved since its record: the record is of no use.
  const fs::path saved = clips / "Saved.gltf";
  fs::last_write_time(saved, fs::last_write_time(project.Path() / ".tarvel/recovery") + std::chrono::seconds(5));
  std::ofstream(fs::path(recovery.GetFolder()) / ".Edited.record-Xq12ab") << "cut short";
  const auto fileOf = [&clips](const std::string& name) -> std::string {
    if (name == "Gone") return {};
    return (clips / (name == "a/b c" ? "odd.gltf" : name + ".gltf")).string();
  };
  EXPECT_EQ(recovery.ListRecoverable(fileOf), (std::vector<std::string>{"Edited", "a/b c"}));
  EXPECT_FALSE(recovery.Exists("Saved"));
  EXPECT_FALSE(recovery.Exists("Gone"));
  EXPECT_FALSE(fs::exists(fs::path(recovery.GetFolder()) / ".Edited.record-Xq12ab"));
  EXPECT_EQ(recovery.ListRecoverable(fileOf), (std::vector<std::string>{"Edited", "a/b c"}));
}
