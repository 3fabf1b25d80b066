// The three upgrade ladders (Speed, Power, Range) and the rules for buying a row.
#pragma once

#include <cstdint>

#include "world/GameState.h"

constexpr int32_t LadderSpeed = 0;
constexpr int32_t LadderPower = 1;
constexpr int32_t LadderRange = 2;

// Bonuses to 0, rows 0..4 rewritten, row 0 of each ladder buyable again.
// Rows 1..5 keep their buyable flags from earlier purchases.
void ResetRecipes();
bool CanAfford(Recipe row);
void PayRecipe(Recipe row);
// Buys row `row` of ladder `ladder`: bonus, payment, next row becomes buyable.
// The caller has checked that the row is available and affordable.
void BuyRecipe(int32_t ladder, int32_t row);
