// Run-length options of the randomized tests: --iterations=N and --seed=N on the command line,
// or ZANTRIX_ITERATIONS / ZANTRIX_SEED in the environment; short defaults for CI.
#pragma once

#include <cstdint>

struct TReliabilityOptions {
    // 0: the test's own default.
    int Iterations = 0;
    // 0: the test's fixed default seed.
    std::uint64_t Seed = 0;
};

TReliabilityOptions& ReliabilityOptions();

// The number of iterations to run: the option when given, else Default.
int IterationsOr(int Default);
// The first seed: the option when given, else Default.
std::uint64_t SeedOr(std::uint64_t Default);
