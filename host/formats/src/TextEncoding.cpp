#include "TextEncoding.h"

namespace Formats {

namespace {

// The length of the well-formed UTF-8 sequence at `i`, or 0.
std::size_t SequenceAt(std::string_view text, std::size_t i) {
  const auto c = static_cast<unsigned char>(text[i]);
  const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (length == 0 || i + length > text.size() || (length == 2 && c < 0xC2)) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) return 0;
  }
  const auto second = length > 1 ? static_cast<unsigned char>(text[i + 1]) : 0;
  if (length == 3 && ((c == 0xE0 && second < 0xA0) || (c == 0xED && second >= 0xA0))) return 0;
  if (length == 4 && (c > 0xF4 || (c == 0xF0 && second < 0x90) || (c == 0xF4 && second >= 0x90))) return 0;
  return length;
}

}  // namespace

bool TextEncoding::IsValidUtf8(std::string_view text) { return FirstInvalidUtf8(text) == text.size(); }

std::size_t TextEncoding::FirstInvalidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = SequenceAt(text, i);
    if (length == 0) return i;
    i += length;
  }
  return text.size();
}

std::string TextEncoding::FromLegacy(const std::string& text) {
  std::string clean = text;
  for (char& c : clean) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
  }
  if (IsValidUtf8(clean)) return clean;
  std::string out;
  for (const unsigned char c : clean) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string TextEncoding::ReplaceInvalidUtf8(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = SequenceAt(text, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(text, i, length);
      i += length;
    }
  }
  return out;
}

}  // namespace Formats
