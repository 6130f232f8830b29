#pragma once

#include <memory>
#include <string>

#include "EngineCore/Scene.h"
#include "Formats/ClipFileError.h"
#include "Formats/FormatsApi.h"

namespace Formats {

// A scene stored as a glTF file: each node of the default scene (or of the first scene)
// becomes a scene object with its name, its local transform and its parent; a node's
// `extras.tag` string becomes the object's tag; a node that a skin lists among its joints is
// a joint. Parents are created before children.
class FORMATS_API GltfSceneFile {
 public:
  [[nodiscard]] static std::unique_ptr<EngineCore::Scene> Load(const std::string& path, ClipFileError& error,
                                                               std::string& message);
};

}  // namespace Formats
