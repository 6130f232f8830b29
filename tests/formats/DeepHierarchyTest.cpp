#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ChainClipFile.h"
#include "ClipTestFiles.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "EngineCore/ResourceFactory.h"
#include "EngineCore/Scene.h"
#include "Formats/GltfClipFile.h"
#include "Formats/GltfSceneFile.h"
#include "Formats/Project.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;
using EngineCore::Scene;
using EngineCore::SceneObject;
using Formats::ClipFileError;

constexpr int kNodes = 200'000;
const std::string kDeepest = "n" + std::to_string(kNodes - 1);

// The deepest node stands at x = N - 1, placed one object at a time and all at once.
void ExpectDeepestWhereItsParentsPutIt(const Scene& scene) {
  ASSERT_EQ(scene.GetObjectCount(), static_cast<std::uint32_t>(kNodes));
  const SceneObject* deepest = scene.FindObject(EngineCore::String(kDeepest));
  ASSERT_NE(deepest, nullptr);
  EXPECT_EQ(deepest->GetParent(), scene.FindObject(EngineCore::String("n" + std::to_string(kNodes - 2))));
  EXPECT_EQ(deepest->GetWorldPosition().x, static_cast<float>(kNodes - 1));
  std::vector<EngineCore::Vector3> positions;
  scene.ComputeWorldPositions(positions);
  EXPECT_EQ(positions[deepest->GetIndex()].x, static_cast<float>(kNodes - 1));
  EXPECT_EQ(positions[deepest->GetIndex()].y, 0.0f);
  EXPECT_EQ(positions[scene.FindObject(EngineCore::String("n1000"))->GetIndex()].x, 1000.0f);
}

class DeepHierarchy : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EngineCore::Log::SetEchoToStandardError(false); }

  // Writes a document of nodes with these children lists and scene roots.
  std::string WriteNodes(const std::string& name, const std::string& nodes, const std::string& roots = "[0]") {
    const std::string path = folder / (name + ".gltf");
    std::ofstream(path) << R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":)" << roots << R"(}],"nodes":)"
                        << nodes << "}";
    return path;
  }

  TestSupport::TempFolder folder;
};

TEST_F(DeepHierarchy, AChainOfTwoHundredThousandAnimatedNodesOpensAsAClipAndAsAScene) {
  TestSupport::WriteChainClip(folder.Path(), "Chain", kNodes);
  const Formats::ClipOpenResult result = Formats::GltfClipFile::Open(folder / "Chain.gltf");
  ASSERT_NE(result.clip, nullptr) << result.message;
  ClipTestFiles::ClipHolder clip(result.clip);
  EXPECT_EQ(clip->GetChannelCount(), static_cast<std::uint32_t>(kNodes));
  const EngineCore::AnimCurve* last = ClipTestFiles::Track(*clip, kDeepest.c_str(), EngineCore::AnimTrack::Translation);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->GetKeyCount(), 2u);
  EXPECT_EQ(clip->FindChannelIndex(clip->GetChannelKeyAt(kNodes - 1)), kNodes - 1);

  ClipFileError error = ClipFileError::None;
  std::string message;
  const auto scene = Formats::GltfSceneFile::Load(folder / "Chain.gltf", error, message);
  ASSERT_TRUE(scene) << message;
  ExpectDeepestWhereItsParentsPutIt(*scene);
}

TEST_F(DeepHierarchy, AProjectWhoseSceneOrWhoseOnlyClipIsAChainAnimatesItsDeepestObject) {
  for (const bool withScene : {true, false}) {
    SCOPED_TRACE(withScene ? "the scene is the chain" : "the clip's skeleton is the scene");
    TestSupport::TempFolder project;
    fs::create_directories(project.Path() / "AnimClips");
    TestSupport::WriteChainClip(project.Path() / "AnimClips", "Chain", kNodes);
    if (withScene) {
      fs::create_directories(project.Path() / "Scenes");
      TestSupport::WriteChainClip(project.Path() / "Scenes", "Chain", kNodes);
    }
    std::string message;
    const std::unique_ptr<Formats::Project> opened = Formats::Project::Open(project.Path().string(), message);
    ASSERT_TRUE(opened) << message;
    ASSERT_NE(opened->GetScene(), nullptr);
    ExpectDeepestWhereItsParentsPutIt(*opened->GetScene());
    const SceneObject* deepest = opened->GetScene()->FindObject(EngineCore::String(kDeepest));
    // The clip is read when first asked for, and its objects take it then.
    EngineCore::AnimClip* chain = EngineCore::ResourceFactory::GetInstance().GetAnimClip("Chain");
    ASSERT_NE(chain, nullptr);
    chain->Release();
    ASSERT_NE(deepest->GetController(), nullptr) << "the clip's channel of that name animates it";
    EXPECT_EQ(deepest->GetController()->GetChannelName().str(), kDeepest);
  }
}

TEST_F(DeepHierarchy, ACycleOfParentsOrANodeWithTwoParentsIsRefusedNamingTheNode) {
  // Each document, and what its refusal says.
  const std::pair<std::string, std::string> broken[] = {
      {WriteNodes("Cycle", R"([{"children":[1]},{"children":[2]},{"children":[0]}])"), "is its own ancestor"},
      {WriteNodes("Self", R"([{},{"children":[1]}])"), "node 1 is its own ancestor"},
      // Out of reach of the scene's roots, a cycle is still one.
      {WriteNodes("Apart", R"([{},{"children":[2]},{"children":[1]}])"), "is its own ancestor"},
      {WriteNodes("TwoParents", R"([{"children":[1,2]},{"children":[2]},{}])"),
       "node 2 is a child of node 0 and again of node 1"},
      {WriteNodes("Twice", R"([{"children":[1,1]},{}])"), "node 1 is a child of node 0 and again of node 0"},
      {WriteNodes("Missing", R"([{"children":[7]}])"), "node 0 lists a child 7 that is no node"},
  };
  for (const auto& [path, reason] : broken) {
    SCOPED_TRACE(path);
    const Formats::ClipOpenResult result = Formats::GltfClipFile::Open(path);
    EXPECT_EQ(result.clip, nullptr);
    if (result.clip) result.clip->Release();
    EXPECT_EQ(result.error, ClipFileError::NotGltf);
    EXPECT_NE(result.message.find(reason), std::string::npos) << result.message;
    ClipFileError error = ClipFileError::None;
    std::string message;
    EXPECT_FALSE(Formats::GltfSceneFile::Load(path, error, message));
    EXPECT_NE(message.find(reason), std::string::npos) << message;
  }
  // A proper tree of the same nodes opens.
  const Formats::ClipOpenResult tree = Formats::GltfClipFile::Open(WriteNodes("Tree", R"([{"children":[1,2]},{},{}])"));
  EXPECT_NE(tree.clip, nullptr) << tree.message;
  if (tree.clip) tree.clip->Release();
}

}  // namespace
