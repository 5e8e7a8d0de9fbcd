// What is measured: every operation of one session, with its unit and the goals for our editor.
#pragma once

#include <string>
#include <vector>

namespace zbench {

enum class Unit { Seconds, Bytes };

struct Operation {
    std::string key;   // the name a session reports it under
    std::string label; // the table row
    Unit unit = Unit::Seconds;
    double goalLarge = 0; // our goal at 100 MB (0: none)
    double goalLong = 0;  // our goal on the long-line file (0: none)
};

// In the order a session performs them.
const std::vector<Operation>& Operations();
const Operation* FindOperation(const std::string& key);

// How much one session types and pages, and in which geometry.
struct SessionShape {
    int keys = 1000;      // typed at the end, and again in the middle
    int returnEvery = 40; // every 40th key typed is Return
    int pages = 200;      // page-downs from the top
    // A repeated operation (typing, paging) stops early once it has taken this long, so an
    // editor that crawls still finishes; its mean is then over the repetitions it managed.
    double budgetSeconds = 1.0;
    int wrapColumn = 80;
    int width = 800;
    int height = 600;
    std::string fontFamily = "DejaVu Sans Mono";
    int fontPoints = 10;
};

} // namespace zbench
