#include "dice/to_hit.hpp"

#include "dice/fumble_tables.hpp"

namespace dice {

void roll_to_hit(console::console& console, random_source& source) {
    const std::int32_t rnum = roll_die(source, 20);
    if (rnum == 1) {
        console.write_text("YOU FUMBLED!\n\n ");
        console.pause_console();
        resolve_fumble(console, source);
    }
    if (rnum == 20) {
        console.write_text("Double Damage\n");
    }
    console.write_text("Do You Have Any Bonuses or Penalties to Add\n\n");
    console.write_text("1)     Yes\n");
    console.write_text("2)     No\n\n");
    const std::int32_t bonus = console.read_number();
    if (bonus == 2) {
        console.clear_console();
        console.write_text("You Rolled a ");
        console.write_number(rnum);
        console.write_text("\n");
    } else if (bonus == 1) {
        console.write_text("What is Your Bonus or Penalty?\n");
        const std::int32_t extrabonus = console.read_number();
        console.clear_console();
        console.write_text("With Your Bonus, You Rolled A ");
        // Added in 64 bits: a large bonus shows its true total instead of wrapping around.
        console.write_number(std::int64_t{rnum} + extrabonus);
        console.write_text("\n");
    }
    // Any other answer asks for no result: the roll stands as the last thing on screen.
}

}  // namespace dice
