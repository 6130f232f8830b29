#include "tools/DopeSheet.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "EngineCore/AnimCurve.h"
#include "curves/ClipEditCore.h"
#include "curves/CurveSelection.h"

namespace Tarvel {

using EditorToolkit::Curve2;
using EditorToolkit::EditablePoint;

namespace {

constexpr float kLastFrame = static_cast<float>(EngineCore::AnimCurve::kMaxKeyFrame);

bool IsKeySelected(const CurveInfo& curve, const EditablePoint& point) { return curve.bSelected && point.bSelected; }

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The first index of a curve whose key lies at or after frame.
std::uint32_t FirstAtOrAfter(const Curve2& curve, float frame) {
  std::uint32_t low = 0;
  std::uint32_t high = curve.GetPointCount();
  while (low < high) {
    const std::uint32_t mid = low + (high - low) / 2;
    if (curve.GetPointAt(mid)->x < frame) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low;
}

}  // namespace

const char* DopeSheet::TrackWord(std::uint32_t trackType) {
  switch (trackType) {
    case CurveInfo::Translation: return "Translation";
    case CurveInfo::Rotation: return "Rotation";
    case CurveInfo::Scale: return "Scale";
    case CurveInfo::Weights: return "Weights";
    default: return "Track";
  }
}

void DopeSheet::SetChannels(const std::vector<std::uint32_t>& channelKeys) {
  channels = channelKeys;
  rows.clear();
  rows.push_back({RowKind::Summary, 0, 0, "Summary", {}});
  for (std::uint32_t key : channels) {
    const CurveSet::Curves* curves = core.GetChannelCurves(key);
    if (!curves) continue;
    Row channel{RowKind::Channel, key, 0, core.GetChannelLabel(key), {}};
    for (const auto& curve : *curves) channel.curves.push_back(curve.get());
    rows.front().curves.insert(rows.front().curves.end(), channel.curves.begin(), channel.curves.end());
    rows.push_back(channel);
    if (!expanded.contains(key)) continue;
    for (CurveInfo* curve : channel.curves) {
      Row& last = rows.back();
      if (last.kind != RowKind::Track || last.trackType != curve->iTrackType) {
        rows.push_back({RowKind::Track, key, curve->iTrackType, TrackWord(curve->iTrackType), {}});
      }
      rows.back().curves.push_back(curve);
    }
  }
}

bool DopeSheet::IsChannelShown(std::uint32_t channelKey) const {
  const std::vector<CurveInfo*>& shown = core.GetSelection().GetCurves();
  return std::any_of(shown.begin(), shown.end(),
                     [channelKey](const CurveInfo* curve) { return curve->iChannelKey == channelKey; });
}

bool DopeSheet::ToggleExpanded(int row) {
  if (row < 0 || row >= static_cast<int>(rows.size()) || rows[row].kind != RowKind::Channel) return false;
  const std::uint32_t key = rows[row].channelKey;
  if (!expanded.erase(key)) expanded.insert(key);
  SetChannels(std::vector<std::uint32_t>(channels));
  return true;
}

int DopeSheet::FindRow(const std::string& name) const {
  if (Lowered(name) == "summary") return 0;
  for (int i = 1; i < static_cast<int>(rows.size()); ++i) {
    const Row& row = rows[i];
    if (row.kind == RowKind::Channel && row.label == name) return i;
    if (row.kind == RowKind::Track && name == core.GetChannelLabel(row.channelKey) + " " + Lowered(row.label)) {
      return i;
    }
  }
  return -1;
}

template <typename Visit>
void DopeSheet::ForEachMarkKey(int row, float markFrame, Visit visit) const {
  if (row < 0 || row >= static_cast<int>(rows.size())) return;
  for (CurveInfo* curve : rows[row].curves) {
    const Curve2& points = *curve->pCurve;
    for (std::uint32_t i = FirstAtOrAfter(points, markFrame - kSameFrame);
         i < points.GetPointCount() && points.GetPointAt(i)->x <= markFrame + kSameFrame; ++i) {
      visit(*curve, i);
    }
  }
}

bool DopeSheet::FindMark(int row, float frame, float reach, float& markFrame) const {
  if (row < 0 || row >= static_cast<int>(rows.size())) return false;
  bool found = false;
  float best = 0.0f;
  for (const CurveInfo* curve : rows[row].curves) {
    const Curve2& points = *curve->pCurve;
    const std::uint32_t next = FirstAtOrAfter(points, frame);
    for (std::uint32_t i = next == 0 ? 0 : next - 1; i <= next && i < points.GetPointCount(); ++i) {
      const float x = points.GetPointAt(i)->x;
      const float distance = std::abs(x - frame);
      // Of two marks as near, the earlier.
      if (distance <= reach && (!found || distance < best || (distance == best && x < markFrame))) {
        best = distance;
        markFrame = x;
        found = true;
      }
    }
  }
  return found;
}

bool DopeSheet::IsMarkSelected(int row, float markFrame) const {
  bool selected = false;
  ForEachMarkKey(row, markFrame, [&selected](const CurveInfo& curve, std::uint32_t i) {
    selected = selected || IsKeySelected(curve, *curve.pCurve->GetPointAt(i));
  });
  return selected;
}

std::vector<CurveInfo*> DopeSheet::AllCurves() const {
  std::vector<CurveInfo*> all;
  for (const auto& [key, curves] : core.GetCurveSet().GetTable()) {
    for (const auto& curve : curves) all.push_back(curve.get());
  }
  return all;
}

void DopeSheet::SettleCurveFlags() const {
  for (CurveInfo* curve : AllCurves()) {
    if (!curve->bSelected) curve->pCurve->SelectAllPoints(false);
  }
}

void DopeSheet::SelectCurvesWithKeys() const {
  for (CurveInfo* curve : AllCurves()) CurveSelection::SelectCurve(*curve, curve->pCurve->GetSelectPointsCount() > 0);
}

void DopeSheet::SelectMark(int row, float markFrame, bool add, bool toggle) {
  SettleCurveFlags();
  const bool deselect = toggle && IsMarkSelected(row, markFrame);
  if (!add && !toggle) SelectAll(false);
  ForEachMarkKey(row, markFrame, [deselect](CurveInfo& curve, std::uint32_t i) {
    curve.pCurve->SelectPointAt(i, !deselect);
    if (!deselect) CurveSelection::SelectCurve(curve, true);
  });
  SelectCurvesWithKeys();
}

void DopeSheet::SelectBox(int firstRow, int lastRow, float firstFrame, float lastFrame, bool add) {
  SettleCurveFlags();
  if (!add) SelectAll(false);
  const int top = std::max(0, std::min(firstRow, lastRow));
  const int bottom = std::min(static_cast<int>(rows.size()) - 1, std::max(firstRow, lastRow));
  const float low = std::min(firstFrame, lastFrame) - kSameFrame;
  const float high = std::max(firstFrame, lastFrame) + kSameFrame;
  for (int row = top; row <= bottom; ++row) {
    for (CurveInfo* curve : rows[row].curves) {
      const Curve2& points = *curve->pCurve;
      for (std::uint32_t i = FirstAtOrAfter(points, low); i < points.GetPointCount() && points.GetPointAt(i)->x <= high;
           ++i) {
        points.SelectPointAt(i, true);
      }
    }
  }
  SelectCurvesWithKeys();
}

void DopeSheet::SelectAll(bool select) {
  for (CurveInfo* curve : AllCurves()) {
    curve->pCurve->SelectAllPoints(false);
    CurveSelection::SelectCurve(*curve, false);
  }
  if (!select || rows.empty()) return;
  for (CurveInfo* curve : rows.front().curves) {
    curve->pCurve->SelectAllPoints(true);
    CurveSelection::SelectCurve(*curve, curve->pCurve->GetPointCount() > 0);
  }
}

std::vector<CurveInfo*> DopeSheet::SelectedCurves() const {
  std::vector<CurveInfo*> selected;
  if (rows.empty()) return selected;
  for (CurveInfo* curve : rows.front().curves) {
    if (curve->bSelected && curve->pCurve->GetSelectPointsCount() > 0) selected.push_back(curve);
  }
  return selected;
}

bool DopeSheet::GetSelectedSpan(float& first, float& last) const {
  bool any = false;
  for (const CurveInfo* curve : SelectedCurves()) {
    const Curve2& points = *curve->pCurve;
    const float low = points.GetPointAt(static_cast<std::uint32_t>(points.GetFirstSelectedPointIndex()))->x;
    const float high = points.GetPointAt(static_cast<std::uint32_t>(points.GetLastSelectedPointIndex()))->x;
    first = any ? std::min(first, low) : low;
    last = any ? std::max(last, high) : high;
    any = true;
  }
  return any;
}

bool DopeSheet::BeginMove() {
  if (IsMoving() || core.IsEditing()) return false;
  float first = 0.0f;
  float last = 0.0f;
  if (!GetSelectedSpan(first, last)) return false;
  core.BeginEdit("Move Keys in Time");
  for (CurveInfo* curve : SelectedCurves()) {
    const Curve2* writable = core.Touch(curve);
    if (writable) moving.push_back({curve, writable->GetCurve(), writable->GetTangents()});
  }
  movedBy = 0.0f;
  movableBefore = first;
  movableAfter = kLastFrame - last;
  return true;
}

void DopeSheet::ShiftSelected(const Moving& from, float frames, Curve2& to) {
  const Curve2::PointList& points = from.points;
  // Moved keys go before keys they land on exactly when moving on, after them when moving
  // back. Where the shift keeps every key's place, the keys are shifted where they lie.
  const auto before = [frames](const EditablePoint& moved, const EditablePoint& staying) {
    const float x = moved.x + frames;
    return x < staying.x || (x == staying.x && frames > 0.0f);
  };
  bool inPlace = to.GetPointCount() == points.size();
  const bool allMove = to.GetSelectPointsCount() == to.GetPointCount();
  for (std::size_t i = 1; inPlace && !allMove && i < points.size(); ++i) {
    const EditablePoint& a = points[i - 1];
    const EditablePoint& b = points[i];
    if (a.bSelected == b.bSelected) continue;
    inPlace = a.bSelected ? before(a, b) : !before(b, a);
  }
  if (inPlace) {
    std::size_t i = 0;
    to.ForEachPoint(0, to.GetPointCount() - 1, [&](EditablePoint& point) {
      point.x = points[i].x + (points[i].bSelected ? frames : 0.0f);
      ++i;
    });
    return;
  }
  const bool cubic = !from.tangents.empty();
  Curve2::PointList merged;
  Curve2::TangentList tangents;
  merged.reserve(points.size());
  if (cubic) tangents.reserve(points.size());
  const auto take = [&](std::size_t i, float shift) {
    merged.push_back(points[i]);
    merged.back().x += shift;
    if (cubic) tangents.push_back(from.tangents[i]);
  };
  // The moved keys and the others are each in frame order already: one merge.
  const auto nextOf = [&points](std::size_t i, bool selected) {
    while (i < points.size() && points[i].bSelected != selected) ++i;
    return i;
  };
  std::size_t moved = nextOf(0, true);
  std::size_t staying = nextOf(0, false);
  while (moved < points.size() || staying < points.size()) {
    if (staying >= points.size() || (moved < points.size() && before(points[moved], points[staying]))) {
      take(moved, frames);
      moved = nextOf(moved + 1, true);
    } else {
      take(staying, 0.0f);
      staying = nextOf(staying + 1, false);
    }
  }
  to.SetCurve(std::move(merged), std::move(tangents));
}

bool DopeSheet::MoveBy(float frames) {
  if (!IsMoving() || !std::isfinite(frames)) return false;
  frames = std::clamp(frames, -movableBefore, movableAfter);
  if (frames == movedBy) return false;
  for (const Moving& curve : moving) {
    if (Curve2* writable = core.Edited(curve.curve)) ShiftSelected(curve, frames, *writable);
  }
  movedBy = frames;
  return true;
}

void DopeSheet::TakeBackCollisions(const std::vector<CurveInfo*>& curves, const char* action) {
  int takenBack = 0;
  for (CurveInfo* curve : curves) {
    const Curve2& points = *curve->pCurve;
    for (std::uint32_t i = 1; i < points.GetPointCount(); ++i) {
      const EditablePoint& before = *points.GetPointAt(i - 1);
      const EditablePoint& after = *points.GetPointAt(i);
      if (after.x - before.x < kSameFrame && (before.bSelected || after.bSelected)) {
        core.Revert(curve);
        ++takenBack;
        break;
      }
    }
  }
  if (takenBack > 0) {
    Tell(std::to_string(takenBack) +
         (takenBack == 1 ? " curve keeps its keys where they were" : " curves keep their keys where they were") +
         ": the " + action + " put two of its keys on one frame.");
  }
}

bool DopeSheet::EndMove() {
  if (!IsMoving()) return false;
  std::vector<CurveInfo*> curves;
  for (const Moving& curve : moving) curves.push_back(curve.curve);
  moving.clear();
  TakeBackCollisions(curves, "move");
  return core.EndEdit();
}

void DopeSheet::CancelMove() {
  if (!IsMoving()) return;
  for (const Moving& curve : moving) core.Revert(curve.curve);
  moving.clear();
  movedBy = 0.0f;
  core.EndEdit();
}

bool DopeSheet::Scale(float factor, float pivot) {
  if (!std::isfinite(factor) || factor <= 0.0f || !std::isfinite(pivot)) {
    Tell("Keys are scaled in time by a positive number.");
    return false;
  }
  const std::vector<CurveInfo*> curves = SelectedCurves();
  if (curves.empty() || core.IsEditing()) return false;
  const auto scaled = [factor, pivot](float x) {
    const float to = pivot + (x - pivot) * factor;
    return x == std::floor(x) ? ClipEditCore::WholeFrame(to) : to;
  };
  float first = 0.0f;
  float last = 0.0f;
  GetSelectedSpan(first, last);
  if (scaled(first) < 0.0f || scaled(last) > kLastFrame) {
    Tell("Scaled about frame " + std::to_string(static_cast<long long>(pivot)) +
         ", the selected keys would leave the frames a clip holds; nothing changed.");
    return false;
  }
  core.BeginEdit("Scale Keys in Time");
  for (CurveInfo* curve : curves) {
    Curve2* writable = core.Touch(curve);
    if (!writable) continue;
    Curve2::PointList points = writable->GetCurve();
    Curve2::TangentList tangents = writable->GetTangents();
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (!points[i].bSelected) continue;
      points[i].x = scaled(points[i].x);
      // Slopes are per second: a key spread over more time rises as far more slowly.
      if (i < tangents.size()) {
        for (float& in : tangents[i].in) in /= factor;
        for (float& out : tangents[i].out) out /= factor;
      }
    }
    writable->SetCurve(std::move(points), std::move(tangents));
  }
  TakeBackCollisions(curves, "scale");
  return core.EndEdit();
}

bool DopeSheet::Delete() {
  const std::vector<CurveInfo*> curves = SelectedCurves();
  if (curves.empty() || core.IsEditing()) return false;
  core.BeginEdit("Remove Keys");
  for (CurveInfo* curve : curves) {
    Curve2* writable = core.Touch(curve);
    if (!writable) continue;
    const Curve2::PointList points = writable->GetCurve();
    const Curve2::TangentList tangents = writable->GetTangents();
    Curve2::PointList kept;
    Curve2::TangentList keptTangents;
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (points[i].bSelected) continue;
      kept.push_back(points[i]);
      if (i < tangents.size()) keptTangents.push_back(tangents[i]);
    }
    writable->SetCurve(std::move(kept), std::move(keptTangents));
  }
  return core.EndEdit();
}

bool DopeSheet::Copy(DopeSheetClipboard& clipboard) const {
  float first = 0.0f;
  float last = 0.0f;
  if (!GetSelectedSpan(first, last)) return false;
  clipboard.Clear();
  for (const CurveInfo* curve : SelectedCurves()) {
    const Curve2& points = *curve->pCurve;
    DopeSheetClipboard::Entry entry;
    entry.channel = core.GetChannelLabel(curve->iChannelKey);
    entry.trackType = curve->iTrackType;
    entry.component = curve->iComponent;
    entry.target = curve->sTargetName;
    entry.interpolation = points.GetInterpolation();
    for (std::uint32_t i = 0; i < points.GetPointCount(); ++i) {
      const EditablePoint& point = *points.GetPointAt(i);
      if (!point.bSelected) continue;
      EditablePoint copied;
      copied.x = point.x - first;
      copied.y = point.y;
      entry.points.push_back(copied);
      if (const EditorToolkit::KeyTangents* tangents = points.GetTangentsAt(i)) entry.tangents.push_back(*tangents);
    }
    clipboard.Add(std::move(entry));
  }
  return true;
}

bool DopeSheet::Paste(const DopeSheetClipboard& clipboard, float frame) {
  return PasteAs(clipboard, frame, "Paste Keys");
}

bool DopeSheet::PasteAs(const DopeSheetClipboard& clipboard, float frame, const char* label) {
  if (clipboard.IsEmpty() || core.IsEditing() || !std::isfinite(frame)) return false;
  SelectAll(false);
  core.BeginEdit(label);
  int missing = 0;
  for (const DopeSheetClipboard::Entry& entry : clipboard.GetEntries()) {
    CurveInfo* target = nullptr;
    for (const auto& [key, curves] : core.GetCurveSet().GetTable()) {
      if (core.GetChannelLabel(key) != entry.channel) continue;
      for (const auto& curve : curves) {
        if (curve->iTrackType == entry.trackType && curve->iComponent == entry.component &&
            curve->sTargetName == entry.target) {
          target = curve.get();
        }
      }
    }
    Curve2* writable = target ? core.Touch(target) : nullptr;
    if (!writable) {
      ++missing;
      continue;
    }
    // Keys on the frames the pasted ones land on give way to them.
    for (const EditablePoint& point : entry.points) {
      const float at = frame + point.x;
      for (std::uint32_t i = FirstAtOrAfter(*writable, at - kSameFrame);
           i < writable->GetPointCount() && writable->GetPointAt(i)->x <= at + kSameFrame;) {
        writable->RemovePointAt(i);
      }
    }
    for (std::size_t i = 0; i < entry.points.size(); ++i) {
      const EditablePoint& point = entry.points[i];
      const EditorToolkit::KeyTangents tangents =
          i < entry.tangents.size() ? entry.tangents[i]
                                    : EditorToolkit::KeyTangents{{}, {}, EngineCore::TangentType::AutoClamped};
      writable->AddPoint({frame + point.x, point.y}, true, tangents);
    }
  }
  SelectCurvesWithKeys();
  if (missing > 0) {
    Tell(std::to_string(missing) + (missing == 1 ? " copied curve has" : " copied curves have") +
         " no curve of the same channel, track and component in this clip; its keys were not pasted.");
  }
  return core.EndEdit();
}

bool DopeSheet::Duplicate() {
  DopeSheetClipboard copies;
  float first = 0.0f;
  float last = 0.0f;
  if (!GetSelectedSpan(first, last) || !Copy(copies)) return false;
  return PasteAs(copies, std::floor(last) + 1.0f, "Duplicate Keys");
}

void DopeSheet::Tell(const std::string& sentence) const {
  if (tell) tell(sentence);
}

}  // namespace Tarvel
