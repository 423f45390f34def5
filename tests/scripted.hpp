#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.hpp"
#include "console/device.hpp"
#include "dice/random_source.hpp"

namespace testing_support {

// A console device fed from a string. The transcript it keeps is exactly what the program
// writes to a pipe: the pause shows its prompt and a line break, a clear is a form feed.
class scripted_device final : public console::device {
public:
    explicit scripted_device(std::string input, std::size_t chunk = 4096)
        : input_(std::move(input)), chunk_(chunk) {}

    void write(std::string_view bytes) override { transcript.append(bytes); }
    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t count = std::min({size, chunk_, input_.size() - position_});
        input_.copy(buffer, count, position_);
        position_ += count;
        ++reads;
        return count;
    }
    void wait_for_key() override { ++keys_waited_for; }
    void clear_screen() override { transcript.append("\f"); }
    [[nodiscard]] bool output_is_terminal() const override { return false; }

    std::string transcript;
    int reads = 0;
    int keys_waited_for = 0;

private:
    std::string input_;
    std::size_t position_ = 0;
    std::size_t chunk_;
};

// A random source that hands out a fixed list of draws, and fails the test when asked for
// more than the list holds.
class scripted_draws final : public dice::random_source {
public:
    explicit scripted_draws(std::vector<std::int32_t> draws) : draws_(std::move(draws)) {}

    void seed_from_clock() override { ++seedings; }
    std::int32_t next_draw() override {
        if (used >= draws_.size()) {
            ADD_FAILURE() << "more draws taken than scripted (" << draws_.size() << ")";
            return 0;
        }
        return draws_[used++];
    }

    [[nodiscard]] bool all_used() const { return used == draws_.size(); }

    std::size_t used = 0;
    int seedings = 0;

private:
    std::vector<std::int32_t> draws_;
};

// A draw that gives `face` on a die of `sides` sides.
constexpr std::int32_t draw_for(std::int32_t face) { return face - 1; }

// The draws that give these faces, one die after the other.
inline std::vector<std::int32_t> draws_for(const std::vector<std::int32_t>& faces) {
    std::vector<std::int32_t> draws;
    draws.reserve(faces.size());
    for (const std::int32_t face : faces) {
        draws.push_back(draw_for(face));
    }
    return draws;
}

}  // namespace testing_support
