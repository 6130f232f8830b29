#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "EngineCore/Resource.h"
#include "EngineCore/String.h"

namespace EngineCore {

class AnimClip;

// Resolves (kind, name) to a shared resource.
//
// Contract:
//   1. The factory keeps one reference to every resource it handed out, so asking twice for
//      the same name gives the same object.
//   2. GetResource returns the resource with a reference added for the caller, who releases
//      it; null when no loader knows the name.
//   3. Loaders are set per kind by whoever opens a project (the file formats library).
class ResourceFactory {
 public:
  // Makes a new resource with one reference (which the factory keeps), or null.
  using Loader = std::function<Resource*(const String& name)>;

  static ResourceFactory& GetInstance();

  void SetLoader(std::uint32_t kind, Loader loader);
  Resource* GetResource(std::uint32_t kind, const String& name);
  AnimClip* GetAnimClip(const String& name);
  // Shares a resource made elsewhere (a new clip); the factory takes its own reference.
  void AddResource(Resource* resource);
  bool IsLoaded(std::uint32_t kind, const String& name) const;
  // The resources of a kind handed out so far, in name order; the factory keeps them alive.
  std::vector<Resource*> GetLoaded(std::uint32_t kind) const;
  // Drops the factory's reference to that resource, which the next GetResource reads again;
  // false when the factory holds none of that kind and name.
  bool Unload(std::uint32_t kind, const String& name);
  // Drops the factory's references and its loaders (a project closes).
  void Clear();

 private:
  ResourceFactory() = default;

  std::map<std::uint32_t, Loader> loaders_;
  std::map<std::pair<std::uint32_t, String>, Resource*> shared_;
};

}  // namespace EngineCore
