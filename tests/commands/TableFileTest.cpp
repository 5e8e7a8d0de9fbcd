// Text files of single command tables: exact layout, round trips and failures.
#include "CommandProcessor.h"
#include "KroExceptions.h"
#include "VirtualKeys.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
class TableFile : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("zx_tablefile_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override {
        fs::permissions(Dir, fs::perms::owner_all);
        fs::remove_all(Dir);
    }
    std::string PathOf(const std::string& Name) const { return (Dir / Name).string(); }
    std::string Write(const std::string& Name, const std::string& Bytes) const {
        std::ofstream(PathOf(Name), std::ios::binary) << Bytes;
        return PathOf(Name);
    }
    std::string Read(const std::string& Name) const {
        std::ifstream In(PathOf(Name), std::ios::binary);
        return {std::istreambuf_iterator<char>(In), {}};
    }
    static int IoCode(const std::function<void()>& Action) {
        try {
            Action();
        } catch (const EInOutError& E) {
            return E.Code();
        }
        return 0;
    }

    fs::path Dir;
};
} // namespace

TEST_F(TableFile, LayoutIsFixedWidthWithCrLf) {
    TKroCommandTable T;
    T.SetTableName("Keys");
    T.AddCommand({vkOf('Q'), ssCtrl, vkOf('S'), ssAnyCtrl, ccHome});
    T.AddCommand({vkF5, 0, 0, 0, 65535});
    T.SaveToFile(PathOf("keys.txt"));
    EXPECT_EQ(Read("keys.txt"), "Keys\r\n"
                                "  81   4  83 128    42\r\n"
                                " 116   0   0   0 65535\r\n");

    TKroCommandTable Empty;
    Empty.SetTableName("");
    Empty.SaveToFile(PathOf("empty.txt"));
    EXPECT_EQ(Read("empty.txt"), "\r\n");
    Empty.AddCommand({1, 2, 3, 4, 5});
    Empty.LoadFromFile(PathOf("empty.txt"));
    EXPECT_EQ(Empty.Count(), 0);
    EXPECT_EQ(Empty.TableName(), "");
}

TEST_F(TableFile, BuiltinTablesRoundTripByteForByte) {
    TKroCommandProcessor P;
    for (int I = 0; I < P.Count(); ++I) {
        const std::string Name = P.Tables(I).TableName();
        P.SaveCommandTable(Name, PathOf(Name + ".1"));
        TKroCommandTable Back;
        Back.LoadFromFile(PathOf(Name + ".1"));
        EXPECT_EQ(Back.TableName(), Name);
        EXPECT_EQ(Back.Entries(), P.Tables(I).Entries());
        Back.SaveToFile(PathOf(Name + ".2"));
        EXPECT_EQ(Read(Name + ".1"), Read(Name + ".2"));
    }
    // Loading through the processor applies unique naming.
    EXPECT_EQ(P.LoadCommandTable(PathOf("WordStar.1")), 3);
    EXPECT_EQ(P.Tables(3).TableName(), "WordStar1");
    EXPECT_EQ(P.Tables(3).Count(), 40);
}

TEST_F(TableFile, ReadingIsLenientAboutLayoutAndKeepsLowBits) {
    // Numbers may be separated by any blanks and span lines; text after the fifth is ignored;
    // LF-only line ends and trailing blank lines are fine.
    Write("loose.txt", "Loose one\n1 2 3 4 5 trailing words\n\n 6\t7\r\n8 9 10\r\n"
                       "337 -1 256 384 65836\r\n\r\n  \r\n");
    TKroCommandTable T;
    T.AddCommand({9, 9, 9, 9, 9});
    T.LoadFromFile(PathOf("loose.txt"));
    EXPECT_EQ(T.TableName(), "Loose one");
    ASSERT_EQ(T.Count(), 3);
    EXPECT_EQ(T.GetCommand(0), (TKroCommandEntry{1, 2, 3, 4, 5}));
    EXPECT_EQ(T.GetCommand(1), (TKroCommandEntry{6, 7, 8, 9, 10}));
    EXPECT_EQ(T.GetCommand(2), (TKroCommandEntry{81, 255, 0, 128, 300}));
}

TEST_F(TableFile, NonNumericFieldRaisesAndLeavesProcessorUnchanged) {
    TKroCommandProcessor P;
    const std::string Before = P.TableListText();
    const std::string Bad =
        Write("bad.txt", "Bad\r\n  81   4  83 128    42\r\n  65   4   x   0    46\r\n");
    try {
        P.LoadCommandTable(Bad);
        FAIL() << "no exception";
    } catch (const EInOutError& E) {
        EXPECT_STREQ(E.what(), "Invalid numeric input");
        EXPECT_EQ(E.Code(), 106);
    }
    EXPECT_EQ(P.Count(), 3);
    EXPECT_EQ(P.TableListText(), Before);

    TKroCommandTable T;
    T.AddCommand({1, 1, 1, 1, 1});
    EXPECT_EQ(IoCode([&] { T.LoadFromFile(Bad); }), 106);
    EXPECT_EQ(T.Count(), 0); // cleared first

    for (const char* Text : {"N\r\n12a 0 0 0 0\r\n", "N\r\n1 2 3 4 99999999999\r\n",
                             "N\r\n1 2 3 4 2147483648\r\n", "N\r\n+ 2 3 4 5\r\n"})
        EXPECT_EQ(IoCode([&] { T.LoadFromFile(Write("n.txt", Text)); }), 106) << Text;
    // An entry cut short by the end of the file.
    EXPECT_EQ(IoCode([&] { T.LoadFromFile(Write("short.txt", "N\r\n1 2 3\r\n")); }), 100);
    EXPECT_EQ(IoCode([&] { T.LoadFromFile(Write("ok.txt", "N\r\n-2147483648 +2 0003 4 5")); }), 0);
    EXPECT_EQ(T.GetCommand(0), (TKroCommandEntry{0, 2, 3, 4, 5}));
}

TEST_F(TableFile, OpenFailuresCarryRunTimeCodes) {
    TKroCommandProcessor P;
    EXPECT_EQ(IoCode([&] { P.LoadCommandTable(PathOf("missing.txt")); }), 2);
    EXPECT_STREQ(EInOutError(2).what(), "File not found");
    EXPECT_EQ(P.Count(), 3);
    EXPECT_EQ(IoCode([&] { P.SaveCommandTable("Default", PathOf("no/such/dir.txt")); }), 3);
    EXPECT_EQ(IoCode([&] { P.LoadCommandTable(Dir.string()); }), 5);
    if (::geteuid() != 0) {
        fs::permissions(Dir, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(IoCode([&] { P.SaveCommandTable("Grid", PathOf("locked.txt")); }), 5);
    }
    if (fs::exists("/dev/full")) {
        EXPECT_EQ(IoCode([&] { P.SaveCommandTable("Default", "/dev/full"); }), 101);
    }
}

TEST_F(TableFile, SavingAnUnknownTableCreatesNoFile) {
    TKroCommandProcessor P;
    P.SaveCommandTable("NoSuchTable", PathOf("none.txt"));
    EXPECT_FALSE(fs::exists(PathOf("none.txt")));
    P.SaveCommandTable("grid", PathOf("grid.txt"));
    EXPECT_EQ(Read("grid.txt").substr(0, 6), "Grid\r\n");
}
