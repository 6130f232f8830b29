#pragma once

#include <optional>
#include <string>
#include <vector>

#include <tiny_gltf.h>

namespace Formats {

// The clips of a glTF file, one per animation, and their resource names.
//
// 1. A file with at most one animation is one clip, named after the file (its stem).
// 2. A file with several is one clip per animation, named FILE:ANIMATION; an animation
//    without a name is FILE:INDEX (its index in the file, from 0), and a name that two
//    animations share gets the index too: FILE:ANIMATION:INDEX.
class GltfClipNames {
 public:
  using AnimationNames = std::vector<std::optional<std::string>>;

  static AnimationNames Of(const tinygltf::Model& model);
  static std::vector<std::string> ClipNames(const std::string& stem, const AnimationNames& animations);
  // The animation a clip of that name stands for: 0 for a file with at most one, and for an
  // empty name; -1 when a file of several has no clip of that name.
  static int AnimationOf(const std::string& stem, const AnimationNames& animations, const std::string& clipName);
};

}  // namespace Formats
