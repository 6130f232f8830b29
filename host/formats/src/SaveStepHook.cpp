#include "Formats/SaveStepHook.h"

namespace Formats {

namespace {
SaveStepHook::Hook& Installed() {
  static SaveStepHook::Hook hook;
  return hook;
}
}  // namespace

void SaveStepHook::Set(Hook hook) { Installed() = std::move(hook); }

bool SaveStepHook::Reached(int step, const std::string& what) {
  const Hook& hook = Installed();
  return !hook || hook(step, what);
}

}  // namespace Formats
