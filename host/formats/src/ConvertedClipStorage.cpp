#include "ConvertedClipStorage.h"

#include <filesystem>

#include "EngineCore/Log.h"
#include "Formats/ClipFileHost.h"
#include "Formats/ClipFormats.h"
#include "GltfSceneBuilder.h"

namespace Formats {

namespace fs = std::filesystem;
using EngineCore::Log;

ConvertedClipStorage::ConvertedClipStorage(std::string sourcePath, tinygltf::Model skeleton)
    : sourcePath_(std::move(sourcePath)), skeleton_(std::move(skeleton)) {}

bool ConvertedClipStorage::Save(EngineCore::Resource& resource) {
  if (saved_) return saved_->Save(resource);
  if (resource.GetKind() != EngineCore::Resource::KindAnimClip) return false;
  const fs::path source(sourcePath_);
  const fs::path target = fs::path(source).replace_extension(".gltf");
  const std::string sourceName = source.filename().string();
  const std::string targetName = target.filename().string();
  std::error_code ec;
  if (fs::exists(fs::symlink_status(target, ec)) &&
      !ClipFileHost::Ask(targetName + " exists beside " + sourceName + ". Replace it with the clip " +
                         resource.GetName().str() + "?")) {
    const std::string message = targetName + " exists and was not replaced; " + sourceName + " cannot be written";
    Log::Write(Log::Error, "%s: %s", sourcePath_.c_str(), message.c_str());
    ClipFileHost::Report("Could not save " + resource.GetName().str() + ": " + message + ".");
    return false;
  }
  auto gltf =
      std::make_unique<GltfClipStorage>(target.string(), skeleton_, std::string(), std::map<std::string, int>{}, 0);
  if (!gltf->Save(resource)) return false;
  Log::Write(Log::Info, "%s cannot be written: %s was saved as %s beside it, and later saves go there; %s is unchanged",
             sourcePath_.c_str(), resource.GetName().c_str(), targetName.c_str(), sourceName.c_str());
  saved_ = std::move(gltf);
  return true;
}

ClipFileError ConvertedClipStorage::WriteTo(const EngineCore::AnimClip& clip, const std::string& path,
                                            std::string& message) {
  if (saved_) return saved_->WriteTo(clip, path, message);
  GltfClipStorage copy(path, skeleton_, std::string(), {}, 0);
  return copy.WriteTo(clip, path, message);
}

bool ConvertedClipStorage::Revert(EngineCore::Resource& resource) {
  if (saved_) return saved_->Revert(resource);
  if (resource.GetKind() != EngineCore::Resource::KindAnimClip) return false;
  const ClipOpenResult fresh = ClipFormats::Open(sourcePath_, resource.GetName());
  if (!fresh.clip) return false;
  if (auto* read = dynamic_cast<ConvertedClipStorage*>(fresh.clip->GetStorage()))
    skeleton_ = std::move(read->skeleton_);
  static_cast<EngineCore::AnimClip&>(resource).TakeContentsOf(*fresh.clip);
  fresh.clip->Release();
  return true;
}

std::unique_ptr<EngineCore::Scene> ConvertedClipStorage::BuildScene() const {
  return GltfSceneBuilder::Build(skeleton_);
}

}  // namespace Formats
