#pragma once

#include <EditorCore/GUI_DnDWnd.h>
#include <EditorCore/GUI_Wnd.h>

#include <functional>
#include <memory>
#include <string>

namespace EditorCore {

struct GUI_DialogTemplate;

// A window made from a dialog template of the current resource context. Contract:
// 1. Create (a child) and DoModal (a top-level window owned by the parent) fail, returning
//    false or -1, when the template is missing; nothing is created then.
// 2. The template's controls become widgets at their rectangles, converted from dialog units
//    with the template font: x = du * averageCharWidth / 4, y = du * charHeight / 8.
//    Each gets a control object of its kind, reachable with GetDlgItem. DoDataExchange, run
//    before OnInitDialog, binds the caller's own control objects to ids with BindControl;
//    the template's object is dropped and the widget keeps its state.
// 3. Clicks on controls reach OnCommand with the control id. Ids IDOK and IDCANCEL run
//    OnOK and OnCancel; Enter and Escape do the same through PreTranslateMessage.
// 4. DoModal returns the code given to EndDialog. With a modal responder installed it does not
//    block: the window is made (hidden), OnInitDialog runs, the responder reads and fills
//    the controls and returns a code, which OnAnswer takes (by default IDOK runs OnOK and
//    IDCANCEL OnCancel, unless the responder ended the dialog itself), and DoModal returns the end code, or the
//    responder's code when nothing ended the dialog. The window is destroyed on return.
// 5. EndDialog of a child dialog only records the code.
class GUI_Dialog : public GUI_Wnd, public GUI_DnDWnd {
 public:
  using ModalResponder = std::function<int(GUI_Dialog&)>;

  GUI_Dialog();
  // For DoModal: the template and the owner window.
  explicit GUI_Dialog(UINT templateId, GUI_Wnd* parent = nullptr);
  ~GUI_Dialog() override;

  bool Create(UINT templateId, GUI_Wnd* parent);
  int DoModal();
  void EndDialog(int code);
  bool IsModal() const { return modal; }
  UINT GetTemplateID() const { return templateId; }

  virtual void DoDataExchange() {}
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  // A modal responder answered with `code`: IDOK runs OnOK and IDCANCEL OnCancel, as the
  // buttons would; a dialog whose codes mean other buttons ends with the code itself.
  virtual void OnAnswer(int code);

  GUI_Wnd* GetDlgItem(UINT id) const;
  bool BindControl(UINT id, GUI_Wnd& control);
  void SetDlgItemText(UINT id, const std::string& text);
  std::string GetDlgItemText(UINT id) const;
  void CheckDlgButton(UINT id, bool checked);
  bool IsDlgButtonChecked(UINT id) const;

  // Dialog units to pixels with this dialog's font (or the default dialog font before Create).
  void MapDialogRect(CRect& rect) const;
  CSize GetDialogBaseUnits() const;
  static CSize GetDefaultDialogBaseUnits();

  static void SetModalResponder(ModalResponder responder);
  static bool HasModalResponder();

  bool OnCommand(UINT id) override;
  bool PreTranslateMessage(const GUI_Msg& msg) override;
  void OnClose() override;
  GUI_Wnd* GetWnd() override { return this; }

 protected:
  // Builds the window from a template already at hand (the host's own dialogs).
  bool CreateFromTemplate(const GUI_DialogTemplate& dialogTemplate, GUI_Wnd* parent, bool topLevel);

 private:
  struct Controls;
  UINT templateId = 0;
  GUI_Wnd* modalParent = nullptr;
  bool modal = false;
  bool ended = false;
  int endCode = 0;
  CSize baseUnits;
  std::unique_ptr<Controls> controls;
};

}  // namespace EditorCore
