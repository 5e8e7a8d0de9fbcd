// Times memchr and memcpy over a text held in memory.
#include "Reference.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

namespace zbench {

namespace {
double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
} // namespace

ReferenceTimes MeasureReference(const std::string& bytes, int runs) {
    using Clock = std::chrono::steady_clock;
    const std::size_t n = bytes.size();
    std::unique_ptr<char[]> copy(new char[n + 1]);
    std::memset(copy.get(), 1, n + 1); // fault the pages in before timing
    std::vector<double> chr, cpy;
    const void* volatile sink = nullptr;
    for (int r = 0; r < std::max(runs, 1); ++r) {
        auto start = Clock::now();
        // The generated text never holds a NUL byte, so this reads every byte.
        sink = std::memchr(bytes.data(), '\0', n);
        chr.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        start = Clock::now();
        std::memcpy(copy.get(), bytes.data(), n);
        sink = copy.get() + copy[n / 2];
        cpy.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    (void)sink;
    return {Median(chr), Median(cpy)};
}

} // namespace zbench
