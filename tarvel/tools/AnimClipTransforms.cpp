// The key transform tools of a clip page: flip, scale, smooth, subdivise and subsample,
// each on whole curves (track) or on the run of selected keys (selection).

#include <algorithm>
#include <cmath>

#include "EditorCore/GUI_MainFrame.h"
#include "EngineCore/Math.h"
#include "module/AnimClipDialog.h"
#include "module/GUI_TrackListCtrl.h"
#include "tools/GUI_FlipToolDialog.h"
#include "tools/GUI_ScaleToolDialog.h"
#include "tools/GUI_SmoothToolDialog.h"
#include "tools/GUI_SubSampleToolDialog.h"
#include "tools/GUI_SubdiviseToolDialog.h"

namespace Tarvel {

using namespace EditorCore;
using EditorToolkit::Curve2;

namespace {

// The index range a tool works on: every point, or the first to the last selected one.
bool ToolRange(const Curve2& curve, bool selection, std::uint32_t& first, std::uint32_t& last) {
  if (curve.GetPointCount() == 0) return false;
  if (!selection) {
    first = 0;
    last = curve.GetPointCount() - 1;
    return true;
  }
  const int from = curve.GetFirstSelectedPointIndex();
  const int to = curve.GetLastSelectedPointIndex();
  if (from > to) return false;
  first = static_cast<std::uint32_t>(from);
  last = static_cast<std::uint32_t>(to);
  return true;
}

int RangeLength(const Curve2& curve, bool selection) {
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  if (!ToolRange(curve, selection, first, last)) return -1;
  return static_cast<int>(curve.GetPointAt(last)->x - curve.GetPointAt(first)->x);
}

float& X(Curve2& curve, std::uint32_t i) { return curve.GetPointAt(i)->x; }
float& Y(Curve2& curve, std::uint32_t i) { return curve.GetPointAt(i)->y; }

}  // namespace

void AnimClipDialog::ScaleKeys(Curve2& curve, std::uint32_t first, std::uint32_t last, float factor) {
  const std::uint32_t count = curve.GetPointCount();
  if (last + 1 < count) {
    const float shift = std::ceil(factor * X(curve, last) - X(curve, last));
    curve.MovePointsAt(last + 1, count - 1, shift);
  }
  // Stretching works from the end so that no key passes its neighbour; shrinking from the start.
  auto settle = [&curve](std::uint32_t i) {
    const float whole = std::ceil(X(curve, i));
    float value = 0.0f;
    if (curve.EvaluatePoint(whole, value)) {
      X(curve, i) = whole;
      Y(curve, i) = value;
    }
  };
  if (factor > 1.0f) {
    for (std::uint32_t i = last; i > first; --i) X(curve, i) *= factor;
    for (std::uint32_t i = last; i > first; --i) settle(i);
  } else {
    for (std::uint32_t i = first + 1; i <= last; ++i) X(curve, i) *= factor;
    for (std::uint32_t i = first + 1; i <= last; ++i) settle(i);
  }
}

void AnimClipDialog::MirrorTime(Curve2& curve, std::uint32_t first, std::uint32_t last) {
  const float mid = X(curve, first) + (X(curve, last) - X(curve, first)) * 0.5f;
  for (std::uint32_t i = first; i <= first + (last - first) / 2; ++i) curve.SwapPoints(i, first + last - i);
  for (std::uint32_t i = first; i <= last; ++i) X(curve, i) = 2.0f * mid - X(curve, i);
}

void AnimClipDialog::MirrorValues(Curve2& curve, std::uint32_t first, std::uint32_t last) {
  const float mid = (Y(curve, first) + Y(curve, last)) * 0.5f;
  for (std::uint32_t i = first; i <= last; ++i) Y(curve, i) = (mid - Y(curve, i)) + mid;
}

std::uint32_t AnimClipDialog::SubdiviseKeys(Curve2& curve, std::uint32_t first, std::uint32_t last, int count,
                                            bool markNew) {
  if (count <= 0 || first + 1 > last) return last;
  for (std::uint32_t i = first; i < last;) {
    const int inserted = curve.Subdivise(X(curve, i), X(curve, i + 1), count, true, markNew);
    last += static_cast<std::uint32_t>(inserted);
    i += 1 + static_cast<std::uint32_t>(inserted);
  }
  return last;
}

void AnimClipDialog::SmoothKeys(Curve2& curve, std::uint32_t first, std::uint32_t last, int count) {
  if (count > 0) last = SubdiviseKeys(curve, first, last, count, true);
  const std::uint32_t points = curve.GetPointCount();
  auto isNew = [&curve](std::uint32_t i) { return curve.GetPointAt(i)->bNew; };
  bool hasPrevious = false;
  std::uint32_t previous = 0;
  for (std::uint32_t i = first; i < last;) {
    if (isNew(i)) {
      ++i;
      continue;
    }
    std::uint32_t next[2] = {0, 0};
    int found = 0;
    for (std::uint32_t k = i + 1; k <= last && found < 2; ++k) {
      if (!isNew(k)) next[found++] = k;
    }
    if (found == 0) {
      previous = i;
      hasPrevious = true;
      ++i;
      continue;
    }
    const std::uint32_t p1 = next[0];
    const float p0 = hasPrevious ? Y(curve, previous) : Y(curve, i);
    const float p3 = found == 2 ? Y(curve, next[1]) : Y(curve, std::min(last + 1, points - 1));
    // Only the inserted keys move onto the spline through the old ones.
    for (std::uint32_t k = i + 1; k < p1; ++k) {
      if (k <= first || k >= last) continue;
      const float t = (X(curve, k) - X(curve, i)) / (X(curve, p1) - X(curve, i));
      Y(curve, k) = EngineCore::Math::EvaluateCatmullRom(p0, Y(curve, i), Y(curve, p1), p3, t);
      curve.GetPointAt(k)->bNew = false;
    }
    previous = i;
    hasPrevious = true;
    i = p1;
  }
}

void AnimClipDialog::RunTool(Tool tool, bool selection, const char* label) {
  if (!trackList->IsWindow()) return;
  const std::vector<CurveInfo*> rows = SelectedRowCurves();
  std::vector<CurveInfo*> curves;
  for (CurveInfo* curve : rows) {
    if (curve->bSelected) curves.push_back(curve);
  }
  bool act = GraphHoldsEditableCurves();
  GUI_Wnd* owner = GUI_MainFrame::GetMainWnd();
  bool vertical = false;
  int subdivision = 0;
  float tolerance = 0.0f;
  GUI_ScaleToolDialog scale(owner);
  if (act) {
    switch (tool) {
      case Tool::Scale: {
        int length = -1;
        int longest = -1;
        if (!rows.empty() && rows.front()->bSelected) length = RangeLength(*rows.front()->pCurve, selection);
        if (length != -1) {
          for (std::size_t r = 1; r < rows.size(); ++r) {
            if (!rows[r]->bSelected) continue;
            const int other = RangeLength(*rows[r]->pCurve, selection);
            if (other < 0 || other == length) continue;
            length = -1;
            longest = std::max(longest, other);
          }
        }
        scale.iCurrentLength = length;
        scale.iWishLength = length != -1 ? length : longest;
        // Cancelling the scale tool leaves no trace, not even an undo step.
        if (scale.DoModal() == IDCANCEL) return;
        break;
      }
      case Tool::Flip: {
        GUI_FlipToolDialog dialog(owner);
        act = dialog.DoModal() == IDOK;
        vertical = dialog.bVertical;
        break;
      }
      case Tool::Smooth: {
        GUI_SmoothToolDialog dialog(owner);
        act = dialog.DoModal() == IDOK;
        subdivision = dialog.Subdivision();
        break;
      }
      case Tool::Subdivise: {
        GUI_SubdiviseToolDialog dialog(owner);
        act = dialog.DoModal() == IDOK;
        subdivision = dialog.Subdivision();
        break;
      }
      case Tool::SubSample: {
        GUI_SubSampleToolDialog dialog(owner);
        act = dialog.DoModal() == IDOK;
        tolerance = dialog.Tolerance();
        break;
      }
    }
  }
  if (act) {
    std::uint32_t pending = 0;
    bool hasPending = false;
    for (CurveInfo* info : curves) {
      if (hasPending && pending != info->iChannelKey) WriteBackChannel(pending);
      pending = info->iChannelKey;
      hasPending = true;
      RecordBefore(info, label);
      Curve2& curve = *info->pCurve;
      std::uint32_t first = 0;
      std::uint32_t last = 0;
      if (!ToolRange(curve, selection, first, last)) continue;
      switch (tool) {
        case Tool::Scale: {
          const int length = RangeLength(curve, selection);
          float factor = 1.0f;
          if (scale.bUseLength) {
            // A run without length has no factor that reaches the wished one: it stays.
            if (length == scale.iWishLength || length == 0) continue;
            factor = static_cast<float>(scale.iWishLength) / static_cast<float>(length);
          } else {
            if (scale.fPercentage == 100.0f) continue;
            factor = scale.fPercentage * 0.01f;
          }
          ScaleKeys(curve, first, last, factor);
          break;
        }
        case Tool::Flip:
          if (vertical) {
            MirrorTime(curve, first, last);
          } else {
            MirrorValues(curve, first, last);
          }
          break;
        case Tool::Smooth: SmoothKeys(curve, first, last, subdivision); break;
        case Tool::Subdivise: SubdiviseKeys(curve, first, last, subdivision, false); break;
        case Tool::SubSample: curve.SubSample(first, last, tolerance); break;
      }
    }
    if (hasPending) WriteBackChannel(pending);
  }
  CloseOperation(label);
}

void AnimClipDialog::ScaleTrack() { RunTool(Tool::Scale, false, "ScaleTrack"); }
void AnimClipDialog::ScaleSelection() { RunTool(Tool::Scale, true, "ScaleSelection"); }
void AnimClipDialog::FlipTrack() { RunTool(Tool::Flip, false, "FlipTrack"); }
void AnimClipDialog::FlipSelection() { RunTool(Tool::Flip, true, "FlipSelection"); }
void AnimClipDialog::SmoothTrack() { RunTool(Tool::Smooth, false, "SmoothTrack"); }
void AnimClipDialog::SmoothSelection() { RunTool(Tool::Smooth, true, "SmoothSelection"); }
void AnimClipDialog::SubdiviseTrack() { RunTool(Tool::Subdivise, false, "SubdiviseTrack"); }
void AnimClipDialog::SubdiviseSelection() { RunTool(Tool::Subdivise, true, "SubdiviseSelection"); }
void AnimClipDialog::SubSampleTrack() { RunTool(Tool::SubSample, false, "SubSampleTrack"); }
void AnimClipDialog::SubSampleSelection() { RunTool(Tool::SubSample, true, "SubSampleSelection"); }

}  // namespace Tarvel
