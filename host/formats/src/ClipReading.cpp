#include "ClipReading.h"

#include <new>

#include "EngineCore/Log.h"

namespace Formats {

using EngineCore::Log;

ClipOpenResult ClipReading::Fail(const std::string& path, ClipFileError error, const std::string& message) {
  Log::Write(Log::Error, "%s: %s: %s", path.c_str(), Describe(error), message.c_str());
  return {nullptr, error, message};
}

ClipOpenResult ClipReading::Guarded(const std::string& path, ClipFileError error,
                                    const std::function<ClipOpenResult()>& open) {
  try {
    return open();
  } catch (const std::bad_alloc&) {
    return Fail(path, ClipFileError::TooLarge, "there is not enough memory to open it");
  } catch (const std::exception& e) {
    return Fail(path, error, e.what());
  }
}

ClipOpenResult ClipReading::Finish(EngineCore::AnimClip* clip, const std::string& samplingNote, const std::string& path,
                                   std::shared_ptr<EngineCore::ResourceStorage> storage) {
  clip->ComputeKeyFrameRange();
  if (!samplingNote.empty()) {
    Log::Write(Log::Warning, "%s: %s", path.c_str(), samplingNote.c_str());
    clip->SetReadingNote(EngineCore::String(samplingNote));
  }
  clip->SetStorage(std::move(storage));
  return {clip, ClipFileError::None, {}};
}

}  // namespace Formats
