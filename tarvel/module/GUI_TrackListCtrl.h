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
  // The curve column takes the width its words need ("Translation X"), or where the list is
  // too narrow for them and a channel's name, their short form ("T X"); the channel column
  // takes the rest, clear of the icons, which stay in view.
  void OnSize(EditorCore::UINT type, int cx, int cy) override;
  // A row's curve by its whole name, "Hips Translation X", wherever the row cuts it short.
  std::string GetCellToolTip(int row, int column, int icon) const override;
  void OnItemChanged(int item, EditorCore::UINT oldState, EditorCore::UINT newState, EditorCore::UINT changed) override;

 private:
  // The curve in words: its track and axis, "Rotation X", or short, "R X".
  static std::string CurveWords(const CurveInfo& curve, bool shortWords);
  // Whether the curve column has room for the long words, for a list this wide.
  bool RoomForLongWords(int width) const;
  TrackEntry* RowEntry(int row) const;

  CurveSelection& curves;
  std::vector<std::unique_ptr<TrackEntry>> entries;
  bool refilling = false;
  bool shortWords = false;
};

}  // namespace Tarvel
