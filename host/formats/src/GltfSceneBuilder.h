#pragma once

#include <memory>

#include <tiny_gltf.h>

#include "EngineCore/Scene.h"

namespace Formats {

// Makes scene objects of the nodes of a glTF model's default scene (or its first): each
// with its name, local transform and parent, and its `extras.tag` string as its tag.
// Parents are made before their children; a hierarchy as deep as the file likes is walked
// without recursion, and a node reached twice is made once.
class GltfSceneBuilder {
 public:
  static std::unique_ptr<EngineCore::Scene> Build(const tinygltf::Model& model);
};

}  // namespace Formats
