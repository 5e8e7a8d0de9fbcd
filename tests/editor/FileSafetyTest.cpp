// The text file editor never loses what the user has: every byte value survives a round trip,
// limits and failures are honest, and odd files and names neither hang nor misdirect a save.
#include "Controller.h"
#include "FileRig.h"
#include "Headless.h"
#include "KroExceptions.h"
#include "TextFileEditor.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::string_literals;

TEST(FileLoadSafety, EveryByteValueSurvivesWithAndWithoutTrimming) {
    std::string Line;
    for (int C = 0; C < 256; ++C)
        if (C != '\r' && C != '\n') Line += char(C);
    for (bool Trim : {true, false}) {
        TFileRig R;
        R.Ed.SetTrimWhiteSpace(Trim);
        R.Write("all.bin", Line + "\r\n" + Line + "  \t\n\n\x1A");
        R.Open("all.bin");
        EXPECT_EQ(R.Ed.LoadReport().Lines, 3);
        R.Ed.SaveToFile(R.Path("out.bin"));
        EXPECT_EQ(R.Read("out.bin"), Line + "\r\n" + Line + (Trim ? "" : "  \t") + "\r\n\r\n");
    }
}

TEST(FileLoadSafety, ALineTheByteLimitRefusesIsLeftOutAndCountedTheRestStillLoads) {
    TFileRig R;
    R.Ed.SetByteLimit(20);
    R.Write("l.txt", "first\r\n" + std::string(30, 'x') + "\r\nlast\r\n");
    R.Open("l.txt");
    EXPECT_EQ(R.Paras(), (TLines{"first", "last", ""}));
    EXPECT_EQ(R.Ed.LoadReport().Lines, 3);
    EXPECT_EQ(R.Ed.LoadReport().LinesLeftOut, 1);
    EXPECT_FALSE(R.Ed.Modified());
}

TEST(FileNames, ANameHoldingANulIsRefusedRatherThanCutShort) {
    TFileRig R;
    R.Write("a", "keep\r\n");
    R.Ed.InsertChar('x');
    const std::string Name = R.Path("a") + "\0.znt"s;
    // The system would see only the part before the NUL: another file.
    EXPECT_EQ(IoMessage([&] { R.Ed.SaveToFile(Name); }), "Invalid filename");
    EXPECT_EQ(R.Read("a"), "keep\r\n");
    EXPECT_TRUE(R.Ed.Modified());
    R.Ed.SetFileName(Name);
    EXPECT_EQ(IoMessage([&] { R.Ed.SetIsOpen(true); }), "Invalid filename");
    EXPECT_EQ(R.Paras(), TLines{""});
    EXPECT_FALSE(R.Ed.IsOpen());
    EXPECT_EQ(R.Files(), TLines{"a"});
}

TEST(FileOpenSafety, APipeIsRefusedInsteadOfWaitedFor) {
    TFileRig R;
    ASSERT_EQ(::mkfifo(R.Path("pipe").c_str(), 0644), 0);
    // Run where a hang ends in a signal rather than a stuck test.
    auto Open = [&] {
        ::alarm(20);
        R.Ed.SetFileName(R.Path("pipe"));
        const std::string Message = IoMessage([&] { R.Ed.SetIsOpen(true); });
        const bool Closed = !R.Ed.IsOpen() && R.Paras() == TLines{""};
        std::fprintf(stderr, "%s%s\n", Message.c_str(), Closed ? "" : " (left open)");
        std::_Exit(0);
    };
    EXPECT_EXIT(Open(), testing::ExitedWithCode(0), "^File access denied\n$");
    EXPECT_EQ(IoMessage([&] { R.Ed.LoadFromFile("/dev/null"); }), "File access denied");
}

TEST(FileSaveSafety, ThroughADanglingLinkTheFileItNamesIsCreatedAndTheLinkStays) {
    TFileRig R;
    ::mkdir(R.Path("sub").c_str(), 0755);
    ASSERT_EQ(::symlink("sub/target.znt", R.Path("link.znt").c_str()), 0);
    ASSERT_EQ(::symlink("link.znt", R.Path("link2.znt").c_str()), 0);
    R.Ed.InsertChar('x');
    R.Ed.SaveToFile(R.Path("link2.znt"));
    EXPECT_TRUE(fs::is_symlink(R.Path("link.znt")));
    EXPECT_TRUE(fs::is_symlink(R.Path("link2.znt")));
    EXPECT_EQ(R.Read("sub/target.znt"), "x\r\n");
    EXPECT_FALSE(R.Ed.Modified());
    // A chain of links that never ends names no file: refused, the links untouched.
    ASSERT_EQ(::symlink("loop2", R.Path("loop1").c_str()), 0);
    ASSERT_EQ(::symlink("loop1", R.Path("loop2").c_str()), 0);
    R.Ed.InsertChar('y');
    EXPECT_EQ(IoMessage([&] { R.Ed.SaveToFile(R.Path("loop1")); }), "Invalid filename");
    EXPECT_TRUE(fs::is_symlink(R.Path("loop1")));
    EXPECT_TRUE(R.Ed.Modified());
}

TEST(FileSaveSafety, OverADirectoryAVanishedFileAndANameOfSeveralDots) {
    TFileRig R;
    R.Write("a.znt", "one\r\ntwo\r\n");
    R.Open("a.znt");
    R.Ed.InsertChar('x');
    ::mkdir(R.Path("d.znt").c_str(), 0755);
    R.Ed.SetMakeBackup(true);
    EXPECT_EQ(IoMessage([&] { R.Ed.SaveToFile(R.Path("d.znt")); }), "File access denied");
    EXPECT_TRUE(R.Ed.Modified());
    // Removed behind the editor's back: the save writes it again, without a backup.
    ::unlink(R.Path("a.znt").c_str());
    R.Ed.SaveToFile(R.Path("a.znt"));
    EXPECT_EQ(R.Read("a.znt"), "xone\r\ntwo\r\n");
    EXPECT_FALSE(R.Ed.Modified());
    // Only the last extension is replaced.
    R.Write("a.v2.znt", "old\r\n");
    R.Ed.SaveToFile(R.Path("a.v2.znt"));
    EXPECT_EQ(R.Read("a.v2.BAK"), "old\r\n");
    EXPECT_EQ(R.Files(), (TLines{"a.v2.BAK", "a.v2.znt", "a.znt", "d.znt"}));
}
