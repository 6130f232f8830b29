#pragma once

#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "Formats/ClipFileError.h"

namespace Formats {

// Reads the float data of an accessor after checking every index, size and range against
// the model, so that malformed files are refused instead of read out of bounds.
class AccessorReader {
 public:
  explicit AccessorReader(const tinygltf::Model& model) : model_(model) {}

  // Reads `components` floats per element (normalised integers are turned into floats).
  // The accessor must have exactly that many components. On failure `message` says why.
  ClipFileError Read(int accessorIndex, int components, std::vector<float>& values, std::string& message) const;

 private:
  const tinygltf::Model& model_;
};

}  // namespace Formats
