// Editing operations of the editor control: typing, tabs, new lines, deletions, inserting and
// appending text, undo and redo; texts with the caret ('|') and selection ('{' .. '}') marked.
#include "EditorRig.h"
#include "KroExceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

// The document without marks: paragraphs joined by '\n'.
std::string Plain(TEditorRig& R) {
    std::string S;
    for (int32_t P = 1; P <= R.Ed.ParaList().ParaCount(); ++P) {
        int32_t Len = 0;
        const char* T = R.Ed.GetPara(P, Len);
        S += (P > 1 ? "\n" : "") + std::string(T, Len);
    }
    return S;
}

// Collects the codes reported through OnError.
struct TErrors {
    std::vector<uint16_t> Codes;
    explicit TErrors(TEditorRig& R) {
        R.Ed.OnError = [this](TKroCustomEditor&, uint16_t& Code) { Codes.push_back(Code); };
    }
};

} // namespace

TEST(Typing, OverwriteReplacesAppendsAtTheEndAndASelectionIsAlwaysReplaced) {
    TEditorRig R;
    R.Ed.SetInsertMode(false);
    R.Load("a|bc");
    R.Ed.InsertChar('x');
    EXPECT_EQ(R.Text(), "ax|c");
    R.Load("abc|");
    R.Ed.InsertChar('x');
    EXPECT_EQ(R.Text(), "abcx|");
    R.Load("{ab}|c");
    R.Ed.InsertChar('x');
    EXPECT_EQ(R.Text(), "x|c") << "'c' is not overwritten";
    R.Ed.Undo();
    EXPECT_EQ(R.Text(), "|abc") << "the selection and the typing are one step";
}

TEST(Typing, PaddingInVirtualSpaceCountsAgainstTheLimitAndAFailureChangesNothing) {
    TEditorRig R;
    R.Ed.SetScrollPastEnd(true);
    R.Ed.SetByteLimit(4);
    R.Load("ab|");
    R.Ed.MoveCaretTo(1, 6, false);
    TErrors E(R);
    R.Ed.InsertChar('x');
    EXPECT_EQ(E.Codes, std::vector<uint16_t>{erTextTooLarge}) << "3 blanks + 'x' make 6 > 4";
    EXPECT_EQ(Plain(R), "ab");
    EXPECT_EQ(R.Ed.CaretParaPos(), (TParaPos{1, 6}));
    R.Ed.SetByteLimit(MaxLongint);
    R.Ed.SetParaLengthLimit(2);
    R.Ed.MoveCaretTo(1, 3, false);
    // Without a handler the report is the exception.
    R.Ed.OnError = nullptr;
    try {
        R.Ed.InsertChar('x');
        ADD_FAILURE() << "no exception";
    } catch (const EEditorError& X) {
        EXPECT_EQ(X.Code(), erParaTooLong);
        EXPECT_STREQ(X.what(), "Current operation will exceed the maximum paragraph size");
    }
    EXPECT_EQ(R.Text(), "ab|");
    EXPECT_FALSE(R.Ed.CanUndo()) << "nothing was recorded";
}

TEST(Tabs, FixedTabsGoToTheNextStopCountedInPositions) {
    TEditorRig R;
    R.Ed.SetTabType(ttFixed);
    for (auto [Pos, Blanks] : {std::pair{1, 8}, {5, 4}, {8, 1}, {9, 8}}) {
        R.Load(std::string(Pos - 1, 'a') + "|");
        R.Ed.InsertTab();
        EXPECT_EQ(R.Text(), std::string(Pos - 1, 'a') + std::string(Blanks, ' ') + "|")
            << "at position " << Pos;
    }
}

TEST(Tabs, RealTabIsOneCharacterAndOverwritesInOverwriteMode) {
    TEditorRig R;
    R.Load("a|bc");
    R.Ed.InsertTab();
    EXPECT_EQ(R.Text(), "a\t|bc");
    R.Ed.SetInsertMode(false);
    R.Load("a|bc");
    R.Ed.InsertTab();
    EXPECT_EQ(R.Text(), "a\t|c");
}

TEST(Tabs, SmartTabFollowsTheNeighbourLineOrFallsBackToFixed) {
    TEditorRig R;
    R.Ed.SetTabType(ttSmart);
    R.Load("int   value;\n|");
    R.Ed.InsertTab();
    EXPECT_EQ(R.Text(), "int   value;\n      |") << "column 7, the start of 'value'";
    R.Ed.InsertTab();
    EXPECT_EQ(R.Text(), "int   value;\n            |") << "past 'value;': its end + 1";
    // First paragraph: the fixed rule.
    R.Load("|x\nint   value;");
    R.Ed.InsertTab();
    EXPECT_EQ(R.Text(), "        |x\nint   value;");
    // An empty line above: the line below gives the column.
    R.Load("a\n\n|\nab  cd");
    R.Ed.InsertTab();
    EXPECT_EQ(R.Text(), "a\n\n    |\nab  cd");
    // Nothing right of the caret in either neighbour: fixed.
    R.Load("ab\nabc|");
    R.Ed.InsertTab();
    EXPECT_EQ(R.Text(), "ab\nabc     |");
}

TEST(Tabs, SmartTabReachesAnyColumnAndMeasuresColumnsAfterATab) {
    TEditorRig R;
    R.Ed.SetTabType(ttSmart);
    R.Load("x" + std::string(300, ' ') + "y\n|");
    R.Ed.InsertTab();
    EXPECT_EQ(R.Ed.CaretParaPos(), (TParaPos{2, 302})) << "a run of 301 blanks";
    // The caret after a tab stands in column 9; the word above starts in column 15.
    R.Load("        int   x\n\t|");
    R.Ed.InsertTab();
    EXPECT_EQ(R.Text(), "        int   x\n\t      |");
}

TEST(Tabs, BlankTabsInOverwriteModeAreOneStepAndTheSelectionAnother) {
    TEditorRig R;
    R.Ed.SetTabType(ttFixed);
    R.Ed.SetInsertMode(false);
    R.Load("|abcdefghij");
    R.Ed.InsertTab();
    EXPECT_EQ(R.Text(), "        |ij");
    R.Ed.Undo();
    EXPECT_EQ(Plain(R), "abcdefghij");
    R.Ed.SetInsertMode(true);
    R.Load("{xy}|z");
    R.Ed.InsertTab();
    EXPECT_EQ(R.Text(), "        |z");
    R.Ed.Undo();
    EXPECT_EQ(Plain(R), "z");
    R.Ed.Undo();
    EXPECT_EQ(Plain(R), "xyz");
}

TEST(NewLines, SplitTrimsBlanksBeforeTheCaretAndIndentsWithSpacesOrTabs) {
    TEditorRig R;
    R.Load("foo   |bar");
    R.Ed.NewLine(true, true);
    EXPECT_EQ(R.Text(), "foo\n|bar");
    R.Ed.SetAutoIndent(true);
    R.Load("    x|");
    R.Ed.NewLine(true, true);
    EXPECT_EQ(R.Text(), "    x\n    |");
    R.Ed.SetTabSize(4);
    R.Load("    x|");
    R.Ed.NewLine(true, true);
    EXPECT_EQ(R.Text(), "    x\n\t|") << "ttReal indents with tabs";
    R.Ed.SetTabType(ttFixed);
    R.Load("\tx|");
    R.Ed.NewLine(true, true);
    EXPECT_EQ(R.Text(), "\tx\n    |") << "other tab kinds indent with spaces only";
}

TEST(NewLines, AtTheStartOfALineAnEmptyLineGoesAboveAndTheCaretToTheMovedLine) {
    TEditorRig R;
    R.Ed.SetAutoIndent(true);
    R.Load("a\n|    x");
    R.Ed.NewLine(true, true);
    EXPECT_EQ(R.Text(), "a\n\n|    x");
    R.Ed.Undo();
    EXPECT_EQ(Plain(R), "a\n    x");
}

TEST(NewLines, OverwriteModeOnlyMovesTheCaret) {
    TEditorRig R;
    R.Load("ab|c\ndef");
    R.Ed.NewLine(false, true);
    EXPECT_EQ(R.Text(), "abc\n|def");
    R.Ed.NewLine(false, true);
    EXPECT_EQ(R.Text(), "abc\ndef|") << "in the last paragraph: the end of the text";
    EXPECT_FALSE(R.Ed.Modified());
}

TEST(NewLines, SelectionAndSplitAreTwoStepsAndALimitStopsTheSplit) {
    TEditorRig R;
    R.Load("ab{cd}|ef");
    R.Ed.NewLine(true, true);
    EXPECT_EQ(R.Text(), "ab\n|ef");
    R.Ed.Undo();
    EXPECT_EQ(Plain(R), "abef");
    R.Ed.Undo();
    EXPECT_EQ(Plain(R), "abcdef");
    R.Ed.SetParaLimit(2);
    R.Load("ab\nc|d");
    TErrors E(R);
    R.Ed.NewLine(true, true);
    EXPECT_EQ(E.Codes, std::vector<uint16_t>{erTooManyParas});
    EXPECT_EQ(R.Text(), "ab\nc|d");
}

TEST(Deleting, DelJoinsBackspaceStopsAtTheStartAndNeitherDeletesThroughVirtualSpace) {
    TEditorRig R;
    R.Load("ab|\ncd");
    R.Ed.DeleteSelection();
    EXPECT_EQ(R.Text(), "ab|cd");
    R.Ed.CaretEndOfLine(false);
    R.Ed.DeleteSelection();
    EXPECT_EQ(R.Text(), "abcd|") << "the last paragraph has nothing to join";
    R.Load("|ab");
    R.Ed.DeleteCharLeft();
    EXPECT_EQ(R.Text(), "|ab");
    R.Load("ab\n|cd");
    R.Ed.DeleteCharLeft();
    EXPECT_EQ(R.Text(), "ab|cd");
    // A caret that cannot go left must not delete the character on its right instead.
    R.Ed.SetWrapAtLeft(false);
    R.Load("ab\n|cd");
    R.Ed.DeleteCharLeft();
    EXPECT_EQ(R.Text(), "ab\n|cd");
    // In virtual space Backspace only moves back towards the text.
    R.Ed.SetScrollPastEnd(true);
    R.Load("ab|\ncd");
    R.Ed.MoveCaretTo(1, 5, false);
    R.Ed.DeleteCharLeft();
    EXPECT_EQ(R.Text(), "ab |\ncd");
}

TEST(Deleting, AJoinPastTheLengthLimitIsReportedAndChangesNothing) {
    TEditorRig R;
    R.Ed.SetParaLengthLimit(5);
    R.Load("abc|\ndef");
    TErrors E(R);
    R.Ed.DeleteSelection();
    EXPECT_EQ(E.Codes, std::vector<uint16_t>{erCannotJoin});
    EXPECT_EQ(R.Text(), "abc|\ndef");
}

TEST(Deleting, DeleteWordTakesTheWordThenThePunctuationThenTheBlanks) {
    TEditorRig R;
    R.Load("|foo, bar");
    R.Ed.DeleteWord();
    EXPECT_EQ(R.Text(), "|, bar");
    R.Ed.DeleteWord();
    EXPECT_EQ(R.Text(), "| bar");
    R.Ed.DeleteWord();
    EXPECT_EQ(R.Text(), "|bar");
    R.Load("foo|\nbar");
    R.Ed.DeleteWord();
    EXPECT_EQ(R.Text(), "foo|bar") << "at the end the next paragraph is joined";
}

TEST(Deleting, DeleteLineAndDeleteToEndOfLine) {
    TEditorRig R;
    R.Load("one\nt|wo\nthree");
    R.Ed.DeleteLine();
    EXPECT_EQ(R.Text(), "one\n|three");
    R.Ed.MoveCaretTo(2, 3, false);
    R.Ed.DeleteLine();
    EXPECT_EQ(R.Text(), "one\n|") << "the last line keeps its (now empty) place";
    R.Ed.DeleteLine();
    EXPECT_EQ(R.Text(), "one\n|");
    R.Ed.Undo();
    EXPECT_EQ(Plain(R), "one\nthree");
    // Wrapped: only the caret's display line goes.
    R.Ed.SetWordWrap(true);
    R.Ed.SetWrapColumn(6);
    R.Load("aaaa bb|bb cccc\nz");
    R.Ed.DeleteLine();
    EXPECT_EQ(R.Text(), "aaaa |cccc\nz");
    R.Ed.SetWordWrap(false);
    // To the end of the line; a selection elsewhere is dropped, not deleted.
    R.Load("{abc}|def\ng");
    R.Ed.DeleteToEndOfLine();
    EXPECT_EQ(R.Text(), "abc|\ng");
    R.Ed.DeleteToEndOfLine();
    EXPECT_EQ(R.Text(), "abc|\ng") << "at the end nothing is deleted or joined";
}

TEST(InsertingText, LinesAreOneStepAndALimitIsReturnedNotReported) {
    TEditorRig R;
    R.Load("x{y}|z");
    EXPECT_EQ(R.Ed.InsertString("a\r\nb\r\nc"), erOK);
    EXPECT_EQ(R.Text(), "xa\nb\nc|z");
    R.Ed.Undo();
    EXPECT_EQ(Plain(R), "xyz");
    EXPECT_EQ(R.Ed.InsertString(""), erOK);
    EXPECT_FALSE(R.Ed.Modified());

    R.Ed.SetParaLengthLimit(6);
    R.Load("ab|xy");
    TErrors E(R);
    EXPECT_EQ(R.Ed.InsertString("c\r\n12345"), erParaTooLong);
    EXPECT_TRUE(E.Codes.empty());
    EXPECT_EQ(R.Text(), "abc\n|xy") << "nothing of the failing paragraph";
    R.Ed.Undo();
    EXPECT_EQ(Plain(R), "abxy");
}

TEST(AppendingText, SplitsLikeBreakLongTextKeepsEveryCharacterAndRecordsNothing) {
    TEditorRig R;
    R.Ed.SetParaLengthLimit(8);
    R.Ed.ClearText(true);
    EXPECT_EQ(R.Ed.AppendText("aaa bbb ccc  "), erOK);
    EXPECT_EQ(R.Ed.AppendText("0123456789"), erOK);
    EXPECT_EQ(Plain(R), "aaa bbb \nccc\n01234567\n89\n")
        << "the split blank stays; only the line's own trailing blanks go";
    EXPECT_FALSE(R.Ed.Modified());
    EXPECT_FALSE(R.Ed.CanUndo());
    R.Ed.SetTrimWhiteSpace(false);
    R.Ed.AppendText("x  ");
    EXPECT_EQ(R.Ed.ParaList().GetPara(5)->Length(), 3);
    R.Ed.SetParaLimit(6);
    EXPECT_EQ(R.Ed.AppendText("y"), erOK) << "the empty last paragraph does not count";
    EXPECT_EQ(R.Ed.AppendText("z"), erTooManyParas);
}

TEST(UndoRedo, EveryOperationIsTakenBackExactlyAndRedoneExactly) {
    const std::string Start = "  alpha, beta\n\tgamma {delta}| epsilon\nzeta";
    // Each operation with the undo steps it takes: tabs and new lines keep the deletion of
    // the selection apart.
    struct TOp {
        const char* Name;
        int Steps;
        std::function<void(TKroCustomEditor&)> Run;
    };
    const std::vector<TOp> Ops = {
        {"char", 1, [](TKroCustomEditor& E) { E.InsertChar('q'); }},
        {"tab", 2, [](TKroCustomEditor& E) { E.InsertTab(); }},
        {"smart tab", 2,
         [](TKroCustomEditor& E) {
             E.SetTabType(ttSmart);
             E.InsertTab();
         }},
        {"new line", 2,
         [](TKroCustomEditor& E) {
             E.SetAutoIndent(true);
             E.NewLine(true, true);
         }},
        {"delete", 1, [](TKroCustomEditor& E) { E.DeleteSelection(); }},
        {"backspace", 1, [](TKroCustomEditor& E) { E.DeleteCharLeft(); }},
        {"to end", 1, [](TKroCustomEditor& E) { E.DeleteToEndOfLine(); }},
        {"line", 1, [](TKroCustomEditor& E) { E.DeleteLine(); }},
        {"word", 1, [](TKroCustomEditor& E) { E.DeleteWord(); }},
        {"string", 1, [](TKroCustomEditor& E) { E.InsertString("1\r\n2\r\n3"); }},
    };
    for (const TOp& Op : Ops) {
        TEditorRig R;
        R.Load(Start);
        const std::string Before = Plain(R);
        Op.Run(R.Ed);
        const std::string After = Plain(R);
        EXPECT_NE(After, Before) << Op.Name;
        for (int I = 0; I < Op.Steps; ++I) {
            EXPECT_NE(Plain(R), Before) << Op.Name << " undone early, step " << I;
            R.Ed.Undo();
        }
        EXPECT_EQ(Plain(R), Before) << Op.Name;
        EXPECT_FALSE(R.Ed.Modified()) << Op.Name;
        EXPECT_FALSE(R.Ed.CanUndo()) << Op.Name;
        while (R.Ed.CanRedo())
            R.Ed.Redo();
        EXPECT_EQ(Plain(R), After) << Op.Name;
        R.Ed.CheckInvariant();
    }
}

TEST(UndoRedo, NothingToUndoBeepsAndReadOnlyChangesNothing) {
    TEditorRig R;
    R.Load("ab|c");
    R.Ed.Undo();
    R.Ed.Redo();
    EXPECT_EQ(R.Platform.BeepCount, 2);
    R.Ed.InsertChar('x');
    R.Ed.SetReadOnly(true);
    EXPECT_FALSE(R.Ed.CanUndo());
    R.Ed.Undo();
    EXPECT_EQ(R.Platform.BeepCount, 3);
    R.Ed.InsertChar('y');
    R.Ed.InsertTab();
    R.Ed.NewLine(true, true);
    R.Ed.DeleteSelection();
    R.Ed.DeleteCharLeft();
    R.Ed.DeleteToEndOfLine();
    R.Ed.DeleteLine();
    R.Ed.DeleteWord();
    EXPECT_EQ(R.Ed.InsertString("z"), erOK);
    EXPECT_EQ(R.Ed.AppendText("z"), erOK);
    EXPECT_EQ(Plain(R), "abxc");
}

TEST(UndoRedo, RedoOfLinesBringsTheScrollRangeAlong) {
    TEditorRig R(40, 5);
    R.Load("|");
    R.Ed.InsertString("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9");
    EXPECT_EQ(R.Window.VertBar.Max, 5);
    R.Ed.Undo();
    EXPECT_EQ(R.Window.VertBar.Max, 1);
    R.Ed.Redo();
    EXPECT_EQ(R.Window.VertBar.Max, 5);
    EXPECT_EQ(R.Text(), "1\n2\n3\n4\n5\n6\n7\n8\n9|");
}

TEST(ScrollRange, DeletionsThatUnwrapLinesShrinkTheVerticalRange) {
    // Five rows; a paragraph of twenty wrapped lines between short ones.
    std::string Long;
    for (int I = 0; I < 20; ++I)
        Long += "abcd ";
    const std::string Start = "1\n2\n" + Long + "\n4";
    const std::vector<std::pair<const char*, std::function<void(TEditorRig&)>>> Ops = {
        {"selection",
         [](TEditorRig& R) {
             R.Ed.MoveCaretTo(4, 1, false);
             R.Ed.MoveCaretTo(8, 1, true);
             R.Ed.DeleteSelection();
         }},
        {"line",
         [](TEditorRig& R) {
             R.Ed.MoveCaretTo(5, 1, false);
             R.Ed.DeleteLine();
         }},
        {"to end of line",
         [](TEditorRig& R) {
             R.Ed.MoveCaretTo(5, 1, false);
             R.Ed.DeleteToEndOfLine();
         }},
        {"word",
         [](TEditorRig& R) {
             R.Ed.MoveCaretTo(5, 1, false);
             R.Ed.DeleteWord();
             R.Ed.DeleteWord();
         }},
        {"characters",
         [](TEditorRig& R) {
             R.Ed.MoveCaretTo(5, 1, false);
             for (int I = 0; I < 10; ++I)
                 R.Ed.DeleteSelection();
         }},
    };
    for (const auto& [Name, Run] : Ops) {
        TEditorRig R(40, 5);
        R.Ed.SetWordWrap(true);
        R.Ed.SetWrapColumn(10);
        R.Load(Start);
        const int32_t Lines = R.Ed.ParaList().LineCount();
        Run(R);
        ASSERT_LT(R.Ed.ParaList().LineCount(), Lines) << Name;
        ASSERT_GT(R.Ed.ParaList().LineCount(), 5) << Name;
        EXPECT_EQ(R.Window.VertBar.Max, R.Ed.ParaList().LineCount() - 5 + 1) << Name;
    }
    // Blanks typed over the text of a wrapped line: its text goes and the blanks hang at the end
    // of the line above, one line less.
    TEditorRig R(40, 2);
    R.Ed.SetWordWrap(true);
    R.Ed.SetWrapColumn(10);
    R.Ed.SetTabType(ttFixed);
    R.Ed.SetInsertMode(false);
    R.Load("x\ny\nbab a aab aa aa a\nz\nw");
    R.Ed.MoveCaretTo(4, 1, false);
    R.Ed.InsertTab();
    ASSERT_EQ(R.Ed.ParaList().LineCount(), 5);
    EXPECT_EQ(R.Window.VertBar.Max, 4);
}

TEST(ScrollRange, AppendedTextExtendsTheRangeAndShowsWhereItGoesInInView) {
    TEditorRig R(40, 5);
    R.Load("1\n2\n3\n4\n5\n6\n7\n8\n9\n|");
    R.Ed.MakeTopLine(6);
    R.Ed.PaintDone();
    R.Window.ClearLog();
    for (int I = 0; I < 5; ++I)
        ASSERT_EQ(R.Ed.AppendText("x"), erOK);
    EXPECT_EQ(R.Ed.ParaList().LineCount(), 15);
    EXPECT_EQ(R.Window.VertBar.Max, 11);
    EXPECT_GT(R.Window.InvalidateAllCount, 0) << "the lines went in where line 10 was shown";
    // Out of view: the range still follows, nothing is repainted.
    R.Ed.MakeTopLine(1);
    R.Ed.PaintDone();
    R.Window.ClearLog();
    ASSERT_EQ(R.Ed.AppendText("y"), erOK);
    EXPECT_EQ(R.Window.VertBar.Max, 12);
    EXPECT_EQ(R.Window.InvalidateAllCount, 0);
}

TEST(EditingRandom, UndoAllAndRedoAllRestoreTheTextAndTheScrollRangeFollowsEveryEdit) {
    for (unsigned Seed = 1; Seed <= 300; ++Seed) {
        std::mt19937 Rng(Seed);
        auto Pick = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); };
        TEditorRig R(20, 6);
        R.Ed.SetUndoBufferSize(65535);
        if (Seed % 2) {
            R.Ed.SetWordWrap(true);
            R.Ed.SetWrapColumn(12);
        }
        R.Ed.SetScrollPastEnd(Seed % 3 == 0);
        R.Ed.SetAutoIndent(Seed % 5 < 3);
        R.Ed.SetTabType(static_cast<TTabType>(Seed % 3));
        R.Ed.OnError = [](TKroCustomEditor&, uint16_t&) {};
        R.Load(
            "  alpha beta\ngamma, delta epsilon zeta\n\teta theta\niota kappa lambda mu nu\nxi|");
        const std::string Initial = Plain(R);
        std::string Ops;
        for (int Step = 0; Step < 60; ++Step) {
            const int32_t Lines = R.Ed.ParaList().LineCount();
            const int Op = Pick(0, 17);
            Ops += std::to_string(Op) + " ";
            switch (Op) {
            case 0:
            case 1:
                R.Ed.MoveCaretTo(Pick(1, Lines), Pick(1, 14), Op == 1);
                break;
            case 2:
                R.Ed.InsertChar("ab ,\tx"[Pick(0, 5)]);
                break;
            case 3:
                R.Ed.InsertTab();
                break;
            case 4:
                R.Ed.NewLine(Pick(0, 3) != 0, true);
                break;
            case 5:
                R.Ed.DeleteSelection();
                break;
            case 6:
                R.Ed.DeleteCharLeft();
                break;
            case 7:
                R.Ed.DeleteToEndOfLine();
                break;
            case 8:
                R.Ed.DeleteLine();
                break;
            case 9:
                R.Ed.DeleteWord();
                break;
            case 10:
                R.Ed.InsertString(Pick(0, 1) ? "p\r\nq r" : "zz");
                break;
            case 11:
                R.Ed.CutToClipboard();
                break;
            case 12:
                R.Ed.PasteFromClipboard();
                break;
            case 13:
                R.Ed.Replace("a", Pick(0, 1) ? "AAA" : "",
                             sfReplaceAll | (Pick(0, 1) ? sfSelectedOnly : 0) |
                                 (Pick(0, 1) ? sfBackward : 0));
                break;
            case 14:
                R.Ed.SetInsertMode(!R.Ed.InsertMode());
                break;
            case 15:
                R.Ed.Undo();
                break;
            case 16:
                R.Ed.Redo();
                break;
            case 17:
                R.Ed.Replace("e", "EE", sfReplace);
                break;
            }
            R.Ed.CheckInvariant();
            const int32_t Now = R.Ed.ParaList().LineCount();
            ASSERT_EQ(R.Window.VertBar.Max, Now > 6 ? Now - 6 + 1 : 1)
                << "seed " << Seed << ", operations " << Ops;
        }
        while (R.Ed.CanRedo())
            R.Ed.Redo();
        const std::string Final = Plain(R);
        while (R.Ed.CanUndo()) {
            R.Ed.Undo();
            R.Ed.CheckInvariant();
        }
        ASSERT_EQ(Plain(R), Initial) << "seed " << Seed << ", operations " << Ops;
        while (R.Ed.CanRedo()) {
            R.Ed.Redo();
            R.Ed.CheckInvariant();
        }
        ASSERT_EQ(Plain(R), Final) << "seed " << Seed << ", operations " << Ops;
    }
}
