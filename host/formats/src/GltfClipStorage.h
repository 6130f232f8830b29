#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include <tiny_gltf.h>
#include <nlohmann/json.hpp>

#include "ClipFileIdentity.h"
#include "ClipStorage.h"
#include "EngineCore/AnimClip.h"
#include "Formats/ClipFileError.h"

namespace Formats {

class DocumentSpace;
struct DocumentOrigin;

// The glTF file a clip was opened from (one of its animations): the document as read without
// the clip's own animation channels (every save writes them from the clip, so a long take is not held
// twice), which nodes the clip's channels stand for, and the writing of the clip back into it.
class GltfClipStorage : public ClipStorage {
 public:
  // Key of the extras that list the clip's channels without tracks and tracks without keys,
  // which glTF animations cannot hold: the asset's in a file of at most one animation (whose
  // animation goes when its clip has no keys), else the clip's animation's.
  static constexpr const char* kEmptyTracksKey = "tarvelEmptyTracks";
  static const tinygltf::Value& EmptyTracksHolder(const tinygltf::Model& model, std::size_t animation);
  static tinygltf::Value& EmptyTracksHolder(tinygltf::Model& model, std::size_t animation);
  // The targets of an animation's channels that an extension gives instead of a node
  // (KHR_animation_pointer's), in a document's JSON: tinygltf does not read those channels.
  static std::vector<const nlohmann::json*> TargetsBeyondNodes(const nlohmann::json& document, std::size_t animation);
  // Key of the clip animation's extras that keep the clip's frame rate, so that a clip whose
  // keys also fit a lower rate reopens at its own.
  static constexpr const char* kFrameRateKey = "tarvelFrameRate";
  // `documentText` is the file's JSON text, which saves write back wherever they do not
  // change it; `animation` the index of the clip's animation in the file.
  GltfClipStorage(std::string path, tinygltf::Model model, std::string documentText,
                  std::map<std::string, int> channelNodes, int animation);
  ~GltfClipStorage() override;
  GltfClipStorage(const GltfClipStorage&) = delete;
  GltfClipStorage& operator=(const GltfClipStorage&) = delete;

  // A clip whose files another program changed since they were read or saved is saved only
  // when the user says Overwrite; Reload reads it again instead, Cancel writes nothing.
  bool Save(EngineCore::Resource& resource) override;
  // Clips of one file saved together write it once, with each clip's animation.
  std::string GetSharedFile() const override { return fileKey_; }
  std::string GetFilePath() const override { return path_; }
  bool SaveTogether(EngineCore::Resource& resource, const std::vector<EngineCore::Resource*>& others) override;
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
  // A clip written by a save, with its storage and the nodes its channels go to.
  struct Part {
    const EngineCore::AnimClip* clip;
    GltfClipStorage* storage;
    std::map<std::string, int> channelNodes;
  };

  // Writes the clips (this storage's first) at `path`; when `expected` is given, only if the
  // files are still those.
  ClipFileError Write(std::vector<Part> parts, const std::string& path, const ClipFileIdentity* expected,
                      std::string& message);
  // After a save to the storage's own file: the saved clips' storages, and the others of the
  // file that knew it as this one did, take the file as written.
  void ShareSave(const std::vector<Part>& parts, tinygltf::Model model, std::string documentText,
                 ClipFileIdentity identity);
  void Adopt(const tinygltf::Model& model, const std::string& documentText, const ClipFileIdentity& identity);
  // Drops the clip's channels, their samplers and the bytes only they used from the document,
  // whose other parts keep their places (DocumentSpace).
  void ForgetClipAnimation();
  // The buffer that takes the clip's keys: the one that held them, else one with room.
  int KeysBuffer(tinygltf::Model& model, const DocumentSpace& space) const;
  // The document with the clip's animation in place of the channels the clip stands for,
  // and whether each buffer's bytes differ from its file.
  tinygltf::Model BuildModel(std::vector<Part>& parts, std::vector<bool>& changed, DocumentOrigin& origin);

  std::string path_;
  // The file as every storage of its clips names it.
  std::string fileKey_;
  std::size_t animation_;
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
