#include "dice/random_source.hpp"

#include <ctime>

#include "dice/pool_sum.hpp"

namespace dice {

std::int64_t random_source::sum_of_dice(std::int32_t sides, std::int32_t count) {
    std::int64_t total = 0;
    for (std::int32_t dicerolled = 0; dicerolled < count; ++dicerolled) {
        total += roll_die(*this, sides);
    }
    return total;
}

std::uint32_t seed_from_time(std::int64_t seconds) { return static_cast<std::uint32_t>(seconds); }

void linear_congruential_source::seed_from_clock() {
    seed(seed_from_time(static_cast<std::int64_t>(std::time(nullptr))));
}

std::int64_t linear_congruential_source::sum_of_dice(std::int32_t sides, std::int32_t count) {
    return dice::sum_of_dice(state_, sides, count);
}

std::int32_t roll_die(random_source& source, std::int32_t sides) {
    return source.next_draw() % sides + 1;
}

void roll_dice_pool(console::console& console, random_source& source, std::int32_t sides) {
    console.write_text("You picked ");
    console.write_number(sides);
    console.write_text(" sided dice. \n");
    console.write_text("How many dice do you want to roll? \n");
    const std::int32_t numdice = console.read_number();
    // Totals are kept in 64 bits: 2147483647 dice of 20 sides still add up exactly.
    const std::int64_t total = source.sum_of_dice(sides, numdice);
    console.clear_console();
    console.write_text("You Rolled A ");
    console.write_number(total);
    console.write_text("\n");
}

void roll_percentile(console::console& console, random_source& source) {
    console.write_text("You picked a Percentile dice. \n");
    const std::int32_t rnum = roll_die(source, 100);
    console.write_text("You Rolled A ");
    console.write_number(rnum);
    console.write_text("\n");
}

}  // namespace dice
