#pragma once

#include <string>
#include <string_view>

namespace Formats {

// Names go into glTF documents, whose text is UTF-8.
class TextEncoding {
 public:
  static bool IsValidUtf8(std::string_view text);
  // The offset of the first byte that starts no well-formed UTF-8 sequence; the size if none.
  static std::size_t FirstInvalidUtf8(std::string_view text);
  // A name read from a format without a stated encoding (BVH, say): kept when it is UTF-8,
  // else read as Latin-1, the usual encoding of such files, so that it saves and reopens
  // as the same name. Control characters (NUL among them) become '_'.
  static std::string FromLegacy(const std::string& text);
  // Each byte that does not belong to a well-formed UTF-8 sequence becomes U+FFFD.
  static std::string ReplaceInvalidUtf8(const std::string& text);
};

}  // namespace Formats
