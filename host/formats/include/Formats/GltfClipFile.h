#pragma once

#include <string>
#include <vector>

#include "EngineCore/AnimClip.h"
#include "EngineCore/String.h"
#include "Formats/ClipFileError.h"
#include "Formats/ClipFileLimits.h"
#include "Formats/FormatsApi.h"

namespace Formats {

struct ClipOpenResult {
  // Holds one reference, the caller's; null on failure.
  EngineCore::AnimClip* clip = nullptr;
  ClipFileError error = ClipFileError::None;
  std::string message;
};

// Clips stored as glTF 2.0 files (.gltf with its buffers, or .glb).
//
// What a clip is:
//   1. A clip is one animation of the file: a file of at most one animation is one clip,
//      named after the file; a file of several is one clip per animation, named
//      FILE:ANIMATION (FILE:INDEX for an animation without a name, FILE:ANIMATION:INDEX for a
//      name two animations share). A channel is every animation channel that targets one
//      node, named after the node ("node N" for a node without a name, N its index);
//      translation, rotation and scale become tracks 1, 2 and 3, morph-target weights track 4
//      (a key holds one weight per target of the node's mesh, the curve the targets' names
//      from the mesh's `extras.targetNames`, else "Target N"). Channels whose target is not a
//      node are kept in the file as they are, and the clip's note says what they animate. Two
//      nodes whose names would make one channel refuse the file.
//   2. A track whose keys lie on distinct whole frames of the clip's rate keeps exactly its
//      keys, with its interpolation (a CUBICSPLINE track its tangents); any other track is
//      sampled at every whole frame (see TrackSampler), and the log says so once per clip. Every key the engine receives is finite and every rotation of unit
//      length; a rotation of length zero refuses the file.
//
// What a clip may touch:
//   3. A clip reads and writes only regular files inside its own folder or its subfolders,
//      named by relative, percent-decoded buffer URIs; `data:` URIs are read. Any other URI
//      (absolute, with a scheme, climbing out with "..") is refused with a message naming
//      it; a buffer missing beside the document is never looked for anywhere else; a pipe or
//      device is refused, not waited on. Links inside the folder are followed.
//   4. Work is bounded by ClipFileLimits: nesting, document and buffer sizes, accessor
//      elements, the last frame of a track and the keys of a whole clip. A file beyond one
//      of them is refused with TooLarge before the memory is taken.
//
// How a clip is saved:
//   5. Saving writes every track of the clip into its own animation, as a sampler of its
//      interpolation with times frame / rate. Every other part of the file stays as it was,
//      down to its JSON, other animations included: every accessor, buffer view and buffer
//      that anything but the clip's own samplers uses (an index anywhere inside `extensions`
//      counts as a use) keeps its index and its bytes; the clip's keys take only free slots
//      and free bytes. A channel read from a node without a name writes to that node, and
//      gives it the channel's name once the channel is renamed; any other channel whose name
//      matches no node gets a new node of that name under the scene root. A clip of a file
//      of several animations that is left without keys is not saved: glTF has no animation
//      without channels.
//   5a. Clips of one file save independently: a save writes the file as the last save of any
//      of them left it, with only its own animation replaced, and the other clips of the file
//      take that file as theirs (a sibling's save is not a change by another program).
//   6. A save either leaves the old clip or writes the new one, whatever happens, and keeps
//      the files' names: changed files are written beside the old ones, a commit record
//      lists their renames, and an open that finds the record finishes them. Saves and opens
//      of a clip hold a lock on its folder, so an open never meets a save half done. A save
//      removes only what it made itself; a buffer file that a glTF document is, or that
//      another document of the project names, is never written. (ClipFileTransaction has
//      the detail.)
//   6a. A file that requires a glTF extension this editor cannot keep intact opens
//      read-only: saves and copies are refused with a message naming the extension.
//      Compressed meshes (Draco, meshopt) are kept byte for byte; keys stored compressed are
//      refused when the clip opens.
//   7. A write-protected clip is not saved (ReadOnly, with a message saying so). A save
//      keeps the files' permissions; a linked document or buffer is written through to
//      where its link leads.
//   8. No exception leaves these calls: every failure is a ClipFileError with its message,
//      also written to the log (level 3). A failure of the user's own action (a save, or an
//      open outside a project's start-up) is also told to the user through ClipFileHost.
class FORMATS_API GltfClipFile {
 public:
  // The names of the clips the file holds (rule 1); false when it does not parse, the names
  // then being the file's own.
  static bool ListClips(const std::string& path, std::vector<std::string>& names);

  // Opens the clip named `name`: in a file of several animations the animation of that name
  // (the first one when empty); in a file of one, that animation under this name (the file
  // name without extension when empty). The clip saves itself back to this file through its
  // storage.
  [[nodiscard]] static ClipOpenResult Open(const std::string& path, const EngineCore::String& name = {});

  // Writes a clip opened from any clip file (see ClipFormats) as a glTF document (.gltf or
  // .glb) at another path; a clip from a glTF file keeps the rest of its file.
  [[nodiscard]] static ClipFileError SaveAs(const EngineCore::AnimClip& clip, const std::string& path,
                                            std::string& message);

  // Writes a new file holding one empty clip (a scene without animation).
  [[nodiscard]] static ClipFileError CreateEmpty(const std::string& path, std::string& message);
};

}  // namespace Formats
