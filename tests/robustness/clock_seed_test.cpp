#include <gtest/gtest.h>

#include <cstdint>

#include "dice/random_source.hpp"

namespace {

// A clock past 2038 (or before 1970) has a time that needs more than 32 bits; the seed is
// its low 32 bits, so such a clock still seeds, and the same way on every platform.
TEST(ClockSeed, TakesTheLow32BitsOfA64BitTime) {
    struct case_row {
        std::int64_t seconds;
        std::uint32_t seed;
    };
    constexpr std::int64_t two_to_the_32 = std::int64_t{1} << 32;
    for (const case_row row : {
             case_row{2147483647, 2147483647U},  // the last second of 32-bit time
             case_row{2147483648, 2147483648U},  // 2038-01-19 03:14:08
             case_row{4102444800, 4102444800U},  // 2100-01-01
             case_row{two_to_the_32, 0U},        // 2106-02-07 06:28:16
             case_row{two_to_the_32 + 1, 1U},
             case_row{253402300799, 253402300799 % two_to_the_32},  // 9999-12-31 23:59:59
             case_row{-1, 0xffffffffU},
             case_row{INT64_MAX, 0xffffffffU},
             case_row{INT64_MIN, 0U},
         }) {
        EXPECT_EQ(dice::seed_from_time(row.seconds), row.seed) << row.seconds;
    }
}

TEST(ClockSeed, ALate64BitTimeDrawsLikeItsLowBits) {
    // 2^32 + 1 seconds: the same draws as seed 1.
    dice::linear_congruential_source source;
    source.seed(dice::seed_from_time((std::int64_t{1} << 32) + 1));
    for (const std::int32_t draw : {41, 18467, 6334, 26500, 19169}) {
        EXPECT_EQ(source.next_draw(), draw);
    }
}

}  // namespace
