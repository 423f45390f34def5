// Drives the whole dialogue, menu::run_program, from arbitrary bytes: the first byte sets
// the size of the pieces the input arrives in, the next four seed the generator, and the
// rest is what the user types. Properties: the program ends (and ends at the end of its
// input), returns 0, seeds once before anything else, shows the start-up screens once, and
// writes nothing but its own texts and numbers.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "console/console.hpp"
#include "dice/random_source.hpp"
#include "fuzz_support.hpp"
#include "menu/menu.hpp"
#include "transcript_language.hpp"

namespace {

using fuzz_support::require;

// The program's own generator behind a fixed seed, watched: seeded once before anything is
// written or read, and asked only for the pools the menu offers.
class fuzz_source final : public dice::random_source {
  public:
    fuzz_source(std::uint32_t seed, const fuzz_support::fuzz_device& device)
        : generator_(seed), device_(device) {}

    void seed_from_clock() override {
        require(device_.transcript.empty() && device_.position == 0,
                "the generator was seeded after the dialogue began");
        ++seedings;
    }
    std::int32_t next_draw() override { return generator_.next_draw(); }
    std::int64_t sum_of_dice(std::int32_t sides, std::int32_t count) override {
        require(sides == 4 || sides == 6 || sides == 8 || sides == 10 || sides == 12 || sides == 20,
                "a pool of dice the menu does not offer");
        const std::int64_t total = generator_.sum_of_dice(sides, count);
        require(count <= 0 ? total == 0 : total >= count && total <= std::int64_t{count} * sides,
                "a pool total outside what its dice can show");
        return total;
    }

    int seedings = 0;

  private:
    dice::linear_congruential_source generator_;
    const fuzz_support::fuzz_device& device_;
};

std::size_t count_of(std::string_view text, std::string_view part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

constexpr std::string_view start_of_every_run =
    "Please Press <ALT> + <ENTER>\n\nPress any key to continue . . . \n\f \n";
constexpr std::string_view another_choice_prompt =
    "\fWould You Like To Make Another Choice? \n\n1)    Yes\n2)    No\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t header = 5;
    if (size < header) {
        return 0;
    }
    const std::size_t chunk = fuzz_support::chunk_from(data[0]);
    const std::uint32_t seed = std::uint32_t{data[1]} | std::uint32_t{data[2]} << 8U |
                               std::uint32_t{data[3]} << 16U | std::uint32_t{data[4]} << 24U;
    const std::string_view input(reinterpret_cast<const char*>(data) + header, size - header);

    fuzz_support::fuzz_device device(input, chunk);
    fuzz_source source(seed, device);
    int status = -1;
    {
        console::console console(device);
        status = menu::run_program(console, source);
    }
    const std::string_view transcript = device.transcript;

    require(status == 0, "exit status other than 0");
    require(source.seedings == 1, "not seeded exactly once");
    require(transcript_language::is_readable(transcript),
            "the transcript holds something that is not the program's own");
    require(transcript.starts_with(start_of_every_run), "the run did not start with the notice");
    require(count_of(transcript, "HAVE A NICE DAY!") == 1, "the banner was not shown exactly once");
    const std::size_t menus = count_of(transcript, "What kind of dice do you wish to roll?");
    const std::size_t questions = count_of(transcript, "Would You Like To Make Another Choice?");
    require(menus == questions || menus == questions + 1, "a pass did not end with the question");
    if (device.reads_at_end == 0) {
        // Not ended by the end of input, so by an answer to the last question.
        require(transcript.ends_with(another_choice_prompt), "ended without being told to");
    }
    require(device.reads_at_end <= fuzz_support::most_reads_at_end,
            "went on reading after the end of input");
    return 0;
}
