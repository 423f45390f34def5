#include "dice/fumble_tables.hpp"

#include <algorithm>
#include <array>
#include <string_view>

namespace dice {
namespace {

using mishap = void (*)(console::console&, random_source&);

// A range of a d20 (or d10) roll and what it brings.
template <typename Outcome>
struct band {
    std::int32_t lowest;
    std::int32_t highest;
    Outcome outcome;
};

template <typename Outcome, std::size_t size>
const Outcome& outcome_for(const std::array<band<Outcome>, size>& table, std::int32_t roll) {
    const auto* found = std::find_if(table.begin(), table.end(), [roll](const auto& row) {
        return row.lowest <= roll && roll <= row.highest;
    });
    return found->outcome;  // every table covers every face of its die
}

void write_count(console::console& console, std::string_view before, std::int32_t count,
                 std::string_view after) {
    console.write_text(before);
    console.write_number(count);
    console.write_text(after);
}

constexpr std::array<band<std::string_view>, 4> deflected_shot_targets = {{
    {1, 3, "Hit a Wandering Computer Salesmen\n"},
    {4, 5, "Hit Yourself\n"},
    {6, 7, "Hit a Nearby Tree\n"},
    {8, 10, "Hit A Bird Flying Overhead\n"},
}};

constexpr std::array<band<std::int32_t>, 4> critical_multipliers = {{
    {1, 15, 2},
    {16, 17, 3},
    {18, 19, 4},
    {20, 20, 5},
}};

constexpr std::array<band<mishap>, 6> energy_projectile_table = {{
    {1, 5,
     [](console::console& console, random_source& source) {
         console.write_text("Weapon Misfires \n");
         const std::int32_t dnum = roll_die(source, 8);
         write_count(console, "Lose ", dnum, " Melee Actions Next Turn\n");
     }},
    {6, 10,
     [](console::console& console, random_source& source) {
         console.write_text("Shot Was Deflected\n");
         const std::int32_t snum = roll_die(source, 10);
         console.write_text(outcome_for(deflected_shot_targets, snum));
     }},
    {11, 14,
     [](console::console& console, random_source&) {
         console.write_text("Weapon Jams\n");
         console.write_text("It CANNOT Be Used\n");
     }},
    {15, 17,
     [](console::console& console, random_source& source) {
         console.write_text("Shoot a Party Member\n");
         console.write_text("This is a Critical Hit\n");
         roll_critical_multiplier(console, source);
     }},
    {18, 19,
     [](console::console& console, random_source& source) {
         console.write_text("Shoot an Innocent\n");
         console.write_text("This is a Critical Hit\n");
         roll_critical_multiplier(console, source);
     }},
    {20, 20,
     [](console::console& console, random_source&) {
         console.write_text("E-Clip Explodes\n");
         console.write_text("Everything in 3 foot radius ");
         console.write_text("takes damage\n equal to ammo ");
         console.write_text("left in E-Clip");
     }},
}};

// The two critical melee mishaps: the retrieval count is rolled before the multiplier
// but reported after it.
void critical_melee_hit(console::console& console, random_source& source,
                        std::string_view victim) {
    const std::int32_t retrieval = roll_die(source, 10);
    console.write_text(victim);
    console.write_text("This is a Critical Hit.\n");
    roll_critical_multiplier(console, source);
    write_count(console, "Take ", retrieval, " Action(s) to Retrieve ");
    console.write_text("Your Weapon\n");
}

constexpr std::array<band<mishap>, 6> melee_table = {{
    {1, 5,
     [](console::console& console, random_source& source) {
         const std::int32_t pnum = roll_die(source, 4);
         write_count(console, "Weapon is Thrown, Take ", pnum, " Actions to Retrieve It\n");
     }},
    {6, 10,
     [](console::console& console, random_source& source) {
         std::int32_t total = 0;
         for (int wnum_rolled = 0; wnum_rolled < 2; ++wnum_rolled) {
             total += roll_die(source, 4);
         }
         write_count(console, "Weapon is Thrown, Take ", total, " Action(s) to Retrieve It\n");
     }},
    {11, 14,
     [](console::console& console, random_source& source) {
         const std::int32_t bnum = roll_die(source, 6);
         write_count(console, "Weapon is Imbedded.  It Will Take ", bnum, " Action(s) to Free It\n");
     }},
    {15, 17,
     [](console::console& console, random_source& source) {
         critical_melee_hit(console, source, "You Hit a Party Member.  ");
     }},
    {18, 19,
     [](console::console& console, random_source& source) {
         critical_melee_hit(console, source, "Hit an Innocent Bystander/Creature.  ");
     }},
    {20, 20,
     [](console::console& console, random_source&) {
         console.write_text("Weapon is Shattered.  ");
         console.write_text("Indestructible Items Will Vanish \n");
         console.write_text("From The Wielders Possession.\n");
     }},
}};

}  // namespace

std::int32_t roll_critical_multiplier(console::console& console, random_source& source) {
    const std::int32_t damage = outcome_for(critical_multipliers, roll_die(source, 20));
    write_count(console, "Damage Done Is ", damage, " Times Rolled\n");
    return damage;
}

void resolve_fumble(console::console& console, random_source& source) {
    console.write_text("Are you rolling for: \n\n");
    console.write_text("1)  Energy/Projectile \n");
    console.write_text("2)  Melee Weapons \n");
    const std::int32_t fumble = console.read_number();
    const std::int32_t fnum = roll_die(source, 20);
    if (fumble == 1) {
        outcome_for(energy_projectile_table, fnum)(console, source);
    } else if (fumble == 2) {
        outcome_for(melee_table, fnum)(console, source);
    }
}

}  // namespace dice
