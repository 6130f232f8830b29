#include "module/GUI_TrackListCtrl.h"

#include <algorithm>

#include "EditorCore/GUI_DC.h"
#include "EditorCore/GUI_ThemeManager.h"
#include "EngineCore/AnimCurve.h"
#include "EngineCore/Log.h"
#include "curves/CurveSet.h"
#include "graph/ColourContrast.h"
#include "module/ModuleExports.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleText.h"

namespace Tarvel {

using namespace EditorCore;

GUI_TrackListCtrl::~GUI_TrackListCtrl() = default;

bool GUI_TrackListCtrl::Create(GUI_Wnd* parent) {
  if (!GUI_ListCtrl::Create(parent, Ids::kListStyle, Ids::kCtlTrackList)) {
    EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: the track list could not be made");
    return false;
  }
  SetExtendedStyle(Ids::kListExtendedStyle);
  InsertColumn(0, ModuleText::Translate("Track"), Ids::kListTextColumnWidth);
  InsertColumn(1, ModuleText::Translate("Curve"), Ids::kListTextColumnWidth);
  InsertColumn(2, ModuleText::Translate("Curves"), Ids::kListIconColumnWidth);
  AddIcon(nullptr);
  for (UINT id = Ids::kIconFirstTrack; id < Ids::kIconFirstTrack + 9; ++id) {
    AddIcon(LoadIconInModule(static_cast<unsigned short>(id)));
  }
  AddIcon(LoadIconInModule(static_cast<unsigned short>(Ids::kIconWeightCurve)));
  return true;
}

int GUI_TrackListCtrl::IconIndex(std::uint32_t trackType, std::uint32_t component) {
  // Every weight shares one icon, after the nine of translation X to scale Z.
  if (trackType == CurveInfo::Weights) return 10;
  if (trackType < 1 || trackType > 3 || component > 2) return 0;
  return static_cast<int>((trackType - 1) * 3 + component + 1);
}

COLORREF GUI_TrackListCtrl::TextColor(std::uint32_t trackType, std::uint32_t component) {
  if (trackType == CurveInfo::Weights) {
    // The weight's curve colour, whose bytes are already B, G, R.
    COLORREF colour = 0;
    COLORREF selection = 0;
    CurveSet::ComputeColors(trackType, EngineCore::AnimCurve::KeyWeights, component, colour, selection);
    return colour;
  }
  const int low = static_cast<int>((trackType * 25) & 0xFF);
  const int high = static_cast<int>(((trackType + 2) * 50) & 0xFF);
  switch (component) {
    case 0: return RGB(high, low, low);
    case 1: return RGB(low, high, low);
    case 2: return RGB(low, low, high);
    default: return RGB(200, 200, 0);
  }
}

std::string GUI_TrackListCtrl::CurveWords(const CurveInfo& curve, bool shortWords) {
  static constexpr const char* kTracks[] = {"", "Translation", "Rotation", "Scale"};
  static constexpr const char* kAxes[] = {"X", "Y", "Z"};
  if (curve.iTrackType == CurveInfo::Weights) return curve.sTargetName;
  if (curve.iTrackType < 1 || curve.iTrackType > 3 || curve.iComponent > 2) return {};
  const std::string track = ModuleText::Translate(kTracks[curve.iTrackType]);
  return (shortWords ? track.substr(0, 1) : track) + " " + kAxes[curve.iComponent];
}

namespace {

// The channel's name keeps at least this many pixels beside the long words.
constexpr int kChannelRoom = 40;
// The cell's margins around its text.
constexpr int kTextMargins = 8;

int TextRoom(int width) {
  return std::max(width - Ids::kListIconColumnWidth - EditorCore::GUI_ListCtrl::ScrollBarWidth, 0);
}

}  // namespace

bool GUI_TrackListCtrl::RoomForLongWords(int width) const {
  return TextRoom(width) >= GetTextWidth(ModuleText::Translate("Translation") + " X") + kTextMargins + kChannelRoom;
}

TrackEntry* GUI_TrackListCtrl::RowEntry(int row) const {
  return row < 0 ? nullptr : reinterpret_cast<TrackEntry*>(GetItemData(row));
}

CurveInfo* GUI_TrackListCtrl::GetRowCurve(int row) const {
  const TrackEntry* entry = RowEntry(row);
  return entry ? entry->curve : nullptr;
}

void GUI_TrackListCtrl::Refill() {
  refilling = true;
  DeleteAllItems();
  entries.clear();
  for (int row = 0; row < curves.GetRowCount(); ++row) {
    auto entry = std::make_unique<TrackEntry>();
    entry->tag = Ids::kRowTag;
    entry->curve = curves.GetRowCurve(row);
    entry->label = EngineCore::String(curves.GetRowLabel(row));
    std::string icon(1, static_cast<char>(0xFF));
    if (const int index = IconIndex(entry->curve->iTrackType, entry->curve->iComponent)) {
      icon.push_back(static_cast<char>(index));
    }
    entry->iconText = EngineCore::String(icon);
    const UINT rowState = entry->curve->bSelected ? LVIS_SELECTED : 0;
    const int item = InsertItem(GetItemCount(), entry->label.str(), -1, rowState, LVIS_SELECTED);
    if (item >= 0) {
      SetItemData(item, reinterpret_cast<LPARAM>(entry.get()));
      SetItemText(item, 1, CurveWords(*entry->curve, shortWords));
      SetItemText(item, 2, entry->iconText.str());
    }
    entries.push_back(std::move(entry));
  }
  refilling = false;
}

void GUI_TrackListCtrl::OnItemChanged(int item, UINT oldState, UINT newState, UINT changed) {
  GUI_ListCtrl::OnItemChanged(item, oldState, newState, changed);
  if (refilling || item < 0) return;
  const TrackEntry* entry = RowEntry(item);
  if (!entry) return;
  const bool selected = (newState & LVIS_SELECTED) != 0;
  NotifyParent(CurveSelection::SelectCurve(*entry->curve, selected) ? Ids::TrackNotify_CurveSelected
                                                                    : Ids::TrackNotify_RowChanged);
}

void GUI_TrackListCtrl::OnSize(UINT type, int cx, int cy) {
  if (cx > 0) {
    const bool narrow = !RoomForLongWords(cx);
    if (narrow != shortWords) {
      shortWords = narrow;
      for (int row = 0; row < GetItemCount(); ++row) {
        if (const TrackEntry* entry = RowEntry(row)) SetItemText(row, 1, CurveWords(*entry->curve, shortWords));
      }
    }
    const int text = TextRoom(cx);
    const int words = GetTextWidth(CurveWords(CurveInfo(0, CurveInfo::Translation, CurveInfo::X), shortWords));
    const int curveColumn = std::min(text, words + kTextMargins);
    SetColumnWidth(0, text - curveColumn);
    SetColumnWidth(1, curveColumn);
    SetColumnWidth(2, Ids::kListIconColumnWidth);
  }
  GUI_ListCtrl::OnSize(type, cx, cy);
}

std::string GUI_TrackListCtrl::GetCellToolTip(int row, int column, int icon) const {
  const TrackEntry* entry = RowEntry(row);
  if (!entry) return {};
  const bool cut = shortWords || column == 2 || !GUI_ListCtrl::GetCellToolTip(row, column, icon).empty() ||
                   !GUI_ListCtrl::GetCellToolTip(row, column == 0 ? 1 : 0, -1).empty();
  return cut ? std::string(entry->label.str()) + " " + CurveWords(*entry->curve, false) : std::string();
}

void GUI_TrackListCtrl::DrawItem(const GUI_DrawItem& drawItem) {
  const TrackEntry* entry = reinterpret_cast<const TrackEntry*>(drawItem.itemData);
  if (!entry || entry->tag != Ids::kRowTag || entry->curve->bFiltered) return;
  const bool bold = (drawItem.itemState & Ids::kListBoldState) != 0;
  GUI_Font* previousFont = bold ? drawItem.dc.SelectFont(GUI_ThemeManager::GetFont(1, 2)) : nullptr;
  // The component's colour, lightened or darkened as far as the list needs to read it.
  DrawCells(drawItem,
            ColourContrast::Readable(TextColor(entry->curve->iTrackType, entry->curve->iComponent),
                                     GUI_ThemeManager::GetColor(Ids::kThemeListBackground),
                                     GUI_ThemeManager::GetColor(Ids::kThemeListHighlight), Ids::kTextContrast));
  if (bold) drawItem.dc.SelectFont(previousFont);
}

}  // namespace Tarvel
