#pragma once

#include <memory>
#include <string>

#include "EngineCore/AnimClip.h"
#include "EngineCore/Resource.h"
#include "EngineCore/Scene.h"
#include "Formats/ClipFileError.h"

namespace Formats {

// The file a clip was opened from, whatever its format, as the rest of the library sees it.
class ClipStorage : public EngineCore::ResourceStorage {
 public:
  // Writes the clip as a glTF document at `path`, as a copy: the clip goes on saving where
  // it saved before.
  [[nodiscard]] virtual ClipFileError WriteTo(const EngineCore::AnimClip& clip, const std::string& path,
                                              std::string& message) = 0;

  // The file's nodes as scene objects (names, parents, rest transforms), for a project
  // without a scene of its own; null when the file holds none.
  virtual std::unique_ptr<EngineCore::Scene> BuildScene() const = 0;
};

}  // namespace Formats
