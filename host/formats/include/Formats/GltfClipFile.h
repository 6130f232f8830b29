#pragma once

#include <string>

#include "EngineCore/AnimClip.h"
#include "EngineCore/String.h"
#include "Formats/ClipFileError.h"

namespace Formats {

struct ClipOpenResult {
  // Holds one reference, the caller's; null on failure.
  EngineCore::AnimClip* clip = nullptr;
  ClipFileError error = ClipFileError::None;
  std::string message;
};

// Clips stored as glTF 2.0 files (.gltf with its buffers, or .glb).
//
// Contract:
//   1. A clip is the file's first animation. A channel is every animation channel that
//      targets one node, named after the node; translation, rotation and scale become tracks
//      1, 2 and 3. Morph-weight channels, and channels of nameless nodes or of a second node
//      with an already used name, are not shown and are kept in the file as they are.
//   2. A LINEAR track whose keys lie on distinct whole frames keeps exactly its keys; any
//      other track is sampled at every whole frame (see TrackSampler), and the log says so
//      once per clip.
//   3. Saving writes every track as a LINEAR sampler with times frame / 60 and leaves every
//      other part of the file as it was. A channel whose name matches no node gets a new
//      node of that name under the scene root.
//   4. Saving is atomic per file: everything is written into a temporary folder beside the
//      target, flushed, then renamed over the originals (buffers first). A failed save
//      leaves the originals untouched.
//   5. Malformed input is refused with a logged message; nothing is read out of bounds.
class GltfClipFile {
 public:
  // Opens a clip named `name` (the file name without extension when empty). The clip
  // saves itself back to this file through its storage.
  [[nodiscard]] static ClipOpenResult Open(const std::string& path, const EngineCore::String& name = {});

  // Writes a clip opened from a glTF file to another path, keeping the rest of its file.
  [[nodiscard]] static ClipFileError SaveAs(const EngineCore::AnimClip& clip, const std::string& path,
                                            std::string& message);

  // Writes a new file holding one empty clip (a scene without animation).
  [[nodiscard]] static ClipFileError CreateEmpty(const std::string& path, std::string& message);
};

}  // namespace Formats
