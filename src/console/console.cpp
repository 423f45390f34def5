#include "console/console.hpp"

#include <array>

namespace console {
namespace {

constexpr std::size_t input_chunk = 4096;

bool is_white_space(int character) {
    switch (character) {
        case ' ':
        case '\t':
        case '\n':
        case '\v':
        case '\f':
        case '\r':
            return true;
        default:
            return false;
    }
}

bool is_digit(int character) { return character >= '0' && character <= '9'; }

}  // namespace

std::string format_number(std::int64_t value) {
    // Work on the magnitude as unsigned so the most negative value has a magnitude too.
    auto magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        magnitude = 0 - magnitude;
    }
    std::array<char, 20> digits{};
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);

    std::string text;
    text.reserve(count + 1);
    if (value < 0) {
        text.push_back('-');
    }
    while (count > 0) {
        text.push_back(digits[--count]);
    }
    return text;
}

console::console(device& target) : target_(target) {}

console::~console() { flush(); }

void console::write_text(std::string_view text) { pending_output_.append(text); }

void console::write_number(std::int64_t value) { pending_output_.append(format_number(value)); }

void console::flush() {
    if (!pending_output_.empty()) {
        target_.write(pending_output_);
        pending_output_.clear();
    }
}

int console::peek() {
    if (input_position_ == input_.size()) {
        if (input_at_end_) {
            // A terminal reports its end once; asking again would wait for more typing.
            return -1;
        }
        // About to wait for the user: the prompt must be on the console first.
        flush();
        input_.resize(input_chunk);
        const std::size_t received = target_.read(input_.data(), input_.size());
        input_.resize(received);
        input_position_ = 0;
        if (received == 0) {
            input_at_end_ = true;
            return -1;
        }
    }
    return static_cast<unsigned char>(input_[input_position_]);
}

void console::skip_white_space() {
    while (is_white_space(peek())) {
        ++input_position_;
    }
}

void console::end_of_input() {
    // The shell's prompt should not start behind our last prompt.
    if (target_.output_is_terminal()) {
        write_text("\n");
    }
    flush();
    throw input_ended{};
}

std::int32_t console::read_number() {
    flush();
    skip_white_space();
    bool negative = false;
    if (const int sign = peek(); sign == '+' || sign == '-') {
        negative = sign == '-';
        ++input_position_;
        skip_white_space();
    }
    const int first = peek();
    if (first < 0) {
        end_of_input();
    }
    if (!is_digit(first)) {
        // Not a number: the whole word goes, so the next prompt does not trip over it.
        while (peek() >= 0 && !is_white_space(peek())) {
            ++input_position_;
        }
        return 0;
    }
    // Unsigned arithmetic wraps by definition, which gives the value modulo 2^32 however
    // many digits are typed.
    std::uint32_t value = 0;
    while (is_digit(peek())) {
        value = value * 10U + static_cast<std::uint32_t>(peek() - '0');
        ++input_position_;
    }
    if (negative) {
        value = 0U - value;
    }
    return static_cast<std::int32_t>(value);
}

void console::pause_console() {
    write_text(pause_prompt);
    flush();
    target_.wait_for_key();
    write_text("\n");
}

void console::clear_console() {
    flush();
    target_.clear_screen();
}

}  // namespace console
