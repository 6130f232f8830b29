#pragma once

#include <cstddef>
#include <vector>

#include "EngineCore/Resource.h"

namespace EditorToolkit {

// The resources with unsaved changes that modules report before the host closes something
// (a project, the application). Each resource is listed once; the list holds a reference
// to each until it is destroyed.
class SaveList {
 public:
  SaveList() = default;
  ~SaveList();
  SaveList(const SaveList&) = delete;
  SaveList& operator=(const SaveList&) = delete;

  // Adds a resource (a null one or one listed already is ignored).
  void AddResource(EngineCore::Resource* resource);
  static void AddResource(SaveList* list, EngineCore::Resource* resource) {
    if (list) list->AddResource(resource);
  }

  std::size_t GetCount() const { return resources_.size(); }
  EngineCore::Resource* GetAt(std::size_t index) const { return resources_[index]; }
  // Resources still modified now.
  std::size_t GetUnsavedCount() const;

 private:
  std::vector<EngineCore::Resource*> resources_;
};

}  // namespace EditorToolkit
