#pragma once

#include <cstdint>
#include <vector>

// The plain, die-by-die definition of a pool over the program's generator, compiled with
// optimisation even in debug builds so that tests can afford billions of draws with it.
namespace pool_reference {

// `count` dice in a row, each (draw % sides) + 1, moving `state` one step per die.
std::int64_t plain_sum(std::uint32_t& state, std::int32_t sides, std::int32_t count);

// Where one long plain run from a seed stood after `count` draws: the state, and how many
// times each of the 32768 draw values had come.
struct checkpoint {
    std::int32_t count;
    std::uint32_t state;
    std::vector<std::uint32_t> times_drawn;
};

// One plain run from `seed`, noted at each of `counts` (ascending, positive).
std::vector<checkpoint> draw_counts(std::uint32_t seed, const std::vector<std::int32_t>& counts);

// The total of a pool of dice of `sides` sides whose draws are those of the checkpoint.
std::int64_t total_of(const checkpoint& point, std::int32_t sides);

}  // namespace pool_reference
