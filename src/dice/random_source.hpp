#pragma once

#include <cstdint>

#include "console/console.hpp"
#include "dice/pool_sum.hpp"

namespace dice {

// Where every die of the program gets its draw from. The roll procedures take one of
// these, so a test can hand them scripted draws.
class random_source {
public:
    random_source() = default;
    random_source(const random_source&) = delete;
    random_source& operator=(const random_source&) = delete;
    virtual ~random_source() = default;

    // Seeds from the calendar time in whole seconds; done once per process.
    virtual void seed_from_clock() = 0;

    // One draw, from 0 to 32767.
    virtual std::int32_t next_draw() = 0;

    // The total of `count` dice of `sides` sides: exactly what `count` calls of roll_die in
    // a row would add up to, leaving the source where they would leave it. A pool is one
    // call, so a source can sum it far faster than die by die.
    virtual std::int64_t sum_of_dice(std::int32_t sides, std::int32_t count);
};

// The program's generator: the classic 32-bit linear congruential generator with a 15-bit
// output, so one seed gives the same rolls on every platform.
class linear_congruential_source final : public random_source {
public:
    explicit linear_congruential_source(std::uint32_t seed = 1U) : state_(seed) {}

    void seed_from_clock() override;
    std::int32_t next_draw() override {
        state_ = next_state(state_);
        return static_cast<std::int32_t>(draw_of(state_));
    }
    std::int64_t sum_of_dice(std::int32_t sides, std::int32_t count) override;

    void seed(std::uint32_t value) { state_ = value; }
    [[nodiscard]] std::uint32_t state() const { return state_; }

private:
    std::uint32_t state_;
};

// The low 32 bits of a calendar time, which is what seeds the generator.
std::uint32_t seed_from_time(std::int64_t seconds);

// One die of `sides` sides (at least 1): one draw, reduced to a face from 1 to `sides`.
std::int32_t roll_die(random_source& source, std::int32_t sides);

// Menu choices 2 to 7: asks how many dice of `sides` sides and shows their total.
void roll_dice_pool(console::console& console, random_source& source, std::int32_t sides);

// Menu choice 8: one die of 100 sides.
void roll_percentile(console::console& console, random_source& source);

}  // namespace dice
