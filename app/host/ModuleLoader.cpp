#include "ModuleLoader.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>

#include "EngineCore/Log.h"

namespace TarvelHost {

namespace fs = std::filesystem;
using EngineCore::Log;

ModuleLoader::~ModuleLoader() {
  // Later libraries may use earlier ones' modules; close in reverse order.
  for (auto it = modules.rbegin(); it != modules.rend(); ++it) dlclose(it->handle);
}

int ModuleLoader::LoadFolder(const std::string& folder) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    Log::Write(Log::Warning, "No modules folder at %s", folder.c_str());
    return 0;
  }
  std::vector<std::string> paths;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.is_regular_file(ec) && entry.path().extension() == ".so") paths.push_back(entry.path().string());
  }
  std::sort(paths.begin(), paths.end());
  int kept = 0;
  for (const std::string& path : paths) kept += LoadLibrary(path) ? 1 : 0;
  return kept;
}

bool ModuleLoader::LoadLibrary(const std::string& path) {
  // Kept mapped after dlclose: windows and callbacks a module left with the host's libraries
  // must never point into unmapped code.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!handle) {
    const char* reason = dlerror();
    Skip(path, reason ? reason : "it does not open", nullptr);
    return false;
  }
  auto getModule = reinterpret_cast<GetModuleFunction>(dlsym(handle, "GetModule"));
  auto getVersion = reinterpret_cast<GetModuleVersionFunction>(dlsym(handle, "GetModuleVersion"));
  auto loadIcon = reinterpret_cast<LoadIconFunction>(dlsym(handle, "LoadIconInModule"));
  if (!getModule || !getVersion || !loadIcon) {
    Skip(path, "it does not export GetModule, GetModuleVersion and LoadIconInModule", handle);
    return false;
  }
  EditorCore::GUI_Module* module = getModule();
  if (!module) {
    Skip(path, "its GetModule returned no module", handle);
    return false;
  }
  for (const LoadedModule& loaded : modules) {
    // The platform loader hands out one copy of a library however often it is opened.
    if (loaded.module == module) {
      dlclose(handle);
      return true;
    }
  }
  LoadedModule loaded;
  loaded.path = path;
  loaded.handle = handle;
  loaded.module = module;
  const char* version = getVersion();
  loaded.version = version ? version : "";
  const char* name = module->GetModuleName();
  loaded.name = name ? name : "";
  loaded.id = module->GetModuleID();
  loaded.icon = module->GetModuleIcon();
  loaded.loadIcon = loadIcon;
  Log::Write(Log::Info, "Module %s %s (id %u) loaded from %s", loaded.name.c_str(), loaded.version.c_str(), loaded.id,
             path.c_str());
  modules.push_back(std::move(loaded));
  return true;
}

void ModuleLoader::Skip(const std::string& path, const std::string& reason, void* handle) {
  if (handle) dlclose(handle);
  Log::Write(Log::Warning, "Skipped %s: %s", path.c_str(), reason.c_str());
  skipped.push_back(path + ": " + reason);
}

}  // namespace TarvelHost
