# The benchmarks are built, not run: timings on a shared machine prove nothing, but code that
# no longer compiles against the library should fail here rather than in scripts/bench.
ensure_build_tools
ensure_packages libbenchmark-dev
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DDICE_BUILD_TESTS=OFF \
    -DDICE_BUILD_BENCHMARKS=ON
cmake --build build/bench -j2 --target dice_benchmarks dice_plain_loop_baseline
