#pragma once

#include <string>
#include <vector>

#include "EngineCore/String.h"
#include "Formats/GltfClipFile.h"

namespace Formats {

// Clips read through assimp from the other formats that carry node animation: FBX,
// Collada and the rest of Extensions().
//
// 1. The clip is the file's first animation. Each animated node is a channel, named as in
//    the file; the helper nodes an importer may make for FBX pivots are folded into their
//    nodes instead of shown. Position, rotation and scaling keys make the translation,
//    rotation and scale tracks, in the file's units.
// 2. Key times are ticks / ticks per second (25 when the file gives none), moved so that a
//    take starting before zero starts at zero; keys that repeat a time are dropped. Keys are
//    then brought onto whole frames at 60 frames per second as glTF keys are.
// 3. The node hierarchy with its rest transforms is kept as the clip's skeleton, as for BVH.
class AssimpClipFile {
 public:
  [[nodiscard]] static ClipOpenResult Open(const std::string& path, const EngineCore::String& name = {});

  // Lower-case extensions, with their dot, of the formats read this way.
  static std::vector<std::string> Extensions();
};

}  // namespace Formats
