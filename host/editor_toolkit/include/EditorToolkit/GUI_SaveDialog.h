#pragma once

#include <memory>
#include <vector>

#include "EditorCore/GUI_CheckBox.h"
#include "EditorCore/GUI_Dialog.h"
#include "EditorToolkit/SaveList.h"

namespace EditorToolkit {

// Asks what to do with unsaved resources before something closes: one check box per
// unsaved resource of its save list (all checked at first), and three buttons.
//   "Save"       saves the checked resources and ends with 1 (go on); when a save fails the
//                dialog stays open with the failure shown, since going on would lose work;
//   "Don't Save" ends with 1 without saving;
//   "Cancel"     ends with 2 (stop).
// With a modal responder, the responder may uncheck boxes (controls FirstResourceId + i)
// and answers with the id of a button: IDOK (Save), DontSaveId or IDCANCEL.
class GUI_SaveDialog : public EditorCore::GUI_Dialog {
 public:
  static constexpr EditorCore::UINT TemplateId = 1;
  static constexpr EditorCore::UINT MessageId = 100;
  static constexpr EditorCore::UINT DontSaveId = 3;
  static constexpr EditorCore::UINT FirstResourceId = 1000;

  explicit GUI_SaveDialog(EditorCore::GUI_Wnd* parent = nullptr);
  ~GUI_SaveDialog() override;

  SaveList* GetSaveList() { return &saveList; }
  // Resources of the list that are still unsaved; the host shows the dialog only when
  // there is at least one.
  std::size_t GetUnsavedCount() const { return saveList.GetUnsavedCount(); }

  int DoModal();
  // The check boxes of the listed resources, in list order (while the dialog is open).
  std::size_t GetRowCount() const { return boxes.size(); }
  EditorCore::GUI_CheckBox* GetRowBox(std::size_t row) const { return boxes[row].get(); }

  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(EditorCore::UINT id) override;

 private:
  SaveList saveList;
  std::vector<EngineCore::Resource*> shown;
  std::vector<std::unique_ptr<EditorCore::GUI_CheckBox>> boxes;
  bool saveFailed = false;
};

}  // namespace EditorToolkit
