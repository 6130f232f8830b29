#include "TestApp.h"

#include <EditorCore/GUI_CheckBox.h>
#include <EditorCore/GUI_ComboBox.h>
#include <EditorCore/GUI_Dialog.h>
#include <EditorCore/GUI_EditBox.h>
#include <EditorCore/GUI_Label.h>
#include <EditorCore/GUI_MessageDialog.h>
#include <EditorCore/GUI_PushButton.h>
#include <EditorCore/GUI_RadioButton.h>
#include <EditorCore/GUI_ResourceContext.h>
#include <EditorCore/GUI_ResourceScope.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace EditorCore;
using EditorCoreTest::Widget;

namespace {

constexpr const char* kPrefix = "DialogTest";

constexpr const char* kTemplates = R"([
  {"id": 5001, "size": [195, 108], "caption": "Channel",
   "controls": [
     {"id": 1009, "kind": "static", "text": "Name :", "rect": [4, 6, 58, 12]},
     {"id": 1002, "kind": "edit", "rect": [62, 6, 129, 12]},
     {"id": 1038, "kind": "checkbox", "text": "Translation", "rect": [62, 30, 129, 10]},
     {"id": 1053, "kind": "radio", "text": "Horizontal", "rect": [56, 50, 82, 10]},
     {"id": 1054, "kind": "radio", "text": "Vertical", "rect": [56, 62, 82, 10]},
     {"id": 1023, "kind": "combobox", "rect": [4, 74, 48, 30]},
     {"id": 1, "kind": "defbutton", "text": "OK", "rect": [84, 88, 50, 14]},
     {"id": 2, "kind": "button", "text": "Cancel", "rect": [138, 88, 50, 14]}
   ]}
])";

int ToPixelsX(int du, CSize base) { return (du * base.cx + 2) / 4; }
int ToPixelsY(int du, CSize base) { return (du * base.cy + 4) / 8; }

// A dialog bound to the template's edit and check boxes, as the module's dialogs are, that
// counts how it was ended.
class NameDialog : public GUI_Dialog {
 public:
  explicit NameDialog(GUI_Wnd* parent = nullptr) : GUI_Dialog(5001, parent) {}
  GUI_EditBox nameEdit;
  GUI_CheckBox translation;
  std::string name = "start";
  int okCalls = 0;
  int cancelCalls = 0;
  std::vector<int> notifyCodes;

  void DoDataExchange() override {
    BindControl(1002, nameEdit);
    BindControl(1038, translation);
  }
  bool OnInitDialog() override {
    nameEdit.SetWindowText(name);
    translation.Check(true);
    return true;
  }
  void OnOK() override {
    ++okCalls;
    EndDialog(IDOK);
  }
  void OnCancel() override {
    ++cancelCalls;
    GUI_Dialog::OnCancel();
  }
  bool OnNotify(const GUI_NotifyHeader& header, const GUI_NotifyPayload&, LRESULT&) override {
    notifyCodes.push_back(header.code);
    return false;
  }
};

class DialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    GUI_ResourceBundle bundle;
    ASSERT_TRUE(bundle.AddTemplatesJson(kTemplates));
    GUI_ResourceContext::Register(kPrefix, bundle);
  }
  void SetUp() override { ASSERT_TRUE(host.CreateTopLevel("host", CRect(0, 0, 800, 600))); }
  void TearDown() override { GUI_Dialog::SetModalResponder(nullptr); }
  GUI_Wnd host;
};

TEST_F(DialogTest, TemplateControlsBecomeWidgetsAtTheirPixelRectanglesWithRadioButtonsExcludingEachOther) {
  GUI_ResourceScope scope(kPrefix);
  GUI_Dialog dialog;
  ASSERT_TRUE(dialog.Create(5001, &host));
  const CSize base = GUI_Dialog::GetDefaultDialogBaseUnits();
  EXPECT_EQ(dialog.GetDialogBaseUnits(), base);
  // DejaVu Sans 8 pt: a sane average character cell.
  EXPECT_GE(base.cx, 4);
  EXPECT_LE(base.cx, 10);
  EXPECT_GE(base.cy, 9);
  EXPECT_LE(base.cy, 18);

  GUI_Wnd* edit = dialog.GetDlgItem(1002);
  ASSERT_NE(edit, nullptr);
  EXPECT_NE(dynamic_cast<GUI_EditBox*>(edit), nullptr);
  EXPECT_EQ(Widget(*edit)->geometry(),
            QRect(ToPixelsX(62, base), ToPixelsY(6, base), ToPixelsX(191, base) - ToPixelsX(62, base),
                  ToPixelsY(18, base) - ToPixelsY(6, base)));
  GUI_Wnd* label = dialog.GetDlgItem(1009);
  ASSERT_NE(dynamic_cast<GUI_Label*>(label), nullptr);
  EXPECT_EQ(label->GetWindowText(), "Name :");
  EXPECT_EQ(Widget(*label)->x(), ToPixelsX(4, base));
  EXPECT_NE(dynamic_cast<GUI_CheckBox*>(dialog.GetDlgItem(1038)), nullptr);
  EXPECT_NE(dynamic_cast<GUI_ComboBox*>(dialog.GetDlgItem(1023)), nullptr);
  EXPECT_NE(dynamic_cast<GUI_PushButton*>(dialog.GetDlgItem(IDOK)), nullptr);
  EXPECT_EQ(dialog.GetDlgItem(4242), nullptr);

  CRect client;
  dialog.GetClientRect(client);
  EXPECT_EQ(client.Width(), ToPixelsX(195, base));
  EXPECT_EQ(client.Height(), ToPixelsY(108, base));
  EXPECT_EQ(dialog.GetParent(), &host);
  // Radio buttons of one dialog exclude each other.
  auto* horizontal = dynamic_cast<GUI_RadioButton*>(dialog.GetDlgItem(1053));
  auto* vertical = dynamic_cast<GUI_RadioButton*>(dialog.GetDlgItem(1054));
  horizontal->Check(true);
  qobject_cast<QAbstractButton*>(Widget(*vertical))->click();
  EXPECT_TRUE(vertical->IsChecked());
  EXPECT_FALSE(horizontal->IsChecked());
}

TEST_F(DialogTest, TemplatesAreFoundOnlyInTheCurrentResourceContextAndAMissingOneMakesNoWindow) {
  const std::string before = GUI_ResourceContext::GetCurrent();
  EXPECT_EQ(GUI_ResourceContext::FindTemplate(5001), nullptr);
  GUI_Dialog outside;
  EXPECT_FALSE(outside.Create(5001, &host));
  {
    GUI_ResourceScope scope(kPrefix);
    EXPECT_NE(GUI_ResourceContext::FindTemplate(5001), nullptr);
    GUI_Dialog inside;
    EXPECT_TRUE(inside.Create(5001, &host));
    GUI_Dialog missing;
    EXPECT_FALSE(missing.Create(9999, &host));
    EXPECT_FALSE(missing.IsWindow());
    GUI_Dialog modal(9999, &host);
    EXPECT_EQ(modal.DoModal(), -1);
  }
  EXPECT_EQ(GUI_ResourceContext::GetCurrent(), before);
}

TEST_F(DialogTest, BoundControlsTakeOverTheTemplateWidgetsAndNotifyTheDialogOfChanges) {
  GUI_ResourceScope scope(kPrefix);
  NameDialog dialog;
  ASSERT_TRUE(dialog.Create(5001, &host));
  EXPECT_EQ(dialog.GetDlgItem(1002), &dialog.nameEdit);
  EXPECT_TRUE(dialog.nameEdit.IsWindow());
  EXPECT_EQ(qobject_cast<QLineEdit*>(Widget(dialog.nameEdit))->text(), "start");
  EXPECT_TRUE(dialog.IsDlgButtonChecked(1038));
  dialog.nameEdit.SetTypeAsFloat(2, false);
  dialog.nameEdit.SetFloatValue(1.5);
  EXPECT_EQ(dialog.GetDlgItemText(1002), "1.50");
  EXPECT_DOUBLE_EQ(dialog.nameEdit.GetFloatValue(), 1.5);
  dialog.notifyCodes.clear();
  dialog.nameEdit.SetWindowText("Legs");
  ASSERT_FALSE(dialog.notifyCodes.empty());
  EXPECT_EQ(dialog.notifyCodes.back(), GUI_EditBox::NotifyValueChanged);
}

TEST_F(DialogTest, AModalDialogEndsWithTheButtonOrKeyPressedElseWithTheRespondersCode) {
  GUI_ResourceScope scope(kPrefix);
  // A key typed in the edit box (or none), a click on OK, the responder's code; then how it ends.
  struct Case {
    Qt::Key key;
    bool clickOk;
    int answer, code, okCalls, cancelCalls;
  };
  const Case cases[] = {{Qt::Key_unknown, false, IDCANCEL, IDCANCEL, 0, 1},
                        {Qt::Key_unknown, false, 5, 5, 0, 0},
                        {Qt::Key_Return, false, 77, IDOK, 1, 0},
                        {Qt::Key_Escape, false, 77, IDCANCEL, 0, 1},
                        {Qt::Key_unknown, true, 0, IDOK, 1, 0}};
  for (const Case& c : cases) {
    GUI_Dialog::SetModalResponder([&c](GUI_Dialog& dlg) {
      QKeyEvent key(QEvent::KeyPress, c.key, Qt::NoModifier);
      if (c.key != Qt::Key_unknown) QApplication::sendEvent(Widget(*dlg.GetDlgItem(1002)), &key);
      if (c.clickOk) qobject_cast<QAbstractButton*>(Widget(*dlg.GetDlgItem(IDOK)))->click();
      return c.answer;
    });
    NameDialog dialog(&host);
    EXPECT_EQ(dialog.DoModal(), c.code) << c.key << " " << c.answer;
    EXPECT_EQ(dialog.okCalls, c.okCalls) << c.key << " " << c.answer;
    EXPECT_EQ(dialog.cancelCalls, c.cancelCalls) << c.key << " " << c.answer;
  }
}

TEST_F(DialogTest, AChoiceEndsWithTheNumberOfItsButtonAndAnyKeyGivesTheSafeAnswer) {
  // A click on a button (0: none), a key, the responder's code; then how it ends.
  struct Case {
    int click;
    Qt::Key key;
    int answer, code;
  };
  const Case cases[] = {{0, Qt::Key_unknown, 1, 1}, {0, Qt::Key_unknown, 2, 2}, {0, Qt::Key_unknown, 3, 3},
                        {2, Qt::Key_unknown, 0, 2}, {0, Qt::Key_Return, 0, 3},  {0, Qt::Key_Escape, 0, 3}};
  for (const Case& c : cases) {
    std::vector<std::string> texts;
    bool thirdShown = true;
    GUI_Dialog::SetModalResponder([&](GUI_Dialog& dlg) {
      for (UINT id : {1001u, 1002u}) texts.push_back(dlg.GetDlgItem(id)->GetWindowText());
      thirdShown = Widget(*dlg.GetDlgItem(1003))->isVisibleTo(Widget(dlg));
      QKeyEvent key(QEvent::KeyPress, c.key, Qt::NoModifier);
      if (c.key != Qt::Key_unknown) QApplication::sendEvent(Widget(*dlg.GetDlgItem(1001)), &key);
      if (c.click) qobject_cast<QAbstractButton*>(Widget(*dlg.GetDlgItem(1000 + c.click)))->click();
      return c.answer;
    });
    GUI_MessageDialog choice("Keep it?", {"Keep", "Drop"}, 3, &host);
    EXPECT_EQ(choice.DoModal(), c.code) << c.click << " " << c.key << " " << c.answer;
    EXPECT_EQ(texts, (std::vector<std::string>{"Keep", "Drop"}));
    EXPECT_FALSE(thirdShown);
  }
}

TEST(DialogTemplateJson, MalformedTemplatesAreRefused) {
  std::vector<GUI_DialogTemplate> out;
  EXPECT_FALSE(GUI_DialogTemplate::ParseJson("{not json", out));
  EXPECT_FALSE(GUI_DialogTemplate::ParseJson(R"({"id": 1, "size": [10]})", out));
  EXPECT_FALSE(GUI_DialogTemplate::ParseJson(
      R"({"id": 1, "size": [10, 10], "controls": [{"id": 3, "kind": "slider", "rect": [0,0,1,1]}]})", out));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(GUI_DialogTemplate::ParseJson(
      R"({"id": 7, "size": [10, 20], "controls": [{"id": 3, "kind": "edit", "rect": [1, 2, 3, 4], "disabled": true}]})",
      out));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].size, CSize(10, 20));
  ASSERT_EQ(out[0].controls.size(), 1u);
  EXPECT_EQ(out[0].controls[0].rect, CRect(1, 2, 4, 6));
  EXPECT_TRUE(out[0].controls[0].disabled);
}

}  // namespace
