#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "curves/CurveInfo.h"
#include "curves/CurveSet.h"
#include "curves/TrackRows.h"

namespace Tarvel {

// The curves a clip page shows and which of them the user works on. Contract:
// 1. aCurves holds the curves of the shown channels in the order they were added: the graph
//    draws and hit-tests in this order. The records belong to the curve set; a channel's
//    curves must be dropped here (RemoveChannel) before the set destroys them.
// 2. The rows are the shown curves that are not filtered, in the order the track list shows
//    them: by their channel's label, ignoring the case of ASCII letters, curves of equal
//    labels in the order they were added. They change only through AddCurves, RemoveChannel,
//    Clear and ApplyFilter.
// 3. A curve is selected when its bSelected is set. The selected rows are the rows of the
//    selected curves, in row order: the curves every tool and point operation acts on.
// 4. The selection range (fSelectionBegin, fSelectionEnd) spans the frames of the selected
//    keys; -1.0 in fSelectionBegin means there is none. Clear drops it with the curves.
class CurveSelection : public TrackRows {
 public:
  static constexpr float kNoFrame = -1.0f;

  // Appends curves under the label their rows show (their channel's name, or its key).
  void AddCurves(const CurveSet::Curves& curves, const std::string& label);
  void AddCurve(CurveInfo* curve, const std::string& label);
  // Drops every curve of the channel; true when one was shown.
  bool RemoveChannel(std::uint32_t channelKey);
  // Drops every curve and the selection range.
  void Clear();
  const std::vector<CurveInfo*>& GetCurves() const { return aCurves; }

  // A curve is filtered unless the box of its track type (translation, rotation, scale) and
  // the box of its component (X, Y, Z) are both ticked; curves of any other type stay
  // filtered.
  void ApplyFilter(const std::array<bool, 4>& trackTypes, const std::array<bool, 3>& components);

  int GetRowCount() const override { return static_cast<int>(rows.size()); }
  CurveInfo* GetRowCurve(int row) const override;
  const std::string& GetRowLabel(int row) const;
  // The rows of the selected curves, in row order.
  std::vector<CurveInfo*> GetSelectedRows() const;

  // Selects or deselects a curve; true when its flag changed.
  static bool SelectCurve(CurveInfo& curve, bool selected);
  // Shown curves that are selected and not filtered: the graph has something to edit.
  int GetSelectedCurveCount() const;

  bool HasSelectionRange() const { return fSelectionBegin != kNoFrame; }
  void ClearSelectionRange();

  // Frames of the first and last selected key of the selected curves.
  float fSelectionBegin = kNoFrame;
  float fSelectionEnd = kNoFrame;

 private:
  void SortRows();

  std::vector<CurveInfo*> aCurves;
  // One label per entry of aCurves.
  std::vector<std::string> labels;
  // Indices into aCurves.
  std::vector<std::size_t> rows;
};

}  // namespace Tarvel
