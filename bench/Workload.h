// The generated texts the harness measures: deterministic scene-like files with CR LF line ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zbench {

struct WorkloadKind {
    std::string key;   // as given to --size
    std::string title; // table heading
    std::uint64_t bytes = 0;
    bool longLines = false; // every line 30000 characters
};

// 1M, 10M, 100M and the long-line file, in that order.
const std::vector<WorkloadKind>& Workloads();
const WorkloadKind* FindWorkload(const std::string& key);

// A pattern the generated texts never contain, in any letter case.
extern const char kAbsentPattern[];

inline constexpr int kLongLineLength = 30000;
inline constexpr int kLongLineCount = 70;

// Scene text of at least `bytes` bytes, ending at a line end.
std::string GenerateSceneText(std::uint64_t bytes);
// `lines` lines of exactly `length` characters each.
std::string GenerateLongLineText(int lines, int length);
std::string GenerateWorkload(const WorkloadKind& kind);

struct TextStats {
    std::uint64_t bytes = 0;
    std::uint64_t lines = 0;
    std::uint64_t longestLine = 0;
};
TextStats Measure(const std::string& text);

} // namespace zbench
