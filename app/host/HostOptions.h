#pragma once

#include <string>
#include <vector>

namespace TarvelHost {

// What the command line asks of the host:
//   tarvel-host [--project DIR] [--modules DIR] [--size WxH] [--script FILE | --screenshot PNG]
// 1. Without --project the bundled demo project opens.
// 2. Without --modules the modules folder is `<folder of the executable>/../modules`.
// 3. --script and --screenshot exclude each other.
// 4. --size gives the window's size in pixels (1280x800 without it).
// 5. The project must name a folder (CheckProject). The host exits with status 2, as for a bad
//    option, when it does not or when the script is no readable regular file.
class HostOptions {
 public:
  // False, with a one-line reason in `error`, for an unknown option or a missing value.
  [[nodiscard]] bool Parse(const std::vector<std::string>& arguments, std::string& error);
  // False, with a one-line reason in `error`, when `project` names no folder.
  [[nodiscard]] bool CheckProject(std::string& error) const;
  static std::string Usage();

  // The modules folder next to the binaries folder of the executable at `executablePath`.
  static std::string DefaultModulesFolder(const std::string& executablePath);
  static std::string DefaultProjectFolder();

  std::string project;
  std::string modules;
  std::string script;
  std::string screenshot;
  int width = 0;
  int height = 0;
  bool help = false;
};

}  // namespace TarvelHost
