#include "LogPane.h"

#include <QFontDatabase>

#include "EngineCore/Log.h"

namespace TarvelHost {

namespace {

const char* LevelName(int level) {
  switch (level) {
    case EngineCore::Log::Debug: return "debug";
    case EngineCore::Log::Info: return "info";
    case EngineCore::Log::Warning: return "warning";
    case EngineCore::Log::Error: return "error";
    default: return "log";
  }
}

}  // namespace

LogPane::LogPane(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setMaximumBlockCount(kMaxLines);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setPlaceholderText(QStringLiteral("Log"));
  logSink = EngineCore::Log::AddSink([this](int level, const std::string& line) { AddLine(level, line); });
  previousDebugSink = EditorCore::SetLogSink([this](const std::string& text) {
    // Debug output arrives with its own line ends; one pane line per non-empty line.
    std::size_t start = 0;
    while (start < text.size()) {
      const std::size_t end = text.find('\n', start);
      const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (!line.empty()) AddLine(-1, line);
      if (end == std::string::npos) break;
      start = end + 1;
    }
  });
}

LogPane::~LogPane() {
  EngineCore::Log::RemoveSink(logSink);
  EditorCore::SetLogSink(previousDebugSink);
}

void LogPane::AddLine(int level, const std::string& text) {
  std::string line = text;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  line = std::string(level < 0 ? "debug" : LevelName(level)) + ": " + line;
  lines.push_back(line);
  if (lines.size() > static_cast<std::size_t>(kMaxLines)) lines.erase(lines.begin());
  appendPlainText(QString::fromStdString(line));
}

bool LogPane::Contains(const std::string& text) const {
  for (const std::string& line : lines) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

}  // namespace TarvelHost
