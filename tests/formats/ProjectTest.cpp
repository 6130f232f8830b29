#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "ClipTestFiles.h"
#include "EngineCore/ResourceFactory.h"
#include "EngineToolkit/FileSystem.h"
#include "Formats/GltfSceneFile.h"
#include "Formats/Project.h"
#include "TempFolder.h"

namespace fs = std::filesystem;
using EngineCore::AnimClip;
using EngineCore::ResourceFactory;

namespace {

// A project whose scene is the skeleton of the synthetic clip and whose clip folder holds it.
class ProjectFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder.Path() / "AnimClips");
    fs::create_directories(folder.Path() / "Scenes");
    fs::copy_file(ClipTestFiles::Data("synthetic/whole_frames.gltf"), folder.Path() / "AnimClips/Wave.gltf");
    fs::copy_file(ClipTestFiles::Data("synthetic/step.gltf"), folder.Path() / "AnimClips/Slide.gltf");
    fs::copy_file(ClipTestFiles::Data("synthetic/with_mesh.gltf"), folder.Path() / "Scenes/b.gltf");
    fs::copy_file(ClipTestFiles::Data("synthetic/whole_frames.gltf"), folder.Path() / "Scenes/a.gltf");
    std::string message;
    project = Formats::Project::Open(folder.Path().string(), message);
    ASSERT_TRUE(project) << message;
  }

  TestSupport::TempFolder folder;
  std::unique_ptr<Formats::Project> project;
};

}  // namespace

TEST_F(ProjectFolder, ClipFolderListsNamesInNameOrderAndTheFactoryGivesOneClipPerName) {
  auto clips = EngineToolkit::FileSystem::GetInstance().GetFolder(EngineToolkit::FileSystem::AnimClipFolder);
  ASSERT_TRUE(clips);
  ASSERT_EQ(clips->GetFileCount(), 2u);
  EngineCore::String name;
  ASSERT_TRUE(clips->GetFileName(0, name));
  EXPECT_EQ(name, "Slide");
  ASSERT_TRUE(clips->GetFileName(1, name));
  EXPECT_EQ(name, "Wave");
  EXPECT_FALSE(clips->GetFileName(2, name));
  // The factory gives the same clip for the same name.
  AnimClip* first = ResourceFactory::GetInstance().GetAnimClip("Wave");
  AnimClip* second = ResourceFactory::GetInstance().GetAnimClip("Wave");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->GetChannelCount(), 2u);
  first->Release();
  second->Release();
  EXPECT_EQ(ResourceFactory::GetInstance().GetAnimClip("Nothing"), nullptr);
}

TEST_F(ProjectFolder, LoadsTheFirstSceneWhoseAnimatedObjectsPlayTheirClipsOnceTheyAreRead) {
  EngineCore::Scene* scene = project->GetScene();
  ASSERT_NE(scene, nullptr);
  ASSERT_EQ(scene->GetObjectCount(), 2u) << "a.gltf comes before b.gltf";
  EngineCore::SceneObject* arm = scene->FindObject("Arm");
  ASSERT_NE(arm, nullptr);
  EXPECT_FALSE(ResourceFactory::GetInstance().IsLoaded(EngineCore::Resource::KindAnimClip, "Wave"))
      << "start-up reads no clip";
  EXPECT_EQ(arm->GetController(), nullptr);
  for (const char* name : {"Wave", "Slide"}) ResourceFactory::GetInstance().GetAnimClip(name)->Release();
  EXPECT_EQ(arm->GetParent(), scene->FindObject("Root"));
  EXPECT_FLOAT_EQ(arm->GetLocalTranslation().y, 1.0f);
  ASSERT_TRUE(arm->GetTypeFlags() & EngineCore::SceneObject::TypeAnimated);
  EngineCore::AnimController* controller = arm->GetController();
  EXPECT_EQ(controller->GetChannelKey(), AnimClip::ComputeChannelKey("Arm"));
  ASSERT_EQ(controller->GetClipCount(), 1u) << "only Wave animates Arm";
  EXPECT_EQ(controller->GetClipAt(0)->GetName(), "Wave");
  // Playing the clip poses the objects.
  EngineCore::SceneObject* root = scene->FindObject("Root");
  controller = root->GetController();
  ASSERT_NE(controller, nullptr);
  controller->ChangeClip(0, controller->GetClipKeyAt(0));
  controller->SetPlaybackFrame(0, 0.0f);
  controller->ChangePlaybackSpeed(0, 60.0f);
  controller->RunOneFrame(5.0f / 60.0f);
  EXPECT_FLOAT_EQ(root->GetLocalTranslation().x, 1.0f);
}

TEST_F(ProjectFolder, LetsGoOfClipsNothingUsesAndReadsThemAgainWhenAskedFor) {
  ResourceFactory& factory = ResourceFactory::GetInstance();
  constexpr auto kClip = EngineCore::Resource::KindAnimClip;
  const EngineCore::Scene& scene = *project->GetScene();
  const auto controllersHolding = [&scene](const char* name) {
    int holding = 0;
    for (std::uint32_t i = 0; i < scene.GetObjectCount(); ++i) {
      const EngineCore::AnimController* controller = scene.GetObjectAt(i)->GetController();
      for (std::uint32_t c = 0; controller && c < controller->GetClipCount(); ++c) {
        holding += controller->GetClipAt(c)->GetName() == name;
      }
    }
    return holding;
  };
  AnimClip* wave = factory.GetAnimClip("Wave");
  AnimClip* slide = factory.GetAnimClip("Slide");
  ASSERT_TRUE(wave && slide);
  EXPECT_EQ(controllersHolding("Wave"), 2);
  EngineCore::AnimController* controller = scene.FindObject("Root")->GetController();
  std::uint32_t waveKey = 0;
  ASSERT_TRUE(controller->FindClip(wave, waveKey));
  controller->ChangeClip(0, waveKey);
  ASSERT_EQ(controller->GetPlayedClip(), wave);

  EXPECT_EQ(project->ReleaseUnusedClips(), 0) << "both are still held by the test, as by an open page";
  slide->SetModified(true);
  wave->Release();
  slide->Release();
  EXPECT_EQ(project->ReleaseUnusedClips(), 1) << "unsaved edits keep Slide";
  EXPECT_FALSE(factory.IsLoaded(kClip, "Wave"));
  EXPECT_TRUE(factory.IsLoaded(kClip, "Slide"));
  EXPECT_EQ(controllersHolding("Wave"), 0);
  EXPECT_EQ(controller->GetPlayedClip(), nullptr) << "Root keeps its pose, not the clip";

  // Asked for again, Wave is read and bound as before.
  wave = factory.GetAnimClip("Wave");
  ASSERT_NE(wave, nullptr);
  EXPECT_EQ(wave->GetChannelCount(), 2u);
  EXPECT_EQ(controllersHolding("Wave"), 2);
  wave->Release();
}

TEST(SceneFile, ReadsTagsFromNodeExtrasAndJointsFromSkins) {
  Formats::ClipFileError error;
  std::string message;
  auto scene = Formats::GltfSceneFile::Load(ClipTestFiles::Data("synthetic/with_mesh.gltf"), error, message);
  ASSERT_TRUE(scene);
  EngineCore::String tag;
  ASSERT_TRUE(scene->FindTag(scene->FindObject("Hips"), tag));
  EXPECT_EQ(tag, "Player");
  EXPECT_FALSE(scene->FindTag(scene->FindObject("Mesh"), tag));
  EXPECT_TRUE(scene->FindObject("Hips")->IsJoint());
  EXPECT_FALSE(scene->FindObject("Mesh")->IsJoint());
}

TEST_F(ProjectFolder, AClipFileOpensAloneWithItsFolderAsClipFolderAndItsOwnNodesAsScene) {
  project.reset();
  std::string message;
  const fs::path file = folder.Path() / "AnimClips/Slide.gltf";
  project = Formats::Project::Open(file.string(), message);
  ASSERT_TRUE(project) << message;
  EXPECT_EQ(project->GetClipFile(), file.string());
  EXPECT_EQ(project->GetClipFolder(), (folder.Path() / "AnimClips").string());
  auto clips = EngineToolkit::FileSystem::GetInstance().GetFolder(EngineToolkit::FileSystem::AnimClipFolder);
  ASSERT_TRUE(clips);
  EXPECT_EQ(clips->GetFileCount(), 2u) << "the file's folder lists its neighbours too";
  // Not the project's Scenes/: the skeleton of Slide's own file.
  ASSERT_NE(project->GetScene(), nullptr);
  Formats::ClipFileError error = Formats::ClipFileError::None;
  const std::unique_ptr<EngineCore::Scene> own =
      Formats::GltfSceneFile::Load(ClipTestFiles::Data("synthetic/step.gltf"), error, message);
  ASSERT_NE(own, nullptr) << message;
  EXPECT_EQ(project->GetScene()->GetObjectCount(), own->GetObjectCount());
  for (std::uint32_t i = 0; i < own->GetObjectCount(); ++i) {
    EXPECT_NE(project->GetScene()->FindObject(own->GetObjectAt(i)->GetName()), nullptr);
  }
  const fs::path text = folder.Path() / "notes.txt";
  std::ofstream(text) << "notes\n";
  project.reset();
  EXPECT_EQ(Formats::Project::Open(text.string(), message), nullptr);
  EXPECT_EQ(message, text.string() + " is not a clip file");
}
