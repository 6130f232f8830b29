#include "curves/CurveSet.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "EngineCore/AnimCurve.h"
#include "EngineCore/AnimTrack.h"
#include "curves/EulerAngles.h"
#include "curves/RotationTangents.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

namespace {

// The type of a key's tangents in one component: as the track records it, else as the file
// made them, by hand, along one line or apart.
EngineCore::TangentType TangentTypeOf(const EngineCore::AnimCurve& track, std::uint32_t key, std::uint32_t component,
                                      const EditorToolkit::KeyTangents& tangents) {
  const std::vector<EngineCore::TangentType>& types = track.GetTangentTypes();
  const std::size_t at = static_cast<std::size_t>(key) * track.GetTangentTypeWidth() + component;
  if (at < types.size()) return types[at];
  return tangents.in == tangents.out ? EngineCore::TangentType::Free : EngineCore::TangentType::Broken;
}

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

void CurveSet::ComputeColors(std::uint32_t trackType, std::uint32_t keyType, std::uint32_t component,
                             EditorCore::COLORREF& colour, EditorCore::COLORREF& selectionColour) {
  if (trackType == CurveInfo::Weights) {
    // Weights take hues of their own, apart from the reds, greens and blues of X, Y and Z:
    // amber, magenta, teal, gold, violet, pink, in turn. COLORREF bytes are B, G, R.
    static constexpr EditorCore::COLORREF kHues[] = {0x2896E6, 0xC850C8, 0xAAB428, 0x3CBED2, 0xE66E8C, 0x966EE6};
    colour = kHues[component % std::size(kHues)];
    // The selection is the hue halfway to white.
    selectionColour = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const EditorCore::COLORREF part = (colour >> shift) & 0xFFu;
      selectionColour |= ((part + 255u) / 2u) << shift;
    }
    return;
  }
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

void CurveSet::SetFrameRate(float framesPerSecond) {
  frameRate_ = framesPerSecond;
  for (auto& [key, curves] : table_) {
    for (auto& curve : curves) curve->Write({}).SetFrameRate(framesPerSecond);
  }
}

void CurveSet::BuildWeightCurves(std::uint32_t channelKey, const EngineCore::AnimCurve& track, Curves& curves) const {
  const std::uint32_t weights = track.GetWeightCount();
  const std::uint32_t count = KeyCount(track);
  for (std::uint32_t w = 0; w < weights; ++w) {
    auto curve = std::make_unique<CurveInfo>(channelKey, CurveInfo::Weights, w);
    EditorCore::COLORREF colour = 0;
    EditorCore::COLORREF selection = 0;
    ComputeColors(CurveInfo::Weights, track.GetKeyType(), w, colour, selection);
    EditorToolkit::Curve2& points = curve->Write({});
    points.SetColor(colour);
    points.SetSelectionColor(selection);
    points.SetInterpolation(track.IsCubic()                                           ? EditorToolkit::Curve2::Cubic
                            : track.GetInterpolation() == EngineCore::AnimCurve::Step ? EditorToolkit::Curve2::Step
                                                                                      : EditorToolkit::Curve2::Linear);
    points.SetFrameRate(frameRate_);
    EditorToolkit::Curve2::PointList list;
    EditorToolkit::Curve2::TangentList tangents;
    list.reserve(count);
    for (std::uint32_t k = 0; k < count; ++k) {
      EditorToolkit::EditablePoint& point = list.emplace_back();
      point.x = static_cast<float>(track.GetKeyFrame(k));
      point.y = track.GetWeightKey(k)[w];
      if (!track.IsCubic()) continue;
      EditorToolkit::KeyTangents& own = tangents.emplace_back();
      own.in[0] = track.GetWeightInTangent(k)[w];
      own.out[0] = track.GetWeightOutTangent(k)[w];
      own.type = TangentTypeOf(track, k, w, own);
    }
    points.SetCurve(std::move(list), std::move(tangents));
    curve->track = {curve.get(), nullptr, nullptr};
    const std::vector<EngineCore::String>& names = track.GetWeightNames();
    curve->sTargetName = w < names.size() ? names[w].str() : "Target " + std::to_string(w);
    curves.push_back(std::move(curve));
  }
}

CurveSet::Curves CurveSet::BuildCurves(std::uint32_t channelKey, const EngineCore::AnimChannel& channel) const {
  Curves curves;
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
      triple[c]->Write({}).SetColor(colour);
      triple[c]->Write({}).SetSelectionColor(selection);
      // The curve goes from key to key as the track plays.
      triple[c]->Write({}).SetInterpolation(track.IsCubic() ? EditorToolkit::Curve2::Cubic
                                            : track.GetInterpolation() == EngineCore::AnimCurve::Step
                                                ? EditorToolkit::Curve2::Step
                                                : EditorToolkit::Curve2::Linear);
      triple[c]->Write({}).SetFrameRate(frameRate_);
    }

    const std::uint32_t count = KeyCount(track);
    if (count > 0) {
      // The points are gathered first and set in one go: one pass over each curve's storage.
      EditorToolkit::Curve2::PointList points[3];
      for (auto& list : points) list.resize(count);
      const bool rotation = keyType == EngineCore::AnimCurve::KeyQuaternion;
      EditorToolkit::Curve2::TangentList tangents[3];
      if (track.IsCubic()) {
        for (auto& list : tangents) list.reserve(count);
      }
      // Angles are continuous from key to key by the Euler filter's own rule, so that what a
      // user filtered and saved comes back as it was left.
      EulerAngles::Triple previous{};
      float values[3];
      for (std::uint32_t i = 0; i < count; ++i) {
        KeyValues(track, i, values);
        if (rotation) {
          const EulerAngles::Triple angles = i == 0 ? EulerAngles::Triple{values[0], values[1], values[2]}
                                                    : EulerAngles::Nearest({values[0], values[1], values[2]}, previous);
          for (int c = 0; c < 3; ++c) values[c] = static_cast<float>(angles[c]);
          previous = {values[0], values[1], values[2]};
        }
        const auto frame = static_cast<float>(track.GetKeyFrame(i));
        for (int c = 0; c < 3; ++c) {
          EditorToolkit::EditablePoint& point = points[c][i];
          point.x = frame;
          point.y = values[c];
        }
        if (!track.IsCubic()) continue;
        if (rotation) {
          EditorToolkit::KeyTangents local = RotationTangents::ToLocal(
              track.GetQuaternionKey(i), track.GetQuaternionInTangent(i), track.GetQuaternionOutTangent(i));
          local.type = TangentTypeOf(track, i, 0, local);
          for (auto& list : tangents) list.push_back(local);
        } else {
          for (int c = 0; c < 3; ++c) {
            EditorToolkit::KeyTangents& own = tangents[c].emplace_back();
            own.in[0] = track.GetVector3InTangent(i)[c];
            own.out[0] = track.GetVector3OutTangent(i)[c];
            own.type = TangentTypeOf(track, i, static_cast<std::uint32_t>(c), own);
          }
        }
      }
      for (int c = 0; c < 3; ++c) triple[c]->Write({}).SetCurve(std::move(points[c]), std::move(tangents[c]));
    }
    for (auto& curve : triple) curve->track = {triple[0].get(), triple[1].get(), triple[2].get()};
    for (auto& curve : triple) curves.push_back(std::move(curve));
  }
  // A morph target's weight is a curve of its own, after the triples of the other tracks.
  if (const EngineCore::AnimCurve* weights = channel.GetCurve(EngineCore::AnimTrack::Weights);
      weights && weights->GetKeyType() == EngineCore::AnimCurve::KeyWeights) {
    BuildWeightCurves(channelKey, *weights, curves);
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
