#include "module/GUI_TrackListCtrl.h"

#include <algorithm>

#include "EditorCore/GUI_DC.h"
#include "EditorCore/GUI_ThemeManager.h"
#include "module/AnimClipDialog.h"
#include "module/ModuleExports.h"
#include "module/ModuleIds.h"
#include "module/ModuleText.h"

namespace Tarvel {

using namespace EditorCore;

GUI_TrackListCtrl::~GUI_TrackListCtrl() = default;

bool GUI_TrackListCtrl::Create(GUI_Wnd* parent) {
  if (!GUI_ListCtrl::Create(parent, kStyle, Ids::kCtlTrackList)) return false;
  SetExtendedStyle(kExtendedStyle);
  InsertColumn(0, ModuleText::Translate("Track"), 200);
  InsertColumn(1, ModuleText::Translate("Curves"), kIconColumnWidth);
  AddIcon(nullptr);
  for (UINT id = Ids::kIconFirstTrack; id < Ids::kIconFirstTrack + 9; ++id) {
    AddIcon(LoadIconInModule(static_cast<unsigned short>(id)));
  }
  return true;
}

int GUI_TrackListCtrl::IconIndex(std::uint32_t trackType, std::uint32_t component) {
  if (trackType < 1 || trackType > 3 || component > 2) return 0;
  return static_cast<int>((trackType - 1) * 3 + component + 1);
}

COLORREF GUI_TrackListCtrl::TextColor(std::uint32_t trackType, std::uint32_t component) {
  const int low = static_cast<int>((trackType * 25) & 0xFF);
  const int high = static_cast<int>(((trackType + 2) * 50) & 0xFF);
  switch (component) {
    case 0: return RGB(high, low, low);
    case 1: return RGB(low, high, low);
    case 2: return RGB(low, low, high);
    default: return RGB(200, 200, 0);
  }
}

TrackEntry* GUI_TrackListCtrl::RowEntry(int row) const {
  return row < 0 ? nullptr : reinterpret_cast<TrackEntry*>(GetItemData(row));
}

CurveInfo* GUI_TrackListCtrl::GetRowCurve(int row) const {
  const TrackEntry* entry = RowEntry(row);
  return entry ? entry->curve : nullptr;
}

void GUI_TrackListCtrl::AddCurves(const CurveSet::Curves& curves) {
  EngineCore::AnimClip* clip = page->GetClip();
  for (CurveInfo* curve : curves) {
    if (!curve) continue;
    auto entry = std::make_unique<TrackEntry>();
    entry->tag = Ids::kRowTag;
    entry->curve = curve;
    const EngineCore::AnimChannel* channel = clip ? clip->GetChannel(curve->iChannelKey) : nullptr;
    // A curve whose channel the clip no longer knows is labelled by its key, as a nameless one.
    if (!channel || channel->GetName().GetLength() < 2) {
      entry->label = EngineCore::String::Format("0x%x", curve->iChannelKey);
    } else {
      entry->label = channel->GetName();
    }
    std::string icon(1, static_cast<char>(0xFF));
    if (const int index = IconIndex(curve->iTrackType, curve->iComponent)) icon.push_back(static_cast<char>(index));
    entry->iconText = EngineCore::String(icon);
    entries.push_back(std::move(entry));
  }
}

void GUI_TrackListCtrl::Refill() {
  if (!IsWindow()) return;
  refilling = true;
  DeleteAllItems();
  for (const auto& entry : entries) {
    if (entry->curve->bFiltered) continue;
    const UINT rowState = entry->curve->bSelected ? LVIS_SELECTED : 0;
    const int row = InsertItem(GetItemCount(), entry->label.str(), -1, rowState, LVIS_SELECTED);
    if (row < 0) continue;
    SetItemData(row, reinterpret_cast<LPARAM>(entry.get()));
    SetItemText(row, 1, entry->iconText.str());
  }
  refilling = false;
}

void GUI_TrackListCtrl::ClearEntries() {
  if (IsWindow()) {
    refilling = true;
    DeleteAllItems();
    refilling = false;
  }
  entries.clear();
  page->ClearGraphSelectionRange();
}

void GUI_TrackListCtrl::RemoveChannelEntries(std::uint32_t channelKey) {
  std::erase_if(entries,
                [channelKey](const std::unique_ptr<TrackEntry>& e) { return e->curve->iChannelKey == channelKey; });
  Refill();
}

bool GUI_TrackListCtrl::GetSelectedEntry(int i, TrackEntry*& entry) const {
  GUI_ListItem item;
  entry = nullptr;
  if (!GetSelectedItem(item, i)) return false;
  entry = reinterpret_cast<TrackEntry*>(item.lParam);
  return entry != nullptr;
}

void GUI_TrackListCtrl::OnItemChanged(int item, UINT oldState, UINT newState, UINT changed) {
  GUI_ListCtrl::OnItemChanged(item, oldState, newState, changed);
  if (refilling || item < 0) return;
  TrackEntry* entry = RowEntry(item);
  if (!entry) return;
  const bool selected = (newState & LVIS_SELECTED) != 0;
  if (selected != entry->curve->bSelected) {
    entry->curve->bSelected = selected;
    page->RedrawCurvePanel();
  }
  page->UpdateMenus();
}

void GUI_TrackListCtrl::OnSize(UINT type, int cx, int cy) {
  if (cx > 0) {
    SetColumnWidth(0, std::max(cx - kIconColumnWidth, 0));
    SetColumnWidth(1, kIconColumnWidth);
  }
  GUI_ListCtrl::OnSize(type, cx, cy);
}

void GUI_TrackListCtrl::DrawItem(const GUI_DrawItem& drawItem) {
  const TrackEntry* entry = reinterpret_cast<const TrackEntry*>(drawItem.itemData);
  if (!entry || entry->tag != Ids::kRowTag || entry->curve->bFiltered) return;
  const bool bold = (drawItem.itemState & kBoldState) != 0;
  GUI_Font* previousFont = bold ? drawItem.dc.SelectFont(GUI_ThemeManager::GetFont(1, 2)) : nullptr;
  DrawCells(drawItem, TextColor(entry->curve->iTrackType, entry->curve->iComponent));
  if (bold) drawItem.dc.SelectFont(previousFont);
}

}  // namespace Tarvel
