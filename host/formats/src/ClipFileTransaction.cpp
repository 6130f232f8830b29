#include "ClipFileTransaction.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string_view>

#include "ClipFolder.h"
#include "EngineCore/Log.h"
#include "Formats/SaveStepHook.h"
#include "GltfDocumentReader.h"

namespace Formats {

namespace {

namespace fs = std::filesystem;

constexpr const char* kTemporaryMark = ".tarvel-save-";
constexpr const char* kJournalMark = ".tarvel-journal";

bool Writable(mode_t mode) { return (mode & 0222) != 0; }

std::string Reason(int error) { return std::strerror(error); }

// Flushes a folder's entries (a rename, a new file) to disk.
void FlushFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool WriteAll(int fd, const void* data, std::size_t size, int& error) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : ENOSPC;
      return false;
    }
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Fills an open new file, flushes it and checks that it holds every byte; closes it.
// `owner` null: the file keeps the owner of whoever writes it.
bool FinishFile(int fd, const void* data, std::size_t size, mode_t mode, const std::pair<uid_t, gid_t>* owner,
                int& error) {
  bool ok = ::fchmod(fd, mode) == 0 || (error = errno, false);
  if (ok && owner) (void)!::fchown(fd, owner->first, owner->second);
  ok = ok && WriteAll(fd, data, size, error);
  ok = ok && (::fsync(fd) == 0 || (error = errno, false));
  struct stat info {};
  ok = ok && (::fstat(fd, &info) == 0 || (error = errno, false));
  if (ok && static_cast<std::size_t>(info.st_size) != size) {
    error = EIO;
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    error = errno;
    ok = false;
  }
  return ok;
}

// The name a save gives a buffer of this clip: STEM-HHHHHHHH.bin or STEM-HHHHHHHH-N.bin.
bool IsOwnBufferName(const std::string& name, const std::string& stem) {
  if (name.size() < stem.size() + 14 || name.compare(0, stem.size(), stem) != 0 || name[stem.size()] != '-') {
    return false;
  }
  const std::string_view rest = std::string_view(name).substr(stem.size() + 1);
  if (rest.size() < 12 || rest.substr(rest.size() - 4) != ".bin") return false;
  for (std::size_t i = 0; i < 8; ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(rest[i]))) return false;
  }
  const std::string_view suffix = rest.substr(8, rest.size() - 12);
  if (suffix.empty()) return true;
  return suffix.size() > 1 && suffix[0] == '-' && std::all_of(suffix.begin() + 1, suffix.end(), [](char c) {
           return std::isdigit(static_cast<unsigned char>(c));
         });
}

bool SameBytes(const fs::path& path, const std::vector<unsigned char>& bytes) {
  std::vector<unsigned char> existing;
  std::string message;
  return ClipFolder::ReadRegularFile(path, bytes.size(), existing, message) == ClipFileError::None && existing == bytes;
}

std::string ContentHash(const std::vector<unsigned char>& bytes) {
  const std::size_t hash =
      std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  char text[9];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(hash ^ (hash >> 32)));
  return text;
}

}  // namespace

ClipFileTransaction::ClipFileTransaction(const std::string& documentPath)
    : documentPath_(documentPath),
      folder_(documentPath_.has_parent_path() ? documentPath_.parent_path() : fs::path(".")),
      physicalDocument_(documentPath_),
      stem_(documentPath_.stem().string()) {}

bool ClipFileTransaction::Step(const std::string& what) { return SaveStepHook::Reached(++step_, what); }

const std::pair<uid_t, gid_t>* ClipFileTransaction::OwnerToKeep() const {
  // Only root can give a file to someone else; it keeps the clip its owner's.
  return documentExists_ && ::geteuid() == 0 ? &owner_ : nullptr;
}

void ClipFileTransaction::NoteDenied(int error) {
  accessDenied_ = accessDenied_ || error == EACCES || error == EPERM || error == EROFS;
}

fs::path ClipFileTransaction::JournalPath() const {
  return folder_ / ("." + documentPath_.filename().string() + kJournalMark);
}

bool ClipFileTransaction::ResolveDocument(std::string& message) {
  std::error_code ec;
  if (!fs::is_directory(folder_, ec)) {
    message = folder_.string() + " is not a folder";
    return false;
  }
  if (fs::is_symlink(documentPath_, ec)) {
    physicalDocument_ = fs::canonical(documentPath_, ec);
    if (ec) physicalDocument_ = fs::weakly_canonical(folder_ / fs::read_symlink(documentPath_, ec), ec);
  }
  struct stat info {};
  documentExists_ = ::stat(physicalDocument_.c_str(), &info) == 0;
  if (documentExists_) {
    if (!S_ISREG(info.st_mode)) {
      message = documentPath_.filename().string() + " is not a regular file";
      return false;
    }
    documentMode_ = info.st_mode & 07777;
    owner_ = {info.st_uid, info.st_gid};
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    documentMode_ = 0666 & ~mask;
  }
  return true;
}

ClipFileError ClipFileTransaction::ReadExistingBuffers(std::string& message) {
  existing_.clear();
  std::vector<std::string> uris;
  if (!documentExists_ || !GltfDocumentReader::ListBufferUris(physicalDocument_.string(), uris)) {
    return ClipFileError::None;
  }
  ClipFileError result = ClipFileError::None;
  for (const std::string& uri : uris) {
    ExistingBuffer buffer;
    std::string reason;
    if (!ClipFolder::ResolveUri(uri, buffer.name, reason)) continue;
    const fs::path entry = folder_ / buffer.name;
    std::error_code ec;
    if (fs::is_symlink(entry, ec)) buffer.target = fs::canonical(entry, ec);
    struct stat info {};
    if (::stat(entry.c_str(), &info) != 0) continue;
    buffer.mode = info.st_mode & 07777;
    if (!Writable(buffer.mode) && result == ClipFileError::None) {
      message = buffer.name.string() + " is write-protected";
      result = ClipFileError::ReadOnly;
    }
    existing_.push_back(std::move(buffer));
  }
  return result;
}

bool ClipFileTransaction::NamedByAnotherDocument(const fs::path& name) {
  if (!namedElsewhere_) {
    namedElsewhere_.emplace();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder_, ec)) {
      const fs::path& other = entry.path();
      std::string extension = other.extension().string();
      std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
      if ((extension != ".gltf" && extension != ".glb") || other.filename() == documentPath_.filename()) continue;
      std::vector<std::string> uris;
      if (!GltfDocumentReader::ListBufferUris(other.string(), uris)) continue;
      for (const std::string& uri : uris) {
        fs::path relative;
        std::string reason;
        if (ClipFolder::ResolveUri(uri, relative, reason)) namedElsewhere_->insert(relative.generic_string());
      }
    }
  }
  return namedElsewhere_->contains(name.generic_string());
}

void ClipFileTransaction::ClearLeftovers() {
  const std::string journalName = JournalPath().filename().string();
  const std::string ownTemporary = "." + documentPath_.filename().string() + kTemporaryMark;
  const std::string physicalTemporary = "." + physicalDocument_.filename().string() + kTemporaryMark;
  std::vector<fs::path> temporaries;
  bool journal = false;
  std::error_code ec;
  for (const fs::path& folder : {folder_, physicalDocument_.parent_path()}) {
    for (const auto& entry : fs::directory_iterator(folder.empty() ? fs::path(".") : folder, ec)) {
      const std::string name = entry.path().filename().string();
      if (name == journalName && folder == folder_) {
        journal = true;
      } else if (name.rfind(ownTemporary, 0) == 0 || name.rfind(physicalTemporary, 0) == 0 ||
                 (name.rfind(kTemporaryMark, 0) == 0 && name.size() == std::strlen(kTemporaryMark) + 6 &&
                  entry.is_directory(ec))) {
        // The last kind are whole temporary folders, which earlier versions saved through.
        temporaries.push_back(entry.path());
      }
    }
    if (physicalDocument_.parent_path() == folder_) break;
  }
  if (!journal && temporaries.empty()) return;

  std::set<std::string> namedEntries;
  std::set<fs::path> namedTargets;
  for (const ExistingBuffer& buffer : existing_) {
    namedEntries.insert(buffer.name.generic_string());
    namedTargets.insert(buffer.target.empty() ? fs::weakly_canonical(folder_ / buffer.name, ec) : buffer.target);
  }
  if (journal) {
    std::ifstream in(JournalPath());
    std::string text((std::istreambuf_iterator<char>(in)), {});
    std::size_t start = 0;
    // A line without its newline was cut short by the interruption and is not trusted.
    for (std::size_t end = text.find('\n'); end != std::string::npos; start = end + 1, end = text.find('\n', start)) {
      const std::string line = text.substr(start, end - start);
      if (line.rfind("entry ", 0) == 0) {
        const fs::path name = fs::path(line.substr(6)).lexically_normal();
        if (name.empty() || name.is_absolute() || *name.begin() == "..") continue;
        if (namedEntries.contains(name.generic_string()) || NamedByAnotherDocument(name)) continue;
        ::unlink((folder_ / name).c_str());
      } else if (line.rfind("target ", 0) == 0) {
        const fs::path target(line.substr(7));
        if (!target.is_absolute() || namedTargets.contains(target)) continue;
        if (IsOwnBufferName(target.filename().string(), stem_)) ::unlink(target.c_str());
      }
    }
  }
  for (const fs::path& temporary : temporaries) fs::remove_all(temporary, ec);
  ::unlink(JournalPath().c_str());
  FlushFolder(folder_);
}

void ClipFileTransaction::Recover(const std::string& documentPath) {
  ClipFileTransaction transaction(documentPath);
  std::string message;
  if (!transaction.ResolveDocument(message)) return;
  (void)transaction.ReadExistingBuffers(message);
  transaction.ClearLeftovers();
}

ClipFileError ClipFileTransaction::Begin(std::string& message) {
  if (!ResolveDocument(message)) return ClipFileError::WriteFailed;
  if (documentExists_ && !Writable(documentMode_)) {
    message = documentPath_.filename().string() + " is write-protected";
    return ClipFileError::ReadOnly;
  }
  const ClipFileError error = ReadExistingBuffers(message);
  if (error != ClipFileError::None) return error;
  if (!Step("clear what an interrupted save left")) {
    message = "could not clear what an interrupted save left";
    return ClipFileError::WriteFailed;
  }
  ClearLeftovers();
  return ClipFileError::None;
}

bool ClipFileTransaction::IsFree(const fs::path& name, const fs::path& target) const {
  std::error_code ec;
  return !fs::exists(fs::symlink_status(folder_ / name, ec)) &&
         (target.empty() || !fs::exists(fs::symlink_status(target, ec)));
}

fs::path ClipFileTransaction::AddBuffer(std::size_t index, const std::vector<unsigned char>& bytes) {
  const std::string base = stem_ + "-" + ContentHash(bytes);
  const ExistingBuffer* old = index < existing_.size() ? &existing_[index] : nullptr;
  const bool linked = old && !old->target.empty();
  std::error_code ec;
  for (int attempt = 1;; ++attempt) {
    NewBuffer buffer;
    buffer.name = base + (attempt > 1 ? "-" + std::to_string(attempt) : "") + ".bin";
    buffer.bytes = &bytes;
    buffer.mode = old ? old->mode : documentMode_;
    if (linked) {
      buffer.linkText = fs::read_symlink(folder_ / old->name, ec).parent_path() / buffer.name;
      buffer.target = old->target.parent_path() / buffer.name;
    }
    const auto same = std::find_if(pending_.begin(), pending_.end(),
                                   [&buffer](const NewBuffer& other) { return other.name == buffer.name; });
    if (same != pending_.end()) {
      if (*same->bytes == bytes) return buffer.name;
      continue;
    }
    if (IsFree(buffer.name, buffer.target)) {
      pending_.push_back(buffer);
      return buffer.name;
    }
    if (SameBytes(folder_ / buffer.name, bytes)) {
      buffer.reused = true;
      pending_.push_back(buffer);
      return buffer.name;
    }
  }
}

bool ClipFileTransaction::WriteJournal(const std::vector<fs::path>& doomed, std::string& message) {
  std::string text;
  for (const NewBuffer& buffer : pending_) {
    if (buffer.reused) continue;
    text += "entry " + buffer.name.generic_string() + "\n";
    if (!buffer.target.empty()) text += "target " + buffer.target.string() + "\n";
  }
  for (const fs::path& name : doomed) text += "entry " + name.generic_string() + "\n";
  if (text.empty()) return true;
  if (!Step("write the journal")) {
    message = "could not write the save's journal: the write failed";
    return false;
  }
  const int fd = ::open(JournalPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  int error = fd < 0 ? errno : 0;
  if (fd < 0 || !FinishFile(fd, text.data(), text.size(), 0600, nullptr, error)) {
    NoteDenied(error);
    message = "could not write the save's journal: " + Reason(error);
    ::unlink(JournalPath().c_str());
    return false;
  }
  journalWritten_ = true;
  FlushFolder(folder_);
  return true;
}

bool ClipFileTransaction::WriteBuffers(std::string& message) {
  std::set<fs::path> targetFolders;
  for (const NewBuffer& buffer : pending_) {
    if (buffer.reused) continue;
    if (!Step("write " + buffer.name.string())) {
      message = "could not write " + buffer.name.string() + ": the write failed";
      return false;
    }
    const fs::path file = buffer.target.empty() ? folder_ / buffer.name : buffer.target;
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      NoteDenied(errno);
      message = "could not create " + file.string() + ": " + Reason(errno);
      return false;
    }
    created_.push_back(file);
    int error = 0;
    if (!FinishFile(fd, buffer.bytes->data(), buffer.bytes->size(), buffer.mode, OwnerToKeep(), error)) {
      message = "could not write " + buffer.name.string() + ": " + Reason(error);
      return false;
    }
    if (!buffer.target.empty()) {
      if (::symlink(buffer.linkText.c_str(), (folder_ / buffer.name).c_str()) != 0) {
        message = "could not link " + buffer.name.string() + ": " + Reason(errno);
        return false;
      }
      created_.push_back(folder_ / buffer.name);
      targetFolders.insert(buffer.target.parent_path());
    }
  }
  for (const fs::path& folder : targetFolders) FlushFolder(folder);
  FlushFolder(folder_);
  return true;
}

bool ClipFileTransaction::WriteTemporaryDocument(const std::string& bytes, std::string& message) {
  if (!Step("write the document")) {
    message = "could not write " + documentPath_.filename().string() + ": the write failed";
    return false;
  }
  const fs::path folder = physicalDocument_.has_parent_path() ? physicalDocument_.parent_path() : fs::path(".");
  std::string pattern = (folder / ("." + physicalDocument_.filename().string() + kTemporaryMark + "XXXXXX")).string();
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    NoteDenied(errno);
    message = "could not create a file in " + folder.string() + ": " + Reason(errno);
    return false;
  }
  temporaryDocument_ = pattern;
  int error = 0;
  if (!FinishFile(fd, bytes.data(), bytes.size(), documentMode_, OwnerToKeep(), error)) {
    message = "could not write " + documentPath_.filename().string() + ": " + Reason(error);
    return false;
  }
  return true;
}

void ClipFileTransaction::RemoveReplacedBuffers(const std::vector<fs::path>& doomed) {
  for (const fs::path& name : doomed) {
    if (NamedByAnotherDocument(name)) continue;
    if (!Step("remove " + name.string())) return;
    const auto old = std::find_if(existing_.begin(), existing_.end(),
                                  [&name](const ExistingBuffer& buffer) { return buffer.name == name; });
    if (::unlink((folder_ / name).c_str()) != 0 && errno != ENOENT) {
      EngineCore::Log::Write(EngineCore::Log::Warning, "%s: could not remove %s, which it no longer uses: %s",
                             documentPath_.c_str(), name.c_str(), std::strerror(errno));
      return;
    }
    if (old != existing_.end() && !old->target.empty() && IsOwnBufferName(old->target.filename().string(), stem_)) {
      ::unlink(old->target.c_str());
    }
  }
  FlushFolder(folder_);
  if (journalWritten_ && Step("remove the journal")) {
    ::unlink(JournalPath().c_str());
    FlushFolder(folder_);
  }
}

void ClipFileTransaction::RollBack() {
  if (!temporaryDocument_.empty()) ::unlink(temporaryDocument_.c_str());
  for (auto it = created_.rbegin(); it != created_.rend(); ++it) ::unlink(it->c_str());
  if (journalWritten_) ::unlink(JournalPath().c_str());
  FlushFolder(folder_);
}

std::vector<fs::path> ClipFileTransaction::ReplacedBuffers() const {
  std::vector<fs::path> doomed;
  for (const ExistingBuffer& buffer : existing_) {
    const bool kept = std::any_of(pending_.begin(), pending_.end(),
                                  [&buffer](const NewBuffer& added) { return added.name == buffer.name; });
    if (!kept && std::find(doomed.begin(), doomed.end(), buffer.name) == doomed.end()) doomed.push_back(buffer.name);
  }
  return doomed;
}

bool ClipFileTransaction::ReplaceDocument(std::string& message) {
  if (!Step("replace the document")) {
    message = "could not replace " + documentPath_.filename().string() + ": the rename failed";
    return false;
  }
  if (::rename(temporaryDocument_.c_str(), physicalDocument_.c_str()) != 0) {
    message = "could not replace " + documentPath_.filename().string() + ": " + Reason(errno);
    return false;
  }
  temporaryDocument_.clear();
  FlushFolder(physicalDocument_.parent_path());
  if (physicalDocument_.parent_path() != folder_) FlushFolder(folder_);
  return true;
}

ClipFileError ClipFileTransaction::Commit(const std::string& bytes, std::string& message) {
  const std::vector<fs::path> doomed = ReplacedBuffers();
  if (!WriteJournal(doomed, message) || !WriteBuffers(message) || !WriteTemporaryDocument(bytes, message) ||
      !ReplaceDocument(message)) {
    RollBack();
    return accessDenied_ ? ClipFileError::ReadOnly : ClipFileError::WriteFailed;
  }
  RemoveReplacedBuffers(doomed);
  return ClipFileError::None;
}

}  // namespace Formats
