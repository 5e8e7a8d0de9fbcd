// Tests of the text routines: tab expansion, column look-up, break search, byte shifting.
#include "TextRoutines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {
int32_t Len(const std::string& S) {
    return static_cast<int32_t>(S.size());
}
} // namespace

TEST(TextRoutines, TabExpansionCountsStopsFromTheStart) {
    EXPECT_EQ(TextWidth("\t", 1, 8), 8);
    EXPECT_EQ(TextWidth("ab\tc", 4, 8), 9);
    EXPECT_EQ(TextWidth("abcdefg\t", 8, 8), 8);   // from 7 to 8
    EXPECT_EQ(TextWidth("abcdefgh\t", 9, 8), 16); // from 8 to 16
    EXPECT_EQ(TextWidth("a\t\t", 3, 4), 8);
    EXPECT_EQ(TextWidth("ab\tc", 2, 8), 2); // only the first Len characters
    EXPECT_EQ(TextWidth("\t", 1, 0), 1);    // a tab size of 0 does not divide by zero
}

TEST(TextRoutines, NulIsAnOrdinaryCharacter) {
    const std::string S = "a\0b\tc"s;
    EXPECT_EQ(TextWidth(S.data(), Len(S), 8), 9);
    EXPECT_TRUE(HasTab(S.data(), Len(S)));
    EXPECT_EQ(ColumnToOffset(S.data(), Len(S), 3, 8), 3);
    EXPECT_EQ(CountToLineFeed("a\0\nb", 4), 3);
}

TEST(TextRoutines, ColumnToOffsetFindsTheCoveringCharacter) {
    const std::string S = "ab\tc";
    EXPECT_EQ(ColumnToOffset(S.data(), Len(S), 5, 8), 3); // the tab covers columns 3..8
    EXPECT_EQ(ColumnToOffset(S.data(), Len(S), 8, 8), 3);
    EXPECT_EQ(ColumnToOffset(S.data(), Len(S), 9, 8), 4);
    EXPECT_EQ(ColumnToOffset(S.data(), Len(S), 10, 8), 5); // past the end: length + 1
    EXPECT_EQ(ColumnToOffset(S.data(), Len(S), 0, 8), 1);  // at least one character is taken
    EXPECT_EQ(ColumnToOffset("", 0, 5, 8), 1);
    // Columns beyond 255 are ordinary.
    std::string Wide(300, 'x');
    EXPECT_EQ(ColumnToOffset(Wide.data(), Len(Wide), 280, 8), 280);
}

// The column routines against a character-by-character walk, on texts with tabs alone, in
// runs, at both ends and nowhere, for every tab size including the degenerate ones.
TEST(TextRoutines, WidthAndColumnLookUpAgreeWithACharacterWalk) {
    std::mt19937 Rng(7);
    auto Rand = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); };
    for (int Round = 0; Round < 3000; ++Round) {
        std::string S(Rand(0, 60), 'x');
        const int Tabs = Rand(0, 3);
        for (char& C : S)
            C = Rand(0, 9) < Tabs * 2 ? '\t' : "ab \0"[Rand(0, 3)];
        const int Tab = Rand(-1, 9);
        const int Step = Tab < 1 ? 1 : Tab;
        std::vector<int32_t> After; // the column after each character
        int32_t Col = 0;
        for (char C : S) {
            Col = C == '\t' ? (Col / Step + 1) * Step : Col + 1;
            After.push_back(Col);
        }
        ASSERT_EQ(TextWidth(S.data(), Len(S), Tab), Col) << Round;
        for (int32_t Want = -1; Want <= Col + 2; ++Want) {
            int32_t Expected = Len(S) + 1;
            for (size_t I = 0; I < After.size(); ++I)
                if (After[I] >= Want) {
                    Expected = static_cast<int32_t>(I) + 1;
                    break;
                }
            ASSERT_EQ(ColumnToOffset(S.data(), Len(S), Want, Tab), Expected)
                << "round " << Round << " column " << Want;
        }
    }
}

TEST(TextRoutines, FindBreakRules) {
    // End of text: the next line starts at the limit.
    EXPECT_EQ(FindBreak("hello", 5, 5), 5);
    // A blank at the limit: the blank run stays on the line.
    EXPECT_EQ(FindBreak("hello world", 11, 5), 6);
    // A blank run extending past the limit stays on the line as a whole.
    EXPECT_EQ(FindBreak("ab    cd", 8, 3), 6);
    // A hyphen at the limit stays on the line.
    EXPECT_EQ(FindBreak("abc-def", 7, 3), 4);
    // A hyphen followed by blanks: the blanks stay as well.
    EXPECT_EQ(FindBreak("ab-  cdef", 9, 4), 5);
    // No break character: the word is cut at the limit.
    EXPECT_EQ(FindBreak("abcdefghij", 10, 4), 4);
    // Other punctuation does not break.
    EXPECT_EQ(FindBreak("ab,cd.efgh", 10, 6), 6);
    // Tabs break like spaces.
    EXPECT_EQ(FindBreak("ab\tcdefgh", 9, 5), 3);
}

TEST(TextRoutines, BreakLongTextSplitsAfterTheLastBlank) {
    EXPECT_EQ(BreakLongText("aaa bbb ccc", 9), 8);
    EXPECT_EQ(BreakLongText("aaaaaaaaaa", 6), 6);
    EXPECT_EQ(BreakLongText("aaaaa bbbb", 6), 6); // blank is the Limit-th character
    EXPECT_EQ(BreakLongText("a\tbbbbbb", 5), 2);
}

TEST(TextRoutines, ByteRoutinesMoveTheTerminator) {
    char B[32] = "abcdef";
    InsertBytes(B, 6, 2, "XY", 2);
    EXPECT_STREQ(B, "abXYcdef");
    DeleteBytes(B, 8, 1, 3);
    EXPECT_STREQ(B, "acdef");
    DeleteBytes(B, 5, 3, 100); // clipped at the end
    EXPECT_STREQ(B, "acd");
    FillChars(B, 3, 7, ' ');
    EXPECT_STREQ(B, "acd    ");
    InsertBytes(B, 7, 7, "\0z", 2); // a NUL inside the inserted bytes is kept
    EXPECT_EQ(std::string(B, 9), "acd    \0z"s);
    EXPECT_EQ(B[9], '\0');
    EXPECT_EQ(CountToLineFeed("abc", 3), 3);
    EXPECT_EQ(CountToLineFeed("\nabc", 4), 1);
}
