# Every target of the project links this one interface target, so the language level,
# the warnings and the sanitizers are decided in one place.
add_library(dice_compiler_settings INTERFACE)
target_compile_features(dice_compiler_settings INTERFACE cxx_std_20)

option(DICE_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" ON)
option(DICE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(MSVC)
    target_compile_options(dice_compiler_settings INTERFACE /W4 /permissive- /utf-8)
    if(DICE_WARNINGS_AS_ERRORS)
        target_compile_options(dice_compiler_settings INTERFACE /WX)
    endif()
else()
    target_compile_options(dice_compiler_settings INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion)
    if(DICE_WARNINGS_AS_ERRORS)
        target_compile_options(dice_compiler_settings INTERFACE -Werror)
    endif()
endif()

if(DICE_SANITIZE)
    target_compile_options(dice_compiler_settings INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(dice_compiler_settings INTERFACE -fsanitize=address,undefined)
endif()

# The fuzz targets need clang's libFuzzer; everything they drive gets its coverage
# instrumentation and the sanitizers, so that any fault the fuzzer reaches is a crash.
option(DICE_BUILD_FUZZERS "Build the libFuzzer targets (clang only)" OFF)
if(DICE_BUILD_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "DICE_BUILD_FUZZERS needs clang (the fuzz preset selects it)")
    endif()
    target_compile_options(dice_compiler_settings INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    target_link_options(dice_compiler_settings INTERFACE -fsanitize=address,undefined)
endif()
