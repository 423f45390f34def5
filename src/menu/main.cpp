#include "menu/menu.hpp"

int main() { return menu::run_program(); }
