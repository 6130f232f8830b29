#include "Formats/Project.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <vector>

#include "ClipFolder.h"
#include "ClipStorage.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/AnimController.h"
#include "EngineCore/Log.h"
#include "EngineCore/ResourceFactory.h"
#include "EngineCore/SceneObject.h"
#include "EngineToolkit/FileSystem.h"
#include "Formats/ClipFileHost.h"
#include "Formats/ClipFormats.h"
#include "Formats/GltfClipFile.h"
#include "Formats/GltfSceneFile.h"
#include "GltfDocumentReader.h"

namespace Formats {

namespace fs = std::filesystem;

std::unique_ptr<Project> Project::Open(const std::string& path, std::string& message) {
  std::error_code ec;
  const bool isFile = fs::is_regular_file(path, ec);
  if (!isFile && !fs::is_directory(path, ec)) {
    message = path + " is neither a folder nor a clip file";
    return nullptr;
  }
  if (isFile && !ClipFormats::Find(path)) {
    message = path + " is not a clip file";
    return nullptr;
  }
  const fs::path absolute = fs::absolute(path, ec).lexically_normal();
  std::unique_ptr<Project> project(new Project(isFile ? absolute.parent_path().string() : absolute.string()));
  if (isFile) project->clipFile_ = absolute.string();
  const std::string clips = project->GetClipFolder();
  EngineToolkit::FileSystem::GetInstance().SetFolderPath(EngineToolkit::FileSystem::AnimClipFolder, clips);
  EngineToolkit::FileSystem::GetInstance().SetFolderExtensions(EngineToolkit::FileSystem::AnimClipFolder,
                                                               ClipFormats::Extensions());
  EngineToolkit::FileSystem::GetInstance().SetFolderLister(EngineToolkit::FileSystem::AnimClipFolder,
                                                           &ClipFormats::ListClips);

  EngineCore::ResourceFactory& factory = EngineCore::ResourceFactory::GetInstance();
  factory.Clear();
  Project* self = project.get();
  factory.SetLoader(EngineCore::Resource::KindAnimClip,
                    [self](const EngineCore::String& name) -> EngineCore::Resource* {
                      const std::string file = self->FindClipFile(name.str());
                      if (file.empty()) return nullptr;
                      const ClipOpenResult result = ClipFormats::Open(file, name);
                      if (result.clip) {
                        self->problems_.erase(name.str());
                        // A clip is read when first asked for; the scene's objects take it then.
                        self->BindClipToScene(result.clip);
                      } else {
                        self->problems_[name.str()] = result.message;
                      }
                      // At start-up the log tells; later the user asked for this clip and is told why not.
                      if (!result.clip && !self->startingUp_) {
                        ClipFileHost::Report("Could not open " + name.str() + ": " + result.message + ".");
                      }
                      return result.clip;
                    });

  const fs::path scenes = fs::path(project->folder_) / "Scenes";
  std::vector<fs::path> sceneFiles;
  if (project->clipFile_.empty() && fs::is_directory(scenes, ec)) {
    for (const auto& entry : fs::directory_iterator(scenes, ec)) {
      const std::string ext = entry.path().extension().string();
      if (entry.is_regular_file(ec) && (ext == ".gltf" || ext == ".glb")) sceneFiles.push_back(entry.path());
    }
  }
  std::sort(sceneFiles.begin(), sceneFiles.end());
  if (!sceneFiles.empty()) {
    ClipFileError error = ClipFileError::None;
    std::string sceneMessage;
    project->scene_ = GltfSceneFile::Load(sceneFiles.front().string(), error, sceneMessage);
  }
  if (sceneFiles.empty()) {
    project->startingUp_ = true;
    project->scene_ = project->SceneOfFirstClip();
    project->startingUp_ = false;
  }

  // Start-up reads no clip beyond the one whose skeleton became the scene: that one, read
  // before there was a scene, is bound now; every other clip when it is first asked for.
  for (EngineCore::Resource* loaded : factory.GetLoaded(EngineCore::Resource::KindAnimClip)) {
    project->BindClipToScene(dynamic_cast<EngineCore::AnimClip*>(loaded));
  }
  return project;
}

std::string Project::GetClipProblem(const std::string& name) const {
  const auto problem = problems_.find(name);
  if (problem != problems_.end()) return problem->second;
  return QuickProblem(FindClipFile(name));
}

std::string Project::QuickProblem(const std::string& file) const {
  if (file.empty()) return {};
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(file, ec);
  const fs::file_time_type time = ec ? fs::file_time_type() : fs::last_write_time(file, ec);
  const auto known = looked_.find(file);
  if (known != looked_.end() && known->second.size == size && known->second.time == time) return known->second.problem;
  // The buffers a glTF document names: inside the clip's folder and there. The full read finds
  // the rest when the clip is opened.
  std::string found;
  std::vector<std::pair<std::size_t, std::string>> uris;
  const ClipFormat* format = ClipFormats::Find(file);
  if (format && format->open == ClipFormats::All().front().open && GltfDocumentReader::ListBufferUris(file, uris)) {
    for (const auto& [index, uri] : uris) {
      fs::path relative;
      std::string reason;
      const std::string which = "buffer " + std::to_string(index) + ": ";
      if (!ClipFolder::ResolveUri(uri, relative, reason)) {
        found = which + reason;
      } else if (!fs::is_regular_file(fs::path(file).parent_path() / relative, ec)) {
        found = which + "URI '" + uri + "' names no file beside the clip";
      }
      if (!found.empty()) break;
    }
  }
  looked_[file] = {size, time, found};
  return found;
}

Project::~Project() {
  // Controllers hold clip references; drop them with the scene before the factory's own.
  scene_.reset();
  EngineCore::ResourceFactory::GetInstance().Clear();
}

std::string Project::GetClipFolder() const {
  return clipFile_.empty() ? (fs::path(folder_) / "AnimClips").string() : folder_;
}

std::string Project::FindClipFile(const std::string& name) const {
  std::string found = FindFileNamed(name);
  // A clip of a file of several animations is FILE:ANIMATION.
  for (std::size_t colon = name.rfind(':'); found.empty() && colon != std::string::npos && colon > 0;
       colon = name.rfind(':', colon - 1)) {
    found = FindFileNamed(name.substr(0, colon));
  }
  return found;
}

std::string Project::FindFileNamed(const std::string& stem) const {
  // The folder is indexed once for each change of it (a file added, removed or renamed, as
  // every save does), not walked for every name.
  std::error_code ec;
  const std::string folder = GetClipFolder();
  const fs::file_time_type changed = fs::last_write_time(folder, ec);
  if (ec || !indexed_ || changed != indexedAt_) {
    filesByStem_.clear();
    const std::vector<ClipFormat>& formats = ClipFormats::All();
    std::map<std::string, std::size_t> ranks;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
      if (!entry.is_regular_file(ec)) continue;
      const ClipFormat* format = ClipFormats::Find(entry.path().string());
      const auto rank = static_cast<std::size_t>(format ? format - formats.data() : formats.size());
      const std::string name = entry.path().stem().string();
      const auto known = ranks.find(name);
      if (known != ranks.end() && known->second <= rank) continue;
      ranks[name] = rank;
      filesByStem_[name] = entry.path().string();
    }
    indexed_ = !ec;
    indexedAt_ = changed;
  }
  const auto found = filesByStem_.find(stem);
  return found == filesByStem_.end() ? std::string() : found->second;
}

std::unique_ptr<EngineCore::Scene> Project::SceneOfFirstClip() const {
  auto folderList = EngineToolkit::FileSystem::GetInstance().GetFolder(EngineToolkit::FileSystem::AnimClipFolder);
  EngineCore::String name;
  for (std::uint32_t i = 0; folderList && folderList->GetFileName(i, name); ++i) {
    if (!clipFile_.empty() && FindClipFile(name.str()) != clipFile_) continue;
    EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip(name);
    if (!clip) continue;
    const auto* storage = dynamic_cast<const ClipStorage*>(clip->GetStorage());
    std::unique_ptr<EngineCore::Scene> scene = storage ? storage->BuildScene() : nullptr;
    clip->Release();
    if (scene && scene->GetObjectCount() > 0) {
      if (clipFile_.empty()) {
        EngineCore::Log::Write(EngineCore::Log::Info, "%s has no scene: its objects are the skeleton of the clip %s",
                               folder_.c_str(), name.c_str());
      } else {
        EngineCore::Log::Write(EngineCore::Log::Info, "The scene is the skeleton of the clip %s", name.c_str());
      }
      return scene;
    }
  }
  return nullptr;
}

int Project::ReleaseUnusedClips() {
  std::map<const EngineCore::AnimClip*, std::uint32_t> heldByControllers;
  for (std::uint32_t i = 0; scene_ && i < scene_->GetObjectCount(); ++i) {
    const EngineCore::AnimController* controller = scene_->GetObjectAt(i)->GetController();
    for (std::uint32_t c = 0; controller && c < controller->GetClipCount(); ++c) {
      ++heldByControllers[controller->GetClipAt(c)];
    }
  }
  EngineCore::ResourceFactory& factory = EngineCore::ResourceFactory::GetInstance();
  int released = 0;
  for (EngineCore::Resource* resource : factory.GetLoaded(EngineCore::Resource::KindAnimClip)) {
    const auto* clip = static_cast<const EngineCore::AnimClip*>(resource);
    const auto held = heldByControllers.find(clip);
    const std::uint32_t known = 1 + (held == heldByControllers.end() ? 0 : held->second);
    if (resource->IsModified() || resource->GetReferenceCount() != known) continue;
    for (std::uint32_t i = 0; known > 1 && i < scene_->GetObjectCount(); ++i) {
      if (EngineCore::AnimController* controller = scene_->GetObjectAt(i)->GetController())
        controller->RemoveClip(clip);
    }
    factory.Unload(resource->GetKind(), resource->GetName());
    ++released;
  }
  return released;
}

void Project::BindClipToScene(EngineCore::AnimClip* clip) {
  if (!scene_ || !clip) return;
  for (std::uint32_t c = 0; c < clip->GetChannelCount(); ++c) {
    const EngineCore::String& channelName = clip->GetChannelAt(c)->GetName();
    EngineCore::SceneObject* object = scene_->FindObject(channelName);
    if (!object) continue;
    EngineCore::AnimController* controller = object->CreateController();
    controller->AddClip(clip);
    if (controller->GetChannelKey() == 0) {
      controller->SetChannelKey(clip->GetChannelKeyAt(c));
      controller->SetChannelName(channelName);
    }
  }
}

}  // namespace Formats
