#pragma once

#include <cstdint>

#include "console/console.hpp"
#include "dice/random_source.hpp"

namespace dice {

// After a fumble: asks the kind of weapon, rolls the d20 fumble roll and shows the mishap
// that the roll selects on the energy/projectile or the melee table. Any other answer
// selects no table, but the fumble roll is drawn all the same.
void resolve_fumble(console::console& console, random_source& source);

// The damage multiplier of a critical hit on a party member or a bystander: rolls a d20,
// reports the multiplier (2 to 5) and returns it.
std::int32_t roll_critical_multiplier(console::console& console, random_source& source);

}  // namespace dice
