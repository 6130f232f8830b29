#pragma once

#include <memory>
#include <string>
#include <vector>

#include "EditorCore/GUI_ModuleManager.h"
#include "EditorCore/GUI_Wnd.h"
#include "EngineCore/Scene.h"
#include "Formats/Project.h"
#include "ResourceBrowser.h"

namespace TarvelHost {

// The open project of the host. Contract:
// 1. Open closes the project that was open (the resource factory forgets its clips), then
//    opens the folder: its clip folder becomes folder 10 and the factory's source of clips,
//    its scene loads and its animated objects get their controllers.
// 2. AskToSave runs before anything closes: framework message 4 goes to every module with a
//    save list; when the list holds unsaved resources the save dialog asks, and only its
//    result 1 lets the caller go on.
class ProjectSession {
 public:
  ProjectSession() = default;
  ~ProjectSession();
  ProjectSession(const ProjectSession&) = delete;
  ProjectSession& operator=(const ProjectSession&) = delete;

  // False, with the reason in `message`, when the path is neither a project folder nor a clip
  // file; nothing is open then.
  [[nodiscard]] bool Open(const std::string& path, std::string& message);
  void Close();
  bool IsOpen() const { return project != nullptr; }

  // Empty when no project is open.
  std::string GetFolder() const;
  // The clip file a project opened on alone; empty for a project folder.
  std::string GetClipFile() const;
  // The first clip of that file; empty without one.
  std::string FirstClipOfFile() const;
  std::string GetClipFolder() const;
  // The file of the clip of that name, in any clip format; empty when there is none.
  std::string FindClipFile(const std::string& name) const;
  // Null without a project or a scene.
  EngineCore::Scene* GetScene() const;
  // Resource names of the clip folder, in name order.
  std::vector<std::string> ListClips() const;
  // The same, each with the file it shares with other clips.
  std::vector<ResourceBrowser::Clip> ListClipsByFile() const;
  // Why a clip did not open, empty when it did (see Formats::Project).
  std::string GetClipProblem(const std::string& name) const;
  // Lets go of the clips nothing uses (see Formats::Project); how many.
  int ReleaseUnusedClips() { return project ? project->ReleaseUnusedClips() : 0; }
  // Makes a new clip of the folder known to the scene's controllers.
  void BindClip(EngineCore::AnimClip* clip);

  // True when closing may go on; the number of times the dialog was shown is counted.
  static bool AskToSave(EditorCore::GUI_ModuleManager& modules, EditorCore::GUI_Wnd* parent);
  static int GetAskCount() { return askCount; }

 private:
  std::unique_ptr<Formats::Project> project;
  static inline int askCount = 0;
};

}  // namespace TarvelHost
