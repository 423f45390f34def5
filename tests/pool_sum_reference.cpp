#include "pool_sum_reference.hpp"

namespace pool_reference {

namespace {

std::uint32_t step(std::uint32_t state) {
    return state * 214013U + 2531011U;
}
std::int32_t draw_of(std::uint32_t state) {
    return static_cast<std::int32_t>((state >> 16U) & 0x7fffU);
}

}  // namespace

std::int64_t plain_sum(std::uint32_t& state, std::int32_t sides, std::int32_t count) {
    std::int64_t total = 0;
    for (std::int32_t dicerolled = 0; dicerolled < count; ++dicerolled) {
        state = step(state);
        total += draw_of(state) % sides + 1;
    }
    return total;
}

std::vector<checkpoint> draw_counts(std::uint32_t seed, const std::vector<std::int32_t>& counts) {
    std::vector<checkpoint> points;
    std::vector<std::uint32_t> times(32768U, 0U);
    std::uint32_t state = seed;
    std::int32_t drawn = 0;
    for (const std::int32_t count : counts) {
        for (; drawn < count; ++drawn) {
            state = step(state);
            ++times[static_cast<std::size_t>(draw_of(state))];
        }
        points.push_back(checkpoint{count, state, times});
    }
    return points;
}

std::int64_t total_of(const checkpoint& point, std::int32_t sides) {
    std::int64_t total = 0;
    for (std::int32_t draw = 0; draw < 32768; ++draw) {
        total += static_cast<std::int64_t>(point.times_drawn[static_cast<std::size_t>(draw)]) *
                 (draw % sides + 1);
    }
    return total;
}

}  // namespace pool_reference
