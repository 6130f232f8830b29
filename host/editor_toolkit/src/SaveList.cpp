#include "EditorToolkit/SaveList.h"

#include <algorithm>

namespace EditorToolkit {

SaveList::~SaveList() {
  for (EngineCore::Resource* resource : resources_) resource->Release();
}

void SaveList::AddResource(EngineCore::Resource* resource) {
  if (!resource || std::find(resources_.begin(), resources_.end(), resource) != resources_.end()) return;
  resource->AddRef();
  resources_.push_back(resource);
}

std::size_t SaveList::GetUnsavedCount() const {
  return static_cast<std::size_t>(std::count_if(resources_.begin(), resources_.end(),
                                                [](const EngineCore::Resource* r) { return r->IsModified(); }));
}

}  // namespace EditorToolkit
