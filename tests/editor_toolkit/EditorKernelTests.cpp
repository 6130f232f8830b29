#include <EditorToolkit/EditorKernel.h>

#include <gtest/gtest.h>

using EditorToolkit::EditorKernel;
using EditorToolkit::KeyManager;

TEST(EditorKernelInstance, IsOneObjectForTheWholeProcess) {
  EditorKernel* kernel = EditorKernel::GetInstance();
  ASSERT_NE(kernel, nullptr);
  EXPECT_EQ(EditorKernel::GetInstance(), kernel);
  ASSERT_NE(kernel->GetKeyManager(), nullptr);
  EXPECT_EQ(EditorKernel::GetInstance()->GetKeyManager(), kernel->GetKeyManager());
}

TEST(EditorKernelInstance, KeyManagerSeesTheInstalledSource) {
  KeyManager* keys = EditorKernel::GetInstance()->GetKeyManager();
  keys->SetModifierSource([] { return static_cast<unsigned>(KeyManager::Control); });
  EXPECT_TRUE(EditorKernel::GetInstance()->GetKeyManager()->ControlKeyPressed());
  EXPECT_FALSE(EditorKernel::GetInstance()->GetKeyManager()->ShiftKeyPressed());
  keys->SetModifierSource({});
  EXPECT_FALSE(EditorKernel::GetInstance()->GetKeyManager()->ControlKeyPressed());
}
