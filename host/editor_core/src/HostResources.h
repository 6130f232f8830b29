#pragma once

#include <EditorCore/GUI_ResourceBundle.h>

namespace EditorCore::detail {

// Prefix of the host's own resources and the ids of its own dialog templates.
inline constexpr const char* kHostPrefix = "EditorCore";
inline constexpr UINT kMessageDialogTemplate = 1;  // OK
inline constexpr UINT kComboEnterDialogTemplate = 2;
inline constexpr UINT kMessageYesNoTemplate = 3;     // Yes, No
inline constexpr UINT kMessageOkCancelTemplate = 4;  // OK, Cancel
inline constexpr UINT kMessageChoiceTemplate = 5;    // up to three buttons of the caller's

GUI_ResourceBundle MakeHostBundle();

}  // namespace EditorCore::detail
