#pragma once

#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_Label.h"
#include "EditorCore/GUI_PushButton.h"

namespace Tarvel {

class GUI_ClipEditorFrame;

// What the module shows while no clip is open: a large "Open" button and the hint
// "Open or Drop an AnimClip.".
class GUI_OpenClipPane : public EditorCore::GUI_Dialog {
 public:
  explicit GUI_OpenClipPane(GUI_ClipEditorFrame* owner) : frame(owner) {}

  bool Create(EditorCore::GUI_Wnd* parent);

  void DoDataExchange() override;
  bool OnInitDialog() override;
  void OnSize(EditorCore::UINT type, int cx, int cy) override;
  bool OnEraseBkgnd(EditorCore::GUI_DC& dc) override;
  bool OnCommand(EditorCore::UINT id) override;
  void OnOK() override {}
  void OnCancel() override {}

  GUI_ClipEditorFrame* frame;
  EditorCore::GUI_Label label;
  EditorCore::GUI_PushButton openButton;
};

}  // namespace Tarvel
