#include <QTimer>

#include <iostream>
#include <string>
#include <vector>

#include "EditorCore/GUI_App.h"
#include "HostOptions.h"
#include "HostWindow.h"
#include "ScriptParser.h"
#include "ScriptRunner.h"

using namespace TarvelHost;

int main(int argc, char** argv) {
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
  host.HoldRecoveryOffer(true);
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
