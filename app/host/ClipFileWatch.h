#pragma once

#include <functional>
#include <set>
#include <string>

#include "EngineCore/AnimClip.h"

namespace TarvelHost {

// Keeps the editor's clips in step with their files while other programs work on them.
// 1. A loaded clip without unsaved edits whose files another program changed is read again
//    from them, and the log says so; the listener hears of it (the host tells the modules).
// 2. A clip with unsaved edits keeps them: the log says once that its file changed, and its
//    next save asks whether to reload, overwrite or cancel.
// 3. A clip whose changed file no longer opens keeps what it holds; the log says so once.
class ClipFileWatch {
 public:
  using Listener = std::function<void(EngineCore::AnimClip& clip)>;

  explicit ClipFileWatch(Listener reloaded) : reloaded_(std::move(reloaded)) {}

  // Looks at every clip the resource factory handed out; how many were read again.
  int Check();

 private:
  Listener reloaded_;
  // Names of the clips already told about (rule 2 and 3), until their files are theirs again.
  // Names, not clips: a clip let go and read again is the same clip to the user.
  std::set<std::string> told_;
};

}  // namespace TarvelHost
