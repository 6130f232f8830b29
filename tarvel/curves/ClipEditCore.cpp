#include "curves/ClipEditCore.h"

#include <algorithm>
#include <cmath>

#include "EngineCore/SceneEditionManager.h"
#include "curves/ClipWriteBack.h"
#include "curves/FrameworkMessages.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

ClipEditCore::~ClipEditCore() { DetachClip(); }

bool ClipEditCore::AttachClip(EngineCore::AnimClip* newClip) {
  if (newClip == clip) return false;
  DetachClip();
  clip = newClip;
  if (!clip) return true;
  clip->AddRef();
  RebuildAllCurves();
  return true;
}

void ClipEditCore::DetachClip() {
  DestroyAllCurves();
  if (!clip) return;
  clip->Release();
  clip = nullptr;
}

EngineCore::SceneEditionManager* ClipEditCore::GetSceneSelection() const {
  return scene ? scene->GetEditionManager() : nullptr;
}

const CurveSet::Curves& ClipEditCore::BuildChannelCurves(std::uint32_t channelKey,
                                                         const EngineCore::AnimChannel& channel) {
  // A reload replaces the records the selection may still show.
  selection.RemoveChannel(channelKey);
  return curveSet.LoadChannel(channelKey, channel);
}

void ClipEditCore::RebuildAllCurves() {
  DestroyAllCurves();
  if (!clip) return;
  for (std::uint32_t i = 0; i < clip->GetChannelCount(); ++i) {
    BuildChannelCurves(clip->GetChannelKeyAt(i), *clip->GetChannelAt(i));
  }
}

void ClipEditCore::RemoveChannelCurves(std::uint32_t channelKey) {
  selection.RemoveChannel(channelKey);
  undoHistory.MarkStale(channelKey);
  curveSet.RemoveChannel(channelKey);
}

void ClipEditCore::DestroyAllCurves() {
  selection.Clear();
  curveSet.Clear();
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
  return clip && ClipWriteBack::WriteBackChannel(*clip, curveSet, channelKey);
}

void ClipEditCore::WriteBackAllChannels() {
  if (!clip) return;
  for (const auto& [key, curves] : curveSet.GetTable()) ClipWriteBack::WriteBackChannel(*clip, curveSet, key);
  CheckKeyFrameRange();
}

bool ClipEditCore::CheckKeyFrameRange() {
  if (!clip || !ClipWriteBack::UpdateKeyFrameRange(*clip)) return false;
  FrameworkMessages::Broadcast(Ids::kMsgKeyFrameRange, 0, 0);
  return true;
}

void ClipEditCore::RecordCurve(CurveInfo* curve, const EngineCore::String& label) {
  undoHistory.RecordCurve(curve, label);
}

void ClipEditCore::RecordBefore(CurveInfo* curve, const EngineCore::String& label) {
  if (!curve || curve->iHistoryCount != 0) return;
  undoHistory.RecordCurve(curve, label);
  undoHistory.AdvanceStep();
}

void ClipEditCore::RecordStep(const EngineCore::String& label, bool bOnlyUnrecorded) {
  undoHistory.RecordStep(label, bOnlyUnrecorded, &selection);
}

void ClipEditCore::CloseOperation(const char* label) {
  CheckKeyFrameRange();
  RecordStep(label, false);
}

bool ClipEditCore::Undo() {
  if (!undoHistory.Undo([this](CurveInfo& curve) { WriteBackChannel(curve.iChannelKey); })) return false;
  CheckKeyFrameRange();
  return true;
}

bool ClipEditCore::Redo() {
  if (!undoHistory.Redo([this](CurveInfo& curve) { WriteBackChannel(curve.iChannelKey); })) return false;
  CheckKeyFrameRange();
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
