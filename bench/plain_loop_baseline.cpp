// The yardstick for scripts/bench: the same dialogue as the program's pool choices on the
// same piped input (menu choice, count, another-choice answer), but every die drawn one by
// one from the C library's rand, as a plain loop does it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

int main() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    const int sides_of_choice[] = {4, 6, 8, 10, 12, 20};
    int choice = 0;
    int count = 0;
    int again = 0;
    if (std::scanf("%d %d %d", &choice, &count, &again) < 2 || choice < 2 || choice > 7) {
        std::fputs("expected a menu choice from 2 to 7 and a count\n", stderr);
        return 1;
    }
    const int sides = sides_of_choice[choice - 2];
    std::int64_t total = 0;
    for (int dicerolled = 0; dicerolled < count; ++dicerolled) {
        total += std::rand() % sides + 1;
    }
    std::printf("You Rolled A %lld\n", static_cast<long long>(total));
    return 0;
}
