#include <string>

#include <gtest/gtest.h>

#include "EngineCore/AnimTrack.h"
#include "ModuleHost.h"

using EngineCore::AnimTrack;

namespace {

// Channel operations on the page of the project's clip "Walk" (channels Root and Arm), the
// channel dialogs answered by the test as a user would fill them.
class ChannelOperations : public ModuleHost {
 protected:
  void SetUp() override {
    ModuleHost::SetUp();
    clip = Open("Walk");
  }

  static constexpr EditorCore::UINT kCreate = 16664, kEdit = 16665;  // Create Channel, Edit Channel

  // Runs a channel command whose dialog gets this name and these boxes, then OK (or Cancel).
  void Run(EditorCore::UINT command, const std::string& name, bool translation, bool rotation, bool scale,
           int code = EditorCore::IDOK) {
    EditorCore::GUI_Dialog::SetModalResponder([=, this](EditorCore::GUI_Dialog& dialog) {
      shownName = dialog.GetDlgItemText(1002u);
      shownBoxes = {dialog.IsDlgButtonChecked(1038u), dialog.IsDlgButtonChecked(1039u),
                    dialog.IsDlgButtonChecked(1040u)};
      dialog.SetDlgItemText(1002u, name);
      dialog.CheckDlgButton(1038u, translation);
      dialog.CheckDlgButton(1039u, rotation);
      dialog.CheckDlgButton(1040u, scale);
      return code;
    });
    module->OnMenuCommand(command);
  }
  EngineCore::AnimChannel* Channel(const char* name) {
    return clip->GetChannel(EngineCore::AnimClip::ComputeChannelKey(name));
  }

  EngineCore::AnimClip* clip = nullptr;
  std::string shownName;
  std::vector<bool> shownBoxes;
};

}  // namespace

TEST_F(ChannelOperations, CreateOffersAllTracksNumbersUnnamedChannelsAndTakesOnlyTheCheckedTracks) {
  Run(kCreate, "Tail", true, true, true, EditorCore::IDCANCEL);
  EXPECT_EQ(clip->GetChannelCount(), 2u) << "cancel creates nothing";
  EXPECT_FALSE(clip->IsModified());
  Run(kCreate, "", true, true, true);
  EXPECT_EQ(shownName, "");
  EXPECT_EQ(shownBoxes, (std::vector<bool>{true, true, true}));
  ASSERT_NE(Channel("UnnamedChannel0"), nullptr);
  EXPECT_EQ(Channel("UnnamedChannel0")->GetTrackCount(), 3u);
  EXPECT_TRUE(clip->IsModified());
  Run(kCreate, "unnamedchannel3", true, true, true);
  Run(kCreate, "UnnamedChannelX", true, true, true);
  Run(kCreate, "", true, true, true);
  EXPECT_NE(Channel("UnnamedChannel4"), nullptr) << "numbered after the highest, case ignored, X read as 0";
  EXPECT_EQ(Channels().GetItemCount(), 6);
  Run(kCreate, "Tail", false, true, false);
  ASSERT_NE(Channel("Tail"), nullptr);
  ASSERT_EQ(Channel("Tail")->GetTrackCount(), 1u);
  EXPECT_EQ(Channel("Tail")->GetCurve(AnimTrack::Rotation)->GetKeyType(), EngineCore::AnimCurve::KeyQuaternion);
}

TEST_F(ChannelOperations, EditShowsTheChannelRenamesItKeepingItsKeysAndDropsUncheckedTracks) {
  // Arm is the first row and is selected when the page opens.
  Run(kEdit, "Elbow", false, true, true);
  EXPECT_EQ(shownName, "Arm");
  EXPECT_EQ(shownBoxes, (std::vector<bool>{false, true, false}));
  ASSERT_NE(Channel("Elbow"), nullptr);
  EXPECT_EQ(Channel("Arm"), nullptr);
  EXPECT_EQ(Channel("Elbow")->GetCurve(AnimTrack::Rotation)->GetKeyCount(), 3u) << "a kept track keeps its keys";
  EXPECT_TRUE(Channel("Elbow")->HasTrack(AnimTrack::Scale));
  ASSERT_NE(Channels().GetSelectedRow(0), nullptr);
  EXPECT_EQ(Channels().GetSelectedRow(0)->text, "Elbow");
  Run(kEdit, "Elbow", false, false, false);
  ASSERT_NE(Channel("Elbow"), nullptr);
  EXPECT_EQ(Channel("Elbow")->GetTrackCount(), 0u) << "every box cleared leaves a channel without tracks";
}

TEST_F(ChannelOperations, EditToATakenOrAnEmptyNameKeepsTheChannelAsItWas) {
  Run(kEdit, "", true, true, true);
  EXPECT_EQ(Channel("Arm")->GetTrackCount(), 1u);
  Run(kEdit, "Root", true, true, true);
  ASSERT_NE(Channel("Arm"), nullptr);
  EXPECT_EQ(Channel("Arm")->GetTrackCount(), 1u);
  EXPECT_EQ(Channel("Root")->GetTrackCount(), 1u);
  EXPECT_NE(Page()->GetCore().GetChannelCurves(EngineCore::AnimClip::ComputeChannelKey("Arm")), nullptr);
}
