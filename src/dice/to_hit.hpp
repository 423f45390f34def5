#pragma once

#include "console/console.hpp"
#include "dice/random_source.hpp"

namespace dice {

// Menu choice 1: an attack roll on one d20. A natural 1 is a fumble, resolved on a fumble
// table; a natural 20 doubles the damage; then the user may add a bonus or a penalty.
void roll_to_hit(console::console& console, random_source& source);

}  // namespace dice
