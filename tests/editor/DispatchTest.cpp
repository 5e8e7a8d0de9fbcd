// Command dispatch: which codes are handled, page steps, top and bottom of the page with the
// caret in and out of view, marker numbers taken from the key, user commands, read-only and
// overwrite behaviour, and undo with nothing to undo.
#include "EditorRig.h"

#include "CommandTable.h"
#include "VirtualKeys.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::string Lines(int Count) {
    std::string S;
    for (int I = 1; I <= Count; ++I)
        S += (I > 1 ? "\n" : "") + std::to_string(I);
    return S;
}

// Puts the caret on Line (column 1) and then the view's top on Top, without moving the caret.
void Place(TEditorRig& R, int32_t Line, int32_t Top) {
    R.Ed.MoveCaretTo(Line, 1, false);
    R.Ed.MakeTopLine(Top);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The handled result

TEST(DispatchHandled, EveryCodeAnswersAsTheTableSays) {
    TEditorRig R;
    R.Ed.SetReadOnly(true); // the editing commands then change nothing
    R.Load(Lines(5) + "|");
    const std::set<int> NotHandled = {ccNone,      ccBotRightCell, ccCompleteDate, ccCompleteTime,
                                      ccDec,       ccDelBol,       ccInc,          ccPageLeft,
                                      ccPageRight, ccRestore,      ccTableEdit,    ccTopLeftCell};
    for (int Code = 0; Code <= 255; ++Code) {
        const bool Expected = Code < ccNamedCount ? NotHandled.count(Code) == 0 : Code == ccChar;
        EXPECT_EQ(R.Ed.ProcessCommand(static_cast<TKroCommand>(Code), '1'), Expected)
            << "code " << Code;
    }
    for (int Code : {256, 300, 65535})
        EXPECT_TRUE(R.Ed.ProcessCommand(static_cast<TKroCommand>(Code), 0)) << "code " << Code;
    EXPECT_EQ(R.Ed.ParaList().UndoCount(), 0);
    int32_t Len = 0;
    EXPECT_EQ(std::string(R.Ed.GetPara(5, Len)), "5") << "a read-only text is never changed";
}

TEST(DispatchHandled, AUserCommandGoesToTheHandlerOrIsConsumedSilently) {
    TEditorRig R;
    R.Load("ab|c");
    EXPECT_TRUE(R.Ed.ProcessCommand(300, 0));
    EXPECT_EQ(R.Text(), "ab|c");
    std::vector<int> Seen;
    R.Ed.OnUserCommand = [&](TKroCustomEditor& Sender, std::uint16_t Command) {
        EXPECT_EQ(&Sender, &R.Ed);
        Seen.push_back(Command);
    };
    EXPECT_TRUE(R.Ed.ProcessCommand(300, 'x'));
    EXPECT_TRUE(R.Ed.ProcessCommand(ccUserFirst, 0));
    EXPECT_FALSE(R.Ed.ProcessCommand(255, 0));
    EXPECT_EQ(Seen, (std::vector<int>{300, 256}));
    EXPECT_EQ(R.Text(), "ab|c");
}

// ---------------------------------------------------------------------------------------------
// Pages

TEST(DispatchPages, PageDownWithOneRowMovesOneLine) {
    TEditorRig R(40, 1);
    R.Load("|" + Lines(10));
    EXPECT_TRUE(R.Ed.ProcessCommand(ccNextPage, 0));
    EXPECT_EQ(R.Ed.CaretLine(), 2);
    EXPECT_EQ(R.Ed.TopLine(), 2);
    R.Ed.ProcessCommand(ccPrevPage, 0);
    EXPECT_EQ(R.Ed.CaretLine(), 1);
}

TEST(DispatchPages, PageDownWithTwentyRowsMovesNineteenAndKeepsTheRow) {
    TEditorRig R(40, 20);
    R.Load(Lines(100));
    Place(R, 5, 1);
    R.Ed.ProcessCommand(ccNextPage, 0);
    EXPECT_EQ(R.Ed.CaretLine(), 24);
    EXPECT_EQ(R.Ed.TopLine(), 20) << "the caret stays on the fifth row";
    R.Ed.ProcessCommand(ccExtendPgDn, 0);
    EXPECT_EQ(R.Ed.CaretLine(), 43);
    EXPECT_EQ(R.Ed.TopLine(), 39);
    EXPECT_EQ(R.Ed.SelStart(), (TParaPos{24, 1}));
    EXPECT_EQ(R.Ed.SelEnd(), (TParaPos{43, 1}));
    R.Ed.ProcessCommand(ccPrevPage, 0);
    EXPECT_EQ(R.Ed.CaretLine(), 24);
    EXPECT_EQ(R.Ed.TopLine(), 20);
    EXPECT_FALSE(R.Ed.HasSelection());
}

TEST(DispatchPages, BottomOfPageWithTheCaretOnScreenMovesToTheBottomRow) {
    TEditorRig R(40, 20);
    R.Load(Lines(100));
    Place(R, 5, 1);
    EXPECT_TRUE(R.Ed.ProcessCommand(ccBotOfPage, 0));
    EXPECT_EQ(R.Ed.CaretLine(), 20);
    EXPECT_EQ(R.Ed.TopLine(), 1);
    // A text shorter than the window: the last line.
    R.Load("|" + Lines(5));
    R.Ed.ProcessCommand(ccBotOfPage, 0);
    EXPECT_EQ(R.Ed.CaretLine(), 5);
}

TEST(DispatchPages, BottomOfPageWithTheCaretOutOfViewScrollsAndLeavesTheCaret) {
    TEditorRig R(40, 20);
    R.Load(Lines(100));
    // Below the view: the caret's line becomes the bottom row.
    Place(R, 50, 1);
    R.Ed.ProcessCommand(ccBotOfPage, 0);
    EXPECT_EQ(R.Ed.TopLine(), 31);
    EXPECT_EQ(R.Ed.CaretLine(), 50);
    // Above the view on a line less than the number of rows: the view goes to line 1.
    Place(R, 5, 40);
    R.Ed.ProcessCommand(ccBotOfPage, 0);
    EXPECT_EQ(R.Ed.TopLine(), 1);
    EXPECT_EQ(R.Ed.CaretLine(), 5);
    // Above the view further down: the caret's line is again the bottom row.
    Place(R, 30, 60);
    R.Ed.ProcessCommand(ccBotOfPage, 0);
    EXPECT_EQ(R.Ed.TopLine(), 11);
    EXPECT_EQ(R.Ed.CaretLine(), 30);
}

TEST(DispatchPages, TopOfPageMovesTheCaretOrTheView) {
    TEditorRig R(40, 20);
    R.Load(Lines(100));
    Place(R, 15, 10);
    R.Ed.ProcessCommand(ccTopOfPage, 0);
    EXPECT_EQ(R.Ed.CaretLine(), 10);
    EXPECT_EQ(R.Ed.TopLine(), 10);
    Place(R, 50, 1);
    R.Ed.ProcessCommand(ccTopOfPage, 0);
    EXPECT_EQ(R.Ed.TopLine(), 50) << "out of view, the caret's line goes to the top";
    EXPECT_EQ(R.Ed.CaretLine(), 50);
    // Near the end the view cannot put the caret's line at the top.
    Place(R, 95, 1);
    R.Ed.ProcessCommand(ccTopOfPage, 0);
    EXPECT_EQ(R.Ed.TopLine(), 81);
}

TEST(DispatchPages, ExtendingToTheTopOrBottomOfThePageNeedsTheCaretInView) {
    TEditorRig R(40, 20);
    R.Load(Lines(100));
    Place(R, 50, 1);
    R.Ed.ProcessCommand(ccExtTopOfPage, 0);
    R.Ed.ProcessCommand(ccExtBotOfPage, 0);
    EXPECT_EQ(R.Ed.CaretLine(), 50);
    EXPECT_EQ(R.Ed.TopLine(), 1);
    EXPECT_FALSE(R.Ed.HasSelection());
    Place(R, 5, 1);
    R.Ed.ProcessCommand(ccExtBotOfPage, 0);
    EXPECT_EQ(R.Ed.SelStart(), (TParaPos{5, 1}));
    EXPECT_EQ(R.Ed.SelEnd(), (TParaPos{20, 1}));
    R.Ed.ProcessCommand(ccExtTopOfPage, 0);
    EXPECT_EQ(R.Ed.SelStart(), (TParaPos{1, 1}));
    EXPECT_EQ(R.Ed.SelEnd(), (TParaPos{5, 1}));
}

TEST(DispatchPages, ScrollCommandsMoveTheViewOnly) {
    TEditorRig R(40, 20);
    R.Load(Lines(100));
    Place(R, 3, 1);
    R.Ed.ProcessCommand(ccScrollDown, 0);
    R.Ed.ProcessCommand(ccScrollDown, 0);
    EXPECT_EQ(R.Ed.TopLine(), 3);
    EXPECT_EQ(R.Ed.CaretLine(), 3);
    R.Ed.ProcessCommand(ccScrollUp, 0);
    EXPECT_EQ(R.Ed.TopLine(), 2);
}

// ---------------------------------------------------------------------------------------------
// Markers

TEST(DispatchMarkers, TheMarkerNumberComesFromTheKeyNotTheCommand) {
    TEditorRig R;
    R.Load("one\ntw|o\nthree");
    // Any set-marker command with the key 3 sets marker 3.
    R.Ed.ProcessCommand(ccSetMarker7, '3');
    EXPECT_EQ(R.Ed.ParaList().Marker(3), (TParaPos{2, 3}));
    EXPECT_EQ(R.Ed.ParaList().Marker(7), (TParaPos{0, 0}));
    R.Ed.MoveCaretTo(3, 4, false);
    // A key that is no digit names no marker.
    EXPECT_TRUE(R.Ed.ProcessCommand(ccGotoMarker3, vkF5));
    EXPECT_EQ(R.Text(), "one\ntwo\nthr|ee");
    EXPECT_TRUE(R.Ed.ProcessCommand(ccGotoMarker0, '3'));
    EXPECT_EQ(R.Text(), "one\ntw|o\nthree");
}

TEST(DispatchMarkers, AnF5EntryForGotoMarker3DoesNothingWhileCtrl3Goes) {
    TEditorRig R;
    R.Controller.EntryCommands().GetCommandTable("Default")->AddCommand(
        TKroCommandEntry{vkF5, 0, 0, 0, ccGotoMarker3});
    R.Load("one\ntw|o\nthree");
    EXPECT_TRUE(R.Ed.KeyDown(vkOf('3'), ssCtrl | ssShift)); // Ctrl+Shift+3 sets marker 3
    R.Ed.MoveCaretTo(1, 1, false);
    EXPECT_TRUE(R.Ed.KeyDown(vkF5, 0));
    EXPECT_EQ(R.Text(), "|one\ntwo\nthree");
    EXPECT_TRUE(R.Ed.KeyDown(vkOf('3'), ssCtrl));
    EXPECT_EQ(R.Text(), "one\ntw|o\nthree");
    // A marker that was never set: nothing.
    EXPECT_TRUE(R.Ed.KeyDown(vkOf('4'), ssCtrl));
    EXPECT_EQ(R.Text(), "one\ntw|o\nthree");
}

// ---------------------------------------------------------------------------------------------
// Editing, read-only and overwrite

TEST(DispatchEditing, ReadOnlyBackspaceMovesLeftAndEnterMovesToTheNextParagraph) {
    TEditorRig R;
    R.Ed.SetReadOnly(true);
    R.Load("ab|c\ndef");
    R.Ed.ProcessCommand(ccBack, vkBack);
    EXPECT_EQ(R.Text(), "a|bc\ndef");
    EXPECT_TRUE(R.Ed.ProcessCommand(ccChar, 'x'));
    EXPECT_EQ(R.Text(), "a|bc\ndef");
    R.Ed.ProcessCommand(ccNewLine, vkReturn);
    EXPECT_EQ(R.Text(), "abc\n|def");
    R.Ed.ProcessCommand(ccDel, vkDelete);
    R.Ed.ProcessCommand(ccDelLine, 'Y');
    R.Ed.ProcessCommand(ccTab, vkTab);
    EXPECT_EQ(R.Text(), "abc\n|def");
}

TEST(DispatchEditing, OverwriteModeEnterDoesNotSplit) {
    TEditorRig R;
    R.Load("ab|c\ndef");
    R.Ed.ProcessCommand(ccIns, vkInsert);
    EXPECT_FALSE(R.Ed.InsertMode());
    R.Ed.ProcessCommand(ccNewLine, vkReturn);
    EXPECT_EQ(R.Text(), "abc\n|def");
    R.Ed.ProcessCommand(ccNewLine, vkReturn);
    EXPECT_EQ(R.Text(), "abc\ndef|") << "in the last paragraph: the end of the text";
    R.Ed.ProcessCommand(ccIns, vkInsert);
    EXPECT_TRUE(R.Ed.InsertMode());
    R.Ed.ProcessCommand(ccNewLine, vkReturn);
    EXPECT_EQ(R.Text(), "abc\ndef\n|");
}

TEST(DispatchEditing, CharacterTabAndDeletionCommands) {
    TEditorRig R;
    R.Load("a|b");
    R.Ed.ProcessCommand(ccChar, 0xE9); // a byte above 127 is a character like any other
    R.Ed.ProcessCommand(ccTab, vkTab);
    EXPECT_EQ(R.Text(), "a\xE9\t|b");
    R.Ed.ProcessCommand(ccBack, vkBack);
    R.Ed.ProcessCommand(ccDel, vkDelete);
    EXPECT_EQ(R.Text(), "a\xE9|");
    R.Ed.ProcessCommand(ccExtendHome, 0);
    R.Ed.ProcessCommand(ccCut, 'X');
    EXPECT_EQ(R.Platform.ClipboardImpl.Text, "a\xE9");
    R.Ed.ProcessCommand(ccPaste, 'V');
    R.Ed.ProcessCommand(ccPaste, 'V');
    EXPECT_EQ(R.Text(), "a\xE9"
                        "a\xE9|");
}

TEST(DispatchEditing, UndoWithNothingToUndoBeepsAndChangesNothing) {
    TEditorRig R;
    R.Load("ab|c");
    EXPECT_TRUE(R.Ed.ProcessCommand(ccUndo, 'Z'));
    EXPECT_EQ(R.Platform.BeepCount, 1);
    EXPECT_EQ(R.Text(), "ab|c");
    EXPECT_TRUE(R.Ed.ProcessCommand(ccRedo, 'Z'));
    EXPECT_EQ(R.Platform.BeepCount, 2);
    // Undo and redo of a typed character, then the buffer is empty again.
    R.Ed.ProcessCommand(ccChar, 'x');
    R.Ed.ProcessCommand(ccUndo, 'Z');
    EXPECT_EQ(R.Text(), "ab|c");
    R.Ed.ProcessCommand(ccRedo, 'Z');
    EXPECT_EQ(R.Text(), "abx|c");
    EXPECT_EQ(R.Platform.BeepCount, 2);
    R.Ed.ProcessCommand(ccRedo, 'Z');
    EXPECT_EQ(R.Platform.BeepCount, 3);
}
