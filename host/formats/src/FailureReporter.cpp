#include "FailureReporter.h"

namespace Formats {

namespace {
GltfClipFile::Reporter& Installed() {
  static GltfClipFile::Reporter reporter;
  return reporter;
}
}  // namespace

void FailureReporter::Set(GltfClipFile::Reporter reporter) { Installed() = std::move(reporter); }

void FailureReporter::Report(const std::string& sentence) {
  if (Installed()) Installed()(sentence);
}

}  // namespace Formats
