// Entry point of the reliability tests: takes --iterations and --seed off the command line
// before GoogleTest sees it.
#include "ReliabilityOptions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

TReliabilityOptions& ReliabilityOptions() {
    static TReliabilityOptions Options;
    return Options;
}

int IterationsOr(int Default) {
    return ReliabilityOptions().Iterations > 0 ? ReliabilityOptions().Iterations : Default;
}

std::uint64_t SeedOr(std::uint64_t Default) {
    return ReliabilityOptions().Seed != 0 ? ReliabilityOptions().Seed : Default;
}

namespace {
bool TakeValue(const char* Arg, const char* Name, std::string& Value) {
    const std::size_t N = std::strlen(Name);
    if (std::strncmp(Arg, Name, N) != 0 || Arg[N] != '=') return false;
    Value = Arg + N + 1;
    return true;
}
} // namespace

int main(int argc, char** argv) {
    TReliabilityOptions& O = ReliabilityOptions();
    if (const char* E = std::getenv("ZANTRIX_ITERATIONS")) O.Iterations = std::atoi(E);
    if (const char* E = std::getenv("ZANTRIX_SEED")) O.Seed = std::strtoull(E, nullptr, 10);
    int Kept = 1;
    for (int I = 1; I < argc; ++I) {
        std::string Value;
        if (TakeValue(argv[I], "--iterations", Value))
            O.Iterations = std::atoi(Value.c_str());
        else if (TakeValue(argv[I], "--seed", Value))
            O.Seed = std::strtoull(Value.c_str(), nullptr, 10);
        else
            argv[Kept++] = argv[I];
    }
    argc = Kept;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
