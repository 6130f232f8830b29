#include "TestApp.h"

#include <EditorCore/GUI_MainFrame.h>
#include <EditorCore/GUI_Menu.h>
#include <EditorCore/GUI_MenuBar.h>
#include <EditorCore/GUI_ThemeManager.h>

#include <QAction>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <vector>

using namespace EditorCore;

namespace {

// A bar with two pop-ups, as a module builds its menu.
class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bar.CreateMenu());
    ASSERT_TRUE(clip.CreatePopupMenu());
    ASSERT_TRUE(track.CreatePopupMenu());
    clip.AppendMenu(MF_STRING, 16654, "Create", GUI_ThemeManager::GetIcon(0));
    clip.AppendMenu(MF_STRING, 16655, "Open");
    clip.AppendSeparator();
    clip.AppendMenu(MF_STRING, 16659, "Close");
    track.AppendMenu(MF_STRING, 16674, "Add Point at cursor\tK");
    track.AppendMenu(MF_STRING, 16675, "Remove All Points");
    bar.AppendMenu(MF_POPUP, &clip, "Animation Clip");
    bar.AppendMenu(MF_POPUP, &track, "Track");
    ASSERT_TRUE(owner.CreateTopLevel("owner", CRect(0, 0, 100, 100)));
  }
  void TearDown() override { GUI_Menu::SetPopupResponder(nullptr); }
  GUI_Menu bar;
  GUI_Menu clip;
  GUI_Menu track;
  EditorCoreTest::NotifyRecorder owner;
};

TEST_F(MenuTest, ItemsAreFoundAndEnabledByCommandInSubMenusAndByPositionReturningThePreviousState) {
  EXPECT_EQ(bar.GetMenuItemCount(), 2);
  EXPECT_EQ(bar.GetSubMenu(1), &track);
  EXPECT_EQ(bar.GetMenuString(16674, MF_BYCOMMAND), "Add Point at cursor\tK");
  EXPECT_EQ(clip.GetMenuItemID(2), 0u);
  EXPECT_EQ(clip.GetMenuItemID(3), 16659u);
  EXPECT_EQ(bar.GetMenuItemID(0), 0xFFFFFFFFu);
  EXPECT_EQ(clip.GetMenuIcon(16654, MF_BYCOMMAND), GUI_ThemeManager::GetIcon(0));
  EXPECT_EQ(bar.GetMenuState(99999, MF_BYCOMMAND), 0xFFFFFFFFu);
  EXPECT_EQ(bar.EnableMenuItem(16659, MF_BYCOMMAND | MF_GRAYED), 0u);
  EXPECT_EQ(clip.GetMenuState(16659, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
  EXPECT_EQ(bar.EnableMenuItem(16659, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(clip.GetMenuState(16659, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(bar.EnableMenuItem(1, MF_BYPOSITION | MF_GRAYED), 0u);
  EXPECT_EQ(bar.GetMenuState(1, MF_BYPOSITION) & MF_GRAYED, MF_GRAYED);
  EXPECT_EQ(bar.EnableMenuItem(5, MF_BYPOSITION | MF_GRAYED), 0xFFFFFFFFu);
}

TEST_F(MenuTest, RadioCheckMarksOneItemOfTheRange) {
  GUI_Menu speed;
  speed.CreatePopupMenu();
  for (UINT id = 16695; id <= 16700; ++id) speed.AppendMenu(MF_STRING, id, "speed");
  speed.CheckMenuItem(16697, MF_CHECKED);
  EXPECT_TRUE(speed.CheckMenuRadioItem(16695, 16700, 16699, MF_BYCOMMAND));
  for (UINT id = 16695; id <= 16700; ++id) {
    const UINT state = speed.GetMenuState(id, MF_BYCOMMAND);
    EXPECT_EQ((state & MF_CHECKED) != 0, id == 16699) << id;
  }
  EXPECT_NE(speed.GetMenuState(16699, MF_BYCOMMAND) & MF_RADIOCHECK, 0u);
}

TEST_F(MenuTest, PopupRoutesTheChosenIdToTheOwnerOrReturnsItAndAGreyedItemCannotBeChosen) {
  GUI_Menu::SetPopupResponder([](const GUI_Menu& menu) {
    EXPECT_EQ(menu.GetMenuString(16674, MF_BYCOMMAND), "Add Point at cursor\tK");
    return 16675u;
  });
  EXPECT_EQ(track.TrackPopupMenu(TPM_RIGHTBUTTON, 10, 10, &owner), 1u);
  EXPECT_EQ(owner.commands, std::vector<UINT>{16675u});
  track.EnableMenuItem(16675, MF_BYCOMMAND | MF_GRAYED);
  EXPECT_EQ(track.TrackPopupMenu(0, 0, 0, &owner), 0u);
  GUI_Menu::SetPopupResponder([](const GUI_Menu&) { return 16674u; });
  EXPECT_EQ(track.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner), 16674u);
  EXPECT_EQ(owner.commands, std::vector<UINT>{16675u});
}

TEST_F(MenuTest, AnInstalledMenuShowsInTheBarFollowsEnablingAndLeavesWithItsMenu) {
  GUI_MainFrame frame;
  ASSERT_TRUE(frame.Create("main", CRect(0, 0, 640, 480)));
  GUI_MenuBar* menuBar = frame.GetMenuBar();
  ASSERT_NE(menuBar, nullptr);
  std::vector<UINT> chosen;
  menuBar->SetCommandHandler([&](UINT id) { chosen.push_back(id); });
  ASSERT_TRUE(GUI_MenuBar::SetMenu(menuBar, &bar));
  EXPECT_EQ(menuBar->GetInstalledMenu(), &bar);
  EXPECT_EQ(menuBar->GetEntryCount(), 2);
  auto* qbar = static_cast<QWidget*>(frame.GetSafeHwnd())->findChild<QMenuBar*>();
  ASSERT_NE(qbar, nullptr);
  QAction* trackEntry = qbar->actions().at(1);
  EXPECT_TRUE(trackEntry->isEnabled());
  bar.EnableMenuItem(1, MF_BYPOSITION | MF_GRAYED);
  EXPECT_FALSE(trackEntry->isEnabled());
  trackEntry->menu()->actions().at(0)->trigger();
  EXPECT_EQ(chosen, std::vector<UINT>{16674u});
  GUI_MenuBar::SetMenu(menuBar, nullptr);
  EXPECT_EQ(menuBar->GetEntryCount(), 0);
  // A destroyed menu leaves the bar.
  {
    GUI_Menu moduleBar;
    GUI_Menu popup;
    moduleBar.CreateMenu();
    popup.CreatePopupMenu();
    popup.AppendMenu(MF_STRING, 1, "One");
    moduleBar.AppendMenu(MF_POPUP, &popup, "Module");
    GUI_MenuBar::SetMenu(frame.GetMenuBar(), &moduleBar);
    EXPECT_EQ(frame.GetMenuBar()->GetEntryCount(), 1);
  }
  EXPECT_EQ(frame.GetMenuBar()->GetInstalledMenu(), nullptr);
  EXPECT_EQ(frame.GetMenuBar()->GetEntryCount(), 0);
}

TEST_F(MenuTest, KeysWithCtrlChooseTheEnabledItemThatNamesThemWhereverTheyAreTyped) {
  GUI_MainFrame frame;
  ASSERT_TRUE(frame.Create("main", CRect(0, 0, 640, 480)));
  std::vector<UINT> chosen;
  frame.GetMenuBar()->SetCommandHandler([&](UINT id) { chosen.push_back(id); });
  clip.AppendMenu(MF_STRING, 16657, "Save\tCtrl+S");
  clip.AppendMenu(MF_STRING, 16658, "Save All\tCtrl+Shift+S");
  clip.AppendMenu(MF_STRING | MF_GRAYED, 16660, "Close All\tCtrl+W");
  ASSERT_TRUE(GUI_MenuBar::SetMenu(frame.GetMenuBar(), &bar));
  GUI_MenuBar& menuBar = *frame.GetMenuBar();
  EXPECT_TRUE(menuBar.TranslateAccelerator('S', MK_CONTROL));
  EXPECT_TRUE(menuBar.TranslateAccelerator('S', MK_CONTROL | MK_SHIFT));
  EXPECT_FALSE(menuBar.TranslateAccelerator('W', MK_CONTROL)) << "a greyed item takes no key";
  EXPECT_FALSE(menuBar.TranslateAccelerator('K', 0)) << "keys without Ctrl stay with their windows";
  EXPECT_EQ(chosen, (std::vector<UINT>{16657u, 16658u}));
  // A key that reaches the frame (the end of the window chain) reaches the bar.
  GUI_Msg msg;
  msg.hwnd = &frame;
  msg.message = WM_KEYDOWN;
  msg.wParam = 'S';
  msg.keyFlags = MK_CONTROL;
  EXPECT_TRUE(frame.PreTranslateMessage(msg));
  EXPECT_EQ(chosen.back(), 16657u);
  GUI_MenuBar::SetMenu(frame.GetMenuBar(), nullptr);
}

}  // namespace
