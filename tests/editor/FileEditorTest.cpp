// The text file editor against real files in a temporary folder: line ends, long lines, the
// end-of-file mark, NUL bytes, blanks, the file properties, backups and failed saves.
#include "Controller.h"
#include "FileRig.h"
#include "Headless.h"
#include "KroExceptions.h"
#include "TextFileEditor.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <typeinfo>
#include <unistd.h>

TEST(FileLines, EveryLineEndEndsOneLineAndTheSaveWritesCrLf) {
    using namespace std::string_literals;
    struct TCase {
        std::string File;
        TLines Paras; // after loading, with the empty last paragraph
        std::string Saved;
    };
    const TCase Cases[] = {
        {"a\r\nb\r\n", {"a", "b", ""}, "a\r\nb\r\n"},
        {"a\nb\n", {"a", "b", ""}, "a\r\nb\r\n"},
        {"a\rb\r", {"a", "b", ""}, "a\r\nb\r\n"},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d", ""}, "a\r\nb\r\nc\r\nd\r\n"},
        {"a\n\rb\r\r\nc", {"a", "", "b", "", "c", ""}, "a\r\n\r\nb\r\n\r\nc\r\n"},
        {"", {""}, ""},
        {"\r\n\r\n", {"", "", ""}, "\r\n\r\n"},
        // Ctrl+Z ends the file only as its very last byte; NUL is an ordinary character.
        {"ab\x1A", {"ab", ""}, "ab\r\n"},
        {"ab\r\n\x1A", {"ab", ""}, "ab\r\n"},
        {"a\x1A"s + "b\x1A\r\n", {"a\x1A"s + "b\x1A", ""}, "a\x1A"s + "b\x1A\r\n"},
        {"a\0b\n\0"s, {"a\0b"s, "\0"s, ""}, "a\0b\r\n\0\r\n"s},
    };
    for (const TCase& C : Cases) {
        TFileRig R;
        R.Write("in.txt", C.File);
        R.Open("in.txt");
        EXPECT_EQ(R.Paras(), C.Paras) << testing::PrintToString(C.File);
        EXPECT_FALSE(R.Ed.Modified());
        EXPECT_FALSE(R.Ed.CanUndo());
        R.Ed.SaveToFile(R.Path("out.txt"));
        EXPECT_EQ(R.Read("out.txt"), C.Saved) << testing::PrintToString(C.File);
    }
}

TEST(FileLines, ALineEndSplitAcrossReadBlocksIsStillOneLineEnd) {
    // Lines sized so that a CR lands on the last byte of every power-of-two block from 64 KiB
    // to 8 MiB, with its LF in the next block.
    std::string File;
    TLines Want;
    for (std::size_t Boundary = 1 << 16; Boundary <= (std::size_t(1) << 23); Boundary *= 2) {
        while (File.size() + 100 < Boundary - 1) {
            Want.push_back(std::string(98, char('a' + Want.size() % 26)));
            File += Want.back() + "\r\n";
        }
        Want.push_back(std::string(Boundary - 1 - File.size(), 'z'));
        File += Want.back() + "\r\n";
    }
    Want.emplace_back();
    TFileRig R;
    R.Write("big.txt", File);
    R.Open("big.txt");
    EXPECT_TRUE(R.Paras() == Want)
        << "paragraphs: " << R.Ed.ParaList().ParaCount() << " of " << Want.size();
}

TEST(FileLines, AnOverlongLineIsSplitNotCut) {
    std::string Line;
    for (int I = 0; Line.size() < 40000; ++I)
        Line += "word" + std::to_string(I) + (I % 7 ? " " : "\t");
    Line.resize(40000);
    TFileRig R;
    R.Write("long.txt", "first\r\n" + Line + "\r\nlast\r\n");
    R.Open("long.txt");
    const TLines P = R.Paras();
    ASSERT_EQ(P.size(), 5u);
    EXPECT_EQ(P[1] + P[2], Line) << "every character kept";
    EXPECT_LE(P[1].size(), 32767u);
    // Split at a blank run, which opens the second piece: ending the first, it would be
    // trimmed when the saved file is read again.
    EXPECT_TRUE(P[2].front() == ' ' || P[2].front() == '\t') << "split at a blank";
    EXPECT_FALSE(P[1].back() == ' ' || P[1].back() == '\t');
    EXPECT_EQ(R.Ed.LoadReport().Lines, 3);
    EXPECT_EQ(R.Ed.LoadReport().SplitLines, 1);
    EXPECT_EQ(R.Ed.LoadReport().LinesLeftOut, 0);
}

TEST(FileLines, TrailingBlanksGoOnlyWithTrimWhiteSpace) {
    TFileRig R;
    R.Write("b.txt", "a  \r\n\tb\t\r\n \r\n");
    R.Open("b.txt");
    EXPECT_EQ(R.Paras(), (TLines{"a", "\tb", "", ""}));
    R.Ed.SetIsOpen(false);
    R.Ed.SetTrimWhiteSpace(false);
    R.Ed.SetIsOpen(true);
    EXPECT_EQ(R.Paras(), (TLines{"a  ", "\tb\t", " ", ""}));
}

TEST(FileLines, LimitsLeaveLinesOutAndTheReportSaysHowMany) {
    TFileRig R;
    R.Ed.SetParaLimit(3);
    R.Write("l.txt", "1\r\n2\r\n3\r\n4\r\n5\r\n");
    R.Open("l.txt");
    EXPECT_EQ(R.Paras(), (TLines{"1", "2", "3", ""}));
    EXPECT_EQ(R.Ed.LoadReport().Lines, 5);
    EXPECT_EQ(R.Ed.LoadReport().LinesLeftOut, 2);
    EXPECT_TRUE(R.Ed.IsOpen());
}

TEST(FileProperties, NamesAreNormalisedAndTheSameNameChangesNothing) {
    TFileRig R;
    R.Write("x.znt", "text\r\n");
    R.Ed.SetFileName(R.Path("x.znt."));
    EXPECT_EQ(R.Ed.FileName(), R.Path("x.znt"));
    R.Ed.SetIsOpen(true);
    R.Ed.SetFileName(R.Path("x.znt"));
    EXPECT_TRUE(R.Ed.IsOpen());
    // On Linux letter case makes another name: the file closes, the text stays.
    R.Ed.SetFileName(R.Path("X.znt"));
    EXPECT_FALSE(R.Ed.IsOpen());
    EXPECT_EQ(R.Paras(), (TLines{"text", ""}));
    R.Ed.SetFileName(".");
    EXPECT_EQ(R.Ed.FileName(), ".");
    R.Ed.SetFileName("");
    R.Ed.SetIsOpen(true);
    EXPECT_FALSE(R.Ed.IsOpen()) << "no name, nothing to open";
    EXPECT_EQ(TKroCustomTextFileEditor::BackupFileName("a.v2/scene", "BAK"), "a.v2/scene.BAK");
    EXPECT_EQ(TKroCustomTextFileEditor::BackupFileName("d/.profile", "BAK"), "d/.profile.BAK");
    EXPECT_EQ(TKroCustomTextFileEditor::BackupFileName("a.tar.gz", "old"), "a.tar.old");
    R.Ed.SetBackupExt("backup");
    EXPECT_EQ(R.Ed.BackupExt(), "bac");
    R.Ed.SetBackupExt("../");
    EXPECT_EQ(R.Ed.BackupExt(), "bac");
}

TEST(FileProperties, ClosingClearsAndNewFileStartsUntitled) {
    TFileRig R;
    R.Write("x.znt", "text\r\n");
    R.Open("x.znt");
    R.Ed.SetIsOpen(false);
    EXPECT_EQ(R.Paras(), TLines{""});
    R.Ed.SetIsOpen(true);
    R.Ed.InsertChar('q');
    R.Ed.NewFile("Untitled");
    EXPECT_EQ(R.Paras(), TLines{""});
    EXPECT_EQ(R.Ed.FileName(), "Untitled");
    EXPECT_FALSE(R.Ed.IsOpen());
    EXPECT_FALSE(R.Ed.Modified());
}

TEST(FileProperties, FormDataOpensTheFileWhenTheWindowIsCreated) {
    TFileRig R;
    R.Write("f.znt", "one\r\ntwo\r\n");
    TKroHeadlessWindow W;
    TKroTextFileEditor Ed(nullptr, &W);
    Ed.SetController(&R.Controller);
    Ed.SetReadOnly(true);
    Ed.SetLoading(true);
    EXPECT_TRUE(Ed.ReadFormProperty("FileName", "'" + R.Path("f.znt") + "'"));
    EXPECT_TRUE(Ed.ReadFormProperty("IsOpen", "True"));
    EXPECT_TRUE(Ed.ReadFormProperty("MakeBackup", "True"));
    EXPECT_TRUE(Ed.ReadFormProperty("BackupExt", "'O''K'"));
    Ed.SetLoading(false);
    EXPECT_EQ(Ed.ParaList().ParaCount(), 1) << "nothing read while the form loads";
    Ed.CreateWnd();
    EXPECT_EQ(Ed.ParaList().ParaCount(), 3) << "read-only controls show files too";
    EXPECT_EQ(Ed.BackupExt(), "O'K");
    const auto Props = Ed.WriteFormProperties();
    EXPECT_NE(std::find(Props.begin(), Props.end(),
                        std::pair<std::string, std::string>("BackupExt", "'O''K'")),
              Props.end());
}

TEST(FileProperties, AttachTakesTheFileNameOfAnotherFileEditorOnly) {
    TFileRig R;
    R.Write("a.znt", "shared\r\n");
    R.Open("a.znt");
    TKroHeadlessWindow W;
    TKroTextFileEditor Other(nullptr, &W);
    Other.SetController(&R.Controller);
    Other.CreateWnd();
    Other.Attach(&R.Ed);
    EXPECT_EQ(Other.FileName(), R.Path("a.znt"));
    EXPECT_EQ(&Other.ParaList(), &R.Ed.ParaList());
    TKroHeadlessWindow W2;
    TKroCustomEditor Plain(nullptr, &W2);
    Plain.SetController(&R.Controller);
    Plain.CreateWnd();
    EXPECT_THROW(Other.Attach(&Plain), std::bad_cast);
    EXPECT_EQ(&Other.ParaList(), &R.Ed.ParaList()) << "nothing changed";
    // Saving repaints every editor showing the document.
    Other.InsertChar('x');
    Other.Paint(W.Surface, TKroRect{0, 0, W.Width, W.Height});
    W.ClearLog();
    R.Ed.SaveToFile(R.Path("a.znt"));
    EXPECT_FALSE(Other.Modified());
    EXPECT_GT(W.InvalidateAllCount, 0);
    // Leaving the shared document leaves its file: saving the empty text cannot overwrite it.
    Other.Detach();
    EXPECT_NE(&Other.ParaList(), &R.Ed.ParaList());
    EXPECT_EQ(Other.FileName(), "");
    EXPECT_FALSE(Other.IsOpen());
    EXPECT_EQ(R.Ed.FileName(), R.Path("a.znt"));
    EXPECT_EQ(R.Paras(), (TLines{"xshared", ""}));
    R.Ed.Detach(); // alone now: keeps its document and its file
    EXPECT_EQ(R.Ed.FileName(), R.Path("a.znt"));
    EXPECT_EQ(R.Paras(), (TLines{"xshared", ""}));
}

TEST(FileOpen, AFailedLoadLeavesAnEmptyClosedDocumentNamedAfterTheFile) {
    TFileRig R;
    R.Write("x.znt", "text\r\n");
    R.Open("x.znt");
    R.Ed.SetFileName(R.Path("missing.znt"));
    EXPECT_EQ(IoMessage([&] { R.Ed.SetIsOpen(true); }), "File not found");
    EXPECT_FALSE(R.Ed.IsOpen());
    EXPECT_EQ(R.Ed.FileName(), R.Path("missing.znt"));
    EXPECT_EQ(R.Paras(), TLines{""});
    ::mkdir(R.Path("sub").c_str(), 0755);
    EXPECT_EQ(IoMessage([&] { R.Ed.LoadFromFile(R.Path("sub")); }), "File access denied");
}

TEST(FileSave, BackupKeepsThePreviousFileOnlyWhereThereIsOne) {
    TFileRig R;
    R.Ed.SetMakeBackup(true);
    R.Write("scene.znt", "old\r\n");
    R.Write("scene.BAK", "older\r\n");
    ::chmod(R.Path("scene.znt").c_str(), 0640);
    R.Open("scene.znt");
    R.Ed.InsertChar('n');
    R.Ed.SaveToFile(R.Path("scene.znt"));
    EXPECT_EQ(R.Read("scene.znt"), "nold\r\n");
    EXPECT_EQ(R.Read("scene.BAK"), "old\r\n");
    EXPECT_FALSE(R.Ed.Modified());
    struct stat St;
    ASSERT_EQ(::stat(R.Path("scene.znt").c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 07777, 0640u) << "the permission bits stay";
    // A backup name equal to the file's own: no backup. A new file: no backup.
    R.Ed.SaveToFile(R.Path("notes.BAK"));
    R.Ed.SaveToFile(R.Path("new.inc"));
    EXPECT_EQ(R.Files(), (TLines{"new.inc", "notes.BAK", "scene.BAK", "scene.znt"}))
        << "no other backup, no temporary file left";
}

TEST(FileSave, AFailedSaveLeavesTheOldFileWholeAndTheTextModified) {
    TFileRig R;
    R.Ed.SetMakeBackup(true);
    R.Write("scene.znt", "old\r\n");
    R.Write("scene.BAK", "older\r\n");
    R.Open("scene.znt");
    std::string Lines;
    for (int I = 0; I < 200; ++I)
        Lines += std::string(60, 'x') + "\r\n";
    ASSERT_EQ(R.Ed.InsertString(Lines), erOK);
    // A disk that fills up half way (a file size limit works for every user, root too).
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit Old{};
    ::getrlimit(RLIMIT_FSIZE, &Old);
    rlimit Small = Old;
    Small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &Small);
    const std::string Full = IoMessage([&] { R.Ed.SaveToFile(R.Path("scene.znt")); });
    ::setrlimit(RLIMIT_FSIZE, &Old);
    EXPECT_EQ(Full, "Disk full");
    EXPECT_EQ(R.Read("scene.znt"), "old\r\n");
    EXPECT_EQ(R.Read("scene.BAK"), "older\r\n");
    EXPECT_TRUE(R.Ed.Modified());
    EXPECT_EQ(R.Files(), (TLines{"scene.BAK", "scene.znt"})) << "the temporary file is gone";
    // A path through something that is not a directory.
    EXPECT_EQ(IoMessage([&] { R.Ed.SaveToFile(R.Path("scene.znt/x.znt")); }), "Invalid filename");
    EXPECT_TRUE(R.Ed.Modified());
}

TEST(FileSave, AReadOnlyDirectoryOrFileRefusesTheSaveAndKeepsTheOldFile) {
    TFileRig R;
    R.Write("scene.znt", "old\r\n");
    R.Write("locked.znt", "locked\r\n");
    ::chmod(R.Path("locked.znt").c_str(), 0444);
    R.Open("scene.znt");
    R.Ed.InsertChar('n');
    if (::access(R.Path("locked.znt").c_str(), W_OK) == 0)
        GTEST_SKIP() << "this user (root) may write where permissions forbid it; the disk-full "
                        "and non-directory cases cover the failed save";
    EXPECT_EQ(IoMessage([&] { R.Ed.SaveToFile(R.Path("locked.znt")); }), "File access denied");
    EXPECT_EQ(R.Read("locked.znt"), "locked\r\n");
    ::chmod(R.Dir.c_str(), 0555);
    EXPECT_EQ(IoMessage([&] { R.Ed.SaveToFile(R.Path("scene.znt")); }), "File access denied");
    EXPECT_EQ(R.Read("scene.znt"), "old\r\n");
    EXPECT_TRUE(R.Ed.Modified());
    EXPECT_EQ(R.Files(), (TLines{"locked.znt", "scene.znt"}));
}

// Root may write where permissions forbid it, so as root the same save runs in a child process
// as the unprivileged user "nobody" (65534); the child's findings come back as its exit status.
namespace {
// Whether a child can drop to "nobody" and still make a scratch folder; some containers refuse.
bool CanRunUnprivileged() {
    const pid_t Child = ::fork();
    if (Child < 0) return false;
    if (Child == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            std::_Exit(1);
        char Template[] = "/tmp/zx-probe-XXXXXX";
        if (::mkdtemp(Template) == nullptr) std::_Exit(1);
        ::rmdir(Template);
        std::_Exit(0);
    }
    int Status = 0;
    if (::waitpid(Child, &Status, 0) != Child) return false;
    return WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
}
} // namespace

TEST(FileSave, AReadOnlyDirectoryOrFileRefusesTheSaveForAnUnprivilegedUserToo) {
    if (!CanRunUnprivileged())
        GTEST_SKIP() << "this machine does not let a child become an unprivileged user";
    auto Save = [] {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            std::fprintf(stderr, "cannot become an unprivileged user\n");
            std::_Exit(2);
        }
        std::string Problems;
        {
            TFileRig R;
            R.Write("scene.znt", "old\r\n");
            R.Write("locked.znt", "locked\r\n");
            ::chmod(R.Path("locked.znt").c_str(), 0444);
            R.Open("scene.znt");
            R.Ed.InsertChar('n');
            std::string Message = IoMessage([&] { R.Ed.SaveToFile(R.Path("locked.znt")); });
            if (Message != "File access denied") Problems += "locked file: " + Message + "; ";
            if (R.Read("locked.znt") != "locked\r\n") Problems += "the locked file changed; ";
            ::chmod(R.Dir.c_str(), 0555);
            Message = IoMessage([&] { R.Ed.SaveToFile(R.Path("scene.znt")); });
            if (Message != "File access denied") Problems += "directory: " + Message + "; ";
            if (R.Read("scene.znt") != "old\r\n") Problems += "the old file changed; ";
            if (!R.Ed.Modified()) Problems += "Modified was cleared; ";
            if (R.Files() != (TLines{"locked.znt", "scene.znt"}))
                Problems += "a file was left behind; ";
        }
        std::fprintf(stderr, "%s", Problems.empty() ? "refused\n" : Problems.c_str());
        std::_Exit(Problems.empty() ? 0 : 1);
    };
    EXPECT_EXIT(Save(), testing::ExitedWithCode(0), "^refused\n$");
}

TEST(FileSave, ThroughASymbolicLinkTheLinkStays) {
    TFileRig R;
    R.Ed.SetMakeBackup(true);
    ::mkdir(R.Path("real").c_str(), 0755);
    R.Write("real/s.znt", "old\r\n");
    ASSERT_EQ(::symlink("real/s.znt", R.Path("link.znt").c_str()), 0);
    R.Open("link.znt");
    R.Ed.InsertChar('n');
    R.Ed.SaveToFile(R.Path("link.znt"));
    EXPECT_TRUE(fs::is_symlink(R.Path("link.znt")));
    EXPECT_EQ(R.Read("real/s.znt"), "nold\r\n");
    EXPECT_EQ(R.Read("real/s.BAK"), "old\r\n");
}
