#pragma once

// What the program may ever write to a pipe: its own fixed texts, decimal numbers, the form
// feed of a clear and the pause's prompt. Written out here by hand rather than taken from
// the program, so that a stray byte, a garbled text or an echoed piece of input is caught.
// Used by the whole-dialogue fuzzer and by the end-to-end checks of the built program.

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace transcript_language {

inline constexpr std::string_view fixed_texts[] = {
    // Clear and pause, as they show on a pipe.
    "\f",
    "Press any key to continue . . . ",
    "\n",
    // Start-up screens.
    "Please Press <ALT> + <ENTER>\n\n",
    " \n\n\n\n\n\n THIS PROGRAM WILL BE USED TO SIMULATE DICE ROLLS FOR\n ",
    "ROLE PLAYING GAMES. Written for players and game masters alike.\n ",
    "THIS PROGRAM MAY BE USED BY ANYONE WHO WANTS TO USE IT\n ",
    "WITH OR WITHOUT PERMISSION FROM ME.  YOU DO NOT HAVE TO\n ",
    "REGISTER IT, SEND IN MONEY OR EVEN TALK TO ME AT ALL.\n ",
    "I WILL TAKE NO RESPONSIBILITY FOR ANY DAMAGE TO YOUR COMPUTER\n ",
    "CAUSED BY THIS APPLICATION, NOR WILL I ASSUME ANY RESPONSIBILITY\n ",
    "FOR BODILY HARM, OR DEATH RESULTING FROM DISPUTES RESULTING FROM\n ",
    "THE OUTPUT OF THIS PROGRAM.  IF YOU HAVE AN COMMENTS OR IDEAS TO MAKE ",
    "THIS      PRODUCT BETTER, YOU CAN CONTACT ME AT ",
    "dice@example.org\n ",
    "HAVE A NICE DAY!\n\n",
    // Main menu.
    "What kind of dice do you wish to roll?\n\n ",
    "1)   Roll to Hit\n",
    " 2)   4 sided\n",
    " 3)   6 sided\n",
    " 4)   8 sided\n",
    " 5)   10 sided\n",
    " 6)   12 sided\n",
    " 7)   20 sided\n",
    " 8)   Percentile Dice\n\n",
    " Please enter a number (1-8) ",
    // Another choice.
    "Would You Like To Make Another Choice? \n\n",
    "1)    Yes\n",
    "2)    No\n",
    // Pools and percentile.
    "You picked ",
    " sided dice. \n",
    "How many dice do you want to roll? \n",
    "You Rolled A ",
    "You picked a Percentile dice. \n",
    // To-hit roll.
    "YOU FUMBLED!\n\n ",
    "Double Damage\n",
    "Do You Have Any Bonuses or Penalties to Add\n\n",
    "1)     Yes\n",
    "2)     No\n\n",
    "You Rolled a ",
    "What is Your Bonus or Penalty?\n",
    "With Your Bonus, You Rolled A ",
    // Fumble tables and critical multiplier.
    "Are you rolling for: \n\n",
    "1)  Energy/Projectile \n",
    "2)  Melee Weapons \n",
    "Weapon Misfires \n",
    "Lose ",
    " Melee Actions Next Turn\n",
    "Shot Was Deflected\n",
    "Hit a Wandering Computer Salesmen\n",
    "Hit Yourself\n",
    "Hit a Nearby Tree\n",
    "Hit A Bird Flying Overhead\n",
    "Weapon Jams\n",
    "It CANNOT Be Used\n",
    "Shoot a Party Member\n",
    "This is a Critical Hit\n",
    "Shoot an Innocent\n",
    "E-Clip Explodes\n",
    "Everything in 3 foot radius ",
    "takes damage\n equal to ammo ",
    "left in E-Clip",
    "Weapon is Thrown, Take ",
    " Actions to Retrieve It\n",
    " Action(s) to Retrieve It\n",
    "Weapon is Imbedded.  It Will Take ",
    " Action(s) to Free It\n",
    "You Hit a Party Member.  ",
    "Hit an Innocent Bystander/Creature.  ",
    "This is a Critical Hit.\n",
    "Take ",
    " Action(s) to Retrieve ",
    "Your Weapon\n",
    "Weapon is Shattered.  ",
    "Indestructible Items Will Vanish \n",
    "From The Wielders Possession.\n",
    "Damage Done Is ",
    " Times Rolled\n",
};

// How far `transcript` can be read as a sequence of fixed texts and decimal numbers (an
// optional minus sign, then 0 or digits without a leading zero, at most 20 of them), where
// no number directly follows another, as the program never writes two in a row. All of it
// when the whole transcript is made of them; otherwise the longest readable prefix, which
// points at the first foreign byte. Every way of cutting the transcript is tried, so a text
// that begins like another (or like a number) cannot hide a foreign byte behind it.
inline std::size_t readable_length(std::string_view transcript) {
    // The texts by their first byte, so each position tries only those that can match.
    static const auto texts_by_first_byte = [] {
        std::array<std::vector<std::string_view>, 256> table;
        for (const std::string_view text : fixed_texts) {
            table[static_cast<unsigned char>(text.front())].push_back(text);
        }
        return table;
    }();
    const std::size_t size = transcript.size();
    // Positions reached by a cut that ends with a text (or at the start), and with a number.
    std::vector<bool> after_text(size + 1, false);
    std::vector<bool> after_number(size + 1, false);
    after_text[0] = true;
    for (std::size_t position = 0; position < size; ++position) {
        if (!after_text[position] && !after_number[position]) {
            continue;
        }
        const std::string_view rest = transcript.substr(position);
        for (const std::string_view text :
             texts_by_first_byte[static_cast<unsigned char>(rest.front())]) {
            if (rest.starts_with(text)) {
                after_text[position + text.size()] = true;
            }
        }
        if (!after_text[position]) {
            continue;
        }
        const std::size_t digits_start = rest.starts_with('-') ? 1 : 0;
        if (digits_start < rest.size() && rest[digits_start] == '0') {
            if (digits_start == 0) {  // zero has no sign
                after_number[position + 1] = true;
            }
        } else {
            constexpr std::size_t most_digits = 20;
            for (std::size_t end = digits_start;
                 end < rest.size() && end - digits_start < most_digits && rest[end] >= '0' &&
                 rest[end] <= '9';
                 ++end) {
                after_number[position + end + 1] = true;
            }
        }
    }
    std::size_t furthest = 0;
    for (std::size_t position = 0; position <= size; ++position) {
        if (after_text[position] || after_number[position]) {
            furthest = position;
        }
    }
    return furthest;
}

inline bool is_readable(std::string_view transcript) {
    return readable_length(transcript) == transcript.size();
}

}  // namespace transcript_language
