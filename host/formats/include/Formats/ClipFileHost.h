#pragma once

#include <functional>
#include <string>
#include <vector>

#include "EngineCore/Resource.h"

#include "Formats/FormatsApi.h"

namespace Formats {

// What the clip file library needs from the application around it: a way to tell the user
// why an action of theirs failed, ways to ask before a file is replaced, and a way to hear
// that a clip was read again from its file (its contents are then new). The host installs
// them (message boxes, a framework message); without them failures reach only the log, every
// question gets its most careful answer, so that nothing is replaced unasked, and reloads
// go untold. Command-line tools never install them: they never prompt.
class FORMATS_API ClipFileHost {
 public:
  using Reporter = std::function<void(const std::string& sentence)>;
  using Asker = std::function<bool(const std::string& question)>;
  // The 1-based number of the answer chosen.
  using Chooser = std::function<int(const std::string& question, const std::vector<std::string>& answers)>;
  using ReloadListener = std::function<void(EngineCore::Resource& resource)>;

  static void SetReporter(Reporter reporter);
  static void SetAsker(Asker asker);
  static void SetChooser(Chooser chooser);
  static void SetReloadListener(ReloadListener listener);

  // Tells the user, when a reporter is installed.
  static void Report(const std::string& sentence);
  // True when the user answers yes; false without an asker.
  static bool Ask(const std::string& question);
  // The number of the answer the user chose; `careful` without a chooser.
  static int Choose(const std::string& question, const std::vector<std::string>& answers, int careful);
  // Says that a resource was read again from its file.
  static void TellReloaded(EngineCore::Resource& resource);
};

}  // namespace Formats
