#pragma once

#include <memory>
#include <vector>

#include "EditorCore/GUI_ListCtrl.h"
#include "EditorCore/GUI_Menu.h"
#include "EngineCore/String.h"
#include "channels/ChannelRow.h"
#include "curves/CurveSet.h"

namespace Tarvel {

class ClipEditCore;

// The channel list of a clip page: one row per channel, sorted by name, with an icon per
// track. Selecting rows chooses the channels whose curves the page shows; typing in the
// page's fast filter narrows the rows to those whose name holds every typed word. The list
// tells its parent, the page, with ChannelNotify_ codes when the user changed the selection
// or chose a command of its context menu.
class GUI_ChannelListCtrl : public EditorCore::GUI_ListCtrl {
 public:
  explicit GUI_ChannelListCtrl(const ClipEditCore& editCore);
  ~GUI_ChannelListCtrl() override;

  bool Create(EditorCore::GUI_Wnd* parent);

  // Appends the record of the channel of these curves; the rows follow at the next Refill.
  // A row for a channel of the clip, whatever tracks it has (none included).
  void AddChannelRow(std::uint32_t key);
  // Rows for the clip's channels as they are now, in its order; a row that stays keeps
  // whether it is shown.
  void RebuildRows();
  void RemoveChannelRow(std::uint32_t key);
  void ClearRows();
  // Rebuilds the rows from the records that pass the filter, selecting the shown ones,
  // without telling the page.
  void Refill();
  void SetFilter(const EngineCore::String& text);
  // Whether a row text passes the current filter.
  bool PassesFilter(const EngineCore::String& text) const;

  // Selects only the channel's row, without telling the page; false when it has no row.
  bool SelectChannel(std::uint32_t key);
  int FindChannelRow(std::uint32_t key) const;
  ChannelRow* GetChannelRow(std::uint32_t key) const;
  void SetRowSelected(int row, bool selected);
  void DeselectAll();
  // The record of the n-th selected row, or null.
  ChannelRow* GetSelectedRow(int n) const;
  // The record of a row, or null.
  ChannelRow* GetRowRecord(int row) const;
  int CountSelected() const;
  // The largest number that follows the name stem in a row text, or -1.
  int GetHighestUnnamedNumber() const;
  // The word unnamed channels are named with, before its number.
  const EngineCore::String& GetNameStem() const { return nameStem; }

  void DrawItem(const EditorCore::GUI_DrawItem& drawItem) override;
  void OnItemChanged(int item, EditorCore::UINT oldState, EditorCore::UINT newState, EditorCore::UINT changed) override;
  void OnSize(EditorCore::UINT type, int cx, int cy) override;
  // Over a track's icon, the kind of track it stands for.
  std::string GetCellToolTip(int row, int column, int icon) const override;
  void OnRButtonDown(EditorCore::UINT flags, EditorCore::CPoint point) override;
  bool OnCommand(EditorCore::UINT id) override;

 private:
  void LoadIcons();

  const ClipEditCore& core;
  std::vector<std::unique_ptr<ChannelRow>> records;
  // Lower case; empty at start.
  EngineCore::String filter;
  std::unique_ptr<EditorCore::GUI_Menu> contextMenu;
  // Set while the rows are rebuilt: item changes are ignored and no context menu opens.
  bool refilling = false;
  EngineCore::String nameStem;
  std::vector<EditorCore::GUI_Icon*> disabledIcons;
};

}  // namespace Tarvel
