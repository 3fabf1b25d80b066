#include "world/Crafting.h"

namespace {

struct LadderRow {
  int32_t lastItem;
  int32_t cost[InventorySlots];
};

const LadderRow ladderTable[LadderCount][5] = {
    {  // Speed
     {1, {5, 2, 0, 0, 0, 0}},
     {3, {3, 0, 2, 4, 0, 0}},
     {4, {0, 0, 8, 5, 2, 0}},
     {5, {0, 0, 10, 0, 4, 2}},
     {5, {0, 0, 0, 0, 6, 6}}},
    {  // Power
     {1, {4, 2, 0, 0, 0, 0}},
     {1, {3, 3, 0, 0, 0, 0}},
     {3, {3, 0, 2, 2, 0, 0}},
     {4, {0, 0, 7, 5, 4, 0}},
     {5, {0, 0, 8, 3, 3, 3}}},
    {  // Range
     {1, {4, 3, 0, 0, 0, 0}},
     {1, {6, 4, 0, 0, 0, 0}},
     {4, {4, 0, 4, 2, 2, 0}},
     {4, {6, 0, 6, 4, 3, 0}},
     {5, {0, 0, 7, 4, 0, 5}}},
};

}  // namespace

void ResetRecipes() {
  speedBonus = 0;
  powerBonus = 0;
  rangeBonus = 0;
  for (int32_t& first : recipeFirst) first = 0;
  for (int32_t ladder = 0; ladder < LadderCount; ++ladder) {
    for (int32_t row = 0; row < 5; ++row) {
      Recipe& recipe = recipes[ladder][row];
      recipe.bonus = 1;
      recipe.lastItem = ladderTable[ladder][row].lastItem;
      for (int32_t k = 0; k < InventorySlots; ++k) {
        if (ladderTable[ladder][row].cost[k] != 0) recipe.cost[k] = ladderTable[ladder][row].cost[k];
      }
    }
    // Only row 0's flag is reset: a ladder keeps its progress across resets.
    recipes[ladder][0].available = true;
  }
}

bool CanAfford(Recipe row) {
  for (int32_t k = 0; k <= row.lastItem && k < InventorySlots; ++k) {
    if (inventory[k] < row.cost[k]) return false;
  }
  return true;
}

void PayRecipe(Recipe row) {
  for (int32_t k = 0; k <= row.lastItem && k < InventorySlots; ++k) inventory[k] -= row.cost[k];
}

void BuyRecipe(int32_t ladder, int32_t row) {
  Recipe& recipe = recipes[ladder][row];
  int32_t* bonusField = ladder == LadderSpeed ? &speedBonus : ladder == LadderPower ? &powerBonus : &rangeBonus;
  *bonusField += int32_t(recipe.bonus);
  PayRecipe(recipe);
  recipe.available = false;
  // Row 5 is the dead end after the last row; it is marked and never used.
  if (row + 1 < LadderRows) recipes[ladder][row + 1].available = true;
}
