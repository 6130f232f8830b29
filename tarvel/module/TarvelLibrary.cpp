#include "module/TarvelLibrary.h"

#include "module/ModuleExports.h"

#include "EditorCore/GUI_ResourceContext.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "EditorToolkit/EditorKernel.h"
#include "module/ModuleIds.h"
#include "module/TarvelModule.h"
#include "resources/ModuleResources.h"

namespace Tarvel {

namespace {
TarvelModule* theModule = nullptr;
}  // namespace

bool TarvelLibrary::Start() {
  if (!theModule) theModule = new TarvelModule();
  EditorToolkit::EditorKernel::GetInstance();
  if (EditorCore::GUI_ResourceContext::IsRegistered(ModuleResources::kPrefix)) return true;
  return ModuleResources::Register();
}

void TarvelLibrary::Stop() {
  delete theModule;
  theModule = nullptr;
}

TarvelModule* TarvelLibrary::GetModule() { return theModule; }

}  // namespace Tarvel

namespace {

// The host loads the library with the platform's loader; these run at load and unload.
__attribute__((constructor)) void StartTarvel() { Tarvel::TarvelLibrary::Start(); }
__attribute__((destructor)) void StopTarvel() { Tarvel::TarvelLibrary::Stop(); }

}  // namespace

extern "C" {

EditorCore::GUI_Module* GetModule() { return Tarvel::TarvelLibrary::GetModule(); }

const char* GetModuleVersion() { return Tarvel::Ids::kModuleVersion; }

EditorCore::GUI_Icon* LoadIconInModule(unsigned short iconId) {
  EditorCore::GUI_ResourceScope scope(Tarvel::ModuleResources::kPrefix);
  return EditorCore::GUI_ResourceContext::LoadIcon(iconId, Tarvel::Ids::kIconSize);
}

}  // extern "C"
