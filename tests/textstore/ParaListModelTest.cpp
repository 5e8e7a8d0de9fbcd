// Randomized test of the paragraph list against a plain vector-of-strings model, undo included.
#include "ParaList.h"
#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using Strings = std::vector<std::string>;

namespace {

struct TModelRun {
    std::mt19937 Rng;
    TRecordingClient Ed;
    TParaList L{&Ed, false, 65535};
    Strings M;                    // the model text
    std::vector<Strings> History; // states before each recorded edit
    std::vector<Strings> Future;  // states that redo gives back, newest last

    // Non-zero: edits go to paragraphs within a few of a multiple of Focus, where a long
    // document keeps its look-up marks.
    int Focus = 0;

    explicit TModelRun(unsigned Seed) : Rng(Seed) {}

    int PickPara() {
        const int N = static_cast<int>(M.size());
        if (Focus == 0 || N < Focus) return Rand(1, N);
        const int Near = Focus * Rand(1, N / Focus) + Rand(-3, 3);
        return std::clamp(Near, 1, N);
    }

    // Paragraphs and display lines looked up far from the last place used read as the model.
    void CheckFarLookUps() {
        const int N = static_cast<int>(M.size());
        for (int I = 0; I < 3; ++I) {
            const int P = Rand(1, N);
            const TParaNode* Node = L.GetPara(P);
            ASSERT_NE(Node, nullptr);
            ASSERT_EQ(std::string(Node->Text(), Node->Length()), M[P - 1]) << "paragraph " << P;
        }
        const int32_t Line = Rand(1, L.LineCount());
        int32_t Count = 0, Para = 0;
        std::vector<uint16_t> Starts;
        for (Para = 1; Para <= N; ++Para) {
            const std::string& S = M[Para - 1];
            Starts = ComputeLineStarts(S.data(), static_cast<int32_t>(S.size()),
                                       L.EffectiveWrapColumn(), L.TabSize());
            if (Count + static_cast<int32_t>(Starts.size()) >= Line) break;
            Count += static_cast<int32_t>(Starts.size());
        }
        int32_t Start = -1;
        ASSERT_EQ(L.LineToPara(Line, Start), Para) << "line " << Line;
        ASSERT_EQ(Start, Starts[static_cast<size_t>(Line - Count - 1)]) << "line " << Line;
    }

    int Rand(int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); }
    int32_t Len(int P) const { return static_cast<int32_t>(M[P - 1].size()); }

    std::string RandomText(int MaxLen) {
        static const char Alphabet[] = {'a', 'b', 'c', 'd', ' ', ' ', '\t', '-', '\0', 'x'};
        std::string S(Rand(0, MaxLen), ' ');
        for (char& C : S)
            C = Alphabet[Rand(0, 9)];
        return S;
    }

    static void PadTo(std::string& S, int32_t N) {
        if (static_cast<int32_t>(S.size()) < N) S.resize(N, ' ');
    }
    static std::string TrimRight(std::string S) {
        while (!S.empty() && (S.back() == ' ' || S.back() == '\t'))
            S.pop_back();
        return S;
    }

    // Model of a line break at Pos of paragraph P (1-based), blanks trimmed or not.
    void ModelSplit(int P, int32_t Pos, const std::string& Indent, bool Trim) {
        std::string& S = M[P - 1];
        Pos = std::clamp<int32_t>(Pos, 1, static_cast<int32_t>(S.size()) + 1);
        if (Pos == 1) {
            M.insert(M.begin() + P - 1, std::string());
            return;
        }
        std::string Head = S.substr(0, Pos - 1), Tail = S.substr(Pos - 1);
        if (Trim && !Tail.empty()) Head = TrimRight(Head);
        S = Head;
        M.insert(M.begin() + P, Indent + Tail);
    }

    void Edit() {
        History.push_back(M);
        EditOnce();
        // An edit that records anything drops the redo part; one that changed nothing keeps it.
        if (L.RedoCount() == 0) Future.clear();
    }

    void EditOnce() {
        const int P = PickPara();
        switch (Rand(0, 7)) {
        case 0: { // insert, possibly beyond the end
            std::string T = RandomText(6);
            if (T.empty()) T = "z";
            int32_t Pos = Rand(1, Len(P) + 4);
            ASSERT_EQ(L.InsertText(&Ed, P, static_cast<int32_t>(T.size()), T.data(), Pos), erOK);
            PadTo(M[P - 1], Pos - 1);
            M[P - 1].insert(Pos - 1, T);
            break;
        }
        case 1: { // typing run at one place (merges into one record)
            int32_t Pos = Rand(1, Len(P) + 1);
            for (int I = Rand(1, 4); I > 0; --I) {
                char C = "abc \t"[Rand(0, 4)];
                ASSERT_EQ(L.InsertText(&Ed, P, 1, &C, Pos), erOK);
                M[P - 1].insert(Pos - 1, 1, C);
                ++Pos;
            }
            break;
        }
        case 2: { // delete, clipped
            int32_t Pos = Rand(1, Len(P) + 2), Count = Rand(1, 8);
            L.DeleteText(&Ed, P, Count, Pos);
            if (Pos <= Len(P)) M[P - 1].erase(Pos - 1, Count);
            break;
        }
        case 3: { // replace
            int32_t Pos = Rand(1, Len(P) + 1);
            int32_t Old = Rand(0, std::min<int32_t>(5, Len(P) - Pos + 1));
            std::string T = RandomText(5);
            ASSERT_EQ(L.ReplaceText(&Ed, P, static_cast<int32_t>(T.size()), T.data(), Old, Pos),
                      erOK);
            M[P - 1].replace(Pos - 1, Old, T);
            break;
        }
        case 4: { // line break with indentation
            int32_t Pos = Rand(1, Len(P) + 1);
            int TabSize = Rand(0, 1) ? 0 : Rand(1, 8);
            int32_t Indent = Rand(0, 10), Asked = Indent;
            bool Trim = Rand(0, 1);
            ASSERT_EQ(L.CheckLimits(0, 1, Indent + 2), erOK);
            ASSERT_EQ(L.SplitPara(&Ed, P, Pos, TabSize, Indent, Trim), erOK);
            std::string In;
            if (TabSize > 0)
                In = std::string(Asked / TabSize, '\t') + std::string(Asked % TabSize, ' ');
            else
                In.assign(Asked, ' ');
            ModelSplit(P, Pos, std::min<int32_t>(Pos, Len(P) + 1) == 1 ? "" : In, Trim);
            break;
        }
        case 5: { // join, at the end, beyond it, or at the start
            if (P == static_cast<int>(M.size())) {
                History.pop_back();
                return;
            }
            int32_t Pos = Rand(0, 3) == 0 ? 1 : Len(P) + 1 + Rand(0, 2);
            ASSERT_EQ(L.JoinParas(&Ed, P, Pos), erOK);
            std::string& S = M[P - 1];
            if (S.empty() && Pos == 1) {
                M.erase(M.begin() + P - 1);
            } else {
                if (!M[P].empty()) {
                    PadTo(S, Pos - 1);
                    S.insert(Pos - 1, M[P]);
                }
                M.erase(M.begin() + P);
            }
            break;
        }
        case 6: { // block deletion over paragraphs
            if (M.size() < 2) {
                History.pop_back();
                return;
            }
            int P1 = Rand(1, static_cast<int>(M.size()) - 1);
            int P2 = Rand(P1 + 1, std::min<int>(static_cast<int>(M.size()), P1 + 4));
            int32_t Pos1 = Rand(0, 2) ? Rand(1, Len(P1) + 1) : 1;
            int32_t Pos2 = Rand(0, 2) ? Rand(1, Len(P2) + 1) : 1;
            ASSERT_EQ(L.DeleteBlock(&Ed, P1, Pos1, P2, Pos2), erOK);
            if (Pos1 == 1 && Pos2 == 1) {
                M.erase(M.begin() + P1 - 1, M.begin() + P2 - 1);
            } else {
                M[P1 - 1] = M[P1 - 1].substr(0, Pos1 - 1) + M[P2 - 1].substr(Pos2 - 1);
                M.erase(M.begin() + P1, M.begin() + P2);
            }
            break;
        }
        case 7: { // multi-line insertion
            std::string T;
            for (int I = Rand(1, 4); I > 0; --I) {
                T += RandomText(5);
                if (I > 1 || Rand(0, 1)) T += Rand(0, 1) ? "\r\n" : "\n";
            }
            const TParaPos Start{P, Rand(1, Len(P) + 2)};
            TParaPos At = Start;
            ASSERT_EQ(L.InsertTextBlock(&Ed, At, T.data(), static_cast<int32_t>(T.size())), erOK);
            ModelBlock(Start, T, At);
            break;
        }
        }
    }

    // Replays a block insertion at Start on the model and checks where the list left At.
    void ModelBlock(TParaPos At, const std::string& T, const TParaPos& Got) {
        if (T.empty()) {
            // nothing at all: not even padding
        } else if (T.find('\n') == std::string::npos) {
            PadTo(M[At.Para - 1], At.Pos - 1);
            M[At.Para - 1].insert(At.Pos - 1, T);
            At.Pos += static_cast<int32_t>(T.size());
        } else {
            size_t I = 0;
            while (I < T.size()) {
                size_t Lf = T.find('\n', I);
                size_t End = Lf == std::string::npos ? T.size() : Lf + 1;
                size_t C = End;
                while (C > I && (T[C - 1] == '\r' || T[C - 1] == '\n'))
                    --C;
                const std::string Content = T.substr(I, C - I);
                const bool EndsLine = C < End;
                if (EndsLine && At.Pos == 1) {
                    M.insert(M.begin() + At.Para - 1, Content);
                } else {
                    if (!Content.empty()) {
                        PadTo(M[At.Para - 1], At.Pos - 1);
                        M[At.Para - 1].insert(At.Pos - 1, Content);
                        At.Pos += static_cast<int32_t>(Content.size());
                    }
                    if (EndsLine) ModelSplit(At.Para, At.Pos, "", false);
                }
                if (EndsLine) At = {At.Para + 1, 1};
                I = End;
            }
        }
        EXPECT_EQ(Got, At);
    }

    void Undo() {
        int32_t P = 0, Q = 0;
        L.Undo(&Ed, P, Q);
        const Strings Now = Paras(L);
        Future.push_back(M);
        // Merged typing undoes several model steps at once: the text must be one of the
        // earlier states.
        while (!History.empty() && History.back() != Now)
            History.pop_back();
        ASSERT_FALSE(History.empty()) << "undo produced a text that never existed";
        M = History.back();
        History.pop_back();
    }

    void Redo() {
        int32_t P = 0, Q = 0;
        L.Redo(&Ed, P, Q);
        ASSERT_FALSE(Future.empty());
        History.push_back(M);
        M = Future.back();
        Future.pop_back();
    }

    void Check(int Step) {
        ASSERT_EQ(Paras(L), M) << "step " << Step;
        ASSERT_EQ(L.ParaCount(), static_cast<int32_t>(M.size()));
        int64_t Bytes = 0, Lines = 0;
        for (const std::string& S : M) {
            Bytes += static_cast<int64_t>(S.size()) + 2;
            Lines +=
                static_cast<int64_t>(ComputeLineStarts(S.data(), static_cast<int32_t>(S.size()),
                                                       L.EffectiveWrapColumn(), L.TabSize())
                                         .size());
        }
        ASSERT_EQ(L.ByteCount(), Bytes - 2);
        ASSERT_EQ(L.LineCount(), Lines);
        L.CheckInvariant();
    }
};

void RunEpisode(unsigned Seed, int Steps, int StartParas = 0, int Focus = 0) {
    TModelRun R(Seed);
    R.Focus = Focus;
    Strings Start;
    for (int I = StartParas > 0 ? StartParas : R.Rand(1, 6); I > 0; --I)
        Start.push_back(R.RandomText(30));
    Load(R.L, Start);
    R.M = Paras(R.L);
    const Strings Original = R.M;
    for (int Step = 0; Step < Steps; ++Step) {
        const int What = R.Rand(0, 19);
        if (What < 13) {
            R.Edit();
        } else if (What < 16) {
            if (R.L.UndoCount() > 0) R.Undo();
        } else if (What < 18) {
            if (R.L.RedoCount() > 0) R.Redo();
        } else if (What == 18) {
            R.L.SetWordWrap(!R.L.WordWrap());
        } else if (R.Rand(0, 1)) {
            R.L.SetWrapColumn(R.Rand(1, 30));
        } else {
            R.L.SetTabSize(static_cast<uint8_t>(R.Rand(1, 8)));
        }
        if (::testing::Test::HasFatalFailure()) return;
        R.Check(Step);
        if (Focus > 0) R.CheckFarLookUps();
        if (::testing::Test::HasFatalFailure()) return;
    }
    // Undoing everything gives back the text as loaded, unmodified.
    int32_t P = 0, Q = 0;
    while (R.L.UndoCount() > 0)
        R.L.Undo(&R.Ed, P, Q);
    EXPECT_EQ(Paras(R.L), Original) << "seed " << Seed;
    EXPECT_FALSE(R.L.Modified());
    R.L.CheckInvariant();
}

} // namespace

TEST(ParaListModel, RandomEditsUndoAndRedoMatchTheModel) {
    const int Episodes = RandomSteps(40);
    for (int E = 0; E < Episodes; ++E) {
        RunEpisode(1000u + static_cast<unsigned>(E), 150);
        if (HasFailure()) break;
    }
}

// Long enough for the list's look-up marks (one every 1024 paragraphs), with the edits around
// them: every kind of edit, undo, redo and re-wrap keeps the marks true, and look-ups far from
// the cursor, which start from them, find the right paragraph and line.
TEST(ParaListModel, EditsAroundTheLookUpMarksOfALongDocumentMatchTheModel) {
    const int Episodes = std::max(1, RandomSteps(40) / 10);
    for (int E = 0; E < Episodes; ++E) {
        RunEpisode(2000u + static_cast<unsigned>(E), 120, 3100, 1024);
        if (HasFailure()) break;
    }
}
