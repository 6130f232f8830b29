#include "GltfDocumentReader.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string_view>

#include <nlohmann/json.hpp>

#include "ClipFolder.h"
#include "Formats/ClipFileLimits.h"
#include "NodeHierarchy.h"
#include "TextEncoding.h"

namespace Formats {

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kJsonChunk = 0x4E4F534A;
// The URI an absent buffer carries in a model: a scheme no file URI may have.
constexpr const char* kAbsentMark = "tarvel-absent:";

// External buffers read ahead of tinygltf, under the name it will ask for.
using BufferFiles = std::map<std::string, std::vector<unsigned char>>;

bool BufferExists(const std::string& name, void* files) { return static_cast<BufferFiles*>(files)->contains(name); }

std::string SameName(const std::string& name, void*) { return name; }

bool ReadBuffer(std::vector<unsigned char>* out, std::string* error, const std::string& name, void* files) {
  auto& known = *static_cast<BufferFiles*>(files);
  const auto it = known.find(name);
  if (it == known.end()) {
    if (error) *error = "not a buffer of this document";
    return false;
  }
  out->swap(it->second);
  return true;
}

bool RefuseWrite(std::string* error, const std::string&, const std::vector<unsigned char>&, void*) {
  if (error) *error = "the reader writes no file";
  return false;
}

// Images are carried through untouched: they are neither decoded on opening nor rewritten
// on saving.
bool SkipImage(tinygltf::Image*, const int, std::string*, std::string*, int, int, const unsigned char*, int, void*) {
  return true;
}

std::uint32_t ReadLittleEndian(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The JSON text of a document: the whole file, or the first chunk of a binary one.
bool JsonTextOf(const std::vector<unsigned char>& bytes, bool& binary, std::string_view& json, std::string& message) {
  binary = bytes.size() >= 4 && std::memcmp(bytes.data(), "glTF", 4) == 0;
  if (!binary) {
    json = std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return true;
  }
  if (bytes.size() < 20 || ReadLittleEndian(bytes.data() + 16) != kJsonChunk ||
      ReadLittleEndian(bytes.data() + 12) > bytes.size() - 20) {
    message = "the binary document has no complete JSON chunk";
    return false;
  }
  json = std::string_view(reinterpret_cast<const char*>(bytes.data()) + 20, ReadLittleEndian(bytes.data() + 12));
  return true;
}

// Parsers of JSON values call themselves for nested values: a shallow document keeps them
// off the end of the stack.
bool NestsWithin(std::string_view json, int maxDepth) {
  int depth = 0;
  bool inString = false;
  bool escaped = false;
  for (const char c : json) {
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > maxDepth) return false;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return true;
}

// Names the node whose name holds the first byte that is not UTF-8, or else the byte.
std::string WhereTextIsNotUtf8(std::string_view json, std::size_t bad) {
  const std::string replaced = TextEncoding::ReplaceInvalidUtf8(std::string(json));
  const nlohmann::json doc = nlohmann::json::parse(replaced, nullptr, false);
  const auto nodes = doc.is_object() ? doc.find("nodes") : doc.end();
  for (std::size_t n = 0; nodes != doc.end() && nodes->is_array() && n < nodes->size(); ++n) {
    const nlohmann::json& node = (*nodes)[n];
    if (!node.is_object() || !node.contains("name") || !node["name"].is_string()) continue;
    const std::string& name = node["name"].get_ref<const std::string&>();
    if (name.find("\xEF\xBF\xBD") != std::string::npos && json.find(name) == std::string_view::npos) {
      return "node " + std::to_string(n) + " has a name that is not valid UTF-8";
    }
  }
  return "its text is not valid UTF-8 (at byte " + std::to_string(bad) + ")";
}

// Reads a document's JSON text, within the bounds on size and nesting.
ClipFileError ReadJsonText(const std::string& path, std::vector<unsigned char>& bytes, bool& binary,
                           std::string_view& json, std::string& message) {
  ClipFileError error = ClipFolder::ReadRegularFile(path, ClipFileLimits::kMaxDocumentBytes, bytes, message);
  if (error == ClipFileError::UnsafeUri) error = ClipFileError::FileNotFound;
  if (error != ClipFileError::None) return error;
  if (!JsonTextOf(bytes, binary, json, message)) return ClipFileError::NotGltf;
  if (!NestsWithin(json, ClipFileLimits::kMaxJsonDepth)) {
    message = "its JSON nests deeper than " + std::to_string(ClipFileLimits::kMaxJsonDepth) + " levels";
    return ClipFileError::TooLarge;
  }
  return ClipFileError::None;
}

// Reads and parses the JSON of a document. Only the buffers and images are kept: the reader
// needs no more of the text, which tinygltf parses again, and a document of many nodes costs
// far less so.
ClipFileError ParseDocument(const std::string& path, std::vector<unsigned char>& bytes, bool& binary,
                            std::string_view& json, nlohmann::json& doc, std::string& message) {
  const ClipFileError error = ReadJsonText(path, bytes, binary, json, message);
  if (error != ClipFileError::None) return error;
  const nlohmann::json::parser_callback_t buffersAndImages = [](int depth, nlohmann::json::parse_event_t event,
                                                                nlohmann::json& parsed) {
    return depth != 1 || event != nlohmann::json::parse_event_t::key || parsed == "buffers" || parsed == "images";
  };
  doc = nlohmann::json::parse(json.begin(), json.end(), buffersAndImages, false);
  if (doc.is_discarded() || !doc.is_object()) {
    const std::size_t bad = TextEncoding::FirstInvalidUtf8(json);
    message = bad < json.size() ? WhereTextIsNotUtf8(json, bad) : "its JSON text does not parse as an object";
    return ClipFileError::NotGltf;
  }
  return ClipFileError::None;
}

// Collects the names of a document's animations as the JSON goes by, building nothing else:
// a listing of a project's clips reads every document, some of them of many nodes.
class AnimationNamesSax : public nlohmann::json_sax<nlohmann::json> {
 public:
  explicit AnimationNamesSax(std::vector<std::optional<std::string>>& names) : names_(names) {}

  bool null() override { return Value(); }
  bool boolean(bool) override { return Value(); }
  bool number_integer(number_integer_t) override { return Value(); }
  bool number_unsigned(number_unsigned_t) override { return Value(); }
  bool number_float(number_float_t, const string_t&) override { return Value(); }
  bool binary(binary_t&) override { return Value(); }
  bool string(string_t& text) override {
    // An animation's own "name" (depth 3: document, array, animation).
    if (depth_ == 3 && inAnimations_ && key_ == "name" && !text.empty() && !names_.empty()) names_.back() = text;
    return Value();
  }
  bool start_object(std::size_t) override {
    if (depth_ == 2 && inAnimations_) names_.emplace_back();
    ++depth_;
    key_.clear();
    return true;
  }
  bool end_object() override { return End(); }
  bool start_array(std::size_t) override {
    if (depth_ == 1) inAnimations_ = key_ == "animations";
    // A key given twice holds its last value, as a parsed document has it.
    if (depth_ == 1 && inAnimations_) names_.clear();
    ++depth_;
    key_.clear();
    return true;
  }
  bool end_array() override { return End(); }
  bool key(string_t& text) override {
    if (depth_ == 1 || depth_ == 3) key_ = text;
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

 private:
  bool Value() {
    if (depth_ == 1) key_.clear();
    return true;
  }
  bool End() {
    --depth_;
    if (depth_ == 1) {
      inAnimations_ = false;
      key_.clear();
    }
    return true;
  }

  std::vector<std::optional<std::string>>& names_;
  int depth_ = 0;
  bool inAnimations_ = false;
  std::string key_;
};

// Each external buffer's URI with its index, as the document's JSON gives them.
std::vector<std::pair<std::size_t, std::string>> ExternalBufferUris(const nlohmann::json& doc) {
  std::vector<std::pair<std::size_t, std::string>> uris;
  const auto buffers = doc.find("buffers");
  if (buffers == doc.end() || !buffers->is_array()) return uris;
  for (std::size_t i = 0; i < buffers->size(); ++i) {
    const nlohmann::json& buffer = (*buffers)[i];
    if (!buffer.is_object()) continue;
    const auto uri = buffer.find("uri");
    if (uri == buffer.end() || !uri->is_string()) continue;
    const std::string& text = uri->get_ref<const std::string&>();
    if (text.rfind("data:", 0) != 0) uris.emplace_back(i, text);
  }
  return uris;
}

ClipFileError ReadExternalBuffers(const nlohmann::json& doc, const fs::path& folder, BufferFiles& files,
                                  std::string& message) {
  std::map<std::string, fs::path> sources;
  std::uint64_t total = 0;
  for (const auto& [index, uri] : ExternalBufferUris(doc)) {
    const std::string which = "buffer " + std::to_string(index) + ": ";
    fs::path relative;
    std::string reason;
    if (!ClipFolder::ResolveUri(uri, relative, reason)) {
      message = which + reason;
      return ClipFileError::UnsafeUri;
    }
    std::vector<unsigned char> bytes;
    const ClipFileError error =
        ClipFolder::ReadRegularFile(folder / relative, ClipFileLimits::kMaxBufferBytes - total, bytes, reason);
    if (error == ClipFileError::FileNotFound) {
      message = which + "URI '" + uri + "' names no file beside the clip";
      return ClipFileError::MissingBuffer;
    }
    if (error != ClipFileError::None) {
      message = which + "URI '" + uri + "': " + reason;
      return error;
    }
    total += bytes.size();
    const std::string name = ClipFolder::TinygltfLookupName(uri);
    const auto known = sources.find(name);
    if (known != sources.end() && known->second != relative) {
      message = which + "URI '" + uri + "' cannot be told apart from another buffer's";
      return ClipFileError::NotGltf;
    }
    sources[name] = relative;
    files[name] = std::move(bytes);
  }
  return ClipFileError::None;
}

void AppendLittleEndian(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// Whether a binary document has a binary chunk after its JSON, which buffer 0 stands for.
bool HasBinaryChunk(const std::vector<unsigned char>& bytes) {
  const std::size_t json = 20 + ReadLittleEndian(bytes.data() + 12);
  return json + 8 <= bytes.size() && ReadLittleEndian(bytes.data() + json + 4) == 0x004E4942;
}

// Gives each buffer without bytes in any file a one-byte stand-in that tinygltf can load, and
// returns their byteLengths, by index. `chunk`: buffer 0 without a URI is a binary chunk's.
std::map<std::size_t, std::uint64_t> StandInForAbsentBuffers(nlohmann::json& doc, bool chunk, BufferFiles& files) {
  std::map<std::size_t, std::uint64_t> absent;
  const auto buffers = doc.find("buffers");
  if (buffers == doc.end() || !buffers->is_array()) return absent;
  for (std::size_t i = chunk ? 1 : 0; i < buffers->size(); ++i) {
    nlohmann::json& buffer = (*buffers)[i];
    if (!buffer.is_object() || buffer.contains("uri")) continue;
    const nlohmann::json& length = buffer["byteLength"];
    absent[i] = length.is_number_unsigned() ? length.get<std::uint64_t>() : 0;
    const std::string name = kAbsentMark + std::to_string(i);
    buffer["uri"] = name;
    buffer["byteLength"] = 1;
    files[name] = {0};
  }
  return absent;
}

// A binary document with another JSON chunk and the same binary chunks.
std::string WithJsonChunk(const std::vector<unsigned char>& bytes, std::string json) {
  while (json.size() % 4) json += ' ';
  const std::size_t rest = 20 + ReadLittleEndian(bytes.data() + 12);
  std::string out;
  out += "glTF";
  AppendLittleEndian(out, 2);
  AppendLittleEndian(out, static_cast<std::uint32_t>(20 + json.size() + (bytes.size() - rest)));
  AppendLittleEndian(out, static_cast<std::uint32_t>(json.size()));
  AppendLittleEndian(out, kJsonChunk);
  out += json;
  out.append(reinterpret_cast<const char*>(bytes.data()) + rest, bytes.size() - rest);
  return out;
}

}  // namespace

bool GltfDocumentReader::IsAbsentBuffer(const tinygltf::Buffer& buffer) {
  return buffer.uri.rfind(kAbsentMark, 0) == 0;
}

std::uint64_t GltfDocumentReader::AbsentBufferLength(const tinygltf::Buffer& buffer) {
  return IsAbsentBuffer(buffer) ? std::strtoull(buffer.uri.c_str() + std::strlen(kAbsentMark), nullptr, 10) : 0;
}

ClipFileError GltfDocumentReader::Read(const std::string& path, tinygltf::Model& model, std::string& message,
                                       std::string* documentText) {
  std::vector<unsigned char> bytes;
  bool binary = false;
  std::string_view json;
  nlohmann::json doc;
  ClipFileError error = ParseDocument(path, bytes, binary, json, doc, message);
  if (error != ClipFileError::None) return error;
  BufferFiles files;
  error = ReadExternalBuffers(doc, fs::path(path).parent_path(), files, message);
  if (error != ClipFileError::None) return error;

  if (documentText) documentText->assign(json);
  std::map<std::size_t, std::uint64_t> absent = StandInForAbsentBuffers(doc, binary && HasBinaryChunk(bytes), files);
  std::string changed;
  if (!absent.empty()) {
    // The stand-ins go into the whole text that tinygltf reads.
    nlohmann::json whole = nlohmann::json::parse(json.begin(), json.end(), nullptr, false);
    absent = StandInForAbsentBuffers(whole, binary && HasBinaryChunk(bytes), files);
    changed = binary ? WithJsonChunk(bytes, whole.dump()) : whole.dump();
    if (!binary) json = changed;
  }

  tinygltf::TinyGLTF loader;
  loader.SetImageLoader(&SkipImage, nullptr);
  loader.SetFsCallbacks(tinygltf::FsCallbacks{&BufferExists, &SameName, &ReadBuffer, &RefuseWrite, &files});
  std::string problem;
  std::string warning;
  const auto* data = changed.empty() ? bytes.data() : reinterpret_cast<const unsigned char*>(changed.data());
  const auto size = static_cast<unsigned int>(changed.empty() ? bytes.size() : changed.size());
  const bool ok = binary ? loader.LoadBinaryFromMemory(&model, &problem, &warning, data, size, "")
                         : loader.LoadASCIIFromString(&model, &problem, &warning, json.data(),
                                                      static_cast<unsigned int>(json.size()), "");
  if (!ok) {
    message = problem.empty() ? "the file could not be parsed" : problem;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    // tinygltf words a short or missing buffer in several ways.
    const bool buffer = message.find("uffer") != std::string::npos || message.find("File") != std::string::npos;
    return buffer ? ClipFileError::MissingBuffer : ClipFileError::NotGltf;
  }

  // Whatever walks the nodes later meets strict trees.
  if (!NodeHierarchy::Check(model, message)) return ClipFileError::NotGltf;

  for (const auto& [index, length] : absent) {
    if (index >= model.buffers.size()) continue;
    model.buffers[index].data.clear();
    model.buffers[index].uri = kAbsentMark + std::to_string(length);
  }

  // tinygltf decodes an embedded image without keeping its URI; the save needs it back.
  const auto images = doc.find("images");
  if (images != doc.end() && images->is_array()) {
    for (std::size_t i = 0; i < model.images.size() && i < images->size(); ++i) {
      tinygltf::Image& image = model.images[i];
      const nlohmann::json& source = (*images)[i];
      if (image.uri.empty() && image.bufferView < 0 && source.is_object() && source.contains("uri") &&
          source["uri"].is_string()) {
        image.uri = source["uri"].get<std::string>();
      }
    }
  }
  return ClipFileError::None;
}

bool GltfDocumentReader::ListBufferUris(const std::string& path,
                                        std::vector<std::pair<std::size_t, std::string>>& uris) {
  uris.clear();
  std::vector<unsigned char> bytes;
  bool binary = false;
  std::string_view json;
  nlohmann::json doc;
  std::string message;
  if (ParseDocument(path, bytes, binary, json, doc, message) != ClipFileError::None) return false;
  uris = ExternalBufferUris(doc);
  return true;
}

bool GltfDocumentReader::ListAnimationNames(const std::string& path, std::vector<std::optional<std::string>>& names) {
  names.clear();
  std::vector<unsigned char> bytes;
  bool binary = false;
  std::string_view json;
  std::string message;
  if (ReadJsonText(path, bytes, binary, json, message) != ClipFileError::None) return false;
  AnimationNamesSax sax(names);
  if (nlohmann::json::sax_parse(json.begin(), json.end(), &sax)) return true;
  names.clear();
  return false;
}

}  // namespace Formats
