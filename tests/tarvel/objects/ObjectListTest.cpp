#include <gtest/gtest.h>

#include "PreviewScene.h"

namespace {
using ObjectList = PreviewHost;
using Objects = std::vector<EngineCore::SceneObject*>;
}  // namespace

TEST_F(ObjectList, ListsTheClipsAnimatedObjectsAfterTheTwoChoices) {
  EXPECT_EQ(Entries(),
            (std::vector<std::string>{" - All animated objects", " - Scene selection", "Root [ Hero ] ", "Arm"}));
  module->OnFrameworkMessage(2249, 0, 0);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"No Scene found..."}));
}

TEST_F(ObjectList, TheSceneSelectionChoosesObjectsAndTheirChannels) {
  Selection().ToggleObjectSelection(arm);
  module->OnFrameworkMessage(2225, reinterpret_cast<EditorCore::WPARAM>(&scene), 0);
  EXPECT_EQ(Chosen(), Objects{arm});
  EXPECT_EQ(Combo().GetLBText(Combo().GetCurSel()), "Arm");
  EXPECT_EQ(Channels().GetSelectedRow(0)->text, "Arm");
  Selection().ToggleObjectSelection(root);
  Selection().ToggleObjectSelection(lamp);
  module->OnFrameworkMessage(2225, reinterpret_cast<EditorCore::WPARAM>(&scene), 0);
  EXPECT_EQ(Chosen().size(), 2u) << "the lamp is not animated by the clip";
  EXPECT_EQ(Combo().GetCurSel(), 1);
  EXPECT_EQ(Channels().CountSelected(), 2);
  // The scene selection entry with nothing selected changes nothing.
  Selection().ClearObjectSelection(false);
  Pick(1);
  EXPECT_TRUE(Chosen().empty());
  EXPECT_EQ(Channels().CountSelected(), 2) << "no synchronisation ran";
}

TEST_F(ObjectList, PickingAnObjectMakesItTheSceneSelectionAndTellsTheModules) {
  TestSupport::RecordingModule other(0x20000000u);
  mainFrame->GetModuleManager()->RegisterModule(&other);
  Selection().ToggleObjectSelection(arm);
  viewer.received.clear();
  Pick(2);
  mainFrame->GetModuleManager()->UnregisterModule(&other);
  EXPECT_EQ(other.Count(2225), 1) << "the new selection is told to every module";
  EXPECT_EQ(viewer.Count(2326), 1) << "and the viewer is told to follow it";
  EXPECT_EQ(Selection().GetSelectedObjectCount(), 1u);
  EXPECT_TRUE(Selection().IsSelected(root));
  EXPECT_EQ(Chosen(), Objects{root});
}

TEST_F(ObjectList, ChoosingChannelsSelectsTheirObjectsInTheScene) {
  Channels().DeselectAll();
  SelectRow(Channels(), 1);
  EXPECT_EQ(Selection().GetSelectedObjectCount(), 1u);
  EXPECT_TRUE(Selection().IsSelected(root));
  EXPECT_EQ(Chosen(), Objects{root});
}
