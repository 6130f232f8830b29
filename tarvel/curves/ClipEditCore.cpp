#include "curves/ClipEditCore.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <set>
#include <vector>

#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "EngineCore/SceneEditionManager.h"
#include "curves/ChannelTracks.h"
#include "curves/ClipWriteBack.h"
#include "curves/CurveEvaluation.h"
#include "curves/FrameworkMessages.h"
#include "curves/TangentShaper.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

using EditorToolkit::Curve2;
using EditorToolkit::EditablePoint;
using EngineCore::AnimClip;

ClipEditCore::~ClipEditCore() { DetachClip(); }

bool ClipEditCore::AttachClip(EngineCore::AnimClip* newClip) {
  if (newClip == clip) return false;
  DetachClip();
  clip = newClip;
  if (!clip) return true;
  clip->AddRef();
  RebuildAllCurves();
  // A clip that comes with unsaved edits (recovered after a crash) is in no state its file holds.
  if (clip->IsModified()) savedState = kNoSavedState;
  return true;
}

void ClipEditCore::DetachClip() {
  DestroyAllCurves();
  if (!clip) return;
  clip->Release();
  clip = nullptr;
}

void ClipEditCore::ReloadClip() {
  if (!clip) return;
  DestroyAllCurves();
  RebuildAllCurves();
}

EngineCore::SceneEditionManager* ClipEditCore::GetSceneSelection() const {
  return scene ? scene->GetEditionManager() : nullptr;
}

const CurveSet::Curves& ClipEditCore::BuildChannelCurves(std::uint32_t channelKey,
                                                         const EngineCore::AnimChannel& channel) {
  ForgetChannelCurves(channelKey);
  if (clip) curveSet.SetFrameRate(clip->GetFrameRate());
  return curveSet.LoadChannel(channelKey, channel);
}

void ClipEditCore::SetClipFrameRate(float rate) {
  clip->SetFrameRate(rate);
  curveSet.SetFrameRate(clip->GetFrameRate());
}

void ClipEditCore::ForgetChannelCurves(std::uint32_t channelKey) {
  // A reload replaces the records the selection may still show.
  selection.RemoveChannel(channelKey);
  // The channel holds the keys its curves are built from until its first write-back, which
  // keeps them first (see WriteBackChannel).
  built.erase(channelKey);
  depth[channelKey] = 0;
}

void ClipEditCore::RebuildAllCurves() {
  // Curves built anew from the clip: the rotation signs come from its keys as they are now.
  DestroyAllCurves();
  if (!clip) return;
  std::vector<std::uint32_t> keys;
  std::vector<const EngineCore::AnimChannel*> channels;
  for (std::uint32_t i = 0; i < clip->GetChannelCount(); ++i) {
    const std::uint32_t key = clip->GetChannelKeyAt(i);
    ForgetChannelCurves(key);
    keys.push_back(key);
    channels.push_back(clip->GetChannelAt(i));
  }
  curveSet.SetFrameRate(clip->GetFrameRate());
  curveSet.LoadChannels(keys, channels);
}

void ClipEditCore::RemoveChannelCurves(std::uint32_t channelKey) {
  selection.RemoveChannel(channelKey);
  curveSet.RemoveChannel(channelKey);
  built.erase(channelKey);
  depth.erase(channelKey);
}

void ClipEditCore::DestroyAllCurves() {
  pending.reset();
  selection.Clear();
  curveSet.Clear();
  built.clear();
  rotationSigns.clear();
  depth.clear();
  history.Clear();
  savedState = 0;
}

const CurveSet::Curves* ClipEditCore::GetChannelCurves(std::uint32_t channelKey) const {
  return curveSet.GetChannelCurves(channelKey);
}

bool ClipEditCore::ShowChannel(std::uint32_t channelKey) {
  const CurveSet::Curves* curves = curveSet.GetChannelCurves(channelKey);
  if (!curves) return false;
  selection.AddCurves(*curves, GetChannelLabel(channelKey));
  return true;
}

std::string ClipEditCore::GetChannelLabel(std::uint32_t channelKey) const {
  const EngineCore::AnimChannel* channel = clip ? clip->GetChannel(channelKey) : nullptr;
  // A channel the clip no longer knows is labelled by its key, as a nameless one.
  if (!channel || channel->GetName().GetLength() < 2) {
    return EngineCore::String::Format("0x%x", channelKey).str();
  }
  return channel->GetName().str();
}

bool ClipEditCore::SetTimeCursor(float frame) {
  if (frame == timeCursor) return false;
  timeCursor = frame;
  return true;
}

float ClipEditCore::WholeFrame(float frame) {
  const float floor = std::floor(frame);
  return frame - floor > 0.5f ? floor + 1.0f : floor;
}

bool ClipEditCore::WriteBackChannel(std::uint32_t channelKey) {
  if (!clip) return false;
  KeepBuiltKeys(channelKey);
  return ClipWriteBack::WriteBackChannel(*clip, curveSet, channelKey, &rotationSigns);
}

void ClipEditCore::WriteBackChannels(const std::vector<std::uint32_t>& keys) {
  if (!clip) return;
  for (const std::uint32_t key : keys) KeepBuiltKeys(key);
  ClipWriteBack::WriteBackChannels(*clip, curveSet, keys, &rotationSigns);
}

void ClipEditCore::KeepBuiltKeys(std::uint32_t channelKey) {
  const EngineCore::AnimChannel* channel = clip->GetChannel(channelKey);
  if (channel && curveSet.GetChannelCurves(channelKey) && !built.count(channelKey)) {
    built.emplace(channelKey, ChannelData::Capture(*channel));
  }
  // Taken once, at the channel's first write-back, and never again (not even after a change
  // of the channel's tracks): every write-back of the channel then gives one state of its
  // curves the same signs.
  if (channel && !rotationSigns.count(channelKey)) {
    const EngineCore::AnimCurve* rotation = channel->GetCurve(EngineCore::AnimTrack::Rotation);
    rotationSigns.emplace(channelKey, rotation ? *rotation : EngineCore::AnimCurve());
  }
}

void ClipEditCore::WriteBackAllChannels() {
  if (!clip) return;
  std::vector<std::uint32_t> keys;
  for (const auto& [key, curves] : curveSet.GetTable()) keys.push_back(key);
  WriteBackChannels(keys);
  CheckKeyFrameRange();
}

bool ClipEditCore::CheckKeyFrameRange() {
  if (!clip || !ClipWriteBack::UpdateKeyFrameRange(*clip)) return false;
  FrameworkMessages::Broadcast(Ids::kMsgKeyFrameRange, 0, 0);
  return true;
}

void ClipEditCore::NoteSavedState() {
  if (clip && !clip->IsModified()) savedState = history.GetStateId();
}

void ClipEditCore::UpdateModified() {
  if (clip) clip->SetModified(history.GetStateId() != savedState);
}

void ClipEditCore::BeginEdit(const char* label) {
  NoteSavedState();
  pending = std::make_unique<PendingEdit>();
  pending->label = label;
}

ClipEditCore::Touched* ClipEditCore::FindTouched(const CurveInfo* curve) const {
  if (!pending) return nullptr;
  for (Touched& touched : pending->before) {
    if (touched.curve == curve) return &touched;
  }
  return nullptr;
}

bool ClipEditCore::KeptPartHolds(const Touched& touched) {
  if (touched.whole || touched.curve->pCurve->GetPointCount() == touched.count) return true;
  EngineCore::Log::Write(EngineCore::Log::Error,
                         "Tarvel: a curve changed its count during an action that promised it would not; "
                         "the change cannot be undone");
  return false;
}

bool ClipEditCore::StateBefore(const Touched& touched, std::uint32_t offset, std::uint32_t size,
                               Curve2::PointList& points) {
  if (!KeptPartHolds(touched)) return false;
  const Curve2& now = *touched.curve->pCurve;
  points.resize(size);
  for (std::uint32_t i = 0; i < size; ++i) {
    const std::uint32_t at = offset + i;
    const bool kept = at >= touched.offset && at - touched.offset < touched.points.size();
    points[i] = kept ? touched.points[at - touched.offset] : *now.GetPointAt(at);
  }
  return true;
}

bool ClipEditCore::Revert(CurveInfo* curve) {
  const Touched* touched = FindTouched(curve);
  if (!touched) return false;
  Curve2::PointList before;
  if (touched->whole) {
    before = touched->points;
  } else if (!StateBefore(*touched, 0, touched->count, before)) {
    return false;
  }
  // A curve kept in part kept its tangents.
  curve->Write({}).SetCurve(std::move(before),
                            touched->whole ? Curve2::TangentList(touched->tangents) : curve->pCurve->GetTangents());
  return true;
}

EditorToolkit::Curve2* ClipEditCore::Touch(CurveInfo* curve) {
  if (!pending || !curve) return nullptr;
  if (Touched* touched = FindTouched(curve)) {
    if (!touched->whole) {
      Curve2::PointList all;
      if (StateBefore(*touched, 0, touched->count, all)) {
        touched->points = std::move(all);
        touched->tangents = curve->pCurve->GetTangents();
        touched->whole = true;
        touched->offset = 0;
      }
    }
    return &curve->Write({});
  }
  pending->before.push_back({curve, curve->pCurve->GetCurve(), curve->pCurve->GetTangents(), true, 0, 0});
  return &curve->Write({});
}

EditorToolkit::Curve2* ClipEditCore::TouchValues(CurveInfo* curve, std::uint32_t first, std::uint32_t last) {
  if (!pending || !curve) return nullptr;
  const std::uint32_t count = curve->pCurve->GetPointCount();
  if (count == 0 || first > last || first >= count) return FindTouched(curve) ? &curve->Write({}) : nullptr;
  last = std::min(last, count - 1);
  Touched* touched = FindTouched(curve);
  if (!touched) {
    const Curve2& now = *curve->pCurve;
    Curve2::PointList part(last - first + 1);
    for (std::uint32_t i = first; i <= last; ++i) part[i - first] = *now.GetPointAt(i);
    pending->before.push_back({curve, std::move(part), {}, false, first, count});
    return &curve->Write({});
  }
  if (!touched->whole) {
    const std::uint32_t low = std::min(first, touched->offset);
    const std::uint32_t high = std::max<std::uint32_t>(last, touched->offset + touched->points.size() - 1);
    Curve2::PointList wider;
    if (StateBefore(*touched, low, high - low + 1, wider)) {
      touched->points = std::move(wider);
      touched->offset = low;
    }
  }
  return &curve->Write({});
}

EditorToolkit::Curve2* ClipEditCore::Edited(const CurveInfo* curve) const {
  Touched* touched = FindTouched(curve);
  return touched ? &touched->curve->Write({}) : nullptr;
}

std::size_t ClipEditCore::GetPendingBytes() const {
  if (!pending) return 0;
  std::size_t bytes = 0;
  for (const Touched& touched : pending->before) {
    bytes += touched.points.capacity() * sizeof(EditablePoint) +
             touched.tangents.capacity() * sizeof(EditorToolkit::KeyTangents);
  }
  return bytes;
}

void ClipEditCore::TouchSelectedRows() {
  for (CurveInfo* curve : selection.GetSelectedRows()) Touch(curve);
}

namespace {

// The sorted frames that a curve's points are keyed on.
std::vector<std::uint32_t> KeyFramesOf(const EditorToolkit::Curve2& curve) {
  std::vector<std::uint32_t> frames;
  frames.reserve(curve.GetPointCount());
  for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i) {
    const std::uint32_t frame = ClipWriteBack::KeyFrameOf(curve.GetPointAt(i)->x);
    if (frames.empty() || frames.back() != frame) frames.push_back(frame);
  }
  return frames;
}

}  // namespace

void ClipEditCore::ShareKeyFrames() {
  std::set<std::pair<std::uint32_t, std::uint32_t>> tracks;
  for (const Touched& touched : pending->before) {
    if (touched.whole) tracks.insert({touched.curve->iChannelKey, touched.curve->iTrackType});
  }
  for (const auto& [channelKey, trackType] : tracks) {
    // The curves of the track: X, Y and Z, or one per morph target.
    const std::vector<CurveInfo*> axes = TrackCurves(channelKey, trackType);
    if (axes.size() < (trackType == CurveInfo::Weights ? 1u : 3u)) continue;
    std::vector<std::vector<std::uint32_t>> frames(axes.size());
    for (std::size_t c = 0; c < axes.size(); ++c) frames[c] = KeyFramesOf(*axes[c]->pCurve);
    std::vector<std::uint32_t> all;
    for (const auto& own : frames) {
      std::vector<std::uint32_t> merged;
      std::set_union(all.begin(), all.end(), own.begin(), own.end(), std::back_inserter(merged));
      all = std::move(merged);
    }
    // Every value is read before any point comes: a rotation's axes read one another.
    // The points come where the curve was: a cubic curve's with the tangents that split it.
    struct Missing {
      EngineCore::Vector2 point;
      EditorToolkit::KeyTangents tangents;
    };
    std::vector<std::vector<Missing>> missing(axes.size());
    for (std::size_t c = 0; c < axes.size(); ++c) {
      // An axis without points plays its rest value throughout and stays without.
      if (frames[c].empty() || frames[c].size() == all.size()) continue;
      std::vector<std::uint32_t> lacking;
      std::set_difference(all.begin(), all.end(), frames[c].begin(), frames[c].end(), std::back_inserter(lacking));
      for (const std::uint32_t frame : lacking) {
        Missing& key = missing[c].emplace_back();
        key.point.x = static_cast<float>(frame);
        CurveEvaluation::Split(*axes[c], key.point.x, key.point.y, key.tangents);
      }
    }
    for (std::size_t c = 0; c < axes.size(); ++c) {
      if (missing[c].empty()) continue;
      Curve2& points = *Touch(axes[c]);
      for (const Missing& key : missing[c]) points.AddPoint(key.point, false, key.tangents);
    }
  }
}

std::vector<CurveInfo*> ClipEditCore::TrackCurves(std::uint32_t channelKey, std::uint32_t trackType) const {
  std::vector<CurveInfo*> axes;
  for (std::uint32_t c = 0; CurveInfo* axis = FindCurve({channelKey, trackType, c}); ++c) axes.push_back(axis);
  return axes;
}

std::vector<Curve2::TangentList> ClipEditCore::MadeTangents(const std::vector<CurveInfo*>& axes) {
  std::vector<Curve2::TangentList> made(axes.size());
  if (axes.size() == 3 && axes[0]->iTrackType == CurveInfo::Rotation) {
    // A rotation's axes share its track's tangents, made once.
    Curve2::TangentList tangents;
    if (TangentShaper::ShapeRotation({axes[0]->pCurve.get(), axes[1]->pCurve.get(), axes[2]->pCurve.get()}, tangents)) {
      made.assign(3, tangents);
    }
    return made;
  }
  for (std::size_t c = 0; c < axes.size(); ++c) {
    if (!TangentShaper::Shape(*axes[c]->pCurve, made[c])) made[c].clear();
  }
  return made;
}

void ClipEditCore::PutTangents(Curve2& curve, const Curve2::TangentList& tangents) {
  for (std::uint32_t i = 0; i < tangents.size(); ++i) curve.SetTangentsAt(i, tangents[i]);
}

void ClipEditCore::ShapeTangents() {
  std::set<std::pair<std::uint32_t, std::uint32_t>> tracks;
  for (const Touched& touched : pending->before) {
    // Only keys of made types change; most curves have none.
    if (TangentShaper::HasMadeKeys(*touched.curve->pCurve)) {
      tracks.insert({touched.curve->iChannelKey, touched.curve->iTrackType});
    }
  }
  for (const auto& [channelKey, trackType] : tracks) {
    const std::vector<CurveInfo*> axes = TrackCurves(channelKey, trackType);
    const std::vector<Curve2::TangentList> made = MadeTangents(axes);
    for (std::size_t c = 0; c < axes.size(); ++c) {
      if (!made[c].empty()) PutTangents(*Touch(axes[c]), made[c]);
    }
  }
}

bool ClipEditCore::EndEdit() {
  if (!pending) return false;
  // Keys of one track share their frames: an axis that lacks a frame its siblings have gets
  // a point there, on its own curve, as part of this step.
  ShareKeyFrames();
  // Keys whose type makes their tangents take those of where they and their neighbours are now.
  ShapeTangents();
  const std::unique_ptr<PendingEdit> edit = std::move(pending);
  auto step = std::make_unique<EditStep>(edit->label);
  step->rateBefore = edit->rateBefore;
  step->rateAfter = edit->rateAfter;
  std::set<std::uint32_t> channels;
  for (const Touched& touched : edit->before) {
    const CurveInfo* curve = touched.curve;
    EditStep::CurveChange change{{curve->iChannelKey, curve->iTrackType, curve->iComponent}, {}};
    if (!KeptPartHolds(touched)) {
      channels.insert(curve->iChannelKey);
      continue;
    }
    const bool changed = touched.whole ? change.delta.Take(touched.points, touched.tangents, *curve->pCurve)
                                       : change.delta.TakeSlice(touched.points, touched.offset, *curve->pCurve);
    if (!changed) continue;
    channels.insert(curve->iChannelKey);
    step->curveChanges.push_back(std::move(change));
  }
  if (step->IsEmpty()) return false;
  std::string refusal = CheckClipLimits(*step);
  if (!refusal.empty()) {
    // Nothing reached the clip yet but its rate: the curves go back, and the rate.
    for (auto it = step->curveChanges.rbegin(); it != step->curveChanges.rend(); ++it) {
      if (CurveInfo* curve = FindCurve(it->id)) it->delta.Swap(curve->Write({}));
    }
    if (step->rateBefore != step->rateAfter) SetClipFrameRate(step->rateBefore);
    Refuse(refusal);
    return false;
  }
  for (std::uint32_t key : channels) ++depth[key];
  WriteBackChannels(std::vector<std::uint32_t>(channels.begin(), channels.end()));
  // A track holds a key on every whole frame its curves do not run straight through, which
  // only the write-back counts.
  if (clip->CountKeys() > AnimClip::kMaxKeys) {
    Apply(*step, false);
    Refuse("the clip would hold " + std::to_string(clip->CountKeys()) + " keys, more than the " +
           std::to_string(AnimClip::kMaxKeys) + " a clip file can hold");
    return false;
  }
  CheckKeyFrameRange();
  history.Push(std::move(step));
  UpdateModified();
  return true;
}

std::string ClipEditCore::CheckClipLimits(const EditStep& step) const {
  for (const EditStep::CurveChange& change : step.curveChanges) {
    const CurveInfo* curve = FindCurve(change.id);
    const std::uint32_t count = curve ? curve->pCurve->GetPointCount() : 0;
    if (count == 0) continue;
    const float last = curve->pCurve->GetPointAt(count - 1)->x;
    if (last >= static_cast<float>(EngineCore::AnimCurve::kMaxKeyFrame) + 1.0f) {
      return "a key would lie on frame " + std::to_string(static_cast<long long>(last)) + ", past frame " +
             std::to_string(EngineCore::AnimCurve::kMaxKeyFrame) + ", the last a clip file can hold";
    }
  }
  return {};
}

void ClipEditCore::Refuse(const std::string& why) const {
  const std::string sentence = "The edit was taken back: " + why + ".";
  EngineCore::Log::Write(EngineCore::Log::Warning, "Tarvel: %s", sentence.c_str());
  if (refusalSink) refusalSink(sentence);
}

EditStep::ChannelChange ClipEditCore::CaptureChannel(std::uint32_t channelKey, bool added) const {
  EditStep::ChannelChange change;
  change.added = added;
  change.key = channelKey;
  change.position = static_cast<std::uint32_t>(std::max(clip->FindChannelIndex(channelKey), 0));
  change.data = ChannelData::Capture(*clip->GetChannel(channelKey));
  if (const CurveSet::Curves* curves = curveSet.GetChannelCurves(channelKey)) {
    for (const auto& curve : *curves) {
      change.curves.push_back({CurveId{curve->iChannelKey, curve->iTrackType, curve->iComponent},
                               curve->pCurve->GetCurve(), curve->pCurve->GetTangents()});
    }
  }
  // A channel never written back still holds the keys its curves were built from.
  const auto original = built.find(channelKey);
  change.built = original != built.end() ? original->second : change.data;
  if (const auto it = depth.find(channelKey); it != depth.end()) change.depth = it->second;
  if (const auto it = rotationSigns.find(channelKey); it != rotationSigns.end()) change.rotationSigns = it->second;
  return change;
}

std::uint32_t ClipEditCore::CreateChannel(const ChannelDesc& desc) {
  if (!clip || desc.name.GetLength() < 2) return 0;
  NoteSavedState();
  if (!clip->AddChannel(desc.name)) return 0;
  const std::uint32_t key = AnimClip::ComputeChannelKey(desc.name);
  EngineCore::AnimChannel& channel = *clip->GetChannel(key);
  ChannelTracks::Apply(channel, desc, false);
  BuildChannelCurves(key, channel);
  auto step = std::make_unique<EditStep>("CreateChannel");
  step->channelChanges.push_back(CaptureChannel(key, true));
  history.Push(std::move(step));
  UpdateModified();
  return key;
}

bool ClipEditCore::RemoveChannels(const std::vector<std::uint32_t>& channelKeys) {
  if (!clip) return false;
  NoteSavedState();
  auto step = std::make_unique<EditStep>("RemoveChannels");
  for (std::uint32_t key : channelKeys) {
    if (!clip->GetChannel(key)) continue;
    step->channelChanges.push_back(CaptureChannel(key, false));
    PutChannel(step->channelChanges.back(), false);
  }
  if (step->IsEmpty()) return false;
  history.Push(std::move(step));
  CheckKeyFrameRange();
  UpdateModified();
  return true;
}

std::uint32_t ClipEditCore::EditChannel(std::uint32_t channelKey, const ChannelDesc& desc) {
  const int position = clip ? clip->FindChannelIndex(channelKey) : -1;
  if (position < 0) return 0;
  EngineCore::AnimChannel& channel = *clip->GetChannelAt(static_cast<std::uint32_t>(position));
  const bool wanted[3] = {desc.bTranslation, desc.bRotation, desc.bScale};
  bool same = channel.GetName() == desc.name;
  for (std::uint32_t type = EngineCore::AnimTrack::Translation; type <= EngineCore::AnimTrack::Scale; ++type) {
    same = same && channel.HasTrack(type) == wanted[type - 1];
  }
  if (same) return channelKey;
  NoteSavedState();
  EditStep::ChannelChange removed = CaptureChannel(channelKey, false);
  if (!clip->ChangeChannelNameAt(static_cast<std::uint32_t>(position), desc.name)) return 0;
  const std::uint32_t key = clip->GetChannelKeyAt(static_cast<std::uint32_t>(position));
  ChannelTracks::Apply(channel, desc, true);
  RemoveChannelCurves(channelKey);
  BuildChannelCurves(key, channel);
  auto step = std::make_unique<EditStep>("EditChannel");
  step->channelChanges.push_back(std::move(removed));
  step->channelChanges.push_back(CaptureChannel(key, true));
  history.Push(std::move(step));
  CheckKeyFrameRange();
  UpdateModified();
  return key;
}

void ClipEditCore::PutChannel(const EditStep::ChannelChange& change, bool in) {
  if (!in) {
    RemoveChannelCurves(change.key);
    if (!clip->RemoveChannel(change.key)) {
      EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: channel %s was not in the clip",
                             change.data.GetName().c_str());
    }
    return;
  }
  if (!clip->InsertChannel(change.position, change.data.GetName())) {
    EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: channel %s could not come back",
                           change.data.GetName().c_str());
    return;
  }
  EngineCore::AnimChannel& channel = *clip->GetChannel(change.key);
  change.data.RestoreTracks(channel);
  curveSet.LoadChannel(change.key, channel);
  for (const EditStep::CurveState& state : change.curves) {
    if (CurveInfo* curve = FindCurve(state.id)) curve->Write({}).SetCurve(state.points, state.tangents);
  }
  built[change.key] = change.built;
  depth[change.key] = change.depth;
  // Write-backs from here on give its rotation keys the signs they gave them then.
  if (change.rotationSigns) {
    rotationSigns[change.key] = *change.rotationSigns;
  } else {
    rotationSigns.erase(change.key);
  }
}

CurveInfo* ClipEditCore::FindCurve(const CurveId& id) const {
  const CurveSet::Curves* curves = curveSet.GetChannelCurves(id.channelKey);
  if (!curves) return nullptr;
  for (const auto& curve : *curves) {
    if (curve->iTrackType == id.trackType && curve->iComponent == id.component) return curve.get();
  }
  return nullptr;
}

void ClipEditCore::Apply(EditStep& step, bool forward) {
  lastStepChangedChannels = !step.channelChanges.empty();
  if (step.rateBefore != step.rateAfter) SetClipFrameRate(forward ? step.rateAfter : step.rateBefore);
  if (forward) {
    for (const EditStep::ChannelChange& change : step.channelChanges) PutChannel(change, change.added);
  }
  std::set<std::uint32_t> channels;
  auto swap = [&](EditStep::CurveChange& change) {
    if (CurveInfo* curve = FindCurve(change.id)) {
      if (!change.delta.Swap(curve->Write({}))) {
        EngineCore::Log::Write(EngineCore::Log::Error,
                               "Tarvel: a step of the undo history no longer fits its curve, which keeps its keys");
      }
      channels.insert(change.id.channelKey);
    }
  };
  if (forward) {
    for (EditStep::CurveChange& change : step.curveChanges) swap(change);
  } else {
    for (auto it = step.curveChanges.rbegin(); it != step.curveChanges.rend(); ++it) swap(*it);
  }
  for (std::uint32_t key : channels) {
    int& changes = depth[key];
    changes += forward ? 1 : -1;
    const auto original = built.find(key);
    EngineCore::AnimChannel* channel = clip->GetChannel(key);
    if (changes == 0 && original != built.end() && channel) {
      original->second.RestoreTracks(*channel);
    } else {
      WriteBackChannel(key);
    }
  }
  if (!forward) {
    for (auto it = step.channelChanges.rbegin(); it != step.channelChanges.rend(); ++it) PutChannel(*it, !it->added);
  }
  CheckKeyFrameRange();
}

bool ClipEditCore::ChangeInterpolation(const std::vector<TrackKey>& tracks, std::uint32_t how) {
  if (!clip || pending) return false;
  std::map<std::uint32_t, std::set<std::uint32_t>> byChannel;
  for (const auto& [channelKey, trackType] : tracks) {
    const EngineCore::AnimChannel* channel = clip->GetChannel(channelKey);
    const EngineCore::AnimCurve* keys = channel ? channel->GetCurve(trackType) : nullptr;
    if (keys && keys->GetInterpolation() != how && FindCurve({channelKey, trackType, 0})) {
      byChannel[channelKey].insert(trackType);
    }
  }
  if (byChannel.empty()) return false;
  NoteSavedState();
  auto step = std::make_unique<EditStep>("Interpolation");
  for (const auto& [channelKey, trackTypes] : byChannel) {
    EditStep::ChannelChange before = CaptureChannel(channelKey, false);
    EngineCore::AnimChannel& channel = *clip->GetChannel(channelKey);
    for (const std::uint32_t trackType : trackTypes) {
      EngineCore::AnimCurve& keys = *channel.GetCurve(trackType);
      const std::uint32_t was = keys.GetInterpolation();
      keys.SetInterpolation(how);
      const std::vector<CurveInfo*> axes = TrackCurves(channelKey, trackType);
      const auto type = was == Curve2::Linear ? EngineCore::TangentType::Linear : EngineCore::TangentType::AutoClamped;
      for (CurveInfo* axis : axes) {
        Curve2& points = axis->Write({});
        points.SetInterpolation(how);
        for (std::uint32_t i = 0; i < points.GetPointCount(); ++i) points.SetTangentsAt(i, {{}, {}, type});
      }
      const std::vector<Curve2::TangentList> made = MadeTangents(axes);
      for (std::size_t c = 0; c < axes.size(); ++c) PutTangents(axes[c]->Write({}), made[c]);
    }
    WriteBackChannel(channelKey);
    // A linear rotation plays each pair of keys the short way whatever their signs; a spline
    // plays them as stored: its keys take one sign after another, which later write-backs keep.
    EngineCore::AnimCurve* rotation = channel.GetCurve(EngineCore::AnimTrack::Rotation);
    if (how == Curve2::Cubic && trackTypes.count(CurveInfo::Rotation) && rotation) {
      EngineCore::AnimCurve continuous;
      continuous.SetKeyType(EngineCore::AnimCurve::KeyQuaternion);
      rotation->AlignRotations(continuous);
      rotationSigns[channelKey] = *rotation;
    }
    // The channel's keys now are those its curves stand for: an undo back to here restores them.
    built[channelKey] = ChannelData::Capture(channel);
    depth[channelKey] = 0;
    step->channelChanges.push_back(std::move(before));
    step->channelChanges.push_back(CaptureChannel(channelKey, true));
  }
  history.Push(std::move(step));
  CheckKeyFrameRange();
  UpdateModified();
  return true;
}

bool ClipEditCore::ChangeFrameRate(float rate, bool keepTimes, float tolerance) {
  if (!clip || pending || !std::isfinite(rate) || !(rate > 0.0f) || rate == clip->GetFrameRate()) return false;
  const float before = clip->GetFrameRate();
  const double factor = static_cast<double>(rate) / before;
  BeginEdit("FrameRate");
  pending->rateBefore = before;
  pending->rateAfter = rate;
  // Every curve's new points are found before any curve changes: a rotation's axes read one
  // another between keys.
  struct Retimed {
    CurveInfo* curve;
    Curve2::PointList points;
    Curve2::TangentList tangents;
    bool sampled;
  };
  std::vector<Retimed> retimed;
  for (const auto& [channelKey, curves] : curveSet.GetTable()) {
    for (const auto& curve : curves) {
      const Curve2& now = *curve->pCurve;
      if (now.GetPointCount() == 0 || (!keepTimes && !now.IsCubic())) continue;
      Retimed& change = retimed.emplace_back(Retimed{curve.get(), now.GetCurve(), now.GetTangents(), false});
      if (!keepTimes) {
        // The keys keep their frames, so the spline keeps its shape over frames: its slopes per
        // second change with the rate.
        for (auto& tangents : change.tangents) {
          for (int c = 0; c < 4; ++c) {
            tangents.in[c] = static_cast<float>(tangents.in[c] * factor);
            tangents.out[c] = static_cast<float>(tangents.out[c] * factor);
          }
        }
        continue;
      }
      bool whole = true;
      for (const auto& point : change.points) {
        const double frame = point.x * factor;
        whole = whole && std::abs(frame - std::round(frame)) <= 0.001;
      }
      if (whole) {
        for (auto& point : change.points) point.x = static_cast<float>(std::round(point.x * factor));
        continue;
      }
      // Keys that would fall between frames: the curve is sampled on every new frame, a cubic
      // one with the slopes there, and thinned again below.
      const double first = std::ceil(change.points.front().x * factor - 0.001);
      const double last = std::floor(change.points.back().x * factor + 0.001);
      change.points.clear();
      change.tangents.clear();
      change.sampled = true;
      for (double frame = first; frame <= last; frame += 1.0) {
        EditorToolkit::EditablePoint& point = change.points.emplace_back();
        point.x = static_cast<float>(frame);
        CurveEvaluation::Split(*curve, static_cast<float>(frame / factor), point.y, change.tangents.emplace_back());
      }
    }
  }
  // Curves thinned below read their spline at the new rate.
  SetClipFrameRate(rate);
  for (Retimed& change : retimed) {
    Curve2& curve = *Touch(change.curve);
    curve.SetCurve(std::move(change.points), std::move(change.tangents));
    if (change.sampled && curve.GetPointCount() > 2) curve.SubSample(0, curve.GetPointCount() - 1, tolerance);
  }
  // The cursor stays at its time too.
  if (keepTimes) timeCursor = static_cast<float>(timeCursor * factor);
  return EndEdit();
}

bool ClipEditCore::Undo() { return MoveInHistory(false); }

bool ClipEditCore::Redo() { return MoveInHistory(true); }

bool ClipEditCore::MoveInHistory(bool forward) {
  EditStep* step = forward ? history.GetStepToRedo() : history.GetStepToUndo();
  if (!clip || !step) return false;
  NoteSavedState();
  Apply(*step, forward);
  if (forward) {
    history.MoveForward();
  } else {
    history.MoveBack();
  }
  UpdateModified();
  return true;
}

std::vector<const CurveInfo*> ClipEditCore::SteppingCurves() const {
  std::vector<const CurveInfo*> curves;
  if (selection.GetSelectedCurveCount() > 0) {
    for (const CurveInfo* curve : selection.GetSelectedRows()) curves.push_back(curve);
  } else {
    for (int row = 0; row < selection.GetRowCount(); ++row) curves.push_back(selection.GetRowCurve(row));
  }
  std::erase_if(curves, [](const CurveInfo* c) { return c->pCurve->GetPointCount() == 0; });
  return curves;
}

float ClipEditCore::GetPreviousKeyFrame(float frame) const {
  if (!clip) return 0.0f;
  float result = static_cast<float>(clip->GetFirstKeyFrame());
  for (const CurveInfo* curve : SteppingCurves()) {
    const EditorToolkit::Curve2& points = *curve->pCurve;
    if (points.GetPointAt(0)->x >= frame) continue;
    int i = std::min<int>(points.SearchPreviousPoint(frame), static_cast<int>(points.GetPointCount()) - 1);
    if (points.GetPointAt(static_cast<std::uint32_t>(i))->x >= frame) --i;
    result = std::max(result, points.GetPointAt(static_cast<std::uint32_t>(i))->x);
  }
  return result;
}

float ClipEditCore::GetNextKeyFrame(float frame) const {
  if (!clip) return 0.0f;
  float result = static_cast<float>(clip->GetLastKeyFrame());
  for (const CurveInfo* curve : SteppingCurves()) {
    const EditorToolkit::Curve2& points = *curve->pCurve;
    const int last = static_cast<int>(points.GetPointCount()) - 1;
    if (points.GetPointAt(static_cast<std::uint32_t>(last))->x <= frame) continue;
    int i = std::min(points.SearchPreviousPoint(frame), last);
    if (points.GetPointAt(static_cast<std::uint32_t>(i))->x <= frame) i = std::min(i + 1, last);
    result = std::min(result, points.GetPointAt(static_cast<std::uint32_t>(i))->x);
  }
  return result;
}

bool ClipEditCore::IsAnimatedByClip(const EngineCore::SceneObject* object, std::uint32_t* clipKey) const {
  const EngineCore::AnimController* controller = object ? object->GetController() : nullptr;
  if (!controller || !clip || !(object->GetTypeFlags() & EngineCore::SceneObject::TypeAnimated)) return false;
  std::uint32_t key = 0;
  if (!controller->FindClip(clip, key)) return false;
  if (clipKey) *clipKey = key;
  return true;
}

std::uint32_t ClipEditCore::GetObjectChannel(const EngineCore::SceneObject* object) {
  const EngineCore::AnimController* controller = object ? object->GetController() : nullptr;
  return controller ? controller->GetChannelKey() : 0;
}

}  // namespace Tarvel
