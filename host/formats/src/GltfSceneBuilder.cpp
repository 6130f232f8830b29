#include "GltfSceneBuilder.h"

#include <utility>
#include <vector>

namespace Formats {

namespace {

void ApplyTransform(const tinygltf::Node& node, EngineCore::SceneObject& object) {
  if (node.translation.size() == 3) {
    object.SetLocalTranslation({static_cast<float>(node.translation[0]), static_cast<float>(node.translation[1]),
                                static_cast<float>(node.translation[2])});
  }
  if (node.rotation.size() == 4) {
    object.SetLocalRotation({static_cast<float>(node.rotation[0]), static_cast<float>(node.rotation[1]),
                             static_cast<float>(node.rotation[2]), static_cast<float>(node.rotation[3])});
  }
  if (node.scale.size() == 3) {
    object.SetLocalScale(
        {static_cast<float>(node.scale[0]), static_cast<float>(node.scale[1]), static_cast<float>(node.scale[2])});
  }
  if (node.matrix.size() == 16) {
    // Column-major: the translation is the last column; rotation and scale of a matrix are
    // not taken apart here, a skeleton's joints carry them as separate properties.
    object.SetLocalTranslation({static_cast<float>(node.matrix[12]), static_cast<float>(node.matrix[13]),
                                static_cast<float>(node.matrix[14])});
  }
}

}  // namespace

std::unique_ptr<EngineCore::Scene> GltfSceneBuilder::Build(const tinygltf::Model& model) {
  auto scene = std::make_unique<EngineCore::Scene>();
  std::vector<bool> created(model.nodes.size(), false);
  std::vector<bool> joints(model.nodes.size(), false);
  for (const tinygltf::Skin& skin : model.skins) {
    for (const int joint : skin.joints) {
      if (joint >= 0 && static_cast<std::size_t>(joint) < joints.size()) joints[static_cast<std::size_t>(joint)] = true;
    }
  }
  std::vector<std::pair<int, EngineCore::SceneObject*>> pending;
  const int sceneIndex = model.defaultScene >= 0 ? model.defaultScene : 0;
  if (static_cast<std::size_t>(sceneIndex) < model.scenes.size()) {
    const std::vector<int>& roots = model.scenes[sceneIndex].nodes;
    for (auto root = roots.rbegin(); root != roots.rend(); ++root) pending.emplace_back(*root, nullptr);
  }
  while (!pending.empty()) {
    const auto [index, parent] = pending.back();
    pending.pop_back();
    if (index < 0 || static_cast<std::size_t>(index) >= model.nodes.size() || created[index]) continue;
    created[index] = true;
    const tinygltf::Node& node = model.nodes[index];
    // A node without a name is known as its clips' channels know it.
    const EngineCore::String name(node.name.empty() ? "node " + std::to_string(index) : node.name);
    EngineCore::SceneObject* object = scene->CreateObject(name, parent);
    ApplyTransform(node, *object);
    object->SetJoint(joints[static_cast<std::size_t>(index)]);
    if (node.extras.IsObject() && node.extras.Has("tag") && node.extras.Get("tag").IsString()) {
      scene->SetTag(object, EngineCore::String(node.extras.Get("tag").Get<std::string>()));
    }
    for (auto child = node.children.rbegin(); child != node.children.rend(); ++child)
      pending.emplace_back(*child, object);
  }
  return scene;
}

}  // namespace Formats
