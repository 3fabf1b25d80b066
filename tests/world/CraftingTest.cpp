#include <gtest/gtest.h>

#include "world/Crafting.h"
#include "world/GameState.h"

namespace {

void Fresh() {
  InitGameState();
  ResetRecipes();
}

}  // namespace

TEST(CraftingTest, FirstResetLeavesTheTable) {
  Fresh();
  EXPECT_EQ(recipes[LadderSpeed][1].lastItem, 3);
  const int32_t speed1[6] = {3, 0, 2, 4, 0, 0};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(recipes[LadderSpeed][1].cost[k], speed1[k]);
  const int32_t range4[6] = {0, 0, 7, 4, 0, 5};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(recipes[LadderRange][4].cost[k], range4[k]);
  for (int l = 0; l < LadderCount; ++l) {
    EXPECT_TRUE(recipes[l][0].available);
    for (int r = 0; r < 5; ++r) EXPECT_EQ(recipes[l][r].bonus, 1);
    for (int r = 1; r < 6; ++r) EXPECT_FALSE(recipes[l][r].available);
    EXPECT_EQ(recipes[l][5].bonus, 0);
    EXPECT_EQ(recipes[l][5].lastItem, 0);
  }
}

TEST(CraftingTest, BuySpeedRowZero) {
  Fresh();
  inventory[0] = 5;
  inventory[1] = 2;
  ASSERT_TRUE(CanAfford(recipes[LadderSpeed][0]));
  BuyRecipe(LadderSpeed, 0);
  EXPECT_EQ(speedBonus, 1);
  EXPECT_EQ(inventory[0], 0);
  EXPECT_EQ(inventory[1], 0);
  EXPECT_FALSE(recipes[LadderSpeed][0].available);
  EXPECT_TRUE(recipes[LadderSpeed][1].available);
  EXPECT_EQ(powerBonus, 0);
  EXPECT_EQ(rangeBonus, 0);
}

TEST(CraftingTest, ShortByOneCannotAfford) {
  Fresh();
  inventory[0] = 5;
  inventory[1] = 1;
  EXPECT_FALSE(CanAfford(recipes[LadderSpeed][0]));
  // Only slots up to lastItem count, whatever lies above.
  inventory[1] = 2;
  Recipe row = recipes[LadderSpeed][0];
  row.cost[4] = 99;
  EXPECT_TRUE(CanAfford(row));
  row.lastItem = -1;
  inventory[0] = 0;
  EXPECT_TRUE(CanAfford(row));
}

TEST(CraftingTest, BuyingTheWholeLadder) {
  Fresh();
  for (int k = 0; k < 6; ++k) inventory[k] = 100;
  for (int r = 0; r < 5; ++r) {
    ASSERT_TRUE(recipes[LadderPower][r].available);
    BuyRecipe(LadderPower, r);
  }
  EXPECT_EQ(powerBonus, 5);
  for (int r = 0; r < 5; ++r) EXPECT_FALSE(recipes[LadderPower][r].available);
  EXPECT_TRUE(recipes[LadderPower][5].available);
  // Total Power cost per slot: 10, 5, 17, 10, 7, 3.
  const int32_t spent[6] = {10, 5, 17, 10, 7, 3};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(inventory[k], 100 - spent[k]);
}

TEST(CraftingTest, SecondResetKeepsProgressButNotBonuses) {
  Fresh();
  for (int k = 0; k < 6; ++k) inventory[k] = 20;
  BuyRecipe(LadderSpeed, 0);
  BuyRecipe(LadderSpeed, 1);
  BuyRecipe(LadderRange, 0);
  int32_t kept[6];
  for (int k = 0; k < 6; ++k) kept[k] = inventory[k];
  recipeFirst[1] = 3;
  ResetRecipes();
  EXPECT_EQ(speedBonus, 0);
  EXPECT_EQ(rangeBonus, 0);
  EXPECT_EQ(recipeFirst[1], 0);
  EXPECT_TRUE(recipes[LadderSpeed][0].available);
  EXPECT_FALSE(recipes[LadderSpeed][1].available);
  EXPECT_TRUE(recipes[LadderSpeed][2].available);
  EXPECT_TRUE(recipes[LadderRange][0].available);
  EXPECT_TRUE(recipes[LadderRange][1].available);
  EXPECT_TRUE(recipes[LadderPower][0].available);
  EXPECT_FALSE(recipes[LadderPower][1].available);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(inventory[k], kept[k]);
}
