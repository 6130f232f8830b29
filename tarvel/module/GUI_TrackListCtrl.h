#pragma once

#include <string>

#include <memory>
#include <vector>

#include "EditorCore/GUI_ListCtrl.h"
#include "curves/CurveSelection.h"
#include "module/TrackEntry.h"

namespace Tarvel {

// The track list of a clip page: one row per row of the page's curve selection (the shown
// curves the filter boxes let through), drawn in the colour of its component. Selecting a
// row selects its curve; the list then tells its parent, the page, with TrackNotify_ codes.
class GUI_TrackListCtrl : public EditorCore::GUI_ListCtrl {
 public:
  explicit GUI_TrackListCtrl(CurveSelection& shownCurves) : curves(shownCurves) {}
  ~GUI_TrackListCtrl() override;

  bool Create(EditorCore::GUI_Wnd* parent);

  // Rebuilds the rows from the selection's rows, each selected exactly when its curve is,
  // without touching any curve.
  void Refill();
  CurveInfo* GetRowCurve(int row) const;

  // Icon index of a track kind and component (1 to 9), 0 when it has none.
  static int IconIndex(std::uint32_t trackType, std::uint32_t component);
  // Text colour of a curve's row.
  static EditorCore::COLORREF TextColor(std::uint32_t trackType, std::uint32_t component);

  void DrawItem(const EditorCore::GUI_DrawItem& drawItem) override;
  // The track column takes the width the icon column leaves, so that the icons stay in view.
  void OnSize(EditorCore::UINT type, int cx, int cy) override;
  void OnItemChanged(int item, EditorCore::UINT oldState, EditorCore::UINT newState, EditorCore::UINT changed) override;

 private:
  // The curve in words: its track and axis, "Rotation X".
  static std::string CurveWords(const CurveInfo& curve);
  TrackEntry* RowEntry(int row) const;

  CurveSelection& curves;
  std::vector<std::unique_ptr<TrackEntry>> entries;
  bool refilling = false;
};

}  // namespace Tarvel
