// The real device on redirected standard streams, as the program meets them when a script
// or another program drives it. Runs on every platform; what differs is the line break
// that text mode writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "console/console.hpp"
#include "console/standard_device.hpp"

namespace {

#ifdef _WIN32
constexpr std::string_view line_break = "\r\n";
constexpr std::string_view stripped_line_break = "\n";
const std::filesystem::path null_device = "NUL";
int duplicate(int descriptor) {
    return ::_dup(descriptor);
}
int duplicate_onto(int from, int to) {
    return ::_dup2(from, to);
}
int close_descriptor(int descriptor) {
    return ::_close(descriptor);
}
// Opened as the process's own streams are: in the default text mode.
int open_for_reading(const std::filesystem::path& path) {
    return ::_wopen(path.c_str(), _O_RDONLY);
}
int open_for_writing(const std::filesystem::path& path) {
    return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC, _S_IREAD | _S_IWRITE);
}
#else
constexpr std::string_view line_break = "\n";
constexpr std::string_view stripped_line_break = "\r\n";
const std::filesystem::path null_device = "/dev/null";
int duplicate(int descriptor) {
    return ::dup(descriptor);
}
int duplicate_onto(int from, int to) {
    return ::dup2(from, to);
}
int close_descriptor(int descriptor) {
    return ::close(descriptor);
}
int open_for_reading(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_RDONLY);
}
int open_for_writing(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
}
#endif

constexpr int standard_input = 0;
constexpr int standard_output = 1;

// Points standard input and output elsewhere for one test and puts them back before
// GoogleTest writes its report. The device must be made after the redirection: it looks
// at its streams once, when it is made.
class standard_streams : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = std::filesystem::temp_directory_path() /
                     ("dice-streams-" +
                      std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(directory_);
        std::fflush(stdout);
        saved_input_ = duplicate(standard_input);
        saved_output_ = duplicate(standard_output);
        ASSERT_GE(saved_input_, 0);
        ASSERT_GE(saved_output_, 0);
    }

    void TearDown() override {
        restore();
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }

    void restore() {
        if (saved_output_ >= 0) {
            duplicate_onto(saved_output_, standard_output);
            close_descriptor(saved_output_);
            saved_output_ = -1;
        }
        if (saved_input_ >= 0) {
            duplicate_onto(saved_input_, standard_input);
            close_descriptor(saved_input_);
            saved_input_ = -1;
        }
    }

    void redirect(int standard_stream, int descriptor) {
        ASSERT_GE(descriptor, 0);
        ASSERT_GE(duplicate_onto(descriptor, standard_stream), 0);
        close_descriptor(descriptor);
    }

    // Standard input reads `bytes`, exactly as stored; standard output goes to a file.
    void redirect_both(std::string_view bytes) {
        {
            std::ofstream input(input_path(), std::ios::binary);
            input << bytes;
        }
        redirect(standard_input, open_for_reading(input_path()));
        redirect(standard_output, open_for_writing(output_path()));
    }

    // Everything written to standard output, exactly as stored.
    std::string output_bytes() {
        restore();
        std::ifstream output(output_path(), std::ios::binary);
        return {std::istreambuf_iterator<char>(output), std::istreambuf_iterator<char>()};
    }

    [[nodiscard]] std::filesystem::path input_path() const { return directory_ / "input"; }
    [[nodiscard]] std::filesystem::path output_path() const { return directory_ / "output"; }

private:
    std::filesystem::path directory_;
    int saved_input_ = -1;
    int saved_output_ = -1;
};

std::string with_line_breaks(std::string_view text) {
    std::string result;
    for (const char character : text) {
        if (character == '\n') {
            result.append(line_break);
        } else {
            result.push_back(character);
        }
    }
    return result;
}

TEST_F(standard_streams, OutputToAFileGetsThePlatformsLineBreaksAndFormFeedsForClears) {
    redirect_both("");
    {
        console::standard_device device;
        EXPECT_FALSE(device.output_is_terminal());
        device.write("a\nb\n");
        device.clear_screen();
        device.write("c");
    }
    EXPECT_EQ(output_bytes(), with_line_breaks("a\nb\n\fc"));
}

TEST_F(standard_streams, NumbersComeThroughAnyLineBreakAndThePauseTakesNoneOfThem) {
    redirect_both("12\r\n-3 x\r\n\r\n7");
    std::int32_t first = 0;
    std::int32_t second = 0;
    std::int32_t word = 0;
    std::int32_t last = 0;
    bool ended = false;
    {
        console::standard_device device;
        console::console console(device);
        first = console.read_number();
        console.pause_console();
        second = console.read_number();
        word = console.read_number();
        console.pause_console();
        last = console.read_number();
        try {
            console.read_number();
        } catch (const console::input_ended&) {
            ended = true;
        }
    }
    const std::string pause = with_line_breaks(std::string(console::pause_prompt) + "\n");
    EXPECT_EQ(output_bytes(), pause + pause);
    EXPECT_EQ(first, 12);
    EXPECT_EQ(second, -3);
    EXPECT_EQ(word, 0);
    EXPECT_EQ(last, 7);
    EXPECT_TRUE(ended);
}

// Text mode takes the carriage return out of a line break on the way in; elsewhere it is
// left for the reader, which counts it as white space.
TEST_F(standard_streams, ReadHandsOverTheInputInThePlatformsTextMode) {
    redirect_both("1\r\n2\r\n");
    std::string received;
    {
        console::standard_device device;
        char buffer[64];
        for (std::size_t count = 0; (count = device.read(buffer, sizeof buffer)) != 0;) {
            received.append(buffer, count);
        }
    }
    restore();
    std::string expected;
    for (const char* number : {"1", "2"}) {
        expected.append(number).append(stripped_line_break);
    }
    EXPECT_EQ(received, expected);
}

// The null device is a character device like a console, but there is no keyboard behind
// it: the pause must not wait and the end of input must come at once.
TEST_F(standard_streams, TheNullDeviceIsNoTerminal) {
    redirect(standard_input, open_for_reading(null_device));
    redirect(standard_output, open_for_writing(null_device));
    bool output_is_terminal = true;
    std::size_t received = 1;
    {
        console::standard_device device;
        output_is_terminal = device.output_is_terminal();
        device.wait_for_key();
        char buffer[16];
        received = device.read(buffer, sizeof buffer);
    }
    restore();
    EXPECT_FALSE(output_is_terminal);
    EXPECT_EQ(received, 0U);
}

// Output that cannot be written is dropped; the process lives on and reads its input.
TEST_F(standard_streams, AClosedOutputDoesNotStopTheDialogue) {
    redirect_both("5");
    close_descriptor(standard_output);
    std::int32_t answer = 0;
    {
        console::standard_device device;
        console::console console(device);
        console.write_text("lost\n");
        console.pause_console();
        console.clear_console();
        answer = console.read_number();
    }
    restore();
    EXPECT_EQ(answer, 5);
}

}  // namespace
