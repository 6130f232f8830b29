#include "ClipFileTransaction.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

#include "ClipFolder.h"
#include "EngineCore/Log.h"
#include "Formats/SaveStepHook.h"
#include "GltfDocumentReader.h"
#include "ProjectDocuments.h"

namespace Formats {

namespace {

namespace fs = std::filesystem;

constexpr const char* kTemporaryMark = ".tarvel-new";
constexpr const char* kRecordMark = ".tarvel-commit";
constexpr const char* kRecordHeader = "tarvel-commit 1";

bool Writable(mode_t mode) { return (mode & 0222) != 0; }

std::string Reason(int error) { return std::strerror(error); }

fs::path FolderOf(const fs::path& path) { return path.has_parent_path() ? path.parent_path() : fs::path("."); }

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

// Creates `path` (which must not exist), fills it, flushes it and checks that it holds every
// byte. `owner` null: the file keeps the owner of whoever writes it.
bool WriteNewFile(const fs::path& path, const void* data, std::size_t size, mode_t mode,
                  const std::pair<uid_t, gid_t>* owner, int& error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    error = errno;
    return false;
  }
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

bool IsDocumentName(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
  return extension == ".gltf" || extension == ".glb";
}

// A path written into the record: relative to the document's folder, percent-encoded so that
// any byte of a name survives a line-based file.
std::string RecordPath(const fs::path& path, const fs::path& folder) {
  return ClipFolder::EncodeUri(path.lexically_relative(folder));
}

struct RecordedRename {
  fs::path temporary;
  fs::path final;
};

// The renames of a whole record; false when the record is missing, cut short or not ours.
bool ReadRecord(const fs::path& record, const fs::path& folder, const std::string& documentName,
                std::vector<RecordedRename>& renames) {
  std::ifstream in(record, std::ios::binary);
  if (!in) return false;
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; start = end + 1, end = text.find('\n', start)) {
    lines.push_back(text.substr(start, end - start));
  }
  if (lines.size() < 2 || lines.front() != kRecordHeader || lines.back() != "end") return false;
  const std::string temporaryPrefix = "." + documentName + kTemporaryMark;
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::size_t space = line.find(' ', 7);
    std::string temporary, final;
    if (line.rfind("rename ", 0) != 0 || space == std::string::npos ||
        !ClipFolder::DecodePercent(line.substr(7, space - 7), temporary) ||
        !ClipFolder::DecodePercent(line.substr(space + 1), final)) {
      return false;
    }
    RecordedRename rename{(folder / temporary).lexically_normal(), (folder / final).lexically_normal()};
    // Only a temporary of this document's saves is ever renamed, and only within its folder.
    if (rename.temporary.parent_path() != rename.final.parent_path() ||
        rename.temporary.filename().string().rfind(temporaryPrefix, 0) != 0) {
      return false;
    }
    renames.push_back(std::move(rename));
  }
  return true;
}

// Folders where this document's saves may have left temporaries: beside the document, beside
// its target, beside each buffer file it names.
std::set<fs::path> TemporaryFolders(const fs::path& folder, const fs::path& physicalDocument,
                                    const std::vector<fs::path>& buffers) {
  std::set<fs::path> folders{folder, FolderOf(physicalDocument)};
  for (const fs::path& buffer : buffers) folders.insert(FolderOf(buffer));
  return folders;
}

// The temporaries of this document's saves in the folders: `.DOC.tarvel-new` and
// `.DOC.tarvel-new.N` only.
std::vector<fs::path> Temporaries(const std::set<fs::path>& folders, const std::string& documentName) {
  const std::string prefix = "." + documentName + kTemporaryMark;
  std::vector<fs::path> found;
  for (const fs::path& folder : folders) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(prefix, 0) != 0) continue;
      const std::string rest = name.substr(prefix.size());
      if (rest.empty() || (rest.size() > 1 && rest[0] == '.' && std::all_of(rest.begin() + 1, rest.end(), ::isdigit))) {
        found.push_back(entry.path());
      }
    }
  }
  return found;
}

}  // namespace

ClipFileTransaction::ClipFileTransaction(const std::string& documentPath)
    : documentPath_(documentPath), documentName_(documentPath_.filename().string()), lock_(documentPath) {
  std::error_code ec;
  folder_ = fs::weakly_canonical(fs::absolute(FolderOf(documentPath_), ec), ec);
  physicalDocument_ = folder_ / documentName_;
}

bool ClipFileTransaction::Step(const std::string& what) { return SaveStepHook::Reached(++step_, what); }

const std::pair<uid_t, gid_t>* ClipFileTransaction::OwnerToKeep() const {
  // Only root can give a file to someone else; it keeps the clip its owner's.
  return documentExists_ && ::geteuid() == 0 ? &owner_ : nullptr;
}

void ClipFileTransaction::NoteDenied(int error) {
  accessDenied_ = accessDenied_ || error == EACCES || error == EPERM || error == EROFS;
}

bool ClipFileTransaction::ResolveDocument(std::string& message) {
  std::error_code ec;
  if (!fs::is_directory(folder_, ec)) {
    message = folder_.string() + " is not a folder";
    return false;
  }
  if (fs::is_symlink(physicalDocument_, ec)) {
    const fs::path entry = physicalDocument_;
    physicalDocument_ = fs::canonical(entry, ec);
    if (ec) physicalDocument_ = fs::weakly_canonical(folder_ / fs::read_symlink(entry, ec), ec);
  }
  struct stat info {};
  documentExists_ = ::stat(physicalDocument_.c_str(), &info) == 0;
  if (documentExists_) {
    if (!S_ISREG(info.st_mode)) {
      message = documentName_ + " is not a regular file";
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
  ProjectDocuments::BufferUris uris;
  if (!documentExists_ || !ProjectDocuments::ListBufferUris(physicalDocument_, uris)) return ClipFileError::None;
  std::error_code ec;
  const fs::path document = fs::weakly_canonical(physicalDocument_, ec);
  ClipFileError result = ClipFileError::None;
  for (const auto& [index, uri] : uris) {
    ExistingBuffer buffer;
    std::string reason;
    if (!ClipFolder::ResolveUri(uri, buffer.name, reason)) continue;
    buffer.physical = fs::weakly_canonical(folder_ / buffer.name, ec);
    struct stat info {};
    buffer.exists = ::stat(buffer.physical.c_str(), &info) == 0;
    if (buffer.exists) {
      buffer.mode = info.st_mode & 07777;
      if (!Writable(buffer.mode) && result == ClipFileError::None) {
        message = buffer.name.string() + " is write-protected";
        result = ClipFileError::ReadOnly;
      }
    }
    buffer.mustStay =
        buffer.physical == document || IsDocumentName(buffer.physical) || (buffer.exists && info.st_nlink > 1);
    if (existing_.size() <= index) existing_.resize(index + 1);
    existing_[index] = std::move(buffer);
  }
  return result;
}

void ClipFileTransaction::FinishInterrupted(const std::string& documentPath, bool everywhere) {
  ClipFileTransaction transaction(documentPath);
  std::string message;
  if (transaction.ResolveDocument(message)) (void)transaction.ClearInterrupted(everywhere, message);
}

ClipFileError ClipFileTransaction::ClearInterrupted(bool everywhere, std::string& message) {
  const fs::path record = folder_ / ("." + documentName_ + kRecordMark);
  std::error_code ec;
  const bool recorded = fs::exists(fs::symlink_status(record, ec));
  // A save writes the document's temporary and its record beside the document; only one
  // interrupted while it wrote a buffer beside a link's target leaves nothing there, which
  // the next save (everywhere) clears.
  if (!everywhere && !recorded && Temporaries({folder_, FolderOf(physicalDocument_)}, documentName_).empty()) {
    return ClipFileError::None;
  }
  std::vector<RecordedRename> renames;
  if (recorded) {
    if (ReadRecord(record, folder_, documentName_, renames)) {
      std::set<fs::path> folders;
      for (const RecordedRename& rename : renames) {
        if (::rename(rename.temporary.c_str(), rename.final.c_str()) == 0) folders.insert(FolderOf(rename.final));
      }
      for (const fs::path& folder : folders) FlushFolder(folder);
      EngineCore::Log::Write(EngineCore::Log::Info, "%s: finished a save that was interrupted",
                             documentPath_.c_str());
    }
    ::unlink(record.c_str());
    FlushFolder(folder_);
  }
  // With the record gone (or never whole), what remains of temporaries belongs to no save.
  const ClipFileError error = ReadExistingBuffers(message);
  std::vector<fs::path> buffers;
  for (const ExistingBuffer& buffer : existing_) {
    if (!buffer.name.empty()) buffers.push_back(buffer.physical);
  }
  std::set<fs::path> folders;
  for (const fs::path& temporary :
       Temporaries(TemporaryFolders(folder_, physicalDocument_, buffers), documentName_)) {
    if (::unlink(temporary.c_str()) == 0) folders.insert(FolderOf(temporary));
  }
  for (const fs::path& folder : folders) FlushFolder(folder);
  return error;
}

ClipFileError ClipFileTransaction::Begin(std::string& message) {
  if (!lock_.Acquire(message)) return ClipFileError::Busy;
  if (!ResolveDocument(message)) return ClipFileError::WriteFailed;
  if (documentExists_ && !Writable(documentMode_)) {
    message = documentName_ + " is write-protected";
    return ClipFileError::ReadOnly;
  }
  if (!Step("clear what an interrupted save left")) {
    message = "could not clear what an interrupted save left";
    return ClipFileError::WriteFailed;
  }
  return ClearInterrupted(true, message);
}

fs::path ClipFileTransaction::FreshBufferName() const {
  const std::string stem = documentPath_.stem().string();
  std::error_code ec;
  for (int attempt = 0;; ++attempt) {
    const fs::path name = stem + (attempt ? "-" + std::to_string(attempt) : "") + ".bin";
    const bool taken = fs::exists(fs::symlink_status(folder_ / name, ec)) ||
                       std::any_of(renames_.begin(), renames_.end(),
                                   [&](const Rename& rename) { return rename.final == folder_ / name; });
    if (!taken) return name;
  }
}

fs::path ClipFileTransaction::TemporaryFor(const fs::path& final, std::size_t index, bool document) const {
  std::string name = "." + documentName_ + kTemporaryMark;
  if (!document) name += "." + std::to_string(index);
  return FolderOf(final) / name;
}

fs::path ClipFileTransaction::AddBuffer(std::size_t index, const std::vector<unsigned char>& bytes, bool changed) {
  const ExistingBuffer* old = index < existing_.size() && !existing_[index].name.empty() ? &existing_[index] : nullptr;
  std::error_code ec;
  const bool isDocument = old && old->physical == fs::weakly_canonical(physicalDocument_, ec);
  const auto named = [this, index](const fs::path& name) {
    written_.emplace_back(index, ClipFolder::EncodeUri(name));
    return name;
  };
  if (old && old->exists && !changed && !isDocument) return named(old->name);
  Rename rename;
  rename.data = bytes.data();
  rename.size = bytes.size();
  if (old && !old->mustStay && !ProjectDocuments::NameFile(physicalDocument_, old->physical)) {
    rename.final = old->physical;
    rename.name = old->name.string();
    rename.mode = old->exists ? old->mode : documentMode_;
    rename.temporary = TemporaryFor(rename.final, index, false);
    renames_.push_back(std::move(rename));
    return named(old->name);
  }
  const fs::path name = FreshBufferName();
  rename.final = folder_ / name;
  rename.name = name.string();
  rename.mode = documentMode_;
  rename.temporary = TemporaryFor(rename.final, index, false);
  renames_.push_back(std::move(rename));
  return named(name);
}

bool ClipFileTransaction::WriteTemporaries(std::string& message) {
  std::set<fs::path> folders;
  for (const Rename& rename : renames_) {
    if (!Step("write " + rename.name)) {
      message = "could not write " + rename.name + ": the write failed";
      return false;
    }
    int error = 0;
    const bool ok = WriteNewFile(rename.temporary, rename.data, rename.size, rename.mode, OwnerToKeep(), error);
    if (ok || error != EEXIST) created_.push_back(rename.temporary);
    if (!ok) {
      NoteDenied(error);
      message = "could not write " + rename.name + ": " + Reason(error);
      return false;
    }
    folders.insert(FolderOf(rename.temporary));
  }
  // The record's own flush of the document's folder covers the temporaries beside it; a
  // single rename needs no flush before it.
  folders.erase(folder_);
  for (const fs::path& folder : folders) FlushFolder(folder);
  return true;
}

bool ClipFileTransaction::WriteRecord(std::string& message) {
  if (!Step("write the commit record")) {
    message = "could not write the save's commit record: the write failed";
    return false;
  }
  std::string text = std::string(kRecordHeader) + "\n";
  for (const Rename& rename : renames_) {
    text += "rename " + RecordPath(rename.temporary, folder_) + " " + RecordPath(rename.final, folder_) + "\n";
  }
  text += "end\n";
  const fs::path record = folder_ / ("." + documentName_ + kRecordMark);
  int error = 0;
  if (!WriteNewFile(record, text.data(), text.size(), 0600, nullptr, error)) {
    ::unlink(record.c_str());
    NoteDenied(error);
    message = "could not write the save's commit record: " + Reason(error);
    return false;
  }
  FlushFolder(folder_);
  recordWritten_ = true;
  return true;
}

bool ClipFileTransaction::RenameAll(std::string& message) {
  std::set<fs::path> folders;
  for (const Rename& rename : renames_) {
    if (!Step("rename " + rename.name)) {
      message = "could not rename " + rename.name + ": the rename failed";
      return false;
    }
    if (::rename(rename.temporary.c_str(), rename.final.c_str()) != 0) {
      NoteDenied(errno);
      message = "could not rename " + rename.name + ": " + Reason(errno);
      return false;
    }
    folders.insert(FolderOf(rename.final));
  }
  for (const fs::path& folder : folders) FlushFolder(folder);
  return true;
}

void ClipFileTransaction::RollBack() {
  for (auto it = created_.rbegin(); it != created_.rend(); ++it) ::unlink(it->c_str());
  if (recordWritten_) ::unlink((folder_ / ("." + documentName_ + kRecordMark)).c_str());
  FlushFolder(folder_);
}

ClipFileError ClipFileTransaction::Commit(const std::string& bytes, std::string& message) {
  Rename last;
  last.final = physicalDocument_;
  last.name = documentName_;
  last.data = bytes.data();
  last.size = bytes.size();
  last.mode = documentMode_;
  last.temporary = TemporaryFor(physicalDocument_, 0, true);
  renames_.push_back(std::move(last));

  const bool recorded = renames_.size() > 1;
  if (!WriteTemporaries(message) || (recorded && !WriteRecord(message))) {
    RollBack();
    return accessDenied_ ? ClipFileError::ReadOnly : ClipFileError::WriteFailed;
  }
  if (!RenameAll(message)) {
    if (!recorded) {
      RollBack();
      return accessDenied_ ? ClipFileError::ReadOnly : ClipFileError::WriteFailed;
    }
    // The record stands for the new clip: finish its renames now, or the next open will.
    EngineCore::Log::Write(EngineCore::Log::Warning, "%s: %s; finishing the save from its commit record",
                           documentPath_.c_str(), message.c_str());
    FinishInterrupted(documentPath_.string(), true);
    std::error_code ec;
    if (fs::exists(renames_.back().temporary, ec)) {
      message += "; the save will be finished when the clip is next opened";
      return ClipFileError::WriteFailed;
    }
    return ClipFileError::None;
  }
  // A record whose removal a crash undoes is finished again, to no effect, by the next open.
  if (recorded && Step("remove the commit record")) ::unlink((folder_ / ("." + documentName_ + kRecordMark)).c_str());
  ProjectDocuments::Remember(physicalDocument_, written_);
  return ClipFileError::None;
}

}  // namespace Formats
