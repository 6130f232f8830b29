#pragma once

#include "EditorCore/GUI_Module.h"

// The three functions the host finds the module by, exported undecorated.
extern "C" {
EditorCore::GUI_Module* GetModule();
const char* GetModuleVersion();
// An icon of the module's own resources at 18 x 18, shared (never freed by the caller);
// null when the module has no icon of that number.
EditorCore::GUI_Icon* LoadIconInModule(unsigned short iconId);
}
