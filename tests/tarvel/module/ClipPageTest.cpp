#include <string>

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include "EditorCore/GUI_Menu.h"
#include "EngineCore/AnimTrack.h"
#include "ModuleHost.h"
#include "channels/GUI_ChannelListCtrl.h"
#include "module/GUI_TrackListCtrl.h"

using EditorCore::CRect;
using Tarvel::AnimClipDialog;

namespace {

// A page over a clip made for the test, with channels named as the case needs.
class ClipPage : public ModuleHost {
 protected:
  // Builds a clip in memory, shares it through the factory and opens it.
  AnimClipDialog& OpenMade(std::initializer_list<const char*> channels, bool scaleToo = false) {
    auto* clip = new EngineCore::AnimClip("Made");
    for (const char* name : channels) {
      clip->AddChannel(name);
      EngineCore::AnimChannel& channel = *clip->GetChannel(EngineCore::AnimClip::ComputeChannelKey(name));
      channel.AddTrack(EngineCore::AnimTrack::Translation);
      channel.GetCurve(EngineCore::AnimTrack::Translation)->SetKeyType(EngineCore::AnimCurve::KeyVector3);
      channel.GetCurve(EngineCore::AnimTrack::Translation)->AddKey(0, EngineCore::Vector3(0, 0, 0));
      channel.GetCurve(EngineCore::AnimTrack::Translation)->AddKey(10, EngineCore::Vector3(1, 2, 3));
      channel.AddTrack(EngineCore::AnimTrack::Rotation);
      channel.GetCurve(EngineCore::AnimTrack::Rotation)->SetKeyType(EngineCore::AnimCurve::KeyQuaternion);
      channel.GetCurve(EngineCore::AnimTrack::Rotation)->AddKey(0, EngineCore::Quaternion());
      if (scaleToo) {
        channel.AddTrack(EngineCore::AnimTrack::Scale);
        channel.GetCurve(EngineCore::AnimTrack::Scale)->SetKeyType(EngineCore::AnimCurve::KeyVector3);
      }
    }
    clip->ComputeKeyFrameRange();
    EngineCore::ResourceFactory::GetInstance().AddResource(clip);
    clip->Release();
    Open("Made");
    return *Page();
  }

  static std::vector<std::string> Rows(const EditorCore::GUI_ListCtrl& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.GetItemCount(); ++i) rows.push_back(list.GetItemText(i, 0));
    return rows;
  }

  void ClickBox(AnimClipDialog& page, int box) {
    page.filterBoxes[static_cast<std::size_t>(box)].Check(!page.filterBoxes[static_cast<std::size_t>(box)].IsChecked());
    page.OnCommand(page.filterBoxes[static_cast<std::size_t>(box)].GetDlgCtrlID());
  }

  void SelectAllChannels(AnimClipDialog& page) {
    for (int row = 0; row < page.channelList->GetItemCount(); ++row) {
      page.channelList->SetItemState(row, EditorCore::LVIS_SELECTED, EditorCore::LVIS_SELECTED);
    }
  }
};

}  // namespace

TEST(ClipPageLayout, PlacesPanesBySplitterPositions) {
  const AnimClipDialog::Layout layout = AnimClipDialog::ComputeLayout(1000, 600, 200, 450);
  EXPECT_EQ(layout.filterLabel, CRect(1, 1, 61, 31));
  EXPECT_EQ(layout.filterEdit, CRect(61, 6, 197, 26));
  EXPECT_EQ(layout.channelList, CRect(1, 32, 200, 449));
  EXPECT_EQ(layout.horizontalSplitter, CRect(1, 450, 200, 454));
  EXPECT_EQ(layout.trackList, CRect(1, 455, 200, 568));
  EXPECT_EQ(layout.verticalSplitter, CRect(200, 1, 204, 599));
  EXPECT_EQ(layout.curveArea, CRect(204, 1, 999, 599));
  // b = min((200 - 30) / 7, 30) = 24, and 12 pixels between the kinds and the axes.
  const int lefts[6] = {1, 28, 55, 91, 118, 145};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(layout.filterBoxes[i], CRect(lefts[i], 569, lefts[i] + 24, 599)) << i;
}

TEST(ClipPageLayout, FilterBoxesNeverGrowPastThirtyPixels) {
  const AnimClipDialog::Layout layout = AnimClipDialog::ComputeLayout(1000, 600, 600, 300);
  EXPECT_EQ(layout.filterBoxes[0].Width(), 30);
  EXPECT_EQ(layout.filterBoxes[3].left, 3 * 30 + 19);
}

TEST_F(ClipPage, SplittersKeepTheirRangesAsThePageResizes) {
  Open("Walk");
  AnimClipDialog& page = *Page();
  page.MoveWindow(0, 0, 900, 500);
  EXPECT_EQ(page.horizontalSplitter->GetRangeMin(), 100);
  EXPECT_EQ(page.horizontalSplitter->GetRangeMax(), 400);
  EXPECT_EQ(page.verticalSplitter->GetRangeMin(), 200);
  EXPECT_EQ(page.verticalSplitter->GetRangeMax(), 700);
  page.MoveWindow(0, 0, 300, 150);
  EXPECT_EQ(page.horizontalSplitter->GetRangeMin(), 50);
  EXPECT_EQ(page.verticalSplitter->GetRangeMin(), 100);
}

TEST_F(ClipPage, SplitterMovesTheColumnByItsDistance) {
  Open("Walk");
  AnimClipDialog& page = *Page();
  page.MoveWindow(0, 0, 900, 500);
  const int before = page.leftWidth;
  EditorCore::GUI_NotifyPayload payload;
  payload.distance = 35;
  EditorCore::GUI_NotifyHeader header{page.verticalSplitter.get(), 3, EditorCore::GUI_SplitterControl::NotifyMoved};
  EditorCore::LRESULT result = 0;
  EXPECT_TRUE(page.OnNotify(header, payload, result));
  EXPECT_EQ(page.leftWidth, before + 35);
  CRect list;
  page.channelList->GetWindowRect(list);
  EXPECT_EQ(list.Width(), page.leftWidth - 1);
}

TEST_F(ClipPage, ChannelRowsShowTrackCodes) {
  AnimClipDialog& page = OpenMade({"Hip"}, true);
  const Tarvel::ChannelRow* row = page.channelList->GetChannelRow(EngineCore::AnimClip::ComputeChannelKey("Hip"));
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->tracks.str(), std::string("\xFF\x01\x02\x03"));
  EXPECT_EQ(row->tag, 4126u);
  EXPECT_EQ(page.channelList->GetItemText(0, 1), row->tracks.str());
}

TEST_F(ClipPage, FastFilterKeepsRowsHoldingEveryWord) {
  AnimClipDialog& page = OpenMade({"LeftArm", "Arm", "LeftLeg"});
  page.filterEdit.SetWindowText("arm LEFT");
  EXPECT_EQ(Rows(*page.channelList), (std::vector<std::string>{"LeftArm"}));
  page.filterEdit.SetWindowText("arm  left");
  EXPECT_EQ(Rows(*page.channelList), (std::vector<std::string>{"LeftArm"})) << "an empty word passes";
  EditorCore::GUI_NotifyHeader escape{&page.filterEdit, 1020, EditorCore::GUI_EditBox::NotifyEscape};
  EditorCore::LRESULT result = 0;
  EXPECT_TRUE(page.OnNotify(escape, {}, result));
  EXPECT_EQ(page.filterEdit.GetWindowText(), "");
  EXPECT_EQ(page.channelList->GetItemCount(), 3);
}

TEST_F(ClipPage, RebuildingChannelRowsKeepsTheShownOnesSelectedWithoutReshowing) {
  AnimClipDialog& page = OpenMade({"A", "B", "C"});
  SelectAllChannels(page);
  const Tarvel::TrackEntry* firstEntry = page.trackList->entries.front().get();
  page.channelList->Refill();
  EXPECT_EQ(page.channelList->CountSelected(), 3);
  EXPECT_EQ(page.trackList->entries.front().get(), firstEntry) << "the page was not asked to show channels again";
}

TEST_F(ClipPage, ChoosingChannelsListsTheirCurves) {
  AnimClipDialog& page = OpenMade({"A", "B"});
  EXPECT_EQ(page.trackList->GetItemCount(), 6);
  page.channelList->SetItemState(1, EditorCore::LVIS_SELECTED, EditorCore::LVIS_SELECTED);
  EXPECT_EQ(page.trackList->GetItemCount(), 12);
  page.channelList->SetItemState(0, 0, EditorCore::LVIS_SELECTED);
  EXPECT_EQ(page.trackList->GetItemCount(), 6);
  EXPECT_EQ(page.trackList->GetItemText(0, 0), "B");
}

TEST_F(ClipPage, FilterBoxesHideRowsAndRestoreTheirSelection) {
  AnimClipDialog& page = OpenMade({"A", "B"});
  SelectAllChannels(page);
  ASSERT_EQ(page.trackList->GetItemCount(), 12);
  page.trackList->SetItemState(4, EditorCore::LVIS_SELECTED, EditorCore::LVIS_SELECTED);
  Tarvel::CurveInfo* chosen = page.trackList->GetRowCurve(4);
  ASSERT_TRUE(chosen->bSelected);
  ClickBox(page, 1);  // rotation
  EXPECT_EQ(page.trackList->GetItemCount(), 6);
  for (int row = 0; row < 6; ++row) EXPECT_NE(page.trackList->GetRowCurve(row)->iTrackType, 2u);
  ClickBox(page, 1);
  EXPECT_EQ(page.trackList->GetItemCount(), 12);
  EXPECT_TRUE(chosen->bSelected);
  EXPECT_EQ(page.trackList->GetSelectedCount(), 1);
  ClickBox(page, 4);  // Y
  EXPECT_EQ(page.trackList->GetItemCount(), 8);
  for (int row = 0; row < 8; ++row) EXPECT_NE(page.trackList->GetRowCurve(row)->iComponent, 1u);
}

TEST_F(ClipPage, TrackRowSelectionDrivesTheCurvesSelectedFlag) {
  AnimClipDialog& page = OpenMade({"A"});
  Tarvel::GUI_TrackListCtrl& tracks = *page.trackList;
  tracks.SetItemState(0, EditorCore::LVIS_SELECTED, EditorCore::LVIS_SELECTED);
  EXPECT_TRUE(tracks.GetRowCurve(0)->bSelected);
  tracks.Refill();
  EXPECT_TRUE(tracks.GetRowCurve(0)->bSelected) << "rebuilding rows toggles nothing";
  tracks.SetItemState(0, 0, EditorCore::LVIS_SELECTED);
  EXPECT_FALSE(tracks.GetRowCurve(0)->bSelected);
  Tarvel::TrackEntry* entry = nullptr;
  EXPECT_FALSE(tracks.GetSelectedEntry(0, entry));
}

TEST_F(ClipPage, TrackRowsCarryTheirIconAndColour) {
  AnimClipDialog& page = OpenMade({"A"});
  const Tarvel::TrackEntry& rotationY = *page.trackList->entries[4];
  EXPECT_EQ(rotationY.iconText.str(), std::string("\xFF\x05"));
  EXPECT_EQ(rotationY.label, "A");
  EXPECT_EQ(Tarvel::GUI_TrackListCtrl::TextColor(1, 0), EditorCore::RGB(150, 25, 25));
  EXPECT_EQ(Tarvel::GUI_TrackListCtrl::TextColor(2, 1), EditorCore::RGB(50, 200, 50));
  EXPECT_EQ(Tarvel::GUI_TrackListCtrl::TextColor(3, 2), EditorCore::RGB(75, 75, 250));
  EXPECT_EQ(Tarvel::GUI_TrackListCtrl::IconIndex(3, 2), 9);
  EXPECT_EQ(Tarvel::GUI_TrackListCtrl::IconIndex(4, 0), 0);
}

TEST_F(ClipPage, ContextMenuOffersWhatTheSelectionAllows) {
  AnimClipDialog& page = OpenMade({"A", "B", "C"});
  std::vector<EditorCore::UINT> items;
  EditorCore::GUI_Menu::SetPopupResponder([&items](const EditorCore::GUI_Menu& menu) {
    items.clear();
    for (int i = 0; i < menu.GetMenuItemCount(); ++i) items.push_back(menu.GetMenuItemID(i));
    return 0u;
  });
  auto menuFor = [&](int selected) {
    page.channelList->DeselectAll();
    for (int row = 0; row < selected; ++row) {
      page.channelList->SetItemState(row, EditorCore::LVIS_SELECTED, EditorCore::LVIS_SELECTED);
    }
    page.channelList->OnRButtonDown(0, EditorCore::CPoint(5, 5));
    return items;
  };
  EXPECT_EQ(menuFor(0), (std::vector<EditorCore::UINT>{16674}));
  EXPECT_EQ(menuFor(1), (std::vector<EditorCore::UINT>{16675, 16676}));
  EXPECT_EQ(menuFor(2), (std::vector<EditorCore::UINT>{16676}));
  EditorCore::GUI_Menu::SetPopupResponder(nullptr);
}

TEST_F(ClipPage, RemovingSelectedChannelsTakesThemOutOfTheClip) {
  AnimClipDialog& page = OpenMade({"A", "B", "C"});
  page.channelList->SetItemState(2, EditorCore::LVIS_SELECTED, EditorCore::LVIS_SELECTED);
  page.RunChannelCommand(16676);
  EngineCore::AnimClip& clip = *page.GetClip();
  EXPECT_EQ(clip.GetChannelCount(), 1u);
  EXPECT_EQ(clip.GetChannelAt(0)->GetName(), "B");
  EXPECT_TRUE(clip.IsModified());
  EXPECT_EQ(Rows(*page.channelList), (std::vector<std::string>{"B"}));
  EXPECT_EQ(page.trackList->GetItemCount(), 0);
}

TEST_F(ClipPage, SelectChannelShowsOnlyThatChannel) {
  AnimClipDialog& page = OpenMade({"A", "B", "C"});
  SelectAllChannels(page);
  EXPECT_TRUE(page.channelList->SelectChannel(EngineCore::AnimClip::ComputeChannelKey("B")));
  EXPECT_EQ(page.channelList->CountSelected(), 1);
  EXPECT_EQ(page.channelList->GetSelectedRow(0)->text, "B");
  EXPECT_EQ(page.trackList->GetItemCount(), 6);
  EXPECT_FALSE(page.channelList->SelectChannel(12345));
  EXPECT_EQ(page.channelList->FindChannelRow(EngineCore::AnimClip::ComputeChannelKey("C")), 2);
}

TEST_F(ClipPage, UnnamedChannelsAreNumberedAfterTheHighest) {
  AnimClipDialog& page = OpenMade({"UnnamedChannel0", "unnamedchannel3", "UnnamedChannelX", "Other"});
  EXPECT_EQ(page.channelList->GetHighestUnnamedNumber(), 3);
}

TEST_F(ClipPage, UndoKeyTakesBackARecordedEdit) {
  AnimClipDialog& page = OpenMade({"A"});
  Tarvel::CurveInfo* x = page.trackList->GetRowCurve(0);
  page.trackList->SetItemState(0, EditorCore::LVIS_SELECTED, EditorCore::LVIS_SELECTED);
  page.RecordBefore(x, "Test");
  x->pCurve->GetPointAt(1)->y = 7.0f;
  page.WriteBackChannel(x->iChannelKey);
  page.RecordStep("Test", false);
  EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->SetModifierSource([] { return 1u; });
  EditorCore::GUI_Msg key;
  key.message = EditorCore::WM_KEYDOWN;
  key.wParam = 'Z';
  EXPECT_TRUE(page.PreTranslateMessage(key));
  EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->SetModifierSource(nullptr);
  EXPECT_FLOAT_EQ(x->pCurve->GetPointAt(1)->y, 1.0f);
  const EngineCore::AnimCurve& keys = *page.GetClip()->GetChannelAt(0)->GetCurve(EngineCore::AnimTrack::Translation);
  EXPECT_FLOAT_EQ(keys.GetVector3Key(keys.GetKeyCount() - 1).x, 1.0f) << "the undo was written back";
}

TEST_F(ClipPage, TrackRowsAreDrawnInTheirComponentColour) {
  AnimClipDialog& page = OpenMade({"Bone"});
  page.MoveWindow(0, 0, 900, 600);
  QImage image = static_cast<QWidget*>(page.trackList->GetSafeHwnd())->grab().toImage();
  ASSERT_FALSE(image.isNull());
  // Rows 0 to 2 are translation X, Y, Z: their labels use the component's colour.
  auto rowHasColour = [&image, &page](int row, QColor colour) {
    CRect rect;
    page.trackList->GetItemRect(row, rect);
    for (int y = rect.top; y < rect.bottom && y < image.height(); ++y) {
      for (int x = rect.left; x < std::min(rect.right, image.width()); ++x) {
        const QColor pixel = image.pixelColor(x, y);
        if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
                std::abs(pixel.blue() - colour.blue()) <
            24) {
          return true;
        }
      }
    }
    return false;
  };
  EXPECT_TRUE(rowHasColour(0, QColor(150, 25, 25)));
  EXPECT_TRUE(rowHasColour(1, QColor(25, 150, 25)));
  EXPECT_FALSE(rowHasColour(1, QColor(150, 25, 25)));
  EXPECT_TRUE(rowHasColour(2, QColor(25, 25, 150)));
}
