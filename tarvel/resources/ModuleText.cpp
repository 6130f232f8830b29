#include "resources/ModuleText.h"

#include "EditorCore/GUI_MainFrame.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

std::string ModuleText::Translate(const char* text, const char* section) {
  EditorCore::GUI_MainFrame* frame = EditorCore::GUI_MainFrame::GetMainFrame();
  if (!frame) return text;
  return frame->GetLanguageManager()->GetTranslationFor(Ids::kModuleId, section, text);
}

}  // namespace Tarvel
