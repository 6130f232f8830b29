#include <EditorToolkit/KeyManager.h>

#include <gtest/gtest.h>

using EditorToolkit::KeyManager;

TEST(KeyManagerModifiers, NoSourceMeansNoModifierHeld) {
  KeyManager keys;
  EXPECT_FALSE(keys.HasModifierSource());
  EXPECT_EQ(keys.GetModifiers(), 0u);
  EXPECT_FALSE(keys.ControlKeyPressed() || keys.ShiftKeyPressed() || keys.AltKeyPressed());
}

TEST(KeyManagerModifiers, EachKeyReadsItsOwnBitFromTheSourceAtEveryCall) {
  KeyManager keys;
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
}
