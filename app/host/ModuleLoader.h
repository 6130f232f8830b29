#pragma once

#include <string>
#include <vector>

#include "EditorCore/GUI_Module.h"

namespace TarvelHost {

// Opens the module libraries of a folder. A module library exports, undecorated,
//   GUI_Module* GetModule(); const char* GetModuleVersion(); GUI_Icon* LoadIconInModule(unsigned short);
// Contract:
// 1. Every regular file ending in ".so" is opened with dlopen, in name order.
// 2. A library that does not open, lacks one of the three functions or whose GetModule
//    returns null is closed again and skipped with a log line; the others are kept.
// 3. Libraries are never unmapped (a library's stop runs at process exit and deletes its
//    module); module objects belong to their libraries, never to the host. Loading a
//    library again gives its same module.
class ModuleLoader {
 public:
  using GetModuleFunction = EditorCore::GUI_Module* (*)();
  using GetModuleVersionFunction = const char* (*)();
  using LoadIconFunction = EditorCore::GUI_Icon* (*)(unsigned short);

  // What the host read from one library.
  struct LoadedModule {
    std::string path;
    void* handle = nullptr;
    EditorCore::GUI_Module* module = nullptr;
    std::string version;
    std::string name;
    EditorCore::UINT id = 0;
    EditorCore::GUI_Icon* icon = nullptr;
    LoadIconFunction loadIcon = nullptr;
  };

  ModuleLoader() = default;
  ~ModuleLoader();
  ModuleLoader(const ModuleLoader&) = delete;
  ModuleLoader& operator=(const ModuleLoader&) = delete;

  // Loads every module library of the folder; returns how many were kept. A folder that
  // does not exist loads nothing (logged).
  int LoadFolder(const std::string& folder);
  // Loads one library; false when it is skipped.
  bool LoadLibrary(const std::string& path);

  const std::vector<LoadedModule>& GetModules() const { return modules; }
  // Paths of the libraries skipped, with the reason.
  const std::vector<std::string>& GetSkipped() const { return skipped; }

 private:
  void Skip(const std::string& path, const std::string& reason, void* handle);

  std::vector<LoadedModule> modules;
  std::vector<std::string> skipped;
};

}  // namespace TarvelHost
