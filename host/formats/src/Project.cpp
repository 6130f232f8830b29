#include "Formats/Project.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "ClipStorage.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/Log.h"
#include "EngineCore/ResourceFactory.h"
#include "EngineToolkit/FileSystem.h"
#include "Formats/ClipFileHost.h"
#include "Formats/ClipFormats.h"
#include "Formats/GltfClipFile.h"
#include "Formats/GltfSceneFile.h"

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
  const Project* self = project.get();
  factory.SetLoader(EngineCore::Resource::KindAnimClip,
                    [self](const EngineCore::String& name) -> EngineCore::Resource* {
                      const std::string file = self->FindClipFile(name.str());
                      if (file.empty()) return nullptr;
                      const ClipOpenResult result = ClipFormats::Open(file, name);
                      if (result.clip) {
                        self->problems_.erase(name.str());
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

  if (project->scene_) {
    project->startingUp_ = true;
    if (auto folderList =
            EngineToolkit::FileSystem::GetInstance().GetFolder(EngineToolkit::FileSystem::AnimClipFolder)) {
      EngineCore::String name;
      for (std::uint32_t i = 0; folderList->GetFileName(i, name); ++i) {
        EngineCore::AnimClip* clip = factory.GetAnimClip(name);
        if (!clip) continue;
        project->BindClipToScene(clip);
        clip->Release();
      }
    }
    project->startingUp_ = false;
  }
  return project;
}

std::string Project::GetClipProblem(const std::string& name) const {
  const auto problem = problems_.find(name);
  return problem == problems_.end() ? std::string() : problem->second;
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
  const std::vector<ClipFormat>& formats = ClipFormats::All();
  std::size_t best = formats.size();
  std::string found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(GetClipFolder(), ec)) {
    if (entry.path().stem() != stem || !entry.is_regular_file(ec)) continue;
    const ClipFormat* format = ClipFormats::Find(entry.path().string());
    const auto rank = static_cast<std::size_t>(format ? format - formats.data() : formats.size());
    if (rank < best) {
      best = rank;
      found = entry.path().string();
    }
  }
  return found;
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
