#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "dice/pool_sum.hpp"

namespace {

// One pool per iteration, the generator carrying on from the last, as a run of the program does.
void pool_sum(benchmark::State& state, bool allow_threads) {
    const auto sides = static_cast<std::int32_t>(state.range(0));
    const auto count = static_cast<std::int32_t>(state.range(1));
    const dice::pool_options options{dice::fastest_kernel(), allow_threads};
    std::uint32_t generator = 1U;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dice::sum_of_dice(generator, sides, count, options));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}

void BM_PoolSum(benchmark::State& state) {
    pool_sum(state, true);
}
void BM_PoolSumOneThread(benchmark::State& state) {
    pool_sum(state, false);
}

const std::vector<std::int64_t> counts = {1000, 1000000, 1000000000, std::int64_t{1} << 30,
                                          2147483647};

}  // namespace

BENCHMARK(BM_PoolSum)
    ->ArgNames({"sides", "dice"})
    ->ArgsProduct({{4, 6, 8, 10, 12, 20}, counts})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PoolSumOneThread)
    ->ArgNames({"sides", "dice"})
    ->ArgsProduct({{6, 20}, counts})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
