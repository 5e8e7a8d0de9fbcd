// Builds the plain-text and Markdown tables and the description of the machine.
#include "Report.h"

#include "Operations.h"

#include <Qsci/qsciglobal.h>
#include <QtGlobal>

#include <sys/utsname.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

namespace zbench {

namespace {

// The three columns, in this order, whether or not an editor was built or run.
struct Column {
    const char* key;
    const char* title;
};
const Column kColumns[] = {
    {"zantrix", "Zantrix"}, {"plain", "QPlainTextEdit"}, {"scintilla", "QScintilla"}};

std::string Printf(const char* format, double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

// Three significant digits.
std::string ThreeDigits(double v) {
    if (v >= 99.95) return Printf("%.0f", v);
    if (v >= 9.995) return Printf("%.1f", v);
    return Printf("%.2f", v);
}

std::string WithThousands(std::uint64_t n) {
    std::string digits = std::to_string(n), out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

// "5.00 ms" -> "5 ms", "2.50 ms" -> "2.5 ms": goals are round numbers.
std::string TrimZeros(std::string s) {
    const std::size_t space = s.find(' ');
    const std::size_t dot = s.find('.');
    if (dot == std::string::npos || space == std::string::npos || dot > space) return s;
    std::size_t end = space;
    while (end > dot + 1 && s[end - 1] == '0')
        --end;
    if (end == dot + 1) --end;
    return s.substr(0, end) + s.substr(space);
}

std::string FormatValue(const Operation& op, double v) {
    return op.unit == Unit::Bytes ? FormatBytes(v) : FormatSeconds(v);
}

std::optional<double> MedianOf(const SizeReport& report, const char* editor,
                               const std::string& op) {
    auto e = report.editors.find(editor);
    if (e == report.editors.end()) return std::nullopt;
    auto v = e->second.values.find(op);
    if (v == e->second.values.end() || v->second.empty()) return std::nullopt;
    return Median(v->second);
}

// An editor whose typing ran out of budget undid fewer keys; its undo is not comparable.
bool TypedEverything(const SizeReport& report, const char* editor) {
    for (const char* key : {"keys_end", "keys_middle"}) {
        auto m = MedianOf(report, editor, key);
        if (m && *m < report.shape.keys) return false;
    }
    return true;
}

double GoalFor(const SizeReport& report, const Operation& op) {
    if (report.kind.longLines) return op.goalLong;
    return report.kind.key == "100M" ? op.goalLarge : 0;
}

bool HasGoals(const SizeReport& report) {
    for (const Operation& op : Operations())
        if (GoalFor(report, op) > 0) return true;
    return false;
}

using Row = std::vector<std::string>;

std::vector<Row> BuildRows(const SizeReport& report) {
    const bool goals = HasGoals(report);
    std::vector<Row> rows;
    Row head = {"operation"};
    for (const Column& c : kColumns)
        head.push_back(c.title);
    head.push_back("Zantrix ÷ better peer");
    if (goals) {
        head.push_back("goal for Zantrix");
        head.push_back("met");
    }
    rows.push_back(head);

    for (const Operation& op : Operations()) {
        Row row = {op.label};
        for (const Column& c : kColumns) {
            auto m = MedianOf(report, c.key, op.key);
            row.push_back(m ? FormatValue(op, *m) : "–");
        }
        auto ours = MedianOf(report, "zantrix", op.key);
        std::optional<double> best;
        for (const char* peer : {"plain", "scintilla"}) {
            if (op.key == "undo" && !TypedEverything(report, peer)) continue;
            if (auto m = MedianOf(report, peer, op.key)) best = best ? std::min(*best, *m) : *m;
        }
        row.push_back(ours && best && *best > 0 ? Printf("%.2f×", *ours / *best) : "–");
        if (goals) {
            const double goal = GoalFor(report, op);
            row.push_back(goal > 0 ? "< " + TrimZeros(FormatValue(op, goal)) : "");
            row.push_back(goal > 0 && ours ? (*ours < goal ? "yes" : "no") : "");
        }
        rows.push_back(row);
    }

    // The searches against the physical floor of reading the same bytes once.
    for (const char* key : {"search_cs", "search_ci"}) {
        Row row = {
            std::string(key == std::string("search_cs") ? "case-sensitive" : "case-insensitive") +
            " search ÷ one memchr pass"};
        for (const Column& c : kColumns) {
            auto m = MedianOf(report, c.key, key);
            row.push_back(m && report.reference.memchrSeconds > 0
                              ? Printf("%.1f×", *m / report.reference.memchrSeconds)
                              : "–");
        }
        row.push_back("");
        if (goals) {
            row.push_back("");
            row.push_back("");
        }
        rows.push_back(row);
    }
    return rows;
}

// Display width of a UTF-8 string: one per code point.
std::size_t Width(const std::string& s) {
    return std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; });
}

std::string Heading(const SizeReport& report) {
    return report.kind.title + ": " + WithThousands(report.stats.bytes) + " bytes, " +
           WithThousands(report.stats.lines) + " lines, longest " +
           WithThousands(report.stats.longestLine) + " characters; median of " +
           std::to_string(report.runs) + (report.runs == 1 ? " run" : " runs");
}

std::vector<std::string> Notes(const SizeReport& report) {
    std::vector<std::string> notes;
    notes.push_back("reference over the same bytes: one memchr pass " +
                    FormatSeconds(report.reference.memchrSeconds) + ", one memcpy " +
                    FormatSeconds(report.reference.memcpySeconds));
    for (const Column& c : kColumns) {
        auto e = report.editors.find(c.key);
        if (e == report.editors.end()) {
            if (std::find(report.builtEditors.begin(), report.builtEditors.end(), c.key) ==
                report.builtEditors.end())
                notes.push_back(std::string(c.title) + ": not built into this harness");
            continue;
        }
        for (const std::string& font : e->second.fonts)
            if (font.rfind("DejaVu Sans Mono 10", 0) != 0)
                notes.push_back(std::string(c.title) + ": font resolved as " + font);
        const auto keysEnd = MedianOf(report, c.key, "keys_end");
        const auto keysMiddle = MedianOf(report, c.key, "keys_middle");
        if (!TypedEverything(report, c.key) && keysEnd && keysMiddle)
            notes.push_back(std::string(c.title) + ": typing stopped at the " +
                            Printf("%g", report.shape.budgetSeconds) + " s budget after " +
                            Printf("%.0f", *keysEnd) + " of " + std::to_string(report.shape.keys) +
                            " keys at the end and " + Printf("%.0f", *keysMiddle) +
                            " in the middle (medians); its undo covers only those keys and is "
                            "left out of the comparison");
        const auto pages = MedianOf(report, c.key, "pages");
        if (pages && *pages < report.shape.pages)
            notes.push_back(std::string(c.title) + ": paging stopped at the " +
                            Printf("%g", report.shape.budgetSeconds) + " s budget after " +
                            Printf("%.0f", *pages) + " of " + std::to_string(report.shape.pages) +
                            " page-downs (median)");
        if (e->second.failedSessions > 0)
            notes.push_back(std::string(c.title) + ": " + std::to_string(e->second.failedSessions) +
                            " of " + std::to_string(e->second.sessions) + " sessions failed");
        for (const std::string& warning : e->second.warnings)
            notes.push_back(std::string(c.title) + ": " + warning);
        for (const std::string& error : e->second.errors)
            notes.push_back(std::string(c.title) + ": " + error);
    }
    return notes;
}

} // namespace

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string FormatSeconds(double s) {
    // The unit is chosen after rounding, so 999.96 µs shows as 1.00 ms.
    if (s * 1e6 < 999.5) return ThreeDigits(s * 1e6) + " µs";
    if (s * 1e3 < 999.5) return ThreeDigits(s * 1e3) + " ms";
    return ThreeDigits(s) + " s";
}

std::string FormatBytes(double bytes) {
    return ThreeDigits(bytes / (1024.0 * 1024.0)) + " MiB";
}

std::string TextTable(const SizeReport& report) {
    const std::vector<Row> rows = BuildRows(report);
    std::vector<std::size_t> widths(rows[0].size(), 0);
    for (const Row& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], Width(row[i]));
    std::ostringstream out;
    out << "== " << Heading(report) << " ==\n";
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const std::string pad(widths[i] - Width(row[i]), ' ');
            // Labels to the left, numbers to the right.
            line += i == 0 ? row[i] + pad : "  " + pad + row[i];
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out << line << "\n";
    }
    for (const std::string& note : Notes(report))
        out << "  " << note << "\n";
    return out.str();
}

std::string MarkdownTable(const SizeReport& report) {
    const std::vector<Row> rows = BuildRows(report);
    std::ostringstream out;
    out << "### " << Heading(report) << "\n\n";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out << "|";
        for (const std::string& cell : rows[r])
            out << " " << cell << " |";
        out << "\n";
        if (r == 0) {
            out << "|---|";
            for (std::size_t i = 1; i < rows[r].size(); ++i)
                out << "---:|";
            out << "\n";
        }
    }
    out << "\n";
    for (const std::string& note : Notes(report))
        out << "- " << note << "\n";
    out << "\n";
    return out.str();
}

std::string MachineDescription() {
#if defined(__clang__)
    const char* kCompiler = "Clang";
#else
    const char* kCompiler = "GCC";
#endif
    std::string cpu = "unknown", memory = "unknown", os = "unknown";
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);)
        if (line.rfind("model name", 0) == 0) {
            cpu = line.substr(line.find(':') + 2);
            break;
        }
    std::ifstream meminfo("/proc/meminfo");
    for (std::string line; std::getline(meminfo, line);)
        if (line.rfind("MemTotal:", 0) == 0) {
            memory = FormatBytes(std::stod(line.substr(9)) * 1024.0);
            break;
        }
    std::ifstream release("/etc/os-release");
    for (std::string line; std::getline(release, line);)
        if (line.rfind("PRETTY_NAME=", 0) == 0) {
            os = line.substr(12);
            os.erase(std::remove(os.begin(), os.end(), '"'), os.end());
        }
    utsname uts{};
    uname(&uts);
    std::ostringstream out;
    out << "- processor: " << cpu << ", " << std::thread::hardware_concurrency()
        << " logical cores\n"
        << "- memory: " << memory << "\n"
        << "- system: " << os << ", " << uts.sysname << " " << uts.release << " " << uts.machine
        << "\n"
        << "- Qt " << qVersion() << ", QScintilla " << QSCINTILLA_VERSION_STR
        << ", offscreen platform, widget 800×600, DejaVu Sans Mono 10\n"
        << "- compiler: " << kCompiler << " " << __VERSION__ << ", build type "
        << ZANTRIX_BENCH_BUILD_TYPE << "\n";
    return out.str();
}

} // namespace zbench
