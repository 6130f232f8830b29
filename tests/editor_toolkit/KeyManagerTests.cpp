#include <EditorToolkit/KeyManager.h>

#include <EditorToolkit/EditorKernel.h>

#include <gtest/gtest.h>

using EditorToolkit::EditorKernel;
using EditorToolkit::KeyManager;

TEST(KeyManagerModifiers, EachKeyReadsItsOwnBitFromTheSourceAtEveryCallAndTheKernelsOneManagerSeesTheInstalledSource) {
  KeyManager keys;
  EXPECT_FALSE(keys.HasModifierSource());
  EXPECT_EQ(keys.GetModifiers(), 0u);
  EXPECT_FALSE(keys.ControlKeyPressed() || keys.ShiftKeyPressed() || keys.AltKeyPressed());
  unsigned held = 0;
  int calls = 0;
  keys.SetModifierSource([&] {
    ++calls;
    return held;
  });
  const unsigned cases[] = {KeyManager::Control, KeyManager::Shift, KeyManager::Alt,
                            KeyManager::Control | KeyManager::Shift, 0u};
  for (unsigned state : cases) {
    held = state;
    EXPECT_EQ(keys.ControlKeyPressed(), (state & KeyManager::Control) != 0) << state;
    EXPECT_EQ(keys.ShiftKeyPressed(), (state & KeyManager::Shift) != 0) << state;
    EXPECT_EQ(keys.AltKeyPressed(), (state & KeyManager::Alt) != 0) << state;
  }
  EXPECT_EQ(calls, 15);
  keys.SetModifierSource({});
  held = KeyManager::Control;
  EXPECT_FALSE(keys.HasModifierSource());
  EXPECT_FALSE(keys.ControlKeyPressed());
  EditorKernel* kernel = EditorKernel::GetInstance();
  ASSERT_NE(kernel, nullptr);
  EXPECT_EQ(EditorKernel::GetInstance(), kernel);
  ASSERT_NE(kernel->GetKeyManager(), nullptr);
  kernel->GetKeyManager()->SetModifierSource([] { return static_cast<unsigned>(KeyManager::Control); });
  EXPECT_TRUE(EditorKernel::GetInstance()->GetKeyManager()->ControlKeyPressed());
  kernel->GetKeyManager()->SetModifierSource({});
  EXPECT_FALSE(EditorKernel::GetInstance()->GetKeyManager()->ControlKeyPressed());
}
