#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "game/SeedSetting.h"
#include "world/GameState.h"
#include "world/Random.h"

TEST(ParseSeed, AcceptsTheWholeUnsignedRange) {
  uint32_t seed = 7;
  EXPECT_TRUE(ParseSeed("0", seed));
  EXPECT_EQ(seed, 0u);
  EXPECT_TRUE(ParseSeed("4294967295", seed));
  EXPECT_EQ(seed, 4294967295u);
  EXPECT_TRUE(ParseSeed("00012", seed));
  EXPECT_EQ(seed, 12u);
}

TEST(ParseSeed, RejectsEverythingElseAndKeepsTheOldValue) {
  const char* bad[] = {"",    "4294967296", "99999999999999999999", "-1", "+5", " 5",
                       "5 ",  "0x10",       "1e3",                  "12a", "abc"};
  for (const char* text : bad) {
    uint32_t seed = 77;
    EXPECT_FALSE(ParseSeed(text, seed)) << '"' << text << '"';
    EXPECT_EQ(seed, 77u) << '"' << text << '"';
  }
  uint32_t seed = 77;
  EXPECT_FALSE(ParseSeed(nullptr, seed));
}

class SeedSettingTest : public ::testing::Test {
 protected:
  void SetUp() override { InitGameState(); ClearFixedSeed(); }
  void TearDown() override { ClearFixedSeed(); }
};

TEST_F(SeedSettingTest, AFixedSeedGivesTheSameWorldEveryTime) {
  ASSERT_TRUE(ApplySeedSetting("123456"));
  GenerateWorld();
  static TileType first[WorldColumns][WorldRows];
  std::memcpy(first, World, sizeof World);
  GenerateWorld();
  EXPECT_EQ(std::memcmp(first, World, sizeof World), 0);

  ASSERT_TRUE(ApplySeedSetting("654321"));
  GenerateWorld();
  EXPECT_NE(std::memcmp(first, World, sizeof World), 0);
}

TEST_F(SeedSettingTest, AnInvalidValueChangesNothingAndWarns) {
  ASSERT_TRUE(ApplySeedSetting("5"));
  GenerateWorld();
  static TileType seeded[WorldColumns][WorldRows];
  std::memcpy(seeded, World, sizeof World);

  testing::internal::CaptureStderr();
  EXPECT_FALSE(ApplySeedSetting("seed"));
  std::string warning = testing::internal::GetCapturedStderr();
  EXPECT_NE(warning.find("QUARN_SEED"), std::string::npos) << warning;
  EXPECT_NE(warning.find("\"seed\""), std::string::npos) << warning;

  GenerateWorld();
  EXPECT_EQ(std::memcmp(seeded, World, sizeof World), 0);
  EXPECT_FALSE(ApplySeedSetting(nullptr));  // unset: nothing to apply, no warning
}
