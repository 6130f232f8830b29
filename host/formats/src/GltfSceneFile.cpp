#include "Formats/GltfSceneFile.h"

#include <filesystem>
#include <functional>

#include <tiny_gltf.h>

#include "EngineCore/Log.h"

namespace Formats {

namespace {

bool SkipImage(tinygltf::Image*, const int, std::string*, std::string*, int, int, const unsigned char*, int, void*) {
  return true;
}

void ApplyTransform(const tinygltf::Node& node, EngineCore::SceneObject& object) {
  if (node.translation.size() == 3) {
    object.SetLocalTranslation({static_cast<float>(node.translation[0]), static_cast<float>(node.translation[1]),
                                static_cast<float>(node.translation[2])});
  }
  if (node.rotation.size() == 4) {
    object.SetLocalRotation({static_cast<float>(node.rotation[0]), static_cast<float>(node.rotation[1]),
                             static_cast<float>(node.rotation[2]), static_cast<float>(node.rotation[3])});
  }
  if (node.scale.size() == 3) {
    object.SetLocalScale(
        {static_cast<float>(node.scale[0]), static_cast<float>(node.scale[1]), static_cast<float>(node.scale[2])});
  }
  if (node.matrix.size() == 16) {
    // Column-major: the translation is the last column; rotation and scale of a matrix are
    // not taken apart here, a skeleton's joints carry them as separate properties.
    object.SetLocalTranslation({static_cast<float>(node.matrix[12]), static_cast<float>(node.matrix[13]),
                                static_cast<float>(node.matrix[14])});
  }
}

}  // namespace

std::unique_ptr<EngineCore::Scene> GltfSceneFile::Load(const std::string& path, ClipFileError& error,
                                                       std::string& message) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    error = ClipFileError::FileNotFound;
    message = "no such file";
    return nullptr;
  }
  tinygltf::TinyGLTF loader;
  loader.SetImageLoader(&SkipImage, nullptr);
  tinygltf::Model model;
  std::string warning;
  const bool binary = std::filesystem::path(path).extension() == ".glb";
  const bool ok = binary ? loader.LoadBinaryFromFile(&model, &message, &warning, path)
                         : loader.LoadASCIIFromFile(&model, &message, &warning, path);
  if (!ok) {
    error = ClipFileError::NotGltf;
    EngineCore::Log::Write(EngineCore::Log::Error, "%s: %s", path.c_str(), message.c_str());
    return nullptr;
  }

  auto scene = std::make_unique<EngineCore::Scene>();
  std::vector<bool> created(model.nodes.size(), false);
  std::function<void(int, EngineCore::SceneObject*)> add = [&](int index, EngineCore::SceneObject* parent) {
    if (index < 0 || static_cast<std::size_t>(index) >= model.nodes.size() || created[index]) return;
    created[index] = true;
    const tinygltf::Node& node = model.nodes[index];
    std::optional<EngineCore::String> name;
    if (!node.name.empty()) name = EngineCore::String(node.name);
    EngineCore::SceneObject* object = scene->CreateObject(name, parent);
    ApplyTransform(node, *object);
    if (node.extras.IsObject() && node.extras.Has("tag") && node.extras.Get("tag").IsString()) {
      scene->SetTag(object, EngineCore::String(node.extras.Get("tag").Get<std::string>()));
    }
    for (int child : node.children) add(child, object);
  };
  const int sceneIndex = model.defaultScene >= 0 ? model.defaultScene : 0;
  if (static_cast<std::size_t>(sceneIndex) < model.scenes.size()) {
    for (int root : model.scenes[sceneIndex].nodes) add(root, nullptr);
  }
  error = ClipFileError::None;
  return scene;
}

}  // namespace Formats
