#pragma once

#include <string>

#include <tiny_gltf.h>

#include "Formats/ClipFileError.h"

namespace Formats {

// Writes a glTF document so that a failure leaves the files it would replace untouched:
// the document and its buffers are written into a temporary folder beside the target,
// flushed to disk, then renamed over the targets, buffers first and the document last.
// A .glb target is written as one binary file.
class AtomicGltfWriter {
 public:
  [[nodiscard]] static ClipFileError Write(const tinygltf::Model& model, const std::string& path, std::string& message);
};

}  // namespace Formats
