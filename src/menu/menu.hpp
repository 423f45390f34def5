#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "console/console.hpp"
#include "dice/random_source.hpp"

namespace menu {

using roll_procedure = void (*)(console::console&, dice::random_source&);

struct menu_row {
    std::int32_t choice;
    std::string_view entry;  // the line the main menu shows for this choice
    roll_procedure roll;
};

// The rolls the main menu offers, in the order it lists them.
extern const std::array<menu_row, 8> dispatch_table;

// The roll for a menu choice, or nullptr for a number the menu does not list.
roll_procedure find_roll(std::int32_t dice);

void show_start_screens(console::console& console);
void show_main_menu(console::console& console);

// Ends every pass: pause, clear, and the question whether to go on. True for exactly 1.
bool ask_another_choice(console::console& console);

// The whole program on the given console and source: seeds the source first, then the
// start-up screens and the menu loop. Returns the exit status, always 0.
int run_program(console::console& console, dice::random_source& source);

// The program on the process's own standard streams and the clock-seeded generator.
int run_program();

}  // namespace menu
