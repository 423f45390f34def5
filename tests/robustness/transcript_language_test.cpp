#include "transcript_language.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "menu/menu.hpp"
#include "scripted.hpp"

namespace {

using testing_support::scripted_device;
using testing_support::scripted_draws;

// A real session through every kind of pass: what the checker must accept.
std::string session_transcript() {
    scripted_device device("1 1 5 1 1 2 1 -3 1 8 1 9 1 3 2 1 1 2 x");
    console::console console(device);
    // A natural 20 with a bonus; a fumble resolved on the melee table with a critical hit
    // and a penalty; the percentile roll; an unlisted choice; two six-sided dice; a plain
    // to-hit roll without bonus.
    scripted_draws draws({19, 0, 14, 3, 19, 57, 6, 7, 9});
    menu::run_program(console, draws);
    EXPECT_TRUE(draws.all_used());
    return device.transcript;
}

TEST(TranscriptLanguage, AcceptsWhatTheProgramWrites) {
    const std::string transcript = session_transcript();
    ASSERT_GT(transcript.size(), 1000U);
    EXPECT_EQ(transcript_language::readable_length(transcript), transcript.size());
}

TEST(TranscriptLanguage, PointsAtTheFirstForeignByte) {
    const std::string transcript = session_transcript();
    for (const std::size_t at : {std::size_t{0}, transcript.size() / 2, transcript.size()}) {
        for (const std::string& foreign : std::initializer_list<std::string>{
                 "x", std::string(1, '\0'), "\xff", "1)   Yes\n", "--5"}) {
            std::string spoiled = transcript;
            spoiled.insert(at, foreign);
            EXPECT_FALSE(transcript_language::is_readable(spoiled)) << "at " << at;
            EXPECT_LE(transcript_language::readable_length(spoiled), at + foreign.size());
        }
    }
}

TEST(TranscriptLanguage, ReadsNumbersAsTheProgramWritesThem) {
    for (const char* number : {"0", "7", "-7", "2147483652", "-9223372036854775808"}) {
        EXPECT_TRUE(transcript_language::is_readable(std::string("You Rolled A ") + number + "\n"))
            << number;
    }
    for (const char* number : {"007", "-0", "+7", "- 7", "123456789012345678901"}) {
        EXPECT_FALSE(transcript_language::is_readable(std::string("You Rolled A ") + number + "\n"))
            << number;
    }
}

}  // namespace
