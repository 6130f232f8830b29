#include <EditorToolkit/EditorKernel.h>

namespace EditorToolkit {

EditorKernel* EditorKernel::GetInstance() {
  static EditorKernel kernel;
  return &kernel;
}

}  // namespace EditorToolkit
