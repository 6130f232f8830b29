#include <QTimer>

#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "EditorCore/GUI_App.h"
#include "HostOptions.h"
#include "HostWindow.h"
#include "ScriptParser.h"
#include "ScriptRunner.h"

using namespace TarvelHost;

namespace {

// Opening a long take fills hundreds of megabytes at once. Under glibc's hugetlb tunable,
// malloc asks the kernel for 2 MB pages, which costs a third of the page faults and opens a
// long take in a third less time. Tunables are read when a process starts, so the host
// starts itself again with it, unless the environment already says how malloc uses them
// (glibc.malloc.hugetlb=0 keeps small pages and a single process, as a debugger may want).
void RestartWithLargePages(char** argv) {
  const char* tunables = std::getenv("GLIBC_TUNABLES");
  const std::string before = tunables ? tunables : "";
  if (before.find("glibc.malloc.hugetlb") != std::string::npos) return;
  const std::string with = before.empty() ? "glibc.malloc.hugetlb=1" : before + ":glibc.malloc.hugetlb=1";
  if (::setenv("GLIBC_TUNABLES", with.c_str(), 1) != 0) return;
  ::execv("/proc/self/exe", argv);
  // Still here: the host goes on with the pages it has.
  if (tunables) {
    ::setenv("GLIBC_TUNABLES", before.c_str(), 1);
  } else {
    ::unsetenv("GLIBC_TUNABLES");
  }
}

}  // namespace

int main(int argc, char** argv) {
  RestartWithLargePages(argv);
  HostOptions options;
  std::string error;
  if (!options.Parse(std::vector<std::string>(argv + 1, argv + argc), error)) {
    std::cerr << "tarvel-host: " << error << "\n" << HostOptions::Usage();
    return 2;
  }
  if (options.help) {
    std::cout << HostOptions::Usage();
    return 0;
  }
  if (options.project.empty()) options.project = HostOptions::DefaultProjectFolder();
  if (options.modules.empty()) options.modules = HostOptions::DefaultModulesFolder("/proc/self/exe");
  if (!options.CheckProject(error)) {
    std::cerr << "tarvel-host: " << error << "\n";
    return 2;
  }

  // A script is read whole before anything starts, so that a bad line costs no start-up.
  // A file that cannot be a script is a bad argument (2); a bad line is a failed script (1).
  std::vector<ScriptAction> actions;
  const bool scripted = !options.script.empty() || !options.screenshot.empty();
  std::string scriptText;
  if (!options.script.empty() && !ScriptParser::ReadFile(options.script, scriptText, error)) {
    std::cerr << "tarvel-host: " << error << "\n";
    return 2;
  }
  if (!options.script.empty() && !ScriptParser::Parse(scriptText, actions, error)) {
    std::cerr << "tarvel-host: " << options.script << ": " << error << "\n";
    return 1;
  }
  if (!options.screenshot.empty()) {
    actions.push_back({0, "screenshot", {"window", options.screenshot}});
    actions.push_back({0, "quit", {}});
  }

  EditorCore::GUI_App app(argc, argv);
  HostWindow host;
  if (!host.Start(options.modules, options.project)) {
    std::cerr << "tarvel-host: the main window could not be made\n";
    return 1;
  }
  if (options.width > 0) host.SetWindowSize(options.width, options.height);
  if (!scripted) return app.Run();

  int status = 0;
  ScriptRunner runner(host);
  QTimer::singleShot(0, [&] {
    if (!runner.Run(actions)) {
      const std::string where = options.script.empty() ? std::string("--screenshot") : options.script;
      std::cerr << "tarvel-host: " << where << ": " << runner.GetError() << "\n";
      status = 1;
    }
    // The script is the user: when it ends the application ends, without asking again.
    EditorCore::GUI_App::Quit(status);
  });
  app.Run();
  return status;
}
