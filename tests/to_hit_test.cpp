#include "dice/to_hit.hpp"

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

struct to_hit_case {
    const char* name;
    std::vector<std::int32_t> faces;  // the d20 first, then any fumble dice
    std::string input;
    std::string transcript;
};

class RollToHit : public ::testing::TestWithParam<to_hit_case> {};

TEST_P(RollToHit, WritesThisAndTakesExactlyTheseDice) {
    const to_hit_case& row = GetParam();
    const std::vector<std::int32_t> draws = draws_for(row.faces);
    scripted_device device(row.input);
    scripted_draws source(draws);
    {
        console::console console(device);
        dice::roll_to_hit(console, source);
    }
    EXPECT_EQ(device.transcript, row.transcript);
    EXPECT_TRUE(source.all_used()) << source.used << " of " << draws.size() << " draws taken";
}

const std::string amount_question = "What is Your Bonus or Penalty?\n";
std::string with_bonus(const std::string& total) {
    return expected::clear + "With Your Bonus, You Rolled A " + total + "\n";
}
std::string as_rolled(const std::string& roll) {
    return expected::clear + "You Rolled a " + roll + "\n";
}
const std::string fumbled = "YOU FUMBLED!\n\n " + expected::pause + expected::weapon_question;
const std::string double_damage = "Double Damage\n";
std::string shattered() {
    return "Weapon is Shattered.  Indestructible Items Will Vanish \nFrom The Wielders "
           "Possession.\n";
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RollToHit,
    ::testing::Values(
        to_hit_case{"natural_twenty_with_a_penalty", {20}, "1 -3",
                    double_damage + expected::bonus_question + amount_question + with_bonus("17")},
        to_hit_case{"nineteen_plus_one_is_no_natural_twenty", {19}, "1 1",
                    expected::bonus_question + amount_question + with_bonus("20")},
        to_hit_case{"natural_twenty_as_rolled", {20}, "2",
                    double_damage + expected::bonus_question + as_rolled("20")},
        to_hit_case{"plain_roll_as_rolled", {2}, "2", expected::bonus_question + as_rolled("2")},
        to_hit_case{"negative_total_is_not_clamped", {3}, "1 -10",
                    expected::bonus_question + amount_question + with_bonus("-7")},
        to_hit_case{"zero_bonus_still_says_with_your_bonus", {7}, "1\n0\n",
                    expected::bonus_question + amount_question + with_bonus("7")},
        to_hit_case{"total_beyond_32_bits_is_exact", {5}, "1 2147483647",
                    expected::bonus_question + amount_question + with_bonus("2147483652")},
        to_hit_case{"smallest_bonus", {1, 20}, "2 1 -2147483648",
                    fumbled + shattered() + expected::bonus_question + amount_question +
                        with_bonus("-2147483647")},
        to_hit_case{"other_answer_zero_shows_nothing", {10}, "0", expected::bonus_question},
        to_hit_case{"other_answer_three_shows_nothing", {11}, "3", expected::bonus_question},
        to_hit_case{"other_answer_negative_shows_nothing", {12}, "-1", expected::bonus_question},
        to_hit_case{"other_answer_word_shows_nothing", {13}, "yes", expected::bonus_question},
        // A fumble takes a bonus like any other roll, and never brings double damage.
        to_hit_case{"fumble_with_bonus_reaches_twenty", {1, 20}, "2 1 19",
                    fumbled + shattered() + expected::bonus_question + amount_question +
                        with_bonus("20")},
        to_hit_case{"fumble_as_rolled", {1, 11}, "1 2",
                    fumbled + "Weapon Jams\nIt CANNOT Be Used\n" + expected::bonus_question +
                        as_rolled("1")},
        // The exploding clip ends without a line break: the question continues that line.
        to_hit_case{"fumble_question_follows_on_the_same_line", {1, 20}, "1 2",
                    fumbled +
                        "E-Clip Explodes\nEverything in 3 foot radius takes damage\n equal to "
                        "ammo left in E-ClipDo You Have Any Bonuses or Penalties to Add\n\n1)     "
                        "Yes\n2)     No\n\n" +
                        as_rolled("1")},
        to_hit_case{"fumble_with_no_table", {1, 9}, "0 2",
                    fumbled + expected::bonus_question + as_rolled("1")}),
    [](const ::testing::TestParamInfo<to_hit_case>& param_info) {
        return std::string(param_info.param.name);
    });

TEST(RollToHitInput, AnswerAndAmountTypedOnOneLineNeedOneRead) {
    scripted_device device("1 -2\n");
    scripted_draws source({draw_for(14)});
    {
        console::console console(device);
        dice::roll_to_hit(console, source);
    }
    EXPECT_EQ(device.reads, 1);
    EXPECT_EQ(device.transcript, expected::bonus_question + amount_question + with_bonus("12"));
}

TEST(RollToHitInput, TheEndOfInputAtAnyQuestionEndsTheDialogue) {
    const struct {
        std::vector<std::int32_t> faces;
        std::string input;
    } cases[] = {{{8}, ""}, {{8}, "1"}, {{1}, ""}, {{1, 11}, "1"}};
    for (const auto& row : cases) {
        scripted_device device(row.input);
        scripted_draws source(draws_for(row.faces));
        console::console console(device);
        EXPECT_THROW(dice::roll_to_hit(console, source), console::input_ended) << row.input;
    }
}

}  // namespace
