#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "console/device.hpp"

namespace console {

// Thrown by read_number when the input ends where a number should start: no answer can
// ever come, so the dialogue unwinds to its entry and the program ends normally.
class input_ended : public std::runtime_error {
public:
    input_ended() : std::runtime_error("end of input") {}
};

// The text written by pause_console before it waits for the key.
inline constexpr std::string_view pause_prompt = "Press any key to continue . . . ";

// The one place where the program touches the console. Output is ordered against input:
// whatever has been written is handed to the device before a read, a pause or a clear.
class console {
public:
    explicit console(device& target);
    console(const console&) = delete;
    console& operator=(const console&) = delete;
    ~console();

    void write_text(std::string_view text);
    void write_number(std::int64_t value);

    // Takes one whole number from the input stream and leaves everything after it.
    // A word that is no number is consumed up to the next white space and reads as 0.
    // Throws input_ended when the input ends before a number starts.
    std::int32_t read_number();

    void pause_console();
    void clear_console();

    // Hands all pending output to the device.
    void flush();

private:
    // The next unconsumed input byte, or -1 at the end of input; refills from the device.
    int peek();
    void skip_white_space();
    [[noreturn]] void end_of_input();

    device& target_;
    std::string pending_output_;
    std::string input_;
    std::size_t input_position_ = 0;
    bool input_at_end_ = false;
};

// The decimal form that write_number writes: a minus sign when negative, no fill.
std::string format_number(std::int64_t value);

}  // namespace console
