#pragma once

#include "console/device.hpp"

namespace console {

// The process's own standard input and output, and the keyboard behind standard input
// when it is a terminal. Only one should exist at a time: it owns the process-wide
// terminal and signal set-up.
class standard_device final : public device {
public:
    standard_device();
    ~standard_device() override;

    void write(std::string_view bytes) override;
    std::size_t read(char* buffer, std::size_t size) override;
    void wait_for_key() override;
    void clear_screen() override;
    [[nodiscard]] bool output_is_terminal() const override { return output_is_terminal_; }

private:
    // The next byte of the key being read, if it follows at once and `belongs` to the key;
    // a byte that does not belong is kept for the number stream.
    bool next_byte_of_key(unsigned char& byte, bool (*belongs)(unsigned char));
    void read_rest_of_key(unsigned char first);

    bool input_is_terminal_ = false;
    bool output_is_terminal_ = false;
    bool clear_with_escape_sequences_ = false;
    // A byte read while looking for the end of a key that turned out to be typed ahead.
    int kept_byte_ = -1;
};

}  // namespace console
