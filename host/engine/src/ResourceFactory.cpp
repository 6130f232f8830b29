#include "EngineCore/ResourceFactory.h"

#include "EngineCore/AnimClip.h"

namespace EngineCore {

ResourceFactory& ResourceFactory::GetInstance() {
  static ResourceFactory factory;
  return factory;
}

void ResourceFactory::SetLoader(std::uint32_t kind, Loader loader) { loaders_[kind] = std::move(loader); }

Resource* ResourceFactory::GetResource(std::uint32_t kind, const String& name) {
  const auto key = std::make_pair(kind, name);
  if (const auto it = shared_.find(key); it != shared_.end()) {
    it->second->AddRef();
    return it->second;
  }
  const auto loader = loaders_.find(kind);
  if (loader == loaders_.end() || !loader->second) return nullptr;
  Resource* resource = loader->second(name);
  if (!resource) return nullptr;
  shared_[key] = resource;
  resource->AddRef();
  return resource;
}

AnimClip* ResourceFactory::GetAnimClip(const String& name) {
  return static_cast<AnimClip*>(GetResource(Resource::KindAnimClip, name));
}

void ResourceFactory::AddResource(Resource* resource) {
  const auto key = std::make_pair(resource->GetKind(), resource->GetName());
  if (shared_.contains(key)) return;
  resource->AddRef();
  shared_[key] = resource;
}

bool ResourceFactory::IsLoaded(std::uint32_t kind, const String& name) const {
  return shared_.contains(std::make_pair(kind, name));
}

std::vector<Resource*> ResourceFactory::GetLoaded(std::uint32_t kind) const {
  std::vector<Resource*> loaded;
  for (const auto& [key, resource] : shared_) {
    if (key.first == kind) loaded.push_back(resource);
  }
  return loaded;
}

bool ResourceFactory::Unload(std::uint32_t kind, const String& name) {
  const auto found = shared_.find(std::make_pair(kind, name));
  if (found == shared_.end()) return false;
  Resource* resource = found->second;
  shared_.erase(found);
  resource->Release();
  return true;
}

void ResourceFactory::Clear() {
  for (auto& [key, resource] : shared_) resource->Release();
  shared_.clear();
  loaders_.clear();
}

}  // namespace EngineCore
