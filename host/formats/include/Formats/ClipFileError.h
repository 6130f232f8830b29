#pragma once

#include "Formats/FormatsApi.h"

namespace Formats {

// What can go wrong with a clip or scene file. Every failure of this library is one of
// these with a message; no exception leaves it.
enum class ClipFileError {
  None,
  FileNotFound,    // no such file, or not a regular file
  NotGltf,         // the file does not parse as glTF 2.0
  NotReadable,     // a file of another format that does not parse as one
  MissingBuffer,   // a buffer's data is absent or shorter than declared
  BadAccessor,     // wrong type or count, out-of-range views, sparse data in animation
  BadTimes,        // key times negative, not finite or not increasing
  NonFiniteValue,  // NaN or infinity among key values, or a rotation of length zero
  TooLarge,        // beyond one of the bounds of ClipFileLimits
  WriteFailed,     // the file could not be written; the clip on disk is as it was
  UnsafeUri,       // a URI names a file outside the clip's folder, or not a regular file
  ReadOnly,        // the clip's files are write-protected, or its file may not be rewritten
  Busy,            // another program kept the clip's folder locked; nothing was read or written
  ChangedOnDisk,   // another program changed the clip's files since they were read; nothing written
};

// One-line English description for logs and command lines.
FORMATS_API const char* Describe(ClipFileError error);

}  // namespace Formats
