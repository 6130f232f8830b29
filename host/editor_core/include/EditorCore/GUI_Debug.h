#pragma once

#include <functional>
#include <string>

namespace EditorCore {

// Debug output: each text goes to the host log sink (when set) and to standard error.
void OutputDebugString(const char* text);
using GUI_LogSink = std::function<void(const std::string&)>;
// Replaces the sink; an empty function removes it. Returns the previous one.
GUI_LogSink SetLogSink(GUI_LogSink sink);

}  // namespace EditorCore
