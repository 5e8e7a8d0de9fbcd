// The physical floor: how long one memchr and one memcpy take over the same bytes.
#pragma once

#include <string>

namespace zbench {

struct ReferenceTimes {
    double memchrSeconds = 0; // one pass that finds nothing
    double memcpySeconds = 0; // into a buffer already touched
};

// Medians over `runs` passes.
ReferenceTimes MeasureReference(const std::string& bytes, int runs);

} // namespace zbench
