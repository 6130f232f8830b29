#include "GltfClipNames.h"

#include <algorithm>
#include <map>

namespace Formats {

GltfClipNames::AnimationNames GltfClipNames::Of(const tinygltf::Model& model) {
  AnimationNames names;
  for (const tinygltf::Animation& animation : model.animations) {
    names.push_back(animation.name.empty() ? std::nullopt : std::optional<std::string>(animation.name));
  }
  return names;
}

std::vector<std::string> GltfClipNames::ClipNames(const std::string& stem, const AnimationNames& animations) {
  if (animations.size() <= 1) return {stem};
  std::map<std::string, int> uses;
  for (const auto& name : animations) {
    if (name) ++uses[*name];
  }
  std::vector<std::string> names;
  for (std::size_t a = 0; a < animations.size(); ++a) {
    const std::string index = std::to_string(a);
    const std::optional<std::string>& name = animations[a];
    names.push_back(stem + ":" + (!name ? index : uses[*name] > 1 ? *name + ":" + index : *name));
  }
  return names;
}

int GltfClipNames::AnimationOf(const std::string& stem, const AnimationNames& animations, const std::string& clipName) {
  if (animations.size() <= 1 || clipName.empty()) return 0;
  const std::vector<std::string> names = ClipNames(stem, animations);
  const auto found = std::find(names.begin(), names.end(), clipName);
  return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

}  // namespace Formats
