#include "menu/menu.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "expected_texts.hpp"
#include "scripted.hpp"

namespace {

using testing_support::draw_for;
using testing_support::scripted_device;
using testing_support::scripted_draws;

struct session_case {
    const char* name;
    std::string input;
    std::vector<std::int32_t> draws;
    std::string after_start_screens;
};

class WholeProgram : public ::testing::TestWithParam<session_case> {};

TEST_P(WholeProgram, WritesExactlyThisTranscriptAndEndsWithZero) {
    const session_case& row = GetParam();
    scripted_device device(row.input);
    scripted_draws source(row.draws);
    int exit_status = -1;
    {
        console::console console(device);
        exit_status = menu::run_program(console, source);
    }
    EXPECT_EQ(exit_status, 0);
    EXPECT_EQ(source.seedings, 1);
    EXPECT_TRUE(source.all_used()) << source.used << " draws taken";
    EXPECT_EQ(device.transcript, expected::start_screens + row.after_start_screens);
}

const std::string six_sided_pool_of_two =
    "You picked 6 sided dice. \nHow many dice do you want to roll? \n" + expected::clear +
    "You Rolled A 7\n";
const std::string no_roll;

// The screens of a pool whose dice add up to `total`.
std::string pool_screens(std::int32_t sides, std::int32_t total) {
    return "You picked " + std::to_string(sides) +
           " sided dice. \nHow many dice do you want to roll? \n" + expected::clear +
           "You Rolled A " + std::to_string(total) + "\n";
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, WholeProgram,
    ::testing::Values(
        session_case{"pool_typed_ahead_on_one_line", "3 2 2", {draw_for(3), draw_for(4)},
                     expected::pass(six_sided_pool_of_two)},
        session_case{"pool_answers_on_separate_lines", "3\n2\n2\n", {draw_for(3), draw_for(4)},
                     expected::pass(six_sided_pool_of_two)},
        session_case{"every_pool_once",
                     "2 1 1 3 1 1 4 1 1 5 1 1 6 1 1 7 1 2",
                     {draw_for(4), draw_for(6), draw_for(8), draw_for(10), draw_for(12),
                      draw_for(20)},
                     expected::pass(pool_screens(4, 4)) + expected::pass(pool_screens(6, 6)) +
                         expected::pass(pool_screens(8, 8)) + expected::pass(pool_screens(10, 10)) +
                         expected::pass(pool_screens(12, 12)) +
                         expected::pass(pool_screens(20, 20))},
        session_case{"percentile", "8 2", {99},
                     expected::pass("You picked a Percentile dice. \nYou Rolled A 100\n")},
        session_case{"unlisted_numbers_roll_nothing", "0 1 9 1 -1 1 2147483647 2", {},
                     expected::pass(no_roll) + expected::pass(no_roll) + expected::pass(no_roll) +
                         expected::pass(no_roll)},
        session_case{"unlisted_number_typed_ahead_with_the_next_answer", "9 1\n9\n2\n", {},
                     expected::pass(no_roll) + expected::pass(no_roll)},
        session_case{"closing_answer_zero_ends", "9 0", {}, expected::pass(no_roll)},
        session_case{"closing_answer_three_ends", "9 3", {}, expected::pass(no_roll)},
        session_case{"closing_answer_negative_ends", "9 -1", {}, expected::pass(no_roll)},
        session_case{"closing_answer_word_ends", "9 yes 1", {}, expected::pass(no_roll)},
        session_case{"end_of_input_at_the_menu", "", {}, expected::clear + expected::menu},
        session_case{"end_of_input_at_the_count", "3",
                     {},
                     expected::clear + expected::menu + expected::clear +
                         "You picked 6 sided dice. \nHow many dice do you want to roll? \n"},
        session_case{"end_of_input_at_the_closing_question", "9", {},
                     expected::pass(no_roll)},
        // The later roll gets the draw that would have come without the empty pool.
        session_case{"count_zero_takes_no_draw", "3 0 1 8 2", {draw_for(42)},
                     expected::pass(pool_screens(6, 0)) +
                         expected::pass("You picked a Percentile dice. \nYou Rolled A 42\n")}),
    [](const ::testing::TestParamInfo<session_case>& param_info) {
        return std::string(param_info.param.name);
    });

TEST(Dispatch, EveryListedChoiceHasARollAndNoOtherDoes) {
    for (std::int32_t choice = 1; choice <= 8; ++choice) {
        EXPECT_NE(menu::find_roll(choice), nullptr) << choice;
    }
    for (const std::int32_t choice : {0, 9, -1, -2147483647 - 1, 2147483647}) {
        EXPECT_EQ(menu::find_roll(choice), nullptr) << choice;
    }
}

// Seeding comes before anything is written, so the clock is read before the first screen.
class seeding_watcher final : public dice::random_source {
public:
    explicit seeding_watcher(const std::string& transcript) : transcript_(transcript) {}
    void seed_from_clock() override { written_before_seeding.push_back(transcript_); }
    std::int32_t next_draw() override { return 0; }
    std::vector<std::string> written_before_seeding;

private:
    const std::string& transcript_;
};

TEST(RunProgram, SeedsOnceBeforeWritingAnything) {
    scripted_device device("3 1 1 3 1 2");
    seeding_watcher source(device.transcript);
    {
        console::console console(device);
        menu::run_program(console, source);
    }
    EXPECT_EQ(source.written_before_seeding, std::vector<std::string>{""});
    // The start-up screens came once, at the start.
    EXPECT_EQ(device.transcript.find(expected::banner), expected::notice.size() +
                                                            expected::pause.size() +
                                                            expected::clear.size());
    EXPECT_EQ(device.transcript.rfind(expected::notice), 0U);
}

}  // namespace
