#include "EngineCore/Resource.h"

#include "EngineCore/Log.h"

namespace EngineCore {

namespace {

Resource::SavedListener& Listener() {
  static Resource::SavedListener listener;
  return listener;
}

void TellSaved(const Resource& resource) {
  if (Listener()) Listener()(resource);
}

}  // namespace

void Resource::SetSavedListener(SavedListener listener) { Listener() = std::move(listener); }

bool Resource::Save() {
  const std::shared_ptr<ResourceStorage> keep = storage_;
  if (!storage_) {
    Log::Write(Log::Error, "resource '%s' has no file to be saved to", name_.c_str());
    return false;
  }
  if (!storage_->Save(*this)) return false;
  modified_ = false;
  TellSaved(*this);
  return true;
}

std::vector<Resource*> Resource::SaveAll(const std::vector<Resource*>& resources) {
  std::vector<Resource*> pending;
  for (Resource* resource : resources) {
    if (resource && resource->IsModified()) pending.push_back(resource);
  }
  for (std::size_t i = 0; i < pending.size(); ++i) {
    Resource* resource = pending[i];
    if (!resource->IsModified()) continue;
    const std::shared_ptr<ResourceStorage> storage = resource->storage_;
    const std::string file = storage ? storage->GetSharedFile() : std::string();
    std::vector<Resource*> others;
    for (std::size_t j = i + 1; j < pending.size() && !file.empty(); ++j) {
      const ResourceStorage* other = pending[j]->GetStorage();
      if (pending[j]->IsModified() && other && other->GetSharedFile() == file) others.push_back(pending[j]);
    }
    if (others.empty()) {
      resource->Save();
      continue;
    }
    if (!storage->SaveTogether(*resource, others)) continue;
    resource->modified_ = false;
    TellSaved(*resource);
    for (Resource* other : others) {
      other->modified_ = false;
      TellSaved(*other);
    }
  }
  std::vector<Resource*> unsaved;
  for (Resource* resource : pending) {
    if (resource->IsModified()) unsaved.push_back(resource);
  }
  return unsaved;
}

bool Resource::Revert() {
  // The storage may be replaced while it reads: it stays alive until it is done.
  const std::shared_ptr<ResourceStorage> storage = storage_;
  if (!storage || !storage->Revert(*this)) return false;
  modified_ = false;
  ++changes_;
  return true;
}

}  // namespace EngineCore
