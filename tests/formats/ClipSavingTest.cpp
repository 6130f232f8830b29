#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "ClipBuilder.h"
#include "ClipKeys.h"
#include "ClipTestFiles.h"
#include "EngineCore/AnimTrack.h"
#include "LogCapture.h"
#include "TempFolder.h"
#include "TestClipBuilder.h"

using ClipTestFiles::Data;
using ClipTestFiles::PassesValidator;
using ClipTestFiles::ReadJson;
using ClipTestFiles::ReopensAs;
using EngineCore::AnimClip;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using TestSupport::ReadBytes;

namespace {

// A test's own copy of a data clip, so that saving never touches the repository.
class ClipSaving : public ::testing::Test {
 protected:
  std::string CopyOf(const std::string& dataFile) {
    TestSupport::CopyClipFiles(Data(dataFile), folder.Path());
    return folder / std::filesystem::path(dataFile).filename().string();
  }
  // Saves a copy of the clip under `name` in the folder; the copy's path.
  std::string SaveAs(const AnimClip& clip, const std::string& name) {
    std::string message;
    EXPECT_EQ(Formats::GltfClipFile::SaveAs(clip, folder / name, message), Formats::ClipFileError::None) << message;
    return folder / name;
  }

  TestSupport::TempFolder folder;
};

}  // namespace

TEST_F(ClipSaving, KeepsMeshesSkinsMaterialsAndExtras) {
  const std::string path = CopyOf("synthetic/with_mesh.gltf");
  const nlohmann::json before = ReadJson(path);
  ASSERT_OPENS(clip, path);
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
  EXPECT_TRUE(ClipTestFiles::SavedAs(*clip, path));
}

// The floats an accessor of a saved document holds, read without the library under test.
std::vector<float> AccessorFloats(const std::filesystem::path& document, int index) {
  const nlohmann::json doc = ReadJson(document.string());
  const nlohmann::json& accessor = doc["accessors"][index];
  const nlohmann::json& view = doc["bufferViews"][accessor["bufferView"].get<int>()];
  const std::string bytes = ReadBytes(
      (document.parent_path() / doc["buffers"][view["buffer"].get<int>()]["uri"].get<std::string>()).string());
  const std::size_t components = accessor["type"] == "SCALAR" ? 1 : accessor["type"] == "VEC3" ? 3 : 4;
  std::vector<float> values(accessor["count"].get<std::size_t>() * components);
  const std::size_t start = view.value("byteOffset", 0) + accessor.value("byteOffset", 0);
  EXPECT_LE(start + values.size() * sizeof(float), bytes.size());
  if (start + values.size() * sizeof(float) <= bytes.size()) {
    std::memcpy(values.data(), bytes.data() + start, values.size() * sizeof(float));
  }
  return values;
}

// A clip whose file also holds a crowd: instance offsets (accessor 4) that only an extension
// names, and the instanced mesh's positions (accessor 5).
TestClipBuilder CrowdClip() {
  TestClipBuilder builder;
  builder.Track("Hips", "translation", {0.0f, 0.5f, 1.0f}, {0, 0, 0, 1, 2, 3, 4, 5, 6})
      .Track("Hips", "rotation", {0.0f, 1.0f}, {0, 0, 0, 1, 0, 0, 0.70710677f, 0.70710677f});
  const int offsets = builder.Accessor({0, 0, 0, 2, 0, 0, 4, 0, 0}, "VEC3", false);
  const int positions = builder.Accessor({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3", true);
  nlohmann::json& doc = builder.Json();
  doc["meshes"] = {{{"primitives", {{{"attributes", {{"POSITION", positions}}}}}}}};
  doc["nodes"].push_back({{"name", "Crowd"},
                          {"mesh", 0},
                          {"extensions", {{"EXT_mesh_gpu_instancing", {{"attributes", {{"TRANSLATION", offsets}}}}}}}});
  doc["scenes"][0]["nodes"].push_back(doc["nodes"].size() - 1);
  doc["extensionsUsed"] = {"EXT_mesh_gpu_instancing"};
  return builder;
}

TEST_F(ClipSaving, IndicesInsideExtensionsKeepNamingTheSameData) {
  CrowdClip().Write(folder.Path() / "Crowd.gltf", "Crowd.bin", folder.Path() / "Crowd.bin");
  const std::filesystem::path path = folder.Path() / "Crowd.gltf";
  const std::vector<float> offsets = AccessorFloats(path, 4);
  const std::vector<float> positions = AccessorFloats(path, 5);
  ASSERT_OPENS(clip, path.string());
  // Fewer translation keys and more rotation keys than the file had.
  ClipBuilder edit(*clip);
  edit.Track("Hips", AnimTrack::Translation).Empty();
  edit.Vectors("Hips", AnimTrack::Translation, {{0, {9, 9, 9}}});
  edit.Rotations("Hips", {{90, {0, 0, 45}}, {120, {0, 0, 60}}});
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());

  const nlohmann::json after = ReadJson(path.string());
  const nlohmann::json& crowd = after["nodes"][1];
  ASSERT_EQ(crowd["name"], "Crowd");
  EXPECT_EQ(crowd["extensions"]["EXT_mesh_gpu_instancing"]["attributes"]["TRANSLATION"], 4);
  EXPECT_EQ(after["meshes"][0]["primitives"][0]["attributes"]["POSITION"], 5);
  EXPECT_EQ(AccessorFloats(path, 4), offsets);
  EXPECT_EQ(AccessorFloats(path, 5), positions);
  EXPECT_TRUE(ClipTestFiles::SavedAs(*clip, path.string()));
}

TEST_F(ClipSaving, MeshoptCompressedDataOpensAndIsKeptByteForByte) {
  TestClipBuilder builder = CrowdClip();
  nlohmann::json& doc = builder.Json();
  // The crowd's positions as a compressed stream in buffer 1; buffer 2 stands for their
  // decoded bytes, which no file holds.
  doc["bufferViews"].push_back(
      {{"buffer", 2},
       {"byteLength", 36},
       {"byteStride", 12},
       {"extensions",
        {{"EXT_meshopt_compression",
          {{"buffer", 1}, {"byteLength", 16}, {"byteStride", 12}, {"count", 3}, {"mode", "ATTRIBUTES"}}}}}});
  doc["accessors"].push_back(
      {{"bufferView", doc["bufferViews"].size() - 1}, {"componentType", 5126}, {"count", 3}, {"type", "VEC3"}});
  doc["meshes"][0]["primitives"][0]["attributes"]["NORMAL"] = doc["accessors"].size() - 1;
  doc["extensionsUsed"].push_back("EXT_meshopt_compression");
  doc["extensionsRequired"] = {"EXT_meshopt_compression"};
  const std::filesystem::path path = folder.Path() / "Packed.gltf";
  builder.Write(path, "Packed.bin", folder.Path() / "Packed.bin");
  nlohmann::json written = ReadJson(path.string());
  written["buffers"].push_back({{"uri", "stream.bin"}, {"byteLength", 16}});
  written["buffers"].push_back(
      {{"byteLength", 36}, {"extensions", {{"EXT_meshopt_compression", {{"fallback", true}}}}}});
  std::ofstream(path) << written.dump();
  std::ofstream(folder.Path() / "stream.bin", std::ios::binary) << "0123456789abcdef";

  ASSERT_OPENS(clip, path.string());
  ClipBuilder(*clip).Vectors("Tail", AnimTrack::Scale, {{3, {2, 2, 2}}});
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  const nlohmann::json after = ReadJson(path.string());
  EXPECT_EQ(after["bufferViews"][6], written["bufferViews"][6]);
  EXPECT_EQ(after["buffers"][1], written["buffers"][1]);
  EXPECT_EQ(after["buffers"][2], written["buffers"][2]);
  EXPECT_EQ(after["extensionsRequired"], written["extensionsRequired"]);
  EXPECT_EQ(ReadBytes((folder.Path() / "stream.bin").string()), "0123456789abcdef");
  EXPECT_TRUE(ReopensAs(*clip, path.string()));
}

TEST_F(ClipSaving, AFileRequiringAnUnknownExtensionOpensReadOnlyAndIsNeverRewritten) {
  TestSupport::LogCapture log;
  TestClipBuilder builder;
  builder.Track("Hips", "translation", {0.0f, 1.0f}, {0, 0, 0, 1, 1, 1});
  builder.Json()["extensionsUsed"] = {"VENDOR_private_rig"};
  builder.Json()["extensionsRequired"] = {"VENDOR_private_rig"};
  const std::filesystem::path path = folder.Path() / "Rig.gltf";
  builder.Write(path, "Rig.bin", folder.Path() / "Rig.bin");
  const std::string document = ReadBytes(path.string());
  ASSERT_OPENS(clip, path.string());
  EXPECT_GE(log.Count(EngineCore::Log::Warning, "VENDOR_private_rig"), 1);
  ClipBuilder(*clip).Vectors("Tail", AnimTrack::Scale, {{3, {2, 2, 2}}});
  clip->SetModified(true);
  EXPECT_FALSE(clip->Save());
  EXPECT_TRUE(clip->IsModified());
  EXPECT_GE(log.Count(EngineCore::Log::Error, "VENDOR_private_rig"), 1);
  EXPECT_EQ(ReadBytes(path.string()), document);
}

// Each animated node's tracks as a file holds them, read without the library under test:
// interpolation, then times and values of every key.
std::map<std::string, std::tuple<std::string, std::vector<float>, std::vector<float>>> TracksOf(
    const std::filesystem::path& document) {
  const nlohmann::json doc = ReadJson(document.string());
  std::map<std::string, std::tuple<std::string, std::vector<float>, std::vector<float>>> tracks;
  const nlohmann::json& animation = doc["animations"][0];
  for (const nlohmann::json& channel : animation["channels"]) {
    const nlohmann::json& sampler = animation["samplers"][channel["sampler"].get<int>()];
    const std::string name = doc["nodes"][channel["target"]["node"].get<int>()]["name"].get<std::string>() + "." +
                             channel["target"]["path"].get<std::string>();
    tracks[name] = {sampler.value("interpolation", "LINEAR"), AccessorFloats(document, sampler["input"]),
                    AccessorFloats(document, sampler["output"])};
  }
  return tracks;
}

TEST_F(ClipSaving, AnUneditedSaveKeepsEveryKeyTimeValueTangentAndInterpolation) {
  TestClipBuilder stepped;
  stepped.Track("Head", "rotation", {1 / 24.0f, 0.5f, 0.75f}, {0, 0, 0, 1, 0, 0.3826834f, 0, 0.9238795f, 0, 0, 0, 1},
                "STEP");
  stepped.Track("Head", "translation", {0.0f, 1.0f}, {0, 1, 2, 3, 4, 5});
  stepped.Write(folder.Path() / "Turn.gltf", "Turn.bin", folder.Path() / "Turn.bin");
  // Keys that fit 30 frames a second and no lower rate, ending on the cycle's last frame.
  TestClipBuilder walk;
  walk.Track("Hips", "translation", {0.0f, 1 / 30.0f, 0.5f, 1.0f}, {0, 0, 0, 0, 1, 0, 1, 2, 0, 0, 0, 0});
  walk.Write(folder.Path() / "Walk.gltf", "Walk.bin", folder.Path() / "Walk.bin");
  // Cubic tracks at 24 frames a second: in-tangent, value and out-tangent per key, a rotation's
  // tangents of no particular length.
  TestClipBuilder wave;
  wave.Track("Arm", "translation", {0.0f, 0.5f, 1.25f},
             {0, 0, 0, 1, 2, 3, 0.5f, -1, 2, 3, 3, 3, 4, 0, 1, -2, 0, 0, 7, 8, 9, 0, 0, 0, 1, 1, 1}, "CUBICSPLINE");
  wave.Track("Arm", "rotation", {1 / 24.0f, 0.75f},
             {0, 0, 0, 0, 0, 0, 0, 1, 0.25f, -0.5f, 0, 0.125f, 0.1f, 0.2f, 0.3f, 0.4f, 0, 0.6f, 0, 0.8f, 0, 0, 0, 0},
             "CUBICSPLINE");
  wave.Write(folder.Path() / "Wave.gltf", "Wave.bin", folder.Path() / "Wave.bin");
  for (const std::string& path : {CopyOf("01_01.gltf"), folder / "Turn.gltf", folder / "Walk.gltf",
                                  folder / "Wave.gltf", CopyOf("blender/keyframed.gltf")}) {
    const auto before = TracksOf(path);
    ASSERT_OPENS(clip, path);
    clip->SetModified(true);
    ASSERT_TRUE(clip->Save());
    const auto after = TracksOf(path);
    ASSERT_EQ(after.size(), before.size()) << path;
    for (const auto& [track, authored] : before) {
      ASSERT_TRUE(after.contains(track)) << track;
      const auto& [interpolation, times, values] = after.at(track);
      EXPECT_EQ(interpolation, std::get<0>(authored)) << track;
      ASSERT_EQ(times.size(), std::get<1>(authored).size()) << track;
      for (std::size_t k = 0; k < times.size(); ++k) EXPECT_NEAR(times[k], std::get<1>(authored)[k], 1e-6) << track;
      ASSERT_EQ(values.size(), std::get<2>(authored).size()) << track;
      for (std::size_t v = 0; v < values.size(); ++v) EXPECT_NEAR(values[v], std::get<2>(authored)[v], 1e-6) << track;
    }
    EXPECT_TRUE(PassesValidator(path));
  }
}

TEST_F(ClipSaving, RepeatedSavesDoNotGrowTheFileAndANewChannelGetsANewNodeUnderTheSceneRoot) {
  const std::string path = CopyOf("synthetic/whole_frames.gltf");
  ASSERT_OPENS(clip, path);
  ASSERT_TRUE(clip->Save());
  const auto first = std::filesystem::file_size(path);
  ASSERT_TRUE(clip->Save());
  ASSERT_TRUE(clip->Save());
  EXPECT_EQ(std::filesystem::file_size(path), first);
  EXPECT_FALSE(std::filesystem::exists(folder / "whole_frames.bin")) << "embedded buffers stay embedded";
  ClipBuilder(*clip).Vectors("Tail", AnimTrack::Scale, {{3, {2, 2, 2}}});
  ASSERT_TRUE(clip->Save());
  const nlohmann::json doc = ReadJson(path);
  ASSERT_EQ(doc["nodes"].size(), 3u);
  EXPECT_EQ(doc["nodes"][2]["name"], "Tail");
  const auto& roots = doc["scenes"][0]["nodes"];
  EXPECT_NE(std::find(roots.begin(), roots.end(), 2), roots.end());
  EXPECT_TRUE(ClipTestFiles::SavedAs(*clip, path));
}

TEST_F(ClipSaving, CopiesAsGltfOrGlbLeaveTheOriginalFilesAlone) {
  const std::string path = CopyOf("01_01.gltf");
  const std::string originalBin = ReadBytes(folder / "01_01.bin");
  ASSERT_OPENS(clip, path);
  for (const char* name : {"Copy.gltf", "Binary.glb"}) {
    const std::string copy = SaveAs(*clip, name);
    EXPECT_TRUE(ClipTestFiles::SavedAs(*clip, copy)) << name;
  }
  EXPECT_EQ(ReadBytes(folder / "01_01.bin"), originalBin);
}

TEST_F(ClipSaving, SaveIntoAFolderThatIsAFileFailsAndChangesNothing) {
  TestSupport::LogCapture log;
  ASSERT_OPENS(clip, CopyOf("synthetic/whole_frames.gltf"));
  std::ofstream(folder / "plain-file") << "not a folder";
  std::string message;
  EXPECT_EQ(Formats::GltfClipFile::SaveAs(*clip, folder / "plain-file/Clip.gltf", message),
            Formats::ClipFileError::WriteFailed);
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(ReadBytes(folder / "plain-file"), "not a folder");
}

TEST_F(ClipSaving, KeysFarIntoALongTakeReopenOnTheFramesTheyWereSavedOn) {
  const std::string path = CopyOf("synthetic/whole_frames.gltf");
  ASSERT_OPENS(clip, path);
  // Past about eight minutes a float second cannot hold frame / 60 within a thousandth of
  // a frame.
  clip->GetChannelAt(0)->GetCurve(AnimTrack::Translation)->Empty();
  const EngineCore::Vector3 tiny(1e-40f, 2, 3);
  ClipBuilder(*clip).Vectors("Root", AnimTrack::Translation,
                             {{0, tiny}, {30001, tiny}, {196608, tiny}, {500000, tiny}, {999999, tiny}});
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  EXPECT_TRUE(ReopensAs(*clip, path));
}

TEST(FuzzFindings, EachOpensAndComesBackFromASaveWithTheSameKeys) {
  TestSupport::TempFolder folder;
  int found = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Data("bad"))) {
    if (entry.path().filename().string().rfind("fuzz-", 0) != 0) continue;
    ++found;
    SCOPED_TRACE(entry.path().filename().string());
    // Every clip of the file that opens (one at least) comes back from a copy as it was.
    const std::vector<std::string> names = Formats::ClipFormats::ListClips(entry.path().string());
    int opened = 0;
    for (std::size_t c = 0; c < names.size(); ++c) {
      const std::string name = names.size() > 1 ? names[c] : std::string();
      ClipTestFiles::ClipHolder clip(Formats::ClipFormats::Open(entry.path().string(), name.c_str()).clip);
      if (!clip.clip) continue;
      ++opened;
      for (const char* copy : {"copy.gltf", "copy.glb"}) {
        std::string message;
        ASSERT_EQ(Formats::GltfClipFile::SaveAs(*clip, folder / copy, message), Formats::ClipFileError::None)
            << message;
        const std::vector<std::string> copies = Formats::ClipFormats::ListClips(folder / copy);
        ASSERT_EQ(copies.size(), names.size());
        ClipTestFiles::ClipHolder again(
            Formats::ClipFormats::Open(folder / copy, names.size() > 1 ? copies[c].c_str() : "").clip);
        ASSERT_TRUE(again.clip);
        EXPECT_TRUE(TestSupport::SameKeys(*clip, *again)) << name;
      }
    }
    EXPECT_GT(opened, 0);
  }
  EXPECT_GT(found, 0);
}

TEST_F(ClipSaving, ChannelsWithoutKeysComeBackWithTheirTracks) {
  const std::string path = CopyOf("synthetic/whole_frames.gltf");
  ASSERT_OPENS(clip, path);
  ClipBuilder made(*clip);
  made.Channel("Bare");
  made.Track("Tail", AnimTrack::Translation);
  made.Track("Tail", AnimTrack::Rotation);
  made.Track("Root", AnimTrack::Scale);
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  EXPECT_TRUE(PassesValidator(path));
  ASSERT_OPENS(again, path);
  EXPECT_TRUE(ClipTestFiles::SameKeys(*clip, *again)) << "every channel and track comes back";
  EXPECT_EQ(ClipTestFiles::Track(*again, "Tail", AnimTrack::Rotation)->GetKeyType(), AnimCurve::KeyQuaternion);
}

TEST_F(ClipSaving, AnEditedCubicTrackSavesAsCubicSplineWithItsTangentsAndPassesTheValidator) {
  const std::string path = CopyOf("blender/keyframed.gltf");
  ASSERT_OPENS(clip, path);
  AnimCurve* moves = clip->GetChannel(AnimClip::ComputeChannelKey("Box"))->GetCurve(AnimTrack::Translation);
  ASSERT_NE(moves, nullptr);
  // The track as an edit leaves it: a key added between two with its own tangents.
  AnimCurve edited = *moves;
  moves->Empty();
  for (std::uint32_t k = 0; k < edited.GetKeyCount(); ++k) {
    moves->AddKey(edited.GetKeyFrame(k), edited.GetVector3Key(k), edited.GetVector3InTangent(k),
                  edited.GetVector3OutTangent(k));
    if (k == 1) moves->AddKey(20, EngineCore::Vector3(1, 2, 3), {0.5f, -1, 2}, {4, 0.25f, -8});
  }
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  EXPECT_TRUE(PassesValidator(path));
  const auto tracks = TracksOf(path);
  std::size_t cubic = 0;
  for (const auto& [track, keys] : tracks) cubic += std::get<0>(keys) == "CUBICSPLINE" ? 1 : 0;
  EXPECT_EQ(cubic, tracks.size()) << "every track stays CUBICSPLINE";
  ASSERT_OPENS(again, path);
  EXPECT_EQ(TestSupport::DescribeKeys(*again.clip), TestSupport::DescribeKeys(*clip.clip));
}

TEST_F(ClipSaving, TangentTypesComeBackAndOnlyTracksWhoseTangentsDoNotShowThemRecordThem) {
  const std::string path = CopyOf("blender/keyframed.gltf");
  ASSERT_OPENS(clip, path);
  AnimCurve* moves = clip->GetChannel(AnimClip::ComputeChannelKey("Box"))->GetCurve(AnimTrack::Translation);
  ASSERT_TRUE(moves && moves->IsCubic());
  // What Blender's tangents show (in and out alike: Free), but for two of the second key's axes.
  std::vector<EngineCore::TangentType> types(std::size_t{moves->GetKeyCount()} * 3, EngineCore::TangentType::Free);
  types[3] = EngineCore::TangentType::Flat;
  types[4] = EngineCore::TangentType::AutoClamped;
  ASSERT_TRUE(moves->SetTangentTypes(types));
  // The other tracks record what their tangents show: nothing to write.
  AnimCurve* turns = clip->GetChannel(AnimClip::ComputeChannelKey("Box"))->GetCurve(AnimTrack::Rotation);
  ASSERT_TRUE(turns->SetTangentTypes(
      std::vector<EngineCore::TangentType>(turns->GetKeyCount(), EngineCore::TangentType::Free)));
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  EXPECT_TRUE(PassesValidator(path)) << "extras are glTF's own place for what other readers may ignore";
  std::ifstream file(path);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::size_t records = 0;
  for (std::size_t at = text.find("tarvelTangentTypes"); at != std::string::npos;
       at = text.find("tarvelTangentTypes", at + 1)) {
    ++records;
  }
  EXPECT_EQ(records, 1u);
  ASSERT_OPENS(again, path);
  const AnimCurve* read = again->GetChannel(AnimClip::ComputeChannelKey("Box"))->GetCurve(AnimTrack::Translation);
  EXPECT_EQ(read->GetTangentTypes(), types);
  EXPECT_EQ(TestSupport::DescribeKeys(*again.clip), TestSupport::DescribeKeys(*clip.clip));
}
