#include "ClipFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

namespace Formats {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool HasScheme(const std::string& uri) {
  // RFC 3986: ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ) ":" before any "/".
  if (uri.empty() || !std::isalpha(static_cast<unsigned char>(uri[0]))) return false;
  for (char c : uri) {
    if (c == ':') return true;
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

// Closes a descriptor when it goes out of scope.
struct FileCloser {
  int fd;
  ~FileCloser() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

bool ClipFolder::ResolveUri(const std::string& uri, std::filesystem::path& relative, std::string& message) {
  const std::string quoted = "URI '" + uri + "'";
  if (uri.empty()) {
    message = "an empty URI names no file";
    return false;
  }
  if (HasScheme(uri)) {
    message = quoted + " names a location outside the clip's folder";
    return false;
  }
  if (uri.find_first_of("?#") != std::string::npos) {
    message = quoted + " has a query or fragment, which no file name has";
    return false;
  }
  if (uri[0] == '/' || uri[0] == '\\') {
    message = quoted + " is absolute; buffers are named relative to the clip";
    return false;
  }
  std::string decoded;
  if (!DecodePercent(uri, decoded)) {
    message = quoted + " has a '%' that is not followed by two hexadecimal digits";
    return false;
  }
  if (decoded.find('\0') != std::string::npos) {
    message = quoted + " holds a NUL character";
    return false;
  }
  relative.clear();
  std::size_t start = 0;
  while (start <= decoded.size()) {
    const std::size_t end = std::min(decoded.find('/', start), decoded.size());
    const std::string segment = decoded.substr(start, end - start);
    if (segment == "..") {
      message = quoted + " leaves the clip's folder";
      return false;
    }
    if (!segment.empty() && segment != ".") relative /= segment;
    start = end + 1;
  }
  if (relative.empty() || decoded.back() == '/') {
    message = quoted + " names a folder, not a file";
    return false;
  }
  return true;
}

bool ClipFolder::DecodePercent(const std::string& text, std::string& decoded) {
  decoded.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i];
      continue;
    }
    const int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
    const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
    if (high < 0 || low < 0) return false;
    decoded += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

std::string ClipFolder::EncodeUri(const std::filesystem::path& relative) {
  static const char* kHex = "0123456789ABCDEF";
  std::string uri;
  for (const unsigned char c : relative.generic_string()) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

ClipFileError ClipFolder::ReadRegularFile(const std::filesystem::path& path, std::uint64_t maxBytes,
                                          std::vector<unsigned char>& bytes, std::string& message) {
  bytes.clear();
  // O_NONBLOCK: opening a pipe for reading would otherwise wait for a writer.
  FileCloser file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
  if (file.fd < 0) {
    const int error = errno;
    message = path.filename().string() + ": " + std::strerror(error);
    return error == ENOENT || error == ENOTDIR ? ClipFileError::FileNotFound : ClipFileError::UnsafeUri;
  }
  struct stat info {};
  if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    message = path.filename().string() + " is not a regular file";
    return ClipFileError::UnsafeUri;
  }
  if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
    message = path.filename().string() + " holds " + std::to_string(info.st_size) + " bytes, more than the " +
              std::to_string(maxBytes) + " a clip may read";
    return ClipFileError::TooLarge;
  }
  bytes.resize(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(file.fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      message = path.filename().string() + ": " + (n < 0 ? std::strerror(errno) : "shorter than its size");
      return ClipFileError::MissingBuffer;
    }
    done += static_cast<std::size_t>(n);
  }
  return ClipFileError::None;
}

std::string ClipFolder::TinygltfLookupName(const std::string& uri) {
  std::string name;
  for (std::size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '+') {
      name += ' ';
    } else if (uri[i] == '%' && uri.size() > i + 2) {
      const int high = HexDigit(uri[i + 1]);
      const int low = HexDigit(uri[i + 2]);
      name += static_cast<char>((std::max(high, 0) << 4) | std::max(low, 0));
      i += 2;
    } else {
      name += uri[i];
    }
  }
  return name;
}

}  // namespace Formats
