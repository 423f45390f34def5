#include "dice/pool_sum.hpp"

#include <algorithm>
#include <system_error>
#include <thread>

// DICE_POOL_SUM_PORTABLE_ONLY builds the portable kernel alone, as compilers without GCC's
// target attributes (MSVC) do.
#if !defined(DICE_POOL_SUM_PORTABLE_ONLY) && (defined(__GNUC__) || defined(__clang__)) && \
    (defined(__x86_64__) || defined(__i386__))
#define DICE_POOL_SUM_X86 1
#include <immintrin.h>
#else
#define DICE_POOL_SUM_X86 0
#endif

namespace dice {

namespace {

// An affine map x -> mul * x + add modulo 2^32. Every power of the generator's step is one.
struct affine {
    std::uint32_t mul;
    std::uint32_t add;
};

constexpr affine jump(std::uint64_t steps) {
    affine result{1U, 0U};
    affine power{lcg_multiplier, lcg_increment};  // the step taken 2^bit times
    while (steps != 0U) {
        if ((steps & 1U) != 0U) {
            // Powers of one map commute, so the order of composition does not matter.
            result = affine{result.mul * power.mul, result.add * power.mul + power.add};
        }
        power = affine{power.mul * power.mul, power.add * (power.mul + 1U)};
        steps >>= 1U;
    }
    return result;
}

// Why the lanes work. Let J(x) = A x + B be 65536 steps. The multiplier is 1 mod 4 and not
// 1 mod 8, so A - 1 = 2^18 u with u odd; the increment is odd, so B = 2^16 w with w odd.
// For x = lo + 2^16 hi: J(x) = x + 2^18 (u lo mod 2^14) + B (mod 2^32), because 2^18 u x
// modulo 2^32 only sees x mod 2^14. So the low 16 bits come back and the high 16 bits move
// by (4 (u lo mod 2^14) + w) mod 2^16, an odd constant fixed by lo.
constexpr affine lane_jump = jump(65536U);
static_assert((lane_jump.mul - 1U) % (1U << 18U) == 0U && ((lane_jump.mul - 1U) >> 18U) % 2U == 1U,
              "65536 steps must multiply by 1 + 2^18 * odd");
static_assert(lane_jump.add % (1U << 16U) == 0U && (lane_jump.add >> 16U) % 2U == 1U,
              "65536 steps must add 2^16 * odd");

constexpr std::int32_t draw_values = 32768;  // a draw has 15 bits
constexpr std::int32_t half_lane = draw_values / 2;
constexpr std::uint64_t lane_count = 65536U;

// Below this many draws, stepping them one by one costs less than setting up 65536 lanes.
constexpr std::uint64_t lane_threshold = std::uint64_t{1} << 18U;
// Lane steps (draws actually stepped) from which a second thread pays for itself.
constexpr std::uint64_t thread_threshold = std::uint64_t{1} << 22U;

std::uint32_t rest_of(std::uint32_t draw, const detail::divisor& div) {
    const std::uint32_t quotient = ((draw * div.multiplier) >> 16U) >> div.shift;
    return draw - quotient * div.value;
}

// Sum of draw mod N over every one of the 32768 draw values.
std::uint64_t rests_over_all_draws(std::uint32_t n) {
    const std::uint64_t values = static_cast<std::uint64_t>(draw_values);
    if (n >= values) {
        return values * (values - 1U) / 2U;
    }
    const std::uint64_t full = values / n;
    const std::uint64_t partial = values % n;
    return full * (std::uint64_t{n} * (n - 1U) / 2U) + partial * (partial - 1U) / 2U;
}

// Sum of draw mod N over `count` draws after `state`, one at a time.
std::uint64_t rests_one_by_one(std::uint32_t state, std::uint64_t count,
                               const detail::divisor& div) {
    std::uint64_t total = 0;
    for (std::uint64_t drawn = 0; drawn < count; ++drawn) {
        state = next_state(state);
        total += rest_of(draw_of(state), div);
    }
    return total;
}

struct lane_plan {
    std::uint32_t start;     // the state before the run's first draw
    std::int32_t full_laps;  // Q: every lane has Q draws, lanes below `longer` have Q + 1
    std::uint32_t longer;    // R
    detail::divisor div;
    detail::lane_kernel kernel;
};

// Sum of draw mod N over lanes [begin, end), all of which have `laps` draws; `state` is the
// state of lane `begin`'s first draw and is left at that of lane `end`.
std::uint64_t sum_lanes(std::uint32_t& state, std::uint32_t begin, std::uint32_t end,
                        std::int32_t laps, const lane_plan& plan) {
    if (begin >= end) {
        return 0;
    }
    // A lane of 32768 draws has every draw value once, so a lane longer than half of that is
    // the known whole less its missing tail, which is shorter to step.
    const bool from_front = laps <= half_lane;
    const std::int32_t steps = from_front ? laps : draw_values - laps;
    const std::uint64_t whole_lane = rests_over_all_draws(plan.div.value);
    alignas(64) std::uint16_t high[detail::lanes_per_chunk];
    alignas(64) std::uint16_t step[detail::lanes_per_chunk];
    std::uint64_t total = 0;
    for (std::uint32_t lane = begin; lane < end;) {
        const std::uint32_t in_chunk = std::min<std::uint32_t>(
            end - lane, static_cast<std::uint32_t>(detail::lanes_per_chunk));
        for (std::uint32_t i = 0; i < in_chunk; ++i) {
            const auto d = detail::lane_step(static_cast<std::uint16_t>(state & 0xffffU));
            auto h = static_cast<std::uint32_t>(state >> 16U);
            if (!from_front) {
                h += static_cast<std::uint32_t>(laps) * d;
            }
            high[i] = static_cast<std::uint16_t>(h & 0xffffU);
            step[i] = d;
            state = next_state(state);
        }
        // Idle lanes sit on draw 0, whose rest is 0.
        for (std::uint32_t i = in_chunk; i < static_cast<std::uint32_t>(detail::lanes_per_chunk);
             ++i) {
            high[i] = 0;
            step[i] = 0;
        }
        const std::uint64_t stepped = steps > 0 ? plan.kernel(high, step, steps, plan.div) : 0U;
        total += from_front ? stepped : in_chunk * whole_lane - stepped;
        lane += in_chunk;
    }
    return total;
}

// Sum of draw mod N over lanes [begin, end) of the plan.
std::uint64_t sum_lane_span(const lane_plan& plan, std::uint32_t begin, std::uint32_t end) {
    std::uint32_t state = advance(plan.start, std::uint64_t{begin} + 1U);
    const std::uint32_t split = std::clamp(plan.longer, begin, end);
    std::uint64_t total = sum_lanes(state, begin, split, plan.full_laps + 1, plan);
    total += sum_lanes(state, split, end, plan.full_laps, plan);
    return total;
}

// Sum of draw mod N over `count` draws after `start`. Draw k (from 0) is in lane k mod 65536.
std::uint64_t rests_of_run(std::uint32_t start, std::uint64_t count, const detail::divisor& div,
                           const pool_options& options) {
    if (count < lane_threshold) {
        return rests_one_by_one(start, count, div);
    }
    const lane_plan plan{start, static_cast<std::int32_t>(count / lane_count),
                         static_cast<std::uint32_t>(count % lane_count), div,
                         detail::kernel_function(options.kernel)};
    const auto stepped_per_lane = [](std::int32_t laps) {
        return static_cast<std::uint64_t>(std::min(laps, draw_values - laps));
    };
    const std::uint64_t work = plan.longer * stepped_per_lane(plan.full_laps + 1) +
                               (lane_count - plan.longer) * stepped_per_lane(plan.full_laps);
    const auto lanes = static_cast<std::uint32_t>(lane_count);
    if (options.allow_threads && work >= thread_threshold &&
        std::thread::hardware_concurrency() > 1U) {
        const std::uint32_t middle = lanes / 2U;
        std::uint64_t upper = 0;
        try {
            std::thread helper([&] { upper = sum_lane_span(plan, middle, lanes); });
            const std::uint64_t lower = sum_lane_span(plan, 0U, middle);
            helper.join();
            return lower + upper;
        } catch (const std::system_error&) {
            // No second thread to be had: one thread gives the same sum.
        }
    }
    return sum_lane_span(plan, 0U, lanes);
}

// ---- lane kernels -------------------------------------------------------------------------

std::uint64_t portable_kernel(const std::uint16_t* h, const std::uint16_t* d, std::int32_t steps,
                              const detail::divisor& div) {
    constexpr int lanes = detail::lanes_per_chunk;
    std::uint16_t high[lanes];
    // A lane's sum stays below 32768 * 32767 < 2^32.
    std::uint32_t sums[lanes];
    for (int i = 0; i < lanes; ++i) {
        high[i] = h[i];
        sums[i] = 0;
    }
    for (std::int32_t j = 0; j < steps; ++j) {
        for (int i = 0; i < lanes; ++i) {
            sums[i] += rest_of(high[i] & 0x7fffU, div);
            high[i] = static_cast<std::uint16_t>(high[i] + d[i]);
        }
    }
    std::uint64_t total = 0;
    for (int i = 0; i < lanes; ++i) {
        total += sums[i];
    }
    return total;
}

#if DICE_POOL_SUM_X86

// The SIMD kernels keep a 16-bit running sum per lane and fold it into 32-bit sums before it
// can pass 32767, the most that their signed pairwise widening accepts.
std::int32_t steps_between_folds(const detail::divisor& div) {
    const std::uint32_t largest_rest = std::min<std::uint32_t>(div.value - 1U, 32767U);
    return largest_rest == 0U ? draw_values : static_cast<std::int32_t>(32767U / largest_rest);
}

// The divisor's 16-bit lane constants. A number of sides beyond every draw has multiplier 0,
// so its value never matters there.
std::int16_t lane_value(const detail::divisor& div) {
    return static_cast<std::int16_t>(div.value <= 32767U ? div.value : 0U);
}

__attribute__((target("avx2"))) std::uint64_t avx2_kernel(const std::uint16_t* h,
                                                          const std::uint16_t* d,
                                                          std::int32_t steps,
                                                          const detail::divisor& div) {
    constexpr int vectors = detail::lanes_per_chunk / 16;
    __m256i high[vectors];
    __m256i step[vectors];
    __m256i wide[vectors];  // each 32-bit sum holds two lanes: below 2 * 32768 * 32767 < 2^31
    for (int v = 0; v < vectors; ++v) {
        high[v] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(h + 16 * v));
        step[v] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + 16 * v));
        wide[v] = _mm256_setzero_si256();
    }
    const __m256i mask = _mm256_set1_epi16(0x7fff);
    const __m256i multiplier = _mm256_set1_epi16(static_cast<std::int16_t>(div.multiplier));
    const __m256i value = _mm256_set1_epi16(lane_value(div));
    const __m256i ones = _mm256_set1_epi16(1);
    const __m128i shift = _mm_cvtsi32_si128(div.shift);
    const std::int32_t fold = steps_between_folds(div);
    for (std::int32_t done = 0; done < steps;) {
        const std::int32_t run = std::min(fold, steps - done);
        __m256i narrow[vectors];
        for (int v = 0; v < vectors; ++v) {
            narrow[v] = _mm256_setzero_si256();
        }
        for (std::int32_t j = 0; j < run; ++j) {
            for (int v = 0; v < vectors; ++v) {
                const __m256i draw = _mm256_and_si256(high[v], mask);
                const __m256i quotient =
                    _mm256_srl_epi16(_mm256_mulhi_epu16(draw, multiplier), shift);
                const __m256i rest = _mm256_sub_epi16(draw, _mm256_mullo_epi16(quotient, value));
                narrow[v] = _mm256_add_epi16(narrow[v], rest);
                high[v] = _mm256_add_epi16(high[v], step[v]);
            }
        }
        for (int v = 0; v < vectors; ++v) {
            wide[v] = _mm256_add_epi32(wide[v], _mm256_madd_epi16(narrow[v], ones));
        }
        done += run;
    }
    std::uint64_t total = 0;
    for (int v = 0; v < vectors; ++v) {
        alignas(32) std::uint32_t parts[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(parts), wide[v]);
        for (const std::uint32_t part : parts) {
            total += part;
        }
    }
    return total;
}

__attribute__((target("avx512f,avx512bw"))) std::uint64_t avx512_kernel(
    const std::uint16_t* h, const std::uint16_t* d, std::int32_t steps,
    const detail::divisor& div) {
    constexpr int vectors = detail::lanes_per_chunk / 32;
    __m512i high[vectors];
    __m512i step[vectors];
    __m512i wide[vectors];  // each 32-bit sum holds two lanes: below 2 * 32768 * 32767 < 2^31
    for (int v = 0; v < vectors; ++v) {
        high[v] = _mm512_loadu_si512(h + 32 * v);
        step[v] = _mm512_loadu_si512(d + 32 * v);
        wide[v] = _mm512_setzero_si512();
    }
    const __m512i mask = _mm512_set1_epi16(0x7fff);
    const __m512i multiplier = _mm512_set1_epi16(static_cast<std::int16_t>(div.multiplier));
    const __m512i value = _mm512_set1_epi16(lane_value(div));
    const __m512i ones = _mm512_set1_epi16(1);
    const __m128i shift = _mm_cvtsi32_si128(div.shift);
    const std::int32_t fold = steps_between_folds(div);
    for (std::int32_t done = 0; done < steps;) {
        const std::int32_t run = std::min(fold, steps - done);
        __m512i narrow[vectors];
        for (int v = 0; v < vectors; ++v) {
            narrow[v] = _mm512_setzero_si512();
        }
        for (std::int32_t j = 0; j < run; ++j) {
            for (int v = 0; v < vectors; ++v) {
                const __m512i draw = _mm512_and_si512(high[v], mask);
                const __m512i quotient =
                    _mm512_srl_epi16(_mm512_mulhi_epu16(draw, multiplier), shift);
                const __m512i rest = _mm512_sub_epi16(draw, _mm512_mullo_epi16(quotient, value));
                narrow[v] = _mm512_add_epi16(narrow[v], rest);
                high[v] = _mm512_add_epi16(high[v], step[v]);
            }
        }
        for (int v = 0; v < vectors; ++v) {
            wide[v] = _mm512_add_epi32(wide[v], _mm512_madd_epi16(narrow[v], ones));
        }
        done += run;
    }
    std::uint64_t total = 0;
    for (int v = 0; v < vectors; ++v) {
        alignas(64) std::uint32_t parts[16];
        _mm512_store_si512(parts, wide[v]);
        for (const std::uint32_t part : parts) {
            total += part;
        }
    }
    return total;
}

#endif

}  // namespace

std::uint32_t advance(std::uint32_t state, std::uint64_t steps) {
    const affine map = jump(steps);
    return state * map.mul + map.add;
}

bool kernel_supported(pool_kernel kernel) {
    switch (kernel) {
        case pool_kernel::portable:
            return true;
#if DICE_POOL_SUM_X86
        case pool_kernel::avx2:
            return __builtin_cpu_supports("avx2") != 0;
        case pool_kernel::avx512:
            return __builtin_cpu_supports("avx512f") != 0 &&
                   __builtin_cpu_supports("avx512bw") != 0;
#else
        case pool_kernel::avx2:
        case pool_kernel::avx512:
            return false;
#endif
    }
    return false;
}

pool_kernel fastest_kernel() {
    static const pool_kernel fastest = [] {
        if (kernel_supported(pool_kernel::avx512)) {
            return pool_kernel::avx512;
        }
        if (kernel_supported(pool_kernel::avx2)) {
            return pool_kernel::avx2;
        }
        return pool_kernel::portable;
    }();
    return fastest;
}

std::int64_t sum_of_dice(std::uint32_t& state, std::int32_t sides, std::int32_t count) {
    return sum_of_dice(state, sides, count, pool_options{});
}

std::int64_t sum_of_dice(std::uint32_t& state, std::int32_t sides, std::int32_t count,
                         const pool_options& options) {
    if (count <= 0) {
        return 0;
    }
    const std::uint32_t start = state;
    const auto draws = static_cast<std::uint64_t>(count);
    state = advance(start, draws);
    // r % sides for r >= 0 is r % |sides| in C++.
    const std::uint32_t magnitude =
        sides < 0 ? 0U - static_cast<std::uint32_t>(sides) : static_cast<std::uint32_t>(sides);
    if (magnitude <= 1U) {
        return count;
    }
    const detail::divisor div = detail::make_divisor(magnitude);
    std::uint64_t rests = 0;
    if ((magnitude & (magnitude - 1U)) == 0U &&
        magnitude <= static_cast<std::uint32_t>(draw_values)) {
        // A die of 2^k sides reads state bits 16..15+k, so only the state mod 2^(16+k) matters,
        // and that is a full-period generator of its own: every 2^(16+k) draws it is back, having
        // shown each face 2^16 times. The leftover draws read the same faces as the first ones,
        // and when they are most of a period, the rest of that period is shorter to step.
        const std::uint64_t period = lane_count * magnitude;
        const std::uint64_t period_rests =
            lane_count * (std::uint64_t{magnitude} * (magnitude - 1U) / 2U);
        const std::uint64_t periods = draws / period;
        const std::uint64_t leftover = draws % period;
        if (leftover <= period / 2U) {
            rests = periods * period_rests + rests_of_run(start, leftover, div, options);
        } else {
            rests = (periods + 1U) * period_rests -
                    rests_of_run(advance(start, leftover), period - leftover, div, options);
        }
    } else {
        rests = rests_of_run(start, draws, div, options);
    }
    return static_cast<std::int64_t>(rests) + count;
}

namespace detail {

divisor make_divisor(std::uint32_t value) {
    if (value > 32767U) {
        return divisor{value, 0U, 0U};
    }
    if (value <= 1U) {
        // x / 1 needs a multiplier of 2^16; the callers never divide by 1.
        return divisor{1U, 0U, 0U};
    }
    std::uint16_t log2 = 0;
    while ((2U << log2) <= value) {
        ++log2;
    }
    if ((value & (value - 1U)) == 0U) {
        return divisor{value, static_cast<std::uint16_t>(1U << (16U - log2)), 0U};
    }
    // With s = floor(log2 N) and m = ceil(2^(16+s) / N): m < 2^16 because N > 2^s, and for
    // x = qN + t < 2^15, x m / 2^(16+s) = q + (t + x e / 2^(16+s)) / N with e = mN - 2^(16+s)
    // < N, where x e / 2^(16+s) < 2^15 N / 2^(16+s) = N / 2^(s+1) < 1, so the floor is q.
    const std::uint32_t power = 1U << (16U + log2);
    const std::uint32_t multiplier = (power + value - 1U) / value;
    return divisor{value, static_cast<std::uint16_t>(multiplier), log2};
}

lane_kernel kernel_function(pool_kernel kernel) {
#if DICE_POOL_SUM_X86
    if (kernel == pool_kernel::avx512 && kernel_supported(kernel)) {
        return avx512_kernel;
    }
    if (kernel == pool_kernel::avx2 && kernel_supported(kernel)) {
        return avx2_kernel;
    }
#else
    static_cast<void>(kernel);
#endif
    return portable_kernel;
}

std::uint16_t lane_step(std::uint16_t low_bits) {
    // With high bits 0 the high half after 65536 steps is the move itself.
    const std::uint32_t moved = low_bits * lane_jump.mul + lane_jump.add;
    return static_cast<std::uint16_t>(moved >> 16U);
}

}  // namespace detail

}  // namespace dice
