#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Formats/ClipFileError.h"

namespace Formats {

// Replaces a clip's document and buffer files so that, whatever happens (an error, a full
// disk, the process killed at any instruction, power lost within what fsync promises), the
// clip on disk is the old one or the new one, never a mix:
//
// 1. No file the current document names is ever written. Each new buffer goes into a new
//    file named after its content (STEM-HHHHHHHH.bin beside the document, STEM being the
//    document's name), written, checked (every write, then the size) and flushed before
//    any document names it. A file of that name with the same bytes is used as it is.
// 2. The new document is written under a temporary name beside it
//    (.NAME.tarvel-save-XXXXXX), checked and flushed, then renamed over the old one: that
//    rename is the one moment the clip changes. Only after it are the buffer files that the
//    old document named and the new one does not removed, unless another document of the
//    folder names them too.
// 3. Before the first file is created, a journal (.NAME.tarvel-journal) lists every file
//    the save will create or remove. Any later save or open of the clip that finds a journal
//    or a temporary document removes what the interrupted save left: every listed file the
//    document on disk does not name, the temporary documents, then the journal.
// 4. A clip whose document or buffer files have no write permission at all is
//    write-protected, whoever runs the editor (root included): it is refused before anything
//    is written. New files take the permissions (and, for root, the owner) of the files they
//    replace.
// 5. Links are written through. A linked document is replaced at its target, the link left
//    as it is. A buffer that was a link gets its new file beside the old file's target,
//    reached through a new link of the new name; the old target is removed only when a
//    save made it.
// A failure before the rename removes everything the save created and leaves the clip as it
// was; a failure after it is only logged, since the new clip is already whole.
class ClipFileTransaction {
 public:
  explicit ClipFileTransaction(const std::string& documentPath);

  // Looks at the clip on disk: refuses a write-protected clip, clears what an interrupted
  // save left (rule 3) and learns which buffer files the current document names.
  [[nodiscard]] ClipFileError Begin(std::string& message);

  // The file name, relative to the document's folder, under which buffer `index` of the
  // new document is stored. The bytes must live until Commit returns.
  std::filesystem::path AddBuffer(std::size_t index, const std::vector<unsigned char>& bytes);

  // Writes the new buffers and the document `bytes`, and makes them the clip's.
  [[nodiscard]] ClipFileError Commit(const std::string& bytes, std::string& message);

  // Clears what an interrupted save of this document left (rule 3). Called when a clip
  // opens; a folder that cannot be changed is left as it is.
  static void Recover(const std::string& documentPath);

 private:
  struct ExistingBuffer {
    std::filesystem::path name;    // relative to the document's folder
    std::filesystem::path target;  // where a linked file leads, empty for a plain file
    mode_t mode = 0644;
  };
  struct NewBuffer {
    std::filesystem::path name;
    const std::vector<unsigned char>* bytes = nullptr;
    bool reused = false;             // an existing file with these very bytes
    std::filesystem::path linkText;  // for a buffer written through a link
    std::filesystem::path target;
    mode_t mode = 0644;
  };

  bool Step(const std::string& what);
  void NoteDenied(int error);
  const std::pair<uid_t, gid_t>* OwnerToKeep() const;
  std::vector<std::filesystem::path> ReplacedBuffers() const;
  bool ReplaceDocument(std::string& message);
  bool ResolveDocument(std::string& message);
  ClipFileError ReadExistingBuffers(std::string& message);
  void ClearLeftovers();
  bool NamedByAnotherDocument(const std::filesystem::path& name);
  bool IsFree(const std::filesystem::path& name, const std::filesystem::path& target) const;
  bool WriteJournal(const std::vector<std::filesystem::path>& doomed, std::string& message);
  bool WriteBuffers(std::string& message);
  bool WriteTemporaryDocument(const std::string& bytes, std::string& message);
  void RemoveReplacedBuffers(const std::vector<std::filesystem::path>& doomed);
  void RollBack();
  std::filesystem::path JournalPath() const;

  std::filesystem::path documentPath_;
  std::filesystem::path folder_;
  std::filesystem::path physicalDocument_;  // the document's target when it is a link
  std::string stem_;
  bool documentExists_ = false;
  mode_t documentMode_ = 0644;
  std::pair<uid_t, gid_t> owner_{0, 0};
  std::vector<ExistingBuffer> existing_;
  std::vector<NewBuffer> pending_;
  std::optional<std::set<std::string>> namedElsewhere_;
  std::vector<std::filesystem::path> created_;
  std::filesystem::path temporaryDocument_;
  bool journalWritten_ = false;
  bool accessDenied_ = false;
  int step_ = 0;
};

}  // namespace Formats
