// Tests of the paragraph list: totals, limits, edits, markers, columns, look-ups, undo and redo.
#include "ParaList.h"
#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace std::string_literals;
using Strings = std::vector<std::string>;

namespace {

int32_t Len(const std::string& S) {
    return static_cast<int32_t>(S.size());
}

struct ListFixture : ::testing::Test {
    TRecordingClient Ed;
    TParaList L{&Ed, false, 8192};

    // Replaces the text by Ps, unmodified, without markers, history or recorded events.
    void Set(const Strings& Ps) {
        while (L.ParaCount() > 1)
            L.DeletePara(nullptr, 1);
        L.DeleteText(nullptr, 1, L.GetParaLength(1), 1);
        Load(L, Ps);
        L.UndoBuffer().Clear();
        L.SetModified(false);
        for (int I = 0; I < MarkerCount; ++I)
            L.SetMarker(I, 0, 0);
        Ed.Events.clear();
    }
    TResultCode Ins(int32_t Para, const std::string& S, int32_t Pos) {
        return L.InsertText(&Ed, Para, Len(S), S.data(), Pos);
    }
    bool Undo() {
        int32_t P = 0, Q = 0;
        return L.Undo(&Ed, P, Q);
    }
    void Redo() {
        int32_t P = 0, Q = 0;
        L.Redo(&Ed, P, Q);
    }
    // Runs Op, then checks that one undo restores the text and the Modified flag exactly, one
    // redo gives the result again, and a second undo restores it again.
    void RoundTrip(const std::function<void()>& Op) {
        const Strings Before = Paras(L);
        const bool WasModified = L.Modified();
        const int32_t Bytes = L.ByteCount(), LinesBefore = L.LineCount();
        Op();
        const Strings After = Paras(L);
        const int32_t BytesAfter = L.ByteCount();
        EXPECT_NE(After, Before);
        EXPECT_EQ(Undo(), WasModified);
        EXPECT_EQ(Paras(L), Before);
        EXPECT_EQ(L.Modified(), WasModified);
        EXPECT_EQ(L.ByteCount(), Bytes);
        EXPECT_EQ(L.LineCount(), LinesBefore);
        Redo();
        EXPECT_EQ(Paras(L), After);
        EXPECT_EQ(L.ByteCount(), BytesAfter);
        EXPECT_TRUE(L.Modified());
        Undo();
        EXPECT_EQ(Paras(L), Before);
        L.CheckInvariant();
    }
};

} // namespace

// ---- totals and loading ----

TEST_F(ListFixture, NewListHoldsOneEmptyParagraph) {
    EXPECT_EQ(L.ParaCount(), 1);
    EXPECT_EQ(L.LineCount(), 1);
    EXPECT_EQ(L.ByteCount(), 0);
    EXPECT_FALSE(L.Modified());
    EXPECT_EQ(L.GetPara(0), nullptr);
    EXPECT_EQ(L.GetPara(2), nullptr);
    const char* T;
    int32_t N = 5;
    EXPECT_EQ(L.GetLine(2, T, N), nullptr);
    EXPECT_EQ(N, 0);
    L.CheckInvariant();
}

TEST_F(ListFixture, ByteCountCountsTwoPerBreak) {
    Set({"ab", "c"});
    EXPECT_EQ(L.ByteCount(), 5);
    EXPECT_EQ(L.ParaCount(), 2);
}

TEST_F(ListFixture, AppendParaLoadsBeforeTheLastParagraphAndTrims) {
    L.AppendPara("one  ", 5, true);
    L.AppendPara("two\t", 4, false);
    EXPECT_EQ(Paras(L), (Strings{"one", "two\t", ""}));
    EXPECT_EQ(L.ByteCount(), 3 + 2 + 4 + 2);
    EXPECT_FALSE(L.Modified());
    EXPECT_EQ(L.UndoCount(), 0);
    EXPECT_TRUE(Ed.Events.empty());
    L.CheckInvariant();
}

TEST_F(ListFixture, AppendParaNeverCutsTextThatIsTooLong) {
    std::string Big = std::string(30000, 'a') + " " + std::string(5000, 'b') + "  ";
    L.AppendPara(Big.data(), Len(Big), true);
    Strings P = Paras(L);
    ASSERT_EQ(P.size(), 3u);
    EXPECT_EQ(P[0], std::string(30000, 'a') + " "); // the blank at the split is kept
    EXPECT_EQ(P[1], std::string(5000, 'b'));        // only the true end is trimmed
    L.CheckInvariant();
}

TEST_F(ListFixture, NulBytesSurviveEveryPath) {
    const std::string S = "a\0b"s;
    Set({S, "x"});
    ASSERT_EQ(Ins(2, "\0\0"s, 2), erOK);
    EXPECT_EQ(Paras(L), (Strings{"a\0b"s, "x\0\0"s}));
    TParaPos At{1, 2};
    ASSERT_EQ(L.InsertTextBlock(&Ed, At, "\0\r\n\0"s.data(), 4), erOK);
    EXPECT_EQ(Paras(L), (Strings{"a\0"s, "\0\0b"s, "x\0\0"s}));
    EXPECT_EQ(L.ByteCount(), 2 + 2 + 3 + 2 + 3);
}

// ---- limits ----

TEST_F(ListFixture, EmptyLastParagraphDoesNotCountAgainstTheParagraphLimit) {
    Set({"a", "b", ""});
    L.SetParaLimit(3);
    EXPECT_EQ(L.CheckLimits(0, 1, 2), erOK);
    EXPECT_EQ(L.InsertParaBefore(&Ed, 1, 1, "z"), erOK);
    EXPECT_EQ(L.CheckLimits(0, 1, 2), erTooManyParas);
    TParaList M(nullptr, false, 8192);
    Load(M, {"a", "b", "c"});
    M.SetParaLimit(3);
    EXPECT_EQ(M.InsertParaBefore(nullptr, 1, 1, "z"), erTooManyParas);
    EXPECT_EQ(M.ParaCount(), 3);
}

TEST_F(ListFixture, LimitsAreTestedInOrder) {
    Set({"abcd", "efgh"});
    L.SetParaLimit(2);
    L.SetByteLimit(10);
    L.SetParaLengthLimit(5);
    EXPECT_EQ(L.CheckLimits(0, 1, 100), erTooManyParas);
    L.SetParaLimit(1);
    EXPECT_EQ(L.CheckLimits(2, 0, 100), erTooManyParas); // a paragraph beyond the limit
    L.SetParaLimit(2);
    EXPECT_EQ(L.CheckLimits(1, 0, 2), erTextTooLarge);
    EXPECT_EQ(L.CheckLimits(1, 0, 0), erOK);
    L.SetByteLimit(MaxLongint);
    EXPECT_EQ(L.CheckLimits(1, 0, 2), erParaTooLong);
    EXPECT_EQ(L.CheckLimits(1, 0, 1), erOK);
    EXPECT_EQ(L.CheckLimits(0, 0, 2), erOK); // no paragraph named: length not tested
}

TEST_F(ListFixture, RefusedGrowthChangesNothing) {
    Set({"abc"});
    L.SetParaLengthLimit(3);
    EXPECT_EQ(Ins(1, "x", 2), erParaTooLong);
    L.SetParaLengthLimit(32767);
    L.SetByteLimit(4);
    EXPECT_EQ(Ins(1, "xy", 2), erTextTooLarge);
    EXPECT_EQ(L.InsertParaBefore(&Ed, 1, 0, ""), erTextTooLarge);
    EXPECT_EQ(Paras(L), (Strings{"abc"}));
    EXPECT_EQ(L.ByteCount(), 3);
    EXPECT_FALSE(L.Modified());
    EXPECT_EQ(L.UndoCount(), 0);
    EXPECT_TRUE(Ed.Events.empty());
    // A paragraph limit above what a paragraph can hold still stops at its maximum.
    L.SetByteLimit(MaxLongint);
    L.SetParaLengthLimit(100000);
    std::string Big(MaxParaLength, 'x');
    EXPECT_EQ(Ins(1, Big, 1), erParaTooLong);
    EXPECT_EQ(Ins(1, "x", MaxParaLength + 1), erParaTooLong); // padding counts here
    EXPECT_EQ(Paras(L), (Strings{"abc"}));
}

TEST_F(ListFixture, JoinThatWouldBeTooLongIsRefused) {
    Set({"abc", "def"});
    L.SetParaLengthLimit(5);
    EXPECT_EQ(L.JoinParas(&Ed, 1, 4), erCannotJoin);
    EXPECT_EQ(Paras(L), (Strings{"abc", "def"}));
    EXPECT_TRUE(L.NotifyEnabled());
    EXPECT_FALSE(L.UndoBuffer().InGroup());
}

TEST_F(ListFixture, JoinIsOnlyRefusedForWhatItAdds) {
    // A join removes a paragraph break: at the byte limit, or with more paragraphs than the
    // limit allows, it still goes through.
    Set({"one", "two"});
    L.SetByteLimit(L.ByteCount());
    EXPECT_EQ(L.JoinParas(&Ed, 1, 4), erOK);
    EXPECT_EQ(Paras(L), (Strings{"onetwo"}));
    L.SetByteLimit(MaxLongint);
    Set({"a", "b", "c", "d"});
    L.SetParaLimit(2);
    EXPECT_EQ(L.JoinParas(&Ed, 3, 2), erOK);
    EXPECT_EQ(Paras(L), (Strings{"a", "b", "cd"}));
    // Padding beyond the two bytes of the break does count.
    L.SetParaLimit(MaxLongint);
    Set({"ab", "cd"});
    L.SetByteLimit(L.ByteCount() + 1);
    EXPECT_EQ(L.JoinParas(&Ed, 1, 7), erCannotJoin);
    EXPECT_EQ(Paras(L), (Strings{"ab", "cd"}));
    EXPECT_EQ(L.JoinParas(&Ed, 1, 6), erOK);
    EXPECT_EQ(Paras(L), (Strings{"ab   cd"}));
    EXPECT_EQ(L.ByteCount(), 7);
}

// ---- single-paragraph edits ----

TEST_F(ListFixture, InsertBeyondTheEndPadsAndUndoRemovesThePadding) {
    Set({"abc"});
    ASSERT_EQ(Ins(1, "x", 6), erOK);
    EXPECT_EQ(Paras(L), (Strings{"abc  x"}));
    EXPECT_EQ(L.ByteCount(), 6);
    EXPECT_EQ(Ed.Events, (Strings{"ins 1 6 1"}));
    int32_t P = 0, Q = 0;
    L.Undo(&Ed, P, Q);
    EXPECT_EQ(Paras(L), (Strings{"abc"}));
    EXPECT_EQ(P, 1);
    EXPECT_EQ(Q, 4);
}

TEST_F(ListFixture, DeleteIsClippedAtTheParagraphEnd) {
    Set({"abcde"});
    L.DeleteText(&Ed, 1, 10, 3);
    EXPECT_EQ(Paras(L), (Strings{"ab"}));
    EXPECT_EQ(Ed.Events, (Strings{"del 1 3 3"}));
    L.DeleteText(&Ed, 1, 4, 9); // nothing there
    EXPECT_EQ(Paras(L), (Strings{"ab"}));
    EXPECT_EQ(L.UndoCount(), 1);
}

TEST_F(ListFixture, ReplaceNotifiesByTheLengthDifference) {
    Set({"hello world"});
    ASSERT_EQ(L.ReplaceText(&Ed, 1, 5, "HELLO", 5, 1), erOK);
    ASSERT_EQ(L.ReplaceText(&Ed, 1, 7, "planets", 5, 7), erOK);
    ASSERT_EQ(L.ReplaceText(&Ed, 1, 2, "hi", 5, 1), erOK);
    EXPECT_EQ(Paras(L), (Strings{"hi planets"}));
    EXPECT_EQ(Ed.Events, (Strings{"ins 1 1 0", "ins 1 12 2", "del 1 3 3"}));
    EXPECT_EQ(L.ByteCount(), 10);
}

TEST_F(ListFixture, DirtyRangeFollowsTheChangedLines) {
    L.SetWordWrap(true);
    L.SetWrapColumn(10);
    Set({"first para", "aaaa bbbb cccc dddd eeee", "last"});
    // Paragraph 2 is 'aaaa bbbb ', 'cccc dddd ', 'eeee' on document lines 2 to 4.
    ASSERT_EQ(L.LineCount(), 1 + 3 + 1);
    ASSERT_EQ(L.ReplaceText(&Ed, 2, 1, "X", 1, 11), erOK); // the first 'c', document line 3
    EXPECT_GE(L.FirstDirtyLine(), 2);
    EXPECT_LE(L.FirstDirtyLine(), 3);
    EXPECT_GE(L.LastDirtyLine(), 3);
    EXPECT_LT(L.LastDirtyLine(), 5);          // the last paragraph is untouched
    ASSERT_EQ(Ins(2, "ffff gggg", 25), erOK); // 'eeeeffff ', 'gggg': a line more
    EXPECT_EQ(L.LastDirtyLine(), MaxLongint);
    EXPECT_GE(L.FirstDirtyLine(), 2);
    EXPECT_LE(L.FirstDirtyLine(), 4);
}

// ---- compound edits ----

TEST_F(ListFixture, SplitTrimsTheBlanksBeforeTheBreakButNotAtTheEnd) {
    Set({"foo   bar"});
    int32_t Indent = 0;
    ASSERT_EQ(L.SplitPara(&Ed, 1, 7, 0, Indent, true), erOK);
    EXPECT_EQ(Paras(L), (Strings{"foo", "bar"}));
    // The trimmed blanks are reported as deleted first, so positions inside them stay inside
    // the text; then the split at the new end.
    EXPECT_EQ(Ed.Events, (Strings{"del 1 4 3", "split 1 4 0"}));
    Set({"foo   "});
    ASSERT_EQ(L.SplitPara(&Ed, 1, 7, 0, Indent, true), erOK);
    EXPECT_EQ(Paras(L), (Strings{"foo   ", ""}));
    Set({"foo   bar"});
    ASSERT_EQ(L.SplitPara(&Ed, 1, 7, 0, Indent, false), erOK);
    EXPECT_EQ(Paras(L), (Strings{"foo   ", "bar"}));
}

TEST_F(ListFixture, SplitIndentsWithTabsOrSpaces) {
    Set({"abc"});
    int32_t Indent = 10;
    ASSERT_EQ(L.SplitPara(&Ed, 1, 2, 8, Indent, true), erOK);
    EXPECT_EQ(Indent, 3);
    EXPECT_EQ(Paras(L), (Strings{"a", "\t  bc"}));
    Indent = 10;
    ASSERT_EQ(L.SplitPara(&Ed, 1, 2, 0, Indent, true), erOK);
    EXPECT_EQ(Indent, 10);
    EXPECT_EQ(Paras(L), (Strings{"a", "          ", "\t  bc"}));
}

TEST_F(ListFixture, SplitAtTheStartInsertsAnEmptyParagraphInFront) {
    Set({"  abc"});
    int32_t Indent = 4;
    ASSERT_EQ(L.SplitPara(&Ed, 1, 1, 8, Indent, true), erOK);
    EXPECT_EQ(Paras(L), (Strings{"", "  abc"}));
    EXPECT_EQ(Indent, 4); // the requested width is left as it was
    EXPECT_EQ(Ed.Events, (Strings{"split 1 1 0"}));
}

TEST_F(ListFixture, JoinVariants) {
    Set({"", "xyz"});
    ASSERT_EQ(L.JoinParas(&Ed, 1, 1), erOK);
    EXPECT_EQ(Paras(L), (Strings{"xyz"}));
    EXPECT_EQ(Ed.Events, (Strings{"join 1 1"}));
    Set({"ab", "cd", "ef"});
    ASSERT_EQ(L.JoinParas(&Ed, 1, 5), erOK);
    EXPECT_EQ(Paras(L), (Strings{"ab  cd", "ef"}));
    EXPECT_EQ(L.ByteCount(), 6 + 2 + 2);
    // Position 1 of a paragraph with text does not throw that text away.
    Set({"ab", "cd"});
    ASSERT_EQ(L.JoinParas(&Ed, 1, 1), erOK);
    EXPECT_EQ(Paras(L), (Strings{"cdab"}));
    // Joining the last paragraph does nothing.
    EXPECT_EQ(L.JoinParas(&Ed, 1, 5), erOK);
    EXPECT_EQ(Paras(L), (Strings{"cdab"}));
}

TEST_F(ListFixture, DeleteBlockVariants) {
    Set({"one", "two", "three", "four"});
    L.DeleteBlock(&Ed, 1, 1, 3, 1); // whole paragraphs
    EXPECT_EQ(Paras(L), (Strings{"three", "four"}));
    Set({"one", "two", "three", "four"});
    L.DeleteBlock(&Ed, 1, 3, 3, 3);
    EXPECT_EQ(Paras(L), (Strings{"onree", "four"}));
    Set({"one", "two"});
    L.DeleteBlock(&Ed, 1, 1, 2, 2);
    EXPECT_EQ(Paras(L), (Strings{"wo"}));
    Set({"one", "two"});
    L.DeleteBlock(&Ed, 1, 4, 2, 1); // just the break
    EXPECT_EQ(Paras(L), (Strings{"onetwo"}));
    EXPECT_FALSE(L.UndoBuffer().InGroup());
}

TEST_F(ListFixture, DeleteBlockJoinIsNotStoppedByTheByteLimit) {
    Set({"one", "two"});
    L.SetByteLimit(L.ByteCount());
    EXPECT_EQ(L.DeleteBlock(&Ed, 1, 4, 2, 1), erOK);
    EXPECT_EQ(Paras(L), (Strings{"onetwo"}));
}

TEST_F(ListFixture, InsertTextBlockExamples) {
    TParaPos At{1, 1};
    ASSERT_EQ(L.InsertTextBlock(&Ed, At, "a\r\nb\r\nc", 7), erOK);
    EXPECT_EQ(Paras(L), (Strings{"a", "b", "c"}));
    EXPECT_EQ(At, (TParaPos{3, 2}));
    EXPECT_EQ(L.LastDirtyLine(), MaxLongint);
    EXPECT_EQ(L.FirstDirtyLine(), 1);

    Set({"xy"});
    At = {1, 2};
    ASSERT_EQ(L.InsertTextBlock(&Ed, At, "a\r\nb\r\nc", 7), erOK);
    EXPECT_EQ(Paras(L), (Strings{"xa", "b", "cy"}));
    EXPECT_EQ(At, (TParaPos{3, 2}));

    // Carriage returns inside a line stay; a run of them before the line feed ends the line;
    // blanks before a line end are part of the inserted text.
    Set({"xy"});
    At = {1, 2};
    ASSERT_EQ(L.InsertTextBlock(&Ed, At, "p\rq  \r\r\nr\n", 10), erOK);
    EXPECT_EQ(Paras(L), (Strings{"xp\rq  ", "r", "y"}));
    EXPECT_EQ(At, (TParaPos{3, 1}));

    // One line without a line feed is a plain insertion.
    Set({"xy"});
    At = {1, 2};
    ASSERT_EQ(L.InsertTextBlock(&Ed, At, "abc", 3), erOK);
    EXPECT_EQ(Paras(L), (Strings{"xabcy"}));
    EXPECT_EQ(At, (TParaPos{1, 5}));
}

TEST_F(ListFixture, InsertTextBlockStopsAtTheFirstFailureAndUndoesAsOne) {
    Set({"xy"});
    L.SetParaLimit(2);
    TParaPos At{1, 2};
    EXPECT_EQ(L.InsertTextBlock(&Ed, At, "a\r\nb\r\nc", 7), erTooManyParas);
    // The first line break fits; the paragraph for 'b' does not.
    EXPECT_EQ(Paras(L), (Strings{"xa", "y"}));
    EXPECT_EQ(At, (TParaPos{2, 1}));
    Undo();
    EXPECT_EQ(Paras(L), (Strings{"xy"}));
}

// ---- markers and editor positions ----

TEST_F(ListFixture, MarkerFollowsEveryKindOfEdit) {
    Set({"first", "0123456789"});
    L.SetMarker(3, 2, 5);
    ASSERT_EQ(Ins(2, "abc", 5), erOK);
    EXPECT_EQ(L.Marker(3), (TParaPos{2, 8}));
    L.DeleteText(&Ed, 2, 4, 3); // 3..6: before the marker
    EXPECT_EQ(L.Marker(3), (TParaPos{2, 4}));
    L.SetMarker(3, 2, 5);
    L.DeleteText(&Ed, 2, 4, 3); // the marker was inside
    EXPECT_EQ(L.Marker(3), (TParaPos{}));

    Set({"first", "0123456789"});
    L.SetMarker(0, 2, 5);
    L.DeletePara(&Ed, 1);
    EXPECT_EQ(L.Marker(0), (TParaPos{1, 5}));
    ASSERT_EQ(L.InsertParaBefore(&Ed, 1, 3, "new"), erOK);
    EXPECT_EQ(L.Marker(0), (TParaPos{2, 5}));
    int32_t Indent = 2;
    ASSERT_EQ(L.SplitPara(&Ed, 2, 4, 0, Indent, true), erOK);
    EXPECT_EQ(L.Marker(0), (TParaPos{3, 4}));
    ASSERT_EQ(L.JoinParas(&Ed, 2, 4), erOK); // '012' + '  3456789' at 4
    EXPECT_EQ(L.Marker(0), (TParaPos{2, 7}));
    L.SetMarker(9, 2, 1);
    L.DeletePara(&Ed, 2);
    EXPECT_EQ(L.Marker(9), (TParaPos{}));
    L.SetMarker(10, 1, 1); // ignored
    EXPECT_EQ(L.Marker(10), (TParaPos{}));
}

TEST_F(ListFixture, MarkersFollowUndoAndRedo) {
    Set({"abc", "def"});
    L.SetMarker(1, 2, 2);
    int32_t Indent = 0;
    ASSERT_EQ(L.SplitPara(&Ed, 1, 2, 0, Indent, true), erOK);
    EXPECT_EQ(L.Marker(1), (TParaPos{3, 2}));
    Undo();
    EXPECT_EQ(L.Marker(1), (TParaPos{2, 2}));
    Redo();
    EXPECT_EQ(L.Marker(1), (TParaPos{3, 2}));
}

TEST_F(ListFixture, EditorPositionAdjusters) {
    L.AppendPara("x", 1, false);
    L.AppendPara("y", 1, false);
    TParaPos Caret{2, 5};
    TParaList::AdjustForTextDeleted(Caret, 2, 4, 3);
    EXPECT_EQ(Caret, (TParaPos{2, 3}));
    Caret = {2, 5};
    L.DeletePara(nullptr, 2);
    L.AdjustForParaDeleted(Caret, 2);
    EXPECT_EQ(Caret, (TParaPos{2, 1}));
    Caret = {3, 4};
    L.AdjustForParaDeleted(Caret, 3); // the last paragraph went: clamped to the new last
    EXPECT_EQ(Caret, (TParaPos{2, 1}));
    Caret = {2, 7};
    TParaList::AdjustForTextDeleted(Caret, 2, 2, 3);
    EXPECT_EQ(Caret, (TParaPos{2, 5}));
    Caret = {2, 3};
    TParaList::AdjustForParaSplit(Caret, 2, 4, 3);
    EXPECT_EQ(Caret, (TParaPos{3, 5}));
    Caret = {3, 2};
    TParaList::AdjustMarkerForJoin(Caret, 2, 6);
    EXPECT_EQ(Caret, (TParaPos{2, 7}));
}

TEST_F(ListFixture, SetMarkerAtLineAddsTheLineStart) {
    L.SetWordWrap(true);
    L.SetWrapColumn(5);
    Set({"aaaa bbbb cccc"});
    L.SetMarkerAtLine(4, 3, 2);
    EXPECT_EQ(L.Marker(4), (TParaPos{1, 12}));
}

// ---- columns ----

TEST_F(ListFixture, PositionsAndColumnsWithTabs) {
    const std::string S = "ab\tc";
    const int32_t Cols[] = {1, 2, 3, 9};
    for (int32_t Pos = 1; Pos <= 4; ++Pos)
        EXPECT_EQ(L.PosToColumn(S.data(), 4, Pos), Cols[Pos - 1]);
    EXPECT_EQ(L.PosToColumn(S.data(), 4, 7), 12);
    EXPECT_EQ(L.PosToColumn(S.data(), 4, 0), 1);
    for (int32_t Col = 3; Col <= 8; ++Col)
        EXPECT_EQ(L.ColumnToPos(S.data(), 4, Col), 3);
    EXPECT_EQ(L.ColumnToPos(S.data(), 4, 9), 4);
    EXPECT_EQ(L.ColumnToPos(S.data(), 4, 12), 7);
    EXPECT_EQ(L.ColumnToPos("abc", 3, 12), 12);
    // A line ending in a tab: the tab's columns map back to the tab.
    EXPECT_EQ(L.ColumnToPos("a\t", 2, 5), 2);
    EXPECT_EQ(L.ColumnToPos("a\t", 2, 9), 3);
    EXPECT_EQ(L.PosToColumn("a\t", 2, 3), 9);
    EXPECT_EQ(L.TextWidth("abc", 3), 3);
    EXPECT_EQ(L.TextWidth("\tx", 2), 9);
}

// ---- wrapping, look-ups and the cursor ----

TEST_F(ListFixture, WrapSettingsRewrapAndNotifyTheOwner) {
    Set({std::string(30, 'a') + "\tb", "short"});
    const int32_t Lines = L.LineCount();
    L.SetTabSize(4); // word wrap off: no line table changes
    EXPECT_EQ(L.LineCount(), Lines);
    EXPECT_TRUE(Ed.Events.empty());
    L.SetWordWrap(true);
    EXPECT_EQ(L.LineCount(), 2); // 33 columns fit in 80
    L.SetWrapColumn(10);
    EXPECT_EQ(L.LineCount(), 4 + 1); // three cuts of ten a's, the tab ends line 3, then 'b'
    EXPECT_EQ(L.GetLineLength(3), 11);
    L.SetWrapColumn(10); // unchanged: ignored
    L.SetTabSize(4);
    EXPECT_EQ(Ed.Events, (Strings{"reformat", "reformat"}));
    L.SetTabSize(8);
    EXPECT_EQ(Ed.Events.back(), "reformat");
    L.CheckInvariant();
}

TEST_F(ListFixture, LongRewrapShowsTheWaitCursor) {
    std::string Line(100, 'x');
    for (int I = 0; I < 120; ++I)
        L.AppendPara(Line.data(), 100, false);
    L.SetWordWrap(true);
    EXPECT_EQ(Ed.Events, (Strings{"busy", "idle", "reformat"}));
}

TEST_F(ListFixture, LookupsAgreeInEveryOrder) {
    L.SetWordWrap(true);
    L.SetWrapColumn(6);
    Strings Ps;
    for (int I = 0; I < 40; ++I)
        Ps.push_back(std::string(I % 7 * 3, 'a' + I % 26) + " end");
    Set(Ps);
    // The expected line of every (paragraph, line-in-paragraph), counted by walking.
    std::vector<std::pair<int32_t, int32_t>> Where{{0, 0}};
    int32_t P = 1;
    for (const TParaNode* N = L.FirstNode(); N; N = N->Next(), ++P)
        for (int32_t K = 1; K <= N->LineCount(); ++K)
            Where.push_back({P, K});
    ASSERT_EQ(static_cast<int32_t>(Where.size()) - 1, L.LineCount());
    const int32_t Order[] = {1, 2, 3, L.LineCount(), L.LineCount() - 1, 40, 41, 39, 7, 80, 2, 1};
    for (int32_t Line : Order) {
        int32_t Start;
        int32_t Para = L.LineToPara(Line, Start);
        ASSERT_EQ(Para, Where[Line].first) << Line;
        TParaNode* N = L.GetPara(Para);
        ASSERT_EQ(Start, N->LineStart(Where[Line].second - 1));
        int32_t InLine;
        ASSERT_EQ(L.ParaToLine(Para, Start + 1, InLine), Line);
        ASSERT_EQ(InLine, 1);
    }
    for (int32_t Line = L.LineCount(); Line >= 1; --Line) {
        const char* T;
        int32_t Len;
        TParaNode* N = L.GetLine(Line, T, Len);
        int32_t WantLen;
        const char* Want = N->LineText(Where[Line].second, WantLen);
        ASSERT_EQ(T, Want);
        ASSERT_EQ(Len, WantLen);
    }
    EXPECT_EQ(L.GetParaLength(5), Len(Ps[4]));
    EXPECT_EQ(L.GetLineWidth(1), L.GetLineLength(1));
    L.CheckInvariant();
}

TEST_F(ListFixture, LineToParaOutsideTheTextCountsOnePerLine) {
    Set({"a", "b"});
    int32_t Start = 7;
    EXPECT_EQ(L.LineToPara(3, Start), 3);
    EXPECT_EQ(Start, 0);
}

// ---- undo and redo ----

TEST_F(ListFixture, TypingUndoesInOneStepToTheFirstCharacter) {
    Set({"xy"});
    L.SetModified(true);
    L.SetModified(false);
    Ins(1, "a", 2);
    Ins(1, "b", 3);
    Ins(1, "c", 4);
    EXPECT_EQ(L.UndoCount(), 1);
    int32_t P = 0, Q = 0;
    EXPECT_FALSE(L.Undo(&Ed, P, Q));
    EXPECT_EQ(Paras(L), (Strings{"xy"}));
    EXPECT_EQ(P, 1);
    EXPECT_EQ(Q, 2);
    EXPECT_FALSE(L.Modified());
    L.Redo(&Ed, P, Q);
    EXPECT_EQ(Q, 5);
}

TEST_F(ListFixture, UndoAfterMarkingUnmodifiedLeavesTheTextModified) {
    Set({"xy"});
    Ins(1, "a", 1);
    L.SetModified(false); // saved
    EXPECT_TRUE(Undo());
    EXPECT_TRUE(L.Modified());
}

TEST_F(ListFixture, EverySimpleEditRoundTrips) {
    Set({"alpha", "beta", "gamma"});
    RoundTrip([&] { Ins(2, "XYZ", 3); });
    RoundTrip([&] { Ins(2, "pad", 9); });
    RoundTrip([&] { L.DeleteText(&Ed, 3, 2, 2); });
    RoundTrip([&] { L.ReplaceText(&Ed, 1, 2, "AL", 2, 1); });
    RoundTrip([&] { L.ReplaceText(&Ed, 1, 6, "ALPHAS", 2, 1); });
    RoundTrip([&] { L.ReplaceText(&Ed, 1, 1, "A", 4, 1); });
    RoundTrip([&] { L.InsertParaBefore(&Ed, 2, 3, "new"); });
    RoundTrip([&] { L.InsertParaAfter(&Ed, 3, 4, "tail"); });
    RoundTrip([&] { L.DeletePara(&Ed, 2); });
    RoundTrip([&] { L.DeletePara(&Ed, 3); }); // the last paragraph comes back at the end
    RoundTrip([&] { L.DeletePara(&Ed, 1); });
}

TEST_F(ListFixture, EveryCompoundEditRoundTrips) {
    Set({"  alpha beta", "gamma", "", "delta  ", "epsilon"});
    int32_t Indent = 0;
    RoundTrip([&] {
        Indent = 9;
        L.SplitPara(&Ed, 1, 9, 4, Indent, true);
    });
    RoundTrip([&] { L.SplitPara(&Ed, 4, 8, 0, Indent = 0, true); });
    RoundTrip([&] { L.SplitPara(&Ed, 2, 1, 0, Indent = 0, true); });
    RoundTrip([&] { L.JoinParas(&Ed, 1, 13); });
    RoundTrip([&] { L.JoinParas(&Ed, 2, 9); });
    RoundTrip([&] { L.JoinParas(&Ed, 3, 1); });
    RoundTrip([&] { L.DeleteBlock(&Ed, 1, 3, 4, 3); });
    RoundTrip([&] { L.DeleteBlock(&Ed, 2, 1, 5, 1); });
    RoundTrip([&] { L.DeleteBlock(&Ed, 1, 1, 5, 8); });
    RoundTrip([&] {
        TParaPos At{2, 3};
        L.InsertTextBlock(&Ed, At, "one\r\ntwo\r\n\r\nthree", 17);
    });
    RoundTrip([&] {
        TParaPos At{5, 1};
        L.InsertTextBlock(&Ed, At, "x\ny\n", 4);
    });
}

TEST_F(ListFixture, RedoReturnsTheNewestPositionOfTheGroup) {
    Set({"abc"});
    int32_t Indent = 2;
    ASSERT_EQ(L.SplitPara(&Ed, 1, 2, 0, Indent, true), erOK);
    int32_t P = 0, Q = 0;
    L.Undo(&Ed, P, Q);
    EXPECT_EQ(P, 1);
    EXPECT_EQ(Q, 2);
    L.Redo(&Ed, P, Q);
    EXPECT_EQ(P, 2);
    EXPECT_EQ(Q, 3);
}

TEST_F(ListFixture, ReplayedEditsNotifyThePerformingEditor) {
    Set({"abc", "def"});
    L.DeletePara(&Ed, 2);
    Ed.Events.clear();
    Undo();
    EXPECT_EQ(Ed.Events, (Strings{"split 2 1 0"}));
    Redo();
    EXPECT_EQ(Ed.Events.back(), "pdel 2");
}

TEST_F(ListFixture, UndoRestoresTextEvenWhenLimitsWereLoweredSince) {
    Set({"abcdef"});
    L.DeleteText(&Ed, 1, 3, 1);
    L.SetByteLimit(3);
    L.SetParaLengthLimit(3);
    Undo();
    EXPECT_EQ(Paras(L), (Strings{"abcdef"}));
}

TEST_F(ListFixture, UndoAfterRewrapUsesTheNewWrap) {
    Set({"aaaa bbbb cccc", "dddd"});
    L.DeletePara(&Ed, 1);
    L.SetWordWrap(true);
    L.SetWrapColumn(5);
    Undo();
    EXPECT_EQ(L.LineCount(), 3 + 1);
    L.CheckInvariant();
}

TEST_F(ListFixture, BlockTooLargeForTheUndoBufferIsNotRecordedAtAll) {
    L.SetUndoBufferSize(64);
    EXPECT_EQ(L.UndoBufferSize(), 64);
    Set({"a", "b", "c", "d", "e", "f"});
    Ins(6, "x", 1);                 // something older to lose
    L.DeleteBlock(&Ed, 1, 1, 6, 1); // five paragraph records of 20 bytes each
    EXPECT_EQ(Paras(L), (Strings{"xf"}));
    EXPECT_EQ(L.UndoCount(), 0);
    EXPECT_FALSE(L.UndoBuffer().Suspended());
    Ins(1, "y", 1); // recording goes on after the group
    EXPECT_EQ(L.UndoCount(), 1);
}

TEST_F(ListFixture, EditAfterOneThatFilledTheUndoBufferUndoesOnItsOwn) {
    L.SetUndoBufferSize(64);
    Set({"a", "b", "c", "d"});
    const std::string Big(28, 'x'); // 44 bytes of budget: only fits by discarding the rest
    Ins(1, Big, 1);
    Ins(2, Big, 1);
    Ins(3, Big, 1);
    Ins(4, "y", 1);
    Undo();
    EXPECT_EQ(Paras(L), (Strings{Big + "a", Big + "b", Big + "c", "d"}));
    Undo();
    EXPECT_EQ(Paras(L), (Strings{Big + "a", Big + "b", "c", "d"}));
}

TEST_F(ListFixture, ClearingTheUndoSizeDropsTheHistory) {
    Set({"abc"});
    Ins(1, "x", 1);
    L.SetUndoBufferSize(4096);
    EXPECT_EQ(L.UndoCount(), 0);
    EXPECT_EQ(L.UndoBufferSize(), 4096);
}
