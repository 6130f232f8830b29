#pragma once

#include <functional>
#include <string>
#include <vector>

#include "EngineCore/AnimClip.h"
#include "Formats/FormatsApi.h"

namespace Formats {

// Recovery records: copies of clips with unsaved edits, kept in a project's `.tarvel/recovery/`
// so that a crash loses at most the last moments of work.
//
// 1. A record holds the clip's frame rate, channels, tracks (with their interpolation) and
//    keys, whatever the clip's file format; restoring it puts them in place of the clip's
//    own and nothing else.
// 2. Taking a record (Snapshot) copies the keys into bytes and costs little: it runs on the
//    thread that edits. Writing it (Write) is the slow part and may run on any thread: the
//    bytes go to a temporary file, are flushed, and the file is renamed over the record, so a
//    record on disk is always whole.
// 3. A record is newer than its clip's file when it was written after the file was last
//    changed; an older record (the clip was saved since, here or elsewhere) is of no use.
// 4. A record that does not read whole (a file of another version, cut short, or not a
//    record) is refused with a message, never half restored.
class FORMATS_API ClipRecovery {
 public:
  // Records of the project in `projectFolder`.
  explicit ClipRecovery(const std::string& projectFolder);

  const std::string& GetFolder() const { return folder_; }

  static std::vector<unsigned char> Snapshot(const EngineCore::AnimClip& clip);
  // Writes the record of the clip of that name; false, with a message, when it cannot.
  bool Write(const std::string& clipName, const std::vector<unsigned char>& bytes, std::string& message) const;
  void Remove(const std::string& clipName) const;
  bool Exists(const std::string& clipName) const;

  // The names of the clips with records newer than their files (rule 3), in name order;
  // `fileOfClip` gives a clip's file, empty when the project has no such clip. Records of
  // no use are removed.
  std::vector<std::string> ListRecoverable(const std::function<std::string(const std::string&)>& fileOfClip) const;

  // Puts the record's channels in place of the clip's; false, and the clip unchanged, when
  // the record does not read whole.
  bool Restore(const std::string& clipName, EngineCore::AnimClip& clip, std::string& message) const;

 private:
  std::string PathOf(const std::string& clipName) const;

  std::string folder_;
};

}  // namespace Formats
