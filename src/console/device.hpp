#pragma once

#include <cstddef>
#include <string_view>

namespace console {

// What the facade needs from the place it talks to: the process's standard streams and
// keyboard in the program, a script in the tests. Nothing here is on a hot path, so a
// virtual call per operation costs nothing that matters.
class device {
public:
    device() = default;
    device(const device&) = delete;
    device& operator=(const device&) = delete;
    virtual ~device() = default;

    // Hands every byte to the output. A failed write is dropped: the dialogue goes on.
    virtual void write(std::string_view bytes) = 0;

    // Reads at most `size` bytes of the number stream into `buffer`, waiting for at least
    // one. Returns 0 only at the end of input.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;

    // Waits for one key press that never becomes part of the number stream. Returns at
    // once where there is no keyboard to wait for.
    virtual void wait_for_key() = 0;

    // Empties the screen and puts the cursor top left, or marks a screen boundary where
    // the output is no screen. Everything written before has already been handed over.
    virtual void clear_screen() = 0;

    // True when the output is shown on a terminal, where a line of its own matters.
    [[nodiscard]] virtual bool output_is_terminal() const = 0;
};

}  // namespace console
