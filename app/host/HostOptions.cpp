#include "HostOptions.h"

#include <filesystem>

namespace TarvelHost {

namespace fs = std::filesystem;

bool HostOptions::Parse(const std::vector<std::string>& arguments, std::string& error) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    if (option == "--help" || option == "-h") {
      help = true;
      continue;
    }
    std::string* target = nullptr;
    if (option == "--project") target = &project;
    if (option == "--modules") target = &modules;
    if (option == "--script") target = &script;
    if (option == "--screenshot") target = &screenshot;
    if (!target) {
      error = "unknown option '" + option + "'";
      return false;
    }
    if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
      error = option + " needs a value";
      return false;
    }
    *target = arguments[++i];
  }
  if (!script.empty() && !screenshot.empty()) {
    error = "--script and --screenshot cannot be used together";
    return false;
  }
  return true;
}

std::string HostOptions::Usage() {
  return "usage: tarvel-host [--project DIR] [--modules DIR] [--script FILE | --screenshot PNG]\n"
         "  --project DIR     project folder with AnimClips/ and Scenes/ (default: the demo project)\n"
         "  --modules DIR     folder of module libraries (default: <bin>/../modules)\n"
         "  --script FILE     runs host actions from FILE, then quits\n"
         "  --screenshot PNG  writes a picture of the window after start-up, then quits\n";
}

std::string HostOptions::DefaultModulesFolder(const std::string& executablePath) {
  std::error_code ec;
  fs::path executable = fs::canonical(executablePath, ec);
  if (ec) executable = fs::absolute(executablePath, ec);
  return (executable.parent_path().parent_path() / "modules").string();
}

std::string HostOptions::DefaultProjectFolder() { return TARVEL_DEMO_PROJECT; }

}  // namespace TarvelHost
