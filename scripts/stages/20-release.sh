# The optimised build is the one users run: it must build warning-free and pass the same tests.
cmake --preset release
cmake --build --preset release
ctest --preset release
