// Tests of the paragraph node: wrapping examples, storage sizes, edits, incremental re-wrap.
#include "ParaNode.h"
#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;
using Strings = std::vector<std::string>;

namespace {

TParaNode Make(const std::string& S, int32_t Wrap, int Tab = 8) {
    return TParaNode(S.data(), static_cast<int32_t>(S.size()), Wrap, Tab);
}

std::string Text(const TParaNode& N) {
    return std::string(N.Text(), N.Length());
}

} // namespace

TEST(ParaNodeWrap, Examples) {
    EXPECT_EQ(Lines(Make("hello world", 6)), (Strings{"hello ", "world"}));
    EXPECT_EQ(Lines(Make("hello world", 5)), (Strings{"hello ", "world"}));
    EXPECT_EQ(Lines(Make("abcdefghij", 4)), (Strings{"abcd", "efgh", "ij"}));
    EXPECT_EQ(Lines(Make("well-known fact", 7)), (Strings{"well-", "known ", "fact"}));
    EXPECT_EQ(Lines(Make("abc-def", 3)), (Strings{"abc-", "def"}));
    EXPECT_EQ(Lines(Make(" abcdefgh", 4)), (Strings{" ", "abcd", "efgh"}));
    // Blanks past the wrap column at the end stay on the last line.
    EXPECT_EQ(Lines(Make("abc      ", 5)), (Strings{"abc      "}));
    EXPECT_EQ(Lines(Make("abc def     ", 5)), (Strings{"abc ", "def     "}));
}

TEST(ParaNodeWrap, TabsExpandFromEachLineStart) {
    std::string Ten;
    for (int I = 0; I < 10; ++I)
        Ten += "x\t";
    EXPECT_EQ(Lines(Make(Ten + "yy", 80)), (Strings{Ten, "yy"}));
    // "gh\tij" is 6 columns wide on its own line, though its tab would reach column 12 when
    // counted from the start of the paragraph.
    EXPECT_EQ(Lines(Make("abcdef gh\tij", 8, 4)), (Strings{"abcdef ", "gh\tij"}));
}

TEST(ParaNodeWrap, NoWrapColumnsKeepOneLine) {
    std::string Long(200, 'a');
    EXPECT_EQ(Make(Long, NoWrapColumn).LineCount(), 1);
    EXPECT_EQ(Make(Long, 0).LineCount(), 1);
    // The unwrapped column breaks only text whose tabs reach it.
    EXPECT_EQ(Make(std::string(5000, 'a'), 32767).LineCount(), 1);
    EXPECT_EQ(Make(std::string(4200, '\t') + "a", 32767).LineCount(), 2);
    EXPECT_EQ(Make(std::string(4200, '\t'), 32767).LineCount(), 1); // blanks never start a line
}

TEST(ParaNodeWrap, NulDoesNotEndTheText) {
    std::string S = "ab\0cd ef\0gh"s;
    TParaNode N = Make(S, 6);
    EXPECT_EQ(N.Length(), 11);
    EXPECT_EQ(Text(N), S);
    EXPECT_EQ(Lines(N), (Strings{"ab\0cd "s, "ef\0gh"s}));
}

TEST(ParaNodeStorage, CreationAndGrowthSizes) {
    EXPECT_EQ(Make("", 80).Capacity(), 0);
    EXPECT_FALSE(Make("", 80).HasBuffer());
    EXPECT_STREQ(Make("", 80).Text(), "");
    EXPECT_EQ(Make("abc", 80).Capacity(), 8);
    EXPECT_EQ(Make("abcdefg", 80).Capacity(), 8);
    EXPECT_EQ(Make("abcdefgh", 80).Capacity(), 16);
    EXPECT_EQ(Make(std::string(16, 'a'), 80).Capacity(), 24);

    TParaNode N = Make("", 80);
    int32_t F, L;
    ASSERT_EQ(N.InsertText("a", 1, 1, 80, 8, F, L), erOK);
    EXPECT_EQ(N.Capacity(), 16);
    ASSERT_EQ(N.InsertText("bcdefghijklmno", 14, 2, 80, 8, F, L), erOK);
    EXPECT_EQ(N.Capacity(), 16); // 15 characters + NUL
    ASSERT_EQ(N.InsertText("p", 1, 16, 80, 8, F, L), erOK);
    EXPECT_EQ(N.Capacity(), 32);
    EXPECT_EQ(Text(N), "abcdefghijklmnop");
    N.DeleteText(1, 16, 80, 8, F, L);
    EXPECT_EQ(N.Capacity(), 32); // never shrinks
    EXPECT_EQ(N.Length(), 0);
}

TEST(ParaNodeStorage, LineTableSizes) {
    EXPECT_EQ(Make("abc", NoWrapColumn).LineTableSize(), 1);
    EXPECT_EQ(Make("abc", 0).LineTableSize(), 1);
    EXPECT_EQ(Make("abc", 80).LineTableSize(), 8);
    EXPECT_EQ(Make(std::string(1000, 'a'), 10).LineTableSize(), 120);
    EXPECT_EQ(Make(std::string(1000, 'a'), 7).LineTableSize(), 176);
    TParaNode N = Make("", 1);
    int32_t F, L;
    std::string A(20, 'a');
    ASSERT_EQ(N.InsertText(A.data(), 20, 1, 1, 8, F, L), erOK);
    EXPECT_EQ(N.LineCount(), 20);
    EXPECT_EQ(N.LineTableSize(), 24);
}

TEST(ParaNodeStorage, RefusesToGrowPastTheParagraphMaximum) {
    std::string Big(MaxParaLength, 'a');
    TParaNode N = Make(Big, 80);
    int32_t F, L;
    EXPECT_EQ(N.InsertText("b", 1, 1, 80, 8, F, L), erOutOfMemory);
    EXPECT_EQ(N.Length(), MaxParaLength);
    EXPECT_EQ(N.ReplaceText(1, 1, 2, "bc", 80, 8, F, L), erOutOfMemory);
    EXPECT_EQ(N.Text()[0], 'a');
    EXPECT_THROW(TParaNode(Big.data(), MaxParaLength + 1, 80, 8), EOutOfMemory);
}

TEST(ParaNodeEdit, InsertBeyondTheEndPadsWithSpaces) {
    TParaNode N = Make("abc", 80);
    int32_t F, L;
    ASSERT_EQ(N.InsertText("X", 1, 10, 80, 8, F, L), erOK);
    EXPECT_EQ(Text(N), "abc      X");
    EXPECT_EQ(N.Text()[10], '\0');
}

TEST(ParaNodeEdit, DeleteClipsAndIgnoresPositionsPastTheEnd) {
    TParaNode N = Make("abcde", 80);
    int32_t F, L;
    N.DeleteText(7, 2, 80, 8, F, L);
    EXPECT_EQ(Text(N), "abcde");
    N.DeleteText(3, 10, 80, 8, F, L);
    EXPECT_EQ(Text(N), "ab");
    TParaNode E = Make("", 80);
    E.DeleteText(1, 1, 80, 8, F, L);
    EXPECT_EQ(E.Length(), 0);
}

TEST(ParaNodeEdit, ReplaceShorterLongerAndEqual) {
    TParaNode N = Make("hello world", 80);
    int32_t F, L;
    ASSERT_EQ(N.ReplaceText(1, 5, 3, "bye", 80, 8, F, L), erOK);
    EXPECT_EQ(Text(N), "bye world");
    ASSERT_EQ(N.ReplaceText(5, 5, 7, "friends", 80, 8, F, L), erOK);
    EXPECT_EQ(Text(N), "bye friends");
    ASSERT_EQ(N.ReplaceText(1, 3, 3, "BYE", 80, 8, F, L), erOK);
    EXPECT_EQ(Text(N), "BYE friends");
    ASSERT_EQ(N.ReplaceText(4, 0, 1, "\0"s.data(), 80, 8, F, L), erOK);
    EXPECT_EQ(Text(N), "BYE\0 friends"s);
}

TEST(ParaNodeEdit, DeletingTheOnlyCharacterOfTheSecondLineRemovesIt) {
    TParaNode N = Make("hello w", 6);
    ASSERT_EQ(N.LineCount(), 2);
    int32_t F, L;
    N.DeleteText(7, 1, 6, 8, F, L);
    EXPECT_EQ(N.LineCount(), 1);
    EXPECT_EQ(Lines(N), (Strings{"hello "}));
}

TEST(ParaNodeEdit, TrimAndCountTrailingBlanks) {
    TParaNode N = Make("ab \t c \t ", 80);
    EXPECT_EQ(N.CountTrailingBlanks(9), 3);
    EXPECT_EQ(N.CountTrailingBlanks(5), 3); // " \t " before 'c'
    EXPECT_EQ(N.CountTrailingBlanks(2), 0);
    EXPECT_EQ(N.CountTrailingBlanks(100), 3); // clipped to the end
    EXPECT_EQ(N.TrimTrailingBlanks(), 3);
    EXPECT_EQ(Text(N), "ab \t c");
    EXPECT_EQ(N.Text()[6], '\0');
    EXPECT_EQ(Make("", 80).CountTrailingBlanks(0), 0);
    TParaNode All = Make("   ", 80);
    EXPECT_EQ(All.TrimTrailingBlanks(), 3);
    EXPECT_EQ(All.Length(), 0);
}

TEST(ParaNodeLookup, LineTextAndPosToLine) {
    TParaNode N = Make("aaaa bbbb cccc dddd", 5);
    ASSERT_EQ(Lines(N), (Strings{"aaaa ", "bbbb ", "cccc ", "dddd"}));
    int32_t Len = 7;
    EXPECT_STREQ(N.LineText(0, Len), "");
    EXPECT_EQ(Len, 0);
    EXPECT_STREQ(N.LineText(5, Len), "");
    int32_t In;
    EXPECT_EQ(N.PosToLine(1, In), 1);
    EXPECT_EQ(In, 1);
    EXPECT_EQ(N.PosToLine(5, In), 1); // the blank ending line 1
    EXPECT_EQ(N.PosToLine(6, In), 2);
    EXPECT_EQ(In, 1);
    EXPECT_EQ(N.PosToLine(20, In), 4); // the end of the paragraph
    EXPECT_EQ(In, 5);
    EXPECT_EQ(N.PosToLine(40, In), 4); // virtual space belongs to the last line
    TParaNode One = Make("abc", 80);
    EXPECT_EQ(One.PosToLine(17, In), 1);
    EXPECT_EQ(In, 17);
}

TEST(ParaNodeLookup, PosToLineInLongParagraphsMatchesALinearScan) {
    std::string S;
    for (int I = 0; I < 60; ++I)
        S += "word" + std::to_string(I) + " ";
    TParaNode N = Make(S, 9);
    ASSERT_GT(N.LineCount(), 20);
    for (int32_t Pos = 1; Pos <= N.Length() + 3; ++Pos) {
        int32_t Want = 1;
        for (int32_t K = 1; K <= N.LineCount(); ++K)
            if (N.LineStart(K - 1) < Pos) Want = K;
        int32_t In;
        ASSERT_EQ(N.PosToLine(Pos, In), Want) << Pos;
        ASSERT_EQ(In, Pos - N.LineStart(Want - 1));
    }
}

// After random edits the incrementally maintained table equals a full wrap, and the reported
// range covers every display line whose characters changed.
TEST(ParaNodeRewrap, IncrementalEqualsFullWrapAndCoversChanges) {
    std::mt19937 Rng(12345);
    const char Alphabet[] = {'a', 'b', 'c', ' ', ' ', '\t', '-', '\0', 'x', 'y'};
    auto Rand = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); };
    auto RandomText = [&](int MaxLen) {
        std::string S(Rand(0, MaxLen), ' ');
        for (char& C : S)
            C = Alphabet[Rand(0, 9)];
        return S;
    };
    const int Rounds = RandomSteps(300);
    for (int Round = 0; Round < Rounds; ++Round) {
        const int32_t Wraps[] = {1, 2, 3, 5, 8, 13, 20, 40, 32767, 0, NoWrapColumn};
        const int32_t Wrap = Wraps[Rand(0, 10)];
        const int Tab = Rand(1, 8);
        std::string Init = RandomText(60);
        TParaNode N(Init.data(), static_cast<int32_t>(Init.size()), Wrap, Tab);
        for (int Step = 0; Step < 40; ++Step) {
            const Strings Before = Lines(N);
            const int32_t Len = N.Length();
            int32_t F = 0, L = 0;
            const int Op = Rand(0, 2);
            if (Op == 0) {
                std::string Ins = RandomText(12);
                ASSERT_EQ(N.InsertText(Ins.data(), static_cast<int32_t>(Ins.size()),
                                       Rand(1, Len + 4), Wrap, Tab, F, L),
                          erOK);
            } else if (Op == 1) {
                if (Len == 0) continue;
                N.DeleteText(Rand(1, Len), Rand(1, 12), Wrap, Tab, F, L);
            } else {
                if (Len == 0) continue;
                int32_t Pos = Rand(1, Len);
                int32_t Old = Rand(0, std::min(8, Len - Pos + 1));
                std::string New = RandomText(8);
                ASSERT_EQ(N.ReplaceText(Pos, Old, static_cast<int32_t>(New.size()), New.data(),
                                        Wrap, Tab, F, L),
                          erOK);
            }
            std::vector<uint16_t> Want = ComputeLineStarts(N.Text(), N.Length(), Wrap, Tab);
            ASSERT_EQ(N.LineCount(), static_cast<int32_t>(Want.size()));
            for (int32_t K = 0; K < N.LineCount(); ++K)
                ASSERT_EQ(N.LineStart(K), Want[K]) << "round " << Round << " step " << Step;
            const Strings After = Lines(N);
            ASSERT_GE(F, 1);
            ASSERT_LE(F, L);
            for (size_t K = 0; K < std::max(Before.size(), After.size()); ++K) {
                bool Changed = K >= Before.size() || K >= After.size() || Before[K] != After[K];
                if (!Changed) continue;
                const int32_t Line = static_cast<int32_t>(K) + 1;
                ASSERT_GE(Line, F) << "round " << Round << " step " << Step;
                if (Before.size() == After.size()) {
                    ASSERT_LE(Line, L) << "round " << Round << " step " << Step;
                }
            }
        }
    }
}

TEST(ParaNodeRewrap, TypingAtTheEndOfAWrappedParagraphReportsOnlyTheLastLines) {
    std::string S;
    for (int I = 0; I < 50; ++I)
        S += "abcd ";
    TParaNode N = Make(S, 10);
    const int32_t Count = N.LineCount();
    int32_t F, L;
    ASSERT_EQ(N.InsertText("z", 1, N.Length() + 1, 10, 8, F, L), erOK);
    EXPECT_GE(F, Count - 1);
    EXPECT_LE(L, Count + 1);
}
