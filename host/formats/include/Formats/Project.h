#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "EngineCore/Scene.h"
#include "Formats/FormatsApi.h"

namespace Formats {

// A project folder: `AnimClips/` holds the clips, `Scenes/` the scene (its first glTF file
// in name order).
//
// Opening a project:
//   1. makes `AnimClips/` the file system's clip folder (10), listing the clips of the files
//      of every clip format (ClipFormats::ListClips: one per animation of a glTF file of
//      several), and the place where the resource factory finds clips by name (NAME with
//      the first extension of ClipFormats that is there: NAME.gltf before NAME.bvh; FILE of
//      FILE:ANIMATION);
//   2. loads the scene, when there is one; a project whose `Scenes/` folder is empty or
//      missing takes the skeleton of its first clip that has one (a BVH take, say) as its
//      scene, so that its clips preview on their own skeleton;
//   3. reads no other clip: a clip is read when it is first asked for (opened, previewed,
//      created), and then every scene object it animates (the clip has a channel named like
//      the object) gets a controller whose clip table holds it and whose channel is the
//      object's name. Start-up costs the listing of the folder, not its clips;
//   4. a clip that nothing uses any more is let go when the host asks (ReleaseUnusedClips),
//      so that memory follows what is open.
// A single clip file opens as a project of its own: the file's folder is the clip folder,
// and the scene is made of the file's own nodes when it has them (none else is looked for).
// Closing it (destruction) drops the factory's clips and loader. A clip that does not open
// when the user asks for it later is told to the user through ClipFileHost.
class FORMATS_API Project {
 public:
  // A project folder, or a clip file of any clip format.
  [[nodiscard]] static std::unique_ptr<Project> Open(const std::string& path, std::string& message);
  ~Project();
  Project(const Project&) = delete;
  Project& operator=(const Project&) = delete;

  const std::string& GetFolder() const { return folder_; }
  // The clip file the project was opened on; empty for a project folder.
  const std::string& GetClipFile() const { return clipFile_; }
  std::string GetClipFolder() const;
  // Path of the clip file of that resource name (FILE, or FILE:ANIMATION for a clip of a
  // file of several animations), empty when there is none.
  std::string FindClipFile(const std::string& name) const;
  // Null for a project without a scene and without a clip that holds a skeleton.
  EngineCore::Scene* GetScene() const { return scene_.get(); }
  // Gives the objects named like the clip's channels a controller that holds it.
  void BindClipToScene(EngineCore::AnimClip* clip);
  // Lets go of every clip that nothing but the factory and the scene's controllers holds and
  // that has no unsaved edits: its keys leave memory, and the next request reads it again.
  // An open page, a save list or a caller's reference keeps a clip. How many were let go.
  int ReleaseUnusedClips();
  // Why the clip of that name did not open the last time it was read; before any read, what a
  // quick look at its file finds wrong (a glTF buffer outside the clip's folder or missing),
  // cached while the file stays the same; empty when nothing was found.
  std::string GetClipProblem(const std::string& name) const;

 private:
  explicit Project(std::string folder) : folder_(std::move(folder)) {}
  // The skeleton of the first clip that holds one, of the clip file when there is one.
  std::unique_ptr<EngineCore::Scene> SceneOfFirstClip() const;
  // The clip file of that name without extension, of the first format that has one.
  std::string FindFileNamed(const std::string& stem) const;

  std::string folder_;
  std::string clipFile_;
  std::unique_ptr<EngineCore::Scene> scene_;
  // While the project binds its clips to the scene, clips that do not open are only logged.
  bool startingUp_ = false;
  mutable std::map<std::string, std::string> problems_;
  struct Looked {
    std::uintmax_t size;
    std::filesystem::file_time_type time;
    std::string problem;
  };
  mutable std::map<std::string, Looked> looked_;
  std::string QuickProblem(const std::string& file) const;
  // The clip folder's files by name without extension (the first format's where several).
  mutable std::map<std::string, std::string> filesByStem_;
  mutable std::filesystem::file_time_type indexedAt_;
  mutable bool indexed_ = false;
};

}  // namespace Formats
