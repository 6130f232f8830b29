#include <EditorCore/GUI_ResourceScope.h>

#include <EditorCore/GUI_ResourceContext.h>

namespace EditorCore {

GUI_ResourceScope::GUI_ResourceScope(const std::string& prefix) : previous(GUI_ResourceContext::SetCurrent(prefix)) {}

GUI_ResourceScope::~GUI_ResourceScope() { GUI_ResourceContext::SetCurrent(previous); }

}  // namespace EditorCore
