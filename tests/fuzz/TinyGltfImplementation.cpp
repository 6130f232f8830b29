// tinygltf compiled with the fuzz build's instrumentation, so that the fuzzer sees (and the
// sanitizers check) the parser's own code too. The build leaves image codecs out: the clip
// reader never decodes an image.
#define TINYGLTF_IMPLEMENTATION
#include <tiny_gltf.h>
