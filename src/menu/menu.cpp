#include "menu/menu.hpp"

#include <algorithm>

#include "console/standard_device.hpp"
#include "dice/to_hit.hpp"

namespace menu {
namespace {

template <std::int32_t sides>
void roll_pool_of(console::console& console, dice::random_source& source) {
    dice::roll_dice_pool(console, source, sides);
}

constexpr std::array<std::string_view, 12> banner = {
    " \n\n\n\n\n\n THIS PROGRAM WILL BE USED TO SIMULATE DICE ROLLS FOR\n ",
    "ROLE PLAYING GAMES. Written for players and game masters alike.\n ",
    "THIS PROGRAM MAY BE USED BY ANYONE WHO WANTS TO USE IT\n ",
    "WITH OR WITHOUT PERMISSION FROM ME.  YOU DO NOT HAVE TO\n ",
    "REGISTER IT, SEND IN MONEY OR EVEN TALK TO ME AT ALL.\n ",
    "I WILL TAKE NO RESPONSIBILITY FOR ANY DAMAGE TO YOUR COMPUTER\n ",
    "CAUSED BY THIS APPLICATION, NOR WILL I ASSUME ANY RESPONSIBILITY\n ",
    "FOR BODILY HARM, OR DEATH RESULTING FROM DISPUTES RESULTING FROM\n ",
    "THE OUTPUT OF THIS PROGRAM.  IF YOU HAVE AN COMMENTS OR IDEAS TO MAKE ",
    "THIS      PRODUCT BETTER, YOU CAN CONTACT ME AT ",
    "dice@example.org\n ",
    "HAVE A NICE DAY!\n\n",
};

}  // namespace

const std::array<menu_row, 8> dispatch_table = {{
    {1, "1)   Roll to Hit\n", dice::roll_to_hit},
    {2, " 2)   4 sided\n", roll_pool_of<4>},
    {3, " 3)   6 sided\n", roll_pool_of<6>},
    {4, " 4)   8 sided\n", roll_pool_of<8>},
    {5, " 5)   10 sided\n", roll_pool_of<10>},
    {6, " 6)   12 sided\n", roll_pool_of<12>},
    {7, " 7)   20 sided\n", roll_pool_of<20>},
    {8, " 8)   Percentile Dice\n\n", dice::roll_percentile},
}};

roll_procedure find_roll(std::int32_t dice) {
    const auto* row = std::find_if(dispatch_table.begin(), dispatch_table.end(),
                                   [dice](const menu_row& candidate) { return candidate.choice == dice; });
    return row == dispatch_table.end() ? nullptr : row->roll;
}

void show_start_screens(console::console& console) {
    console.write_text("Please Press <ALT> + <ENTER>\n\n");
    console.pause_console();
    console.clear_console();
    for (const std::string_view text : banner) {
        console.write_text(text);
    }
    console.pause_console();
}

void show_main_menu(console::console& console) {
    console.write_text("What kind of dice do you wish to roll?\n\n ");
    for (const menu_row& row : dispatch_table) {
        console.write_text(row.entry);
    }
    console.write_text(" Please enter a number (1-8) ");
}

bool ask_another_choice(console::console& console) {
    console.pause_console();
    console.clear_console();
    console.write_text("Would You Like To Make Another Choice? \n\n");
    console.write_text("1)    Yes\n");
    console.write_text("2)    No\n");
    const std::int32_t tryagain = console.read_number();
    return tryagain == 1;
}

int run_program(console::console& console, dice::random_source& source) {
    source.seed_from_clock();
    try {
        show_start_screens(console);
        do {
            console.clear_console();
            show_main_menu(console);
            const std::int32_t dice = console.read_number();
            console.clear_console();
            if (const roll_procedure roll = find_roll(dice); roll != nullptr) {
                roll(console, source);
            }
        } while (ask_another_choice(console));
    } catch (const console::input_ended&) {
        // No further answer can come: the program ends like after the last answer.
    }
    console.flush();
    return 0;
}

int run_program() {
    dice::linear_congruential_source source;
    console::standard_device device;
    console::console console(device);
    return run_program(console, source);
}

}  // namespace menu
