#include <QTabBar>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ClipBuilder.h"
#include "ClipKeys.h"
#include "EditorCore/GUI_EditBox.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorToolkit/EditorKernel.h"
#include "EditorToolkit/GUI_SaveDialog.h"
#include "EditorToolkit/KeyManager.h"
#include "EngineCore/AnimTrack.h"
#include "ModuleHost.h"
#include "resources/ModuleIds.h"

namespace Ids = Tarvel::Ids;

namespace {

using TestSupport::DescribeKeys;

// A page over a clip with every channel shown and every curve selected, and the user's hands:
// the mouse in the graph at a frame and a value, the menu commands, undo and redo.
class EditingRuns : public ModuleHost {
 protected:
  // Opens a clip showing the channels named (every channel when none is), all their curves
  // selected; `opened` describes its keys.
  void OpenAll(const char* name, const std::string& only = {}) {
    clip = Open(name);
    for (int row = 0; row < Channels().GetItemCount(); ++row) {
      SelectRow(Channels(), row, only.empty() || Channels().GetItemText(row, 0) == only);
    }
    for (int row = 0; row < Tracks().GetItemCount(); ++row) SelectRow(Tracks(), row);
    Graph().FitAll();
    opened = DescribeKeys(*clip);
  }
  // A press on a key, a move and a release, as the left button makes them.
  void Drag(double frame, double value, double toFrame, double toValue) {
    Graph().OnLButtonDown(EditorCore::MK_LBUTTON, At(frame, value));
    Graph().OnMouseMove(EditorCore::MK_LBUTTON, At(toFrame, toValue));
    Graph().OnLButtonUp(0, At(toFrame, toValue));
  }
  void Click(double frame, double value) { Drag(frame, value, frame, value); }
  // The modifier keys the graph sees as held from now on (KeyManager bits).
  void Hold(unsigned modifiers) {
    held = modifiers;
    EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->SetModifierSource([this] { return held; });
  }
  void TearDown() override {
    EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->SetModifierSource({});
    ModuleHost::TearDown();
  }
  void FramesMode() { Panel().OnCommand(Ids::kCtlFramesModeBox); }
  float ValueAt(const char* channel, std::uint32_t track, std::uint32_t component, float frame) {
    for (const Tarvel::CurveInfo* curve : Page()->GetCore().GetSelection().GetCurves()) {
      if (curve->iChannelKey != EngineCore::AnimClip::ComputeChannelKey(channel) || curve->iTrackType != track ||
          curve->iComponent != component) {
        continue;
      }
      float y = 0.0f;
      curve->pCurve->EvaluatePoint(frame, y);
      return y;
    }
    ADD_FAILURE() << channel << " is not shown";
    return 0.0f;
  }

  EngineCore::AnimClip* clip = nullptr;
  std::string opened;
  unsigned held = 0;
};

constexpr std::uint32_t kX = 0;
using EngineCore::AnimTrack;

}  // namespace

TEST_F(EditingRuns, AToolOnEveryCurveIsOneStepThatOneUndoTakesBackExactly) {
  OpenAll("Walk");
  module->OnMenuCommand(Ids::kCmdRemoveAllPoints);
  ASSERT_NE(DescribeKeys(*clip), opened);
  Page()->Undo();
  EXPECT_EQ(DescribeKeys(*clip), opened) << "one undo gives back every curve the tool changed";
  EXPECT_FALSE(clip->IsModified()) << "back where the file is";
  Page()->Redo();
  EXPECT_TRUE(clip->IsModified());
  EXPECT_EQ(ValueAt("Root", AnimTrack::Translation, kX, 12.0f), 0.0f);
}

TEST_F(EditingRuns, EveryDragOfAKeyMovesItAndEachUndoTakesBackOneDrag) {
  OpenAll("Walk", "Root");
  Drag(5, 1, 5, -2);
  EXPECT_NEAR(ValueAt("Root", AnimTrack::Translation, kX, 5.0f), -2.0f, 0.11f);
  const std::string afterFirst = DescribeKeys(*clip);
  Drag(5, -2, 5, -4);
  EXPECT_NEAR(ValueAt("Root", AnimTrack::Translation, kX, 5.0f), -4.0f, 0.11f) << "the second drag moves too";
  Page()->Undo();
  EXPECT_EQ(DescribeKeys(*clip), afterFirst);
  Page()->Undo();
  EXPECT_EQ(DescribeKeys(*clip), opened);
}

TEST_F(EditingRuns, AValueDragThatShiftTurnsIntoAFrameMoveIsUndoneExactly) {
  OpenAll("Walk", "Root");
  // The curve as the graph shows it, not only the clip (which an undo back to the file takes
  // from the file's keys).
  auto shown = [this] {
    std::vector<float> values;
    for (float frame = 0.0f; frame <= 16.0f; frame += 1.0f) {
      values.push_back(ValueAt("Root", AnimTrack::Translation, kX, frame));
    }
    return values;
  };
  const std::vector<float> before = shown();
  // Without falloff the value drag reaches the pressed key alone.
  Graph().GetEditor().SetFalloffBefore(0.0f);
  Graph().GetEditor().SetFalloffAfter(0.0f);
  Graph().OnLButtonDown(EditorCore::MK_LBUTTON, At(5, 1));
  Graph().OnMouseMove(EditorCore::MK_LBUTTON, At(5, -2));
  Hold(EditorToolkit::KeyManager::Shift);
  Graph().OnMouseMove(EditorCore::MK_LBUTTON, At(15, -2));
  Graph().OnLButtonUp(0, At(15, -2));
  Hold(0);
  EXPECT_NEAR(ValueAt("Root", AnimTrack::Translation, kX, 15.0f), -2.0f, 0.11f)
      << "the key moved in both, past the next key";
  const std::string dragged = DescribeKeys(*clip);
  const std::vector<float> after = shown();
  Page()->Undo();
  EXPECT_EQ(DescribeKeys(*clip), opened);
  EXPECT_EQ(shown(), before);
  Page()->Redo();
  EXPECT_EQ(DescribeKeys(*clip), dragged);
  EXPECT_EQ(shown(), after);
}

TEST_F(EditingRuns, AClickThatDropsTheKeysAPasteCoveredIsOneStepInTheValuesModeToo) {
  OpenAll("Walk", "Root");
  auto control = [&](EditorCore::WPARAM key) {
    Hold(EditorToolkit::KeyManager::Control);
    KeyDown(*Page(), key, Page());
    Hold(0);
  };
  // The x keys of frames 5 and 12 pasted from frame 12 on, over the key there.
  Drag(4, 0.5, 13, 4.5);
  control('C');
  Panel().SetTimeCursor(12.0f);
  control('V');
  const std::string pasted = DescribeKeys(*clip);
  auto covered = [this] {
    std::size_t hidden = 0;
    for (const Tarvel::CurveInfo* curve : Page()->GetCore().GetSelection().GetCurves()) {
      for (std::uint32_t i = 0; i < curve->pCurve->GetPointCount(); ++i)
        hidden += curve->pCurve->GetPointAt(i)->bHidden;
    }
    return hidden;
  };
  ASSERT_EQ(covered(), 1u) << "the paste covered the key of frame 12";
  const std::size_t steps = Page()->GetCore().GetHistory().GetStepCount();
  // A click off every key, in the values mode, drops the covered key for good: an edit.
  Click(8, 2.5);
  EXPECT_EQ(covered(), 0u);
  EXPECT_EQ(Page()->GetCore().GetHistory().GetStepCount(), steps + 1);
  Page()->Undo();
  EXPECT_EQ(DescribeKeys(*clip), pasted);
  Page()->Undo();
  EXPECT_EQ(DescribeKeys(*clip), opened);
}

TEST_F(EditingRuns, AClickThatDoesNotMoveIsNotAnEdit) {
  OpenAll("Walk", "Root");
  Click(5, 1);
  EXPECT_FALSE(clip->IsModified());
  Drag(12, 4, 12, 8);
  const std::string dragged = DescribeKeys(*clip);
  Click(5, 1);
  Page()->Undo();
  EXPECT_NE(DescribeKeys(*clip), dragged) << "the undo took back the drag, not the click";
  EXPECT_FALSE(clip->IsModified());
}

TEST_F(EditingRuns, AFrameDragTakenBackForACollisionLeavesTheClipAsTheGraphShowsIt) {
  OpenAll("Walk", "Root");
  FramesMode();
  Drag(5, 1, 12, 1);
  EXPECT_EQ(ValueAt("Root", AnimTrack::Translation, kX, 5.0f), 1.0f) << "the graph took the drag back";
  EXPECT_EQ(DescribeKeys(*clip), opened) << "and so does the clip";
  EXPECT_FALSE(clip->IsModified());
}

TEST_F(EditingRuns, ChannelOperationsMarkTheClipAndAreUndoneLikeAnyEdit) {
  OpenAll("Walk");
  EditorCore::GUI_Dialog::SetModalResponder([](EditorCore::GUI_Dialog& dialog) {
    dialog.SetDlgItemText(Ids::kCtlChannelNameEdit, "Pelvis");
    return EditorCore::IDOK;
  });
  Page()->EditChannel(EngineCore::AnimClip::ComputeChannelKey("Arm"));
  ASSERT_NE(clip->GetChannel(EngineCore::AnimClip::ComputeChannelKey("Pelvis")), nullptr);
  EXPECT_TRUE(clip->IsModified()) << "a rename is saved";
  Page()->Undo();
  EXPECT_EQ(DescribeKeys(*clip), opened);
  EXPECT_FALSE(clip->IsModified());
  Page()->Redo();
  EXPECT_NE(clip->GetChannel(EngineCore::AnimClip::ComputeChannelKey("Pelvis")), nullptr);
  for (int row = 0; row < Channels().GetItemCount(); ++row) SelectRow(Channels(), row, row == 0);
  Page()->RemoveSelectedChannels();
  EXPECT_EQ(clip->GetChannelCount(), 1u);
  Page()->Undo();
  Page()->Undo();
  EXPECT_EQ(DescribeKeys(*clip), opened) << "the removed channel comes back with every key";
}

TEST_F(EditingRuns, TheHistoryKeepsRecordingLargeStepsPastItsOldLimit) {
  std::filesystem::copy_file(std::string(TARVEL_TEST_DATA) + "/01_01.gltf", folder.Path() / "AnimClips/Take.gltf");
  std::filesystem::copy_file(std::string(TARVEL_TEST_DATA) + "/01_01.bin", folder.Path() / "AnimClips/01_01.bin");
  OpenAll("Take");
  ASSERT_EQ(Page()->GetCore().GetSelection().GetSelectedCurveCount(), 279);
  EditorCore::GUI_Dialog::SetModalResponder([](EditorCore::GUI_Dialog&) { return EditorCore::IDOK; });
  // Every flip changes all 279 curves: the old history was full after 29 of them.
  auto fingerprint = [this] { return std::hash<std::string>{}(DescribeKeys(*clip)); };
  std::vector<std::size_t> states{fingerprint()};
  for (int step = 0; step < 32; ++step) {
    module->OnMenuCommand(Ids::kCmdTrackFlip);
    states.push_back(fingerprint());
  }
  for (std::size_t back = states.size() - 1; back > 0; --back) {
    Page()->Undo();
    ASSERT_EQ(fingerprint(), states[back - 1]) << "undo " << states.size() - back;
  }
}

TEST_F(EditingRuns, DontSaveGivesTheClipBackWhatItsFileHolds) {
  OpenAll("Empty");
  ASSERT_EQ(clip->GetChannelCount(), 1u) << "the page made its Default channel";
  Panel().SetTimeCursor(3.0f);
  Page()->CreatePoint(true);
  ASSERT_TRUE(clip->IsModified());
  EditorCore::GUI_Dialog::SetModalResponder(
      [](EditorCore::GUI_Dialog&) { return static_cast<int>(EditorToolkit::GUI_SaveDialog::DontSaveId); });
  ASSERT_TRUE(Frame().CloseClip(clip, true));
  EngineCore::AnimClip* again = EngineCore::ResourceFactory::GetInstance().GetAnimClip("Empty");
  ASSERT_EQ(again, clip) << "the project keeps its clips";
  EXPECT_EQ(again->GetChannelCount(), 0u) << "the unsaved key and channel are gone";
  EXPECT_FALSE(again->IsModified());
  again->Release();
}

// A clip made for the test: a channel keyed only at frame 0, one without tracks, and one
// with translation keys at frames 0 and 10.
class PoseClip : public EditingRuns {
 protected:
  void SetUp() override {
    EditingRuns::SetUp();
    ClipBuilder made("Poses");
    made.Vectors("Pose", AnimTrack::Translation, {{0, {1, 2, 3}}}).Channel("Bare");
    made.Vectors("Move", AnimTrack::Translation, {{0, {0, 0, 0}}, {10, {5, 5, 5}}});
    made.Clip().ComputeKeyFrameRange();
    EngineCore::ResourceFactory::GetInstance().AddResource(&made.Clip());
  }
};

TEST_F(PoseClip, AChannelKeyedOnlyAtFrameZeroShowsItsKeyAndKeepsIt) {
  OpenAll("Poses");
  EXPECT_EQ(ValueAt("Pose", AnimTrack::Translation, 2, 0.0f), 3.0f) << "the pose shows as a one-point curve";
  for (int row = 0; row < Tracks().GetItemCount(); ++row) {
    SelectRow(Tracks(), row, Tracks().GetRowCurve(row)->iChannelKey == EngineCore::AnimClip::ComputeChannelKey("Move"));
  }
  module->OnMenuCommand(Ids::kCmdRemoveAllPoints);
  // Pose is the first channel: its line of the description holds its one key.
  const std::string after = DescribeKeys(*clip);
  EXPECT_EQ(after.substr(0, after.find('\n')), opened.substr(0, opened.find('\n')));
}

TEST_F(PoseClip, AChannelWithoutTracksIsListedAndCanBeRemoved) {
  OpenAll("Poses");
  const std::vector<std::string> rows = Rows(Channels());
  EXPECT_NE(std::find(rows.begin(), rows.end(), "Bare"), rows.end());
  for (int row = 0; row < Channels().GetItemCount(); ++row) SelectRow(Channels(), row, rows[row] == "Bare");
  Page()->RemoveSelectedChannels();
  EXPECT_EQ(clip->GetChannel(EngineCore::AnimClip::ComputeChannelKey("Bare")), nullptr);
}

TEST_F(EditingRuns, TypedNumbersApplyWhenConfirmedAsOneStepAndEscapeRestoresTheText) {
  OpenAll("Walk", "Root");
  auto& value = Item<EditorCore::GUI_EditBox>(Panel(), Ids::kCtlValueEdit);
  auto& key = Item<EditorCore::GUI_EditBox>(Panel(), Ids::kCtlKeyEdit);
  Click(12, 4);
  value.SetWindowText("7");
  EXPECT_EQ(ValueAt("Root", AnimTrack::Translation, kX, 12.0f), 4.0f) << "typing alone moves nothing";
  KeyDown(value, EditorCore::VK_RETURN, &value);
  EXPECT_EQ(ValueAt("Root", AnimTrack::Translation, kX, 12.0f), 7.0f);
  EXPECT_NE(DescribeKeys(*clip), opened) << "written back";
  EXPECT_TRUE(clip->IsModified());
  value.SetWindowText("9");
  KeyDown(value, EditorCore::VK_ESCAPE, &value);
  EXPECT_EQ(value.GetFloatValue(), 7.0) << "Escape puts the key's value back";
  EXPECT_EQ(ValueAt("Root", AnimTrack::Translation, kX, 12.0f), 7.0f);
  Page()->Undo();
  EXPECT_EQ(DescribeKeys(*clip), opened);
  EXPECT_TRUE(key.IsReadOnly()) << "frames are not typed in the values mode";
}

TEST_F(EditingRuns, KeysTypedInAnEditBoxEditItsText) {
  OpenAll("Walk", "Root");
  Click(12, 4);
  auto& value = Item<EditorCore::GUI_EditBox>(Panel(), Ids::kCtlValueEdit);
  for (EditorCore::WPARAM typed : {EditorCore::VK_DELETE, EditorCore::VK_LEFT, EditorCore::VK_RIGHT}) {
    EXPECT_FALSE(KeyDown(Panel(), typed, &value)) << "the box gets key " << typed;
  }
  EXPECT_EQ(DescribeKeys(*clip), opened);
  EXPECT_EQ(Page()->GetCore().GetTimeCursor(), 0.0f);
}

TEST_F(EditingRuns, TheTabBarAndThePageAgreeAndATabSaysWhenItsClipIsModified) {
  EngineCore::AnimClip* walk = Open("Walk");
  EngineCore::AnimClip* slide = Open("Slide");
  auto* tabs = Children<EditorCore::GUI_TabCtrl>(Tabs()).front();
  auto* bar = static_cast<QWidget*>(tabs->GetSafeHwnd())->findChild<QTabBar*>();
  ASSERT_NE(bar, nullptr);
  bar->setCurrentIndex(0);  // as the wheel or the arrow keys change it
  EXPECT_EQ(Page()->GetClip(), walk);
  EXPECT_TRUE(Page()->IsWindowVisible());
  for (int row = 0; row < Tracks().GetItemCount(); ++row) SelectRow(Tracks(), row);
  module->OnMenuCommand(Ids::kCmdRemoveAllPoints);
  EXPECT_EQ(TabText(0), "Walk*");
  EXPECT_EQ(TabText(1), "Slide");
  // A right click on the tab of Slide, then Close: Slide goes, Walk stays.
  EditorCore::GUI_Menu::SetPopupResponder([](const EditorCore::GUI_Menu&) { return Ids::kCmdTabClose; });
  EditorCore::GUI_NotifyPayload payload;
  payload.item = 1;
  Notify(Tabs(), tabs, 1, EditorCore::GUI_TabCtrl::NotifyContextMenu, payload);
  EditorCore::GUI_Menu::SetPopupResponder({});
  EXPECT_EQ(Frame().GetOpenClips(), std::vector<EngineCore::AnimClip*>{walk});
  (void)slide;
  Page()->Undo();
  EXPECT_EQ(TabText(0), "Walk") << "undone back to its file";
}
