#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace TarvelHost {

// One line of a host script, checked.
struct ScriptAction {
  int line = 0;
  std::string verb;
  // The words after the verb; for open, drop, dialog-text and popup the single word is the
  // rest of the line, for choose the second word is.
  std::vector<std::string> words;
};

// A key press as a script names it: [Ctrl+][Shift+][Alt+]KEY.
struct ScriptKey {
  int qtKey = 0;
  bool control = false;
  bool shift = false;
  bool alt = false;
};

// Reads host scripts: one action per line, blank lines and "#" comments ignored (a "#" at
// the start of a line or after a space starts a comment). Contract:
// 1. Parse checks every line before anything runs: an unknown verb, a wrong number of words
//    or a malformed number stops it with "line N: ..." in `error`.
// 2. Numbers are decimal, or hexadecimal with 0x.
class ScriptParser {
 public:
  [[nodiscard]] static bool Parse(const std::string& text, std::vector<ScriptAction>& actions, std::string& error);
  [[nodiscard]] static bool ParseFile(const std::string& path, std::vector<ScriptAction>& actions, std::string& error);

  static std::optional<std::int64_t> ParseInteger(const std::string& word);
  static std::optional<double> ParseNumber(const std::string& word);
  static std::optional<ScriptKey> ParseKey(const std::string& word);
  // Translation, rotation, scale -> 1, 2, 3; X, Y, Z -> 0, 1, 2 (case ignored); -1 otherwise.
  static int ParseTrack(const std::string& word);
  static int ParseAxis(const std::string& word);
  // The clip page's control that a script names (play, loop, falloff-before, objects...) as
  // a button, a check box, an edit box or a combo box: its control id, 0 for none.
  enum class Control { Button, CheckBox, Edit, Combo };
  static unsigned ControlId(Control kind, const std::string& name);
  // The verbs, for messages and the documentation's own check.
  static const std::vector<std::string>& GetVerbs();

 private:
  static std::string CheckAction(const ScriptAction& action);
};

}  // namespace TarvelHost
