#include "HostOptions.h"

#include "Formats/ClipFormats.h"

#include <cstdio>
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
    if (option == "--size") {
      int w = 0, h = 0;
      char x = 0, rest = 0;
      if (i + 1 >= arguments.size() || std::sscanf(arguments[i + 1].c_str(), "%d%c%d%c", &w, &x, &h, &rest) != 3 ||
          x != 'x' || w <= 0 || h <= 0) {
        error = "--size needs WIDTHxHEIGHT, such as 1280x800";
        return false;
      }
      width = w;
      height = h;
      ++i;
      continue;
    }
    if (!option.starts_with("-")) {
      // A clip file (or a project folder) named alone.
      if (!project.empty()) {
        error = "only one clip file or project can be opened";
        return false;
      }
      project = option;
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

bool HostOptions::CheckProject(std::string& error) const {
  std::error_code ec;
  const fs::file_status status = fs::status(project, ec);
  if (fs::is_directory(status)) return true;
  if (fs::is_regular_file(status)) {
    if (Formats::ClipFormats::Find(project)) return true;
    error = project + ": not a clip file";
    return false;
  }
  error = project + ": " + (fs::exists(status) ? "not a folder or a clip file" : "no such file or folder");
  return false;
}

std::string HostOptions::Usage() {
  return "usage: tarvel-host [--project DIR | CLIP] [--modules DIR] [--size WxH] [--script FILE | --screenshot PNG]\n"
         "  CLIP              a clip file to open alone: its folder holds the clips, its nodes the scene\n"
         "  --project DIR     project folder with AnimClips/ and Scenes/ (default: the demo project)\n"
         "  --modules DIR     folder of module libraries (default: <bin>/../modules)\n"
         "  --size WxH        the window's size in pixels (default 1280x800)\n"
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
