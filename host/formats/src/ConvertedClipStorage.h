#pragma once

#include <memory>
#include <string>

#include <tiny_gltf.h>

#include "ClipStorage.h"
#include "GltfClipStorage.h"

namespace Formats {

// A clip read from a format this library cannot write (BVH, FBX, Collada...).
//
// 1. Saving never changes the source file: the clip is saved as a glTF 2.0 file of the same
//    name beside it (walk.bvh -> walk.gltf), holding the source's skeleton and the clip's
//    animation, and the log says so. From then on the clip saves into that glTF.
// 2. A glTF file of that name that already exists is replaced only when the user says yes
//    (ClipFileHost::Ask); otherwise the save fails and nothing is written.
class ConvertedClipStorage : public ClipStorage {
 public:
  // `skeleton`: a glTF model holding the source's nodes (names, hierarchy, rest transforms).
  ConvertedClipStorage(std::string sourcePath, tinygltf::Model skeleton);

  bool Save(EngineCore::Resource& resource) override;
  // Reads the glTF it saves into when there is one, else the source again.
  bool Revert(EngineCore::Resource& resource) override;
  [[nodiscard]] ClipFileError WriteTo(const EngineCore::AnimClip& clip, const std::string& path,
                                      std::string& message) override;
  std::unique_ptr<EngineCore::Scene> BuildScene() const override;
  // The glTF it saves into once it has, else the source.
  std::string GetFilePath() const override { return saved_ ? saved_->GetFilePath() : sourcePath_; }

 private:
  std::string sourcePath_;
  tinygltf::Model skeleton_;
  // The glTF file the clip saves into since its first save.
  std::unique_ptr<GltfClipStorage> saved_;
};

}  // namespace Formats
