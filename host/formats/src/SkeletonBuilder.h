#pragma once

#include <array>
#include <string>

#include <tiny_gltf.h>

namespace Formats {

// Builds a glTF model holding nothing but a skeleton: the nodes of a source file that is not
// glTF, with their names, hierarchy and rest transforms. A converted clip saves its keys
// into it, and a project without a scene makes its scene of it.
class SkeletonBuilder {
 public:
  SkeletonBuilder();

  // Adds a node under `parent` (-1: a root of the scene) and returns its index. Parents
  // come before their children. Identity rotations and unit scales are left out.
  int AddNode(const std::string& name, int parent, const std::array<double, 3>& translation,
              const std::array<double, 4>& rotation = {0, 0, 0, 1}, const std::array<double, 3>& scale = {1, 1, 1});

  tinygltf::Model Take() { return std::move(model_); }

 private:
  tinygltf::Model model_;
};

}  // namespace Formats
