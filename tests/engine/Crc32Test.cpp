#include "EngineCore/Crc32.h"

#include <gtest/gtest.h>

#include <cstring>

using EngineCore::Crc32;

namespace {

std::uint32_t Checksum(const char* text) {
  return Crc32::Compute(static_cast<std::uint32_t>(std::strlen(text)), text);
}

}  // namespace

TEST(Crc32Checksum, MatchesTheStandardCheckValue) { EXPECT_EQ(Checksum("123456789"), 0xCBF43926u); }

TEST(Crc32Checksum, IsZeroForNoCharacters) {
  EXPECT_EQ(Crc32::Compute(0, ""), 0u);
  EXPECT_EQ(Crc32::Compute(0, "ignored"), 0u);
}

TEST(Crc32Checksum, MatchesKnownValuesOfShortTexts) {
  EXPECT_EQ(Checksum("a"), 0xE8B7BE43u);
  EXPECT_EQ(Checksum("abc"), 0x352441C2u);
  EXPECT_EQ(Checksum("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
}

TEST(Crc32Checksum, ReadsOnlyTheGivenLength) {
  EXPECT_EQ(Crc32::Compute(9, "123456789 and more"), 0xCBF43926u);
}

TEST(Crc32Checksum, TreatsBytesAboveSevenBitsAsUnsigned) {
  const char high[] = {static_cast<char>(0xFF)};
  EXPECT_EQ(Crc32::Compute(1, high), 0xFF000000u);
}

TEST(Crc32Checksum, DiffersForNamesThatDifferInOneCharacter) {
  EXPECT_NE(Checksum("Hips"), Checksum("hips"));
  EXPECT_NE(Checksum("LeftArm"), Checksum("LeftArn"));
}
