#include "curves/ClipDocument.h"

#include "EditorCore/GUI_MainFrame.h"
#include "curves/ClipWriteBack.h"

namespace Tarvel {

ClipDocument::~ClipDocument() {
  curveSet.Clear();
  if (clip) clip->Release();
}

void ClipDocument::AttachClip(EngineCore::AnimClip* newClip) {
  if (newClip == clip) return;
  DetachClip();
  clip = newClip;
  if (!clip) return;
  clip->AddRef();
  RebuildAllCurves();
}

void ClipDocument::DetachClip() {
  if (!clip) return;
  DestroyAllCurves();
  clip->Release();
  clip = nullptr;
}

void ClipDocument::BuildChannelCurves(std::uint32_t channelKey, const EngineCore::AnimChannel& channel) {
  OnChannelCurvesBuilt(curveSet.LoadChannel(channelKey, channel));
}

void ClipDocument::RebuildAllCurves() {
  ShowPleaseWait(true);
  curveSet.Clear();
  if (clip) {
    for (std::uint32_t i = 0; i < clip->GetChannelCount(); ++i) {
      BuildChannelCurves(clip->GetChannelKeyAt(i), *clip->GetChannelAt(i));
    }
  }
  ShowPleaseWait(false);
}

void ClipDocument::RemoveChannelCurves(std::uint32_t channelKey) {
  OnChannelCurvesRemoving(channelKey);
  undoHistory.MarkStale(channelKey);
  curveSet.RemoveChannel(channelKey);
}

void ClipDocument::DestroyAllCurves() {
  curveSet.Clear();
  OnAllCurvesDestroyed();
}

const CurveSet::Curves* ClipDocument::GetChannelCurves(std::uint32_t channelKey) const {
  return curveSet.GetChannelCurves(channelKey);
}

void ClipDocument::WriteBackChannel(std::uint32_t channelKey) {
  if (clip) ClipWriteBack::WriteBackChannel(*clip, curveSet, channelKey);
}

void ClipDocument::WriteBackAllChannels() {
  if (!clip) return;
  for (const auto& [key, curves] : curveSet.GetTable()) ClipWriteBack::WriteBackChannel(*clip, curveSet, key);
  CheckKeyFrameRange();
}

void ClipDocument::CheckKeyFrameRange() {
  if (!clip || !ClipWriteBack::UpdateKeyFrameRange(*clip)) return;
  if (EditorCore::GUI_MainFrame* frame = EditorCore::GUI_MainFrame::GetMainFrame()) {
    frame->GetModuleManager()->SendFrameworkMessageToAll(kKeyFrameRangeChanged, 0, 0);
  }
}

void ClipDocument::RecordCurve(CurveInfo* curve, const EngineCore::String& label) {
  undoHistory.RecordCurve(curve, label);
}

void ClipDocument::RecordBefore(CurveInfo* curve, const EngineCore::String& label) {
  if (!curve || curve->iHistoryCount != 0) return;
  undoHistory.RecordCurve(curve, label);
  undoHistory.AdvanceStep();
}

void ClipDocument::RecordStep(const EngineCore::String& label, bool bOnlyUnrecorded) {
  undoHistory.RecordStep(label, bOnlyUnrecorded, GetTrackRows());
}

void ClipDocument::Undo() {
  if (!undoHistory.Undo([this](CurveInfo& curve) { WriteBackChannel(curve.iChannelKey); })) return;
  CheckKeyFrameRange();
  RedrawCurvePanel();
}

void ClipDocument::Redo() {
  if (!undoHistory.Redo([this](CurveInfo& curve) { WriteBackChannel(curve.iChannelKey); })) return;
  CheckKeyFrameRange();
  RedrawCurvePanel();
}

}  // namespace Tarvel
