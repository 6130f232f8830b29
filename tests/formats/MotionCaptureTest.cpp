#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <assimp/config.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <assimp/Importer.hpp>

#include "ClipTestFiles.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/ResourceFactory.h"
#include "EngineToolkit/FileSystem.h"
#include "Formats/ClipFileHost.h"
#include "Formats/ClipFormats.h"
#include "Formats/Project.h"
#include "LogCapture.h"
#include "TempFolder.h"

namespace fs = std::filesystem;
using ClipTestFiles::Data;
using ClipTestFiles::ReopensAs;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using EngineCore::Quaternion;
using EngineCore::Vector3;
using TestSupport::ReadBytes;

namespace {

// Two joints whose rotation channels come in orders of their own, three frames a sixtieth of
// a second apart, so that every key lies on a whole frame and is kept as it is.
constexpr const char* kTwoJoints = R"(HIERARCHY
ROOT Root
{
  OFFSET 0 0 0
  CHANNELS 6 Xposition Yposition Zposition Yrotation Xrotation Zrotation
  JOINT Arm
  {
    OFFSET 0 2 0
    CHANNELS 3 Xrotation Zrotation Yrotation
    End Site
    {
      OFFSET 0 1 0
    }
  }
}
MOTION
Frames: 3
Frame Time: 0.0166667
1 2 3 0 0 0 0 0 0
4 5 6 90 90 0 90 0 0
7 8 9 0 0 90 0 90 90
)";

void ExpectQuaternion(const Quaternion& q, float x, float y, float z, float w, const char* what) {
  // q and -q are one rotation.
  const float sign = q.Dot(Quaternion(x, y, z, w)) < 0.0f ? -1.0f : 1.0f;
  const float got[] = {q.x, q.y, q.z, q.w}, want[] = {x, y, z, w};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(sign * got[i], want[i], 1e-5f) << what;
}

class MotionCapture : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(folder.Path() / name) << text;
    return folder / name;
  }
  void TearDown() override { Formats::ClipFileHost::SetAsker({}); }

  TestSupport::TempFolder folder;
  TestSupport::LogCapture log;
};

}  // namespace

TEST_F(MotionCapture, BvhChannelsBecomeTracksWithTheirEulerAnglesComposedInTheFilesOrder) {
  ASSERT_OPENS(clip, Write("Wave.bvh", kTwoJoints));
  EXPECT_EQ(clip->GetName(), "Wave");
  ASSERT_EQ(clip->GetChannelCount(), 2u) << "the End Site is not a channel";

  const AnimCurve* rootMove = ClipTestFiles::Track(*clip, "Root", AnimTrack::Translation);
  ASSERT_NE(rootMove, nullptr);
  ASSERT_EQ(rootMove->GetKeyCount(), 3u);
  for (std::uint32_t k = 0; k < 3; ++k) {
    EXPECT_EQ(rootMove->GetKeyFrame(k), k);
    const float first = 1.0f + 3.0f * static_cast<float>(k);
    EXPECT_EQ(rootMove->GetVector3Key(k), Vector3(first, first + 1, first + 2));
  }
  EXPECT_EQ(ClipTestFiles::Track(*clip, "Arm", AnimTrack::Translation), nullptr) << "the arm has no position channels";

  const AnimCurve* root = ClipTestFiles::Track(*clip, "Root", AnimTrack::Rotation);
  const AnimCurve* arm = ClipTestFiles::Track(*clip, "Arm", AnimTrack::Rotation);
  ASSERT_NE(root, nullptr);
  ASSERT_NE(arm, nullptr);
  ASSERT_EQ(root->GetKeyCount(), 3u);
  ASSERT_EQ(arm->GetKeyCount(), 3u);
  const float h = std::sqrt(0.5f);
  ExpectQuaternion(root->GetQuaternionKey(0), 0, 0, 0, 1, "root, frame 0");
  // Y 90 then X 90: (0, h, 0, h)(h, 0, 0, h) = (1/2, 1/2, -1/2, 1/2).
  ExpectQuaternion(root->GetQuaternionKey(1), 0.5f, 0.5f, -0.5f, 0.5f, "root, frame 1");
  ExpectQuaternion(root->GetQuaternionKey(2), 0, 0, h, h, "root, frame 2: Z 90 alone");
  ExpectQuaternion(arm->GetQuaternionKey(1), h, 0, 0, h, "arm, frame 1: X 90 alone");
  // Z 90 then Y 90: (0, 0, h, h)(0, h, 0, h) = (-1/2, 1/2, 1/2, 1/2).
  ExpectQuaternion(arm->GetQuaternionKey(2), -0.5f, 0.5f, 0.5f, 0.5f, "arm, frame 2");
}

TEST_F(MotionCapture, AJointNameInLatin1ReadsAsUtf8AndSavesUnderThatName) {
  std::string text(kTwoJoints);
  text.replace(text.find("JOINT Arm"), 9, std::string("JOINT \xC9paule\0\x01", 14));
  ASSERT_OPENS(clip, Write("Wave.bvh", text));
  EXPECT_EQ(clip->GetChannelAt(1)->GetName(), "\xC3\x89paule__") << "control characters become _";
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  ASSERT_OPENS(saved, folder / "Wave.gltf");
  EXPECT_NE(ClipTestFiles::Track(*saved, "\xC3\x89paule__", AnimTrack::Rotation), nullptr);
}

TEST_F(MotionCapture, MalformedBvhIsRefusedNamingTheLine) {
  struct Case {
    std::string text;
    std::string named;
  };
  const std::string good(kTwoJoints);
  const std::vector<Case> cases{
      {std::string(good).replace(good.find("Zrotation\n"), 9, "Wrotation"), "line 5: unknown channel 'Wrotation'"},
      {good.substr(0, good.find("MOTION")) + "}\nMOTION\nFrames: 1\nFrame Time: 0.1\n0 0 0 0 0 0 0 0 0\n",
       "line 16: unexpected '}'"},
      {good.substr(0, good.rfind("7 8 9")) + "7 8\n", "line 22: motion value 21 of 27 is missing"},
      {std::string(good).replace(good.find("0.0166667"), 9, "0"), "Frame Time"},
  };
  for (const Case& bad : cases) {
    const Formats::ClipOpenResult result = Formats::ClipFormats::Open(Write("Bad.bvh", bad.text));
    EXPECT_EQ(result.clip, nullptr);
    EXPECT_EQ(result.error, Formats::ClipFileError::NotReadable) << result.message;
    EXPECT_NE(result.message.find(bad.named), std::string::npos) << result.message << "\n" << bad.text;
  }
}

TEST_F(MotionCapture, CapturedTakeKeepsEveryFrameAtItsOwnRate) {
  const std::string path = Data("bvh/01_01.bvh");
  ASSERT_OPENS(clip, path);
  ASSERT_EQ(clip->GetChannelCount(), 31u);
  // A frame time of 0.0083333 s is 120 frames a second: capture frame k is key k.
  EXPECT_EQ(clip->GetFrameRate(), 120.0f);
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line) && line.rfind("Frame Time", 0) != 0) {
  }
  std::vector<std::vector<float>> frames;
  while (std::getline(in, line)) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    std::istringstream values(line);
    frames.emplace_back(std::istream_iterator<float>(values), std::istream_iterator<float>());
  }
  ASSERT_EQ(frames.size(), 2752u);
  const AnimCurve* move = ClipTestFiles::Track(*clip, "Hips", AnimTrack::Translation);
  const AnimCurve* turn = ClipTestFiles::Track(*clip, "Hips", AnimTrack::Rotation);
  ASSERT_NE(move, nullptr);
  ASSERT_NE(turn, nullptr);
  ASSERT_EQ(move->GetKeyCount(), 2752u);
  for (std::uint32_t frame : {0u, 251u, 700u, 1300u, 2751u}) {
    const std::vector<float>& source = frames[frame];
    ASSERT_EQ(move->GetKeyFrame(frame), frame);
    for (int a = 0; a < 3; ++a) EXPECT_EQ(move->GetVector3Key(frame)[a], source[a]) << "frame " << frame;
    // The hips rotate Z, then Y, then X, as the engine's own Euler angles do.
    const float toRadians = static_cast<float>(M_PI / 180.0);
    Quaternion expected;
    expected.SetAngles(source[5] * toRadians, source[4] * toRadians, source[3] * toRadians);
    EXPECT_NEAR(std::abs(turn->GetQuaternionKey(frame).Dot(expected)), 1.0f, 1e-6f) << "frame " << frame;
  }
}

TEST_F(MotionCapture, SavingACaptureWritesAGltfBesideItAndNeverTouchesTheSource) {
  const std::string source = Write("Wave.bvh", kTwoJoints);
  ASSERT_OPENS(clip, source);
  clip->SetModified(true);
  ASSERT_TRUE(clip->Save());
  EXPECT_EQ(ReadBytes(source), kTwoJoints);
  EXPECT_EQ(log.Count(EngineCore::Log::Info, "Wave.gltf"), 1) << "the log says where the clip went";
  EXPECT_TRUE(ClipTestFiles::SavedAs(*clip, folder / "Wave.gltf"));
  // Later saves go into that glTF.
  AnimCurve* move = clip->GetChannelAt(0)->GetCurve(AnimTrack::Translation);
  move->Empty();
  ASSERT_TRUE(move->AddKey(0, Vector3(5, 5, 5)));
  ASSERT_TRUE(clip->Save());
  EXPECT_EQ(ReadBytes(source), kTwoJoints);
  EXPECT_TRUE(ReopensAs(*clip, folder / "Wave.gltf"));
}

TEST_F(MotionCapture, AnExistingGltfBesideACaptureIsReplacedOnlyWhenTheUserSaysSo) {
  const std::string source = Write("Wave.bvh", kTwoJoints);
  std::ofstream(folder.Path() / "Wave.gltf") << "the user's own file";
  ASSERT_OPENS(clip, source);
  std::vector<std::string> questions;
  Formats::ClipFileHost::SetAsker([&](const std::string& question) {
    questions.push_back(question);
    return false;
  });
  EXPECT_FALSE(clip->Save());
  EXPECT_EQ(ReadBytes(folder / "Wave.gltf"), "the user's own file");
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], "Wave.gltf exists beside Wave.bvh. Replace it with the clip Wave?");
  Formats::ClipFileHost::SetAsker([](const std::string&) { return true; });
  EXPECT_TRUE(clip->Save());
  EXPECT_TRUE(ClipTestFiles::PassesValidator(folder / "Wave.gltf"));
  EXPECT_EQ(ReadBytes(source), kTwoJoints);
}

TEST_F(MotionCapture, AProjectOfCapturesTakesItsSceneFromAClipsSkeletonAndAClipNameOpensItsGltfFirst) {
  fs::create_directories(folder.Path() / "AnimClips");
  std::ofstream(folder.Path() / "AnimClips/Wave.BVH") << kTwoJoints;
  std::string message;
  auto project = Formats::Project::Open(folder.Path().string(), message);
  ASSERT_TRUE(project) << message;
  EngineCore::Scene* scene = project->GetScene();
  ASSERT_NE(scene, nullptr);
  EXPECT_EQ(scene->GetObjectCount(), 3u) << "Root, Arm and the arm's end";
  EngineCore::SceneObject* arm = scene->FindObject("Arm");
  ASSERT_NE(arm, nullptr);
  EXPECT_EQ(arm->GetLocalTranslation(), Vector3(0, 2, 0));
  ASSERT_NE(arm->GetController(), nullptr) << "the arm plays the clip";
  EXPECT_EQ(project->FindClipFile("Wave"), (folder.Path() / "AnimClips/Wave.BVH").string());
  project.reset();

  fs::copy_file(Data("synthetic/whole_frames.gltf"), folder.Path() / "AnimClips/Wave.gltf");
  std::ofstream(folder.Path() / "AnimClips/notes.txt") << "not a clip";
  project = Formats::Project::Open(folder.Path().string(), message);
  ASSERT_TRUE(project) << message;
  EXPECT_EQ(project->FindClipFile("Wave"), (folder.Path() / "AnimClips/Wave.gltf").string());
  auto clips = EngineToolkit::FileSystem::GetInstance().GetFolder(EngineToolkit::FileSystem::AnimClipFolder);
  ASSERT_TRUE(clips);
  EXPECT_EQ(clips->GetFileCount(), 1u) << "one clip, Wave; notes.txt is not one";
}

TEST_F(MotionCapture, FbxAndColladaTakesKeepTheirNodesKeysAndSaveAsValidGltf) {
  for (const char* file : {"fbx/huesitos.fbx", "collada/box_nested_animation.dae"}) {
    SCOPED_TRACE(file);
    const std::string source = folder / fs::path(file).filename().string();
    fs::copy_file(Data(file), source);
    const std::string before = ReadBytes(source);
    ASSERT_OPENS(clip, source);

    // The file's own first animation, read by assimp directly.
    Assimp::Importer importer;
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
    const aiScene* scene = importer.ReadFile(source, 0);
    ASSERT_TRUE(scene && scene->mNumAnimations > 0);
    const aiAnimation& animation = *scene->mAnimations[0];
    const double ticks = animation.mTicksPerSecond > 0 ? animation.mTicksPerSecond : 25.0;
    ASSERT_EQ(clip->GetChannelCount(), animation.mNumChannels);
    int compared = 0;
    for (unsigned c = 0; c < animation.mNumChannels; ++c) {
      const aiNodeAnim& channel = *animation.mChannels[c];
      const AnimCurve* move = ClipTestFiles::Track(*clip, channel.mNodeName.C_Str(), AnimTrack::Translation);
      ASSERT_NE(move, nullptr) << channel.mNodeName.C_Str();
      for (unsigned k = 0; k < channel.mNumPositionKeys; ++k) {
        const double frame = channel.mPositionKeys[k].mTime / ticks * clip->GetFrameRate();
        if (std::abs(frame - std::round(frame)) > 0.001) continue;
        for (std::uint32_t i = 0; i < move->GetKeyCount(); ++i) {
          if (move->GetKeyFrame(i) != static_cast<std::uint32_t>(std::lround(frame))) continue;
          for (int a = 0; a < 3; ++a) EXPECT_NEAR(move->GetVector3Key(i)[a], channel.mPositionKeys[k].mValue[a], 1e-4f);
          ++compared;
        }
      }
    }
    EXPECT_GT(compared, 0);

    std::string message;
    const std::string copy = folder / "Copy.gltf";
    ASSERT_EQ(Formats::GltfClipFile::SaveAs(*clip, copy, message), Formats::ClipFileError::None) << message;
    EXPECT_TRUE(ClipTestFiles::SavedAs(*clip, copy));
    EXPECT_EQ(ReadBytes(source), before);
  }
}
