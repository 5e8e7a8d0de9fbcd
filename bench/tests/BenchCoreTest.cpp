// Tests of the harness's own logic: the generated texts, the options and the tables.
#include "Options.h"
#include "Report.h"
#include "Workload.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace zbench {
namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// Every line ends with CR LF and holds neither CR nor LF nor NUL of its own.
void ExpectCrLfLines(const std::string& text) {
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    for (std::size_t i = 0; i < text.size(); ++i) {
        ASSERT_NE(text[i], '\0') << "at " << i;
        if (text[i] == '\r') {
            ASSERT_EQ(text[i + 1], '\n') << "lone CR at " << i;
        }
        if (text[i] == '\n') {
            ASSERT_EQ(text[i - 1], '\r') << "lone LF at " << i;
        }
    }
}

TEST(BenchWorkload, SceneTextIsDeterministicSceneLikeAndCrLf) {
    const std::string a = GenerateSceneText(1000000);
    EXPECT_EQ(a, GenerateSceneText(1000000));
    EXPECT_GE(a.size(), 1000000u);
    EXPECT_LT(a.size(), 1000000u + 65536u);
    ExpectCrLfLines(a);
    EXPECT_EQ(a.find(" \r\n"), std::string::npos);
    EXPECT_EQ(a.find("\t\r\n"), std::string::npos);
    // Tab and blank indentation, nesting, declarations, vectors and both kinds of comment.
    EXPECT_NE(a.find("\r\n\t"), std::string::npos);
    EXPECT_NE(a.find("\r\n    "), std::string::npos);
    EXPECT_NE(a.find("\r\n\t  "), std::string::npos);
    EXPECT_NE(a.find("\r\n\t\t"), std::string::npos);
    for (const char* piece : {"#declare ", "union {", "// ", "/*", "*/", ", <", "#while"})
        EXPECT_NE(a.find(piece), std::string::npos) << piece;
    // A shorter request is a prefix: the sizes measure the same kind of text.
    const std::string small = GenerateSceneText(10000);
    EXPECT_EQ(a.compare(0, small.size(), small), 0);
}

TEST(BenchWorkload, LargeTextHasSomeLongLinesButNoneBeyondAParagraph) {
    const std::string text = GenerateSceneText(10000000);
    const TextStats stats = Measure(text);
    EXPECT_GT(stats.longestLine, 1000u);
    EXPECT_LT(stats.longestLine, 32767u);
    std::size_t longLines = 0, start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end - start > 1000) ++longLines;
        start = end + 2;
    }
    // A few: present, but a tiny share of the lines.
    EXPECT_GE(longLines, 5u);
    EXPECT_LT(longLines * 100, stats.lines);
    EXPECT_EQ(Lower(text).find(Lower(kAbsentPattern)), std::string::npos);
}

TEST(BenchWorkload, LongLineFileHasExactLines) {
    const WorkloadKind* kind = FindWorkload("long");
    ASSERT_NE(kind, nullptr);
    const std::string text = GenerateWorkload(*kind);
    EXPECT_EQ(text.size(), kind->bytes);
    ExpectCrLfLines(text);
    const TextStats stats = Measure(text);
    EXPECT_EQ(stats.lines, std::uint64_t(kLongLineCount));
    EXPECT_EQ(stats.longestLine, std::uint64_t(kLongLineLength));
    for (std::size_t line = 0; line < std::size_t(kLongLineCount); ++line) {
        const std::size_t end = line * (kLongLineLength + 2) + kLongLineLength;
        EXPECT_EQ(text.substr(end, 2), "\r\n");
        EXPECT_NE(text[end - 1], ' ') << "line " << line + 1 << " ends in a blank";
    }
    EXPECT_EQ(Lower(text).find(Lower(kAbsentPattern)), std::string::npos);
}

TEST(BenchWorkload, SizesAndMeasure) {
    ASSERT_NE(FindWorkload("100M"), nullptr);
    EXPECT_EQ(FindWorkload("100M")->bytes, 100000000u);
    EXPECT_EQ(FindWorkload("2M"), nullptr);
    EXPECT_EQ(Measure("").lines, 0u);
    const TextStats s = Measure("ab\r\n\r\nxyz");
    EXPECT_EQ(s.lines, 3u);
    EXPECT_EQ(s.longestLine, 3u);
    EXPECT_EQ(Measure("abcd\r\n").longestLine, 4u);
}

TEST(BenchReport, MedianAndFormats) {
    EXPECT_EQ(Median({}), 0);
    EXPECT_EQ(Median({5, 1, 3}), 3);
    EXPECT_EQ(Median({4, 1, 3, 2}), 2.5);
    EXPECT_EQ(FormatSeconds(72e-6), "72.0 µs");
    EXPECT_EQ(FormatSeconds(5.7e-3), "5.70 ms");
    EXPECT_EQ(FormatSeconds(0.42), "420 ms");
    EXPECT_EQ(FormatSeconds(2.5), "2.50 s");
    // Rounding up never shows a thousand of the smaller unit.
    EXPECT_EQ(FormatSeconds(0.0009999), "1.00 ms");
    EXPECT_EQ(FormatSeconds(0.9999), "1.00 s");
    EXPECT_EQ(FormatBytes(243.0 * 1024 * 1024), "243 MiB");
}

SizeReport SampleReport(const std::string& size) {
    SizeReport r;
    r.kind = *FindWorkload(size);
    r.runs = 3;
    r.builtEditors = {"zantrix", "plain", "scintilla"};
    r.reference.memchrSeconds = 0.001;
    auto& ours = r.editors["zantrix"];
    ours.values["open"] = {0.010, 0.012, 0.011};
    ours.values["undo"] = {0.004, 0.004, 0.004};
    ours.values["search_cs"] = {0.050, 0.050, 0.050};
    ours.values["keys_end"] = {1000, 1000, 1000};
    ours.values["keys_middle"] = {1000, 1000, 1000};
    auto& plain = r.editors["plain"];
    plain.values["open"] = {0.030, 0.022, 0.026};
    plain.values["undo"] = {0.008, 0.008, 0.008};
    plain.values["keys_end"] = {1000, 1000, 1000};
    plain.values["keys_middle"] = {1000, 1000, 1000};
    auto& sci = r.editors["scintilla"];
    sci.values["open"] = {0.044, 0.044, 0.044};
    sci.values["undo"] = {0.001, 0.001, 0.001};
    sci.values["keys_end"] = {30, 31, 29};
    sci.values["keys_middle"] = {50, 50, 50};
    return r;
}

TEST(BenchReport, RatioIsToTheBetterPeerAndSkipsCutShortUndo) {
    const std::string md = MarkdownTable(SampleReport("10M"));
    // Medians 11 ms, 26 ms, 44 ms: ours over the better peer.
    EXPECT_NE(
        md.find("| open (file on disk to document ready) | 11.0 ms | 26.0 ms | 44.0 ms | 0.42× |"),
        std::string::npos)
        << md;
    // QScintilla undid only the keys it managed to type: the comparison is with QPlainTextEdit.
    EXPECT_NE(md.find("| 4.00 ms | 8.00 ms | 1.00 ms | 0.50× |"), std::string::npos) << md;
    EXPECT_NE(md.find("QScintilla: typing stopped at the 1 s budget after 30 of 1000 keys"),
              std::string::npos);
    // Search against one memchr pass; no goals at 10 MB; rows nobody measured show "–".
    EXPECT_NE(md.find("case-sensitive search ÷ one memchr pass | 50.0× | – | – |"),
              std::string::npos)
        << md;
    EXPECT_EQ(md.find("goal"), std::string::npos);
    EXPECT_NE(md.find("| first paint (render to an image) | – | – | – | – |"), std::string::npos);
}

TEST(BenchReport, GoalsAtTheLargeSizeAndMissingEditors) {
    SizeReport r = SampleReport("100M");
    std::string md = MarkdownTable(r);
    EXPECT_NE(md.find("| 0.42× | < 250 ms | yes |"), std::string::npos) << md;
    EXPECT_NE(md.find("| < 5 ms | yes |"), std::string::npos) << md; // undo 4 ms
    r.editors["zantrix"].values["open"] = {0.3, 0.3, 0.3};
    md = MarkdownTable(r);
    EXPECT_NE(md.find("| < 250 ms | no |"), std::string::npos) << md;

    r.editors.erase("zantrix");
    r.builtEditors = {"plain", "scintilla"};
    r.editors["plain"].failedSessions = 1;
    r.editors["plain"].sessions = 3;
    r.editors["plain"].errors.insert("the saved file differs from the file opened");
    r.editors["scintilla"].warnings.insert("undo stopped with 12 characters of the typing");
    md = MarkdownTable(r);
    EXPECT_NE(md.find("Zantrix: not built into this harness"), std::string::npos);
    EXPECT_NE(md.find("QPlainTextEdit: 1 of 3 sessions failed"), std::string::npos);
    EXPECT_NE(md.find("QPlainTextEdit: the saved file differs"), std::string::npos);
    EXPECT_NE(md.find("QScintilla: undo stopped with 12 characters"), std::string::npos);
    EXPECT_NE(md.find("| 26.0 ms | 44.0 ms | – | < 250 ms |  |"), std::string::npos) << md;
    // The plain-text table holds the same rows.
    EXPECT_NE(TextTable(r).find("Zantrix: not built into this harness"), std::string::npos);
}

const std::vector<std::string> kBuilt = {"zantrix", "plain", "scintilla"};

TEST(BenchOptions, DefaultsAllSmokeAndDuplicates) {
    Options o;
    std::string error;
    ASSERT_TRUE(ParseOptions({}, kBuilt, o, error)) << error;
    EXPECT_EQ(o.sizes, (std::vector<std::string>{"1M", "10M"}));
    EXPECT_EQ(o.editors, kBuilt);
    EXPECT_EQ(o.runs, 0);
    EXPECT_EQ(o.shape.keys, 1000);

    Options all;
    ASSERT_TRUE(ParseOptions({"--size", "long", "--all", "--size", "1M,10M"}, kBuilt, all, error));
    EXPECT_EQ(all.sizes, (std::vector<std::string>{"long", "1M", "10M", "100M"}));

    Options smoke;
    ASSERT_TRUE(ParseOptions({"--smoke", "--editors", "plain"}, kBuilt, smoke, error));
    EXPECT_EQ(smoke.sizes, std::vector<std::string>{"1M"});
    EXPECT_EQ(smoke.runs, 1);
    EXPECT_EQ(smoke.editors, std::vector<std::string>{"plain"});
    EXPECT_LE(smoke.shape.keys, 200);
    EXPECT_LE(smoke.shape.budgetSeconds, 0.5);

    Options child;
    ASSERT_TRUE(
        ParseOptions({"--child", "plain", "--file", "/tmp/x", "--budget", "2.5", "--keys", "10"},
                     kBuilt, child, error));
    EXPECT_EQ(child.child, "plain");
    EXPECT_EQ(child.shape.budgetSeconds, 2.5);
    EXPECT_EQ(child.shape.keys, 10);
}

TEST(BenchOptions, RefusesWhatCannotRun) {
    const std::vector<std::vector<std::string>> bad = {
        {"--size", "5M"},     {"--runs", "0"},      {"--runs", "x"},          {"--budget", "0"},
        {"--budget", "1s"},   {"--keys", "-3"},     {"--markdown"},           {"--frobnicate"},
        {"--child", "plain"}, {"--editors", "vim"}, {"--editors", "zantrix"},
    };
    for (const auto& args : bad) {
        Options o;
        std::string error;
        const std::vector<std::string> peersOnly = {"plain", "scintilla"};
        EXPECT_FALSE(ParseOptions(args, peersOnly, o, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
} // namespace zbench
