// The operation catalogue shared by the sessions and the tables.
#include "Operations.h"

namespace zbench {

namespace {
constexpr double kMs = 1e-3;
constexpr double kUs = 1e-6;
constexpr double kMiB = 1024.0 * 1024.0;
} // namespace

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> ops = {
        {"open", "open (file on disk to document ready)", Unit::Seconds, 250 * kMs, 0},
        {"rss_open", "resident memory after open", Unit::Bytes, 365 * kMiB, 0},
        {"first_paint", "first paint (render to an image)", Unit::Seconds, 5 * kMs, 5 * kMs},
        {"end_paint", "Ctrl+End and paint", Unit::Seconds, 2 * kMs, 0},
        {"page_down", "one page down and paint (mean of the page-downs)", Unit::Seconds, 1 * kMs,
         2 * kMs},
        {"type_end", "one key typed at the end, with its repaint", Unit::Seconds, 50 * kUs,
         100 * kUs},
        {"type_middle", "one key typed in the middle, with its repaint", Unit::Seconds, 50 * kUs,
         100 * kUs},
        {"search_cs", "search for an absent text, case-sensitive", Unit::Seconds, 100 * kMs, 0},
        {"search_ci", "search for an absent text, case-insensitive", Unit::Seconds, 100 * kMs, 0},
        {"wrap_on", "word wrap on at column 80, and paint", Unit::Seconds, 100 * kMs, 0},
        {"wrap_off", "word wrap off, and paint", Unit::Seconds, 100 * kMs, 0},
        {"undo", "undo of all the typing, and paint", Unit::Seconds, 5 * kMs, 0},
        {"save", "save (atomic)", Unit::Seconds, 300 * kMs, 0},
        {"close", "close (widget and document destroyed)", Unit::Seconds, 20 * kMs, 0},
        {"rss_peak", "peak resident memory", Unit::Bytes, 543 * kMiB, 0},
    };
    return ops;
}

const Operation* FindOperation(const std::string& key) {
    for (const Operation& op : Operations())
        if (op.key == key) return &op;
    return nullptr;
}

} // namespace zbench
