#include <string>

#include <gtest/gtest.h>

#include "EditorCore/GUI_Debug.h"
#include "EditorCore/GUI_MenuBar.h"
#include "EditorToolkit/GUI_SaveDialog.h"
#include "EngineCore/AnimTrack.h"
#include "ModuleHost.h"
#include "module/GUI_OpenClipPane.h"
#include "module/TarvelLibrary.h"

using EditorCore::CPoint;
using EditorCore::CRect;
using EditorCore::WPARAM;

TEST_F(ModuleHost, OpeningClipsShowsTheirFirstChannelInOneTabEach) {
  EXPECT_TRUE(Frame().GetOpenPane().IsWindowVisible());
  EXPECT_EQ(Frame().GetOpenPane().label.GetWindowText(), "Open or Drop an AnimClip.");
  EngineCore::AnimClip* walk = Open("Walk");
  EXPECT_FALSE(Frame().GetOpenPane().IsWindowVisible());
  EXPECT_TRUE(Tabs().IsWindowVisible());
  EXPECT_EQ(walk->GetReferenceCount(), 2u) << "the factory holds one reference, the page one";
  // Rows are sorted: Arm before Root; the first is shown and the viewer told.
  EXPECT_EQ(Channels().GetItemText(0, 0), "Arm");
  EXPECT_EQ(Channels().CountSelected(), 1);
  EXPECT_EQ(Tracks().GetItemCount(), 3);
  EXPECT_GE(viewer.Count(2225), 1);
  EngineCore::AnimClip* slide = Open("Slide");
  EXPECT_EQ(Page()->GetClip()->GetName(), "Slide");
  EXPECT_EQ(Children<EditorCore::GUI_TabCtrl>(Tabs()).front()->GetItemToolTip(1), "Slide");
  // A clip whose keys were not read as its file holds them says why on its tab.
  slide->SetReadingNote("its keys were sampled");
  Tabs().RefreshTitle(*Page());
  EXPECT_EQ(Children<EditorCore::GUI_TabCtrl>(Tabs()).front()->GetItemToolTip(1), "Slide: its keys were sampled");
  EXPECT_EQ(Panel().GetDlgItemText(1068), "30 fps") << "the clip's rate beside the playback buttons";
  Open("Walk");
  EXPECT_EQ(Tabs().GetTabCount(), 2);
  EXPECT_EQ(Frame().GetOpenClips().size(), 2u);
  EXPECT_EQ(Page()->GetClip(), walk) << "the clip's own tab is selected";
  EXPECT_EQ(TabText(0), "Walk");
  EXPECT_TRUE(Frame().CloseClip(walk, false));
  EXPECT_EQ(walk->GetReferenceCount(), 1u);
}

TEST_F(ModuleHost, ClipWithoutChannelsGetsADefaultChannelShownAtOnce) {
  EngineCore::AnimClip* empty = Open("Empty");
  ASSERT_EQ(empty->GetChannelCount(), 1u);
  const EngineCore::AnimChannel& channel = *empty->GetChannelAt(0);
  EXPECT_EQ(channel.GetName(), "Default");
  EXPECT_EQ(channel.GetTrackCount(), 3u);
  EXPECT_EQ(channel.GetCurve(EngineCore::AnimTrack::Rotation)->GetKeyType(), EngineCore::AnimCurve::KeyQuaternion);
  EXPECT_TRUE(empty->IsModified());
  EXPECT_EQ(Tracks().GetItemCount(), 9);
}

TEST_F(ModuleHost, ClosingModifiedClipsAsksOnceAboutEveryOneAndCancelKeepsTheirTabs) {
  EngineCore::AnimClip* walk = Open("Walk");
  walk->SetModified(true);
  Open("Slide")->SetModified(true);
  std::vector<std::string> listed;
  EditorCore::GUI_Dialog::SetModalResponder([&](EditorCore::GUI_Dialog& dialog) {
    auto& save = dynamic_cast<EditorToolkit::GUI_SaveDialog&>(dialog);
    for (std::size_t row = 0; row < save.GetRowCount(); ++row) listed.push_back(save.GetRowBox(row)->GetWindowText());
    return EditorCore::IDCANCEL;
  });
  EditorToolkit::SaveList list;
  EXPECT_EQ(module->OnFrameworkMessage(4, reinterpret_cast<WPARAM>(&list), 0), 0);
  EXPECT_EQ(list.GetCount(), 2u) << "message 4 collects the modified clips";
  EXPECT_FALSE(Frame().CloseAllClips(true));
  EXPECT_EQ(listed, (std::vector<std::string>{"Walk", "Slide"}));
  EXPECT_EQ(Tabs().GetTabCount(), 2);
  listed.clear();
  EXPECT_FALSE(Frame().CloseClip(walk, true));
  EXPECT_EQ(listed, std::vector<std::string>{"Walk"});
  EXPECT_TRUE(Frame().CloseClip(walk, false));
  EXPECT_EQ(listed.size(), 1u) << "no question without asking";
  EXPECT_EQ(Tabs().GetTabCount(), 1);
  EditorCore::GUI_Dialog::SetModalResponder(
      [](EditorCore::GUI_Dialog&) { return static_cast<int>(EditorToolkit::GUI_SaveDialog::DontSaveId); });
  module->OnFrameworkMessage(3, 0, 0);
  EXPECT_EQ(Tabs().GetTabCount(), 0) << "message 3 is Close All";
  EXPECT_TRUE(Frame().GetOpenClips().empty());
  EXPECT_TRUE(Frame().GetOpenPane().IsWindowVisible());
}

TEST_F(ModuleHost, DragsAreJudgedByTheirFirstItemAndDropsOpenClipsByName) {
  namespace fs = std::filesystem;
  const fs::path clips = folder.Path() / "AnimClips";
  fs::copy_file(clips / "Walk.gltf", clips / ".hidden.gltf");
  fs::copy_file(clips / "Walk.gltf", clips / "..gltf");
  EditorCore::GUI_DnDManager& dnd = *mainFrame->GetDnDManager();
  EXPECT_FALSE(module->CanDnD(CPoint()));
  dnd.AddData(3, "Other");
  dnd.AddData(10, "Walk");
  EXPECT_FALSE(module->CanDnD(CPoint()));
  dnd.Clear();
  for (const char* name : {"Walk.gltf", ".hidden", ".", "Missing.gltf"}) dnd.AddData(10, name);
  dnd.AddData(3, "Slide");
  EXPECT_TRUE(module->CanDnD(CPoint()));
  module->ProcessDnD(CPoint());
  dnd.Clear();
  ASSERT_EQ(Tabs().GetTabCount(), 3);
  EXPECT_EQ(TabText(0), "Walk");
  EXPECT_EQ(TabText(1), ".hidden");
  EXPECT_EQ(TabText(2), ".");
  EXPECT_TRUE(Frame().IsWindowEnabled());
}

TEST_F(ModuleHost, FrameworkMessagesReachEveryPageAndUnknownOnesChangeNothing) {
  Open("Walk");
  Tracks().GetRowCurve(1)->bSelected = true;
  module->OnFrameworkMessage(2255, 8, 0);
  EXPECT_EQ(Tracks().GetSelectedCount(), 0) << "only saved clips rebuild the rows";
  module->OnFrameworkMessage(2255, 9, 0);
  EXPECT_EQ(Tracks().GetSelectedCount(), 1);
  Open("Slide");
  EngineCore::Scene scene;
  module->OnFrameworkMessage(2249, reinterpret_cast<WPARAM>(&scene), 0);
  for (const auto& page : Tabs().GetPages()) EXPECT_EQ(page->GetScene(), &scene);
  Open("Empty");
  EXPECT_EQ(Page()->GetScene(), &scene) << "a new page takes the tab host's scene";
  EXPECT_EQ(module->OnFrameworkMessage(2, 1, 2), 0);
  EXPECT_EQ(module->OnFrameworkMessage(5, 1, 2), 0);
  EXPECT_EQ(Tabs().GetTabCount(), 3);
}

TEST_F(ModuleHost, MenusAreInstalledWhenAskedAndFollowTheOpenClips) {
  EditorCore::GUI_MenuBar bar;
  EXPECT_TRUE(module->LoadMenuBar(&bar, false));
  EXPECT_EQ(bar.GetInstalledMenu(), nullptr);
  EXPECT_TRUE(module->LoadMenuBar(&bar, true));
  EXPECT_EQ(bar.GetInstalledMenu(), Frame().GetMenu());
  EditorCore::GUI_Menu& menu = *Frame().GetMenu();
  auto enabled = [&menu](EditorCore::UINT idOrPosition, EditorCore::UINT by) {
    return (menu.GetMenuState(idOrPosition, by) & (EditorCore::MF_GRAYED | EditorCore::MF_DISABLED)) == 0;
  };
  for (EditorCore::UINT id : {16657u, 16658u, 16659u, 16660u}) EXPECT_FALSE(enabled(id, EditorCore::MF_BYCOMMAND));
  EXPECT_TRUE(enabled(16654, EditorCore::MF_BYCOMMAND) && enabled(16655, EditorCore::MF_BYCOMMAND));
  // Edit, then Channel, Track and Selection, which need a clip.
  for (EditorCore::UINT position : {2u, 3u, 4u}) EXPECT_FALSE(enabled(position, EditorCore::MF_BYPOSITION));
  EXPECT_FALSE(enabled(16770, EditorCore::MF_BYCOMMAND)) << "nothing to undo";
  Open("Walk");
  for (EditorCore::UINT id : {16657u, 16658u, 16659u, 16660u}) EXPECT_TRUE(enabled(id, EditorCore::MF_BYCOMMAND));
  EXPECT_TRUE(enabled(2, EditorCore::MF_BYPOSITION));
}

TEST_F(ModuleHost, SetWindowRectConvertsScreenToParentCoordinates) {
  CPoint origin(0, 0);
  Frame().GetParent()->ClientToScreen(origin);
  CRect rect(origin.x + 10, origin.y + 20, origin.x + 410, origin.y + 320);
  module->SetWindowRect(rect);
  EXPECT_EQ(rect, CRect(10, 20, 410, 320)) << "converted in place";
  CRect client;
  Frame().GetClientRect(client);
  EXPECT_EQ(client.Width(), 400);
  EXPECT_EQ(client.Height(), 300);
}

TEST_F(ModuleHost, TheLibraryGivesOneModuleHoweverOftenItStartsAndADestroyedWindowLeavesOnlyItsIdentity) {
  Tarvel::TarvelLibrary::Start();
  EXPECT_EQ(GetModule(), module);
  std::string output;
  auto previous = EditorCore::SetLogSink([&output](const std::string& line) { output += line; });
  module->DestroyModuleWindow();
  EditorCore::SetLogSink(previous);
  EXPECT_NE(output.find("Tarvel Destroyed !\n"), std::string::npos);
  EXPECT_EQ(module->GetModuleDialog(), nullptr);
  EditorCore::GUI_MenuBar bar;
  EXPECT_TRUE(module->LoadMenuBar(&bar, true));
  EXPECT_EQ(bar.GetInstalledMenu(), nullptr);
  module->OnMenuCommand(16660);
  module->Redraw();
  module->Show(1);
  CRect rect(1, 2, 3, 4);
  module->SetWindowRect(rect);
  module->ProcessDnD(CPoint());
  EXPECT_EQ(module->OnFrameworkMessage(3524, 0, 0), 0);
  EXPECT_EQ(module->GetModuleID(), 32u);
  EXPECT_NE(module->GetModuleIcon(), nullptr);
}

TEST_F(ModuleHost, EmptyPaneButtonAsksForAClipOfTheFolder) {
  std::vector<std::string> offered;
  EditorCore::GUI_Dialog::SetModalResponder([&](EditorCore::GUI_Dialog& dialog) {
    auto& combo = Item<EditorCore::GUI_ComboBox>(dialog, EditorCore::GUI_ComboxEnterDialog::ComboId);
    for (int i = 0; i < combo.GetCount(); ++i) offered.push_back(combo.GetLBText(i));
    combo.SetCurSel(combo.FindStringExact(-1, "Slide"));
    return EditorCore::IDOK;
  });
  Frame().GetOpenPane().OnCommand(1026);
  EXPECT_EQ(offered, (std::vector<std::string>{"Empty", "Slide", "Walk"}));
  ASSERT_EQ(Tabs().GetTabCount(), 1);
  EXPECT_EQ(Page()->GetClip()->GetName(), "Slide");
}
