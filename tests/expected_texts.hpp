#pragma once

#include <string>

// The screens as the user must see them, spelled out here independently of the program so
// that a changed byte in the program shows up as a failure.
namespace expected {

inline const std::string pause = "Press any key to continue . . . \n";
inline const std::string clear = "\f";
inline const std::string notice = "Please Press <ALT> + <ENTER>\n\n";
inline const std::string banner =
    " \n\n\n\n\n\n THIS PROGRAM WILL BE USED TO SIMULATE DICE ROLLS FOR\n "
    "ROLE PLAYING GAMES. Written for players and game masters alike.\n "
    "THIS PROGRAM MAY BE USED BY ANYONE WHO WANTS TO USE IT\n "
    "WITH OR WITHOUT PERMISSION FROM ME.  YOU DO NOT HAVE TO\n "
    "REGISTER IT, SEND IN MONEY OR EVEN TALK TO ME AT ALL.\n "
    "I WILL TAKE NO RESPONSIBILITY FOR ANY DAMAGE TO YOUR COMPUTER\n "
    "CAUSED BY THIS APPLICATION, NOR WILL I ASSUME ANY RESPONSIBILITY\n "
    "FOR BODILY HARM, OR DEATH RESULTING FROM DISPUTES RESULTING FROM\n "
    "THE OUTPUT OF THIS PROGRAM.  IF YOU HAVE AN COMMENTS OR IDEAS TO MAKE "
    "THIS      PRODUCT BETTER, YOU CAN CONTACT ME AT "
    "dice@example.org\n "
    "HAVE A NICE DAY!\n\n";
inline const std::string menu =
    "What kind of dice do you wish to roll?\n\n "
    "1)   Roll to Hit\n"
    " 2)   4 sided\n"
    " 3)   6 sided\n"
    " 4)   8 sided\n"
    " 5)   10 sided\n"
    " 6)   12 sided\n"
    " 7)   20 sided\n"
    " 8)   Percentile Dice\n\n"
    " Please enter a number (1-8) ";
inline const std::string another = "Would You Like To Make Another Choice? \n\n1)    Yes\n2)    No\n";

inline const std::string start_screens = notice + pause + clear + banner + pause;

// One pass of the menu loop around what the roll wrote.
inline std::string pass(const std::string& roll) {
    return clear + menu + clear + roll + pause + clear + another;
}

// The to-hit roll's bonus question.
inline const std::string bonus_question =
    "Do You Have Any Bonuses or Penalties to Add\n\n1)     Yes\n2)     No\n\n";
inline const std::string weapon_question =
    "Are you rolling for: \n\n1)  Energy/Projectile \n2)  Melee Weapons \n";

}  // namespace expected
