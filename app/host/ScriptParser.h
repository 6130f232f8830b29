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
  // rest of the line, for choose the second word is. A dialog-text that names its field
  // (`dialog-text 1003=24`) has two words: the control id and the text.
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
// 1. Parse checks every line before anything runs: an unknown verb, a wrong number of words,
//    a malformed number or a number out of its action's range stops it with "line N: ..."
//    in `error`. So a line that passes the check runs with the numbers it shows.
// 2. Whole numbers are decimal, or hexadecimal with 0x (a leading 0 is still decimal);
//    other numbers are finite decimals. NaN, infinities and numbers beyond a double's range
//    are no numbers.
// 3. Ranges: a wait lasts at most kMaxWaitMilliseconds; frames (scrub, mouse) lie within
//    kMaxFrame of frame 0; window sizes are at most kMaxWindowPixels; message and command
//    ids, dialog codes and control ids fit 32 bits; counts fit an int; expect-frame's
//    bounds are in order and expect-pose's tolerance is not negative.
// 4. A script file is a regular file of at most kMaxScriptBytes, read without blocking (a
//    pipe or a device is refused before anything waits on it); a UTF-8 byte order mark
//    at its start is skipped.
class ScriptParser {
 public:
  static constexpr std::int64_t kMaxWaitMilliseconds = 3'600'000;
  static constexpr double kMaxFrame = 1'000'000.0;
  static constexpr std::int64_t kMaxWindowPixels = 16'384;
  static constexpr std::int64_t kMaxScriptBytes = 1 << 20;

  [[nodiscard]] static bool Parse(const std::string& text, std::vector<ScriptAction>& actions, std::string& error);
  // Reads a script file's text; false with "cannot read script PATH: reason" in `error`.
  [[nodiscard]] static bool ReadFile(const std::string& path, std::string& text, std::string& error);
  [[nodiscard]] static bool ParseFile(const std::string& path, std::vector<ScriptAction>& actions, std::string& error);

  static std::optional<std::int64_t> ParseInteger(const std::string& word);
  static std::optional<double> ParseNumber(const std::string& word);
  static std::optional<ScriptKey> ParseKey(const std::string& word);
  // Translation, rotation, scale -> 1, 2, 3; X, Y, Z -> 0, 1, 2 (case ignored); -1 otherwise.
  static int ParseTrack(const std::string& word);
  static int ParseAxis(const std::string& word);
  // auto-clamped, auto, flat, linear, free, broken -> 0..5, the module's order; -1 otherwise.
  static int ParseTangentType(const std::string& word);
  // constant, linear, smooth -> 0..2; -1 otherwise.
  static int ParseInterpolation(const std::string& word);
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
