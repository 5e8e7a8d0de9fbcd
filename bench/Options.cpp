// Parses the command line; sizes and editors are checked against what exists.
#include "Options.h"

#include "Workload.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace zbench {

const char kUsage[] =
    "usage: zantrix-bench [options]\n"
    "  --size S        1M, 10M, 100M or long (70 lines of 30000 characters); repeatable or\n"
    "                  comma-separated; default 1M,10M\n"
    "  --all           every size: 1M, 10M, 100M and long\n"
    "  --runs N        sessions per editor and size (default 5, 3 for 100M and long)\n"
    "  --editors LIST  comma-separated: zantrix, plain, scintilla (default: all built)\n"
    "  --markdown FILE also write the tables as a Markdown document\n"
    "  --smoke         one short session per editor at 1M (unless --size is given): checks\n"
    "                  that everything runs, the numbers mean little\n"
    "  --keys N        keys typed at the end and again in the middle (default 1000)\n"
    "  --pages N       page-downs from the top (default 200)\n"
    "  --budget S      seconds after which typing or paging stops early (default 1)\n"
    "  --workdir DIR   put the generated files in DIR and keep them (default: a fresh\n"
    "                  temporary folder, removed at the end)\n";

namespace {

std::vector<std::string> SplitList(const std::string& s) {
    std::vector<std::string> out;
    std::stringstream in(s);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty()) out.push_back(item);
    return out;
}

bool ParseInt(const char* text, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!end || *end || v < 0 || v > 1000000) return false;
    out = int(v);
    return true;
}

} // namespace

bool ParseOptions(const std::vector<std::string>& args,
                  const std::vector<std::string>& builtEditors, Options& o, std::string& error) {
    auto bad = [&](const std::string& what) {
        error = what;
        return false;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        auto value = [&]() -> const char* { return args[++i].c_str(); };
        if (a == "--help" || a == "-h") {
            o.help = true;
            return true;
        } else if (a == "--all") {
            for (const WorkloadKind& s : Workloads())
                o.sizes.push_back(s.key);
        } else if (a == "--smoke") {
            o.smoke = true;
        } else if (a == "--size" && hasValue) {
            for (const std::string& s : SplitList(value()))
                o.sizes.push_back(s);
        } else if (a == "--runs" && hasValue) {
            if (!ParseInt(value(), o.runs) || o.runs == 0)
                return bad("--runs wants a count of 1 or more");
        } else if (a == "--editors" && hasValue) {
            o.editors = SplitList(value());
        } else if (a == "--markdown" && hasValue) {
            o.markdown = value();
        } else if (a == "--keys" && hasValue) {
            if (!ParseInt(value(), o.shape.keys)) return bad("--keys wants a count");
        } else if (a == "--pages" && hasValue) {
            if (!ParseInt(value(), o.shape.pages)) return bad("--pages wants a count");
        } else if (a == "--budget" && hasValue) {
            char* end = nullptr;
            const char* text = value();
            o.shape.budgetSeconds = std::strtod(text, &end);
            if (!end || *end || !(o.shape.budgetSeconds > 0 && o.shape.budgetSeconds <= 3600))
                return bad("--budget wants seconds, more than 0 and at most 3600");
        } else if (a == "--workdir" && hasValue) {
            o.workDir = value();
        } else if (a == "--child" && hasValue) {
            o.child = value();
        } else if (a == "--file" && hasValue) {
            o.file = value();
        } else {
            return bad("unknown or incomplete option " + a);
        }
    }
    if (o.sizes.empty())
        o.sizes = o.smoke ? std::vector<std::string>{"1M"} : std::vector<std::string>{"1M", "10M"};
    std::vector<std::string> unique;
    for (const std::string& s : o.sizes) {
        if (!FindWorkload(s)) return bad("unknown size " + s);
        if (std::find(unique.begin(), unique.end(), s) == unique.end()) unique.push_back(s);
    }
    o.sizes = unique;
    if (o.editors.empty()) o.editors = builtEditors;
    for (const std::string& e : o.editors)
        if (std::find(builtEditors.begin(), builtEditors.end(), e) == builtEditors.end())
            return bad("editor " + e + " is not built into this harness");
    if (!o.child.empty() && o.file.empty()) return bad("--child needs --file");
    if (o.smoke) {
        if (o.runs == 0) o.runs = 1;
        o.shape.keys = std::min(o.shape.keys, 200);
        o.shape.pages = std::min(o.shape.pages, 40);
        o.shape.budgetSeconds = std::min(o.shape.budgetSeconds, 0.5);
    }
    return true;
}

} // namespace zbench
