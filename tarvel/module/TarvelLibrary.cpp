#include "module/TarvelLibrary.h"

#include <memory>

#include "EditorCore/GUI_ResourceContext.h"
#include "EditorToolkit/EditorKernel.h"
#include "module/ModuleExports.h"
#include "module/TarvelModule.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleResources.h"

namespace Tarvel {

namespace {
// Released by the library's stop, or at the latest when the library unloads.
std::unique_ptr<TarvelModule> theModule;
}  // namespace

bool TarvelLibrary::Start() {
  if (!theModule) theModule = std::make_unique<TarvelModule>();
  EditorToolkit::EditorKernel::GetInstance();
  if (EditorCore::GUI_ResourceContext::IsRegistered(ModuleResources::kPrefix)) return true;
  return ModuleResources::Register();
}

void TarvelLibrary::Stop() { theModule.reset(); }

TarvelModule* TarvelLibrary::GetModule() { return theModule.get(); }

}  // namespace Tarvel

namespace {

// The host loads the library with the platform's loader: this runs at load. At unload the module
// object goes with its holder, before the host's own libraries let go of their services.
__attribute__((constructor)) void StartTarvel() { Tarvel::TarvelLibrary::Start(); }

}  // namespace

extern "C" {

EditorCore::GUI_Module* GetModule() { return Tarvel::TarvelLibrary::GetModule(); }

const char* GetModuleVersion() { return Tarvel::Ids::kModuleVersion; }

EditorCore::GUI_Icon* LoadIconInModule(unsigned short iconId) { return Tarvel::ModuleResources::LoadIcon(iconId); }

}  // extern "C"
