// zantrix-bench: times what a user waits for, in our editor and its peers, on the same text.
#include "EditorAdapter.h"
#include "Options.h"
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

#include <chrono>
#include <cstdio>
#include <fstream>

namespace zbench {
namespace {

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
        } else if (kind == QLatin1String("warn")) {
            runs.warnings.insert(line.section(QLatin1Char(' '), 1).toStdString());
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

int RunParent(int argc, char** argv, const Options& o, const std::vector<std::string>& built) {
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
        const WorkloadKind& kind = *FindWorkload(key);
        SizeReport report;
        report.kind = kind;
        report.shape = o.shape;
        report.builtEditors = built;
        report.runs = o.runs ? o.runs : (kind.bytes > 50000000 || kind.longLines ? 3 : 5);
        const QString file = workDir + "/" + QString::fromStdString(kind.key) + ".znt";
        {
            std::fprintf(stderr, "%s: generating\n", kind.key.c_str());
            const std::string text = GenerateWorkload(kind);
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
                std::fprintf(stderr, "%s: run %d of %d, %s\n", kind.key.c_str(), r, report.runs,
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
    std::vector<std::string> built;
    for (const zbench::EditorInfo& e : zbench::Editors())
        built.push_back(e.key);
    zbench::Options options;
    std::string error;
    if (!zbench::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), built, options,
                              error)) {
        std::fprintf(stderr, "zantrix-bench: %s\n%s", error.c_str(), zbench::kUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(zbench::kUsage, stdout);
        return 0;
    }
    if (!options.child.empty()) return zbench::RunChild(argc, argv, options);
    return zbench::RunParent(argc, argv, options, built);
}
