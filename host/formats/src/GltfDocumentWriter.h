#pragma once

#include <string>
#include <vector>

#include <tiny_gltf.h>
#include <nlohmann/json.hpp>

#include "ClipFileIdentity.h"
#include "Formats/ClipFileError.h"

namespace Formats {

// Writes a model as a .gltf or .glb document with its buffer files, through a
// ClipFileTransaction so that the document on disk is replaced whole or not at all and its
// files keep their names.
//
// 1. Buffers embedded as data URIs stay embedded. In a .glb, buffer 0 goes into the binary
//    chunk. A buffer that no file holds (GltfDocumentReader's absent buffers) is written as
//    it was read: its byteLength, no URI. Every other buffer is stored in a file beside the
//    document, under the name the transaction gives it.
// 2. Buffers are never dropped, so that every index stays: a buffer left without bytes keeps
//    four zero bytes, since glTF has no empty buffer. Only a buffer added for this save that
//    ends up empty and unused is left out.
// 3. Objects that come out empty are written as {}, never as null.
// 4. Bytes of names that are not UTF-8 (a name taken from a file name) are replaced.
// On success the model's buffer URIs name the files written, ready for the next save.
// 5. Given the document as its file holds it, everything the save did not rewrite is written
//    back as the file has it, to its JSON: the kept accessors and views, existing nodes,
//    animations other than the clip's, buffers but for their URI and length, and every other
//    property. (tinygltf drops the extensions of some objects and adds properties of its own.)
struct DocumentOrigin {
  nlohmann::json document;
  std::vector<bool> keptAccessors;  // slots that hold the file's own accessor
  std::vector<bool> keptViews;
  std::vector<int> animationOrigin;  // per animation of the model: its index in the file, or -1
  std::size_t nodeCount = 0;         // nodes of the file; later ones are new
};

// What a save asks of the writer beyond the model, and what it learns back.
struct DocumentWrite {
  // changed[b] false says buffer b holds the bytes its file has on disk (a shorter list: the
  // rest changed).
  std::vector<bool> changed;
  const DocumentOrigin* origin = nullptr;
  // When given, the files must still be these once the clip's lock is held, or nothing is
  // written (ChangedOnDisk).
  const ClipFileIdentity* expected = nullptr;
  // Out: the document's JSON text as written, and its files as they are after the save.
  std::string writtenJson;
  ClipFileIdentity identity;
};

class GltfDocumentWriter {
 public:
  [[nodiscard]] static ClipFileError Write(tinygltf::Model& model, const std::string& path, DocumentWrite& write,
                                           std::string& message);
};

}  // namespace Formats
