#include "ScriptParser.h"

#include <QtCore/qnamespace.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace TarvelHost {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::string StripComment(const std::string& line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
  }
  return line;
}

const std::map<std::string, int>& NamedKeys() {
  static const std::map<std::string, int> keys = {
      {"delete", Qt::Key_Delete}, {"del", Qt::Key_Delete},        {"backspace", Qt::Key_Backspace},
      {"escape", Qt::Key_Escape}, {"esc", Qt::Key_Escape},        {"return", Qt::Key_Return},
      {"enter", Qt::Key_Return},  {"space", Qt::Key_Space},       {"tab", Qt::Key_Tab},
      {"left", Qt::Key_Left},     {"right", Qt::Key_Right},       {"up", Qt::Key_Up},
      {"down", Qt::Key_Down},     {"home", Qt::Key_Home},         {"end", Qt::Key_End},
      {"pageup", Qt::Key_PageUp}, {"pagedown", Qt::Key_PageDown}, {"insert", Qt::Key_Insert},
  };
  return keys;
}

struct NamedControl {
  const char* name;
  ScriptParser::Control kind;
  unsigned id;
};

// The curve panel's controls by their ids in the module's template 1114.
constexpr NamedControl kControls[] = {
    {"play", ScriptParser::Control::Button, 1021},          {"stop", ScriptParser::Control::Button, 1021},
    {"previous-key", ScriptParser::Control::Button, 1059},  {"next-key", ScriptParser::Control::Button, 1060},
    {"record", ScriptParser::Control::Button, 1062},        {"fit", ScriptParser::Control::Button, 1037},
    {"auto-record", ScriptParser::Control::CheckBox, 1026}, {"loop", ScriptParser::Control::CheckBox, 1025},
    {"snap", ScriptParser::Control::CheckBox, 1029},        {"values", ScriptParser::Control::CheckBox, 1030},
    {"frames", ScriptParser::Control::CheckBox, 1028},      {"falloff", ScriptParser::Control::CheckBox, 1048},
    {"falloff-before", ScriptParser::Control::Edit, 1042},  {"falloff-after", ScriptParser::Control::Edit, 1046},
    {"frame", ScriptParser::Control::Edit, 1044},           {"value", ScriptParser::Control::Edit, 1049},
    {"objects", ScriptParser::Control::Combo, 1023},
};

bool IsValueWord(const std::string& word) {
  if (word == "scene") return true;
  if (word.rfind("clip:", 0) == 0) return word.size() > 5;
  return ScriptParser::ParseInteger(word).has_value();
}

}  // namespace

const std::vector<std::string>& ScriptParser::GetVerbs() {
  static const std::vector<std::string> verbs = {
      "open",     "drop",           "message",         "broadcast",    "command",      "answer",      "dialog-text",
      "popup",    "select-channel", "select-curve",    "key",          "mouse",        "button",      "check",
      "type",     "choose",         "scrub",           "wait",         "window-size",  "screenshot",  "save",
      "save-all", "expect-tabs",    "expect-channels", "expect-panel", "expect-frame", "expect-pose", "quit"};
  return verbs;
}

unsigned ScriptParser::ControlId(Control kind, const std::string& name) {
  for (const NamedControl& control : kControls) {
    // A check box is a button too: a click toggles it.
    const bool kindMatches = control.kind == kind || (kind == Control::Button && control.kind == Control::CheckBox);
    if (kindMatches && Lower(name) == control.name) return control.id;
  }
  return 0;
}

std::optional<std::int64_t> ScriptParser::ParseInteger(const std::string& word) {
  if (word.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(word.c_str(), &end, 0);
  if (errno != 0 || end != word.c_str() + word.size()) return std::nullopt;
  return value;
}

std::optional<double> ScriptParser::ParseNumber(const std::string& word) {
  if (word.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(word.c_str(), &end);
  if (errno != 0 || end != word.c_str() + word.size()) return std::nullopt;
  return value;
}

std::optional<ScriptKey> ScriptParser::ParseKey(const std::string& word) {
  ScriptKey key;
  std::string rest = word;
  for (;;) {
    const std::string lower = Lower(rest);
    if (lower.rfind("ctrl+", 0) == 0 && rest.size() > 5) {
      key.control = true;
      rest = rest.substr(5);
    } else if (lower.rfind("shift+", 0) == 0 && rest.size() > 6) {
      key.shift = true;
      rest = rest.substr(6);
    } else if (lower.rfind("alt+", 0) == 0 && rest.size() > 4) {
      key.alt = true;
      rest = rest.substr(4);
    } else {
      break;
    }
  }
  if (rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0]))) {
    key.qtKey = std::toupper(static_cast<unsigned char>(rest[0]));
    return key;
  }
  const std::string lower = Lower(rest);
  if (const auto it = NamedKeys().find(lower); it != NamedKeys().end()) {
    key.qtKey = it->second;
    return key;
  }
  if (lower.size() >= 2 && lower[0] == 'f') {
    const auto number = ParseInteger(lower.substr(1));
    if (number && *number >= 1 && *number <= 12) {
      key.qtKey = Qt::Key_F1 + static_cast<int>(*number) - 1;
      return key;
    }
  }
  return std::nullopt;
}

int ScriptParser::ParseTrack(const std::string& word) {
  const std::string lower = Lower(word);
  if (lower == "translation") return 1;
  if (lower == "rotation") return 2;
  if (lower == "scale") return 3;
  return -1;
}

int ScriptParser::ParseAxis(const std::string& word) {
  const std::string lower = Lower(word);
  if (lower == "x") return 0;
  if (lower == "y") return 1;
  if (lower == "z") return 2;
  return -1;
}

std::string ScriptParser::CheckAction(const ScriptAction& action) {
  const std::string& verb = action.verb;
  const auto& words = action.words;
  const std::size_t n = words.size();
  auto count = [&](std::size_t low, std::size_t high) -> std::string {
    if (n >= low && n <= high) return {};
    if (low == high) return verb + " takes " + std::to_string(low) + " word(s), not " + std::to_string(n);
    return verb + " takes " + std::to_string(low) + " to " + std::to_string(high) + " words, not " + std::to_string(n);
  };
  auto nonNegative = [&](const std::string& word) -> std::string {
    const auto value = ParseInteger(word);
    return value && *value >= 0 ? std::string() : verb + ": '" + word + "' is not a whole number";
  };
  if (verb == "open" || verb == "drop" || verb == "dialog-text") {
    return n == 1 && !words[0].empty() ? std::string() : verb + " needs a text";
  }
  if (verb == "message" || verb == "broadcast") {
    if (auto problem = count(1, 3); !problem.empty()) return problem;
    if (!ParseInteger(words[0])) return verb + ": '" + words[0] + "' is not a message id";
    for (std::size_t i = 1; i < n; ++i) {
      if (!IsValueWord(words[i])) return verb + ": '" + words[i] + "' is not a number, 'scene' or 'clip:NAME'";
    }
    return {};
  }
  if (verb == "command") {
    if (auto problem = count(1, 1); !problem.empty()) return problem;
    return nonNegative(words[0]);
  }
  if (verb == "answer") {
    if (n == 0) return "answer needs at least one code";
    for (const std::string& word : words) {
      if (!ParseInteger(word)) return "answer: '" + word + "' is not a code";
    }
    return {};
  }
  if (verb == "popup") return n == 1 && !words[0].empty() ? std::string() : "popup needs the text of an item";
  if (verb == "button") {
    if (auto problem = count(1, 2); !problem.empty()) return problem;
    if (n == 2 && words[0] != "press" && words[0] != "release" && words[0] != "click")
      return "button: '" + words[0] + "' is not press, release or click";
    return ControlId(Control::Button, words.back()) ? std::string()
                                                    : "button: the panel has no button '" + words.back() + "'";
  }
  if (verb == "check") {
    if (auto problem = count(2, 2); !problem.empty()) return problem;
    if (!ControlId(Control::CheckBox, words[0])) return "check: the panel has no check box '" + words[0] + "'";
    return words[1] == "on" || words[1] == "off" ? std::string() : "check: '" + words[1] + "' is not on or off";
  }
  if (verb == "type") {
    if (auto problem = count(2, 2); !problem.empty()) return problem;
    return ControlId(Control::Edit, words[0]) ? std::string() : "type: the panel has no edit box '" + words[0] + "'";
  }
  if (verb == "choose") {
    if (auto problem = count(2, 2); !problem.empty()) return "choose takes a list and the text of an entry";
    return ControlId(Control::Combo, words[0]) ? std::string() : "choose: the panel has no list '" + words[0] + "'";
  }
  if (verb == "scrub") {
    if (auto problem = count(1, 1); !problem.empty()) return problem;
    return ParseNumber(words[0]) ? std::string() : "scrub: '" + words[0] + "' is not a frame";
  }
  if (verb == "expect-frame" || verb == "expect-pose") {
    const std::size_t first = verb == "expect-pose" ? 1 : 0;
    if (auto problem = verb == "expect-pose" ? count(8, 8) : count(2, 2); !problem.empty()) return problem;
    for (std::size_t i = first; i < n; ++i) {
      if (!ParseNumber(words[i])) return verb + ": '" + words[i] + "' is not a number";
    }
    return {};
  }
  if (verb == "select-channel") return {};
  if (verb == "select-curve") {
    if (n % 3 != 0) return "select-curve takes CHANNEL TRACK AXIS triples";
    for (std::size_t i = 0; i < n; i += 3) {
      if (ParseTrack(words[i + 1]) < 0)
        return "select-curve: '" + words[i + 1] + "' is not translation, rotation or scale";
      if (ParseAxis(words[i + 2]) < 0) return "select-curve: '" + words[i + 2] + "' is not X, Y or Z";
    }
    return {};
  }
  if (verb == "key") {
    if (auto problem = count(1, 1); !problem.empty()) return problem;
    return ParseKey(words[0]) ? std::string() : "key: '" + words[0] + "' is not a key";
  }
  if (verb == "mouse") {
    if (auto problem = count(3, 6); !problem.empty()) return problem;
    if (words[0] != "press" && words[0] != "move" && words[0] != "release" && words[0] != "wheel") {
      return "mouse: '" + words[0] + "' is not press, move, release or wheel";
    }
    if (!ParseNumber(words[1])) return "mouse: '" + words[1] + "' is not a frame";
    if (!ParseNumber(words[2])) return "mouse: '" + words[2] + "' is not a value";
    for (std::size_t i = 3; i < n; ++i) {
      const std::string option = Lower(words[i]);
      if (option != "left" && option != "middle" && option != "shift" && option != "ctrl") {
        return "mouse: '" + words[i] + "' is not left, middle, shift or ctrl";
      }
    }
    return {};
  }
  if (verb == "window-size") {
    if (auto problem = count(2, 2); !problem.empty()) return problem;
    if (auto problem = nonNegative(words[0]); !problem.empty()) return problem;
    return nonNegative(words[1]);
  }
  if (verb == "wait" || verb == "expect-tabs" || verb == "expect-channels") {
    if (auto problem = count(1, 1); !problem.empty()) return problem;
    return nonNegative(words[0]);
  }
  if (verb == "screenshot") {
    if (auto problem = count(2, 2); !problem.empty()) return problem;
    return words[0] == "window" || words[0] == "panel" ? std::string()
                                                       : "screenshot: '" + words[0] + "' is not window or panel";
  }
  if (verb == "expect-panel") {
    if (auto problem = count(1, 1); !problem.empty()) return problem;
    return words[0] == "visible" || words[0] == "hidden" ? std::string()
                                                         : "expect-panel: '" + words[0] + "' is not visible or hidden";
  }
  if (verb == "save" || verb == "save-all" || verb == "quit") return count(0, 0);
  return "unknown action '" + verb + "'";
}

bool ScriptParser::Parse(const std::string& text, std::vector<ScriptAction>& actions, std::string& error) {
  std::istringstream stream(text);
  std::string raw;
  int lineNumber = 0;
  while (std::getline(stream, raw)) {
    ++lineNumber;
    const std::string line = Trim(StripComment(raw));
    if (line.empty()) continue;
    ScriptAction action;
    action.line = lineNumber;
    const auto space = line.find_first_of(" \t");
    action.verb = line.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : Trim(line.substr(space));
    if (action.verb == "open" || action.verb == "drop" || action.verb == "dialog-text" || action.verb == "popup") {
      if (!rest.empty()) action.words.push_back(rest);
    } else if (action.verb == "choose") {
      const auto split = rest.find_first_of(" \t");
      action.words.push_back(rest.substr(0, split));
      if (split != std::string::npos) action.words.push_back(Trim(rest.substr(split)));
    } else {
      std::istringstream words(rest);
      for (std::string word; words >> word;) action.words.push_back(word);
    }
    if (const std::string problem = CheckAction(action); !problem.empty()) {
      error = "line " + std::to_string(lineNumber) + ": " + problem;
      return false;
    }
    actions.push_back(std::move(action));
  }
  return true;
}

bool ScriptParser::ParseFile(const std::string& path, std::vector<ScriptAction>& actions, std::string& error) {
  std::ifstream file(path);
  if (!file) {
    error = "cannot read script " + path;
    return false;
  }
  std::ostringstream text;
  text << file.rdbuf();
  return Parse(text.str(), actions, error);
}

}  // namespace TarvelHost
