#pragma once

#include <string>
#include <utility>
#include <vector>

#include "EngineCore/Log.h"

namespace TestSupport {

// Collects engine log lines while it lives, and keeps expected errors off standard error.
class LogCapture {
 public:
  LogCapture() {
    EngineCore::Log::SetEchoToStandardError(false);
    id_ = EngineCore::Log::AddSink([this](int level, const std::string& line) { lines_.emplace_back(level, line); });
  }
  ~LogCapture() {
    EngineCore::Log::RemoveSink(id_);
    EngineCore::Log::SetEchoToStandardError(true);
  }

  const std::vector<std::pair<int, std::string>>& Lines() const { return lines_; }
  int Count(int level, const std::string& part) const {
    int n = 0;
    for (const auto& [l, text] : lines_) n += (l == level && text.find(part) != std::string::npos) ? 1 : 0;
    return n;
  }

 private:
  int id_ = 0;
  std::vector<std::pair<int, std::string>> lines_;
};

}  // namespace TestSupport
