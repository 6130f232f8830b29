#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "ClipFileIdentity.h"
#include "ClipStorage.h"
#include "EngineCore/AnimClip.h"
#include "Formats/ClipFileError.h"

namespace Formats {

class DocumentSpace;
struct DocumentOrigin;

// The glTF file a clip was opened from: the document as read without the clip's own
// animation channels (every save writes them from the clip, so a long take is not held
// twice), which nodes the clip's channels stand for, and the writing of the clip back into it.
class GltfClipStorage : public ClipStorage {
 public:
  // Key of the asset extras that list the clip's channels without tracks and tracks without
  // keys, which glTF animations cannot hold.
  static constexpr const char* kEmptyTracksKey = "tarvelEmptyTracks";
  // Key of the clip animation's extras that keep the clip's frame rate, so that a clip whose
  // keys also fit a lower rate reopens at its own.
  static constexpr const char* kFrameRateKey = "tarvelFrameRate";
  // Key of the asset extras set when the clip has no keys but other animations follow, none
  // of which is the clip's.
  static constexpr const char* kNoClipAnimationKey = "tarvelClipWithoutKeys";

  static bool HoldsNoClipAnimation(const tinygltf::Model& model);

  // `documentText` is the file's JSON text, which saves write back wherever they do not
  // change it.
  GltfClipStorage(std::string path, tinygltf::Model model, std::string documentText,
                  std::map<std::string, int> channelNodes);

  // A clip whose files another program changed since they were read or saved is saved only
  // when the user says Overwrite; Reload reads it again instead, Cancel writes nothing.
  bool Save(EngineCore::Resource& resource) override;
  bool ChangedElsewhere() const override { return !identity_.Matches(); }
  // Reads the file again: the clip takes its channels, the storage its document.
  bool Revert(EngineCore::Resource& resource) override;

  // Writing to the storage's own path is a save: later saves start from what it wrote.
  [[nodiscard]] ClipFileError WriteTo(const EngineCore::AnimClip& clip, const std::string& path,
                                      std::string& message) override;
  std::unique_ptr<EngineCore::Scene> BuildScene() const override;

  const std::string& GetPath() const { return path_; }

  // A clip whose file this editor must not rewrite: every save and copy is refused with
  // this reason.
  void SetReadOnly(std::string reason) { readOnlyReason_ = std::move(reason); }
  // The files as the open read them.
  void SetIdentity(ClipFileIdentity identity) { identity_ = std::move(identity); }

 private:
  // Writes the clip at `path`; when `expected` is given, only if the files are still those.
  ClipFileError Write(const EngineCore::AnimClip& clip, const std::string& path, const ClipFileIdentity* expected,
                      std::string& message);
  // Drops the clip's channels, their samplers and the bytes only they used from the document,
  // whose other parts keep their places (DocumentSpace).
  void ForgetClipAnimation();
  // The buffer that takes the clip's keys: the one that held them, else one with room.
  int KeysBuffer(tinygltf::Model& model, const DocumentSpace& space) const;
  // The document with the clip's animation in place of the channels the clip stands for,
  // and whether each buffer's bytes differ from its file.
  tinygltf::Model BuildModel(const EngineCore::AnimClip& clip, std::map<std::string, int>& channelNodes,
                             std::vector<bool>& changed, DocumentOrigin& origin);

  std::string path_;
  tinygltf::Model model_;
  std::string documentText_;
  // Node of each channel name, for the nodes whose animation the clip stands for.
  std::map<std::string, int> channelNodes_;
  int keysBuffer_ = -1;
  // Buffers whose bytes in memory are no longer those of their files.
  std::vector<bool> bufferDirty_;
  std::string readOnlyReason_;
  ClipFileIdentity identity_;
};

}  // namespace Formats
