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
#include "GltfDocumentReader.h"
#include "TextEncoding.h"

namespace Formats {

namespace {

namespace fs = std::filesystem;

enum class Storage { Embedded, BinaryChunk, File, Absent };

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

// Buffers the save added (no URI, no bytes, no views) are left out; every other buffer stays
// at its index, with a few bytes if it has none, since glTF has no empty buffer. Returns the
// buffers given those bytes.
std::vector<bool> KeepBuffersWhole(tinygltf::Model& model) {
  std::vector<bool> viewed(model.buffers.size(), false);
  for (const tinygltf::BufferView& view : model.bufferViews) {
    if (view.buffer >= 0 && static_cast<std::size_t>(view.buffer) < viewed.size()) viewed[view.buffer] = true;
  }
  while (!model.buffers.empty() && model.buffers.back().data.empty() && model.buffers.back().uri.empty() &&
         !viewed[model.buffers.size() - 1]) {
    model.buffers.pop_back();
  }
  std::vector<bool> padded(model.buffers.size(), false);
  for (std::size_t b = 0; b < model.buffers.size(); ++b) {
    tinygltf::Buffer& buffer = model.buffers[b];
    if (!buffer.data.empty() || GltfDocumentReader::IsAbsentBuffer(buffer)) continue;
    buffer.data.assign(4, 0);
    padded[b] = true;
  }
  return padded;
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

// The file's own JSON wherever the save did not write (rule 5).
// `serialized` says, per animation of the model, whether tinygltf wrote it.
nlohmann::json WithOrigin(nlohmann::json fresh, const DocumentOrigin& origin, const std::vector<bool>& serialized) {
  const nlohmann::json& file = origin.document;
  if (!file.is_object()) return fresh;
  nlohmann::json out = file;
  auto fileArray = [&file](const char* key) -> const nlohmann::json* {
    const auto it = file.find(key);
    return it != file.end() && it->is_array() ? &*it : nullptr;
  };
  auto kept = [](const std::vector<bool>& mask, std::size_t i) { return i < mask.size() && mask[i]; };
  for (const auto& [key, mask] : {std::pair<const char*, const std::vector<bool>*>{"accessors", &origin.keptAccessors},
                                  {"bufferViews", &origin.keptViews}}) {
    if (!fresh.contains(key)) {
      out.erase(key);
      continue;
    }
    nlohmann::json slots = std::move(fresh[key]);
    if (const nlohmann::json* old = fileArray(key)) {
      for (std::size_t i = 0; i < slots.size() && i < old->size(); ++i) {
        if (kept(*mask, i)) slots[i] = (*old)[i];
      }
    }
    out[key] = std::move(slots);
  }
  if (fresh.contains("nodes")) {
    nlohmann::json nodes = std::move(fresh["nodes"]);
    if (const nlohmann::json* old = fileArray("nodes")) {
      for (std::size_t i = 0; i < nodes.size() && i < old->size() && i < origin.nodeCount; ++i) {
        // A node without a name takes the one the save gave it; nothing else of it changes.
        const bool named = (*old)[i].is_object() && !(*old)[i].contains("name") && nodes[i].contains("name");
        nlohmann::json name = named ? nodes[i]["name"] : nlohmann::json();
        nodes[i] = (*old)[i];
        if (named) nodes[i]["name"] = std::move(name);
      }
    }
    out["nodes"] = std::move(nodes);
  }
  if (fresh.contains("scenes")) {
    // The file's scenes, with the root lists the save may have grown.
    const nlohmann::json* old = fileArray("scenes");
    nlohmann::json scenes = old ? *old : fresh["scenes"];
    for (std::size_t s = 0; s < scenes.size() && s < fresh["scenes"].size(); ++s) {
      if (fresh["scenes"][s].contains("nodes")) scenes[s]["nodes"] = fresh["scenes"][s]["nodes"];
    }
    out["scenes"] = std::move(scenes);
    if (!out.contains("scene") && fresh.contains("scene")) out["scene"] = fresh["scene"];
  }
  // tinygltf writes no animation without channels, and reads none of the channels whose
  // target is not a node: an animation kept from the file is the file's, whatever tinygltf
  // made of it.
  nlohmann::json animations = nlohmann::json::array();
  const nlohmann::json* fileAnimations = fileArray("animations");
  const nlohmann::json* written = fresh.contains("animations") ? &fresh["animations"] : nullptr;
  std::size_t next = 0;
  for (std::size_t a = 0; a < serialized.size(); ++a) {
    const int from = a < origin.animationOrigin.size() ? origin.animationOrigin[a] : -1;
    if (fileAnimations && from >= 0 && static_cast<std::size_t>(from) < fileAnimations->size()) {
      animations.push_back((*fileAnimations)[from]);
    } else if (serialized[a] && written && next < written->size()) {
      animations.push_back((*written)[next]);
    }
    if (serialized[a]) ++next;
  }
  if (animations.empty()) {
    out.erase("animations");
  } else {
    out["animations"] = std::move(animations);
  }
  if (fresh.contains("buffers")) {
    nlohmann::json buffers = std::move(fresh["buffers"]);
    if (const nlohmann::json* old = fileArray("buffers")) {
      for (std::size_t b = 0; b < buffers.size() && b < old->size(); ++b) {
        nlohmann::json entry = (*old)[b];
        // A data URI is the buffer's bytes: the save's own.
        if (buffers[b].contains("uri")) entry["uri"] = buffers[b]["uri"];
        if (buffers[b].contains("byteLength")) entry["byteLength"] = buffers[b]["byteLength"];
        buffers[b] = std::move(entry);
      }
    }
    out["buffers"] = std::move(buffers);
  }
  nlohmann::json asset = file.contains("asset") && file["asset"].is_object() ? file["asset"] : fresh["asset"];
  if (fresh["asset"].contains("extras")) {
    asset["extras"] = fresh["asset"]["extras"];
  } else {
    asset.erase("extras");
  }
  // The save gives a document without a version the one it writes.
  asset["version"] = fresh["asset"].value("version", "2.0");
  out["asset"] = std::move(asset);
  return out;
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

ClipFileError GltfDocumentWriter::Write(tinygltf::Model& model, const std::string& path, DocumentWrite& write,
                                        std::string& message) {
  ClipFileTransaction transaction(path);
  ClipFileError error = transaction.Begin(message);
  if (error != ClipFileError::None) return error;
  if (write.expected && !write.expected->Matches()) {
    message = "another program changed its files while it was being saved";
    return ClipFileError::ChangedOnDisk;
  }
  const std::vector<bool>& changed = write.changed;

  const std::vector<bool> padded = KeepBuffersWhole(model);
  MakeNamesValidUtf8(model);
  const bool binary = IsBinaryPath(path);
  std::vector<Storage> storage(model.buffers.size(), Storage::File);
  std::vector<std::uint64_t> absentLength(model.buffers.size(), 0);
  std::uint64_t total = 0;
  for (std::size_t b = 0; b < model.buffers.size(); ++b) {
    tinygltf::Buffer& buffer = model.buffers[b];
    if (GltfDocumentReader::IsAbsentBuffer(buffer)) {
      storage[b] = Storage::Absent;
      absentLength[b] = GltfDocumentReader::AbsentBufferLength(buffer);
      continue;
    }
    total += buffer.data.size();
    if (buffer.uri.rfind("data:", 0) == 0) {
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
  if (write.origin) {
    std::vector<bool> serialized;
    for (const tinygltf::Animation& animation : model.animations) serialized.push_back(!animation.channels.empty());
    doc = WithOrigin(std::move(doc), *write.origin, serialized);
  }
  std::vector<std::string> uris(model.buffers.size());
  for (std::size_t b = 0; b < model.buffers.size(); ++b) {
    nlohmann::json& buffer = doc["buffers"][b];
    switch (storage[b]) {
      case Storage::Embedded: continue;
      case Storage::Absent:
        buffer["byteLength"] = absentLength[b];
        buffer.erase("uri");
        continue;
      case Storage::BinaryChunk:
        buffer["byteLength"] = model.buffers[b].data.size();
        buffer.erase("uri");
        continue;
      case Storage::File:
        buffer["byteLength"] = model.buffers[b].data.size();
        uris[b] = ClipFolder::EncodeUri(
            transaction.AddBuffer(b, model.buffers[b].data, b >= changed.size() || changed[b] || padded[b]));
        buffer["uri"] = uris[b];
        continue;
    }
  }
  FixEmptyObjects(doc);

  const auto replace = nlohmann::json::error_handler_t::replace;
  std::string json = doc.dump(binary ? -1 : 2, ' ', false, replace);
  const std::string bytes =
      binary ? BinaryDocument(json,
                              storage.empty() || storage[0] != Storage::BinaryChunk ? nullptr : &model.buffers[0].data)
             : json + "\n";
  error = transaction.Commit(bytes, message);
  if (error != ClipFileError::None) return error;
  for (std::size_t b = 0; b < model.buffers.size(); ++b) {
    if (storage[b] == Storage::File) model.buffers[b].uri = uris[b];
  }
  std::vector<std::string> named;
  for (const tinygltf::Buffer& buffer : model.buffers) named.push_back(buffer.uri);
  // Still under the clip's lock: these are the files as this save left them.
  write.identity = ClipFileIdentity::Capture(path, named);
  write.writtenJson = std::move(json);
  return ClipFileError::None;
}

}  // namespace Formats
