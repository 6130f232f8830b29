#include "channels/GUI_ChannelListCtrl.h"

#include <set>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "EditorCore/GUI_ThemeManager.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "curves/ClipEditCore.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleResources.h"
#include "resources/ModuleText.h"

namespace Tarvel {

using namespace EditorCore;

GUI_ChannelListCtrl::GUI_ChannelListCtrl(const ClipEditCore& editCore) : core(editCore), nameStem("UnnamedChannel") {}

GUI_ChannelListCtrl::~GUI_ChannelListCtrl() {
  ClearRows();
  contextMenu.reset();
  for (GUI_Icon* icon : disabledIcons) GUI_ThemeManager::DestroyIcon(icon);
}

bool GUI_ChannelListCtrl::Create(GUI_Wnd* parent) {
  if (!GUI_ListCtrl::Create(parent, Ids::kListStyle, Ids::kCtlChannelList)) {
    EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: the channel list could not be made");
    return false;
  }
  SetExtendedStyle(Ids::kListExtendedStyle);
  InsertColumn(0, ModuleText::Translate("Channel"), Ids::kListTextColumnWidth);
  InsertColumn(1, ModuleText::Translate("Tracks"), Ids::kListIconColumnWidth);
  LoadIcons();
  return true;
}

void GUI_ChannelListCtrl::LoadIcons() {
  // Image 0 is none, 1 to 4 the track kinds, 5 to 8 their disabled looks.
  AddIcon(nullptr);
  GUI_Icon* icons[4] = {ModuleResources::LoadIcon(Ids::kIconTranslation), ModuleResources::LoadIcon(Ids::kIconRotation),
                        ModuleResources::LoadIcon(Ids::kIconScale), ModuleResources::LoadIcon(Ids::kIconWeights)};
  for (GUI_Icon* icon : icons) AddIcon(icon);
  for (GUI_Icon* icon : icons) {
    GUI_Icon* disabled =
        icon ? GUI_ThemeManager::DisableIcon(icon, GUI_ThemeManager::GetColor(Ids::kThemeDisabledIconColour)) : nullptr;
    if (disabled) disabledIcons.push_back(disabled);
    AddIcon(disabled);
  }
}

ChannelRow* GUI_ChannelListCtrl::GetRowRecord(int row) const {
  return row < 0 ? nullptr : reinterpret_cast<ChannelRow*>(GetItemData(row));
}

void GUI_ChannelListCtrl::RebuildRows() {
  const EngineCore::AnimClip* clip = core.GetClip();
  std::set<std::uint32_t> shown;
  for (const auto& record : records) {
    if (record->bShown) shown.insert(record->key);
  }
  records.clear();
  for (std::uint32_t i = 0; clip && i < clip->GetChannelCount(); ++i) {
    AddChannelRow(clip->GetChannelKeyAt(i));
    records.back()->bShown = shown.contains(records.back()->key);
  }
  Refill();
}

void GUI_ChannelListCtrl::AddChannelRow(std::uint32_t key) {
  if (!core.GetClip()) return;
  std::erase_if(records, [key](const std::unique_ptr<ChannelRow>& r) { return r->key == key; });
  const EngineCore::AnimChannel* channel = core.GetClip()->GetChannel(key);
  auto record = std::make_unique<ChannelRow>();
  record->key = key;
  record->tag = Ids::kRowTag;
  if (!channel || channel->GetName().GetLength() < 2) {
    record->text = EngineCore::String::Format("ID :0x%x", key);
  } else {
    record->text = EngineCore::String::Format("%s", channel->GetName().c_str());
  }
  std::string codes(1, static_cast<char>(0xFF));
  for (std::uint32_t t = 0; channel && t < channel->GetTrackCount(); ++t) {
    const std::uint32_t type = channel->GetTrackTypeAt(t);
    if (type >= EngineCore::AnimTrack::Translation && type <= EngineCore::AnimTrack::Weights) {
      codes.push_back(static_cast<char>(type));
    }
  }
  record->tracks = EngineCore::String(codes);
  records.push_back(std::move(record));
}

void GUI_ChannelListCtrl::RemoveChannelRow(std::uint32_t key) {
  std::erase_if(records, [key](const std::unique_ptr<ChannelRow>& r) { return r->key == key; });
  Refill();
}

void GUI_ChannelListCtrl::ClearRows() {
  refilling = true;
  DeleteAllItems();
  refilling = false;
  records.clear();
}

bool GUI_ChannelListCtrl::PassesFilter(const EngineCore::String& text) const {
  if (filter.GetLength() < 2) return true;
  const std::string lower = text.ToLower().str();
  std::stringstream words(filter.str());
  std::string word;
  // Words are cut at single spaces; an empty word (two spaces in a row) passes.
  while (std::getline(words, word, ' ')) {
    if (!word.empty() && lower.find(word) == std::string::npos) return false;
  }
  return true;
}

void GUI_ChannelListCtrl::Refill() {
  refilling = true;
  DeleteAllItems();
  for (const auto& record : records) {
    if (!PassesFilter(record->text)) continue;
    const UINT rowState = record->bShown ? LVIS_SELECTED : 0;
    const int row = InsertItem(GetItemCount(), record->text.str(), -1, rowState, rowState);
    if (row < 0) continue;
    GUI_ListItem param;
    param.mask = LVIF_PARAM;
    param.iItem = row;
    param.lParam = reinterpret_cast<LPARAM>(record.get());
    SetItem(param);
    GUI_ListItem tracks;
    tracks.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
    tracks.iItem = row;
    tracks.iSubItem = 1;
    tracks.text = record->tracks.str();
    tracks.iImage = static_cast<int>(record->tracks.GetTextLength());
    tracks.state = rowState;
    tracks.stateMask = rowState;
    SetItem(tracks);
  }
  refilling = false;
}

void GUI_ChannelListCtrl::SetFilter(const EngineCore::String& text) {
  const EngineCore::String lower = text.ToLower();
  if (lower == filter) return;
  filter = lower;
  Refill();
}

bool GUI_ChannelListCtrl::SelectChannel(std::uint32_t key) {
  if (GetItemCount() == 0) return false;
  int found = -1;
  for (int row = 0; row < GetItemCount(); ++row) {
    ChannelRow* record = GetRowRecord(row);
    if (record && record->key == key) {
      found = row;
      continue;
    }
    if (record) record->bShown = false;
    SetItemState(row, 0, LVIS_SELECTED | LVIS_FOCUSED);
  }
  if (found < 0) return false;
  GetRowRecord(found)->bShown = true;
  EnsureVisible(found, true);
  SetItemState(found, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  return true;
}

int GUI_ChannelListCtrl::FindChannelRow(std::uint32_t key) const {
  for (int row = 0; row < GetItemCount(); ++row) {
    const ChannelRow* record = GetRowRecord(row);
    if (record && record->key == key) return row;
  }
  return -1;
}

ChannelRow* GUI_ChannelListCtrl::GetChannelRow(std::uint32_t key) const {
  for (const auto& record : records) {
    if (record->key == key) return record.get();
  }
  return nullptr;
}

void GUI_ChannelListCtrl::SetRowSelected(int row, bool selected) {
  ChannelRow* record = GetRowRecord(row);
  if (!record) return;
  record->bShown = selected;
  SetItemState(row, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void GUI_ChannelListCtrl::DeselectAll() {
  for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED)) {
    if (ChannelRow* record = GetRowRecord(row)) record->bShown = false;
    SetItemState(row, 0, LVIS_SELECTED);
  }
}

ChannelRow* GUI_ChannelListCtrl::GetSelectedRow(int n) const {
  GUI_ListItem item;
  if (!GetSelectedItem(item, n)) return nullptr;
  return reinterpret_cast<ChannelRow*>(item.lParam);
}

int GUI_ChannelListCtrl::CountSelected() const {
  int count = 0;
  for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED)) ++count;
  return count;
}

int GUI_ChannelListCtrl::GetHighestUnnamedNumber() const {
  const std::string stem = ModuleText::Translate(nameStem.c_str());
  int highest = -1;
  for (int row = FindItem(stem, -1, true); row >= 0; row = FindItem(stem, row, true)) {
    const ChannelRow* record = GetRowRecord(row);
    if (!record || record->text.GetTextLength() < stem.size()) continue;
    highest = std::max(highest, std::atoi(record->text.c_str() + stem.size()));
  }
  return highest;
}

void GUI_ChannelListCtrl::DrawItem(const GUI_DrawItem& drawItem) {
  const ChannelRow* record = reinterpret_cast<const ChannelRow*>(drawItem.itemData);
  if (record && record->tag == Ids::kRowTag) GUI_ListCtrl::DrawItem(drawItem);
}

void GUI_ChannelListCtrl::OnItemChanged(int item, UINT oldState, UINT newState, UINT changed) {
  GUI_ListCtrl::OnItemChanged(item, oldState, newState, changed);
  if (refilling || item < 0 || !(changed & LVIF_STATE)) return;
  ChannelRow* record = GetRowRecord(item);
  if (!record) return;
  const bool selected = (newState & LVIS_SELECTED) != 0;
  if (selected == record->bShown) return;
  record->bShown = selected;
  NotifyParent(Ids::ChannelNotify_SelectionChanged);
}

void GUI_ChannelListCtrl::OnSize(UINT type, int cx, int cy) {
  if (cx > 0) {
    // The icons stay clear of the scroll bar.
    SetColumnWidth(0, std::max(cx - Ids::kListIconColumnWidth - ScrollBarWidth, 0));
    SetColumnWidth(1, Ids::kListIconColumnWidth);
  }
  GUI_ListCtrl::OnSize(type, cx, cy);
}

std::string GUI_ChannelListCtrl::GetCellToolTip(int row, int column, int icon) const {
  const std::string codes = GetItemText(row, column);
  if (icon < 0 || static_cast<std::size_t>(icon) + 1 >= codes.size())
    return GUI_ListCtrl::GetCellToolTip(row, column, icon);
  // The kinds' icons come first, then the same four greyed out.
  static constexpr const char* kKinds[] = {"Translation track", "Rotation track", "Scale track",
                                           "Morph target weights track"};
  const int code = static_cast<unsigned char>(codes[static_cast<std::size_t>(icon) + 1]);
  return code >= 1 ? ModuleText::Translate(kKinds[(code - 1) % 4]) : std::string();
}

void GUI_ChannelListCtrl::OnRButtonDown(UINT flags, CPoint point) {
  if (refilling) return;
  GUI_ListCtrl::OnRButtonDown(flags, point);
  contextMenu.reset();
  if (!core.GetClip()) return;
  contextMenu = std::make_unique<GUI_Menu>();
  if (!contextMenu->CreatePopupMenu()) {
    EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: the channel menu could not be made");
    return;
  }
  const int selected = CountSelected();
  if (selected == 0) {
    contextMenu->AppendMenu(MF_STRING, Ids::kCmdListChannelCreate, ModuleText::Translate("Create a new Channel"),
                            GUI_ThemeManager::GetIcon(Ids::kThemeIconNew));
  }
  if (GetSelectedRow(0)) {
    if (selected == 1) {
      contextMenu->AppendMenu(MF_STRING, Ids::kCmdListChannelEdit, ModuleText::Translate("Edit Channel"),
                              GUI_ThemeManager::GetIcon(Ids::kThemeIconEdit));
    }
    contextMenu->AppendMenu(MF_STRING, Ids::kCmdListChannelRemove, ModuleText::Translate("Remove"),
                            GUI_ThemeManager::GetIcon(Ids::kThemeIconRemove));
  }
  ClientToScreen(point);
  contextMenu->TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, this);
}

bool GUI_ChannelListCtrl::OnCommand(UINT id) {
  if (id < Ids::kCmdListChannelCreate || id > Ids::kCmdListChannelRemove) return GUI_ListCtrl::OnCommand(id);
  if (!core.GetClip() || refilling) return true;
  switch (id) {
    case Ids::kCmdListChannelCreate: NotifyParent(Ids::ChannelNotify_Create); break;
    case Ids::kCmdListChannelEdit: NotifyParent(Ids::ChannelNotify_Edit); break;
    default: NotifyParent(Ids::ChannelNotify_Remove); break;
  }
  return true;
}

}  // namespace Tarvel
