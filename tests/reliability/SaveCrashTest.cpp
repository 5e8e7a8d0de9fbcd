// Saving is all or nothing: a child process saving a large document is killed at random
// moments, and afterwards the file is either the complete old file or the complete new one.
#include "Controller.h"
#include "Headless.h"
#include "ReliabilityOptions.h"
#include "TextFileEditor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {
std::string ReadAll(const fs::path& P) {
    std::ifstream In(P, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), {}};
}

// Scene-like lines; Salt makes the old and the new document differ everywhere.
std::vector<std::string> SceneLines(int Count, int Salt) {
    std::vector<std::string> Lines;
    Lines.reserve(static_cast<std::size_t>(Count));
    for (int I = 0; I < Count; ++I)
        Lines.push_back("sphere { <" + std::to_string(I) + ", " + std::to_string(Salt) + ", " +
                        std::to_string(I * 7 % 13) + ">, 0." + std::to_string(I % 10) +
                        " texture { pigment { color rgb <" + std::to_string(Salt % 3) +
                        ", 1, 0> } } }");
    return Lines;
}

std::string FileBytes(const std::vector<std::string>& Lines) {
    std::string S;
    for (const std::string& L : Lines)
        S += L + "\r\n";
    return S;
}

struct TFileRig {
    TKroHeadlessPlatform Platform;
    TKroPlatformScope Scope{Platform};
    TKroController Controller;
    TKroHeadlessWindow Window;
    TKroTextFileEditor Ed{nullptr, &Window};

    explicit TFileRig(const std::vector<std::string>& Lines) {
        Ed.SetController(&Controller);
        Ed.CreateWnd();
        for (const std::string& L : Lines)
            EXPECT_EQ(Ed.AppendText(L), 0);
    }
};

// The child's part: saves and exits, 0 when the save succeeded and 2 when it raised.
[[noreturn]] void SaveAndExit(TKroTextFileEditor& Ed, const fs::path& Target, bool Backup) {
    int Code = 0;
    try {
        Ed.SetMakeBackup(Backup);
        Ed.SaveToFile(Target.string());
    } catch (...) {
        Code = 2;
    }
    ::_exit(Code);
}

// Runs Save in a child process; kills it after DelayUs microseconds unless it finished first.
// Returns the time the child ran.
std::chrono::microseconds SaveInChild(TKroTextFileEditor& Ed, const fs::path& Target, bool Backup,
                                      long DelayUs) {
    const auto Start = std::chrono::steady_clock::now();
    const pid_t Pid = ::fork();
    if (Pid == 0) {
        SaveAndExit(Ed, Target, Backup);
    }
    EXPECT_GT(Pid, 0);
    if (DelayUs >= 0) {
        ::usleep(static_cast<useconds_t>(DelayUs));
        ::kill(Pid, SIGKILL);
    }
    int Status = 0;
    EXPECT_EQ(::waitpid(Pid, &Status, 0), Pid);
    if (WIFEXITED(Status)) {
        EXPECT_EQ(WEXITSTATUS(Status), 0) << "the save failed in the child";
    }
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 Start);
}

// Runs Save in a child process whose files may not grow beyond Limit bytes: the write that
// crosses it kills the child (SIGXFSZ) at that exact byte, whatever the timing. Returns the
// child's wait status.
int SaveInChildDyingAt(TKroTextFileEditor& Ed, const fs::path& Target, bool Backup, rlim_t Limit) {
    const pid_t Pid = ::fork();
    if (Pid == 0) {
        const rlimit NoCore{0, 0};
        const rlimit Size{Limit, Limit};
        ::setrlimit(RLIMIT_CORE, &NoCore);
        if (::setrlimit(RLIMIT_FSIZE, &Size) != 0) ::_exit(3);
        SaveAndExit(Ed, Target, Backup);
    }
    EXPECT_GT(Pid, 0);
    int Status = 0;
    EXPECT_EQ(::waitpid(Pid, &Status, 0), Pid);
    return Status;
}

class SaveCrash : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("zx_savecrash_" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }
    fs::path Dir;
};
} // namespace

// CI kills a couple of dozen saves; --iterations=N kills N.
TEST_F(SaveCrash, KilledSaveLeavesTheOldOrTheNewFileWhole) {
    const std::vector<std::string> OldLines = SceneLines(8000, 1);
    const std::vector<std::string> NewLines = SceneLines(24000, 2);
    const std::string OldBytes = FileBytes(OldLines);
    const std::string NewBytes = FileBytes(NewLines);
    TFileRig Old(OldLines);
    TFileRig New(NewLines);
    const fs::path Target = Dir / "scene.znt";
    const fs::path Backup = Dir / "scene.BAK";

    // A save that runs to its end, timed so that the kills fall before, during and after it.
    const auto Full = SaveInChild(New.Ed, Dir / "timing.znt", false, -1);
    ASSERT_EQ(ReadAll(Dir / "timing.znt"), NewBytes);
    const long Span = static_cast<long>(Full.count()) * 13 / 10 + 1;

    const int Kills = IterationsOr(16);
    std::mt19937_64 Rng(SeedOr(7));
    int LeftOld = 0, LeftNew = 0, LeftNone = 0;
    for (int K = 0; K < Kills; ++K) {
        // Every fourth round saves a file that does not exist yet.
        const bool Fresh = K % 4 == 3;
        const bool MakeBackup = K % 2 == 1;
        fs::remove(Backup);
        if (Fresh) {
            fs::remove(Target);
        } else {
            Old.Ed.SetMakeBackup(false);
            Old.Ed.SaveToFile(Target.string());
            ASSERT_EQ(ReadAll(Target), OldBytes);
        }
        const long Delay = static_cast<long>(Rng() % static_cast<unsigned long>(Span));
        SaveInChild(New.Ed, Target, MakeBackup, Delay);

        SCOPED_TRACE("kill " + std::to_string(K) + " after " + std::to_string(Delay) + " us of a " +
                     std::to_string(Full.count()) + " us save" + (Fresh ? ", new file" : "") +
                     (MakeBackup ? ", with backup" : ""));
        if (!fs::exists(Target)) {
            EXPECT_TRUE(Fresh) << "the file vanished";
            ++LeftNone;
        } else {
            const std::string Now = ReadAll(Target);
            if (Now == NewBytes) {
                ++LeftNew;
            } else {
                EXPECT_FALSE(Fresh) << "a half-written new file of " << Now.size() << " bytes";
                EXPECT_EQ(Now.size(), OldBytes.size()) << "neither the old nor the new file";
                EXPECT_TRUE(Now == OldBytes) << "neither the old nor the new file";
                ++LeftOld;
            }
        }
        // The backup, where one was made, is the whole old file.
        if (fs::exists(Backup)) {
            EXPECT_TRUE(MakeBackup && !Fresh);
            EXPECT_TRUE(ReadAll(Backup) == OldBytes) << "the backup is not the old file";
        }
        if (HasFailure()) break;
    }

    // Whatever the killed saves left behind, a save that runs to its end still works.
    New.Ed.SetMakeBackup(true);
    New.Ed.SaveToFile(Target.string());
    EXPECT_EQ(ReadAll(Target), NewBytes);
    int Leftovers = 0;
    for (const auto& E : fs::directory_iterator(Dir))
        if (E.path().filename().string().front() == '.') ++Leftovers;
    std::cout << "[ save     ] " << Kills << " saves killed: " << LeftOld << " left the old file, "
              << LeftNew << " the new one, " << LeftNone << " no file yet; " << Leftovers
              << " temporary files left by killed saves\n";
}

// The same without depending on when a kill lands: the save dies at a random byte of the new
// file, so every round interrupts the writing itself. --iterations=N runs N rounds.
TEST_F(SaveCrash, SaveDyingAtAnyByteLeavesTheOldFileWhole) {
    const std::vector<std::string> OldLines = SceneLines(2000, 1);
    const std::vector<std::string> NewLines = SceneLines(6000, 2);
    const std::string OldBytes = FileBytes(OldLines);
    const std::string NewBytes = FileBytes(NewLines);
    TFileRig Old(OldLines);
    TFileRig New(NewLines);
    const fs::path Target = Dir / "scene.znt";
    const fs::path Backup = Dir / "scene.BAK";

    const int Rounds = IterationsOr(12);
    std::mt19937_64 Rng(SeedOr(11));
    for (int K = 0; K < Rounds; ++K) {
        const bool Fresh = K % 4 == 3;
        const bool MakeBackup = K % 2 == 1;
        fs::remove(Backup);
        if (Fresh) {
            fs::remove(Target);
        } else {
            Old.Ed.SetMakeBackup(false);
            Old.Ed.SaveToFile(Target.string());
            ASSERT_EQ(ReadAll(Target), OldBytes);
        }
        // Round 0 dies at the first byte, round 1 at the last one.
        const rlim_t Limit = K == 0 ? 0 : K == 1 ? NewBytes.size() - 1 : Rng() % NewBytes.size();
        const int Status = SaveInChildDyingAt(New.Ed, Target, MakeBackup, Limit);
        SCOPED_TRACE("round " + std::to_string(K) + ": the save died at byte " +
                     std::to_string(Limit) + " of " + std::to_string(NewBytes.size()) +
                     (Fresh ? ", new file" : "") + (MakeBackup ? ", with backup" : ""));
        // The save did not finish: it died, or it reported the failed write.
        EXPECT_TRUE((WIFSIGNALED(Status) && WTERMSIG(Status) == SIGXFSZ) ||
                    (WIFEXITED(Status) && WEXITSTATUS(Status) == 2))
            << "wait status " << Status;
        if (Fresh) {
            EXPECT_FALSE(fs::exists(Target)) << "a half-written new file";
        } else {
            ASSERT_TRUE(fs::exists(Target)) << "the file vanished";
            const std::string Now = ReadAll(Target);
            EXPECT_EQ(Now.size(), OldBytes.size());
            EXPECT_TRUE(Now == OldBytes) << "the old file was changed";
        }
        if (fs::exists(Backup)) {
            EXPECT_TRUE(MakeBackup && !Fresh);
            EXPECT_TRUE(ReadAll(Backup) == OldBytes) << "the backup is not the old file";
        }
        if (HasFailure()) break;
    }
    New.Ed.SetMakeBackup(false);
    New.Ed.SaveToFile(Target.string());
    EXPECT_EQ(ReadAll(Target), NewBytes);
}
