#pragma once

#include <cstdint>

// Sums of dice drawn from the program's 32-bit linear congruential generator
//     state = state * 214013 + 2531011 (mod 2^32), draw = bits 16..30 of the new state,
// computed from the generator's structure instead of die by die, so that a pool of up to
// 2147483647 dice is answered at once and exactly.
//
// The structure used (see pool_sum.cpp for the proofs):
// - Jumping ahead n steps is again an affine map, found by repeated squaring in O(log n).
// - Every 65536 steps the low 16 bits of the state come back, and the high 16 bits have moved
//   on by an odd constant that depends only on those low bits. So the draws at positions
//   i, i + 65536, i + 2*65536, ... form an arithmetic progression modulo 2^15 whose step is
//   odd: 32768 of them are every draw value exactly once. The run is cut into these 65536
//   lanes, each lane is summed from whichever end is shorter, and many lanes are summed side
//   by side (SIMD where the processor has it, both cores for long runs).
// - For a die of 2^k sides the face depends only on the state modulo 2^(16+k), which repeats
//   every 2^(16+k) draws with every value once, so whole periods have a known sum.
namespace dice {

inline constexpr std::uint32_t lcg_multiplier = 214013U;
inline constexpr std::uint32_t lcg_increment = 2531011U;

// One step of the generator: the state after `state`.
constexpr std::uint32_t next_state(std::uint32_t state) {
    return state * lcg_multiplier + lcg_increment;
}

// The draw, from 0 to 32767, that a freshly stepped state shows.
constexpr std::uint32_t draw_of(std::uint32_t state) { return (state >> 16U) & 0x7fffU; }

// The state `steps` draws after `state`, in O(log steps).
std::uint32_t advance(std::uint32_t state, std::uint64_t steps);

// How the lanes are stepped. Every kernel gives the same results; the choice is speed only.
enum class pool_kernel { portable, avx2, avx512 };

// Whether this build and this processor can run `kernel`.
bool kernel_supported(pool_kernel kernel);

// The fastest kernel that kernel_supported accepts.
pool_kernel fastest_kernel();

struct pool_options {
    pool_kernel kernel = fastest_kernel();
    // Long runs are split over two threads when the machine has more than one core.
    bool allow_threads = true;
};

// The total of `count` dice of `sides` sides drawn from `state`, each die being
// (draw % sides) + 1, and `state` moved on by `count` draws: exactly what `count` such dice
// in a row give. A count of 0 or less draws nothing and totals 0. A negative number of sides
// reduces like C++'s `%` does, by its magnitude. A die of 0 sides has no face (die by die it
// would divide by zero); here each such die counts 1 and still takes its draw.
std::int64_t sum_of_dice(std::uint32_t& state, std::int32_t sides, std::int32_t count);
std::int64_t sum_of_dice(std::uint32_t& state, std::int32_t sides, std::int32_t count,
                         const pool_options& options);

namespace detail {

// x / divisor for every 15-bit x as ((x * multiplier) >> 16) >> shift, with a 16-bit
// multiplier, so that SIMD lanes of 16 bits can divide by multiplying.
struct divisor {
    std::uint32_t value;       // the number of sides' magnitude, at least 1
    std::uint16_t multiplier;  // 0 when value exceeds every draw (x / value is always 0)
    std::uint16_t shift;
};

divisor make_divisor(std::uint32_t value);

// Sum over j in [0, steps) and over the 64 lanes of ((h[lane] + j * d[lane]) & 0x7fff) mod
// div.value, with 16-bit wrap-around. steps is at most 32768.
using lane_kernel = std::uint64_t (*)(const std::uint16_t* h, const std::uint16_t* d,
                                      std::int32_t steps, const divisor& div);
inline constexpr int lanes_per_chunk = 64;
lane_kernel kernel_function(pool_kernel kernel);

// How far the high 16 bits of a state with these low 16 bits move in 65536 draws.
std::uint16_t lane_step(std::uint16_t low_bits);

}  // namespace detail

}  // namespace dice
