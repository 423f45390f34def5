# The whole unit and end-to-end suite again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer: any invalid access, leak or undefined behaviour fails a test
# (the sanitizers stop the program, and the end-to-end cases allow nothing on standard error).
# shellcheck shell=bash

cmake --preset asan
cmake --build --preset asan -j2
ctest --preset asan
