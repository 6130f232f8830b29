#include "Formats/ClipFileError.h"

namespace Formats {

const char* Describe(ClipFileError error) {
  switch (error) {
    case ClipFileError::None: return "no error";
    case ClipFileError::FileNotFound: return "file not found";
    case ClipFileError::NotGltf: return "not a valid glTF 2.0 file";
    case ClipFileError::NotReadable: return "not a readable clip of its format";
    case ClipFileError::MissingBuffer: return "buffer data missing or too short";
    case ClipFileError::BadAccessor: return "animation accessor of the wrong type, count or range";
    case ClipFileError::BadTimes: return "key times negative, not finite or not increasing";
    case ClipFileError::NonFiniteValue: return "key value is not a finite number";
    case ClipFileError::TooLarge: return "sizes beyond what a clip can hold";
    case ClipFileError::WriteFailed: return "file could not be written";
    case ClipFileError::UnsafeUri: return "URI outside the clip's folder or not a regular file";
    case ClipFileError::ReadOnly: return "clip is read-only";
    case ClipFileError::Busy: return "clip's folder is locked by another program";
    case ClipFileError::ChangedOnDisk: return "clip was changed on disk by another program";
  }
  return "unknown error";
}

}  // namespace Formats
