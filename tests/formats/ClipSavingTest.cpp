#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "ClipTestFiles.h"
#include "EngineCore/AnimTrack.h"
#include "LogCapture.h"
#include "TempFolder.h"
#include "TestClipBuilder.h"

using ClipTestFiles::ClipHolder;
using ClipTestFiles::Data;
using ClipTestFiles::OpenOrFail;
using ClipTestFiles::PassesValidator;
using EngineCore::AnimClip;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using TestSupport::ReadBytes;

namespace {

nlohmann::json ReadJson(const std::string& path) {
  std::ifstream in(path);
  return nlohmann::json::parse(in);
}

void ExpectSameKeys(const AnimClip& a, const AnimClip& b) {
  ASSERT_EQ(a.GetChannelCount(), b.GetChannelCount());
  for (std::uint32_t c = 0; c < a.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& ca = *a.GetChannelAt(c);
    const EngineCore::AnimChannel* cb = b.GetChannel(a.GetChannelKeyAt(c));
    ASSERT_NE(cb, nullptr) << ca.GetName().c_str();
    ASSERT_EQ(ca.GetTrackCount(), cb->GetTrackCount());
    for (std::uint32_t t = 0; t < ca.GetTrackCount(); ++t) {
      const AnimCurve& ka = *ca.GetCurveAt(t);
      const AnimCurve* kb = cb->GetCurve(ca.GetTrackTypeAt(t));
      ASSERT_NE(kb, nullptr);
      ASSERT_EQ(ka.GetKeyCount(), kb->GetKeyCount());
      for (std::uint32_t k = 0; k < ka.GetKeyCount(); ++k) {
        ASSERT_EQ(ka.GetKeyFrame(k), kb->GetKeyFrame(k));
        if (ka.GetKeyType() == AnimCurve::KeyQuaternion) {
          ASSERT_NEAR(std::abs(ka.GetQuaternionKey(k).Dot(kb->GetQuaternionKey(k))), 1.0f, 1e-5f);
        } else {
          for (int i = 0; i < 3; ++i) ASSERT_NEAR(ka.GetVector3Key(k)[i], kb->GetVector3Key(k)[i], 1e-5f);
        }
      }
    }
  }
}

// A test's own copy of a data clip, so that saving never touches the repository.
class ClipSaving : public ::testing::Test {
 protected:
  std::string CopyOf(const std::string& dataFile) {
    TestSupport::CopyClipFiles(Data(dataFile), folder.Path());
    return folder / std::filesystem::path(dataFile).filename().string();
  }

  TestSupport::TempFolder folder;
};

}  // namespace

TEST_F(ClipSaving, ReferenceClipRoundTripsWithTheSameKeysAndPassesTheValidator) {
  const std::string path = CopyOf("01_01.gltf");
  ClipHolder clip(OpenOrFail(path));
  ASSERT_TRUE(clip.clip);
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  EXPECT_FALSE(clip->IsModified()) << "a successful save clears the modified flag";
  EXPECT_TRUE(PassesValidator(path));
  ClipHolder again(OpenOrFail(path));
  ASSERT_TRUE(again.clip);
  ExpectSameKeys(*clip.clip, *again.clip);
  EXPECT_EQ(again->GetLastKeyFrame(), 1376u);
}

TEST_F(ClipSaving, WritesLinearSamplersAtFrameOverSixty) {
  const std::string path = CopyOf("synthetic/step.gltf");
  ClipHolder clip(OpenOrFail(path));
  ASSERT_TRUE(clip.clip);
  ASSERT_TRUE(clip->Save());
  const nlohmann::json doc = ReadJson(path);
  const auto& sampler = doc["animations"][0]["samplers"][0];
  EXPECT_EQ(sampler["interpolation"], "LINEAR");
  const auto& input = doc["accessors"][sampler["input"].get<int>()];
  EXPECT_EQ(input["count"], 7);
  EXPECT_NEAR(input["max"][0].get<double>(), 6.0 / 60.0, 1e-7);
  EXPECT_TRUE(PassesValidator(path));
}

TEST_F(ClipSaving, KeepsMeshesSkinsMaterialsAndExtras) {
  const std::string path = CopyOf("synthetic/with_mesh.gltf");
  const nlohmann::json before = ReadJson(path);
  ClipHolder clip(OpenOrFail(path));
  ASSERT_TRUE(clip.clip);
  EngineCore::AnimCurve* hips = clip->GetChannelAt(0)->GetCurve(AnimTrack::Translation);
  hips->Empty();
  hips->AddKey(0, EngineCore::Vector3(5, 5, 5));
  hips->AddKey(30, EngineCore::Vector3(6, 6, 6));
  ASSERT_TRUE(clip->Save());
  const nlohmann::json after = ReadJson(path);
  // Accessor indices move when the old animation data leaves; what they point at may not.
  auto accessorOf = [](const nlohmann::json& doc, int index) {
    nlohmann::json accessor = doc["accessors"][index];
    accessor.erase("bufferView");
    accessor.erase("byteOffset");
    return accessor;
  };
  const auto& meshBefore = before["meshes"][0];
  const auto& meshAfter = after["meshes"][0];
  EXPECT_EQ(meshAfter["name"], meshBefore["name"]);
  EXPECT_EQ(meshAfter["extras"], meshBefore["extras"]);
  EXPECT_EQ(meshAfter["primitives"][0]["material"], meshBefore["primitives"][0]["material"]);
  EXPECT_EQ(accessorOf(after, meshAfter["primitives"][0]["attributes"]["POSITION"]),
            accessorOf(before, meshBefore["primitives"][0]["attributes"]["POSITION"]));
  EXPECT_EQ(accessorOf(after, after["skins"][0]["inverseBindMatrices"]),
            accessorOf(before, before["skins"][0]["inverseBindMatrices"]));
  EXPECT_EQ(after["skins"][0]["joints"], before["skins"][0]["joints"]);
  EXPECT_EQ(after["materials"], before["materials"]);
  EXPECT_EQ(after["extras"], before["extras"]);
  EXPECT_EQ(after["nodes"], before["nodes"]);
  EXPECT_TRUE(PassesValidator(path));
  ClipHolder again(OpenOrFail(path));
  ASSERT_TRUE(again.clip);
  ExpectSameKeys(*clip.clip, *again.clip);
}

TEST_F(ClipSaving, RepeatedSavesDoNotGrowTheFile) {
  const std::string path = CopyOf("synthetic/whole_frames.gltf");
  ClipHolder clip(OpenOrFail(path));
  ASSERT_TRUE(clip.clip);
  ASSERT_TRUE(clip->Save());
  const auto first = std::filesystem::file_size(path);
  ASSERT_TRUE(clip->Save());
  ASSERT_TRUE(clip->Save());
  EXPECT_EQ(std::filesystem::file_size(path), first);
  EXPECT_FALSE(std::filesystem::exists(folder / "whole_frames.bin")) << "embedded buffers stay embedded";
}

TEST_F(ClipSaving, NewChannelGetsANewNodeUnderTheSceneRoot) {
  const std::string path = CopyOf("synthetic/whole_frames.gltf");
  ClipHolder clip(OpenOrFail(path));
  ASSERT_TRUE(clip.clip);
  ASSERT_TRUE(clip->AddChannel("Tail"));
  EngineCore::AnimChannel* tail = clip->GetChannel(AnimClip::ComputeChannelKey("Tail"));
  ASSERT_TRUE(tail->AddTrack(AnimTrack::Scale));
  tail->GetCurve(AnimTrack::Scale)->SetKeyType(AnimCurve::KeyVector3);
  tail->GetCurve(AnimTrack::Scale)->AddKey(3, EngineCore::Vector3(2, 2, 2));
  ASSERT_TRUE(clip->Save());
  const nlohmann::json doc = ReadJson(path);
  ASSERT_EQ(doc["nodes"].size(), 3u);
  EXPECT_EQ(doc["nodes"][2]["name"], "Tail");
  const auto& roots = doc["scenes"][0]["nodes"];
  EXPECT_NE(std::find(roots.begin(), roots.end(), 2), roots.end());
  EXPECT_TRUE(PassesValidator(path));
  ClipHolder again(OpenOrFail(path));
  ASSERT_TRUE(again.clip);
  ExpectSameKeys(*clip.clip, *again.clip);
}

TEST_F(ClipSaving, RemovedChannelLeavesItsNodeWithoutAnimation) {
  const std::string path = CopyOf("synthetic/whole_frames.gltf");
  ClipHolder clip(OpenOrFail(path));
  ASSERT_TRUE(clip.clip);
  ASSERT_TRUE(clip->RemoveChannel(AnimClip::ComputeChannelKey("Arm")));
  ASSERT_TRUE(clip->Save());
  EXPECT_TRUE(PassesValidator(path));
  ClipHolder again(OpenOrFail(path));
  ASSERT_TRUE(again.clip);
  EXPECT_EQ(again->GetChannelCount(), 1u);
  EXPECT_EQ(ReadJson(path)["nodes"].size(), 2u) << "the node itself stays";
}

TEST_F(ClipSaving, CopyBesideTheOriginalLeavesTheOriginalFilesAlone) {
  const std::string path = CopyOf("01_01.gltf");
  const std::string originalBin = ReadBytes(folder / "01_01.bin");
  ClipHolder clip(OpenOrFail(path));
  ASSERT_TRUE(clip.clip);
  std::string message;
  ASSERT_EQ(Formats::GltfClipFile::SaveAs(*clip.clip, folder / "Copy.gltf", message), Formats::ClipFileError::None)
      << message;
  EXPECT_EQ(ReadBytes(folder / "01_01.bin"), originalBin);
  EXPECT_TRUE(PassesValidator(folder / "Copy.gltf"));
  ClipHolder copy(OpenOrFail(folder / "Copy.gltf"));
  ASSERT_TRUE(copy.clip);
  ExpectSameKeys(*clip.clip, *copy.clip);
}

TEST_F(ClipSaving, BinaryCopyRoundTrips) {
  const std::string path = CopyOf("synthetic/whole_frames.gltf");
  ClipHolder clip(OpenOrFail(path));
  ASSERT_TRUE(clip.clip);
  std::string message;
  ASSERT_EQ(Formats::GltfClipFile::SaveAs(*clip.clip, folder / "Binary.glb", message), Formats::ClipFileError::None);
  EXPECT_TRUE(PassesValidator(folder / "Binary.glb"));
  ClipHolder again(OpenOrFail(folder / "Binary.glb"));
  ASSERT_TRUE(again.clip);
  ExpectSameKeys(*clip.clip, *again.clip);
}

TEST_F(ClipSaving, SaveIntoAFolderThatIsAFileFailsAndChangesNothing) {
  TestSupport::LogCapture log;
  const std::string path = CopyOf("synthetic/whole_frames.gltf");
  ClipHolder clip(OpenOrFail(path));
  ASSERT_TRUE(clip.clip);
  std::ofstream(folder / "plain-file") << "not a folder";
  std::string message;
  EXPECT_EQ(Formats::GltfClipFile::SaveAs(*clip.clip, folder / "plain-file/Clip.gltf", message),
            Formats::ClipFileError::WriteFailed);
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(ReadBytes(folder / "plain-file"), "not a folder");
}

TEST_F(ClipSaving, KeysFarIntoALongTakeReopenOnTheFramesTheyWereSavedOn) {
  const std::string path = CopyOf("synthetic/whole_frames.gltf");
  ClipHolder clip(OpenOrFail(path));
  ASSERT_TRUE(clip.clip);
  // Past about eight minutes a float second cannot hold frame / 60 within a thousandth of
  // a frame.
  EngineCore::AnimCurve* root = clip->GetChannelAt(0)->GetCurve(AnimTrack::Translation);
  root->Empty();
  const std::uint32_t frames[] = {0, 30001, 196608, 500000, 999999};
  for (std::uint32_t frame : frames) ASSERT_TRUE(root->AddKey(frame, EngineCore::Vector3(1e-40f, 2, 3)));
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  ClipHolder again(OpenOrFail(path));
  ASSERT_TRUE(again.clip);
  ExpectSameKeys(*clip.clip, *again.clip);
  EXPECT_EQ(again->GetChannelAt(0)->GetCurve(AnimTrack::Translation)->GetKeyFrame(4), 999999u);
}

TEST(FuzzFindings, EachOpensAndComesBackFromASaveWithTheSameKeys) {
  TestSupport::TempFolder folder;
  int found = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Data("bad"))) {
    if (entry.path().filename().string().rfind("fuzz-", 0) != 0) continue;
    ++found;
    SCOPED_TRACE(entry.path().filename().string());
    ClipHolder clip(OpenOrFail(entry.path().string()));
    ASSERT_TRUE(clip.clip);
    for (const char* copy : {"copy.gltf", "copy.glb"}) {
      std::string message;
      ASSERT_EQ(Formats::GltfClipFile::SaveAs(*clip.clip, folder / copy, message), Formats::ClipFileError::None)
          << message;
      ClipHolder again(OpenOrFail(folder / copy));
      ASSERT_TRUE(again.clip);
      ExpectSameKeys(*clip.clip, *again.clip);
    }
  }
  EXPECT_GT(found, 0);
}

TEST_F(ClipSaving, ChannelsWithoutKeysComeBackWithTheirTracks) {
  const std::string path = CopyOf("synthetic/whole_frames.gltf");
  ClipHolder clip(OpenOrFail(path));
  ASSERT_TRUE(clip.clip);
  ASSERT_TRUE(clip->AddChannel("Bare"));
  ASSERT_TRUE(clip->AddChannel("Tail"));
  EngineCore::AnimChannel& tail = *clip->GetChannel(AnimClip::ComputeChannelKey("Tail"));
  ASSERT_TRUE(tail.AddTrack(AnimTrack::Translation));
  ASSERT_TRUE(tail.AddTrack(AnimTrack::Rotation));
  tail.GetCurve(AnimTrack::Rotation)->SetKeyType(AnimCurve::KeyQuaternion);
  ASSERT_TRUE(clip->GetChannel(AnimClip::ComputeChannelKey("Root"))->AddTrack(AnimTrack::Scale));
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  EXPECT_TRUE(PassesValidator(path));
  ClipHolder again(OpenOrFail(path));
  ASSERT_TRUE(again.clip);
  ASSERT_EQ(again->GetChannelCount(), 4u);
  EXPECT_EQ(again->GetChannel(AnimClip::ComputeChannelKey("Bare"))->GetTrackCount(), 0u);
  const EngineCore::AnimChannel& back = *again->GetChannel(AnimClip::ComputeChannelKey("Tail"));
  ASSERT_EQ(back.GetTrackCount(), 2u);
  EXPECT_EQ(back.GetCurve(AnimTrack::Rotation)->GetKeyType(), AnimCurve::KeyQuaternion);
  EXPECT_TRUE(again->GetChannel(AnimClip::ComputeChannelKey("Root"))->HasTrack(AnimTrack::Scale));
}

TEST_F(ClipSaving, AClipEmptiedBeforeAnotherAnimationStaysEmptyAndLeavesTheOtherAlone) {
  TestClipBuilder builder;
  builder.Track("Hips", "translation", {0, 1}, {0, 0, 0, 1, 1, 1})
      .Track("Wave", "translation", {0, 1}, {5, 5, 5, 6, 6, 6});
  // The second track moves into an animation of its own, which is not the clip's.
  nlohmann::json& animations = builder.Json()["animations"];
  nlohmann::json wave = {{"samplers", {animations[0]["samplers"][1]}}, {"channels", {animations[0]["channels"][1]}}};
  wave["channels"][0]["sampler"] = 0;
  animations[0]["samplers"].erase(1);
  animations[0]["channels"].erase(1);
  animations.push_back(wave);
  const std::string path = folder / "Two.gltf";
  builder.Write(path);

  ClipHolder clip(OpenOrFail(path));
  ASSERT_TRUE(clip.clip);
  ASSERT_TRUE(clip->RemoveChannel(AnimClip::ComputeChannelKey("Hips")));
  ASSERT_TRUE(clip->Save());
  EXPECT_TRUE(PassesValidator(path));
  {
    ClipHolder again(OpenOrFail(path));
    ASSERT_TRUE(again.clip);
    EXPECT_EQ(again->GetChannelCount(), 0u) << "the other animation is not the clip";
  }
  ASSERT_TRUE(clip->AddChannel("Hips"));
  EngineCore::AnimChannel& hips = *clip->GetChannel(AnimClip::ComputeChannelKey("Hips"));
  ASSERT_TRUE(hips.AddTrack(AnimTrack::Translation));
  hips.GetCurve(AnimTrack::Translation)->SetKeyType(AnimCurve::KeyVector3);
  ASSERT_TRUE(hips.GetCurve(AnimTrack::Translation)->AddKey(7, EngineCore::Vector3(1, 2, 3)));
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  EXPECT_TRUE(PassesValidator(path));
  ClipHolder again(OpenOrFail(path));
  ASSERT_TRUE(again.clip);
  ExpectSameKeys(*clip.clip, *again.clip);
  const nlohmann::json saved = ReadJson(path);
  ASSERT_EQ(saved["animations"].size(), 2u);
  EXPECT_EQ(saved["nodes"][saved["animations"][1]["channels"][0]["target"]["node"].get<int>()]["name"], "Wave");
}
