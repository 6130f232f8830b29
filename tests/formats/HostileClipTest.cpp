#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ClipBuilder.h"
#include "ClipTestFiles.h"
#include "EngineCore/AnimTrack.h"
#include "Formats/ClipFileLimits.h"
#include "LogCapture.h"
#include "TempFolder.h"
#include "TestClipBuilder.h"

namespace fs = std::filesystem;
using ClipTestFiles::ReopensAs;
using EngineCore::AnimClip;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using Formats::ClipFileError;
using Formats::GltfClipFile;
using TestSupport::ReadBytes;

namespace {

// A clip of one node with a three-key translation, the smallest file a URI test needs.
TestClipBuilder SmallClip() {
  TestClipBuilder clip;
  clip.Track("Hips", "translation", {0.0f, 0.5f, 1.0f}, {0, 0, 0, 1, 2, 3, 4, 5, 6});
  return clip;
}

void AddKeyedChannel(AnimClip& clip, const char* name, std::uint32_t frame, float value) {
  ClipBuilder(clip).Vectors(name, AnimTrack::Translation, {{frame, EngineCore::Vector3(value, value, value)}});
  clip.SetModified(true);
}

// Every file under a folder with its bytes, to show that nothing there changed.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files[entry.path().string()] = ReadBytes(entry.path().string());
  }
  return files;
}

class HostileClip : public ::testing::Test {
 protected:
  Formats::ClipOpenResult Open(const fs::path& path) { return GltfClipFile::Open(path.string()); }
  // Writes a clip of one track on the node Hips as `name` in the folder.
  void WriteTrack(const std::string& name, const std::string& path, const std::vector<float>& times,
                  const std::vector<float>& values, const std::string& interpolation = "LINEAR") {
    TestClipBuilder().Track("Hips", path, times, values, interpolation).Write(folder.Path() / name);
  }
  void ExpectRefused(const Formats::ClipOpenResult& result, ClipFileError error, const std::string& named) {
    EXPECT_EQ(result.clip, nullptr);
    if (result.clip) result.clip->Release();
    EXPECT_EQ(result.error, error) << result.message;
    EXPECT_NE(result.message.find(named), std::string::npos) << result.message;
  }

  TestSupport::TempFolder folder;
  TestSupport::LogCapture log;
};

}  // namespace

TEST_F(HostileClip, BufferUrisClimbingOutAbsoluteOrWithASchemeAreRefused) {
  fs::create_directories(folder.Path() / "clips");
  const std::string absolute = folder / "elsewhere.bin";
  // The clip, the buffer's URI and where a file of that name lies.
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"clips/Walk.gltf", "../outside.bin", folder / "outside.bin"},
      {"Walk.gltf", absolute, absolute},
      {"Walk.gltf", "file:///etc/passwd", ""},
      {"Walk.gltf", "http://example.com/walk.bin", ""}};
  for (const auto& [clip, uri, file] : cases) {
    SmallClip().Write(folder.Path() / clip, uri, file);
    ExpectRefused(Open(folder.Path() / clip), ClipFileError::UnsafeUri, uri);
  }
}

TEST_F(HostileClip, BufferMissingBesideTheClipIsNotTakenFromTheWorkingFolder) {
  fs::create_directories(folder.Path() / "clips");
  fs::create_directories(folder.Path() / "cwd");
  SmallClip().Write(folder.Path() / "clips/Walk.gltf", "Walk.bin", folder.Path() / "cwd/Walk.bin");
  const fs::path before = fs::current_path();
  fs::current_path(folder.Path() / "cwd");
  const Formats::ClipOpenResult result = Open(folder.Path() / "clips/Walk.gltf");
  fs::current_path(before);
  ExpectRefused(result, ClipFileError::MissingBuffer, "Walk.bin");
}

TEST_F(HostileClip, BufferNamingAPipeIsRefusedWithoutWaitingForAWriter) {
  ASSERT_EQ(::mkfifo((folder.Path() / "pipe.bin").c_str(), 0600), 0);
  SmallClip().Write(folder.Path() / "Walk.gltf", "pipe.bin");
  const int status = TestSupport::ChildProcess::Run(
      [&] {
        const Formats::ClipOpenResult result = Open(folder.Path() / "Walk.gltf");
        return result.clip == nullptr && result.error == ClipFileError::UnsafeUri ? 0 : 1;
      },
      std::chrono::seconds(10));
  EXPECT_EQ(status, 0) << "-1: the loader hung on the pipe";
}

TEST_F(HostileClip, PercentEncodedAndPlusSignUrisNameTheirFilesOnOpenAndOnSave) {
  for (const auto& [uri, file] : {std::pair{"my%20clip.bin", "my clip.bin"}, std::pair{"a+b.bin", "a+b.bin"}}) {
    SmallClip().Write(folder.Path() / "Walk.gltf", uri, folder.Path() / file);
    ASSERT_OPENS(clip, folder / "Walk.gltf");
    clip->GetChannelAt(0)->GetCurve(AnimTrack::Translation)->Empty();
    AddKeyedChannel(*clip, "Hips", 60, 9.0f);
    ASSERT_TRUE(clip->Save()) << uri;
    EXPECT_TRUE(ReopensAs(*clip, folder / "Walk.gltf")) << uri;
  }
}

TEST_F(HostileClip, SavingWritesOnlyInsideTheClipsFolder) {
  fs::create_directories(folder.Path() / "project/clips/data");
  std::ofstream(folder.Path() / "project/keep.txt") << "the user's own file";
  SmallClip().Write(folder.Path() / "project/clips/Walk.gltf", "data/walk.bin",
                    folder.Path() / "project/clips/data/walk.bin");
  const auto outside = Snapshot(folder.Path() / "project");
  ASSERT_OPENS(clip, folder / "project/clips/Walk.gltf");
  AddKeyedChannel(*clip, "Tail", 4, 2.0f);
  ASSERT_TRUE(clip->Save());
  EXPECT_EQ(ReadBytes(folder / "project/keep.txt"), "the user's own file");
  for (const auto& entry : fs::recursive_directory_iterator(folder.Path())) {
    if (!entry.is_regular_file()) continue;
    const std::string path = entry.path().string();
    const bool inClips = path.rfind((folder.Path() / "project/clips/").string(), 0) == 0;
    EXPECT_TRUE(inClips || outside.contains(path)) << path << " was written outside the clip's folder";
  }
  EXPECT_TRUE(ReopensAs(*clip, folder / "project/clips/Walk.gltf"));
}

TEST_F(HostileClip, ASaveNeverChangesOrRemovesDocumentsOrBuffersThatOtherDocumentsName) {
  // Other.gltf is a clip of its own; Walk.gltf and sub/Shared.gltf share sub/shared.bin.
  SmallClip().Write(folder.Path() / "Other.gltf", "Other.bin", folder.Path() / "Other.bin");
  fs::create_directories(folder.Path() / "sub");
  SmallClip().Write(folder.Path() / "sub/Shared.gltf", "shared.bin", folder.Path() / "sub/shared.bin");
  SmallClip().Write(folder.Path() / "Walk.gltf", "sub/shared.bin");
  // Walk.gltf also names, as spare buffers, the other document and itself.
  nlohmann::json walk = nlohmann::json::parse(ReadBytes(folder / "Walk.gltf"));
  walk["buffers"].push_back({{"uri", "Other.gltf"}, {"byteLength", fs::file_size(folder.Path() / "Other.gltf")}});
  walk["buffers"].push_back({{"uri", "Walk.gltf"}, {"byteLength", 0}});
  // The document's own size depends on the byteLength that names it.
  for (int round = 0; round < 3; ++round) {
    std::ofstream(folder.Path() / "Walk.gltf") << walk.dump();
    walk["buffers"][2]["byteLength"] = fs::file_size(folder.Path() / "Walk.gltf");
  }
  std::map<std::string, std::string> others = Snapshot(folder.Path());
  others.erase(folder / "Walk.gltf");

  ASSERT_OPENS(clip, folder / "Walk.gltf");
  AddKeyedChannel(*clip, "Tail", 4, 2.0f);
  ASSERT_TRUE(clip->Save());
  ASSERT_TRUE(clip->Save()) << "a second save, from what the first one wrote";

  const std::map<std::string, std::string> after = Snapshot(folder.Path());
  for (const auto& [path, bytes] : others) {
    ASSERT_TRUE(after.contains(path)) << path << " was removed";
    EXPECT_EQ(after.at(path), bytes) << path << " was changed";
  }
  EXPECT_TRUE(ClipTestFiles::SavedAs(*clip, folder / "Walk.gltf"));
  for (const char* name : {"Other.gltf", "sub/Shared.gltf"}) {
    ASSERT_OPENS(other, folder / name);
    EXPECT_EQ(other->CountKeys(), 3u) << name;
  }
}

TEST_F(HostileClip, NodeNamesThatShareAChannelKeyOrAreNotCleanTextAreRefusedNamingTheNodes) {
  // The names of two animated nodes, and what the message must name.
  const std::tuple<std::string, std::string, std::vector<std::string>> cases[] = {
      {"plumless", "buckeroo", {"plumless", "buckeroo", "node 0", "node 1"}},
      {"Hips", "Hips", {"Hips", "node 0", "node 1"}},
      {"Hips", std::string("Ta\0il", 5), {"node 1", "NUL"}}};
  for (const auto& [first, second, named] : cases) {
    TestClipBuilder builder;
    builder.Track("A", "translation", {0.0f, 1.0f}, {0, 0, 0, 1, 1, 1})
        .Track("B", "rotation", {0.0f, 1.0f}, {0, 0, 0, 1, 0, 0, 0, 1});
    builder.Json()["nodes"][0]["name"] = first;
    builder.Json()["nodes"][1]["name"] = second;
    builder.Write(folder.Path() / "Names.gltf");
    const Formats::ClipOpenResult result = Open(folder.Path() / "Names.gltf");
    ExpectRefused(result, ClipFileError::NotGltf, named.front());
    for (const std::string& part : named) EXPECT_NE(result.message.find(part), std::string::npos) << result.message;
  }
  // A name that is not UTF-8 is refused as such, not as a document that does not parse.
  std::string document = ReadBytes(folder / "Names.gltf");
  document.replace(document.find("Hips"), 4, "H\xC3\x28s");
  std::ofstream(folder.Path() / "Names.gltf") << document;
  ExpectRefused(Open(folder.Path() / "Names.gltf"), ClipFileError::NotGltf,
                "node 0 has a name that is not valid UTF-8");
}

TEST_F(HostileClip, EmptyObjectsAreWrittenAsObjectsAndTheSaveReopens) {
  std::ofstream(folder.Path() / "Bare.gltf") << R"({"asset":{"version":""},"nodes":[{}]})";
  ASSERT_OPENS(clip, folder / "Bare.gltf");
  AddKeyedChannel(*clip, "Hips", 3, 1.0f);
  ASSERT_TRUE(clip->Save());
  EXPECT_TRUE(ClipTestFiles::SavedAs(*clip, folder / "Bare.gltf"));
}

TEST_F(HostileClip, ABufferLeftWithoutViewsIsNotWrittenEmpty) {
  // Buffer 1 holds nothing but the animation; once the animation moves into buffer 0,
  // nothing uses it.
  TestClipBuilder builder = SmallClip();
  nlohmann::json& doc = builder.Json();
  for (auto& view : doc["bufferViews"]) view["buffer"] = 1;
  builder.Write(folder.Path() / "Walk.gltf", "Walk.bin", folder.Path() / "Walk.bin");
  nlohmann::json written = nlohmann::json::parse(ReadBytes(folder / "Walk.gltf"));
  written["buffers"] = nlohmann::json::array(
      {{{"byteLength", 4}, {"uri", "data:application/octet-stream;base64,AAAAAA=="}}, written["buffers"][0]});
  std::ofstream(folder.Path() / "Walk.gltf") << written.dump();

  ASSERT_OPENS(clip, folder / "Walk.gltf");
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  EXPECT_TRUE(ClipTestFiles::SavedAs(*clip, folder / "Walk.gltf"));
}

TEST_F(HostileClip, DeepNestingAndStepKeysFarApartAreRefusedBeforeTheyExhaustTheStackOrAreSampled) {
  std::string extras;
  for (int i = 0; i < 20000; ++i) extras += "[";
  for (int i = 0; i < 20000; ++i) extras += "]";
  std::ofstream(folder.Path() / "Deep.gltf") << R"({"asset":{"version":"2.0"},"extras":)" << extras << "}";
  ExpectRefused(Open(folder.Path() / "Deep.gltf"), ClipFileError::TooLarge, "nest");
  // Two STEP keys nearly ten million frames apart, on one track and then on twelve.
  const float far = 9.9e6f / 60.0f;
  WriteTrack("One.gltf", "translation", {0.0f, far}, {0, 0, 0, 1, 1, 1}, "STEP");
  ExpectRefused(Open(folder.Path() / "One.gltf"), ClipFileError::TooLarge, "frames");

  TestClipBuilder twelve;
  for (const char* node : {"A", "B", "C", "D"}) {
    twelve.Track(node, "translation", {0.0f, far}, {0, 0, 0, 1, 1, 1}, "STEP");
    twelve.Track(node, "rotation", {0.0f, far}, {0, 0, 0, 1, 0, 0, 0, 1}, "STEP");
    twelve.Track(node, "scale", {0.0f, far}, {1, 1, 1, 2, 2, 2}, "STEP");
  }
  twelve.Write(folder.Path() / "Twelve.gltf");
  ExpectRefused(Open(folder.Path() / "Twelve.gltf"), ClipFileError::TooLarge, "frames");
}

TEST_F(HostileClip, TracksWithinTheirOwnBoundAreRefusedWhenTheClipHoldsTooManyKeys) {
  const std::uint64_t perTrack = Formats::ClipFileLimits::kMaxFrame;
  const std::uint64_t tracks = Formats::ClipFileLimits::kMaxClipKeys / perTrack + 1;
  TestClipBuilder builder;
  // Times off every rate are sampled on every frame at 60: two keys a million frames apart
  // make a million.
  for (std::uint64_t t = 0; t < tracks; ++t) {
    builder.Track("Joint" + std::to_string(t), "translation", {0.0f, (static_cast<float>(perTrack) - 0.7f) / 60.0f},
                  std::vector<float>(6, 0.0f), "LINEAR");
  }
  builder.Write(folder.Path() / "Many.gltf");
  ExpectRefused(Open(folder.Path() / "Many.gltf"), ClipFileError::TooLarge, "keys");
}

TEST_F(HostileClip, HugeValuesSampleToFiniteKeys) {
  // Keys between frames make the track sampled; the span between them overflows a float.
  WriteTrack("Huge.gltf", "translation", {0.0f, 0.025f, 0.05f}, {-3e38f, -3e38f, -3e38f, 3e38f, 3e38f, 3e38f, 0, 0, 0});
  ASSERT_OPENS(clip, folder / "Huge.gltf");
  const AnimCurve* hips = ClipTestFiles::Track(*clip, "Hips", AnimTrack::Translation);
  ASSERT_NE(hips, nullptr);
  ASSERT_GT(hips->GetKeyCount(), 1u);
  for (std::uint32_t k = 0; k < hips->GetKeyCount(); ++k) {
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(std::isfinite(hips->GetVector3Key(k)[i])) << "key " << k;
  }
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  EXPECT_TRUE(ReopensAs(*clip, folder / "Huge.gltf"));
}

TEST_F(HostileClip, LongQuaternionsAreNormalisedWhetherKeptOrSampledAndAZeroLengthOneRefusesTheFile) {
  const float big = 1e20f;
  for (const float second : {1.0f / 60.0f, 0.025f}) {
    WriteTrack("Long.gltf", "rotation", {0.0f, second, 0.05f}, {0, 0, 0, big, big, 0, 0, 0, 0, big, 0, big});
    ASSERT_OPENS(clip, folder / "Long.gltf");
    const AnimCurve* hips = ClipTestFiles::Track(*clip, "Hips", AnimTrack::Rotation);
    ASSERT_NE(hips, nullptr);
    for (std::uint32_t k = 0; k < hips->GetKeyCount(); ++k) {
      const EngineCore::Quaternion q = hips->GetQuaternionKey(k);
      EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-5f) << "key " << k;
    }
  }
  WriteTrack("Zero.gltf", "rotation", {0.0f, 1.0f / 60.0f}, {0, 0, 0, 1, 0, 0, 0, 0});
  ExpectRefused(Open(folder.Path() / "Zero.gltf"), ClipFileError::NonFiniteValue, "zero");
}

TEST_F(HostileClip, CubicTangentsThatOverflowRefuseTheFile) {
  // In-tangent, value, out-tangent per key: values near the largest float with steep
  // tangents between them rise past it.
  const float v = 3.3e38f;
  const float m = 3e38f;
  WriteTrack("Cubic.gltf", "translation", {0.0f, 1.0f}, {0, 0, 0, v, v, v, m, m, m, -m, -m, -m, v, v, v, 0, 0, 0},
             "CUBICSPLINE");
  const Formats::ClipOpenResult result = Open(folder.Path() / "Cubic.gltf");
  if (result.clip) {
    const AnimCurve* hips = ClipTestFiles::Track(*result.clip, "Hips", AnimTrack::Translation);
    for (std::uint32_t k = 0; k < hips->GetKeyCount(); ++k) {
      for (int i = 0; i < 3; ++i) EXPECT_TRUE(std::isfinite(hips->GetVector3Key(k)[i])) << "key " << k;
    }
    result.clip->Release();
  } else {
    EXPECT_EQ(result.error, ClipFileError::NonFiniteValue) << result.message;
  }
}

TEST_F(HostileClip, AFileNameThatIsNotUtf8SavesAndReopens) {
  const std::string path = folder / "caf\xe9.gltf";
  std::string message;
  ASSERT_EQ(GltfClipFile::CreateEmpty(path, message), ClipFileError::None) << message;
  ASSERT_OPENS(clip, path);
  AddKeyedChannel(*clip, "Hips", 2, 1.0f);
  ASSERT_TRUE(clip->Save());
  EXPECT_TRUE(ReopensAs(*clip, path));
  for (const auto& entry : fs::directory_iterator(folder.Path())) {
    EXPECT_EQ(entry.path().filename().string().find("tarvel"), std::string::npos) << entry.path();
  }
}
