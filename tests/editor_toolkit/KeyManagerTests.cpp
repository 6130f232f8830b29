#include <EditorToolkit/KeyManager.h>

#include <gtest/gtest.h>

using EditorToolkit::KeyManager;

TEST(KeyManagerModifiers, NoSourceMeansNoModifierHeld) {
  KeyManager keys;
  EXPECT_FALSE(keys.HasModifierSource());
  EXPECT_EQ(keys.GetModifiers(), 0u);
  EXPECT_FALSE(keys.ControlKeyPressed());
  EXPECT_FALSE(keys.ShiftKeyPressed());
  EXPECT_FALSE(keys.AltKeyPressed());
}

TEST(KeyManagerModifiers, EachKeyReadsItsOwnBit) {
  KeyManager keys;
  unsigned held = KeyManager::Control;
  keys.SetModifierSource([&held] { return held; });
  EXPECT_TRUE(keys.ControlKeyPressed());
  EXPECT_FALSE(keys.ShiftKeyPressed());
  EXPECT_FALSE(keys.AltKeyPressed());
  held = KeyManager::Shift;
  EXPECT_FALSE(keys.ControlKeyPressed());
  EXPECT_TRUE(keys.ShiftKeyPressed());
  held = KeyManager::Alt;
  EXPECT_TRUE(keys.AltKeyPressed());
  EXPECT_FALSE(keys.ShiftKeyPressed());
  held = KeyManager::Control | KeyManager::Shift;
  EXPECT_TRUE(keys.ControlKeyPressed());
  EXPECT_TRUE(keys.ShiftKeyPressed());
  EXPECT_FALSE(keys.AltKeyPressed());
}

TEST(KeyManagerModifiers, AsksTheSourceAtEveryCall) {
  KeyManager keys;
  int calls = 0;
  keys.SetModifierSource([&calls] {
    ++calls;
    return (calls % 2 == 1) ? static_cast<unsigned>(KeyManager::Shift) : 0u;
  });
  EXPECT_TRUE(keys.ShiftKeyPressed());
  EXPECT_FALSE(keys.ShiftKeyPressed());
  EXPECT_TRUE(keys.ShiftKeyPressed());
  EXPECT_EQ(calls, 3);
}

TEST(KeyManagerModifiers, AnEmptySourceRemovesTheOldOne) {
  KeyManager keys;
  keys.SetModifierSource([] { return static_cast<unsigned>(KeyManager::Control); });
  ASSERT_TRUE(keys.ControlKeyPressed());
  keys.SetModifierSource({});
  EXPECT_FALSE(keys.HasModifierSource());
  EXPECT_FALSE(keys.ControlKeyPressed());
}
