#include "ScriptParser.h"

#include <QtCore/qnamespace.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>
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
    {"play", ScriptParser::Control::Button, 1021},
    {"stop", ScriptParser::Control::Button, 1021},
    {"previous-key", ScriptParser::Control::Button, 1059},
    {"next-key", ScriptParser::Control::Button, 1060},
    {"record", ScriptParser::Control::Button, 1062},
    {"fit", ScriptParser::Control::Button, 1037},
    {"auto-record", ScriptParser::Control::CheckBox, 1026},
    {"loop", ScriptParser::Control::CheckBox, 1025},
    {"snap", ScriptParser::Control::CheckBox, 1066},
    {"values", ScriptParser::Control::CheckBox, 1067},
    {"frames", ScriptParser::Control::CheckBox, 1065},
    {"falloff", ScriptParser::Control::CheckBox, 1048},
    {"falloff-before", ScriptParser::Control::Edit, 1042},
    {"falloff-after", ScriptParser::Control::Edit, 1046},
    {"frame", ScriptParser::Control::Edit, 1044},
    {"value", ScriptParser::Control::Edit, 1049},
    {"objects", ScriptParser::Control::Combo, 1023},
    {"tangents", ScriptParser::Control::Button, 1069},
    {"dope-sheet", ScriptParser::Control::CheckBox, 1070},
    // The page's track and axis filters, which hide the curves they leave out.
    {"filter-translation", ScriptParser::Control::CheckBox, 1028},
    {"filter-rotation", ScriptParser::Control::CheckBox, 1029},
    {"filter-scale", ScriptParser::Control::CheckBox, 1030},
    {"filter-weights", ScriptParser::Control::CheckBox, 1031},
    {"filter-x", ScriptParser::Control::CheckBox, 1032},
    {"filter-y", ScriptParser::Control::CheckBox, 1033},
    {"filter-z", ScriptParser::Control::CheckBox, 1034},
};

constexpr std::int64_t kMaxUint32 = std::numeric_limits<std::uint32_t>::max();
constexpr std::int64_t kMinInt32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// "1003=24": a dialog-text that names its field by control id.
bool SplitField(const std::string& text, std::string& field, std::string& value) {
  const auto equals = text.find('=');
  if (equals == 0 || equals == std::string::npos) return false;
  for (std::size_t i = 0; i < equals; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  field = text.substr(0, equals);
  value = text.substr(equals + 1);
  return true;
}

bool IsValueWord(const std::string& word) {
  if (word == "scene") return true;
  if (word.rfind("clip:", 0) == 0) return word.size() > 5;
  return ScriptParser::ParseInteger(word).has_value();
}

}  // namespace

const std::vector<std::string>& ScriptParser::GetVerbs() {
  static const std::vector<std::string> verbs = {
      "open",          "drop",           "message",        "broadcast",    "command",       "answer",
      "dialog-text",   "popup",          "select-channel", "select-curve", "key",           "mouse",
      "button",        "check",          "type",           "choose",       "scrub",         "wait",
      "window-size",   "screenshot",     "save",           "save-all",     "expect-tabs",   "expect-channels",
      "expect-panel",  "expect-frame",   "expect-pose",    "quit",         "export-curves", "tangent",
      "interpolation", "expect-tangent", "view",           "dope",         "expect-keys"};
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
  if (word.empty() || std::isspace(static_cast<unsigned char>(word[0]))) return std::nullopt;
  // Base 10 unless the digits start with 0x: "010" is ten, as a reader expects, not eight.
  const std::size_t sign = word[0] == '-' || word[0] == '+' ? 1 : 0;
  const bool hexadecimal = word.size() > sign + 1 && word[sign] == '0' && (word[sign + 1] | 0x20) == 'x';
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(word.c_str(), &end, hexadecimal ? 16 : 10);
  if (errno != 0 || end != word.c_str() + word.size()) return std::nullopt;
  return value;
}

std::optional<double> ScriptParser::ParseNumber(const std::string& word) {
  // Decimals only: strtod would also take "nan", "inf" and hexadecimal fractions.
  if (word.empty() || word.find_first_not_of("0123456789+-.eE") != std::string::npos) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(word.c_str(), &end);
  if (end != word.c_str() + word.size() || !std::isfinite(value)) return std::nullopt;
  // An underflow reads as (nearly) zero, which is what it says; an overflow is no number.
  if (errno == ERANGE && std::abs(value) >= 1.0) return std::nullopt;
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

namespace {

// The place of a word (case ignored) among words; -1 when it is none of them.
int IndexOfWord(const std::string& word, std::initializer_list<const char*> words) {
  const std::string lower = Lower(word);
  int index = 0;
  for (const char* known : words) {
    if (lower == known) return index;
    ++index;
  }
  return -1;
}

}  // namespace

int ScriptParser::ParseTrack(const std::string& word) {
  const int index = IndexOfWord(word, {"translation", "rotation", "scale", "weights"});
  return index < 0 ? -1 : index + 1;
}

int ScriptParser::ParseAxis(const std::string& word) { return IndexOfWord(word, {"x", "y", "z"}); }

int ScriptParser::ParseTangentType(const std::string& word) {
  return IndexOfWord(word, {"auto-clamped", "auto", "flat", "linear", "free", "broken"});
}

int ScriptParser::ParseInterpolation(const std::string& word) {
  return IndexOfWord(word, {"constant", "linear", "smooth"});
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
  // A whole number from 0 to `high`; `beyond` says what a larger one would be.
  auto whole = [&](const std::string& word, std::int64_t high, const std::string& beyond) -> std::string {
    const auto value = ParseInteger(word);
    if (!value || *value < 0) return verb + ": '" + word + "' is not a whole number";
    if (*value > high) return verb + ": '" + word + "' " + beyond;
    return {};
  };
  auto nonNegative = [&](const std::string& word) { return whole(word, kMaxInt32, "is too large"); };
  if (verb == "open" || verb == "drop") return n == 1 && !words[0].empty() ? std::string() : verb + " needs a text";
  if (verb == "dialog-text") {
    if (n != 2) return n == 1 && !words[0].empty() ? std::string() : "dialog-text needs a text";
    const auto id = ParseInteger(words[0]);
    return id && *id > 0 && *id <= kMaxUint32 ? std::string() : "dialog-text: '" + words[0] + "' is not a control id";
  }
  if (verb == "message" || verb == "broadcast") {
    if (auto problem = count(1, 3); !problem.empty()) return problem;
    const auto id = ParseInteger(words[0]);
    if (!id || *id < 0 || *id > kMaxUint32) return verb + ": '" + words[0] + "' is not a message id";
    for (std::size_t i = 1; i < n; ++i) {
      if (!IsValueWord(words[i])) return verb + ": '" + words[i] + "' is not a number, 'scene' or 'clip:NAME'";
    }
    return {};
  }
  if (verb == "command") {
    if (auto problem = count(1, 1); !problem.empty()) return problem;
    return whole(words[0], kMaxUint32, "is not a command id (at most 4294967295)");
  }
  if (verb == "answer") {
    if (n == 0) return "answer needs at least one code";
    for (const std::string& word : words) {
      // A dialog's end code or a menu's command id: 32 bits either way.
      const auto code = ParseInteger(word);
      if (!code || *code < kMinInt32 || *code > kMaxUint32) return "answer: '" + word + "' is not a code";
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
  auto frame = [&](const std::string& word) -> std::string {
    const auto value = ParseNumber(word);
    if (!value) return verb + ": '" + word + "' is not a frame";
    if (std::abs(*value) > kMaxFrame) return verb + ": '" + word + "' lies beyond frame 1000000";
    return {};
  };
  if (verb == "scrub") {
    if (auto problem = count(1, 1); !problem.empty()) return problem;
    return frame(words[0]);
  }
  if (verb == "expect-frame" || verb == "expect-pose") {
    const std::size_t first = verb == "expect-pose" ? 1 : 0;
    if (auto problem = verb == "expect-pose" ? count(8, 8) : count(2, 2); !problem.empty()) return problem;
    for (std::size_t i = first; i < n; ++i) {
      if (!ParseNumber(words[i])) return verb + ": '" + words[i] + "' is not a number";
    }
    if (verb == "expect-frame" && *ParseNumber(words[0]) > *ParseNumber(words[1]))
      return "expect-frame: " + words[0] + " is above " + words[1] + ": no frame lies between them";
    if (verb == "expect-pose" && *ParseNumber(words[7]) < 0.0)
      return "expect-pose: the tolerance " + words[7] + " is negative";
    return {};
  }
  if (verb == "tangent") {
    if (auto problem = count(1, 1); !problem.empty()) return problem;
    return ParseTangentType(words[0]) >= 0
               ? std::string()
               : "tangent: '" + words[0] + "' is not auto-clamped, auto, flat, linear, free or broken";
  }
  if (verb == "interpolation") {
    if (auto problem = count(1, 1); !problem.empty()) return problem;
    return ParseInterpolation(words[0]) >= 0 ? std::string()
                                             : "interpolation: '" + words[0] + "' is not constant, linear or smooth";
  }
  if (verb == "expect-tangent") {
    if (auto problem = count(7, 7); !problem.empty()) return problem;
    const int track = ParseTrack(words[1]);
    if (track < 0) return verb + ": '" + words[1] + "' is not translation, rotation, scale or weights";
    if (track != 4 && ParseAxis(words[2]) < 0) return verb + ": '" + words[2] + "' is not X, Y or Z";
    for (std::size_t i = 3; i < n; ++i) {
      if (!ParseNumber(words[i])) return verb + ": '" + words[i] + "' is not a number";
    }
    if (*ParseNumber(words[6]) < 0.0) return verb + ": the tolerance " + words[6] + " is negative";
    return {};
  }
  if (verb == "view") {
    if (auto problem = count(1, 1); !problem.empty()) return problem;
    return words[0] == "graph" || words[0] == "dope-sheet" ? std::string()
                                                           : "view: '" + words[0] + "' is not graph or dope-sheet";
  }
  if (verb == "dope") {
    if (auto problem = count(3, 5); !problem.empty()) return problem;
    if (words[0] != "press" && words[0] != "move" && words[0] != "release") {
      return "dope: '" + words[0] + "' is not press, move or release";
    }
    if (auto problem = frame(words[1]); !problem.empty()) return problem;
    if (n == 3 && Lower(words[2]) == "shift") return "dope needs a row: summary, a channel, or a channel and a track";
    return {};
  }
  if (verb == "expect-keys") {
    if (auto problem = count(3, 3); !problem.empty()) return problem;
    if (ParseTrack(words[1]) < 0) return verb + ": '" + words[1] + "' is not translation, rotation, scale or weights";
    const auto keys = ParseInteger(words[2]);
    return keys && *keys >= 0 ? std::string() : verb + ": '" + words[2] + "' is not a count of keys";
  }
  if (verb == "select-channel") return {};
  if (verb == "select-curve") {
    if (n % 3 != 0) return "select-curve takes CHANNEL TRACK AXIS triples";
    for (std::size_t i = 0; i < n; i += 3) {
      const int track = ParseTrack(words[i + 1]);
      if (track < 0) return "select-curve: '" + words[i + 1] + "' is not translation, rotation, scale or weights";
      // A weight's curve is named after its morph target.
      if (track != 4 && ParseAxis(words[i + 2]) < 0) return "select-curve: '" + words[i + 2] + "' is not X, Y or Z";
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
    if (auto problem = frame(words[1]); !problem.empty()) return problem;
    if (!ParseNumber(words[2])) return "mouse: '" + words[2] + "' is not a value";
    for (std::size_t i = 3; i < n; ++i) {
      const std::string option = Lower(words[i]);
      if (option != "left" && option != "middle" && option != "right" && option != "shift" && option != "ctrl") {
        return "mouse: '" + words[i] + "' is not left, middle, right, shift or ctrl";
      }
    }
    return {};
  }
  if (verb == "window-size") {
    if (auto problem = count(2, 2); !problem.empty()) return problem;
    const std::string beyond = "is more than " + std::to_string(kMaxWindowPixels) + " pixels";
    if (auto problem = whole(words[0], kMaxWindowPixels, beyond); !problem.empty()) return problem;
    return whole(words[1], kMaxWindowPixels, beyond);
  }
  if (verb == "wait") {
    if (auto problem = count(1, 1); !problem.empty()) return problem;
    return whole(words[0], kMaxWaitMilliseconds,
                 "is longer than an hour (at most " + std::to_string(kMaxWaitMilliseconds) + " ms)");
  }
  if (verb == "expect-tabs" || verb == "expect-channels") {
    if (auto problem = count(1, 1); !problem.empty()) return problem;
    return nonNegative(words[0]);
  }
  if (verb == "screenshot") {
    if (auto problem = count(2, 2); !problem.empty()) return problem;
    return words[0] == "window" || words[0] == "panel" ? std::string()
                                                       : "screenshot: '" + words[0] + "' is not window or panel";
  }
  if (verb == "export-curves") return count(1, 1);
  if (verb == "expect-panel") {
    if (auto problem = count(1, 1); !problem.empty()) return problem;
    return words[0] == "visible" || words[0] == "hidden" ? std::string()
                                                         : "expect-panel: '" + words[0] + "' is not visible or hidden";
  }
  if (verb == "save" || verb == "save-all" || verb == "quit") return count(0, 0);
  return "unknown action '" + verb + "'";
}

bool ScriptParser::Parse(const std::string& text, std::vector<ScriptAction>& actions, std::string& error) {
  // Editors that save UTF-8 with a byte order mark put it before the first line's verb.
  const bool marked = text.rfind(kByteOrderMark, 0) == 0;
  std::istringstream stream(marked ? text.substr(std::strlen(kByteOrderMark)) : text);
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
    std::string field;
    std::string value;
    if (action.verb == "dialog-text" && SplitField(rest, field, value)) {
      action.words = {field, value};
    } else if (action.verb == "open" || action.verb == "drop" || action.verb == "dialog-text" ||
               action.verb == "popup") {
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

bool ScriptParser::ReadFile(const std::string& path, std::string& text, std::string& error) {
  auto fail = [&](const std::string& reason) {
    error = "cannot read script " + path + ": " + reason;
    return false;
  };
  const std::string tooLarge = "it holds more than the " + std::to_string(kMaxScriptBytes) + " bytes a script may hold";
  // Looked at before it is opened: opening a pipe waits for a writer, and a device may act
  // on being opened.
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return fail(std::strerror(errno));
  if (S_ISDIR(status.st_mode)) return fail("it is a folder");
  if (!S_ISREG(status.st_mode)) return fail("it is not a regular file (a pipe, a device or a socket)");
  if (status.st_size > kMaxScriptBytes) return fail(tooLarge);
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return fail(std::strerror(errno));
  // The name may have been given to another file since the look.
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return fail("it is not a regular file (a pipe, a device or a socket)");
  }
  text.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int problem = errno;
      ::close(fd);
      return fail(std::strerror(problem));
    }
    if (got == 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
    // A file that grows while it is read stops at the limit all the same.
    if (static_cast<std::int64_t>(text.size()) > kMaxScriptBytes) {
      ::close(fd);
      text.clear();
      return fail(tooLarge);
    }
  }
  ::close(fd);
  return true;
}

bool ScriptParser::ParseFile(const std::string& path, std::vector<ScriptAction>& actions, std::string& error) {
  std::string text;
  return ReadFile(path, text, error) && Parse(text, actions, error);
}

}  // namespace TarvelHost
