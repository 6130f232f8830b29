#include "NodeHierarchy.h"

#include <cstddef>
#include <vector>

namespace Formats {

bool NodeHierarchy::Check(const tinygltf::Model& model, std::string& message) {
  const std::size_t count = model.nodes.size();
  std::vector<int> parents(count, -1);
  for (std::size_t n = 0; n < count; ++n) {
    for (const int child : model.nodes[n].children) {
      if (child < 0 || static_cast<std::size_t>(child) >= count) {
        message = "node " + std::to_string(n) + " lists a child " + std::to_string(child) + " that is no node";
        return false;
      }
      if (parents[child] >= 0) {
        message = "node " + std::to_string(child) + " is a child of node " + std::to_string(parents[child]) +
                  " and again of node " + std::to_string(n) + "; a node has one parent at most";
        return false;
      }
      parents[child] = static_cast<int>(n);
    }
  }
  // Each node has one parent at most, so the links from a node upwards form one path; a
  // path that comes back to a node of its own walk is a cycle. A node whose walk ended
  // before is not walked again, so every node is visited once.
  std::vector<std::size_t> walkOf(count, 0);
  for (std::size_t start = 0; start < count; ++start) {
    const std::size_t walk = start + 1;
    int node = static_cast<int>(start);
    while (node >= 0 && walkOf[node] == 0) {
      walkOf[node] = walk;
      node = parents[node];
    }
    if (node >= 0 && walkOf[node] == walk) {
      message = "node " + std::to_string(node) + " is its own ancestor: the node hierarchy has a cycle";
      return false;
    }
  }
  return true;
}

}  // namespace Formats
