#include "dice/pool_sum.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <vector>

#include "dice/random_source.hpp"
#include "pool_sum_reference.hpp"

namespace {

using dice::pool_kernel;

std::vector<pool_kernel> supported_kernels() {
    std::vector<pool_kernel> kernels;
    for (const auto kernel : {pool_kernel::portable, pool_kernel::avx2, pool_kernel::avx512}) {
        if (dice::kernel_supported(kernel)) {
            kernels.push_back(kernel);
        }
    }
    return kernels;
}

const char* name_of(pool_kernel kernel) {
    switch (kernel) {
        case pool_kernel::portable:
            return "portable";
        case pool_kernel::avx2:
            return "avx2";
        case pool_kernel::avx512:
            return "avx512";
    }
    return "?";
}

const std::uint32_t seeds[] = {1U, 0U, 0xffffffffU, 0x9e3779b9U};

TEST(AdvanceTest, LandsWhereSteppingOneByOneLands) {
    for (const std::uint32_t seed : seeds) {
        std::uint32_t stepped = seed;
        for (std::uint64_t steps = 0; steps <= 200000U; ++steps) {
            if (steps <= 300U || steps % 65536U == 0U || steps == 200000U) {
                ASSERT_EQ(dice::advance(seed, steps), stepped) << "seed " << seed << ", " << steps;
            }
            stepped = stepped * 214013U + 2531011U;
        }
        // The generator's period is 2^32.
        EXPECT_EQ(dice::advance(seed, std::uint64_t{1} << 32U), seed);
        EXPECT_EQ(dice::advance(seed, (std::uint64_t{1} << 32U) + 7U), dice::advance(seed, 7U));
        EXPECT_EQ(dice::advance(dice::advance(seed, 123456789U), 987654321U),
                  dice::advance(seed, 123456789U + 987654321U));
    }
}

TEST(DivisorTest, DividesEveryDrawExactly) {
    std::vector<std::uint32_t> values;
    for (std::uint32_t value = 2; value <= 1100U; ++value) {
        values.push_back(value);
    }
    for (const std::uint32_t value : {4095U, 4096U, 4097U, 16383U, 16384U, 16385U, 21845U, 32766U,
                                      32767U, 32768U, 32769U, 1U << 20U, 2147483648U}) {
        values.push_back(value);
    }
    for (const std::uint32_t value : values) {
        const dice::detail::divisor div = dice::detail::make_divisor(value);
        for (std::uint32_t draw = 0; draw < 32768U; ++draw) {
            const std::uint32_t quotient = ((draw * div.multiplier) >> 16U) >> div.shift;
            ASSERT_EQ(quotient, draw / value) << "draw " << draw << " over " << value;
        }
    }
}

TEST(LaneStepTest, EveryLowHalfComesBackAndTheHighHalfMovesByAnOddStep) {
    std::mt19937 random(6U);
    for (std::uint32_t low = 0; low < 65536U; ++low) {
        const std::uint32_t state = (static_cast<std::uint32_t>(random()) << 16U) | low;
        const std::uint32_t later = dice::advance(state, 65536U);
        ASSERT_EQ(later & 0xffffU, low);
        const auto step = dice::detail::lane_step(static_cast<std::uint16_t>(low));
        ASSERT_EQ(static_cast<std::uint16_t>((later >> 16U) - (state >> 16U)), step);
        ASSERT_EQ(step % 2U, 1U);
    }
}

// Each kernel against the lanes stepped one draw at a time, across the points where the
// kernels fold their narrow running sums into wide ones.
TEST(LaneKernelTest, EveryKernelSumsLanesLikeTheirDrawsOneByOne) {
    std::mt19937 random(2026U);
    for (const std::uint32_t value :
         {2U, 3U, 6U, 7U, 10U, 20U, 100U, 4097U, 32767U, 32768U, 40000U}) {
        const dice::detail::divisor div = dice::detail::make_divisor(value);
        const std::int32_t fold = static_cast<std::int32_t>(32767U / std::min(value - 1U, 32767U));
        for (const std::int32_t steps :
             {0, 1, 2, fold - 1, fold, fold + 1, 2 * fold + 3, 16384, 32768}) {
            if (steps < 0 || steps > 32768) {
                continue;
            }
            std::uint16_t high[dice::detail::lanes_per_chunk];
            std::uint16_t step[dice::detail::lanes_per_chunk];
            std::uint64_t expected = 0;
            for (int lane = 0; lane < dice::detail::lanes_per_chunk; ++lane) {
                high[lane] = static_cast<std::uint16_t>(random());
                step[lane] = static_cast<std::uint16_t>(random());
                std::uint16_t h = high[lane];
                for (std::int32_t j = 0; j < steps; ++j) {
                    expected += (h & 0x7fffU) % value;
                    h = static_cast<std::uint16_t>(h + step[lane]);
                }
            }
            for (const pool_kernel kernel : supported_kernels()) {
                EXPECT_EQ(dice::detail::kernel_function(kernel)(high, step, steps, div), expected)
                    << name_of(kernel) << ", " << value << " sides, " << steps << " steps";
            }
        }
    }
}

// The contract itself: the generator's own sum against roll_die on a twin generator.
TEST(PoolSumTest, SmallPoolsEqualRollDieCallsOnTheSameGenerator) {
    const std::int32_t sides_list[] = {1,  2,   3,  4,     6,     7,     8,       10,     12,
                                       20, 100, -6, 32767, 32768, 40000, INT_MAX, INT_MIN};
    const std::int32_t counts[] = {INT_MIN, -5, 0, 1, 2, 3, 64, 1000};
    for (const std::uint32_t seed : seeds) {
        for (const std::int32_t sides : sides_list) {
            for (const std::int32_t count : counts) {
                dice::linear_congruential_source pooled(seed);
                dice::linear_congruential_source one_by_one(seed);
                std::int64_t expected = 0;
                for (std::int32_t dicerolled = 0; dicerolled < count; ++dicerolled) {
                    expected += dice::roll_die(one_by_one, sides);
                }
                EXPECT_EQ(pooled.sum_of_dice(sides, count), expected)
                    << "seed " << seed << ", " << count << " dice of " << sides;
                EXPECT_EQ(pooled.state(), one_by_one.state())
                    << "seed " << seed << ", " << count << " dice of " << sides;
            }
        }
    }
}

// Die by die, 0 sides would divide by zero; a pool of them counts each die as 1 instead and
// still takes one draw per die.
TEST(PoolSumTest, DiceOfNoSidesCountOneEachAndStillDraw) {
    for (const std::int32_t count : {1, 1000, 1 << 20}) {
        std::uint32_t state = 7U;
        EXPECT_EQ(dice::sum_of_dice(state, 0, count), count);
        EXPECT_EQ(state, dice::advance(7U, static_cast<std::uint64_t>(count)));
    }
}

// Counts on both sides of where the lanes start (2^18 draws), of whole lane laps (65536),
// of chunks of 64 lanes, of the middle lane where the second thread starts, of the second
// thread's threshold (2^22 draws stepped) and of the periods of 4 and 8 sides (2^18, 2^19)
// and their halves.
TEST(PoolSumTest, EqualsThePlainLoopAroundEveryBoundaryWithEveryKernel) {
    const std::int32_t lanes = 65536;
    const std::int32_t lane_start = 1 << 18;
    std::vector<std::int32_t> counts = {
        1,
        lanes - 1,
        lanes,
        lanes + 1,
        lane_start / 2 - 1,
        lane_start / 2,
        lane_start / 2 + 1,
        lane_start - 1,
        lane_start,
        lane_start + 1,
        lane_start + 63,
        lane_start + 64,
        lane_start + 65,
        lane_start + lanes / 2 - 1,
        lane_start + lanes / 2,
        lane_start + lanes / 2 + 1,
        2 * lane_start - 1,
        2 * lane_start,
        2 * lane_start + 1,
        3 * lane_start / 2 + 1,
        3 * lane_start + 1,
        7 * lanes + 12345,
        (1 << 22) - lanes - 1,
        (1 << 22) - 1,
        1 << 22,
        (1 << 22) + lanes / 2 + 100,
        (1 << 22) + 4 * lanes + 7,
    };
    std::sort(counts.begin(), counts.end());
    const std::int32_t sides_list[] = {3, 4, 6, 7, 8, 10, 12, 20, 100, -6};
    for (const std::uint32_t seed : seeds) {
        for (const std::int32_t sides : sides_list) {
            std::uint32_t plain_state = seed;
            std::int64_t plain_total = 0;
            std::int32_t drawn = 0;
            for (const std::int32_t count : counts) {
                plain_total += pool_reference::plain_sum(plain_state, sides, count - drawn);
                drawn = count;
                for (const pool_kernel kernel : supported_kernels()) {
                    for (const bool threads : {false, true}) {
                        std::uint32_t state = seed;
                        const std::int64_t total = dice::sum_of_dice(
                            state, sides, count, dice::pool_options{kernel, threads});
                        ASSERT_EQ(total, plain_total)
                            << "seed " << seed << ", " << count << " dice of " << sides << ", "
                            << name_of(kernel) << (threads ? ", threads" : "");
                        ASSERT_EQ(state, plain_state)
                            << "seed " << seed << ", " << count << " dice of " << sides;
                    }
                }
            }
        }
    }
}

// The largest pools against one plain run of 2^31 - 1 draws: counts on both sides of half a
// lane (16384 laps, where a lane turns to being summed from its end), of 2^30 and of the
// largest count, where every lane is all but whole.
TEST(PoolSumTest, HugePoolsEqualOnePlainRun) {
    const std::int32_t lanes = 65536;
    const std::vector<std::int32_t> counts = {
        (1 << 30) - lanes - 1,
        (1 << 30) - 1,
        1 << 30,
        (1 << 30) + 1,
        (1 << 30) + 2 * lanes + 40000,
        1500000000,
        INT_MAX - lanes,
        INT_MAX - 1,
        INT_MAX,
    };
    const std::uint32_t seed = 20261211U;
    const std::vector<pool_reference::checkpoint> points =
        pool_reference::draw_counts(seed, counts);
    for (const pool_reference::checkpoint& point : points) {
        for (const std::int32_t sides : {2, 3, 4, 6, 7, 8, 10, 12, 20, 100, -20, 32767}) {
            std::uint32_t state = seed;
            EXPECT_EQ(dice::sum_of_dice(state, sides, point.count),
                      pool_reference::total_of(point, sides))
                << point.count << " dice of " << sides;
            EXPECT_EQ(state, point.state) << point.count << " dice of " << sides;
        }
        std::uint32_t state = seed;
        EXPECT_EQ(dice::sum_of_dice(state, 6, point.count,
                                    dice::pool_options{dice::fastest_kernel(), false}),
                  pool_reference::total_of(point, 6))
            << point.count << " dice of 6 on one thread";
    }
}

}  // namespace
