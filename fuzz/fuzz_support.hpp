#pragma once

// What both fuzz targets share: a console device fed from the fuzzer's bytes, and a check
// that stops the run as a crash, so that libFuzzer keeps the input that broke a property.

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "console/device.hpp"

namespace fuzz_support {

[[noreturn]] inline void property_broken(const char* what) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

inline void require(bool holds, const char* what) {
    if (!holds) {
        property_broken(what);
    }
}

// Hands the input out in pieces of at most `chunk` bytes, as a pipe or a terminal may, and
// keeps what the program writes, a clear as a form feed, as on a pipe.
class fuzz_device final : public console::device {
  public:
    fuzz_device(std::string_view input, std::size_t chunk) : input_(input), chunk_(chunk) {}

    void write(std::string_view bytes) override { transcript.append(bytes); }
    std::size_t read(char* buffer, std::size_t size) override {
        require(transcript.ends_with(output_due_before_reading),
                "output was held back while the program waited for input");
        const std::size_t count = std::min({size, chunk_, input_.size() - position});
        std::copy_n(input_.data() + position, count, buffer);
        position += count;
        if (count == 0) {
            ++reads_at_end;
        }
        return count;
    }
    void wait_for_key() override {}
    void clear_screen() override { transcript.push_back('\f'); }
    [[nodiscard]] bool output_is_terminal() const override { return false; }

    std::string transcript;
    std::size_t position = 0;  // how much of the input has been handed out
    int reads_at_end = 0;      // reads that found the input at its end
    // What must be on the console whenever the program waits for input.
    std::string output_due_before_reading;

  private:
    std::string_view input_;
    std::size_t chunk_;
};

// The piece size for a run, taken from one byte of the fuzzer's input: 1 to 16 bytes, or
// everything at once.
inline std::size_t chunk_from(unsigned char byte) {
    return (byte & 0x80U) != 0 ? std::string_view::npos : std::size_t{(byte & 0x0fU) + 1U};
}

// The end of input is final: a terminal reports it once, and asking again would wait for
// more typing. So the device is never asked again once it has reported it.
inline constexpr int most_reads_at_end = 1;

}  // namespace fuzz_support
