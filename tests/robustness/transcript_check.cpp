// Reads a transcript of the program on standard input and fails, pointing at the first
// foreign byte, unless it is made only of the program's own texts and numbers.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "transcript_language.hpp"

int main() {
    const std::string transcript{std::istreambuf_iterator<char>(std::cin),
                                 std::istreambuf_iterator<char>()};
    const std::size_t readable = transcript_language::readable_length(transcript);
    if (readable == transcript.size()) {
        return 0;
    }
    std::cerr << "foreign bytes after " << readable << " of " << transcript.size()
              << " bytes, near:";
    const std::size_t from = readable > 40 ? readable - 40 : 0;
    const std::size_t to = std::min(transcript.size(), readable + 40);
    for (std::size_t position = from; position < to; ++position) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, " %02x",
                      static_cast<unsigned char>(transcript[position]));
        std::cerr << (position == readable ? " |" : "") << escaped;
    }
    std::cerr << '\n';
    return 1;
}
