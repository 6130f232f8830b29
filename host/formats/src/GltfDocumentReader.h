#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
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
// 4. A buffer without a URI (other than buffer 0 of a .glb with a binary chunk) has no bytes
//    in any file: the
//    fallback buffer of EXT_meshopt_compression, whose bytes a decoder would make. It is read
//    as an absent buffer, without bytes, that remembers its byteLength for the writer.
// 5. The node hierarchy is a set of strict trees (NodeHierarchy): a document whose children
//    lists name a node twice, a missing node or a cycle is refused as not glTF.
class GltfDocumentReader {
 public:
  // `documentText`, when given, receives the document's JSON text as its file holds it.
  [[nodiscard]] static ClipFileError Read(const std::string& path, tinygltf::Model& model, std::string& message,
                                          std::string* documentText = nullptr);

  // Whether a buffer of a model read here is an absent one (rule 4), and its byteLength.
  static bool IsAbsentBuffer(const tinygltf::Buffer& buffer);
  static std::uint64_t AbsentBufferLength(const tinygltf::Buffer& buffer);

  // The URIs of the external buffers a document on disk names, with each buffer's index
  // (data URIs left out). False when the document cannot be read or parsed; the list is then
  // empty.
  static bool ListBufferUris(const std::string& path, std::vector<std::pair<std::size_t, std::string>>& uris);
  // The names of a document's animations in file order (none for one without a name); false
  // when the document cannot be read or parsed.
  static bool ListAnimationNames(const std::string& path, std::vector<std::optional<std::string>>& names);
};

}  // namespace Formats
