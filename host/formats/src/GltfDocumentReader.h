#pragma once

#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "Formats/ClipFileError.h"

namespace Formats {

// Reads a .gltf or .glb document into a tinygltf model within the bounds of ClipFileLimits
// and the file rules of ClipFolder.
//
// 1. The document is a regular file of at most kMaxDocumentBytes whose JSON nests at most
//    kMaxJsonDepth deep; a binary document is recognised by its header, not its name.
// 2. External buffers are read here, not by tinygltf, so that only the files ClipFolder
//    allows are ever opened, and all of them together hold at most kMaxBufferBytes.
//    tinygltf sees them through file-system callbacks that know no other file: a buffer
//    missing beside the document is never looked for elsewhere, and external images are
//    not read at all (they keep their URI).
// 3. Images embedded as data URIs keep that URI in the model, so that a save writes them
//    back as they were.
class GltfDocumentReader {
 public:
  [[nodiscard]] static ClipFileError Read(const std::string& path, tinygltf::Model& model, std::string& message);

  // The URIs of the external buffers a document on disk names (data URIs left out). False
  // when the document cannot be read or parsed; the list is then empty.
  static bool ListBufferUris(const std::string& path, std::vector<std::string>& uris);
};

}  // namespace Formats
