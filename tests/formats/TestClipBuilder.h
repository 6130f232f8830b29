#pragma once

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// Builds small glTF clips for tests that need a file shaped in one particular way: one node
// per name, one sampler per track, all float data in buffer 0, which is embedded as a data
// URI or written to a file under a URI of the test's choosing.
class TestClipBuilder {
 public:
  TestClipBuilder() {
    doc = {{"asset", {{"version", "2.0"}}},
           {"scene", 0},
           {"scenes", nlohmann::json::array({nlohmann::json::object({{"nodes", nlohmann::json::array()}})})},
           {"nodes", nlohmann::json::array()},
           {"accessors", nlohmann::json::array()},
           {"bufferViews", nlohmann::json::array()},
           {"animations",
            nlohmann::json::array({{{"channels", nlohmann::json::array()}, {"samplers", nlohmann::json::array()}}})}};
  }

  // A track on the node of that name (made on first use): key times in seconds, and
  // values, 3 per key (4 for rotations; three times as many for CUBICSPLINE).
  TestClipBuilder& Track(const std::string& node, const std::string& path, const std::vector<float>& times,
                         const std::vector<float>& values, const std::string& interpolation = "LINEAR") {
    const int input = Accessor(times, "SCALAR", true);
    const int output = Accessor(values, path == "rotation" ? "VEC4" : "VEC3", false);
    nlohmann::json& animation = doc["animations"][0];
    animation["samplers"].push_back({{"input", input}, {"output", output}, {"interpolation", interpolation}});
    animation["channels"].push_back(
        {{"sampler", animation["samplers"].size() - 1}, {"target", {{"node", Node(node)}, {"path", path}}}});
    return *this;
  }

  // The document, for tests that bend it further before writing.
  nlohmann::json& Json() { return doc; }

  // Float data in buffer 0 under an accessor of its own view, used by nothing yet: its index.
  int Accessor(const std::vector<float>& values, const std::string& type, bool bounds) {
    while (blob.size() % 4) blob.push_back(0);
    const std::size_t offset = blob.size();
    blob.resize(offset + values.size() * sizeof(float));
    std::memcpy(blob.data() + offset, values.data(), values.size() * sizeof(float));
    doc["bufferViews"].push_back({{"buffer", 0}, {"byteOffset", offset}, {"byteLength", values.size() * 4}});
    const std::size_t components = type == "SCALAR" ? 1 : type == "VEC3" ? 3 : 4;
    nlohmann::json accessor = {{"bufferView", doc["bufferViews"].size() - 1},
                               {"componentType", 5126},
                               {"count", values.size() / components},
                               {"type", type}};
    if (bounds) {
      accessor["min"] = nlohmann::json::array();
      accessor["max"] = nlohmann::json::array();
      for (std::size_t c = 0; c < components; ++c) {
        float low = values[c], high = values[c];
        for (std::size_t i = c; i < values.size(); i += components) {
          low = std::min(low, values[i]);
          high = std::max(high, values[i]);
        }
        accessor["min"].push_back(low);
        accessor["max"].push_back(high);
      }
    }
    doc["accessors"].push_back(accessor);
    return static_cast<int>(doc["accessors"].size()) - 1;
  }

  // Writes the document; its buffer goes to `bufferFile` under `bufferUri`, or is embedded
  // when `bufferUri` is empty.
  void Write(const std::filesystem::path& document, const std::string& bufferUri = {},
             const std::filesystem::path& bufferFile = {}) const {
    nlohmann::json out = doc;
    nlohmann::json buffer = {{"byteLength", blob.size()}};
    if (bufferUri.empty()) {
      buffer["uri"] = "data:application/octet-stream;base64," + Base64(blob);
    } else {
      buffer["uri"] = bufferUri;
      if (!bufferFile.empty()) {
        std::ofstream(bufferFile, std::ios::binary)
            .write(reinterpret_cast<const char*>(blob.data()), static_cast<std::streamsize>(blob.size()));
      }
    }
    out["buffers"] = nlohmann::json::array({buffer});
    std::ofstream(document) << out.dump();
  }

 private:
  int Node(const std::string& name) {
    nlohmann::json& nodes = doc["nodes"];
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      if (nodes[i]["name"] == name) return static_cast<int>(i);
    }
    nodes.push_back({{"name", name}});
    doc["scenes"][0]["nodes"].push_back(nodes.size() - 1);
    return static_cast<int>(nodes.size()) - 1;
  }

  static std::string Base64(const std::vector<unsigned char>& bytes) {
    static const char* kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
      const unsigned value =
          bytes[i] << 16 | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) | (i + 2 < bytes.size() ? bytes[i + 2] : 0);
      out += kDigits[value >> 18 & 63];
      out += kDigits[value >> 12 & 63];
      out += i + 1 < bytes.size() ? kDigits[value >> 6 & 63] : '=';
      out += i + 2 < bytes.size() ? kDigits[value & 63] : '=';
    }
    return out;
  }

  nlohmann::json doc;
  std::vector<unsigned char> blob;
};
