// tinygltf's implementation, compiled into this library with hidden symbols rather than
// linked from Debian's libtinygltf: assimp's dependency libdraco carries a tinygltf of its
// own under the same names, and which one a call reached depended on the order the loader
// found the libraries in. Compiled with the project's flags, it is also instrumented with
// our code in the sanitizer and fuzz builds. Image codecs are left out: clips never decode
// an image.
#define TINYGLTF_IMPLEMENTATION
#include <tiny_gltf.h>
