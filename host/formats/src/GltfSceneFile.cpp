#include "Formats/GltfSceneFile.h"

#include "EngineCore/Log.h"
#include "GltfDocumentReader.h"
#include "GltfSceneBuilder.h"

namespace Formats {

std::unique_ptr<EngineCore::Scene> GltfSceneFile::Load(const std::string& path, ClipFileError& error,
                                                       std::string& message) {
  try {
    tinygltf::Model model;
    error = GltfDocumentReader::Read(path, model, message);
    if (error != ClipFileError::None) {
      EngineCore::Log::Write(EngineCore::Log::Error, "%s: %s", path.c_str(), message.c_str());
      return nullptr;
    }
    return GltfSceneBuilder::Build(model);
  } catch (const std::exception& e) {
    error = ClipFileError::NotGltf;
    message = e.what();
    EngineCore::Log::Write(EngineCore::Log::Error, "%s: %s", path.c_str(), message.c_str());
    return nullptr;
  }
}

}  // namespace Formats
