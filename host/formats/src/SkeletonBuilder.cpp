#include "SkeletonBuilder.h"

namespace Formats {

SkeletonBuilder::SkeletonBuilder() {
  model_.asset.version = "2.0";
  model_.asset.generator = "Tarvel";
  tinygltf::Scene scene;
  scene.name = "Scene";
  model_.scenes.push_back(std::move(scene));
  model_.defaultScene = 0;
}

int SkeletonBuilder::AddNode(const std::string& name, int parent, const std::array<double, 3>& translation,
                             const std::array<double, 4>& rotation, const std::array<double, 3>& scale) {
  tinygltf::Node node;
  node.name = name;
  if (translation != std::array<double, 3>{0, 0, 0}) node.translation.assign(translation.begin(), translation.end());
  if (rotation != std::array<double, 4>{0, 0, 0, 1}) node.rotation.assign(rotation.begin(), rotation.end());
  if (scale != std::array<double, 3>{1, 1, 1}) node.scale.assign(scale.begin(), scale.end());
  model_.nodes.push_back(std::move(node));
  const int index = static_cast<int>(model_.nodes.size()) - 1;
  if (parent < 0) {
    model_.scenes[0].nodes.push_back(index);
  } else {
    model_.nodes[parent].children.push_back(index);
  }
  return index;
}

}  // namespace Formats
