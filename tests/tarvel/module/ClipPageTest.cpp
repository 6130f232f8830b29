#include <algorithm>
#include <string>

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include "ClipBuilder.h"
#include "ContrastRatio.h"
#include "CurveWriter.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorToolkit/EditorKernel.h"
#include "EngineCore/AnimTrack.h"
#include "ModuleHost.h"
#include "module/GUI_TrackListCtrl.h"

using EditorCore::CRect;
using Tarvel::AnimClipDialog;
using Tarvel::CurveInfo;

namespace {

// A page over a clip made for the test: each channel has translation keys at frames 0 and
// 10 and one rotation key, and a scale track when asked.
class ClipPage : public ModuleHost {
 protected:
  AnimClipDialog& OpenMade(std::initializer_list<const char*> channels, bool scaleToo = false) {
    ClipBuilder made("Made");
    for (const char* name : channels) {
      made.Vectors(name, EngineCore::AnimTrack::Translation, {{0, {0, 0, 0}}, {10, {1, 2, 3}}});
      made.Track(name, EngineCore::AnimTrack::Rotation).AddKey(0, EngineCore::Quaternion());
      if (scaleToo) made.Track(name, EngineCore::AnimTrack::Scale);
    }
    made.Clip().ComputeKeyFrameRange();
    EngineCore::ResourceFactory::GetInstance().AddResource(&made.Clip());
    Open("Made");
    return *Page();
  }
  void SelectAllChannels() {
    for (int row = 0; row < Channels().GetItemCount(); ++row) SelectRow(Channels(), row);
  }
};

}  // namespace

TEST_F(ClipPage, TheVerticalSplitterWidensTheLeftColumnByItsDistance) {
  Open("Walk");
  Page()->MoveWindow(0, 0, 900, 500);
  CRect before;
  Channels().GetWindowRect(before);
  EditorCore::GUI_NotifyPayload payload;
  payload.distance = 35;
  for (EditorCore::GUI_SplitterControl* splitter : Children<EditorCore::GUI_SplitterControl>(*Page())) {
    if (splitter->GetDlgCtrlID() == 3) {
      EXPECT_TRUE(Notify(*Page(), splitter, 3, splitter->NotifyMoved, payload));
    }
  }
  CRect after;
  Channels().GetWindowRect(after);
  EXPECT_EQ(after.Width(), before.Width() + 35);
}

TEST_F(ClipPage, ListsKeepReadableRowsAtEverySizeAndFreeHeightGoesToTheChannelList) {
  OpenMade({"A", "B"}, true);
  ASSERT_EQ(Tracks().GetItemCount(), 9);
  auto height = [](const EditorCore::GUI_Wnd& list) {
    CRect rect;
    list.GetWindowRect(rect);
    return rect.Height();
  };
  auto cellCentre = [](const EditorCore::GUI_ListCtrl& list, int row, int column) {
    CRect cell;
    list.GetSubItemRect(row, column, cell);
    return EditorCore::CPoint((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
  };
  Page()->MoveWindow(0, 0, 1200, 900);
  EXPECT_EQ(Tracks().GetItemText(0, 1), "Translation X");
  EXPECT_GE(height(Tracks()), 20 + 9 * 20) << "every track row shows";
  EXPECT_GT(height(Channels()), 900 / 2) << "the rest goes to the channels";
  EXPECT_EQ(Tracks().GetToolTipAt(cellCentre(Tracks(), 0, 1)), "") << "nothing is cut short";
  EXPECT_EQ(Tracks().GetToolTipAt(cellCentre(Tracks(), 0, 2)), "A Translation X") << "the icon is named";
  // A narrow page: the short words, and the whole name over the row.
  Page()->MoveWindow(0, 0, 560, 400);
  EXPECT_EQ(Tracks().GetItemText(4, 1), "R Y");
  EXPECT_EQ(Tracks().GetToolTipAt(cellCentre(Tracks(), 4, 1)), "A Rotation Y");
  CRect channel;
  Tracks().GetSubItemRect(0, 0, channel);
  EXPECT_GE(channel.Width(), 30) << "the channel's name keeps room";
  Page()->MoveWindow(0, 0, 1200, 900);
  EXPECT_EQ(Tracks().GetItemText(4, 1), "Rotation Y") << "and back";
  // The channel rows' icons say which track each stands for.
  CRect icons;
  Channels().GetSubItemRect(0, 1, icons);
  const int middle = (icons.top + icons.bottom) / 2;
  EXPECT_EQ(Channels().GetToolTipAt({icons.left + 9, middle}), "Translation track");
  EXPECT_EQ(Channels().GetToolTipAt({icons.left + 18 + 9, middle}), "Rotation track");
  EXPECT_EQ(Channels().GetToolTipAt({icons.left + 36 + 9, middle}), "Scale track");
}

TEST_F(ClipPage, ChannelRowsShowTheirTracksAndTheFastFilterKeepsRowsHoldingEveryWord) {
  OpenMade({"LeftArm", "Arm", "LeftLeg"}, true);
  const Tarvel::ChannelRow* row = Channels().GetChannelRow(EngineCore::AnimClip::ComputeChannelKey("Arm"));
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(Channels().GetItemText(0, 1), std::string("\xFF\x01\x02\x03"));
  auto& filter = Item<EditorCore::GUI_EditBox>(*Page(), 1020);
  filter.SetWindowText("arm LEFT");
  EXPECT_EQ(Rows(Channels()), (std::vector<std::string>{"LeftArm"}));
  filter.SetWindowText("arm  left");
  EXPECT_EQ(Rows(Channels()), (std::vector<std::string>{"LeftArm"})) << "an empty word passes";
  EXPECT_TRUE(Notify(*Page(), &filter, 1020, EditorCore::GUI_EditBox::NotifyEscape));
  EXPECT_EQ(filter.GetWindowText(), "");
  EXPECT_EQ(Channels().GetItemCount(), 3);
}

TEST_F(ClipPage, ChoosingChannelsListsTheirCurvesAndRebuildingRowsShowsNothingAgain) {
  OpenMade({"A", "B"});
  EXPECT_EQ(Tracks().GetItemCount(), 6);
  SelectRow(Channels(), 1);
  EXPECT_EQ(Tracks().GetItemCount(), 12);
  SelectRow(Channels(), 0, false);
  EXPECT_EQ(Tracks().GetItemCount(), 6);
  EXPECT_EQ(Tracks().GetItemText(0, 0), "B");
  SelectRow(Channels(), 0);
  const int shown = viewer.Count(2225);
  Channels().Refill();
  EXPECT_EQ(Channels().CountSelected(), 2);
  EXPECT_EQ(viewer.Count(2225), shown) << "the page was not asked to show channels again";
}

TEST_F(ClipPage, FilterBoxesHideRowsAndRestoreTheirSelection) {
  OpenMade({"A", "B"});
  SelectAllChannels();
  ASSERT_EQ(Tracks().GetItemCount(), 12);
  SelectRow(Tracks(), 4);
  CurveInfo* chosen = Tracks().GetRowCurve(4);
  ASSERT_TRUE(chosen->bSelected);
  Click(*Page(), 1029);  // rotation
  EXPECT_EQ(Tracks().GetItemCount(), 6);
  for (int row = 0; row < 6; ++row) EXPECT_NE(Tracks().GetRowCurve(row)->iTrackType, 2u);
  Click(*Page(), 1029);
  EXPECT_EQ(Tracks().GetItemCount(), 12);
  EXPECT_TRUE(chosen->bSelected);
  EXPECT_EQ(Tracks().GetSelectedCount(), 1);
  Click(*Page(), 1033);  // Y
  EXPECT_EQ(Tracks().GetItemCount(), 8);
  for (int row = 0; row < 8; ++row) EXPECT_NE(Tracks().GetRowCurve(row)->iComponent, 1u);
}

TEST_F(ClipPage, TrackRowSelectionDrivesTheCurvesAndTheTrackMenu) {
  OpenMade({"A"});
  auto trackMenu = [this] {
    return (Frame().GetMenu()->GetMenuState(3, EditorCore::MF_BYPOSITION) & EditorCore::MF_GRAYED) == 0;
  };
  EXPECT_FALSE(trackMenu());
  SelectRow(Tracks(), 0);
  EXPECT_TRUE(Tracks().GetRowCurve(0)->bSelected);
  EXPECT_TRUE(trackMenu());
  Tracks().Refill();
  EXPECT_TRUE(Tracks().GetRowCurve(0)->bSelected) << "rebuilding rows toggles nothing";
  SelectRow(Tracks(), 0, false);
  EXPECT_FALSE(Tracks().GetRowCurve(0)->bSelected);
  EXPECT_TRUE(Page()->GetCore().GetSelection().GetSelectedRows().empty());
  EXPECT_FALSE(trackMenu());
}

TEST_F(ClipPage, TheContextMenuOffersWhatTheSelectionAllowsAndRemovesChannels) {
  OpenMade({"A", "B", "C"});
  std::vector<EditorCore::UINT> items;
  EditorCore::GUI_Menu::SetPopupResponder([&items](const EditorCore::GUI_Menu& menu) {
    items.clear();
    for (int i = 0; i < menu.GetMenuItemCount(); ++i) items.push_back(menu.GetMenuItemID(i));
    return 0u;
  });
  auto menuFor = [&](int selected) {
    Channels().DeselectAll();
    for (int row = 0; row < selected; ++row) SelectRow(Channels(), row);
    Channels().OnRButtonDown(0, EditorCore::CPoint(5, 5));
    return items;
  };
  EXPECT_EQ(menuFor(0), (std::vector<EditorCore::UINT>{16674}));
  EXPECT_EQ(menuFor(1), (std::vector<EditorCore::UINT>{16675, 16676}));
  EXPECT_EQ(menuFor(2), (std::vector<EditorCore::UINT>{16676}));
  EditorCore::GUI_Menu::SetPopupResponder(nullptr);
  Channels().DeselectAll();
  SelectRow(Channels(), 0);
  SelectRow(Channels(), 2);
  // A rubber band over the whole graph makes a key of A the current key, drawn on the graph.
  Page()->MoveWindow(0, 0, 900, 600);
  CRect client;
  Graph().GetClientRect(client);
  Graph().OnLButtonDown(EditorCore::MK_LBUTTON, client.TopLeft());
  Graph().OnMouseMove(EditorCore::MK_LBUTTON, client.BottomRight());
  Graph().OnLButtonUp(0, client.BottomRight());
  ASSERT_NE(Graph().GetEditor().CurrentPoint(), nullptr);
  Channels().OnCommand(16676);
  EXPECT_EQ(Graph().GetEditor().CurrentPoint(), nullptr) << "the current key went with its channel";
  EXPECT_FALSE(static_cast<QWidget*>(Graph().GetSafeHwnd())->grab().isNull());
  EngineCore::AnimClip& clip = *Page()->GetClip();
  ASSERT_EQ(clip.GetChannelCount(), 1u);
  EXPECT_EQ(clip.GetChannelAt(0)->GetName(), "B");
  EXPECT_TRUE(clip.IsModified());
  EXPECT_EQ(Rows(Channels()), (std::vector<std::string>{"B"}));
  EXPECT_EQ(Tracks().GetItemCount(), 0);
}

TEST_F(ClipPage, TheUndoKeyTakesBackARecordedEdit) {
  OpenMade({"A"});
  SelectRow(Tracks(), 0);
  Tarvel::ClipEditCore& core = Page()->GetCore();
  CurveInfo* x = Tracks().GetRowCurve(0);
  core.BeginEdit("Test");
  core.Touch(x);
  Tarvel::CurveWriter::Of(*x).GetPointAt(1)->y = 7.0f;
  ASSERT_TRUE(core.EndEdit());
  EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->SetModifierSource([] { return 1u; });
  EXPECT_TRUE(KeyDown(*Page(), 'Z'));
  EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->SetModifierSource(nullptr);
  EXPECT_FLOAT_EQ(x->pCurve->GetPointAt(1)->y, 1.0f);
  const EngineCore::AnimCurve& keys = *Page()->GetClip()->GetChannelAt(0)->GetCurve(EngineCore::AnimTrack::Translation);
  EXPECT_FLOAT_EQ(keys.GetVector3Key(keys.GetKeyCount() - 1).x, 1.0f) << "the undo was written back";
  Page()->GetCurvePanel().SetTimeCursor(20.0f);
  EXPECT_TRUE(KeyDown(*Page(), 'K'));
  EXPECT_EQ(x->pCurve->GetPointAt(2)->x, 20.0f) << "K keys the selected curves at the cursor";
}

TEST_F(ClipPage, MenuToolsAskThroughTheirDialogs) {
  OpenMade({"A"});
  SelectRow(Tracks(), 0);
  double startTolerance = -1.0;
  EditorCore::GUI_Dialog::SetModalResponder([&](EditorCore::GUI_Dialog& dialog) {
    if (auto* edit = dynamic_cast<EditorCore::GUI_EditBox*>(dialog.GetDlgItem(1055))) {
      startTolerance = edit->GetFloatValue();
    }
    return EditorCore::IDCANCEL;
  });
  const std::size_t steps = Page()->GetCore().GetHistory().GetStepCount();
  module->OnMenuCommand(16680);
  EXPECT_DOUBLE_EQ(startTolerance, 0.05) << "the subsample tool starts at 0.05";
  module->OnMenuCommand(16676);
  EXPECT_EQ(Page()->GetCore().GetHistory().GetStepCount(), steps) << "a cancelled tool records nothing";
}

double Contrast(const QColor& a, const QColor& b) {
  return ContrastRatio(a.red(), a.green(), a.blue(), b.red(), b.green(), b.blue());
}

TEST_F(ClipPage, TrackRowsAreReadableInTheirComponentsHueOnPlainAndHighlightedRows) {
  OpenMade({"Bone"});
  Page()->MoveWindow(0, 0, 900, 600);
  Tracks().SetFocus();
  for (const bool highlighted : {false, true}) {
    for (int row = 0; row < 3; ++row) SelectRow(Tracks(), row, highlighted);
    const QImage image = static_cast<QWidget*>(Tracks().GetSafeHwnd())->grab().toImage();
    // Rows 0 to 2 are translation X, Y, Z: the label's strongest pixel is its text colour.
    for (int row = 0; row < 3; ++row) {
      CRect rect;
      Tracks().GetSubItemRect(row, 0, rect);
      const QColor ground = image.pixelColor(rect.left + 1, rect.top + 1);
      QColor text = ground;
      for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
          if (Contrast(image.pixelColor(x, y), ground) > Contrast(text, ground)) text = image.pixelColor(x, y);
        }
      }
      EXPECT_GE(Contrast(text, ground), 4.5) << "row " << row << (highlighted ? " highlighted" : "");
      const int channels[3] = {text.red(), text.green(), text.blue()};
      EXPECT_EQ(std::max_element(channels, channels + 3) - channels, row) << "the hue of axis " << row;
    }
  }
}
