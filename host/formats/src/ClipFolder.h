#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "Formats/ClipFileError.h"

namespace Formats {

// The rules for the files a clip may name beside its document.
//
// 1. A buffer URI is a relative reference: no scheme, no query or fragment, no leading
//    "/", and no ".." segment, so it names a file in the document's folder or one of its
//    subfolders. It is percent-decoded as a URI ("%20" is a space, "+" stays a plus sign).
//    `data:` URIs are not files; the document reader decodes them.
// 2. Only regular files are read, opened without blocking, so that a pipe or a device
//    named by a URI is refused instead of waited on, and never more bytes than allowed.
// 3. Symbolic links met on the way are followed: a user who links a file into the folder
//    means it to be used.
class ClipFolder {
 public:
  // The file `uri` names, relative to the document's folder; false with a message naming
  // the URI when it breaks rule 1.
  [[nodiscard]] static bool ResolveUri(const std::string& uri, std::filesystem::path& relative, std::string& message);

  // A relative file name written as a URI: bytes outside RFC 3986's unreserved set and "/"
  // are percent-encoded.
  static std::string EncodeUri(const std::filesystem::path& relative);

  // Reads a whole regular file of at most `maxBytes` (rule 2). FileNotFound when it does
  // not exist, UnsafeUri when it is not a regular file, TooLarge past the bound.
  [[nodiscard]] static ClipFileError ReadRegularFile(const std::filesystem::path& path, std::uint64_t maxBytes,
                                                     std::vector<unsigned char>& bytes, std::string& message);

  // Decodes "%XX" escapes; false when a '%' is not followed by two hexadecimal digits.
  [[nodiscard]] static bool DecodePercent(const std::string& text, std::string& decoded);

  // The name tinygltf looks a decoded buffer URI up under: it decodes "+" as a space.
  static std::string TinygltfLookupName(const std::string& uri);
};

}  // namespace Formats
