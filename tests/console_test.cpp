#include "console/console.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "scripted.hpp"

namespace {

using testing_support::scripted_device;

TEST(WriteNumber, WritesPlainDecimalAcrossTheWholeRange) {
    const struct {
        std::int64_t value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {7, "7"},
        {-7, "-7"},
        {10, "10"},
        {2147483647, "2147483647"},
        {-2147483648LL, "-2147483648"},
        {42949672940LL, "42949672940"},
        {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"},
        {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
    };
    for (const auto& row : cases) {
        scripted_device device("");
        {
            console::console console(device);
            console.write_text("[");
            console.write_number(row.value);
            console.write_text("]");
        }
        EXPECT_EQ(device.transcript, std::string("[") + row.text + "]") << row.value;
    }
}

// Reads numbers until the input ends; nullopt stands for the end of input.
std::vector<std::optional<std::int32_t>> read_all(const std::string& input, std::size_t chunk) {
    scripted_device device(input, chunk);
    console::console console(device);
    std::vector<std::optional<std::int32_t>> values;
    for (;;) {
        try {
            values.emplace_back(console.read_number());
        } catch (const console::input_ended&) {
            values.emplace_back(std::nullopt);
            return values;
        }
    }
}

struct read_case {
    const char* name;
    std::string input;
    std::vector<std::optional<std::int32_t>> values;  // ends with nullopt: the end of input
};

class ReadNumber : public ::testing::TestWithParam<read_case> {};

TEST_P(ReadNumber, DeliversTheseValuesThenTheEndOfInput) {
    const read_case& row = GetParam();
    // Reading the input in one piece or byte by byte must not matter: a number may be split
    // across two reads from the device.
    for (const std::size_t chunk : {std::size_t{4096}, std::size_t{1}}) {
        EXPECT_EQ(read_all(row.input, chunk), row.values) << "chunk " << chunk;
    }
}

const auto end = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadNumber,
    ::testing::Values(
        read_case{"white_space_before", "  \n\n   42\n", {42, end}},
        read_case{"every_white_space", " \t\n\v\f\r7 \t\n\v\f\r", {7, end}},
        read_case{"plus_sign", "+5", {5, end}},
        read_case{"minus_sign", "-5", {-5, end}},
        read_case{"sign_then_blank", "- 5", {-5, end}},
        read_case{"sign_then_line_break", "-\n5", {-5, end}},
        read_case{"leading_zeros_are_decimal", "007 010", {7, 10, end}},
        read_case{"two_on_one_line", "3 2\n", {3, 2, end}},
        read_case{"letters_after_digits", "3abc 4", {3, 0, 4, end}},
        read_case{"decimal_point", "12.5 7", {12, 0, 7, end}},
        read_case{"no_other_base", "0x1A", {0, 0, end}},
        read_case{"sign_ends_a_number", "5-3", {5, -3, end}},
        read_case{"two_signs", "+-5 6", {0, 6, end}},
        read_case{"word_at_end_of_input", "x", {0, end}},
        read_case{"sign_then_word", "-x 1", {0, 1, end}},
        read_case{"lone_sign_at_end", "-", {end}},
        read_case{"sign_and_blanks_at_end", "+  \n", {end}},
        read_case{"empty", "", {end}},
        read_case{"white_space_only", " \n \n", {end}},
        read_case{"largest", "2147483647", {2147483647, end}},
        read_case{"smallest", "-2147483648", {-2147483647 - 1, end}},
        read_case{"wraps_above_the_range", "2147483648 4294967297", {-2147483647 - 1, 1, end}},
        read_case{"wraps_below_the_range", "-2147483649", {2147483647, end}},
        // 2^32 followed by thirty zeros is a multiple of 2^32: only the final 7 remains.
        read_case{"many_digits", "4294967296000000000000000000000000000007", {7, end}},
        read_case{"bytes_above_127", "\xff\x80 9", {0, 9, end}},
        read_case{"nul_byte", std::string("\0 8", 3), {0, 8, end}}),
    [](const ::testing::TestParamInfo<read_case>& param_info) { return std::string(param_info.param.name); });

TEST(ReadNumber, LeavesTheCharacterAfterTheNumberForTheNextRead) {
    scripted_device device("42\n");
    console::console console(device);
    EXPECT_EQ(console.read_number(), 42);
    EXPECT_EQ(device.reads, 1);
    // The line break is still there; the second read skips it and meets the end, which the
    // device reports only once, as a terminal does after Ctrl-D.
    EXPECT_THROW(console.read_number(), console::input_ended);
    EXPECT_EQ(device.reads, 2);
}

TEST(ReadNumber, NumbersTypedAheadAnswerLaterPromptsWithoutWaiting) {
    scripted_device device("3 2\n");
    console::console console(device);
    console.write_text("first? ");
    EXPECT_EQ(console.read_number(), 3);
    console.write_text("second? ");
    EXPECT_EQ(console.read_number(), 2);
    EXPECT_EQ(device.reads, 1);
    EXPECT_EQ(device.transcript, "first? second? ");
}

// A device that notes how much output had been handed over whenever the program waits.
class watching_device final : public console::device {
public:
    void write(std::string_view bytes) override { written.append(bytes); }
    std::size_t read(char* buffer, std::size_t size) override {
        seen_when_waiting.push_back(written);
        if (size == 0 || next_answer == answers.size()) {
            return 0;
        }
        buffer[0] = answers[next_answer++];
        return 1;
    }
    void wait_for_key() override { seen_when_waiting.push_back(written); }
    void clear_screen() override { seen_when_waiting.push_back(written + "<clear>"); }
    [[nodiscard]] bool output_is_terminal() const override { return terminal; }

    std::string written;
    std::vector<std::string> seen_when_waiting;
    std::string answers = "5 ";
    std::size_t next_answer = 0;
    bool terminal = false;
};

TEST(ConsoleOrdering, EverythingWrittenIsOutBeforeAReadAPauseOrAClear) {
    watching_device device;
    console::console console(device);
    console.write_text("prompt ");
    ASSERT_EQ(console.read_number(), 5);
    console.write_text("last text before the pause");
    console.pause_console();
    console.write_text("gone after the clear");
    console.clear_console();

    ASSERT_EQ(device.seen_when_waiting.size(), 4U);
    EXPECT_EQ(device.seen_when_waiting[0], "prompt ");
    EXPECT_EQ(device.seen_when_waiting[1], "prompt ");  // looking for a second digit
    EXPECT_EQ(device.seen_when_waiting[2],
              "prompt last text before the pause" + std::string(console::pause_prompt));
    EXPECT_EQ(device.seen_when_waiting[3], "prompt last text before the pause" +
                                               std::string(console::pause_prompt) +
                                               "\ngone after the clear<clear>");
}

TEST(ConsolePause, ShowsItsPromptWaitsForOneKeyAndLeavesTheNumbersAlone) {
    scripted_device device("9 1\n");
    console::console console(device);
    EXPECT_EQ(console.read_number(), 9);
    console.pause_console();
    EXPECT_EQ(device.keys_waited_for, 1);
    EXPECT_EQ(console.read_number(), 1);
    EXPECT_EQ(device.transcript, "Press any key to continue . . . \n");
}

TEST(ConsoleEndOfInput, OnATerminalTheLastLineIsEnded) {
    for (const bool terminal : {false, true}) {
        watching_device device;
        device.answers.clear();
        device.terminal = terminal;
        {
            console::console console(device);
            console.write_text("prompt ");
            EXPECT_THROW(console.read_number(), console::input_ended);
        }
        EXPECT_EQ(device.written, terminal ? "prompt \n" : "prompt ") << terminal;
    }
}

}  // namespace
