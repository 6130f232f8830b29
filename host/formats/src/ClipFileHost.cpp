#include "Formats/ClipFileHost.h"

namespace Formats {

namespace {
ClipFileHost::Reporter& InstalledReporter() {
  static ClipFileHost::Reporter reporter;
  return reporter;
}
ClipFileHost::Asker& InstalledAsker() {
  static ClipFileHost::Asker asker;
  return asker;
}
ClipFileHost::Chooser& InstalledChooser() {
  static ClipFileHost::Chooser chooser;
  return chooser;
}
ClipFileHost::ReloadListener& InstalledListener() {
  static ClipFileHost::ReloadListener listener;
  return listener;
}
}  // namespace

void ClipFileHost::SetReporter(Reporter reporter) { InstalledReporter() = std::move(reporter); }

void ClipFileHost::SetAsker(Asker asker) { InstalledAsker() = std::move(asker); }

void ClipFileHost::SetChooser(Chooser chooser) { InstalledChooser() = std::move(chooser); }

void ClipFileHost::SetReloadListener(ReloadListener listener) { InstalledListener() = std::move(listener); }

int ClipFileHost::Choose(const std::string& question, const std::vector<std::string>& answers, int careful) {
  if (!InstalledChooser()) return careful;
  const int answer = InstalledChooser()(question, answers);
  return answer >= 1 && answer <= static_cast<int>(answers.size()) ? answer : careful;
}

void ClipFileHost::TellReloaded(EngineCore::Resource& resource) {
  if (InstalledListener()) InstalledListener()(resource);
}

void ClipFileHost::Report(const std::string& sentence) {
  if (InstalledReporter()) InstalledReporter()(sentence);
}

bool ClipFileHost::Ask(const std::string& question) { return InstalledAsker() && InstalledAsker()(question); }

}  // namespace Formats
