#include <gtest/gtest.h>

#include "PreviewScene.h"
#include "graph/GUI_CurvePanelDialog.h"

namespace {
using ObjectList = PreviewHost;
}  // namespace

TEST_F(ObjectList, ListsTheClipsAnimatedObjectsAfterTheTwoChoices) {
  EXPECT_EQ(Entries(),
            (std::vector<std::string>{" - All animated objects", " - Scene selection", "Root [ Hero ] ", "Arm"}));
}

TEST_F(ObjectList, APageWithoutASceneSaysSo) {
  module->OnFrameworkMessage(2249, 0, 0);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"No Scene found..."}));
}

TEST_F(ObjectList, OneSelectedObjectIsChosenWithItsChannel) {
  Selection().ToggleObjectSelection(arm);
  module->OnFrameworkMessage(2225, reinterpret_cast<EditorCore::WPARAM>(&scene), 0);
  EXPECT_EQ(panel->chosenObjects, std::vector<EngineCore::SceneObject*>{arm});
  EXPECT_EQ(panel->objectCombo.GetLBText(panel->objectCombo.GetCurSel()), "Arm");
  ASSERT_NE(Page()->channelList->GetSelectedRow(0), nullptr);
  EXPECT_EQ(Page()->channelList->GetSelectedRow(0)->text, "Arm");
}

TEST_F(ObjectList, SeveralSelectedObjectsShowTheSceneSelectionAndTheirChannels) {
  Selection().ToggleObjectSelection(root);
  Selection().ToggleObjectSelection(arm);
  Selection().ToggleObjectSelection(lamp);
  module->OnFrameworkMessage(2225, reinterpret_cast<EditorCore::WPARAM>(&scene), 0);
  EXPECT_EQ(panel->chosenObjects.size(), 2u) << "the lamp is not animated by the clip";
  EXPECT_EQ(panel->objectCombo.GetCurSel(), 1);
  EXPECT_EQ(Page()->channelList->CountSelected(), 2);
}

TEST_F(ObjectList, PickingAnObjectMakesItTheSceneSelectionAndTellsTheModules) {
  ProbeModule other(0x20000000u);
  mainFrame->GetModuleManager()->RegisterModule(&other);
  Selection().ToggleObjectSelection(arm);
  viewer.received.clear();
  panel->objectCombo.SetCurSel(2);
  panel->OnObjectChoiceChanged();
  mainFrame->GetModuleManager()->UnregisterModule(&other);
  EXPECT_EQ(other.Count(2225), 1) << "the new selection is told to every module";
  EXPECT_EQ(Selection().GetSelectedObjectCount(), 1u);
  EXPECT_TRUE(Selection().IsSelected(root));
  EXPECT_EQ(panel->chosenObjects, std::vector<EngineCore::SceneObject*>{root});
  EXPECT_EQ(viewer.Count(2326), 1) << "and the viewer is told to follow it";
}

TEST_F(ObjectList, SceneSelectionEntryWithNothingSelectedChangesNothing) {
  Selection().ToggleObjectSelection(arm);
  module->OnFrameworkMessage(2225, reinterpret_cast<EditorCore::WPARAM>(&scene), 0);
  Selection().ClearObjectSelection(false);
  panel->objectCombo.SetCurSel(1);
  panel->OnObjectChoiceChanged();
  EXPECT_TRUE(panel->chosenObjects.empty());
  EXPECT_EQ(Page()->channelList->GetSelectedRow(0)->text, "Arm") << "no synchronisation ran";
}

TEST_F(ObjectList, ChoosingChannelsSelectsTheirObjectsInTheScene) {
  Page()->channelList->DeselectAll();
  Page()->channelList->SetItemState(1, EditorCore::LVIS_SELECTED, EditorCore::LVIS_SELECTED);
  EXPECT_EQ(Selection().GetSelectedObjectCount(), 1u);
  EXPECT_TRUE(Selection().IsSelected(root));
  EXPECT_EQ(panel->chosenObjects, std::vector<EngineCore::SceneObject*>{root});
}
