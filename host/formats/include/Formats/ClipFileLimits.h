#pragma once

#include <cstddef>
#include <cstdint>

#include "EngineCore/AnimClip.h"
#include "EngineCore/AnimCurve.h"

namespace Formats {

// Bounds on the work a clip or scene file may ask of the reader. A file beyond one of them
// is refused with ClipFileError::TooLarge and a message naming the bound, before the memory
// it asks for is taken: a small file never costs more than a few times its own size, and a
// legitimate capture take of hours still opens.
struct ClipFileLimits {
  // Bytes of a .gltf document or of a whole .glb file.
  static constexpr std::uint64_t kMaxDocumentBytes = 64ull << 20;
  // Bytes of all the buffers of one document together (external files and data URIs).
  static constexpr std::uint64_t kMaxBufferBytes = 512ull << 20;
  // Depth of nested arrays and objects in the JSON text.
  static constexpr int kMaxJsonDepth = 64;
  // Elements of one accessor read for animation.
  static constexpr std::size_t kMaxAccessorElements = 4'000'000;
  // The last frame a key may lie on, at 60 frames per second: about 4.6 hours. A track
  // thus holds at most kMaxFrame + 1 keys. The editor's edits stop at it too.
  static constexpr std::uint32_t kMaxFrame = EngineCore::AnimCurve::kMaxKeyFrame;
  // Keys of a whole clip, over all its tracks, once sampled; a limit of edits too.
  static constexpr std::uint64_t kMaxClipKeys = EngineCore::AnimClip::kMaxKeys;
  // Morph targets of one mesh whose weights a clip animates: each is a curve of its own.
  static constexpr std::size_t kMaxMorphTargets = 256;
};

}  // namespace Formats
