#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace EngineCore {

// The engine's text. Its stored length counts the terminating zero, as the engine has
// always reported it: an empty string has GetLength() 1, so "a name counts as empty when
// its length is below 2".
class String {
 public:
  String() = default;
  String(const char* text) : text_(text ? text : "") {}
  String(std::string text) : text_(std::move(text)) {}
  String(std::string_view text) : text_(text) {}

  // Stored length, terminator included.
  std::uint32_t GetLength() const { return static_cast<std::uint32_t>(text_.size() + 1); }
  // Number of characters, terminator excluded.
  std::uint32_t GetTextLength() const { return static_cast<std::uint32_t>(text_.size()); }
  bool IsEmpty() const { return text_.empty(); }

  const char* c_str() const { return text_.c_str(); }
  const std::string& str() const { return text_; }
  std::string_view view() const { return text_; }

  // printf-style construction.
  static String Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

  String ToLower() const;

  friend bool operator==(const String&, const String&) = default;
  friend bool operator==(const String& a, const char* b) { return a.text_ == (b ? b : ""); }
  friend auto operator<=>(const String& a, const String& b) { return a.text_ <=> b.text_; }
  String& operator+=(const String& other) {
    text_ += other.text_;
    return *this;
  }
  friend String operator+(String a, const String& b) { return a += b; }

 private:
  std::string text_;
};

}  // namespace EngineCore
