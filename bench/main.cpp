// zantrix-bench: times what a user waits for in our editor and its peers on the same generated
// text.
#include "EditorAdapter.h"
#include "Operations.h"
#include "Reference.h"
#include "Report.h"
#include "Session.h"
#include "Workload.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace zbench {
namespace {

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

struct Options {
    std::vector<std::string> sizes;
    int runs = 0; // 0: the default for each size
    std::vector<std::string> editors;
    std::string markdown;
    std::string workDir;
    bool smoke = false;
    SessionShape shape;
    // A session in a process of its own.
    std::string child;
    std::string file;
};

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

// Returns 0 when the options are good, else an exit code (2 for a usage error).
int Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        auto value = [&]() -> const char* { return argv[++i]; };
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return -1;
        } else if (a == "--all") {
            for (const WorkloadSpec& s : Workloads())
                o.sizes.push_back(s.key);
        } else if (a == "--smoke") {
            o.smoke = true;
        } else if (a == "--size" && hasValue) {
            for (const std::string& s : SplitList(value()))
                o.sizes.push_back(s);
        } else if (a == "--runs" && hasValue) {
            if (!ParseInt(value(), o.runs) || o.runs == 0) return 2;
        } else if (a == "--editors" && hasValue) {
            o.editors = SplitList(value());
        } else if (a == "--markdown" && hasValue) {
            o.markdown = value();
        } else if (a == "--keys" && hasValue) {
            if (!ParseInt(value(), o.shape.keys)) return 2;
        } else if (a == "--pages" && hasValue) {
            if (!ParseInt(value(), o.shape.pages)) return 2;
        } else if (a == "--budget" && hasValue) {
            char* end = nullptr;
            const char* text = value();
            o.shape.budgetSeconds = std::strtod(text, &end);
            if (!end || *end || !(o.shape.budgetSeconds > 0 && o.shape.budgetSeconds <= 3600))
                return 2;
        } else if (a == "--workdir" && hasValue) {
            o.workDir = value();
        } else if (a == "--child" && hasValue) {
            o.child = value();
        } else if (a == "--file" && hasValue) {
            o.file = value();
        } else {
            std::fprintf(stderr, "zantrix-bench: unknown or incomplete option %s\n%s", a.c_str(),
                         kUsage);
            return 2;
        }
    }
    if (o.sizes.empty())
        o.sizes = o.smoke ? std::vector<std::string>{"1M"} : std::vector<std::string>{"1M", "10M"};
    std::vector<std::string> unique;
    for (const std::string& s : o.sizes) {
        if (!FindWorkload(s)) {
            std::fprintf(stderr, "zantrix-bench: unknown size %s\n", s.c_str());
            return 2;
        }
        if (std::find(unique.begin(), unique.end(), s) == unique.end()) unique.push_back(s);
    }
    o.sizes = unique;
    if (o.editors.empty())
        for (const EditorInfo& e : Editors())
            o.editors.push_back(e.key);
    for (const std::string& e : o.editors)
        if (!FindEditor(e)) {
            std::fprintf(stderr, "zantrix-bench: editor %s is not built into this harness\n",
                         e.c_str());
            return 2;
        }
    if (o.smoke) {
        if (o.runs == 0) o.runs = 1;
        o.shape.keys = std::min(o.shape.keys, 200);
        o.shape.pages = std::min(o.shape.pages, 40);
        o.shape.budgetSeconds = std::min(o.shape.budgetSeconds, 0.5);
    }
    return 0;
}

int RunChild(int argc, char** argv, const Options& o) {
    // Every session draws offscreen, whatever display the caller has.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SessionOptions session;
    session.editor = o.child;
    session.file = QString::fromStdString(o.file);
    session.workDir = o.workDir.empty() ? QDir::tempPath() : QString::fromStdString(o.workDir);
    session.shape = o.shape;
    return RunSession(session);
}

// One session of one editor in a new process of this program; its lines go into `runs`.
void RunSessionProcess(const Options& o, const std::string& editor, const QString& file,
                       const QString& workDir, EditorRuns& runs) {
    QProcess process;
    QStringList args = {"--child",   QString::fromStdString(editor),
                        "--file",    file,
                        "--workdir", workDir,
                        "--keys",    QString::number(o.shape.keys),
                        "--pages",   QString::number(o.shape.pages),
                        "--budget",  QString::number(o.shape.budgetSeconds)};
    process.start(QCoreApplication::applicationFilePath(), args);
    ++runs.sessions;
    const bool finished = process.waitForStarted() && process.waitForFinished(60 * 60 * 1000);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString kind = line.section(QLatin1Char(' '), 0, 0);
        if (kind == QLatin1String("result")) {
            const std::string key = line.section(QLatin1Char(' '), 1, 1).toStdString();
            runs.values[key].push_back(line.section(QLatin1Char(' '), 2, 2).toDouble());
        } else if (kind == QLatin1String("info") &&
                   line.section(QLatin1Char(' '), 1, 1) == "font") {
            runs.fonts.insert(line.section(QLatin1Char(' '), 2).toStdString());
        } else if (kind == QLatin1String("error")) {
            runs.errors.insert(line.section(QLatin1Char(' '), 1).toStdString());
        }
    }
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ++runs.failedSessions;
        if (!finished) {
            process.kill();
            process.waitForFinished();
            runs.errors.insert("a session did not finish within an hour");
        } else if (process.exitStatus() != QProcess::NormalExit) {
            runs.errors.insert("a session crashed");
        }
        const QByteArray err = process.readAllStandardError().right(2000);
        if (!err.isEmpty()) std::fprintf(stderr, "%s\n", err.constData());
    }
}

std::string CommandLine(int argc, char** argv) {
    std::string s = "zantrix-bench";
    for (int i = 1; i < argc; ++i)
        s += std::string(" ") + argv[i];
    return s;
}

int RunParent(int argc, char** argv, const Options& o) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temp(QDir::tempPath() + "/zantrix-bench-XXXXXX");
    QString workDir = QString::fromStdString(o.workDir);
    if (workDir.isEmpty()) {
        if (!temp.isValid()) {
            std::fprintf(stderr, "zantrix-bench: cannot create a temporary folder\n");
            return 1;
        }
        workDir = temp.path();
    } else if (!QDir().mkpath(workDir)) {
        std::fprintf(stderr, "zantrix-bench: cannot create %s\n", o.workDir.c_str());
        return 1;
    }

    std::string markdown = "# Zantrix performance\n\nProduced by `" + CommandLine(argc, argv) +
                           "`.\n\n" + MachineDescription() + "\n";
    bool failed = false;
    for (const std::string& key : o.sizes) {
        const WorkloadSpec& spec = *FindWorkload(key);
        SizeReport report;
        report.spec = spec;
        report.shape = o.shape;
        report.runs = o.runs ? o.runs : (spec.bytes > 50000000 || spec.longLines ? 3 : 5);
        const QString file = workDir + "/" + QString::fromStdString(spec.key) + ".znt";
        {
            std::fprintf(stderr, "%s: generating\n", spec.key.c_str());
            const std::string text = GenerateWorkload(spec);
            report.stats = Measure(text);
            std::ofstream f(file.toStdString(), std::ios::binary);
            f.write(text.data(), std::streamsize(text.size()));
            if (!f.flush()) {
                std::fprintf(stderr, "zantrix-bench: cannot write %s\n", qPrintable(file));
                return 1;
            }
            report.reference = MeasureReference(text, 11);
        }
        for (int r = 1; r <= report.runs; ++r) {
            // Editors take turns in each round, so a slow spell of the machine hits them alike.
            for (const std::string& editor : o.editors) {
                std::fprintf(stderr, "%s: run %d of %d, %s\n", spec.key.c_str(), r, report.runs,
                             FindEditor(editor)->title.c_str());
                const auto start = std::chrono::steady_clock::now();
                RunSessionProcess(o, editor, file, workDir, report.editors[editor]);
                std::fprintf(stderr, "  %.1f s\n",
                             std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
                                 .count());
            }
        }
        for (const auto& [editor, runs] : report.editors)
            if (runs.failedSessions > 0 || !runs.errors.empty()) failed = true;
        std::fputs(TextTable(report).c_str(), stdout);
        std::fputs("\n", stdout);
        std::fflush(stdout);
        markdown += MarkdownTable(report);
        if (o.workDir.empty()) QFile::remove(file);
    }
    if (!o.markdown.empty()) {
        std::ofstream f(o.markdown, std::ios::binary);
        f << markdown;
        if (!f.flush()) {
            std::fprintf(stderr, "zantrix-bench: cannot write %s\n", o.markdown.c_str());
            return 1;
        }
    }
    return failed ? 1 : 0;
}

} // namespace
} // namespace zbench

int main(int argc, char** argv) {
    zbench::Options options;
    const int parsed = zbench::Parse(argc, argv, options);
    if (parsed != 0) return parsed < 0 ? 0 : parsed;
    if (!options.child.empty()) return zbench::RunChild(argc, argv, options);
    return zbench::RunParent(argc, argv, options);
}
