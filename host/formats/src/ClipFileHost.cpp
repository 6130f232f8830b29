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
}  // namespace

void ClipFileHost::SetReporter(Reporter reporter) { InstalledReporter() = std::move(reporter); }

void ClipFileHost::SetAsker(Asker asker) { InstalledAsker() = std::move(asker); }

void ClipFileHost::Report(const std::string& sentence) {
  if (InstalledReporter()) InstalledReporter()(sentence);
}

bool ClipFileHost::Ask(const std::string& question) { return InstalledAsker() && InstalledAsker()(question); }

}  // namespace Formats
