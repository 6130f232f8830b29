#include "TemplateControls.h"

#include <EditorCore/GUI_CheckBox.h>
#include <EditorCore/GUI_ComboBox.h>
#include <EditorCore/GUI_EditBox.h>
#include <EditorCore/GUI_Label.h>
#include <EditorCore/GUI_ListCtrl.h>
#include <EditorCore/GUI_PushButton.h>
#include <EditorCore/GUI_RadioButton.h>

#include "QtConvert.h"
#include "WndState.h"

#include <QGroupBox>
#include <QPushButton>

namespace EditorCore::detail {

namespace {

// A frame with a title around other controls; it has no behaviour of its own.
class GroupBoxWnd : public GUI_Wnd {
 public:
  bool Create(GUI_Wnd* parent, const CRect& rect, UINT id, const std::string& text, UINT style) {
    QWidget* parentWidget = ParentWidgetOf(parent);
    if (!parentWidget) return false;
    auto* box = new QGroupBox(ToQString(text), parentWidget);
    box->setGeometry(ToQRect(rect));
    box->lower();
    return AttachNewWidget(box, parent, id, style);
  }
};

UINT WindowStyle(const GUI_ControlTemplate& c) {
  UINT style = c.style | WS_CHILD;
  if (!c.hidden) style |= WS_VISIBLE;
  if (c.disabled) style |= WS_DISABLED;
  return style;
}

}  // namespace

std::unique_ptr<GUI_Wnd> MakeTemplateControl(const GUI_ControlTemplate& c, GUI_Wnd* dialog, const CRect& r) {
  const UINT style = WindowStyle(c);
  switch (c.kind) {
    case GUI_ControlKind::Label: {
      auto w = std::make_unique<GUI_Label>();
      return w->Create(dialog, r, c.id, c.text, style) ? std::move(w) : nullptr;
    }
    case GUI_ControlKind::Edit: {
      auto w = std::make_unique<GUI_EditBox>();
      if (!w->Create(dialog, r, c.id, style)) return nullptr;
      w->SetWindowText(c.text);
      return w;
    }
    case GUI_ControlKind::CheckBox: {
      auto w = std::make_unique<GUI_CheckBox>();
      return w->Create(dialog, r, c.id, c.text, style) ? std::move(w) : nullptr;
    }
    case GUI_ControlKind::PushButton:
    case GUI_ControlKind::DefPushButton: {
      auto w = std::make_unique<GUI_PushButton>();
      if (!w->Create(dialog, r, c.id, c.text, style)) return nullptr;
      if (c.kind == GUI_ControlKind::DefPushButton) {
        if (auto* b = qobject_cast<QPushButton*>(WidgetOf(w.get()))) b->setDefault(true);
      }
      return w;
    }
    case GUI_ControlKind::RadioButton: {
      auto w = std::make_unique<GUI_RadioButton>();
      return w->Create(dialog, r, c.id, c.text, style) ? std::move(w) : nullptr;
    }
    case GUI_ControlKind::ComboBox: {
      auto w = std::make_unique<GUI_ComboBox>();
      return w->Create(dialog, r, c.id, style) ? std::move(w) : nullptr;
    }
    case GUI_ControlKind::ListCtrl: {
      auto w = std::make_unique<GUI_ListCtrl>();
      return w->Create(dialog, style, r, c.id) ? std::move(w) : nullptr;
    }
    case GUI_ControlKind::GroupBox: {
      auto w = std::make_unique<GroupBoxWnd>();
      return w->Create(dialog, r, c.id, c.text, style) ? std::move(w) : nullptr;
    }
  }
  return nullptr;
}

bool CanBind(GUI_ControlKind kind, GUI_Wnd& control) {
  switch (kind) {
    case GUI_ControlKind::Label: return dynamic_cast<GUI_Label*>(&control) != nullptr;
    case GUI_ControlKind::Edit: return dynamic_cast<GUI_EditBox*>(&control) != nullptr;
    case GUI_ControlKind::CheckBox: return dynamic_cast<GUI_CheckBox*>(&control) != nullptr;
    case GUI_ControlKind::PushButton:
    case GUI_ControlKind::DefPushButton: return dynamic_cast<GUI_PushButton*>(&control) != nullptr;
    case GUI_ControlKind::RadioButton: return dynamic_cast<GUI_RadioButton*>(&control) != nullptr;
    case GUI_ControlKind::ComboBox: return dynamic_cast<GUI_ComboBox*>(&control) != nullptr;
    case GUI_ControlKind::ListCtrl: return dynamic_cast<GUI_ListCtrl*>(&control) != nullptr;
    case GUI_ControlKind::GroupBox: return false;
  }
  return false;
}

}  // namespace EditorCore::detail
