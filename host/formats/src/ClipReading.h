#pragma once

#include <functional>
#include <memory>
#include <string>

#include "EngineCore/AnimClip.h"
#include "EngineCore/Resource.h"
#include "Formats/GltfClipFile.h"

namespace Formats {

// What every clip reader does around its own format: a failure is logged and returned, no
// exception gets out, and a clip read whole gets its key-frame range, its storage and, when
// keys were sampled, a warning in the log and the same note on the clip, for its tab.
class ClipReading {
 public:
  static ClipOpenResult Fail(const std::string& path, ClipFileError error, const std::string& message);

  // Runs `open`; an exception becomes a failure with `error` (TooLarge when memory ran out).
  static ClipOpenResult Guarded(const std::string& path, ClipFileError error,
                                const std::function<ClipOpenResult()>& open);

  static ClipOpenResult Finish(EngineCore::AnimClip* clip, const std::string& samplingNote, const std::string& path,
                               std::shared_ptr<EngineCore::ResourceStorage> storage);
};

}  // namespace Formats
