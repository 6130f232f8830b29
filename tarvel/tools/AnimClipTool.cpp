// The point operations of a clip page: keys at the time cursor, removing keys, copying and
// pasting them. Each one records the curves it is about to change, writes the changed
// channels back into the clip, and ends with the shared closing sequence.

#include <cmath>

#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_MessageDialog.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Crc32.h"
#include "channels/GUI_ChannelListCtrl.h"
#include "graph/GUI_CurvePanelDialog.h"
#include "graph/GUI_GraphCtrl.h"
#include "module/AnimClipDialog.h"
#include "module/GUI_ClipTabsDialog.h"
#include "module/GUI_TrackListCtrl.h"
#include "module/ModuleText.h"

namespace Tarvel {

using namespace EditorCore;

namespace {

constexpr float kDegreesPerRadian = 57.29578f;
constexpr std::uint32_t kAllObjectTypes = 0x7FFFFFFF;

}  // namespace

float AnimClipDialog::CursorFrame() const {
  if (!curvePanel->IsWindow()) return 0.0f;
  const float frame = static_cast<float>(curvePanel->horizontalRuler->GetMarkerPosition(4));
  return frame < 0.0f ? 0.0f : frame;
}

std::vector<CurveInfo*> AnimClipDialog::SelectedRowCurves() const {
  std::vector<CurveInfo*> curves;
  TrackEntry* entry = nullptr;
  for (int n = 0; trackList->GetSelectedEntry(n, entry) && entry->curve; ++n) curves.push_back(entry->curve);
  return curves;
}

bool AnimClipDialog::GraphHoldsEditableCurves() const {
  return curvePanel->IsWindow() && curvePanel->graph->IsWindow() && curvePanel->graph->GetSelectedCurveCount() > 0;
}

void AnimClipDialog::CloseOperation(const char* label) {
  CheckKeyFrameRange();
  RecordStep(label, false);
  RedrawCurvePanel();
}

AnimClipDialog::ObjectKeying AnimClipDialog::KeyObjects(float frame) {
  EngineCore::SceneEditionManager* selection = scene ? scene->GetEditionManager() : nullptr;
  if (!selection || !clip) return ObjectKeying::NoObjectKeyed;
  if (selection->GetSelectedObjectCount() == 0) return ObjectKeying::Stop;
  bool keyed = false;
  std::uint32_t current = 0;
  for (EngineCore::SceneObject* object = selection->GetFirstSelectedObject(kAllObjectTypes, false); object;
       object = selection->GetNextSelectedObject(object, kAllObjectTypes, false)) {
    EngineCore::AnimController* controller = object->GetController();
    if (object->IsKeyingLocked() || !(object->GetTypeFlags() & EngineCore::SceneObject::TypeAnimated) || !controller ||
        !controller->HasClip(clip)) {
      continue;
    }
    const std::uint32_t key = controller->GetChannelKey();
    if (key == 0) {
      if (current == 0) continue;
      GUI_MessageDialog question(
          ModuleText::Translate("This object has no Animation channel. Do you want to affect current to it ?"),
          GUI_MessageDialog::TypeYesNo, GUI_MainFrame::GetMainWnd());
      if (question.DoModal() != IDYES) continue;
      if (const EngineCore::AnimChannel* channel = clip->GetChannel(current)) {
        const EngineCore::String& name = channel->GetName();
        controller->SetChannelKey(EngineCore::Crc32::Compute(name.GetTextLength(), name.c_str()));
        controller->SetChannelName(name);
      }
      RefillObjectList();
      break;
    }
    if (key != current) {
      if (!channelList->SelectChannel(key)) continue;
      current = key;
    }
    const CurveSet::Curves* curves = GetChannelCurves(current);
    if (!curves) return ObjectKeying::Stop;
    keyed = true;
    EngineCore::Vector3 values[3] = {object->GetLocalTranslation(), {}, object->GetLocalScale()};
    object->GetLocalRotation().GetAngles(values[1]);
    values[1] = values[1] * kDegreesPerRadian;
    for (std::size_t i = 0; i + 2 < curves->size(); i += 3) {
      CurveInfo* triple[3] = {(*curves)[i], (*curves)[i + 1], (*curves)[i + 2]};
      if (!triple[0] || !triple[1] || !triple[2]) continue;
      const std::uint32_t track = triple[0]->iTrackType;
      const EngineCore::Vector3 value = track >= 1 && track <= 3 ? values[track - 1] : EngineCore::Vector3();
      for (int c = 0; c < 3; ++c) triple[c]->pCurve->AddPoint({frame, value[c]}, false);
    }
    WriteBackChannel(current);
  }
  return keyed ? ObjectKeying::Keyed : ObjectKeying::NoObjectKeyed;
}

void AnimClipDialog::CreatePoint(bool bRoundFrame) {
  if (!trackList->IsWindow()) return;
  const float cursor = CursorFrame();
  const ObjectKeying objects = KeyObjects(cursor);
  // An empty scene selection, or a keyed object whose channel has no curves, ends it all.
  if (objects == ObjectKeying::Stop) return;
  if (objects == ObjectKeying::NoObjectKeyed) {
    const float x = bRoundFrame ? GUI_CurvePanelDialog::WholeFrame(cursor) : cursor;
    for (CurveInfo* curve : SelectedRowCurves()) {
      RecordBefore(curve, "CreatePoint");
      float y = curve->iTrackType == CurveInfo::Scale ? 1.0f : 0.0f;
      const std::uint32_t count = curve->pCurve->GetPointCount();
      if (count > 0) y = curve->pCurve->GetPointAt(count - 1)->y;
      curve->pCurve->AddPoint({x, y}, false);
      WriteBackChannel(curve->iChannelKey);
    }
  }
  CloseOperation("CreatePoint");
}

void AnimClipDialog::RemovePoints() {
  if (!trackList->IsWindow()) return;
  const std::vector<CurveInfo*> rows = SelectedRowCurves();
  if (!curvePanel->IsWindow() || !curvePanel->graph->HasSelectionRange() || rows.empty()) {
    RemoveTrackPoints();
    return;
  }
  bool removedAny = false;
  for (CurveInfo* curve : rows) {
    if (!curve->bSelected) continue;
    RecordBefore(curve, "RemovePoints");
    EditorToolkit::Curve2& points = *curve->pCurve;
    const std::uint32_t wanted = points.GetSelectPointsCount();
    std::uint32_t removed = 0;
    for (std::uint32_t i = 0; removed < wanted && i < points.GetPointCount();) {
      if (points.GetPointAt(i)->bSelected) {
        points.RemovePointAt(i);
        ++removed;
      } else {
        ++i;
      }
    }
    if (removed > 0) WriteBackChannel(curve->iChannelKey);
    removedAny = removedAny || removed > 0;
  }
  if (!removedAny) {
    RemoveTrackPoints();
    return;
  }
  CloseOperation("RemovePoints");
}

void AnimClipDialog::RemoveTrackPoints() {
  if (!trackList->IsWindow()) return;
  const std::vector<CurveInfo*> rows = SelectedRowCurves();
  bool cleared = false;
  if (GraphHoldsEditableCurves() && !rows.empty()) {
    // Channels are written back once each, when the walk leaves them.
    std::uint32_t pending = 0;
    bool hasPending = false;
    for (CurveInfo* curve : rows) {
      if (!curve->bSelected) continue;
      if (hasPending && pending != curve->iChannelKey) WriteBackChannel(pending);
      RecordBefore(curve, "RemoveTrackPoints");
      curve->pCurve->RemoveAllPoints();
      pending = curve->iChannelKey;
      hasPending = true;
      cleared = true;
    }
    if (hasPending) WriteBackChannel(pending);
  }
  if (cleared) {
    CheckKeyFrameRange();
    RecordStep("RemoveTrackPoints", false);
  }
  RedrawCurvePanel();
}

void AnimClipDialog::CopyPoints() {
  if (!trackList->IsWindow()) return;
  EditorToolkit::Curve2& clipboard = tabHost->clipboard;
  clipboard.RemoveAllPoints();
  if (!curvePanel->IsWindow() || !curvePanel->graph->HasSelectionRange()) return;
  for (CurveInfo* curve : SelectedRowCurves()) {
    const EditorToolkit::Curve2& points = *curve->pCurve;
    if (!curve->bSelected || points.GetSelectPointsCount() == 0) continue;
    const float origin = points.GetPointAt(static_cast<std::uint32_t>(points.GetFirstSelectedPointIndex()))->x;
    for (std::uint32_t i = 0; i < points.GetPointCount(); ++i) {
      const EditorToolkit::EditablePoint& point = *points.GetPointAt(i);
      if (point.bSelected) clipboard.AddPoint({point.x - origin, point.y}, false);
    }
    if (clipboard.GetPointCount() > 0) break;
  }
}

void AnimClipDialog::PastePoints() {
  if (!trackList->IsWindow()) return;
  EditorToolkit::Curve2& clipboard = tabHost->clipboard;
  const std::vector<CurveInfo*> rows = SelectedRowCurves();
  CurveInfo* target = nullptr;
  for (CurveInfo* curve : rows) {
    if (curve->bSelected) {
      target = curve;
      break;
    }
  }
  if (!GraphHoldsEditableCurves() || clipboard.GetPointCount() == 0 || rows.empty() || !target) {
    RedrawCurvePanel();
    return;
  }
  RecordBefore(target, "PastePoints");
  EditorToolkit::Curve2& points = *target->pCurve;
  const int lastSelected = points.GetLastSelectedPointIndex();
  const float start = CursorFrame();
  const float end = start + clipboard.GetPointAt(clipboard.GetPointCount() - 1)->x;
  int i = points.GetPointIndex(start, true);
  if (i >= 0) {
    // The selected keys that the block lands on are covered by it.
    if (lastSelected >= 0) {
      while (i <= lastSelected && points.GetPointAt(static_cast<std::uint32_t>(i))->x <= end) {
        points.GetPointAt(static_cast<std::uint32_t>(i))->bHidden = true;
        ++i;
      }
    }
    const std::uint32_t count = points.GetPointCount();
    if (static_cast<std::uint32_t>(i) < count) {
      const float x = points.GetPointAt(static_cast<std::uint32_t>(i))->x;
      points.MovePointsAt(static_cast<std::uint32_t>(i), count - 1, end - x + 1.0f);
    }
  }
  for (std::uint32_t p = 0; p < clipboard.GetPointCount(); ++p) {
    const EditorToolkit::EditablePoint& point = *clipboard.GetPointAt(p);
    points.AddPoint({start + point.x, point.y}, false);
  }
  WriteBackChannel(target->iChannelKey);
  CloseOperation("PastePoints");
}

}  // namespace Tarvel
