#include "dice/fumble_tables.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "expected_texts.hpp"
#include "scripted.hpp"

namespace {

using testing_support::draw_for;
using testing_support::draws_for;
using testing_support::scripted_device;
using testing_support::scripted_draws;

struct fumble_case {
    const char* name;
    std::string weapon;               // the answer to the weapon question
    std::vector<std::int32_t> faces;  // the fumble roll first, then each further die in order
    std::string mishap;               // everything written after the weapon question
};

class ResolveFumble : public ::testing::TestWithParam<fumble_case> {};

// Every die is one draw taken in the listed order, and no more: every later roll of the run
// depends on how many draws a fumble takes.
TEST_P(ResolveFumble, WritesTheMishapAndTakesExactlyItsDice) {
    const fumble_case& row = GetParam();
    const std::vector<std::int32_t> draws = draws_for(row.faces);
    scripted_device device(row.weapon);
    scripted_draws source(draws);
    {
        console::console console(device);
        dice::resolve_fumble(console, source);
    }
    EXPECT_EQ(device.transcript, expected::weapon_question + row.mishap);
    EXPECT_TRUE(source.all_used()) << source.used << " of " << draws.size() << " draws taken";
}

std::string critical(std::int32_t damage) {
    return "Damage Done Is " + std::to_string(damage) + " Times Rolled\n";
}

const std::string deflected = "Shot Was Deflected\n";
const std::string salesman = "Hit a Wandering Computer Salesmen\n";
const std::string yourself = "Hit Yourself\n";
const std::string tree = "Hit a Nearby Tree\n";
const std::string bird = "Hit A Bird Flying Overhead\n";
const std::string jams = "Weapon Jams\nIt CANNOT Be Used\n";
const std::string party_member = "Shoot a Party Member\nThis is a Critical Hit\n";
const std::string innocent = "Shoot an Innocent\nThis is a Critical Hit\n";
const std::string explodes =
    "E-Clip Explodes\nEverything in 3 foot radius takes damage\n equal to ammo left in E-Clip";
const std::string shattered =
    "Weapon is Shattered.  Indestructible Items Will Vanish \nFrom The Wielders Possession.\n";

std::string thrown_once(std::int32_t actions) {
    return "Weapon is Thrown, Take " + std::to_string(actions) + " Actions to Retrieve It\n";
}
std::string thrown_twice(std::int32_t actions) {
    return "Weapon is Thrown, Take " + std::to_string(actions) + " Action(s) to Retrieve It\n";
}
std::string imbedded(std::int32_t actions) {
    return "Weapon is Imbedded.  It Will Take " + std::to_string(actions) +
           " Action(s) to Free It\n";
}
std::string melee_critical(const std::string& victim, std::int32_t damage,
                           std::int32_t actions) {
    return victim + "This is a Critical Hit.\n" + critical(damage) + "Take " +
           std::to_string(actions) + " Action(s) to Retrieve Your Weapon\n";
}
const std::string hit_party_member = "You Hit a Party Member.  ";
const std::string hit_bystander = "Hit an Innocent Bystander/Creature.  ";

INSTANTIATE_TEST_SUITE_P(
    EnergyProjectile, ResolveFumble,
    ::testing::Values(
        fumble_case{"misfire_low", "1", {1, 8}, "Weapon Misfires \nLose 8 Melee Actions Next Turn\n"},
        fumble_case{"misfire_high", "1", {5, 1}, "Weapon Misfires \nLose 1 Melee Actions Next Turn\n"},
        fumble_case{"deflected_low_salesman", "1", {6, 1}, deflected + salesman},
        fumble_case{"deflected_salesman_edge", "1", {7, 3}, deflected + salesman},
        fumble_case{"deflected_yourself", "1", {8, 4}, deflected + yourself},
        fumble_case{"deflected_yourself_edge", "1", {9, 5}, deflected + yourself},
        fumble_case{"deflected_tree", "1", {10, 6}, deflected + tree},
        fumble_case{"deflected_tree_edge", "1", {6, 7}, deflected + tree},
        fumble_case{"deflected_bird", "1", {6, 8}, deflected + bird},
        fumble_case{"deflected_bird_edge", "1", {10, 10}, deflected + bird},
        fumble_case{"jams_low", "1", {11}, jams},
        fumble_case{"jams_high", "1", {14}, jams},
        fumble_case{"party_member_low", "1", {15, 15}, party_member + critical(2)},
        fumble_case{"party_member_high", "1", {17, 16}, party_member + critical(3)},
        fumble_case{"innocent_low", "1", {18, 17}, innocent + critical(3)},
        fumble_case{"innocent_high", "1", {19, 18}, innocent + critical(4)},
        fumble_case{"explodes_without_line_break", "1", {20}, explodes}),
    [](const ::testing::TestParamInfo<fumble_case>& param_info) {
        return std::string(param_info.param.name);
    });

INSTANTIATE_TEST_SUITE_P(
    Melee, ResolveFumble,
    ::testing::Values(
        fumble_case{"thrown_low", "2", {1, 1}, thrown_once(1)},
        fumble_case{"thrown_high", "2", {5, 4}, thrown_once(4)},
        fumble_case{"thrown_far_two_ones", "2", {6, 1, 1}, thrown_twice(2)},
        fumble_case{"thrown_far_two_fours", "2", {10, 4, 4}, thrown_twice(8)},
        fumble_case{"thrown_far_two_and_three", "2", {8, 2, 3}, thrown_twice(5)},
        fumble_case{"imbedded_low", "2", {11, 6}, imbedded(6)},
        fumble_case{"imbedded_high", "2", {14, 1}, imbedded(1)},
        // The retrieval count is the die before the multiplier roll, shown after it.
        fumble_case{"party_member_low", "2", {15, 7, 20}, melee_critical(hit_party_member, 5, 7)},
        fumble_case{"party_member_high", "2", {17, 1, 19}, melee_critical(hit_party_member, 4, 1)},
        fumble_case{"bystander_low", "2", {18, 10, 1}, melee_critical(hit_bystander, 2, 10)},
        fumble_case{"bystander_high", "2", {19, 3, 16}, melee_critical(hit_bystander, 3, 3)},
        fumble_case{"shattered", "2", {20}, shattered}),
    [](const ::testing::TestParamInfo<fumble_case>& param_info) {
        return std::string(param_info.param.name);
    });

// Any other answer selects no table, but the fumble roll is drawn all the same.
INSTANTIATE_TEST_SUITE_P(
    NoTable, ResolveFumble,
    ::testing::Values(fumble_case{"three", "3", {1}, ""}, fumble_case{"zero", "0", {20}, ""},
                      fumble_case{"negative", "-1", {15}, ""},
                      fumble_case{"word", "melee", {15}, ""}),
    [](const ::testing::TestParamInfo<fumble_case>& param_info) {
        return std::string(param_info.param.name);
    });

TEST(RollCriticalMultiplier, EveryRollGivesTheMultiplierOfItsBand) {
    for (std::int32_t roll = 1; roll <= 20; ++roll) {
        const std::int32_t expected = roll <= 15 ? 2 : roll <= 17 ? 3 : roll <= 19 ? 4 : 5;
        scripted_device device("");
        scripted_draws source({draw_for(roll)});
        std::int32_t damage = 0;
        {
            console::console console(device);
            damage = dice::roll_critical_multiplier(console, source);
        }
        EXPECT_EQ(damage, expected) << roll;
        EXPECT_EQ(device.transcript, critical(expected)) << roll;
    }
}

}  // namespace
