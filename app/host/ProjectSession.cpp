#include "ProjectSession.h"

#include "EditorToolkit/GUI_SaveDialog.h"
#include "EngineCore/Log.h"
#include "EngineToolkit/FileSystem.h"

namespace TarvelHost {

namespace {
constexpr EditorCore::UINT kMsgCollectUnsaved = 4;
}

ProjectSession::~ProjectSession() { Close(); }

bool ProjectSession::Open(const std::string& path, std::string& message) {
  // The factory is shared: the old project must let go of it before the new one fills it.
  Close();
  project = Formats::Project::Open(path, message);
  if (!project) {
    EngineCore::Log::Write(EngineCore::Log::Error, "Project %s could not be opened: %s", path.c_str(), message.c_str());
    return false;
  }
  const EngineCore::Scene* scene = project->GetScene();
  const bool single = !project->GetClipFile().empty();
  EngineCore::Log::Write(EngineCore::Log::Info, "%s %s opened: %zu clips%s, %u scene objects",
                         single ? "Clip file" : "Project",
                         single ? project->GetClipFile().c_str() : project->GetFolder().c_str(), ListClips().size(),
                         single ? " in its folder" : "", scene ? scene->GetObjectCount() : 0u);
  return true;
}

std::string ProjectSession::GetClipFile() const { return project ? project->GetClipFile() : std::string(); }

std::string ProjectSession::FirstClipOfFile() const {
  const std::string file = GetClipFile();
  if (file.empty()) return {};
  for (const std::string& name : ListClips()) {
    if (project->FindClipFile(name) == file) return name;
  }
  return {};
}

void ProjectSession::Close() { project.reset(); }

std::string ProjectSession::GetFolder() const { return project ? project->GetFolder() : std::string(); }

std::string ProjectSession::GetClipFolder() const { return project ? project->GetClipFolder() : std::string(); }

std::string ProjectSession::FindClipFile(const std::string& name) const {
  return project ? project->FindClipFile(name) : std::string();
}

EngineCore::Scene* ProjectSession::GetScene() const { return project ? project->GetScene() : nullptr; }

std::vector<std::string> ProjectSession::ListClips() const {
  std::vector<std::string> names;
  if (!project) return names;
  auto folder = EngineToolkit::FileSystem::GetInstance().GetFolder(EngineToolkit::FileSystem::AnimClipFolder);
  EngineCore::String name;
  for (std::uint32_t i = 0; folder && folder->GetFileName(i, name); ++i) names.push_back(name.str());
  return names;
}

std::vector<ResourceBrowser::Clip> ProjectSession::ListClipsByFile() const {
  std::vector<ResourceBrowser::Clip> clips;
  if (!project) return clips;
  auto folder = EngineToolkit::FileSystem::GetInstance().GetFolder(EngineToolkit::FileSystem::AnimClipFolder);
  EngineCore::String name;
  for (std::uint32_t i = 0; folder && folder->GetFileName(i, name); ++i) {
    clips.push_back({name.str(), folder->GetSharedFile(i)});
  }
  return clips;
}

std::string ProjectSession::GetClipProblem(const std::string& name) const {
  return project ? project->GetClipProblem(name) : std::string();
}

void ProjectSession::BindClip(EngineCore::AnimClip* clip) {
  if (project && clip) project->BindClipToScene(clip);
}

bool ProjectSession::AskToSave(EditorCore::GUI_ModuleManager& modules, EditorCore::GUI_Wnd* parent) {
  EditorToolkit::GUI_SaveDialog dialog(parent);
  modules.SendFrameworkMessageToAll(kMsgCollectUnsaved, reinterpret_cast<EditorCore::WPARAM>(dialog.GetSaveList()), 0);
  if (dialog.GetUnsavedCount() == 0) return true;
  ++askCount;
  return dialog.DoModal() == 1;
}

}  // namespace TarvelHost
