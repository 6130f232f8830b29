#include "curves/RotationTangents.h"

namespace Tarvel {

using EngineCore::Quaternion;

std::array<float, 4> RotationTangents::Local(const Quaternion& key, const Quaternion& tangent) {
  const float squared = key.Dot(key);
  if (!(squared > 0.0f)) return {};
  const Quaternion inverse(-key.x / squared, -key.y / squared, -key.z / squared, key.w / squared);
  const Quaternion local = inverse * tangent;
  return {local.x, local.y, local.z, local.w};
}

EditorToolkit::KeyTangents RotationTangents::ToLocal(const Quaternion& key, const Quaternion& in,
                                                     const Quaternion& out) {
  return {Local(key, in), Local(key, out)};
}

Quaternion RotationTangents::FromLocal(const Quaternion& key, const std::array<float, 4>& local) {
  return key * Quaternion(local[0], local[1], local[2], local[3]);
}

}  // namespace Tarvel
