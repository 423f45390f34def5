#include "dice/random_source.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "scripted.hpp"

namespace {

using testing_support::draw_for;
using testing_support::scripted_device;
using testing_support::scripted_draws;

TEST(LinearCongruentialSource, SeedOneGivesTheKnownDraws) {
    dice::linear_congruential_source source(1U);
    const std::vector<std::int32_t> expected = {41, 18467, 6334, 26500, 19169};
    std::vector<std::int32_t> drawn;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        drawn.push_back(source.next_draw());
    }
    EXPECT_EQ(drawn, expected);
}

TEST(LinearCongruentialSource, SeedsWithTheLowThirtyTwoBitsOfTheTime) {
    EXPECT_EQ(dice::seed_from_time(1), 1U);
    EXPECT_EQ(dice::seed_from_time(4294967295LL), 4294967295U);
    // Past 2038 and past 2106 the clock no longer fits: its low bits seed the generator.
    EXPECT_EQ(dice::seed_from_time(4294967296LL + 1234), 1234U);
    EXPECT_EQ(dice::seed_from_time(-1), 4294967295U);
}

TEST(RollDie, EveryDrawMapsToTheFacesOfTheKnownTable) {
    // How many of the 32768 draws give each face; the faces that get one more are listed.
    const struct {
        std::int32_t sides;
        std::int32_t common_count;
        std::int32_t faces_with_one_more;
    } cases[] = {
        {4, 8192, 0}, {6, 5461, 2}, {8, 4096, 0}, {10, 3276, 8}, {12, 2730, 8}, {20, 1638, 8},
        {100, 327, 68},
    };
    for (const auto& row : cases) {
        std::vector<std::int32_t> draws(32768);
        for (std::int32_t draw = 0; draw < 32768; ++draw) {
            draws[static_cast<std::size_t>(draw)] = draw;
        }
        scripted_draws source(draws);
        std::map<std::int32_t, std::int32_t> counts;
        for (std::int32_t draw = 0; draw < 32768; ++draw) {
            ++counts[dice::roll_die(source, row.sides)];
        }
        ASSERT_EQ(counts.size(), static_cast<std::size_t>(row.sides)) << row.sides;
        for (const auto& [face, count] : counts) {
            ASSERT_GE(face, 1);
            ASSERT_LE(face, row.sides);
            const std::int32_t expected =
                row.common_count + (face <= row.faces_with_one_more ? 1 : 0);
            EXPECT_EQ(count, expected) << row.sides << " sides, face " << face;
        }
    }
}

TEST(RollDie, HighestDrawGivesTheseFaces) {
    const std::array<std::pair<std::int32_t, std::int32_t>, 7> sides_and_face = {
        {{4, 4}, {6, 2}, {8, 8}, {10, 8}, {12, 8}, {20, 8}, {100, 68}}};
    for (const auto& [sides, face] : sides_and_face) {
        scripted_draws source({32767});
        EXPECT_EQ(dice::roll_die(source, sides), face) << sides;
    }
}

// The total of a pool and the generator's position afterwards are what rolling the dice
// one by one gives.
TEST(SumOfDice, EqualsRollingTheDiceOneByOne) {
    for (const std::uint32_t seed : {0U, 1U, 12345U, 4294967295U}) {
        for (const std::int32_t sides : {4, 6, 8, 10, 12, 20}) {
            for (const std::int32_t count : {-5, 0, 1, 2, 1000}) {
                dice::linear_congruential_source pooled(seed);
                dice::linear_congruential_source one_by_one(seed);
                std::int64_t expected = 0;
                for (std::int32_t die = 0; die < count; ++die) {
                    expected += dice::roll_die(one_by_one, sides);
                }
                EXPECT_EQ(pooled.sum_of_dice(sides, count), expected)
                    << seed << " " << sides << " " << count;
                EXPECT_EQ(pooled.state(), one_by_one.state()) << seed << " " << sides << " " << count;
            }
        }
    }
}

std::string pool_transcript(std::int32_t sides, const std::string& total) {
    return "You picked " + std::to_string(sides) +
           " sided dice. \nHow many dice do you want to roll? \n\fYou Rolled A " + total + "\n";
}

TEST(RollDicePool, AsksTheCountRollsAndShowsTheTotalOnACleanScreen) {
    const struct {
        std::int32_t sides;
        std::string input;
        std::vector<std::int32_t> draws;
        std::string total;
    } cases[] = {
        {6, "3\n", {0, 5, 32767}, "9"},
        {4, "2", {draw_for(4), draw_for(3)}, "7"},
        {8, "1", {draw_for(8)}, "8"},
        {10, "2", {draw_for(10), draw_for(10)}, "20"},
        {12, "1", {draw_for(12)}, "12"},
        {20, "2", {draw_for(20), draw_for(1)}, "21"},
        {20, "0", {}, "0"},
        {6, "-5", {}, "0"},
        {6, "-2147483648", {}, "0"},
    };
    for (const auto& row : cases) {
        scripted_device device(row.input);
        scripted_draws source(row.draws);
        {
            console::console console(device);
            dice::roll_dice_pool(console, source, row.sides);
        }
        EXPECT_EQ(device.transcript, pool_transcript(row.sides, row.total))
            << row.sides << " sides, count " << row.input;
        EXPECT_TRUE(source.all_used()) << row.sides << " sides, count " << row.input;
    }
}

TEST(RollPercentile, OneDrawReducedToOneToHundredWithoutAClear) {
    const std::array<std::pair<std::int32_t, const char*>, 4> draws_and_results = {
        {{99, "100"}, {100, "1"}, {199, "100"}, {0, "1"}}};
    for (const auto& [draw, result] : draws_and_results) {
        scripted_device device("");
        scripted_draws source({draw});
        {
            console::console console(device);
            dice::roll_percentile(console, source);
        }
        EXPECT_EQ(device.transcript,
                  std::string("You picked a Percentile dice. \nYou Rolled A ") + result + "\n");
        EXPECT_TRUE(source.all_used());
    }
}

}  // namespace
