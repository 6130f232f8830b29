#include "ClipFileWatch.h"

#include "EngineCore/Log.h"
#include "EngineCore/ResourceFactory.h"

namespace TarvelHost {

using EngineCore::Log;

int ClipFileWatch::Check() {
  int reloaded = 0;
  std::set<std::string> stillTold;
  for (EngineCore::Resource* resource :
       EngineCore::ResourceFactory::GetInstance().GetLoaded(EngineCore::Resource::KindAnimClip)) {
    auto* clip = static_cast<EngineCore::AnimClip*>(resource);
    if (!clip->IsChangedElsewhere()) continue;
    const bool toldBefore = told_.contains(clip->GetName().str());
    if (!clip->IsModified() && clip->Revert()) {
      Log::Write(Log::Info, "%s was changed on disk by another program and was read again", clip->GetName().c_str());
      ++reloaded;
      if (reloaded_) reloaded_(*clip);
      continue;
    }
    stillTold.insert(clip->GetName().str());
    if (toldBefore) continue;
    if (clip->IsModified()) {
      Log::Write(Log::Warning,
                 "%s was changed on disk by another program; its unsaved edits are kept, and saving it will ask",
                 clip->GetName().c_str());
    } else {
      Log::Write(Log::Warning, "%s was changed on disk by another program and could not be read again",
                 clip->GetName().c_str());
    }
  }
  told_ = std::move(stillTold);
  return reloaded;
}

}  // namespace TarvelHost
