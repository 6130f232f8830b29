#pragma once

#include <memory>
#include <vector>

#include "EditorCore/GUI_ListCtrl.h"
#include "curves/CurveSet.h"
#include "curves/TrackRows.h"
#include "module/TrackEntry.h"

namespace Tarvel {

class AnimClipDialog;

// The track list of a clip page: one row per curve of the shown channels that the filter
// boxes let through, drawn in the colour of its component. Selected rows are the curves the
// graph edits and the tools act on.
class GUI_TrackListCtrl : public EditorCore::GUI_ListCtrl, public TrackRows {
 public:
  static constexpr EditorCore::UINT kStyle = 0x50008459;
  static constexpr EditorCore::UINT kExtendedStyle = 0x22;
  // Item state bit that asks for the theme's bold list font.
  static constexpr EditorCore::UINT kBoldState = 0x40;
  static constexpr int kIconColumnWidth = 54;

  explicit GUI_TrackListCtrl(AnimClipDialog* owner) : page(owner) {}
  ~GUI_TrackListCtrl() override;

  bool Create(EditorCore::GUI_Wnd* parent);

  void AddCurves(const CurveSet::Curves& curves);
  // Rebuilds the rows from the entries whose curve is not filtered, each selected exactly when
  // its curve is, without touching any curve.
  void Refill();
  // Deletes every row and entry; the graph's point selection goes with them.
  void ClearEntries();
  void RemoveChannelEntries(std::uint32_t channelKey);
  // The entry of the i-th selected row; false when there is none.
  bool GetSelectedEntry(int i, TrackEntry*& entry) const;

  // Icon index of a track kind and component (1 to 9), 0 when it has none.
  static int IconIndex(std::uint32_t trackType, std::uint32_t component);
  // Text colour of a curve's row.
  static EditorCore::COLORREF TextColor(std::uint32_t trackType, std::uint32_t component);

  int GetRowCount() const override { return GetItemCount(); }
  CurveInfo* GetRowCurve(int row) const override;

  void DrawItem(const EditorCore::GUI_DrawItem& drawItem) override;
  // The track column takes the width the icon column leaves, so that the icons stay in view.
  void OnSize(EditorCore::UINT type, int cx, int cy) override;
  void OnItemChanged(int item, EditorCore::UINT oldState, EditorCore::UINT newState, EditorCore::UINT changed) override;

  AnimClipDialog* page;
  std::vector<std::unique_ptr<TrackEntry>> entries;
  bool refilling = false;

 private:
  TrackEntry* RowEntry(int row) const;
};

}  // namespace Tarvel
