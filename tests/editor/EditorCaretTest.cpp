// Caret movement, the view and its scroll bars, selection, markers and re-wrapping, written as
// texts with the caret ('|') and selection ('{' .. '}') marked before and after.
#include "EditorRig.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Lines(int From, int To) {
    std::string S;
    for (int I = From; I <= To; ++I)
        S += (I > From ? "\n" : "") + std::to_string(I);
    return S;
}

} // namespace

TEST(CaretVertical, DownPastATabKeepsTheScreenColumn) {
    TEditorRig R;
    R.Load("\ta|bc\n0123456789abc");
    R.Ed.MoveCaretBy(0, 1, false, false);
    EXPECT_EQ(R.Text(), "\tabc\n012345678|9abc");
    // And back up onto the tab line: column 10 is after the 'a'.
    R.Ed.MoveCaretBy(0, -1, false, false);
    EXPECT_EQ(R.Text(), "\ta|bc\n0123456789abc");
}

TEST(CaretVertical, UpOntoAShortLineLandsAfterItsEnd) {
    TEditorRig R;
    R.Load("short\n" + std::string(29, 'x') + "|x");
    R.Ed.MoveCaretBy(0, -1, false, false);
    EXPECT_EQ(R.Text(), "short|\n" + std::string(30, 'x'));
}

TEST(CaretVertical, DownOnTheLastLineDoesNothingAndReportsNothing) {
    TEditorRig R;
    R.Load("one\n{tw|}o");
    R.Ed.MoveCaretBy(0, 1, false, false);
    R.Ed.MoveCaretBy(0, 1000000, false, false);
    EXPECT_EQ(R.Text(), "one\n{tw|}o") << "the selection stays too";
    EXPECT_EQ(R.Deliver(), 0);
    // Right at the end of the last paragraph does nothing either.
    R.Ed.CaretRight(false);
    R.Ed.CaretRight(false);
    EXPECT_EQ(R.Text(), "one\ntwo|");
    EXPECT_EQ(R.Deliver(), 1);
    // Up on the first line still places the caret (and reports) even though it stays.
    R.Load("o|ne");
    R.Ed.MoveCaretBy(0, -1, false, false);
    EXPECT_EQ(R.Deliver(), 1);
}

TEST(CaretHorizontal, ScrollPastEndMovesIntoVirtualSpaceButTheSelectionStopsAtTheEnd) {
    TEditorRig R;
    R.Ed.SetScrollPastEnd(true);
    R.Ed.SetParaLengthLimit(6);
    R.Load("a|b\nxyz");
    R.Ed.CaretRight(true);
    R.Ed.CaretRight(true);
    R.Ed.CaretRight(true);
    EXPECT_EQ(R.Text(), "a{b}  |\nxyz") << "caret at 5, selection ends at length + 1";
    R.Ed.CaretRight(false);
    R.Ed.CaretRight(false);
    R.Ed.CaretRight(false);
    EXPECT_EQ(R.Ed.CaretPos(), 6) << "no further than ParaLengthLimit columns";
    // Down keeps the virtual column on a line that is just as short.
    R.Ed.MoveCaretBy(0, 1, false, false);
    EXPECT_EQ(R.Text(), "ab\nxyz  |");
}

TEST(CaretHorizontal, LeftAtAParagraphStartFollowsWrapAtLeft) {
    TEditorRig R;
    R.Load("abc\n|def");
    R.Ed.CaretLeft(false);
    EXPECT_EQ(R.Text(), "abc|\ndef");
    R.Ed.SetWrapAtLeft(false);
    R.Load("abc\n|def");
    R.Ed.CaretLeft(false);
    EXPECT_EQ(R.Text(), "abc\n|def");
    R.Ed.CaretLeft(true);
    EXPECT_FALSE(R.Ed.HasSelection());
}

TEST(CaretHorizontal, EndStopsOnTheBreakBlankOfAWrappedLine) {
    TEditorRig R;
    R.Ed.SetWrapColumn(6);
    R.Ed.SetWordWrap(true);
    R.Load("|hello world");
    ASSERT_EQ(R.Ed.LineCount(), 2);
    R.Ed.CaretEndOfLine(false);
    EXPECT_EQ(R.Text(), "hello| world");
    EXPECT_EQ(R.Ed.CaretLine(), 1);
    R.Ed.MoveCaretBy(0, 1, false, false);
    R.Ed.CaretEndOfLine(false);
    EXPECT_EQ(R.Text(), "hello world|");
    // Left from the start of the second display line steps onto the blank.
    R.Ed.MoveCaretTo(2, 1, false);
    R.Ed.CaretLeft(false);
    EXPECT_EQ(R.Text(), "hello| world");
    // Unwrapped, End goes after the last character.
    R.Ed.SetWordWrap(false);
    R.Load("|hello world");
    R.Ed.CaretEndOfLine(false);
    EXPECT_EQ(R.Text(), "hello world|");
}

TEST(CaretWords, WordRightAndWordLeftSkipPunctuationLikeBlanks) {
    TEditorRig R;
    R.Load("|foo, bar\nnext");
    R.Ed.WordRight(false);
    EXPECT_EQ(R.Text(), "foo, |bar\nnext");
    R.Ed.WordRight(false);
    EXPECT_EQ(R.Text(), "foo, bar|\nnext");
    R.Ed.WordRight(false);
    EXPECT_EQ(R.Text(), "foo, bar\n|next");
    R.Ed.WordLeft(false);
    EXPECT_EQ(R.Text(), "foo, bar|\nnext");
    R.Ed.WordLeft(false);
    EXPECT_EQ(R.Text(), "foo, |bar\nnext");
    R.Ed.WordLeft(true);
    EXPECT_EQ(R.Text(), "{|foo, }bar\nnext");
    R.Ed.WordLeft(false);
    EXPECT_EQ(R.Text(), "{|foo, }bar\nnext") << "at the very start nothing happens at all";
}

TEST(CaretPages, PageDownKeepsTheScreenRowAndClampsOnTheLastPage) {
    TEditorRig R(40, 20);
    R.Load(Lines(1, 50));
    R.Ed.MoveCaretTo(3, 1, false);
    R.Ed.MoveCaretBy(0, 19, false, true);
    EXPECT_EQ(R.Ed.CaretLine(), 22);
    EXPECT_EQ(R.Ed.TopLine(), 20);
    R.Ed.MoveCaretBy(0, 19, false, true);
    EXPECT_EQ(R.Ed.CaretLine(), 41);
    EXPECT_EQ(R.Ed.TopLine(), 31) << "last line in the bottom row, not past it";
    R.Ed.MoveCaretBy(0, 19, false, true);
    EXPECT_EQ(R.Ed.CaretLine(), 50);
    EXPECT_EQ(R.Ed.TopLine(), 31);
    R.Ed.CheckInvariant();
}

TEST(CaretPages, OneLineBelowTheWindowScrollsTheContentsByOneRow) {
    TEditorRig R(40, 20);
    R.Load(Lines(1, 50));
    R.Ed.MoveCaretTo(20, 1, false);
    R.Ed.PaintDone();
    R.ClearLog();
    std::vector<int32_t> Tops;
    R.Ed.OnTopLineChanged = [&](TKroCustomEditor&, int32_t Line) { Tops.push_back(Line); };
    R.Ed.MoveCaretBy(0, 1, false, false);
    EXPECT_EQ(R.Ed.TopLine(), 2);
    EXPECT_EQ(Tops, std::vector<int32_t>{2});
    ASSERT_EQ(R.Window.Scrolls.size(), 2u) << "the text and the marker margin";
    EXPECT_EQ(R.Window.Scrolls[0].Dy, -10);
    EXPECT_EQ(R.Window.Scrolls[0].Area, (TKroRect{15, 0, 415, 200}));
    EXPECT_EQ(R.Window.Scrolls[1].Area, (TKroRect{0, 0, 15, 200}));
    EXPECT_EQ(R.Window.InvalidateAllCount, 0);
    // A far jump repaints everything instead.
    R.Ed.MoveCaretTo(50, 1, false);
    EXPECT_EQ(R.Window.InvalidateAllCount, 1);
}

TEST(CaretView, TheViewFollowsTheCaretSideways) {
    TEditorRig R(40, 20);
    R.Load("|" + std::string(100, 'a') + "\n" + std::string(100, 'b'));
    R.Ed.MoveCaretTo(1, 50, false);
    EXPECT_EQ(R.Ed.LeftCol(), 10);
    // Onto a later line near its start: back to column 0 (as after a wrapped line break).
    R.Ed.MoveCaretTo(2, 5, false);
    EXPECT_EQ(R.Ed.LeftCol(), 0);
    // Onto a later line far right (a marker, a search hit): the caret stays in view.
    R.Ed.MoveCaretTo(1, 1, false);
    R.Ed.MoveCaretTo(2, 60, false);
    EXPECT_EQ(R.Ed.LeftCol(), 20);
    // Left of the view: one column of context stays visible, none near the margin.
    R.Ed.MoveCaretTo(2, 15, false);
    EXPECT_EQ(R.Ed.LeftCol(), 14);
    R.Ed.MoveCaretTo(2, 2, false);
    EXPECT_EQ(R.Ed.LeftCol(), 0);
}

TEST(CaretView, AHundredThousandLineDocumentScalesTheVerticalBar) {
    TEditorRig R(40, 30);
    TParaList& L = R.Ed.ParaList();
    for (int I = 0; I < 99999; ++I)
        L.AppendPara("x", 1, false);
    ASSERT_EQ(R.Ed.LineCount(), 100000);
    R.Ed.FullRefresh(false);
    EXPECT_EQ(R.Ed.VScrollUnit(), 6);
    EXPECT_EQ(R.Ed.VScrollMax(), 99971 / 6);
    EXPECT_EQ(R.Window.VertBar.Max, 99971 / 6);
    R.Ed.MakeTopLine(60000);
    EXPECT_EQ(R.Window.VertBar.Pos, 10000);
}

TEST(Selection, CrossingTheAnchorSwapsTheEnds) {
    TEditorRig R;
    R.Load("l1\nl2\nl|3\nl4\nl5");
    R.Ed.MoveCaretBy(0, 2, true, false);
    EXPECT_EQ(R.Text(), "l1\nl2\nl{3\nl4\nl|}5");
    R.Ed.MoveCaretBy(0, -3, true, false);
    EXPECT_EQ(R.Text(), "l1\nl{|2\nl}3\nl4\nl5");
    EXPECT_EQ(R.Ed.SelCaretEnd(), R.Ed.SelStart());
}

TEST(Selection, ExtendingRepaintsOnlyTheLinesThatChanged) {
    TEditorRig R;
    R.Load("a\nb|\nc\nd\ne\nf");
    R.Ed.PaintDone();
    R.ClearLog();
    R.Ed.MoveCaretBy(0, 1, true, false);
    ASSERT_EQ(R.Window.Invalidated.size(), 1u);
    EXPECT_EQ(R.Window.Invalidated[0], (TKroRect{0, 10, 420, 30})) << "rows of lines 2 and 3";
    EXPECT_EQ(R.Window.InvalidateAllCount, 0);
}

TEST(Selection, SelectAllCoversTheTextOrDoesNothingOnEmptyText) {
    TEditorRig R;
    R.Ed.SelectAll(true);
    EXPECT_EQ(R.Text(), "|");
    EXPECT_EQ(R.Deliver(), 0);
    R.Load("ab\nc|d");
    R.Ed.SelectAll(true);
    EXPECT_EQ(R.Text(), "{ab\ncd|}");
    R.Ed.SelectAll(false);
    EXPECT_EQ(R.Text(), "{|ab\ncd}");
    int32_t SL, SP, EL, EP;
    ASSERT_TRUE(R.Ed.GetSelection(SL, SP, EL, EP));
    EXPECT_EQ((std::vector<int32_t>{SL, SP, EL, EP}), (std::vector<int32_t>{1, 1, 2, 3}));
}

TEST(Selection, SelectAllReachesTheEndOfAFullLengthLastLine) {
    TEditorRig R;
    R.Load(std::string(32767, 'x'));
    R.Ed.SelectAll(true);
    EXPECT_EQ(R.Ed.SelEnd(), (TParaPos{1, 32768}));
}

TEST(Selection, SetSelectionClampsBothEnds) {
    TEditorRig R;
    R.Load("abc\nde");
    R.Ed.SetSelection(0, 0, 9, 99, false);
    EXPECT_EQ(R.Text(), "{|abc\nde}");
    R.Ed.SetSelection(1, 3, 1, 2, true);
    EXPECT_EQ(R.Text(), "a{|b}c\nde") << "given backwards, the caret still goes to the end named";
}

TEST(Markers, SetVisitedMovedAndVanishing) {
    TEditorRig R;
    R.Load("alpha\nbe|ta\ngamma");
    R.Ed.SetMarker(3);
    R.Ed.SetMarker(10); // ignored
    R.Ed.SetMarkerAt(7, 3, 2);
    R.Ed.MoveCaretTo(1, 1, false);
    R.Ed.GotoMarker(5); // unset: stays
    EXPECT_EQ(R.Text(), "|alpha\nbeta\ngamma");
    R.Ed.GotoMarker(3);
    EXPECT_EQ(R.Text(), "alpha\nbe|ta\ngamma");
    // Text inserted in front moves the markers with it.
    TParaList& L = R.Ed.ParaList();
    ASSERT_EQ(L.InsertText(&R.Ed, 2, 2, "++", 1), 0);
    R.Ed.GotoMarker(3);
    EXPECT_EQ(R.Text(), "alpha\n++be|ta\ngamma");
    R.Ed.GotoMarker(7);
    EXPECT_EQ(R.Text(), "alpha\n++beta\ng|amma");
    // Deleting its text unsets a marker; visiting it then does nothing.
    L.DeleteText(&R.Ed, 2, 4, 2);
    EXPECT_EQ(L.Marker(3), (TParaPos{0, 0}));
    R.Ed.GotoMarker(3);
    EXPECT_EQ(R.Text(), "alpha\n+a\ng|amma");
}

TEST(Rewrap, TheCaretAndTopKeepTheirTextWhenWrappingChanges) {
    TEditorRig R(40, 5);
    std::string Doc;
    for (int I = 1; I <= 30; ++I)
        Doc += "word" + std::to_string(I) + " and more text here\n";
    R.Load(Doc + "last");
    R.Ed.MakeTopLine(10);
    R.Ed.MoveCaretToPara(12, 10, false);
    R.Ed.SetWrapColumn(10);
    R.Ed.SetWordWrap(true);
    EXPECT_EQ(R.Ed.CaretParaPos(), (TParaPos{12, 10}));
    std::string Top;
    R.Ed.GetLineText(R.Ed.TopLine(), Top, 100);
    EXPECT_EQ(Top, "word10 and ");
    R.Ed.CheckInvariant();
    R.Ed.SetWordWrap(false);
    EXPECT_EQ(R.Ed.CaretParaPos(), (TParaPos{12, 10}));
    R.Ed.CheckInvariant();
}
