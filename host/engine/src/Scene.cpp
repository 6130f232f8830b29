#include "EngineCore/Scene.h"

#include <array>
#include <cassert>

namespace EngineCore {

namespace {

// An affine transform of scene space: a 3 x 3 linear part and a translation, in doubles so
// that long chains of parents add up without drifting.
struct Affine {
  std::array<std::array<double, 3>, 3> linear{};
  std::array<double, 3> translation{};

  // Translation, then rotation, then scale of an object's own transform.
  static Affine OfLocal(const SceneObject& object) {
    const Quaternion& q = object.GetLocalRotation();
    const Vector3& s = object.GetLocalScale();
    const Vector3& t = object.GetLocalTranslation();
    const double x = q.x, y = q.y, z = q.z, w = q.w;
    const std::array<std::array<double, 3>, 3> rotation = {{
        {1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
        {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
        {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)},
    }};
    const std::array<double, 3> scale = {s.x, s.y, s.z};
    Affine local;
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) local.linear[r][c] = rotation[r][c] * scale[c];
    }
    local.translation = {t.x, t.y, t.z};
    return local;
  }

  // This transform after `inner`: a point goes through inner first.
  Affine Then(const Affine& inner) const {
    Affine product;
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) {
        product.linear[r][c] =
            linear[r][0] * inner.linear[0][c] + linear[r][1] * inner.linear[1][c] + linear[r][2] * inner.linear[2][c];
      }
      product.translation[r] = linear[r][0] * inner.translation[0] + linear[r][1] * inner.translation[1] +
                               linear[r][2] * inner.translation[2] + translation[r];
    }
    return product;
  }
};

}  // namespace

Scene::Scene() : editionManager_(std::make_unique<SceneEditionManager>()) {}

Scene::~Scene() = default;

SceneObject* Scene::CreateObject(std::optional<String> name, SceneObject* parent) {
  assert((!parent || (parent->GetIndex() < objects_.size() && objects_[parent->GetIndex()].get() == parent)) &&
         "the parent must be an object of this scene");
  objects_.push_back(std::make_unique<SceneObject>(std::move(name), parent));
  SceneObject* object = objects_.back().get();
  object->index_ = static_cast<std::uint32_t>(objects_.size() - 1);
  if (object->HasName()) objectsByName_.try_emplace(object->GetName().str(), object);
  return object;
}

SceneObject* Scene::FindObject(const String& name) const {
  const auto found = objectsByName_.find(name.str());
  return found == objectsByName_.end() ? nullptr : found->second;
}

void Scene::SearchAllObjects(std::uint32_t typeMask, std::vector<SceneObject*>& list) const {
  for (const auto& object : objects_) {
    if (object->GetTypeFlags() & typeMask) list.push_back(object.get());
  }
}

void Scene::ComputeWorldPositions(std::vector<Vector3>& positions) const {
  // Parents come before their children, so each object's parent is placed when it is reached.
  std::vector<Affine> world(objects_.size());
  positions.resize(objects_.size());
  for (std::size_t i = 0; i < objects_.size(); ++i) {
    const SceneObject& object = *objects_[i];
    const Affine local = Affine::OfLocal(object);
    world[i] = object.GetParent() ? world[object.GetParent()->GetIndex()].Then(local) : local;
    const auto& t = world[i].translation;
    positions[i] = Vector3(static_cast<float>(t[0]), static_cast<float>(t[1]), static_cast<float>(t[2]));
  }
}

void Scene::SetTag(SceneObject* object, const String& tag) { tags_[object] = tag; }

bool Scene::FindTag(const SceneObject* object, String& tag) const {
  const auto found = tags_.find(object);
  if (found == tags_.end()) return false;
  tag = found->second;
  return true;
}

}  // namespace EngineCore
