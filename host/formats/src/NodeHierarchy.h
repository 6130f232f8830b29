#pragma once

#include <string>

#include <tiny_gltf.h>

namespace Formats {

// The node hierarchy of a glTF document, checked once when it is read, so that whatever
// walks it later (a scene's objects, a skeleton) meets strict trees. Contract:
// 1. Check refuses, with a message naming the node, a child index that names no node, a
//    node that is listed as a child more than once (twice by one parent, or by two parents)
//    and a node that is its own ancestor (a cycle of parent links).
// 2. Check costs time linear in the nodes and their children, whatever the depth, and uses
//    no recursion.
class NodeHierarchy {
 public:
  [[nodiscard]] static bool Check(const tinygltf::Model& model, std::string& message);
};

}  // namespace Formats
