#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "ClipKeys.h"
#include "ClipTestFiles.h"
#include "EngineCore/AnimController.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Math.h"
#include "Formats/ClipFileHost.h"
#include "Formats/Project.h"
#include "Formats/SaveStepHook.h"
#include "TempFolder.h"
#include "TestClipBuilder.h"

using ClipTestFiles::ClipHolder;
using ClipTestFiles::Data;
using ClipTestFiles::PassesValidator;
using ClipTestFiles::ReadJson;
using EngineCore::AnimClip;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;

namespace {

namespace fs = std::filesystem;

// What a file holds of one animation: its JSON and, per channel, the floats of its sampler's
// times and values as the buffer holds them.
struct AnimationOnDisk {
  nlohmann::json json;
  std::vector<std::vector<float>> data;
  bool operator==(const AnimationOnDisk&) const = default;
};

std::vector<float> AccessorFloats(const nlohmann::json& doc, const fs::path& folder, int index) {
  const nlohmann::json& accessor = doc["accessors"][index];
  const nlohmann::json& view = doc["bufferViews"][accessor["bufferView"].get<int>()];
  const std::string type = accessor["type"];
  const std::size_t count = accessor["count"].get<std::size_t>() * (type == "SCALAR" ? 1
                                                                    : type == "VEC3" ? 3
                                                                    : type == "VEC4" ? 4
                                                                                     : 1);
  const std::string bytes =
      TestSupport::ReadBytes(folder / doc["buffers"][view["buffer"].get<int>()]["uri"].get<std::string>());
  std::vector<float> floats(count);
  std::memcpy(floats.data(), bytes.data() + view.value("byteOffset", 0) + accessor.value("byteOffset", 0),
              count * sizeof(float));
  return floats;
}

std::vector<AnimationOnDisk> AnimationsOf(const std::string& path) {
  const nlohmann::json doc = ReadJson(path);
  std::vector<AnimationOnDisk> animations;
  for (const nlohmann::json& animation : doc["animations"]) {
    AnimationOnDisk read{animation, {}};
    // Accessor indices may move; what they hold may not.
    for (nlohmann::json& sampler : read.json["samplers"]) {
      read.data.push_back(AccessorFloats(doc, fs::path(path).parent_path(), sampler["input"]));
      read.data.push_back(AccessorFloats(doc, fs::path(path).parent_path(), sampler["output"]));
      sampler.erase("input");
      sampler.erase("output");
    }
    animations.push_back(std::move(read));
  }
  return animations;
}

ClipHolder OpenClip(const std::string& path, const std::string& name) {
  const Formats::ClipOpenResult result = Formats::ClipFormats::Open(path, EngineCore::String(name));
  EXPECT_NE(result.clip, nullptr) << name << ": " << result.message;
  return ClipHolder(result.clip);
}

AnimCurve* Curve(const ClipHolder& clip, const char* channel, std::uint32_t type) {
  EngineCore::AnimChannel* found = clip->GetChannel(AnimClip::ComputeChannelKey(channel));
  return found ? found->GetCurve(type) : nullptr;
}

// Moves one translation key of a clip by `dy` and marks the clip changed.
void RaiseKey(ClipHolder& clip, const char* channel, std::uint32_t key, float dy) {
  AnimCurve* moves = Curve(clip, channel, AnimTrack::Translation);
  ASSERT_NE(moves, nullptr);
  const AnimCurve read = *moves;
  moves->Empty();
  for (std::uint32_t k = 0; k < read.GetKeyCount(); ++k) {
    EngineCore::Vector3 value = read.GetVector3Key(k);
    if (k == key) value.y += dy;
    if (read.IsCubic()) {
      moves->AddKey(read.GetKeyFrame(k), value, read.GetVector3InTangent(k), read.GetVector3OutTangent(k));
    } else {
      moves->AddKey(read.GetKeyFrame(k), value);
    }
  }
  clip->SetModified(true);
}

class ClipAnimations : public ::testing::Test {
 protected:
  void SetUp() override {
    TestSupport::CopyClipFiles(Data("blender/animations.gltf"), folder.Path());
    original = AnimationsOf(Data("blender/animations.gltf"));
    ASSERT_EQ(original.size(), 3u);
  }
  void TearDown() override {
    Formats::ClipFileHost::SetChooser({});
    Formats::SaveStepHook::Set({});
  }

  TestSupport::TempFolder folder;
  const std::string path = folder / "animations.gltf";
  std::vector<AnimationOnDisk> original;
};

TEST(ClipNames, AFileOfSeveralAnimationsListsOneClipPerAnimation) {
  struct Case {
    std::vector<nlohmann::json> names;  // null: an animation without a name
    std::vector<std::string> clips;
  };
  const std::vector<Case> cases = {
      {{}, {"f"}},
      {{"Take"}, {"f"}},
      {{"Idle", "Walk"}, {"f:Idle", "f:Walk"}},
      {{nullptr, "Run", "Run", ""}, {"f:0", "f:Run:1", "f:Run:2", "f:3"}},
  };
  TestSupport::TempFolder folder;
  for (const Case& c : cases) {
    TestClipBuilder builder;
    builder.Track("Hips", "translation", {0, 1}, {0, 0, 0, 1, 1, 1});
    nlohmann::json animations = nlohmann::json::array();
    for (const nlohmann::json& name : c.names) {
      nlohmann::json animation = builder.Json()["animations"][0];
      if (!name.is_null()) animation["name"] = name;
      // A name deeper in the animation is not its own.
      if (name.is_null()) animation["extras"] = {{"name", "Inner"}, {"tags", {{{"name", "Deeper"}}}}};
      animations.push_back(animation);
    }
    builder.Json()["animations"] = animations;
    builder.Write(folder / "f.gltf");
    SCOPED_TRACE(nlohmann::json(c.names).dump());
    EXPECT_EQ(Formats::ClipFormats::ListClips(folder / "f.gltf"), c.clips);
    for (const std::string& clip : c.clips) {
      const Formats::ClipOpenResult opened = Formats::ClipFormats::Open(folder / "f.gltf", EngineCore::String(clip));
      ASSERT_NE(opened.clip, nullptr) << clip << ": " << opened.message;
      EXPECT_EQ(opened.clip->GetName().str(), clip);
      EXPECT_EQ(opened.clip->GetChannelCount(), c.names.empty() ? 0u : 1u);
      opened.clip->Release();
    }
  }
}

TEST(ClipNames, AnAnimationsKeyGivenTwiceListsItsLastValueAsTheReaderReadsIt) {
  EXPECT_EQ(Formats::ClipFormats::ListClips(Data("bad/fuzz-animations-twice.gltf")),
            std::vector<std::string>{"fuzz-animations-twice"});
}

TEST_F(ClipAnimations, ABlenderFileOfThreeActionsOpensAsThreeClipsWithTheirOwnInterpolations) {
  EXPECT_EQ(Formats::ClipFormats::ListClips(path),
            (std::vector<std::string>{"animations:Idle", "animations:Walk", "animations:Blink"}));
  ClipHolder walk = OpenClip(path, "animations:Walk");
  ASSERT_TRUE(walk.clip);
  EXPECT_EQ(walk->GetFrameRate(), 24.0f);
  ASSERT_EQ(walk->GetChannelCount(), 2u);
  ASSERT_NE(Curve(walk, "Body", AnimTrack::Translation), nullptr);
  EXPECT_EQ(Curve(walk, "Body", AnimTrack::Translation)->GetInterpolation(), AnimCurve::Linear);
  EXPECT_EQ(Curve(walk, "Body", AnimTrack::Translation)->GetKeyCount(), 5u);
  EXPECT_EQ(Curve(walk, "Body", AnimTrack::Scale)->GetInterpolation(), AnimCurve::Step);
  EXPECT_TRUE(Curve(walk, "Arm", AnimTrack::Rotation)->IsCubic());
  EXPECT_EQ(Curve(walk, "Body", AnimTrack::Rotation), nullptr) << "Idle's rotation is not Walk's";

  ClipHolder idle = OpenClip(path, "animations:Idle");
  ASSERT_TRUE(idle.clip);
  EXPECT_EQ(idle->GetChannelCount(), 1u);
  EXPECT_TRUE(Curve(idle, "Body", AnimTrack::Rotation)->IsCubic());

  // The weights of Face's two shape keys, named as Blender names them.
  ClipHolder blink = OpenClip(path, "animations:Blink");
  ASSERT_TRUE(blink.clip);
  ASSERT_EQ(blink->GetChannelCount(), 1u);
  const AnimCurve* weights = Curve(blink, "Face", AnimTrack::Weights);
  ASSERT_NE(weights, nullptr);
  EXPECT_TRUE(weights->IsCubic());
  ASSERT_EQ(weights->GetWeightCount(), 2u);
  EXPECT_EQ(weights->GetWeightNames(), (std::vector<EngineCore::String>{"Blink", "Smile"}));
  ASSERT_EQ(weights->GetKeyCount(), 3u);
  EXPECT_EQ(weights->GetKeyFrame(1), 6u);
  EXPECT_EQ(weights->GetWeightKey(1)[0], 1.0f);
  EXPECT_EQ(weights->GetWeightKey(1)[1], 0.25f);
  EXPECT_TRUE(blink->GetReadingNote().IsEmpty()) << blink->GetReadingNote().str();

  const Formats::ClipOpenResult bare = Formats::ClipFormats::Open(path, EngineCore::String("animations"));
  EXPECT_EQ(bare.clip, nullptr) << "the file's own name is none of its clips";
  EXPECT_NE(bare.message.find("animations:Walk"), std::string::npos) << bare.message;
}

TEST_F(ClipAnimations, SavingOneClipRewritesOnlyItsOwnAnimation) {
  {
    ClipHolder walk = OpenClip(path, "animations:Walk");
    ASSERT_TRUE(walk.clip);
    RaiseKey(walk, "Body", 2, 1.5f);
    ASSERT_TRUE(walk->Save());
  }
  EXPECT_TRUE(PassesValidator(path));
  const std::vector<AnimationOnDisk> saved = AnimationsOf(path);
  ASSERT_EQ(saved.size(), 3u);
  EXPECT_EQ(saved[0], original[0]) << "Idle";
  EXPECT_EQ(saved[2], original[2]) << "Blink";
  // Walk's first channel is Body's translation: only the third key's y moved.
  std::vector<float> expected = original[1].data[1];
  expected[2 * 3 + 1] += 1.5f;
  EXPECT_EQ(saved[1].data[1], expected);
  for (std::size_t d = 0; d < saved[1].data.size(); ++d) {
    if (d == 1) continue;
    EXPECT_EQ(saved[1].data[d], original[1].data[d]) << "sampler data " << d;
  }

  // An unedited save of the weights keeps every key, tangent and interpolation.
  ClipHolder blink = OpenClip(path, "animations:Blink");
  ASSERT_TRUE(blink.clip);
  blink->SetModified(true);
  ASSERT_TRUE(blink->Save());
  EXPECT_TRUE(PassesValidator(path));
  const AnimationOnDisk weights = AnimationsOf(path)[2];
  EXPECT_EQ(weights.data, original[2].data);
  EXPECT_EQ(weights.json["channels"], original[2].json["channels"]);
  EXPECT_EQ(weights.json["samplers"], original[2].json["samplers"]);
}

TEST_F(ClipAnimations, AnEditedWeightReachesTheFileAndTheEngineBlendsWeightsAsGltfDoes) {
  ClipHolder blink = OpenClip(path, "animations:Blink");
  ASSERT_TRUE(blink.clip);
  AnimCurve* weights = blink->GetChannel(AnimClip::ComputeChannelKey("Face"))->GetCurve(AnimTrack::Weights);
  ASSERT_NE(weights, nullptr);
  // Between keys 0 and 1 (frames 1 and 6 at 24 frames/s) the Hermite form of each weight.
  std::vector<float> at;
  ASSERT_TRUE(weights->Evaluate(3.5f, 24.0f, at));
  ASSERT_EQ(at.size(), 2u);
  const double interval = 5.0 / 24.0;
  for (int w = 0; w < 2; ++w) {
    const double expected = EngineCore::Math::EvaluateHermite(
        weights->GetWeightKey(0)[w], weights->GetWeightOutTangent(0)[w], weights->GetWeightKey(1)[w],
        weights->GetWeightInTangent(1)[w], interval, 0.5);
    EXPECT_NEAR(at[w], expected, 1e-6) << w;
  }

  const AnimCurve read = *weights;
  weights->Empty();
  for (std::uint32_t k = 0; k < read.GetKeyCount(); ++k) {
    std::vector<float> values(read.GetWeightKey(k), read.GetWeightKey(k) + 2);
    if (k == 2) values[1] = 0.5f;
    weights->AddWeightKey(read.GetKeyFrame(k), values.data(), read.GetWeightInTangent(k), read.GetWeightOutTangent(k));
  }
  blink->SetModified(true);
  ASSERT_TRUE(blink->Save());
  EXPECT_TRUE(PassesValidator(path));
  // The output holds per key both in-tangents, both values, both out-tangents: key 2's
  // second value is the 3 * 6 + 2 + 1st float.
  std::vector<float> expected = original[2].data[1];
  expected[2 * 6 + 2 + 1] = 0.5f;
  EXPECT_EQ(AnimationsOf(path)[2].data[1], expected);
  ClipHolder again = OpenClip(path, "animations:Blink");
  ASSERT_TRUE(again.clip);
  EXPECT_EQ(TestSupport::DescribeKeys(*again), TestSupport::DescribeKeys(*blink));

  // Weights without a key keep their channel and their targets, beside a channel with keys
  // (an animation without any could not be saved).
  weights->Empty();
  ASSERT_TRUE(blink->AddChannel(EngineCore::String("Jaw")));
  EngineCore::AnimChannel& jaw = *blink->GetChannel(AnimClip::ComputeChannelKey("Jaw"));
  ASSERT_TRUE(jaw.AddTrack(AnimTrack::Translation));
  jaw.GetCurve(AnimTrack::Translation)->SetKeyType(AnimCurve::KeyVector3);
  ASSERT_TRUE(jaw.GetCurve(AnimTrack::Translation)->AddKey(4, EngineCore::Vector3(0, -1, 0)));
  blink->SetModified(true);
  ASSERT_TRUE(blink->Save());
  ClipHolder emptied = OpenClip(path, "animations:Blink");
  ASSERT_TRUE(emptied.clip);
  EXPECT_TRUE(TestSupport::SameKeys(*emptied, *blink));
  const AnimCurve* kept = Curve(emptied, "Face", AnimTrack::Weights);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->GetWeightNames(), (std::vector<EngineCore::String>{"Blink", "Smile"}));
}

TEST_F(ClipAnimations, TwoClipsOfOneFileSavedOneAfterTheOtherKeepBothEdits) {
  ClipHolder idle = OpenClip(path, "animations:Idle");
  ClipHolder walk = OpenClip(path, "animations:Walk");
  ASSERT_TRUE(idle.clip && walk.clip);
  RaiseKey(idle, "Body", 1, 2.0f);
  RaiseKey(walk, "Body", 3, -1.0f);
  int questions = 0;
  Formats::ClipFileHost::SetChooser([&](const std::string&, const std::vector<std::string>&) {
    ++questions;
    return 3;
  });
  ASSERT_TRUE(idle->Save());
  EXPECT_FALSE(walk->IsChangedElsewhere()) << "a clip's save is not another program's change to its sibling";
  ASSERT_TRUE(walk->Save());
  EXPECT_EQ(questions, 0);

  for (const auto& [name, clip] : {std::pair{"animations:Idle", &idle}, std::pair{"animations:Walk", &walk}}) {
    ClipHolder again = OpenClip(path, name);
    ASSERT_TRUE(again.clip);
    EXPECT_TRUE(TestSupport::SameKeys(**clip, *again)) << name;
  }
  EXPECT_EQ(AnimationsOf(path)[2], original[2]);
  EXPECT_TRUE(PassesValidator(path));
}

TEST_F(ClipAnimations, SavingClipsOfOneFileTogetherWritesTheFileOnce) {
  ClipHolder idle = OpenClip(path, "animations:Idle");
  ClipHolder walk = OpenClip(path, "animations:Walk");
  ClipHolder blink = OpenClip(path, "animations:Blink");
  ASSERT_TRUE(idle.clip && walk.clip && blink.clip);
  RaiseKey(idle, "Body", 0, 0.5f);
  RaiseKey(walk, "Body", 4, 0.25f);
  int writes = 0;
  Formats::SaveStepHook::Set([&](int, const std::string& what) {
    writes += what == "write animations.gltf" ? 1 : 0;
    return true;
  });
  const std::vector<EngineCore::Resource*> unsaved = EngineCore::Resource::SaveAll({idle.clip, walk.clip, blink.clip});
  EXPECT_TRUE(unsaved.empty());
  EXPECT_EQ(writes, 1);
  EXPECT_FALSE(idle->IsModified() || walk->IsModified());
  ClipHolder idleAgain = OpenClip(path, "animations:Idle");
  ClipHolder walkAgain = OpenClip(path, "animations:Walk");
  EXPECT_TRUE(TestSupport::SameKeys(*idle, *idleAgain));
  EXPECT_TRUE(TestSupport::SameKeys(*walk, *walkAgain));
  EXPECT_EQ(AnimationsOf(path)[2], original[2]);
}

TEST_F(ClipAnimations, AClipAmongOthersLeftWithoutKeysIsNotSavedAndTheFileStaysAsItWas) {
  ClipHolder walk = OpenClip(path, "animations:Walk");
  ASSERT_TRUE(walk.clip);
  ASSERT_TRUE(walk->RemoveChannel(AnimClip::ComputeChannelKey("Body")));
  ASSERT_TRUE(walk->RemoveChannel(AnimClip::ComputeChannelKey("Arm")));
  walk->SetModified(true);
  std::vector<std::string> told;
  Formats::ClipFileHost::SetReporter([&](const std::string& sentence) { told.push_back(sentence); });
  EXPECT_FALSE(walk->Save());
  Formats::ClipFileHost::SetReporter({});
  EXPECT_TRUE(walk->IsModified());
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("no keys"), std::string::npos) << told[0];
  EXPECT_EQ(AnimationsOf(path), original);
}

TEST(NamelessNodes, ChannelsOfNodesWithoutNamesKeepTheirNodeAndTakeTheNameTheyAreGiven) {
  TestSupport::TempFolder folder;
  TestClipBuilder builder;
  builder.Track("Root", "translation", {0, 1}, {0, 0, 0, 1, 1, 1})
      .Track("Joint", "rotation", {0, 1}, {0, 0, 0, 1, 0, 0, 0.6f, 0.8f});
  // A converter's file: the nodes carry no names.
  for (nlohmann::json& node : builder.Json()["nodes"]) node.erase("name");
  const std::string path = folder / "skin.gltf";
  builder.Write(path, "skin.bin", folder / "skin.bin");
  const nlohmann::json nodes = ReadJson(path)["nodes"];

  ClipHolder clip(ClipTestFiles::OpenOrFail(path));
  ASSERT_TRUE(clip.clip);
  ASSERT_EQ(clip->GetChannelCount(), 2u);
  EXPECT_EQ(clip->GetChannelAt(0)->GetName().str(), "node 0");
  EXPECT_EQ(clip->GetChannelAt(1)->GetName().str(), "node 1");
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  EXPECT_EQ(ReadJson(path)["nodes"], nodes) << "the nodes stay without names";
  EXPECT_TRUE(ClipTestFiles::ReopensAs(*clip, path));

  ASSERT_TRUE(clip->ChangeChannelNameAt(1, EngineCore::String("Hand")));
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  const nlohmann::json renamed = ReadJson(path);
  ASSERT_EQ(renamed["nodes"].size(), 2u) << "no node is added";
  EXPECT_EQ(renamed["nodes"][1]["name"], "Hand");
  EXPECT_FALSE(renamed["nodes"][0].contains("name"));
  EXPECT_TRUE(PassesValidator(path));
  EXPECT_TRUE(ClipTestFiles::ReopensAs(*clip, path));
}

TEST(NamelessNodes, APreviewOfTheirClipPosesTheObjectsOfTheSameNames) {
  TestSupport::TempFolder folder;
  fs::create_directories(folder.Path() / "AnimClips");
  TestClipBuilder builder;
  builder.Track("Root", "translation", {0, 1}, {0, 0, 0, 1, 1, 1});
  builder.Json()["nodes"][0].erase("name");
  builder.Write(folder.Path() / "AnimClips/skin.gltf");
  std::string message;
  const std::unique_ptr<Formats::Project> project = Formats::Project::Open(folder.Path().string(), message);
  ASSERT_TRUE(project) << message;
  // Without a scene of its own, the project poses the clip's own nodes.
  ASSERT_NE(project->GetScene(), nullptr);
  EngineCore::SceneObject* object = project->GetScene()->FindObject(EngineCore::String("node 0"));
  ASSERT_NE(object, nullptr);
  ASSERT_NE(object->GetController(), nullptr);
  EXPECT_EQ(object->GetController()->GetChannelName().str(), "node 0");
}

TEST(PointerAnimations, AnAnimationOfTargetsThatAreNotNodesOpensWithANoteAndSavesUntouched) {
  TestSupport::TempFolder folder;
  TestClipBuilder builder;
  builder.Track("Hips", "translation", {0, 1}, {0, 0, 0, 1, 1, 1});
  nlohmann::json& animations = builder.Json()["animations"];
  nlohmann::json pointer = {
      {"name", "Glow"},
      {"samplers", {animations[0]["samplers"][0]}},
      {"channels",
       {{{"sampler", 0},
         {"target",
          {{"path", "pointer"},
           {"extensions", {{"KHR_animation_pointer", {{"pointer", "/materials/0/emissiveFactor"}}}}}}}}}}};
  animations[0]["name"] = "Move";
  animations.push_back(pointer);
  builder.Json()["extensionsUsed"] = {"KHR_animation_pointer"};
  const std::string path = folder / "lamp.gltf";
  builder.Write(path, "lamp.bin", folder / "lamp.bin");
  const nlohmann::json before = ReadJson(path)["animations"];

  ClipHolder glow = OpenClip(path, "lamp:Glow");
  ASSERT_TRUE(glow.clip);
  EXPECT_EQ(glow->GetChannelCount(), 0u);
  EXPECT_NE(glow->GetReadingNote().str().find("KHR_animation_pointer"), std::string::npos)
      << glow->GetReadingNote().str();
  glow->SetModified(true);
  ASSERT_TRUE(glow->Save());
  EXPECT_EQ(ReadJson(path)["animations"], before);

  // Written anew, the animation would lose what tinygltf cannot read: that save is refused.
  ASSERT_TRUE(glow->AddChannel(EngineCore::String("Hips")));
  glow->SetModified(true);
  EXPECT_FALSE(glow->Save());
  EXPECT_EQ(ReadJson(path)["animations"], before);
}

}  // namespace
