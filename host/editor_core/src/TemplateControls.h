#pragma once

#include <EditorCore/GUI_DialogTemplate.h>
#include <EditorCore/GUI_Wnd.h>

#include <memory>

namespace EditorCore::detail {

// The control object and widget for one control of a template, at a rectangle in pixels.
std::unique_ptr<GUI_Wnd> MakeTemplateControl(const GUI_ControlTemplate& control, GUI_Wnd* dialog, const CRect& pixels);
// Whether a caller's control object can take over a template control of this kind.
bool CanBind(GUI_ControlKind kind, GUI_Wnd& control);

}  // namespace EditorCore::detail
