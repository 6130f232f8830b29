#pragma once

#include <EditorToolkit/KeyManager.h>

namespace EditorToolkit {

// The editor's process-wide services. One instance, created on the first GetInstance and
// living until the process ends; it lives in this shared library, so the application and every
// module it loads share it.
class EditorKernel {
 public:
  // Never null.
  static EditorKernel* GetInstance();

  // Never null; owned by the kernel.
  KeyManager* GetKeyManager() { return &keyManager; }

  EditorKernel(const EditorKernel&) = delete;
  EditorKernel& operator=(const EditorKernel&) = delete;

 private:
  EditorKernel() = default;
  ~EditorKernel() = default;

  KeyManager keyManager;
};

}  // namespace EditorToolkit
