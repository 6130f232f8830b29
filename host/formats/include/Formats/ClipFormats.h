#pragma once

#include <string>
#include <vector>

#include "EngineCore/String.h"
#include "Formats/FormatsApi.h"
#include "Formats/GltfClipFile.h"

namespace Formats {

// One kind of clip file: its extension, how it is read, and whether a clip read from it is
// saved back into it.
struct ClipFormat {
  std::string extension;  // lower case, with its dot: ".gltf"
  bool writable = false;  // false: a save writes a glTF file of the same name beside it
  ClipOpenResult (*open)(const std::string& path, const EngineCore::String& name) = nullptr;
};

// Every format clips are read from, in the order a clip's name is looked up: a folder that
// holds walk.gltf and walk.bvh opens walk.gltf as the clip "walk" (the glTF a save of the BVH
// clip wrote). glTF (.gltf, .glb) comes first and is the only writable format; BVH (.bvh) is
// read by a reader of our own; FBX, Collada and the other formats of AssimpClipFile through
// assimp. Extensions match in any case (WALK.DAE is a Collada file).
class FORMATS_API ClipFormats {
 public:
  static const std::vector<ClipFormat>& All();
  // The format of a file by its extension; null for a file that is not a clip.
  static const ClipFormat* Find(const std::string& path);
  static std::vector<std::string> Extensions();
  // The format new clips are written in.
  static const ClipFormat& Default() { return All().front(); }

  // The names of the clips a file holds: one per animation of a glTF file of several
  // (GltfClipFile), else the file's name without extension.
  static std::vector<std::string> ListClips(const std::string& path);

  // Opens a clip file of any format; an unknown extension is refused with NotReadable.
  [[nodiscard]] static ClipOpenResult Open(const std::string& path, const EngineCore::String& name = {});
};

}  // namespace Formats
