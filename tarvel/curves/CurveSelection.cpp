#include "curves/CurveSelection.h"

#include <algorithm>

namespace Tarvel {

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return static_cast<unsigned char>(lower(x)) < static_cast<unsigned char>(lower(y));
  });
}

}  // namespace

void CurveSelection::AddCurves(const CurveSet::Curves& curves, const std::string& label) {
  for (const auto& curve : curves) {
    aCurves.push_back(curve.get());
    labels.push_back(label);
  }
  SortRows();
}

void CurveSelection::AddCurve(CurveInfo* curve, const std::string& label) {
  aCurves.push_back(curve);
  labels.push_back(label);
  SortRows();
}

bool CurveSelection::RemoveChannel(std::uint32_t channelKey) {
  bool removed = false;
  for (std::size_t i = aCurves.size(); i-- > 0;) {
    if (aCurves[i]->iChannelKey != channelKey) continue;
    aCurves.erase(aCurves.begin() + static_cast<std::ptrdiff_t>(i));
    labels.erase(labels.begin() + static_cast<std::ptrdiff_t>(i));
    removed = true;
  }
  if (removed) SortRows();
  return removed;
}

void CurveSelection::Clear() {
  aCurves.clear();
  labels.clear();
  rows.clear();
  ClearSelectionRange();
}

void CurveSelection::ApplyFilter(const std::array<bool, 4>& trackTypes, const std::array<bool, 3>& components) {
  for (CurveInfo* curve : aCurves) {
    bool filtered = true;
    if (curve->iTrackType >= 1 && curve->iTrackType <= 4) filtered = !trackTypes[curve->iTrackType - 1];
    // X, Y and Z are the components of translations, rotations and scales; weights have none.
    if (curve->iTrackType != CurveInfo::Weights && curve->iComponent <= 2 && !components[curve->iComponent]) {
      filtered = true;
    }
    curve->bFiltered = filtered;
  }
  SortRows();
}

CurveInfo* CurveSelection::GetRowCurve(int row) const {
  return row >= 0 && row < GetRowCount() ? aCurves[rows[static_cast<std::size_t>(row)]] : nullptr;
}

const std::string& CurveSelection::GetRowLabel(int row) const { return labels[rows[static_cast<std::size_t>(row)]]; }

std::vector<CurveInfo*> CurveSelection::GetSelectedRows() const {
  std::vector<CurveInfo*> selected;
  for (std::size_t index : rows) {
    if (aCurves[index]->bSelected) selected.push_back(aCurves[index]);
  }
  return selected;
}

bool CurveSelection::SelectCurve(CurveInfo& curve, bool selected) {
  if (curve.bSelected == selected) return false;
  curve.bSelected = selected;
  return true;
}

int CurveSelection::GetSelectedCurveCount() const {
  return static_cast<int>(
      std::count_if(aCurves.begin(), aCurves.end(), [](const CurveInfo* c) { return c->bSelected && !c->bFiltered; }));
}

void CurveSelection::ClearSelectionRange() {
  fSelectionBegin = kNoFrame;
  fSelectionEnd = kNoFrame;
}

void CurveSelection::SortRows() {
  rows.clear();
  for (std::size_t i = 0; i < aCurves.size(); ++i) {
    if (!aCurves[i]->bFiltered) rows.push_back(i);
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [this](std::size_t a, std::size_t b) { return LessIgnoringCase(labels[a], labels[b]); });
}

}  // namespace Tarvel
