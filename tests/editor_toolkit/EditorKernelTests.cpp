#include <EditorToolkit/EditorKernel.h>

#include <gtest/gtest.h>

using EditorToolkit::EditorKernel;
using EditorToolkit::KeyManager;

TEST(EditorKernelInstance, IsOneObjectWhoseKeyManagerSeesTheInstalledSource) {
  EditorKernel* kernel = EditorKernel::GetInstance();
  ASSERT_NE(kernel, nullptr);
  EXPECT_EQ(EditorKernel::GetInstance(), kernel);
  KeyManager* keys = kernel->GetKeyManager();
  ASSERT_NE(keys, nullptr);
  keys->SetModifierSource([] { return static_cast<unsigned>(KeyManager::Control); });
  EXPECT_TRUE(EditorKernel::GetInstance()->GetKeyManager()->ControlKeyPressed());
  keys->SetModifierSource({});
  EXPECT_FALSE(EditorKernel::GetInstance()->GetKeyManager()->ControlKeyPressed());
}
