#include "curves/CurveSet.h"

#include <algorithm>
#include <cmath>

#include "EngineCore/AnimCurve.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

namespace {

// The three component values of key i, angles in degrees for rotations.
void KeyValues(const EngineCore::AnimCurve& curve, std::uint32_t i, float values[3]) {
  if (curve.GetKeyType() == EngineCore::AnimCurve::KeyQuaternion) {
    EngineCore::Vector3 angles;
    curve.GetQuaternionKey(i).GetAngles(angles);
    values[0] = angles.x * Ids::kDegreesPerRadian;
    values[1] = angles.y * Ids::kDegreesPerRadian;
    values[2] = angles.z * Ids::kDegreesPerRadian;
  } else {
    const EngineCore::Vector3& v = curve.GetVector3Key(i);
    values[0] = v.x;
    values[1] = v.y;
    values[2] = v.z;
  }
}

std::uint32_t KeyCount(const EngineCore::AnimCurve& curve) {
  return curve.GetKeySize() == 0 ? 0 : curve.GetByteSize() / curve.GetKeySize();
}

}  // namespace

float CurveSet::MakeContinuous(float a, float p) {
  if (std::abs(a + 360.0f - p) < std::abs(a - p)) a += 360.0f;
  if (std::abs(a - 360.0f - p) < std::abs(a - p)) a -= 360.0f;
  return a;
}

void CurveSet::ComputeColors(std::uint32_t trackType, std::uint32_t keyType, std::uint32_t component,
                             EditorCore::COLORREF& colour, EditorCore::COLORREF& selectionColour) {
  const std::uint32_t a = (25u * trackType) & 0xFFu;
  const std::uint32_t b = (50u * (trackType + 2u)) & 0xFFu;
  std::uint32_t a2 = 0;
  std::uint32_t b2 = 0;
  if (keyType == EngineCore::AnimCurve::KeyQuaternion) {
    a2 = (12u * trackType - 81u) & 0xFFu;
    b2 = (12u * trackType - 56u) & 0xFFu;
  } else {
    a2 = static_cast<std::uint32_t>(std::min(1.5 * a, 255.0));
    b2 = static_cast<std::uint32_t>(std::min(1.5 * b, 255.0));
  }
  // Bytes from high to low: X is (A, A, B), Y (A, B, A), Z (B, A, A).
  auto pack = [component](std::uint32_t low, std::uint32_t high) -> EditorCore::COLORREF {
    switch (component) {
      case CurveInfo::X: return (low << 16) | (low << 8) | high;
      case CurveInfo::Y: return (low << 16) | (high << 8) | low;
      default: return (high << 16) | (low << 8) | low;
    }
  };
  colour = pack(a, b);
  selectionColour = pack(a2, b2);
}

const CurveSet::Curves& CurveSet::LoadChannel(std::uint32_t channelKey, const EngineCore::AnimChannel& channel) {
  Curves& curves = table_[channelKey];
  curves = BuildCurves(channelKey, channel);
  return curves;
}

void CurveSet::LoadChannels(const std::vector<std::uint32_t>& keys,
                            const std::vector<const EngineCore::AnimChannel*>& channels) {
  const std::size_t count = std::min(keys.size(), channels.size());
  for (std::size_t i = 0; i < count; ++i) table_[keys[i]] = BuildCurves(keys[i], *channels[i]);
}

CurveSet::Curves CurveSet::BuildCurves(std::uint32_t channelKey, const EngineCore::AnimChannel& channel) {
  Curves curves;

  std::uint32_t maxFrame = 0;
  std::uint32_t maxKeys = 0;
  for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
    const EngineCore::AnimCurve& track = *channel.GetCurveAt(t);
    const std::uint32_t count = KeyCount(track);
    if (count == 0) continue;
    maxFrame = std::max(maxFrame, track.GetKeyFrame(count - 1));
    maxKeys = std::max(maxKeys, count);
  }

  for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
    const EngineCore::AnimCurve& track = *channel.GetCurveAt(t);
    const std::uint32_t keyType = track.GetKeyType();
    if (keyType != EngineCore::AnimCurve::KeyVector3 && keyType != EngineCore::AnimCurve::KeyQuaternion) continue;
    const std::uint32_t trackType = channel.GetTrackTypeAt(t);
    std::unique_ptr<CurveInfo> triple[3];
    for (std::uint32_t c = 0; c < 3; ++c) {
      triple[c] = std::make_unique<CurveInfo>(channelKey, trackType, c);
      EditorCore::COLORREF colour = 0;
      EditorCore::COLORREF selection = 0;
      ComputeColors(trackType, keyType, c, colour, selection);
      triple[c]->pCurve->SetColor(colour);
      triple[c]->pCurve->SetSelectionColor(selection);
    }

    const std::uint32_t count = KeyCount(track);
    if (count > 0) {
      // The points are gathered first and set in one go: one pass over each curve's storage.
      EditorToolkit::Curve2::PointList points[3];
      for (auto& list : points) list.reserve(maxKeys);
      const bool rotation = keyType == EngineCore::AnimCurve::KeyQuaternion;
      float previous[3] = {0.0f, 0.0f, 0.0f};
      auto addPoint = [&](float x, float values[3], bool continuous) {
        for (int c = 0; c < 3; ++c) {
          if (rotation && continuous) values[c] = MakeContinuous(values[c], previous[c]);
          previous[c] = values[c];
          EditorToolkit::EditablePoint& point = points[c].emplace_back();
          point.x = x;
          point.y = values[c];
        }
      };
      // A channel keyed only at frame 0 (a pose) shows its keys too: they are what the
      // write-back keeps.
      bool reached = false;
      float values[3];
      for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t frame = track.GetKeyFrame(i);
        KeyValues(track, i, values);
        addPoint(static_cast<float>(frame), values, i > 0);
        if (frame >= maxFrame) {
          reached = true;
          break;
        }
      }
      if (!reached) {
        KeyValues(track, count - 1, values);
        addPoint(static_cast<float>(maxFrame), values, true);
      }
      for (int c = 0; c < 3; ++c) triple[c]->pCurve->SetCurve(points[c]);
    }
    for (auto& curve : triple) curves.push_back(std::move(curve));
  }
  return curves;
}

const CurveSet::Curves* CurveSet::GetChannelCurves(std::uint32_t channelKey) const {
  const auto it = table_.find(channelKey);
  return it == table_.end() ? nullptr : &it->second;
}

void CurveSet::RemoveChannel(std::uint32_t channelKey) {
  const auto it = table_.find(channelKey);
  if (it != table_.end()) table_.erase(it);
}

void CurveSet::Clear() { table_.clear(); }

std::size_t CurveSet::GetCurveCount() const {
  std::size_t count = 0;
  for (const auto& [key, curves] : table_) count += curves.size();
  return count;
}

}  // namespace Tarvel
