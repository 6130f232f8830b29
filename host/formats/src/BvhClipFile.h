#pragma once

#include <string>

#include "EngineCore/String.h"
#include "Formats/GltfClipFile.h"

namespace Formats {

// Clips read from Biovision BVH motion capture, by a reader of our own: the format is plain
// text, and reading it directly takes a fraction of a general importer's time.
//
// 1. Every joint with channels is a channel of the clip, named as in the file; End Sites are
//    not. Position channels make a translation track (an axis without a channel keeps the
//    joint's OFFSET); rotation channels make a rotation track whose Euler angles, in degrees,
//    are composed in the file's own channel order: "Zrotation Xrotation Yrotation" is
//    Rz · Rx · Ry. Units are the file's.
// 2. Frame i lies at i × Frame Time seconds; the keys are brought onto whole frames at 60
//    frames per second as glTF keys are (kept when on them already, else sampled, linearly
//    and rotations spherically).
// 3. The skeleton (joints and End Sites with their offsets) is kept: the clip saves into a
//    glTF file of that skeleton (see ConvertedClipStorage), and a project without a scene
//    can make its scene of it.
// 4. A malformed file (a missing brace or keyword, an unknown channel, fewer motion values
//    than frames times channels, a frame time that is not positive) is refused with a
//    message naming what is wrong and on which line; ClipFileLimits bound it as any clip.
class BvhClipFile {
 public:
  [[nodiscard]] static ClipOpenResult Open(const std::string& path, const EngineCore::String& name = {});
};

}  // namespace Formats
