#pragma once

#include <QPlainTextEdit>

#include <string>
#include <vector>

#include "EditorCore/GUI_Debug.h"

namespace TarvelHost {

// The log pane: every line of the engine log and of the debug output while it lives. The
// previous debug sink is put back when the pane goes.
class LogPane : public QPlainTextEdit {
 public:
  static constexpr int kMaxLines = 5000;

  explicit LogPane(QWidget* parent = nullptr);
  ~LogPane() override;

  void AddLine(int level, const std::string& text);
  const std::vector<std::string>& GetLines() const { return lines; }
  // True when a line holding `text` was shown.
  bool Contains(const std::string& text) const;

 private:
  std::vector<std::string> lines;
  int logSink = -1;
  EditorCore::GUI_LogSink previousDebugSink;
};

}  // namespace TarvelHost
