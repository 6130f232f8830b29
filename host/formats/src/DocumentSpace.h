#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include <tiny_gltf.h>

namespace Formats {

// The room a glTF document has for a clip's keys, so that writing them never moves what
// anything else uses:
//
// 1. An accessor, buffer view or byte range is used when a property of the document names it
//    (meshes, skins, images, animation samplers, views of used accessors) or when an index
//    inside any `extensions` object could name it: every integer there counts as an index of
//    each kind, and every object there with `buffer` and `byteLength` as a byte range, whether
//    the extension is known or not. Used things keep their index and their bytes.
// 2. Everything else is free: accessors and views in unused slots, bytes of buffers that no
//    used view or extension covers. New data goes into the lowest free slots and the first
//    free bytes that fit, then after the end.
// 3. Finish drops free slots after the last used one, turns the others into placeholders (an
//    accessor of one zero, a view of one byte) and cuts each buffer after its last used
//    byte. Buffers themselves are never dropped or renumbered.
class DocumentSpace {
 public:
  explicit DocumentSpace(tinygltf::Model& model);

  // The buffer whose freed views held the most bytes (where the keys of a clip whose
  // samplers were just taken out lived), or -1.
  int BusiestFreedBuffer() const { return busiestFreed_; }

  // Slots that hold what the document already used: they keep their index and contents.
  const std::vector<bool>& KeptAccessors() const { return accessorKept_; }
  const std::vector<bool>& KeptViews() const { return viewKept_; }

  // Stores floats in buffer `buffer` under a new accessor of that type; its index.
  int AddFloatAccessor(int buffer, const std::vector<float>& values, int type, bool withBounds);

  // Closes the document (rule 3); whether each buffer's bytes changed.
  std::vector<bool> Finish();

 private:
  using Range = std::pair<std::size_t, std::size_t>;  // [begin, end)

  void FollowBuffers();
  std::size_t PlaceBytes(int buffer, std::size_t size);

  tinygltf::Model& model_;
  std::vector<bool> accessorKept_;
  std::vector<bool> viewKept_;
  std::vector<bool> accessorFree_;
  std::vector<bool> viewFree_;
  std::vector<std::vector<Range>> freeBytes_;  // per buffer, in order
  std::vector<std::size_t> usedEnd_;           // per buffer: the end of its last used byte
  std::vector<bool> changed_;
  int busiestFreed_ = -1;
};

}  // namespace Formats
