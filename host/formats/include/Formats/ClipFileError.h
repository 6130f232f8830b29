#pragma once

namespace Formats {

// What can go wrong with a clip or scene file.
enum class ClipFileError {
  None,
  FileNotFound,
  NotGltf,         // the file does not parse as glTF 2.0
  MissingBuffer,   // a buffer's data is absent or shorter than declared
  BadAccessor,     // wrong type or count, out-of-range views, sparse data in animation
  BadTimes,        // key times negative, not finite or not increasing
  NonFiniteValue,  // NaN or infinity among key values
  TooLarge,        // sizes beyond what an editor clip can hold
  WriteFailed,     // the file could not be written; the original is untouched
};

// One-line English description for logs and command lines.
const char* Describe(ClipFileError error);

}  // namespace Formats
