// Loading a file, saving it and loading it again gives the same paragraphs: found by fuzzing
// the file loader.
#include "Controller.h"
#include "Headless.h"
#include "TextFileEditor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {
// Where two paragraph lists first differ, briefly.
std::string FirstDifference(const std::vector<std::string>& A, const std::vector<std::string>& B) {
    for (std::size_t I = 0; I < std::min(A.size(), B.size()); ++I)
        if (A[I] != B[I])
            return "paragraph " + std::to_string(I + 1) + ": " + std::to_string(A[I].size()) +
                   " bytes ending '" +
                   A[I].substr(A[I].size() - std::min<std::size_t>(A[I].size(), 8)) + "', then " +
                   std::to_string(B[I].size()) + " bytes ending '" +
                   B[I].substr(B[I].size() - std::min<std::size_t>(B[I].size(), 8)) + "'";
    return A.size() == B.size()
               ? "none"
               : std::to_string(A.size()) + " then " + std::to_string(B.size()) + " paragraphs";
}

struct TFileRig {
    TKroHeadlessPlatform Platform;
    TKroPlatformScope Scope{Platform};
    TKroController Controller;
    TKroHeadlessWindow Window;
    TKroTextFileEditor Ed{nullptr, &Window};

    TFileRig() {
        Ed.SetController(&Controller);
        Ed.CreateWnd();
    }
    std::vector<std::string> Paras() const {
        std::vector<std::string> D;
        for (const TParaNode* N = Ed.ParaList().FirstNode(); N; N = N->Next())
            D.emplace_back(N->Text(), N->Length());
        return D;
    }
};

class FileRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("zx_roundtrip_" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }

    // Loads Bytes with the given paragraph limit, saves, loads the saved file; both loads'
    // paragraphs.
    std::pair<std::vector<std::string>, std::vector<std::string>>
    LoadSaveLoad(const std::string& Bytes, int32_t ParaLengthLimit) {
        const fs::path In = Dir / "in.znt", Out = Dir / "out.znt";
        std::ofstream(In, std::ios::binary) << Bytes;
        TFileRig First;
        First.Ed.SetParaLengthLimit(ParaLengthLimit);
        First.Ed.LoadFromFile(In.string());
        First.Ed.SaveToFile(Out.string());
        TFileRig Second;
        Second.Ed.SetParaLengthLimit(ParaLengthLimit);
        Second.Ed.LoadFromFile(Out.string());
        return {First.Paras(), Second.Paras()};
    }
    fs::path Dir;
};
} // namespace

// A line longer than a paragraph can hold is split at a blank; with trailing blanks trimmed
// on loading, that blank must not be lost when the saved file is read again.
TEST_F(FileRoundTrip, LineSplitAtABlankKeepsTheBlankThroughSaveAndReload) {
    const auto [Loaded, Reloaded] = LoadSaveLoad("aaaa bbbb cccc dddd\r\n", 10);
    ASSERT_GT(Loaded.size(), 2u) << "the line was not split";
    EXPECT_TRUE(Reloaded == Loaded) << FirstDifference(Loaded, Reloaded);
}

// An indented line whose only blanks are its indentation: split there, the indentation alone
// would make a line of blanks that the next load trims away.
TEST_F(FileRoundTrip, IndentationOfALineSplitOnlyThereSurvivesSaveAndReload) {
    const auto [Loaded, Reloaded] = LoadSaveLoad("    xxxxxxxxxxxxxxx\r\n", 10);
    EXPECT_EQ(Loaded, (std::vector<std::string>{"    xxxxxx", "xxxxxxxxx", ""}));
    EXPECT_TRUE(Reloaded == Loaded) << FirstDifference(Loaded, Reloaded);
}

TEST_F(FileRoundTrip, OverLongLineWithTheDefaultLimitSurvivesSaveAndReload) {
    std::string Line;
    while (Line.size() < 40000)
        Line += "1.5 ";
    Line += "end";
    const auto [Loaded, Reloaded] = LoadSaveLoad(Line + "\r\n", DefaultParaLengthLimit);
    ASSERT_EQ(Loaded.size(), 3u);
    std::string Joined;
    for (const std::string& P : Reloaded)
        Joined += P;
    EXPECT_EQ(Joined.size(), Line.size()) << "bytes were lost between the loads";
    EXPECT_TRUE(Reloaded == Loaded) << FirstDifference(Loaded, Reloaded);
}

// Line ends of every kind, NUL bytes, Ctrl+Z inside a line and a last line without an end
// come back the same.
TEST_F(FileRoundTrip, MixedLineEndsAndControlBytesComeBackTheSame) {
    const std::string Bytes = std::string("a\r\nb\nc\rd\n\re\x1a"
                                          "f\r\n") +
                              std::string("nul\0inside", 10) + "\r\nlast";
    const auto [Loaded, Reloaded] = LoadSaveLoad(Bytes, DefaultParaLengthLimit);
    const std::vector<std::string> Want = {"a",
                                           "b",
                                           "c",
                                           "d",
                                           "",
                                           "e\x1a"
                                           "f",
                                           std::string("nul\0inside", 10),
                                           "last",
                                           ""};
    EXPECT_EQ(Loaded, Want);
    EXPECT_EQ(Reloaded, Loaded);
}
