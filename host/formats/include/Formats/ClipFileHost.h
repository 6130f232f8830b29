#pragma once

#include <functional>
#include <string>

#include "Formats/FormatsApi.h"

namespace Formats {

// What the clip file library needs from the application around it: a way to tell the user
// why an action of theirs failed, and a way to ask before a file is replaced. The host
// installs both (message boxes); without them failures reach only the log and every
// question is answered "no", so that nothing is replaced unasked.
class FORMATS_API ClipFileHost {
 public:
  using Reporter = std::function<void(const std::string& sentence)>;
  using Asker = std::function<bool(const std::string& question)>;

  static void SetReporter(Reporter reporter);
  static void SetAsker(Asker asker);

  // Tells the user, when a reporter is installed.
  static void Report(const std::string& sentence);
  // True when the user answers yes; false without an asker.
  static bool Ask(const std::string& question);
};

}  // namespace Formats
