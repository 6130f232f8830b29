#pragma once

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace TestSupport {

// Writes NAME.gltf and its buffer NAME.bin into a folder: `count` nodes named n0, n1, ...,
// each node the only child of the one before it, each but the first translated by (1, 0, 0),
// so that node i stands at x = i. Every node's translation is animated with a sampler of its
// own over frames 0 and 1 at 60 frames per second, from (1, 0, 0) to (2, 0, 0). Unchained,
// the same nodes are all roots of the scene, for comparison.
inline void WriteChainClip(const std::filesystem::path& folder, const std::string& name, int count,
                           bool chained = true) {
  const float keys[8] = {0.0f, 1.0f / 60.0f, 1.0f, 0.0f, 0.0f, 2.0f, 0.0f, 0.0f};
  char bytes[sizeof keys];
  std::memcpy(bytes, keys, sizeof keys);
  std::ofstream(folder / (name + ".bin"), std::ios::binary).write(bytes, sizeof bytes);
  std::ofstream out(folder / (name + ".gltf"));
  out << R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[)";
  for (int n = 0; n < (chained ? 1 : count); ++n) out << (n ? "," : "") << n;
  out << R"(]}],"buffers":[{"uri":")" << name
      << R"(.bin","byteLength":32}],"bufferViews":[{"buffer":0,"byteLength":8},)"
      << R"({"buffer":0,"byteOffset":8,"byteLength":24}],"accessors":[)"
      << R"({"bufferView":0,"componentType":5126,"count":2,"type":"SCALAR","min":[0],"max":[0.016666668]},)"
      << R"({"bufferView":1,"componentType":5126,"count":2,"type":"VEC3"}],"nodes":[)";
  for (int n = 0; n < count; ++n) {
    out << (n ? "," : "") << R"({"name":"n)" << n << '"' << (n ? R"(,"translation":[1,0,0])" : "");
    if (chained && n + 1 < count) out << R"(,"children":[)" << n + 1 << "]";
    out << "}";
  }
  out << R"(],"animations":[{"samplers":[)";
  for (int n = 0; n < count; ++n) out << (n ? "," : "") << R"({"input":0,"output":1})";
  out << R"(],"channels":[)";
  for (int n = 0; n < count; ++n) {
    out << (n ? "," : "") << R"({"sampler":)" << n << R"(,"target":{"node":)" << n << R"(,"path":"translation"}})";
  }
  out << "]}]}";
}

}  // namespace TestSupport
