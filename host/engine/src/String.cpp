#include "EngineCore/String.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>

namespace EngineCore {

String String::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (size > 0) {
    text.resize(static_cast<std::size_t>(size));
    std::vsnprintf(text.data(), text.size() + 1, format, args);
  }
  va_end(args);
  return String(std::move(text));
}

String String::ToLower() const {
  std::string lower = text_;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return String(std::move(lower));
}

}  // namespace EngineCore
