#pragma once

#include <string>

#include <tiny_gltf.h>

#include "Formats/ClipFileError.h"

namespace Formats {

// Writes a model as a .gltf or .glb document with its buffer files, through a
// ClipFileTransaction so that the document on disk is replaced whole or not at all.
//
// 1. Buffers embedded as data URIs stay embedded. In a .glb, buffer 0 goes into the binary
//    chunk. Every other buffer is stored in a file beside the document, named by the
//    transaction.
// 2. Buffers that hold no byte and that no view uses are dropped: glTF has no empty buffer.
//    One that views of no bytes still use keeps four zero bytes.
// 3. Objects that come out empty are written as {}, never as null.
// 4. Bytes of names that are not UTF-8 (a name taken from a file name) are replaced.
// On success the model's buffer URIs name the files written, ready for the next save.
class GltfDocumentWriter {
 public:
  [[nodiscard]] static ClipFileError Write(tinygltf::Model& model, const std::string& path, std::string& message);
};

}  // namespace Formats
