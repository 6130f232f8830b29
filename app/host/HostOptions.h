#pragma once

#include <string>
#include <vector>

namespace TarvelHost {

// What the command line asks of the host:
//   tarvel-host [--project DIR | CLIP] [--modules DIR] [--size WxH] [--script FILE | --screenshot PNG]
// 1. Without --project or a clip file the bundled demo project opens. A clip file named alone
//    opens as a project of its own (the host's OpenProject).
// 2. Without --modules the modules folder is `<folder of the executable>/../modules`.
// 3. --script and --screenshot exclude each other.
// 4. --size gives the window's size in pixels (1280x800 without it).
// 5. The project must name a folder or a clip file (CheckProject). The host exits with status 2, as for a bad
//    option, when it does not or when the script is no readable regular file.
class HostOptions {
 public:
  // False, with a one-line reason in `error`, for an unknown option or a missing value.
  [[nodiscard]] bool Parse(const std::vector<std::string>& arguments, std::string& error);
  // False, with a one-line reason in `error`, when `project` names neither a folder nor a clip
  // file.
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
