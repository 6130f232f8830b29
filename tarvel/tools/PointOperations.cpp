#include "tools/PointOperations.h"

#include "EngineCore/AnimTrack.h"
#include "EngineCore/Crc32.h"
#include "EngineCore/SceneEditionManager.h"
#include "curves/ClipEditCore.h"
#include "curves/CurveEvaluation.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

using EditorToolkit::Curve2;

namespace {

// A key at frame x with value y: the key already there takes the value. A new key of a cubic
// curve takes the curve's slopes there, so that keying the value the curve has leaves it as
// it was.
void SetKeyAt(Curve2& curve, const CurveInfo& info, float x, float y) {
  const int index = curve.GetPointIndex(x, true);
  if (index >= 0) {
    curve.GetPointAt(static_cast<std::uint32_t>(index))->y = y;
    return;
  }
  float there = 0.0f;
  EditorToolkit::KeyTangents tangents;
  CurveEvaluation::Split(info, x, there, tangents);
  // A key on the curve splits it and keeps its shape; one off it (a pose) follows its
  // neighbours as a new key does.
  if (y != there) tangents = {{}, {}, EngineCore::TangentType::AutoClamped};
  curve.AddPoint({x, y}, false, tangents);
}

// The tangents a pasted key takes on a cubic curve: the clipboard's, else those of a new key,
// which follow its neighbours on the curve.
EditorToolkit::KeyTangents PastedTangents(const Curve2& clipboard, std::uint32_t i) {
  if (const EditorToolkit::KeyTangents* kept = clipboard.GetTangentsAt(i)) return *kept;
  return {{}, {}, EngineCore::TangentType::AutoClamped};
}

}  // namespace

PointOperations::ObjectKeying PointOperations::KeyObjects(ClipEditCore& core, ToolQuestions& questions,
                                                          KeyingPage& page, float frame) {
  EngineCore::SceneEditionManager* selection = core.GetSceneSelection();
  EngineCore::AnimClip* clip = core.GetClip();
  if (!clip) return ObjectKeying::NoObjectKeyed;
  if (!selection || selection->GetSelectedObjectCount() == 0) return ObjectKeying::NoObjectSelected;
  bool keyed = false;
  std::uint32_t current = 0;
  for (EngineCore::SceneObject* object = selection->GetFirstSelectedObject(Ids::kAllObjectTypes, false); object;
       object = selection->GetNextSelectedObject(object, Ids::kAllObjectTypes, false)) {
    if (object->IsKeyingLocked() || !core.IsAnimatedByClip(object)) continue;
    EngineCore::AnimController* controller = object->GetController();
    const std::uint32_t key = controller->GetChannelKey();
    if (key == 0) {
      if (current == 0 || !questions.AskAffectChannel()) continue;
      // Controllers carry channel keys as the checksum of the channel's name.
      if (const EngineCore::AnimChannel* channel = clip->GetChannel(current)) {
        const EngineCore::String& name = channel->GetName();
        controller->SetChannelKey(EngineCore::Crc32::Compute(name.GetTextLength(), name.c_str()));
        controller->SetChannelName(name);
      }
      page.OnObjectChannelChanged();
      break;
    }
    if (key != current) {
      if (!page.ShowOnlyChannel(key)) continue;
      current = key;
    }
    const CurveSet::Curves* curves = core.GetChannelCurves(current);
    if (!curves) return ObjectKeying::Stop;
    keyed = true;
    EngineCore::Vector3 values[3] = {object->GetLocalTranslation(), {}, object->GetLocalScale()};
    object->GetLocalRotation().GetAngles(values[1]);
    values[1] = values[1] * Ids::kDegreesPerRadian;
    const std::vector<float>& weights = object->GetMorphWeights();
    for (const auto& curve : *curves) {
      const std::uint32_t track = curve->iTrackType;
      float value = 0.0f;
      if (track >= CurveInfo::Translation && track <= CurveInfo::Scale && curve->iComponent < 3) {
        value = values[track - 1][static_cast<int>(curve->iComponent)];
      } else if (track == CurveInfo::Weights && curve->iComponent < weights.size()) {
        value = weights[curve->iComponent];
      } else {
        // A weight the object does not carry (its mesh was never posed) keeps its curve.
        continue;
      }
      SetKeyAt(*core.Touch(curve.get()), *curve, frame, value);
    }
  }
  return keyed ? ObjectKeying::Keyed : ObjectKeying::NoObjectKeyed;
}

bool PointOperations::CreatePoint(ClipEditCore& core, ToolQuestions& questions, KeyingPage& page, bool bRoundFrame) {
  const float cursor = core.GetCursorFrame();
  core.BeginEdit("CreatePoint");
  const ObjectKeying objects = KeyObjects(core, questions, page, cursor);
  // A keyed object whose channel has no curves ends it all.
  if (objects == ObjectKeying::Stop) return core.EndEdit();
  if (objects != ObjectKeying::Keyed) {
    const float x = bRoundFrame ? ClipEditCore::WholeFrame(cursor) : cursor;
    for (CurveInfo* curve : core.GetSelection().GetSelectedRows()) {
      Curve2& points = *core.Touch(curve);
      float y = curve->iTrackType == CurveInfo::Scale ? 1.0f : 0.0f;
      if (points.GetPointCount() > 0) {
        if (objects == ObjectKeying::NoObjectSelected) {
          CurveEvaluation::Evaluate(*curve, x, y);
        } else {
          y = points.GetPointAt(points.GetPointCount() - 1)->y;
        }
      }
      SetKeyAt(points, *curve, x, y);
    }
  }
  return core.EndEdit();
}

bool PointOperations::RemovePoints(ClipEditCore& core) {
  const std::vector<CurveInfo*> rows = core.GetSelection().GetSelectedRows();
  if (!core.GetSelection().HasSelectionRange() || rows.empty()) return RemoveTrackPoints(core);
  bool removedAny = false;
  core.BeginEdit("RemovePoints");
  for (CurveInfo* curve : rows) {
    Curve2& points = *core.Touch(curve);
    const std::uint32_t wanted = points.GetSelectPointsCount();
    std::uint32_t removed = 0;
    for (std::uint32_t i = 0; removed < wanted && i < points.GetPointCount();) {
      if (points.GetPointAt(i)->bSelected && points.RemovePointAt(i)) {
        ++removed;
      } else {
        ++i;
      }
    }
    removedAny = removedAny || removed > 0;
  }
  if (!removedAny) {
    core.EndEdit();
    return RemoveTrackPoints(core);
  }
  return core.EndEdit();
}

bool PointOperations::RemoveTrackPoints(ClipEditCore& core) {
  const std::vector<CurveInfo*> rows = core.GetSelection().GetSelectedRows();
  if (core.GetSelection().GetSelectedCurveCount() == 0 || rows.empty()) return false;
  core.BeginEdit("RemoveTrackPoints");
  for (CurveInfo* curve : rows) {
    core.Touch(curve)->RemoveAllPoints();
  }
  return core.EndEdit();
}

bool PointOperations::CopyPoints(ClipEditCore& core) {
  Curve2* clipboard = core.GetClipboard();
  if (!clipboard) return false;
  clipboard->RemoveAllPoints();
  if (!core.GetSelection().HasSelectionRange()) return false;
  for (const CurveInfo* curve : core.GetSelection().GetSelectedRows()) {
    const Curve2& points = *curve->pCurve;
    if (points.GetSelectPointsCount() == 0) continue;
    // The keys of a cubic curve go with their tangents.
    clipboard->SetInterpolation(points.IsCubic() ? Curve2::Cubic : Curve2::Linear);
    const float origin = points.GetPointAt(static_cast<std::uint32_t>(points.GetFirstSelectedPointIndex()))->x;
    for (std::uint32_t i = 0; i < points.GetPointCount(); ++i) {
      const EditorToolkit::EditablePoint& point = *points.GetPointAt(i);
      if (!point.bSelected) continue;
      const EditorToolkit::KeyTangents* tangents = points.GetTangentsAt(i);
      clipboard->AddPoint({point.x - origin, point.y}, false, tangents ? *tangents : EditorToolkit::KeyTangents{});
    }
    if (clipboard->GetPointCount() > 0) break;
  }
  return clipboard->GetPointCount() > 0;
}

bool PointOperations::PastePoints(ClipEditCore& core) {
  const Curve2* clipboard = core.GetClipboard();
  const std::vector<CurveInfo*> rows = core.GetSelection().GetSelectedRows();
  if (!clipboard || clipboard->GetPointCount() == 0 || rows.empty() ||
      core.GetSelection().GetSelectedCurveCount() == 0) {
    return false;
  }
  CurveInfo* target = rows.front();
  core.BeginEdit("PastePoints");
  Curve2& points = *core.Touch(target);
  const int lastSelected = points.GetLastSelectedPointIndex();
  const float start = core.GetCursorFrame();
  const float end = start + clipboard->GetPointAt(clipboard->GetPointCount() - 1)->x;
  int i = points.GetPointIndex(start, true);
  if (i >= 0) {
    // The selected keys that the block lands on are covered by it.
    while (i <= lastSelected && points.GetPointAt(static_cast<std::uint32_t>(i))->x <= end) {
      points.GetPointAt(static_cast<std::uint32_t>(i))->bHidden = true;
      ++i;
    }
    const std::uint32_t count = points.GetPointCount();
    if (static_cast<std::uint32_t>(i) < count) {
      const float x = points.GetPointAt(static_cast<std::uint32_t>(i))->x;
      points.MovePointsAt(static_cast<std::uint32_t>(i), count - 1, end - x + 1.0f);
    }
  }
  for (std::uint32_t p = 0; p < clipboard->GetPointCount(); ++p) {
    const EditorToolkit::EditablePoint& point = *clipboard->GetPointAt(p);
    points.AddPoint({start + point.x, point.y}, false, PastedTangents(*clipboard, p));
  }
  return core.EndEdit();
}

}  // namespace Tarvel
