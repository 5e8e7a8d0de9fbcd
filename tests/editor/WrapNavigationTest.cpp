// Caret movement, selection, the view, markers and re-wrapping on word-wrapped text, as texts
// with the caret ('|') and selection ('{' .. '}') marked, and through the command dispatch.
#include "EditorRig.h"

#include "KroExceptions.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// A rig wrapping at Column before the text goes in.
void Wrap(TEditorRig& R, int32_t Column) {
    R.Ed.SetWrapColumn(Column);
    R.Ed.SetWordWrap(true);
}

std::string LineText(TEditorRig& R, int32_t Line) {
    std::string S;
    R.Ed.GetLineText(Line, S, 1000);
    return S;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Single steps across the lines of one wrapped paragraph

TEST(WrapSteps, RightAndLeftCrossADisplayLineBoundaryWithoutStoppingTwice) {
    TEditorRig R;
    Wrap(R, 6);
    R.Load("hell|o world");
    ASSERT_EQ(LineText(R, 1), "hello ");
    R.Ed.CaretRight(false);
    R.Ed.CaretRight(false);
    EXPECT_EQ(R.Text(), "hello |world");
    EXPECT_EQ(R.Ed.CaretLine(), 2) << "the start of the next line, not the end of this one";
    EXPECT_EQ(R.Ed.CaretPos(), 1);
    R.Ed.CaretLeft(false);
    EXPECT_EQ(R.Text(), "hello| world");
    EXPECT_EQ(R.Ed.CaretLine(), 1);
}

TEST(WrapSteps, DownAndUpKeepTheColumnWithTabsCountedFromEachLineStart) {
    TEditorRig R;
    R.Ed.SetTabSize(4);
    Wrap(R, 12);
    // Line 1 'abcdefghij ', line 2 'kl\tmnop', whose tab covers the columns 3 and 4 of its line.
    R.Load("abcdef|ghij kl\tmnop");
    ASSERT_EQ(R.Ed.LineCount(), 2);
    ASSERT_EQ(LineText(R, 2), "kl\tmnop");
    R.Ed.MoveCaretBy(0, 1, false, false);
    // Column 7 on line 2 is the 'o' (k 1, l 2, tab 3..4, m 5, n 6, o 7).
    EXPECT_EQ(R.Text(), "abcdefghij kl\tmn|op");
    R.Ed.MoveCaretBy(0, -1, false, false);
    EXPECT_EQ(R.Text(), "abcdef|ghij kl\tmnop");
    // From a column the tab covers the caret lands on the tab.
    R.Load("abc|defghij kl\tmnop");
    R.Ed.MoveCaretBy(0, 1, false, false);
    EXPECT_EQ(R.Text(), "abcdefghij kl|\tmnop");
}

TEST(WrapSteps, DownPastTheEndOfAShorterWrappedLineStaysOnThatLine) {
    TEditorRig R;
    Wrap(R, 10);
    R.Load("aaaaaaaa|a\nbbb ccccccccccc\nend");
    ASSERT_EQ(LineText(R, 2), "bbb ");
    R.Ed.MoveCaretBy(0, 1, false, false);
    EXPECT_EQ(R.Ed.CaretLine(), 2) << "the caret is on the short display line";
    EXPECT_EQ(R.Ed.CaretPos(), 5) << "after its last character";
    R.Ed.CheckInvariant();
    R.Ed.MoveCaretBy(0, 1, false, false);
    EXPECT_EQ(R.Ed.CaretLine(), 3);
    EXPECT_EQ(R.Text(), "aaaaaaaaa\nbbb cccc|ccccccc\nend")
        << "column 5, where the short line left the caret";
}

TEST(WrapSteps, HomeAndEndStayOnTheCaretsDisplayLine) {
    TEditorRig R;
    Wrap(R, 6);
    R.Load("hello wo|rld again");
    ASSERT_EQ(R.Ed.LineCount(), 3);
    ASSERT_EQ(LineText(R, 2), "world ");
    EXPECT_TRUE(R.Ed.ProcessCommand(ccHome, 0));
    EXPECT_EQ(R.Text(), "hello |world again");
    EXPECT_EQ(R.Ed.CaretLine(), 2);
    EXPECT_TRUE(R.Ed.ProcessCommand(ccEnd, 0));
    EXPECT_EQ(R.Text(), "hello world| again") << "onto the blank the line was broken at";
    EXPECT_EQ(R.Ed.CaretLine(), 2);
    EXPECT_TRUE(R.Ed.ProcessCommand(ccExtendHome, 0));
    EXPECT_EQ(R.Text(), "hello {|world} again");
    R.Ed.MoveCaretTo(3, 2, false);
    EXPECT_TRUE(R.Ed.ProcessCommand(ccExtendEnd, 0));
    EXPECT_EQ(R.Text(), "hello world a{gain|}");
}

TEST(WrapSteps, WordMovesCrossDisplayLinesInsideTheParagraph) {
    TEditorRig R;
    Wrap(R, 6);
    R.Load("|hello world\nx");
    R.Ed.ProcessCommand(ccWordRight, 0);
    EXPECT_EQ(R.Text(), "hello |world\nx");
    EXPECT_EQ(R.Ed.CaretLine(), 2);
    R.Ed.ProcessCommand(ccWordRight, 0);
    EXPECT_EQ(R.Text(), "hello world|\nx");
    R.Ed.ProcessCommand(ccWordRight, 0);
    EXPECT_EQ(R.Text(), "hello world\n|x");
    EXPECT_EQ(R.Ed.CaretLine(), 3);
    R.Ed.ProcessCommand(ccWordLeft, 0);
    EXPECT_EQ(R.Text(), "hello world|\nx");
    EXPECT_EQ(R.Ed.CaretLine(), 2);
    R.Ed.ProcessCommand(ccExtWordLeft, 0);
    EXPECT_EQ(R.Text(), "hello {|world}\nx");
    R.Ed.ProcessCommand(ccExtWordLeft, 0);
    EXPECT_EQ(R.Text(), "{|hello world}\nx");
    EXPECT_EQ(R.Ed.CaretLine(), 1);
}

TEST(WrapSteps, TheStatusReportsTheDisplayLineAndTheColumnWithinIt) {
    TEditorRig R;
    R.Ed.SetTabSize(4);
    Wrap(R, 12);
    R.Load("abcdef|ghij kl\tmnop");
    R.Ed.ProcessCommand(ccDown, 0);
    R.Ed.ProcessCommand(ccEnd, 0);
    EXPECT_EQ(R.Deliver(), 2);
    // Tabs count from the start of the display line: 'kl' 1..2, tab 3..4, 'mnop' 5..8.
    EXPECT_EQ(R.Status, (std::vector<std::pair<int32_t, int32_t>>{{2, 7}, {2, 9}}));
    // A move to a position keeps the position, not the column: after the tab, on column 5.
    R.ClearLog();
    R.Ed.MoveCaretTo(1, 4, false);
    R.Ed.MoveCaretTo(2, 4, false);
    EXPECT_EQ(R.Text(), "abcdefghij kl\t|mnop");
    R.Deliver();
    EXPECT_EQ(R.Status.back(), (std::pair<int32_t, int32_t>{2, 5}));
}

// ---------------------------------------------------------------------------------------------
// Selection across wrapped lines

TEST(WrapSelection, ExtendingDownAndBackUpPastTheAnchorOnWrappedLines) {
    TEditorRig R;
    Wrap(R, 6);
    R.Load("aaaa bbbb cc|cc dddd eeee");
    ASSERT_EQ(R.Ed.LineCount(), 5);
    R.Ed.ProcessCommand(ccExtendDown, 0);
    R.Ed.ProcessCommand(ccExtendDown, 0);
    EXPECT_EQ(R.Text(), "aaaa bbbb cc{cc dddd ee|}ee");
    int32_t SL, SP, EL, EP;
    ASSERT_TRUE(R.Ed.GetSelection(SL, SP, EL, EP));
    EXPECT_EQ((std::vector<int32_t>{SL, SP, EL, EP}), (std::vector<int32_t>{3, 3, 5, 3}));
    R.Ed.ProcessCommand(ccExtendUp, 0);
    R.Ed.ProcessCommand(ccExtendUp, 0);
    R.Ed.ProcessCommand(ccExtendUp, 0);
    EXPECT_EQ(R.Text(), "aaaa bb{|bb cc}cc dddd eeee");
    ASSERT_TRUE(R.Ed.GetSelection(SL, SP, EL, EP));
    EXPECT_EQ((std::vector<int32_t>{SL, SP, EL, EP}), (std::vector<int32_t>{2, 3, 3, 3}));
    EXPECT_EQ(R.Ed.SelCaretEnd(), R.Ed.SelStart());
}

TEST(WrapSelection, ShiftRightOverALineBoundaryExtendsByOneCharacter) {
    TEditorRig R;
    Wrap(R, 6);
    R.Load("hello| world");
    R.Ed.ProcessCommand(ccExtendRight, 0);
    EXPECT_EQ(R.Text(), "hello{ |}world");
    int32_t SL, SP, EL, EP;
    ASSERT_TRUE(R.Ed.GetSelection(SL, SP, EL, EP));
    EXPECT_EQ((std::vector<int32_t>{SL, SP, EL, EP}), (std::vector<int32_t>{1, 6, 2, 1}));
    R.Ed.ProcessCommand(ccExtendLeft, 0);
    EXPECT_FALSE(R.Ed.HasSelection());
    EXPECT_EQ(R.Ed.CaretLine(), 1);
}

TEST(WrapSelection, SelectAllEndsAfterTheLastDisplayLine) {
    TEditorRig R;
    Wrap(R, 6);
    R.Load("ab\nhello wor|ld");
    R.Ed.SelectAll(true);
    EXPECT_EQ(R.Text(), "{ab\nhello world|}");
    int32_t SL, SP, EL, EP;
    ASSERT_TRUE(R.Ed.GetSelection(SL, SP, EL, EP));
    EXPECT_EQ((std::vector<int32_t>{SL, SP, EL, EP}), (std::vector<int32_t>{1, 1, 3, 6}));
    EXPECT_EQ(R.Ed.CaretLine(), 3);
}

// ---------------------------------------------------------------------------------------------
// Pages and the view over wrapped text

TEST(WrapPages, PageDownCountsDisplayLinesAndKeepsTheRow) {
    TEditorRig R(20, 5);
    Wrap(R, 10);
    std::string Doc;
    for (int I = 0; I < 10; ++I)
        Doc += std::string(I ? "\n" : "") + "aaaa bbbb cccc dddd"; // two lines each
    R.Load(Doc);
    ASSERT_EQ(R.Ed.LineCount(), 20);
    R.Ed.MoveCaretTo(2, 3, false);
    R.Ed.ProcessCommand(ccNextPage, 0);
    EXPECT_EQ(R.Ed.CaretLine(), 6);
    EXPECT_EQ(R.Ed.TopLine(), 5);
    EXPECT_EQ(R.Ed.CaretParaPos(), (TParaPos{3, 13}));
    R.Ed.ProcessCommand(ccExtendPgDn, 0);
    EXPECT_EQ(R.Ed.CaretLine(), 10);
    EXPECT_EQ(R.Ed.SelStart(), (TParaPos{3, 13}));
    EXPECT_EQ(R.Ed.SelEnd(), (TParaPos{5, 13}));
    R.Ed.ProcessCommand(ccTopOfPage, 0);
    EXPECT_EQ(R.Ed.CaretLine(), 9);
    EXPECT_EQ(R.Ed.CaretParaPos(), (TParaPos{5, 3}));
    R.Ed.ProcessCommand(ccBotOfPage, 0);
    EXPECT_EQ(R.Ed.CaretLine(), 13);
    R.Ed.ProcessCommand(ccLastPage, 0);
    EXPECT_EQ(R.Ed.CaretLine(), 20);
    EXPECT_EQ(R.Ed.TopLine(), 16);
    R.Ed.CheckInvariant();
}

TEST(WrapPages, MakeTopLineOnASecondDisplayLineKeepsTheTopThroughARewrap) {
    TEditorRig R(20, 3);
    Wrap(R, 10);
    R.Load("aaaa bbbb cccc dddd\neeee ffff gggg hhhh\niii\njjj\nkkk\nlll");
    R.Ed.MakeTopLine(4);
    EXPECT_EQ(LineText(R, R.Ed.TopLine()), "gggg hhhh");
    EXPECT_THROW(R.Ed.MakeTopLine(0), EInvalidLineOrPara);
    EXPECT_THROW(R.Ed.MakeTopLine(R.Ed.LineCount() + 1), EInvalidLineOrPara);
    R.Ed.SetWrapColumn(5);
    EXPECT_EQ(LineText(R, R.Ed.TopLine()), "gggg ");
    R.Ed.CheckInvariant();
}

TEST(WrapPages, TheVerticalThumbScalesWithWrappedLines) {
    TEditorRig R(20, 10);
    Wrap(R, 4);
    TParaList& L = R.Ed.ParaList();
    // 40000 paragraphs of two display lines each.
    for (int I = 0; I < 39999; ++I)
        L.AppendPara("aaa bbb", 7, false);
    R.Ed.FullRefresh(false);
    ASSERT_EQ(R.Ed.LineCount(), 80000 - 1);
    EXPECT_EQ(R.Ed.VScrollUnit(), 4);
    R.Ed.MakeTopLine(40001);
    EXPECT_EQ(R.Window.VertBar.Pos, 10000);
    // Dragging the thumb to the bottom shows the last page exactly.
    R.Ed.WMVScroll(SB_THUMBTRACK, R.Ed.VScrollMax());
    EXPECT_EQ(R.Ed.TopLine(), R.Ed.LineCount() - 9);
    R.Ed.WMVScroll(SB_THUMBPOSITION, 100);
    EXPECT_EQ(R.Ed.TopLine(), 400);
    R.Ed.CheckInvariant();
}

// ---------------------------------------------------------------------------------------------
// Markers on wrapped lines

TEST(WrapMarkers, AMarkerOnASecondDisplayLineFollowsItsCharacterThroughARewrap) {
    TEditorRig R;
    Wrap(R, 6);
    R.Load("hello wor|ld again");
    R.Ed.ProcessCommand(ccSetMarker2, '2');
    R.Ed.SetMarkerAt(4, 3, 2); // the 'g' of 'again'
    EXPECT_EQ(R.Ed.ParaList().Marker(4), (TParaPos{1, 14}));
    R.Ed.SetWrapColumn(40);
    R.Ed.MoveCaretTo(1, 1, false);
    R.Ed.ProcessCommand(ccGotoMarker2, '2');
    EXPECT_EQ(R.Text(), "hello wor|ld again");
    R.Ed.ProcessCommand(ccGotoMarker4, '4');
    EXPECT_EQ(R.Text(), "hello world a|gain");
}

// ---------------------------------------------------------------------------------------------
// Re-wrapping with a selection present

TEST(WrapReformat, ChangingTheWrapColumnKeepsTheSelectionOnItsText) {
    TEditorRig R;
    Wrap(R, 6);
    R.Load("aaaa bb{bb cccc dd|}dd eeee");
    R.Ed.SetWrapColumn(11);
    EXPECT_EQ(R.Text(), "aaaa bb{bb cccc dd|}dd eeee");
    int32_t SL, SP, EL, EP;
    ASSERT_TRUE(R.Ed.GetSelection(SL, SP, EL, EP));
    // Lines now 'aaaa bbbb ', 'cccc dddd ', 'eeee'.
    EXPECT_EQ((std::vector<int32_t>{SL, SP, EL, EP}), (std::vector<int32_t>{1, 8, 2, 8}));
    EXPECT_EQ(R.Ed.CaretLine(), 2);
    EXPECT_EQ(R.Ed.CaretPos(), 8);
    // The anchor is where it was: extending goes on from the same start.
    R.Ed.ProcessCommand(ccExtendRight, 0);
    EXPECT_EQ(R.Text(), "aaaa bb{bb cccc ddd|}d eeee");
    R.Ed.ProcessCommand(ccExtendUp, 0);
    EXPECT_EQ(R.Text(), "aaaa bb{b|}b cccc dddd eeee");
    R.Ed.ProcessCommand(ccExtendLeft, 0);
    R.Ed.ProcessCommand(ccExtendLeft, 0);
    EXPECT_EQ(R.Text(), "aaaa b{|b}bb cccc dddd eeee");
}

TEST(WrapReformat, ChangingTheTabSizeKeepsTheSelectionAndCaretOnTheirText) {
    TEditorRig R;
    Wrap(R, 12);
    R.Load("a\tb{c de|}f\tgh ijk");
    const std::string Before = R.Text();
    R.Ed.SetTabSize(2);
    EXPECT_EQ(R.Text(), Before);
    R.Ed.SetTabSize(16);
    EXPECT_EQ(R.Text(), Before);
    R.Ed.CheckInvariant();
}

TEST(WrapReformat, WrappingNarrowerThanTheWindowBringsTheViewBackToColumnOne) {
    TEditorRig R(40, 10);
    R.Load(std::string(100, 'a') + " " + std::string(30, 'b') + "\nshort");
    R.Ed.MoveCaretTo(1, 90, false);
    ASSERT_EQ(R.Ed.LeftCol(), 50);
    // Wrapping at 60: the bar still reaches column 60, so the view may stay scrolled.
    Wrap(R, 60);
    EXPECT_EQ(R.Ed.LeftCol(), 50);
    EXPECT_EQ(R.Window.HorzBar.Max, 60);
    // At 20 every line fits the window and the bar is gone: a view left at column 21 would
    // show nothing of the text and offer no bar to scroll back with.
    R.Ed.SetWrapColumn(20);
    EXPECT_EQ(R.Window.HorzBar.Max, 0);
    EXPECT_EQ(R.Ed.LeftCol(), 0);
    EXPECT_EQ(R.Window.HorzBar.Pos, 0);
    // Switched on directly at a narrow column, the same.
    R.Ed.SetWordWrap(false);
    R.Load(std::string(100, 'a') + " " + std::string(30, 'b') + "\nshort");
    R.Ed.MoveCaretTo(1, 90, false);
    ASSERT_EQ(R.Ed.LeftCol(), 50);
    Wrap(R, 20);
    EXPECT_EQ(R.Ed.LeftCol(), 0);
    R.Ed.CheckInvariant();
}

// ---------------------------------------------------------------------------------------------
// Wrapping changes where text is shown, never where a character or word move goes

TEST(WrapRandom, CharacterAndWordMovesLandOnTheSameTextWrappedOrNot) {
    const std::vector<TKroCommand> Moves = {
        ccLeft,         ccRight,       ccWordLeft,     ccWordRight, ccExtendLeft,
        ccExtendRight,  ccExtWordLeft, ccExtWordRight, ccFirstPage, ccLastPage,
        ccExtFirstPage, ccExtLastPage, ccLeft,         ccRight,     ccExtendRight};
    const std::string Pieces[] = {"word", "a",  "well-known", " ", "  ",
                                  "\t",   ",",  "x.y",        "-", "longerthanthewrapcolumn",
                                  "\n",   "(b)"};
    int WrappedRuns = 0;
    for (unsigned Seed = 1; Seed <= 40; ++Seed) {
        std::mt19937 Rng(Seed);
        auto Pick = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); };
        std::string Doc;
        const int Count = Pick(5, 60);
        for (int I = 0; I < Count; ++I)
            Doc += Pieces[Pick(0, 11)];
        TEditorRig Wrapped(30, 4), Plain(30, 4);
        Wrap(Wrapped, Pick(3, 12));
        Wrapped.Load("|" + Doc);
        Plain.Load("|" + Doc);
        if (Wrapped.Ed.LineCount() > Plain.Ed.LineCount()) ++WrappedRuns;
        std::string Log;
        for (int Step = 0; Step < 150; ++Step) {
            const int Op = Pick(0, 19);
            if (Op < 15) {
                Log += std::to_string(Moves[Op]) + " ";
                Wrapped.Ed.ProcessCommand(Moves[Op], 0);
                Plain.Ed.ProcessCommand(Moves[Op], 0);
            } else if (Op < 17) {
                const int Column = Pick(1, 20);
                Log += "wrap" + std::to_string(Column) + " ";
                Wrapped.Ed.SetWrapColumn(Column);
            } else if (Op < 18) {
                const int Tab = Pick(1, 9);
                Log += "tab" + std::to_string(Tab) + " ";
                Wrapped.Ed.SetTabSize(static_cast<std::uint8_t>(Tab));
                Plain.Ed.SetTabSize(static_cast<std::uint8_t>(Tab));
            } else {
                // A vertical move in the unwrapped control, repeated in the wrapped one by
                // document position.
                Log += "down ";
                Plain.Ed.ProcessCommand(ccExtendDown, 0);
                const TParaPos P = Plain.Ed.CaretParaPos();
                Wrapped.Ed.MoveCaretToPara(P.Para, P.Pos, true);
            }
            ASSERT_EQ(Wrapped.Text(), Plain.Text()) << "seed " << Seed << ": " << Log;
            ASSERT_EQ(Wrapped.Ed.SelCaretEnd(), Plain.Ed.SelCaretEnd()) << Log;
        }
    }
    EXPECT_GE(WrappedRuns, 30) << "most texts must really wrap";
}

TEST(WrapRandom, VerticalAndPageMovesKeepTheCaretInViewAndTheAnchorInPlace) {
    const std::vector<TKroCommand> Moves = {
        ccUp,         ccDown,       ccExtendUp,   ccExtendDown, ccNextPage,     ccPrevPage,
        ccExtendPgDn, ccExtendPgUp, ccTopOfPage,  ccBotOfPage,  ccExtTopOfPage, ccExtBotOfPage,
        ccHome,       ccEnd,        ccExtendHome, ccExtendEnd,  ccRight,        ccWordRight,
        ccScrollDown, ccScrollUp,   ccLastPage,   ccFirstPage};
    const std::string Pieces[] = {
        "word", "a",   "well-known", " ", "  ", "\t", ",", "-", "longerthanthewrapcolumn",
        "\n",   "\n\n"};
    for (unsigned Seed = 1; Seed <= 30; ++Seed) {
        std::mt19937 Rng(Seed);
        auto Pick = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); };
        std::string Doc;
        const int Count = Pick(20, 150);
        for (int I = 0; I < Count; ++I)
            Doc += Pieces[Pick(0, 10)];
        const int Cols = Pick(5, 30);
        TEditorRig R(Cols, Pick(1, 8));
        Wrap(R, Pick(3, 40));
        R.Load("|" + Doc);
        std::string Log;
        for (int Step = 0; Step < 200; ++Step) {
            const TKroCommand C = Moves[Pick(0, static_cast<int>(Moves.size()) - 1)];
            Log += std::to_string(C) + " ";
            const bool HadSel = R.Ed.HasSelection();
            const TParaPos Anchor =
                R.Ed.SelCaretEnd() == R.Ed.SelStart() ? R.Ed.SelEnd() : R.Ed.SelStart();
            const int32_t OldLine = R.Ed.CaretLine();
            const TParaPos OldCaret = R.Ed.CaretParaPos();
            const int32_t OldTop = R.Ed.TopLine();
            const bool WasInView = OldLine >= OldTop && OldLine < OldTop + R.Ed.VisibleRowCount();
            R.Ed.ProcessCommand(C, 0);
            R.Ed.CheckInvariant();
            const int32_t Line = R.Ed.CaretLine();
            const int32_t Lines = R.Ed.LineCount();
            if (C == ccDown || C == ccExtendDown) {
                ASSERT_EQ(Line, std::min(OldLine + 1, Lines)) << Log;
            }
            if (C == ccUp || C == ccExtendUp) {
                ASSERT_EQ(Line, std::max(OldLine - 1, 1)) << Log;
            }
            if (C == ccScrollDown || C == ccScrollUp) {
                ASSERT_EQ(Line, OldLine) << Log;
                continue;
            }
            if ((C == ccExtTopOfPage || C == ccExtBotOfPage) && !WasInView) {
                ASSERT_EQ(Line, OldLine) << Log;
                continue;
            }
            if ((C == ccTopOfPage || C == ccBotOfPage) && !WasInView) continue; // the view moves
            // A move with nowhere to go (right or down at the very end) changes nothing at all.
            if (R.Ed.CaretParaPos() == OldCaret && Line == OldLine && R.Ed.TopLine() == OldTop &&
                (C == ccRight || C == ccWordRight || C == ccDown || C == ccExtendDown ||
                 C == ccNextPage || C == ccExtendPgDn || C == ccBotOfPage || C == ccExtBotOfPage))
                continue;
            // Every other move ends with the caret in view.
            ASSERT_GE(Line, R.Ed.TopLine()) << Log;
            ASSERT_LT(Line, R.Ed.TopLine() + R.Ed.VisibleRowCount()) << Log;
            const char* Text = nullptr;
            int32_t Len = 0;
            R.Ed.ParaList().GetLine(Line, Text, Len);
            const int32_t Column = R.Ed.ParaList().PosToColumn(Text, Len, R.Ed.CaretPos());
            ASSERT_GT(Column, R.Ed.LeftCol()) << Log;
            ASSERT_LE(Column, R.Ed.LeftCol() + Cols) << Log;
            // A page move with the caret in view keeps its row unless the text ends first.
            if ((C == ccNextPage || C == ccExtendPgDn) && WasInView && Line != Lines &&
                R.Ed.TopLine() + R.Ed.VisibleRowCount() - 1 < Lines) {
                ASSERT_EQ(Line - R.Ed.TopLine(), OldLine - OldTop) << Log;
            }
            const bool Extending = C == ccExtendUp || C == ccExtendDown || C == ccExtendPgDn ||
                                   C == ccExtendPgUp || C == ccExtTopOfPage ||
                                   C == ccExtBotOfPage || C == ccExtendHome || C == ccExtendEnd;
            if (Extending && HadSel && R.Ed.HasSelection()) {
                const TParaPos NewAnchor =
                    R.Ed.SelCaretEnd() == R.Ed.SelStart() ? R.Ed.SelEnd() : R.Ed.SelStart();
                ASSERT_EQ(NewAnchor, Anchor) << Log;
            }
            // A move that went somewhere without extending leaves no selection (one that could
            // not go anywhere changes nothing at all).
            if (!Extending && !(R.Ed.CaretParaPos() == OldCaret && Line == OldLine)) {
                ASSERT_FALSE(R.Ed.HasSelection()) << Log;
            }
        }
    }
}

TEST(WrapRandom, ReWrappingKeepsTheTopLinesTextAndTheCaretsPlace) {
    const std::string Pieces[] = {
        "word", "a", "well-known", " ", "  ", "\t", ",", "-", "longerthanthewrapcolumn", "\n"};
    for (unsigned Seed = 1; Seed <= 30; ++Seed) {
        std::mt19937 Rng(Seed);
        auto Pick = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); };
        std::string Doc;
        const int Count = Pick(20, 150);
        for (int I = 0; I < Count; ++I)
            Doc += Pieces[Pick(0, 9)];
        TEditorRig R(Pick(5, 30), Pick(1, 8));
        Wrap(R, Pick(3, 40));
        R.Load("|" + Doc);
        TParaList& L = R.Ed.ParaList();
        std::string Log;
        for (int Step = 0; Step < 60; ++Step) {
            R.Ed.MakeTopLine(Pick(1, R.Ed.LineCount()));
            R.Ed.SetSelection(Pick(1, R.Ed.LineCount()), Pick(1, 30), Pick(1, R.Ed.LineCount()),
                              Pick(1, 30), Pick(0, 1) == 1);
            R.Ed.MakeTopLine(Pick(1, R.Ed.LineCount()));
            int32_t TopStart = 0;
            const int32_t TopPara = L.LineToPara(R.Ed.TopLine(), TopStart);
            const TParaPos Caret = R.Ed.CaretParaPos();
            const std::string Before = R.Text();
            const int Op = Pick(0, 2);
            Log += std::to_string(Op) + " ";
            if (Op == 0)
                R.Ed.SetWrapColumn(Pick(1, 40));
            else if (Op == 1)
                R.Ed.SetTabSize(static_cast<std::uint8_t>(Pick(1, 12)));
            else
                R.Ed.SetWordWrap(!R.Ed.WordWrap());
            ASSERT_EQ(R.Text(), Before) << "seed " << Seed << ": " << Log;
            ASSERT_EQ(R.Ed.CaretParaPos(), Caret) << Log;
            int32_t LinePos = 0;
            ASSERT_EQ(L.ParaToLine(TopPara, TopStart + 1, LinePos), R.Ed.TopLine()) << Log;
            if (!R.Ed.WordWrap()) R.Ed.SetWordWrap(true);
        }
    }
}

TEST(WrapDispatch, EnterWithoutSplittingGoesToTheNextParagraphNotTheNextDisplayLine) {
    TEditorRig R;
    Wrap(R, 6);
    R.Load("he|llo world again\nnext para");
    R.Ed.SetInsertMode(false);
    R.Ed.ProcessCommand(ccNewLine, 0);
    EXPECT_EQ(R.Text(), "hello world again\n|next para");
    R.Ed.ProcessCommand(ccNewLine, 0);
    EXPECT_EQ(R.Text(), "hello world again\nnext para|");
    R.Ed.SetInsertMode(true);
    R.Ed.SetReadOnly(true);
    R.Ed.MoveCaretTo(1, 2, false);
    R.Ed.ProcessCommand(ccNewLine, 0);
    EXPECT_EQ(R.Text(), "hello world again\n|next para");
    R.Ed.ProcessCommand(ccBack, 0);
    EXPECT_EQ(R.Text(), "hello world again|\nnext para");
}
