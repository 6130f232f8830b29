#include "EngineCore/Scene.h"

namespace EngineCore {

Scene::Scene() : editionManager_(std::make_unique<SceneEditionManager>()) {}

Scene::~Scene() = default;

SceneObject* Scene::CreateObject(std::optional<String> name, SceneObject* parent) {
  objects_.push_back(std::make_unique<SceneObject>(std::move(name), parent));
  return objects_.back().get();
}

SceneObject* Scene::FindObject(const String& name) const {
  for (const auto& object : objects_) {
    if (object->HasName() && object->GetName() == name) return object.get();
  }
  return nullptr;
}

void Scene::SearchAllObjects(std::uint32_t typeMask, std::vector<SceneObject*>& list) const {
  for (const auto& object : objects_) {
    if (object->GetTypeFlags() & typeMask) list.push_back(object.get());
  }
}

void Scene::SetTag(SceneObject* object, const String& tag) {
  for (std::size_t i = 0; i < taggedObjects_.size(); ++i) {
    if (taggedObjects_[i] == object) {
      tagNames_[i] = tag;
      return;
    }
  }
  taggedObjects_.push_back(object);
  tagNames_.push_back(tag);
}

bool Scene::FindTag(const SceneObject* object, String& tag) const {
  for (std::size_t i = 0; i < taggedObjects_.size(); ++i) {
    if (taggedObjects_[i] == object) {
      tag = tagNames_[i];
      return true;
    }
  }
  return false;
}

}  // namespace EngineCore
