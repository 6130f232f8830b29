#include "GltfDocumentWriter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <limits>
#include <sstream>
#include <vector>

#include <nlohmann/json.hpp>

#include "ClipFileTransaction.h"
#include "ClipFolder.h"
#include "TextEncoding.h"

namespace Formats {

namespace {

namespace fs = std::filesystem;

enum class Storage { Embedded, BinaryChunk, File };

bool KeepImageAsIs(const std::string*, const std::string*, const tinygltf::Image*, bool, std::string*, void*) {
  return false;
}

bool IsBinaryPath(const std::string& path) {
  std::string extension = fs::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".glb";
}

// Names come from the document, which the parser has checked, or from the editor: channel
// names for new nodes and clip names taken from file names.
void MakeNamesValidUtf8(tinygltf::Model& model) {
  auto fix = [](std::string& name) {
    if (!TextEncoding::IsValidUtf8(name)) name = TextEncoding::ReplaceInvalidUtf8(name);
  };
  for (tinygltf::Node& node : model.nodes) fix(node.name);
  for (tinygltf::Animation& animation : model.animations) fix(animation.name);
  for (tinygltf::Scene& scene : model.scenes) fix(scene.name);
  for (tinygltf::Buffer& buffer : model.buffers) fix(buffer.name);
}

void DropEmptyBuffers(tinygltf::Model& model) {
  std::vector<bool> viewed(model.buffers.size(), false);
  for (const tinygltf::BufferView& view : model.bufferViews) {
    if (view.buffer >= 0 && static_cast<std::size_t>(view.buffer) < viewed.size()) viewed[view.buffer] = true;
  }
  std::vector<int> remap(model.buffers.size(), -1);
  std::vector<tinygltf::Buffer> kept;
  for (std::size_t b = 0; b < model.buffers.size(); ++b) {
    if (model.buffers[b].data.empty() && !viewed[b]) continue;
    // Views of no bytes keep an emptied buffer alive: it needs a byte to be a buffer at all.
    if (model.buffers[b].data.empty()) model.buffers[b].data.assign(4, 0);
    remap[b] = static_cast<int>(kept.size());
    kept.push_back(std::move(model.buffers[b]));
  }
  model.buffers = std::move(kept);
  for (tinygltf::BufferView& view : model.bufferViews) {
    if (view.buffer >= 0 && static_cast<std::size_t>(view.buffer) < remap.size()) view.buffer = remap[view.buffer];
  }
}

// glTF has no property whose value is null: an object that serialised without members is an
// empty object. Extras are the application's own JSON and are left alone below the top.
void FixEmptyObjects(nlohmann::json& value) {
  if (value.is_object()) {
    for (auto& [key, member] : value.items()) {
      if (member.is_null()) {
        member = nlohmann::json::object();
      } else if (key != "extras") {
        FixEmptyObjects(member);
      }
    }
  } else if (value.is_array()) {
    for (nlohmann::json& element : value) {
      if (element.is_null()) {
        element = nlohmann::json::object();
      } else {
        FixEmptyObjects(element);
      }
    }
  }
}

// The document's JSON as tinygltf writes it, without the bytes of the buffers stored apart
// (encoding megabytes as base64 only to drop them again would double the save's cost).
nlohmann::json SerializeWithoutBufferBytes(tinygltf::Model& model, const std::vector<Storage>& storage) {
  std::vector<std::vector<unsigned char>> held(model.buffers.size());
  for (std::size_t b = 0; b < model.buffers.size(); ++b) {
    if (storage[b] != Storage::Embedded) held[b].swap(model.buffers[b].data);
  }
  struct PutBack {
    tinygltf::Model& model;
    std::vector<std::vector<unsigned char>>& held;
    ~PutBack() {
      for (std::size_t b = 0; b < held.size(); ++b) {
        if (!held[b].empty()) model.buffers[b].data.swap(held[b]);
      }
    }
  } putBack{model, held};
  tinygltf::TinyGLTF writer;
  writer.SetImageWriter(&KeepImageAsIs, nullptr);
  std::ostringstream text;
  writer.WriteGltfSceneToStream(&model, text, false, false);
  return nlohmann::json::parse(text.str());
}

void AppendLittleEndian(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

std::string BinaryDocument(std::string json, const std::vector<unsigned char>* chunk) {
  while (json.size() % 4) json += ' ';
  const std::size_t chunkSize = chunk && !chunk->empty() ? (chunk->size() + 3) & ~std::size_t{3} : 0;
  const std::size_t total = 12 + 8 + json.size() + (chunkSize ? 8 + chunkSize : 0);
  std::string out;
  out.reserve(total);
  out += "glTF";
  AppendLittleEndian(out, 2);
  AppendLittleEndian(out, static_cast<std::uint32_t>(total));
  AppendLittleEndian(out, static_cast<std::uint32_t>(json.size()));
  AppendLittleEndian(out, 0x4E4F534A);
  out += json;
  if (chunkSize) {
    AppendLittleEndian(out, static_cast<std::uint32_t>(chunkSize));
    AppendLittleEndian(out, 0x004E4942);
    out.append(reinterpret_cast<const char*>(chunk->data()), chunk->size());
    out.append(chunkSize - chunk->size(), '\0');
  }
  return out;
}

}  // namespace

ClipFileError GltfDocumentWriter::Write(tinygltf::Model& model, const std::string& path, std::string& message) {
  ClipFileTransaction transaction(path);
  ClipFileError error = transaction.Begin(message);
  if (error != ClipFileError::None) return error;

  DropEmptyBuffers(model);
  MakeNamesValidUtf8(model);
  const bool binary = IsBinaryPath(path);
  std::vector<Storage> storage(model.buffers.size(), Storage::File);
  std::uint64_t total = 0;
  for (std::size_t b = 0; b < model.buffers.size(); ++b) {
    total += model.buffers[b].data.size();
    if (model.buffers[b].uri.rfind("data:", 0) == 0) {
      storage[b] = Storage::Embedded;
    } else if (binary && b == 0) {
      storage[b] = Storage::BinaryChunk;
    }
  }
  if (binary && total > std::numeric_limits<std::uint32_t>::max() / 2) {
    message = "a binary glTF document holds at most 2 GB";
    return ClipFileError::TooLarge;
  }

  nlohmann::json doc = SerializeWithoutBufferBytes(model, storage);
  std::vector<std::string> uris(model.buffers.size());
  for (std::size_t b = 0; b < model.buffers.size(); ++b) {
    nlohmann::json& buffer = doc["buffers"][b];
    if (storage[b] == Storage::Embedded) continue;
    buffer["byteLength"] = model.buffers[b].data.size();
    if (storage[b] == Storage::BinaryChunk) {
      buffer.erase("uri");
    } else {
      uris[b] = ClipFolder::EncodeUri(transaction.AddBuffer(b, model.buffers[b].data));
      buffer["uri"] = uris[b];
    }
  }
  FixEmptyObjects(doc);

  const auto replace = nlohmann::json::error_handler_t::replace;
  const std::string bytes =
      binary ? BinaryDocument(doc.dump(-1, ' ', false, replace),
                              storage.empty() || storage[0] != Storage::BinaryChunk ? nullptr : &model.buffers[0].data)
             : doc.dump(2, ' ', false, replace) + "\n";
  error = transaction.Commit(bytes, message);
  if (error != ClipFileError::None) return error;
  for (std::size_t b = 0; b < model.buffers.size(); ++b) {
    if (storage[b] != Storage::Embedded) model.buffers[b].uri = uris[b];
  }
  return ClipFileError::None;
}

}  // namespace Formats
