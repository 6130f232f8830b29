#include "TestApp.h"

#include <EditorCore/GUI_ComboxEnterDialog.h>
#include <EditorCore/GUI_MainFrame.h>
#include <EditorCore/GUI_Menu.h>
#include <EditorCore/GUI_MenuBar.h>
#include <EditorCore/GUI_MessageDialog.h>
#include <EditorCore/GUI_Module.h>
#include <EditorCore/GUI_ResourceContext.h>
#include <EditorCore/GUI_ThemeManager.h>

#include <gtest/gtest.h>

#include <string>

#include "RecordingModule.h"

using namespace EditorCore;

namespace {

// Answers each framework message with its number plus one.
class ProbeModule : public TestSupport::RecordingModule {
 public:
  using RecordingModule::RecordingModule;
  LRESULT OnFrameworkMessage(UINT message, WPARAM w, LPARAM l) override {
    RecordingModule::OnFrameworkMessage(message, w, l);
    return static_cast<LRESULT>(message + 1);
  }
};

class ServicesTest : public ::testing::Test {
 protected:
  void TearDown() override { GUI_Dialog::SetModalResponder(nullptr); }
  GUI_MainFrame frame;
};

TEST_F(ServicesTest, TheMainFrameIsTheProcessSingleton) {
  EXPECT_EQ(GUI_MainFrame::GetMainFrame(), &frame);
  EXPECT_EQ(GUI_MainFrame::GetMainWnd(), nullptr);
  ASSERT_TRUE(frame.Create("Tarvel host", CRect(0, 0, 800, 600)));
  EXPECT_EQ(GUI_MainFrame::GetMainWnd(), &frame);
  GUI_Menu hostMenu;
  GUI_Menu file;
  hostMenu.CreateMenu();
  file.CreatePopupMenu();
  file.AppendMenu(MF_STRING, 1, "Quit");
  hostMenu.AppendMenu(MF_POPUP, &file, "File");
  frame.GetMenuBar()->SetHostMenu(&hostMenu);
  CRect panels;
  frame.GetPanelRect(panels);
  EXPECT_GT(panels.top, 0);
  EXPECT_EQ(panels.bottom, 600);
  EXPECT_EQ(panels.Width(), 800);
  frame.ShowPleaseWaitDialog(true);
  frame.ShowPleaseWaitDialog(true);
  EXPECT_TRUE(frame.IsPleaseWaitShown());
  frame.ShowPleaseWaitDialog(false);
  EXPECT_TRUE(frame.IsPleaseWaitShown());
  frame.ShowPleaseWaitDialog(false);
  EXPECT_FALSE(frame.IsPleaseWaitShown());
}

TEST_F(ServicesTest, FrameworkMessagesReachModulesByIdAndDragItemsKeepTypeAndName) {
  ProbeModule viewer(0x10000000);
  ProbeModule tarvel(32);
  GUI_ModuleManager* modules = frame.GetModuleManager();
  ASSERT_TRUE(modules->RegisterModule(&viewer));
  ASSERT_TRUE(modules->RegisterModule(&tarvel));
  EXPECT_FALSE(modules->RegisterModule(&tarvel));
  EXPECT_EQ(modules->GetModuleWithID(0x10000000), &viewer);
  EXPECT_EQ(tarvel.GetModuleWithID(0x10000000), &viewer);
  EXPECT_EQ(modules->GetModuleWithID(0x80000000), nullptr);
  EXPECT_EQ(modules->SendFrameworkMessage(&viewer, 2324, 0, 0), 2325);
  tarvel.SendFrameworkMessageToAll(3526, 0, 0);
  ASSERT_EQ(viewer.received.size(), 2u);
  EXPECT_EQ(viewer.received[1].message, 3526u);
  ASSERT_EQ(tarvel.received.size(), 1u);
  EXPECT_TRUE(modules->UnregisterModule(&viewer));
  EXPECT_EQ(tarvel.GetModuleWithID(0x10000000), nullptr);
  modules->UnregisterModule(&tarvel);
  GUI_DnDManager* dnd = frame.GetDnDManager();
  dnd->AddData(10, "01_01.gltf");
  dnd->AddData(3, "texture");
  ASSERT_EQ(dnd->GetDataCount(), 2);
  EXPECT_EQ(dnd->GetDataAt(0)->dataType, 10);
  EXPECT_EQ(dnd->GetDataAt(0)->name, "01_01.gltf");
  EXPECT_EQ(dnd->GetDataAt(2), nullptr);
  dnd->Clear();
  EXPECT_EQ(dnd->GetDataCount(), 0);
}

TEST_F(ServicesTest, TranslationsComeFromCatalogsElseTheTextItself) {
  GUI_LanguageManager* language = frame.GetLanguageManager();
  const char* open = "Open";
  EXPECT_EQ(language->GetTranslationFor(32, "Tarvel", open), open);
  ASSERT_TRUE(language->LoadCatalogJson(R"({"language": "fr", "modules": {"32": {"Tarvel": {"Open": "Ouvrir"}}}})"));
  EXPECT_STREQ(language->GetTranslationFor(32, "Tarvel", "Open"), "Ouvrir");
  EXPECT_STREQ(language->GetTranslationFor(32, "Tarvel_EditChannel", "Open"), "Open");
  EXPECT_STREQ(language->GetTranslationFor(33, "Tarvel", "Open"), "Open");
  EXPECT_FALSE(language->LoadCatalogJson("[1, 2]"));
}

TEST_F(ServicesTest, MessageDialogAnswersThroughTheResponder) {
  std::string shown;
  GUI_Dialog::SetModalResponder([&](GUI_Dialog& dlg) {
    shown = dlg.GetDlgItemText(GUI_MessageDialog::TextId);
    return IDNO;
  });
  GUI_MessageDialog question("Affect the channel?", GUI_MessageDialog::TypeYesNo, &frame);
  EXPECT_EQ(question.DoModal(), IDNO);
  EXPECT_EQ(question.GetResult(), IDNO);
  EXPECT_EQ(shown, "Affect the channel?");
  EXPECT_EQ(GUI_ResourceContext::GetCurrent(), "EditorCore");
}

TEST_F(ServicesTest, ComboEnterDialogGivesTheChosenEntry) {
  // Chooses an entry of the dialog's list, which should hold that many.
  auto choosing = [](int entry, int count) {
    GUI_Dialog::SetModalResponder([=](GUI_Dialog& dlg) {
      auto* combo = dynamic_cast<GUI_ComboBox*>(dlg.GetDlgItem(GUI_ComboxEnterDialog::ComboId));
      EXPECT_EQ(combo ? combo->GetCount() : 0, count);
      if (combo) combo->SetCurSel(entry);
      return IDOK;
    });
  };
  choosing(1, 2);
  GUI_ComboxEnterDialog choose(&frame);
  choose.SetTitle("Open");
  choose.SetPrompt("Select an Animation Clip :");
  choose.SetIcon(GUI_ThemeManager::GetIcon(307));
  choose.AddEntry("walk");
  choose.AddEntry("run");
  EXPECT_EQ(choose.DoModal(), IDOK);
  EXPECT_EQ(choose.GetString(), "run");
  // The same object can be shown again; its bound list starts afresh.
  choose.AddEntry("jump");
  choosing(2, 3);
  EXPECT_EQ(choose.DoModal(), IDOK);
  EXPECT_EQ(choose.GetString(), "jump");
}

TEST(Theme, DisabledIconsAreNewGreyCopies) {
  GUI_Icon* icon = GUI_ThemeManager::GetIcon(0);
  EXPECT_EQ(GUI_ThemeManager::GetIcon(0), icon);
  GUI_Icon* disabled = GUI_ThemeManager::DisableIcon(icon, GUI_ThemeManager::GetColor(11));
  ASSERT_NE(disabled, nullptr);
  EXPECT_NE(disabled, icon);
  GUI_ThemeManager::DestroyIcon(disabled);
  EXPECT_EQ(GUI_ThemeManager::DisableIcon(nullptr, 0), nullptr);
  EXPECT_EQ(GUI_ThemeManager::GetIcon(-1), nullptr) << "-1 asks for no icon";
  EXPECT_NE(GUI_ThemeManager::GetCursor(15), nullptr);
  EXPECT_NE(GUI_ThemeManager::GetBitmap(10), nullptr);
  EXPECT_NE(GUI_ThemeManager::GetFont(1, 2), nullptr);
  EXPECT_NE(GUI_ThemeManager::GetColor(72), GUI_ThemeManager::GetColor(73));
}

}  // namespace
