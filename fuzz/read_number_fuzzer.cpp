// Drives console::console::read_number over arbitrary bytes, fed in pieces of a size the
// input chooses, and compares every number with a plain reader written for this check.
// Properties: every read ends, each consumes input and never more than it asks for, the
// prompt written before a read is out before the read waits, the end of input ends the
// reading, and every value is the one the simple reader gets.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "console/console.hpp"
#include "fuzz_support.hpp"

namespace {

using fuzz_support::require;

// The rules of a read, written as plainly as possible and independently of the console:
// white space, at most one sign, white space again, then decimal digits taken modulo 2^32
// into the signed range; a word that starts with no digit reads as 0 and is consumed up to
// the next white space; nothing before the first digit means the input has ended.
class simple_reader {
  public:
    explicit simple_reader(std::string_view input) : input_(input) {}

    std::optional<std::int32_t> next() {
        skip_white_space();
        bool negative = false;
        if (position < input_.size() && (input_[position] == '+' || input_[position] == '-')) {
            negative = input_[position] == '-';
            ++position;
            skip_white_space();
        }
        if (position == input_.size()) {
            return std::nullopt;
        }
        if (!is_digit(input_[position])) {
            while (position < input_.size() && !is_white_space(input_[position])) {
                ++position;
            }
            return 0;
        }
        constexpr std::int64_t modulus = std::int64_t{1} << 32;
        std::int64_t value = 0;
        while (position < input_.size() && is_digit(input_[position])) {
            value = (value * 10 + (input_[position] - '0')) % modulus;
            ++position;
        }
        if (negative) {
            value = (modulus - value) % modulus;
        }
        return static_cast<std::int32_t>(value >= modulus / 2 ? value - modulus : value);
    }

    std::size_t position = 0;  // the first byte not consumed

  private:
    static bool is_digit(char character) { return character >= '0' && character <= '9'; }
    static bool is_white_space(char character) {
        return std::string_view(" \t\n\v\f\r").find(character) != std::string_view::npos;
    }
    void skip_white_space() {
        while (position < input_.size() && is_white_space(input_[position])) {
            ++position;
        }
    }

    std::string_view input_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t chunk = fuzz_support::chunk_from(data[0]);
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

    fuzz_support::fuzz_device device(input, chunk);
    simple_reader expected_reader(input);
    std::size_t reads = 0;
    {
        console::console console(device);
        for (;;) {
            // Each prompt must be on the console before the read waits for its answer.
            const std::string prompt = "?" + std::to_string(reads);
            console.write_text(prompt);
            device.output_due_before_reading = prompt;

            const std::optional<std::int32_t> expected = expected_reader.next();
            std::optional<std::int32_t> value;
            try {
                value = console.read_number();
            } catch (const console::input_ended&) {
                value = std::nullopt;
            }
            require(device.transcript.ends_with(prompt), "the prompt is not the last output");
            require(value == expected, "the value differs from the simple reader's");
            if (!value) {
                require(expected_reader.position == input.size(), "input ended early");
                break;
            }
            // Everything consumed has been taken from the device, and at most one piece more.
            require(device.position >= expected_reader.position, "consumed what was never read");
            require(chunk == std::string_view::npos ||
                        device.position <= expected_reader.position + chunk,
                    "took more input than the number needed");
            ++reads;
            require(reads <= input.size(), "a read consumed nothing");
        }
    }
    require(device.reads_at_end <= fuzz_support::most_reads_at_end,
            "went on reading after the end of input");
    return 0;
}
