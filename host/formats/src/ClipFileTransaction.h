#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "ClipFileLock.h"
#include "Formats/ClipFileError.h"

namespace Formats {

// Replaces a clip's document and buffer files, under their own names, so that whatever
// happens (an error, a full disk, the process killed at any instruction, power lost within
// what fsync promises, another process opening or saving the clip) the clip on disk is the
// old one or the new one, never a mix:
//
// 1. The whole save holds the clip's ClipFileLock, which every open holds for its read.
// 2. Each file that changes is written beside the file it replaces (beside a link's target,
//    so that the link stays a link) under a temporary name: `.DOC.tarvel-new` for the
//    document and `.DOC.tarvel-new.N` for its buffer N, DOC being the document's file name.
//    Each is checked (every write, then the size) and flushed.
// 3. When more than one file changes, a commit record `.DOC.tarvel-commit` beside the
//    document lists each rename (temporary -> final, in one folder) and ends with a line
//    "end"; it is flushed before the first rename. Writing it is the moment the clip changes.
//    The buffers are renamed into place, then the document, then the record is removed. A
//    save of one file (a .glb, or a document whose buffers did not change) is just its rename.
// 4. An open or save that finds a whole record finishes its renames before it reads (roll
//    forward); one that finds temporaries without a whole record removes those temporaries
//    and nothing else.
// 5. File names stay: buffer N keeps the name the document gives it, and its file is
//    replaced. A new name (STEM.bin, STEM-1.bin... beside the document) is taken only for a
//    buffer the document did not name, or whose file must not change: a glTF document (the
//    clip's own included), a file that another document of the project names, a file with
//    other hard links. A buffer whose bytes did not change is not written at all.
// 6. A save removes only its own temporaries and record: never a document, never a buffer.
// 7. A clip whose document or buffer files have no write permission at all is
//    write-protected, whoever runs the editor (root included): it is refused before anything
//    is written. New files take the permissions (and, for root, the owner) of the files they
//    replace, or of the document.
// A failure before the record (or before the one rename) removes everything the save
// created and leaves the clip as it was; a failure after it finishes the renames at once, or
// leaves them to the next open.
class ClipFileTransaction {
 public:
  explicit ClipFileTransaction(const std::string& documentPath);

  // Takes the clip's lock, finishes or clears an interrupted save (rule 4), refuses a
  // write-protected clip and learns the buffer files the document on disk names.
  [[nodiscard]] ClipFileError Begin(std::string& message);

  // The file name, relative to the document's folder, under which buffer `index` of the new
  // document is stored. `changed` false says its bytes are the ones its file holds now. The
  // bytes must live until Commit returns.
  std::filesystem::path AddBuffer(std::size_t index, const std::vector<unsigned char>& bytes, bool changed);

  // Writes the changed files and makes them the clip's.
  [[nodiscard]] ClipFileError Commit(const std::string& bytes, std::string& message);

  // Finishes or clears an interrupted save of this document (rule 4). The caller holds the
  // clip's lock; a folder that cannot be changed is left as it is. Unless `everywhere`, the
  // folders of the buffers are looked at only when the document's own folder shows a save
  // was interrupted, which costs an open nothing more than listing that folder.
  static void FinishInterrupted(const std::string& documentPath, bool everywhere = false);

 private:
  struct ExistingBuffer {
    std::filesystem::path name;      // relative to the document's folder; empty: no file
    std::filesystem::path physical;  // the file, links followed
    mode_t mode = 0644;
    bool exists = false;
    bool mustStay = false;  // rule 5: the file may not be replaced
  };
  struct Rename {
    std::filesystem::path temporary;
    std::filesystem::path final;
    std::string name;  // as the steps call it
    const void* data = nullptr;
    std::size_t size = 0;
    mode_t mode = 0644;
  };

  bool Step(const std::string& what);
  void NoteDenied(int error);
  const std::pair<uid_t, gid_t>* OwnerToKeep() const;
  bool ResolveDocument(std::string& message);
  // FinishInterrupted on a resolved document; learns the buffers the document names then.
  ClipFileError ClearInterrupted(bool everywhere, std::string& message);
  ClipFileError ReadExistingBuffers(std::string& message);
  std::filesystem::path FreshBufferName() const;
  std::filesystem::path TemporaryFor(const std::filesystem::path& final, std::size_t index, bool document) const;
  bool WriteTemporaries(std::string& message);
  bool WriteRecord(std::string& message);
  bool RenameAll(std::string& message);
  void RollBack();

  std::filesystem::path documentPath_;
  std::filesystem::path folder_;
  std::filesystem::path physicalDocument_;  // the document's target when it is a link
  std::string documentName_;
  bool documentExists_ = false;
  mode_t documentMode_ = 0644;
  std::pair<uid_t, gid_t> owner_{0, 0};
  ClipFileLock lock_;
  std::vector<ExistingBuffer> existing_;
  std::vector<Rename> renames_;
  std::vector<std::filesystem::path> created_;
  // The external buffer URIs of the new document, by index.
  std::vector<std::pair<std::size_t, std::string>> written_;
  bool recordWritten_ = false;
  bool accessDenied_ = false;
  int step_ = 0;
};

}  // namespace Formats
