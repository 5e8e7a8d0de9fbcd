// Keyboard, mouse and focus handling of the editor control, driven through its message handlers
// with a recording window: key sequences, the pointer-to-text mapping, clicks, drags, double
// clicks, the wheel and the insert mode handed on through the controller.
#include "EditorRig.h"

#include "VirtualKeys.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The rig's cells are 10 x 10 pixels; text starts at x = 15.
constexpr int CW = 10;
constexpr int LH = 10;

// The protected pointer mapping, called the way the mouse handlers call it.
struct TPointer : TKroCustomEditor {
    static TLinePos At(TKroCustomEditor& E) { return (E.*(&TPointer::PointToLineCol))(); }
};

// The middle of the cell left of position Pos in row Row (1-based), in client pixels.
TKroPoint Cell(int Row, int Pos) {
    return {15 + (Pos - 1) * CW + 2, (Row - 1) * LH + LH / 2};
}

struct TInputRig : TEditorRig {
    using TEditorRig::TEditorRig;

    // One key: key-down, then its character when it types one.
    void Press(std::uint16_t Key, TKroShiftState Shift = 0, char Ch = 0) {
        Ed.KeyDown(Key, Shift);
        if (Ch) Ed.CharMessage(Ch);
    }
    void WordStar() { Controller.EntryCommands().GetCommandTable("WordStar")->SetActive(true); }

    // A button press at From whose drag loop then sees the pointer at each of Path, one
    // position a pass, and the button released after the last.
    void Drag(TKroPoint From, std::vector<TKroPoint> Path) {
        Window.Pointer = From;
        Ed.SetCursorMessage(true);
        Window.ButtonDown = true;
        std::size_t Next = 0;
        Window.OnProcessMessages = [this, Path, Next]() mutable {
            if (Next < Path.size())
                Window.Pointer = Path[Next++];
            else
                Window.ButtonDown = false;
        };
        Ed.LButtonDown(From.X, From.Y, Window.Shift);
        Ed.LButtonUp(Window.Pointer.X, Window.Pointer.Y, Window.Shift);
        Window.OnProcessMessages = nullptr;
    }
    void Click(TKroPoint At) { Drag(At, {}); }
    void DoubleClick(TKroPoint At) {
        Click(At);
        Ed.SetCursorMessage(true);
        Ed.LButtonDblClk(At.X, At.Y, Window.Shift);
    }
};

std::string Numbered(int Count) {
    std::string S;
    for (int I = 1; I <= Count; ++I)
        S += (I > 1 ? "\n" : "") + std::to_string(I);
    return S;
}

// ---------------------------------------------------------------------------------------------

TEST(InputKeys, PrefixSequencesTypeTheirCharactersOnlyWhenUnmatched) {
    TInputRig R;
    R.WordStar();
    R.Load("|");
    R.Press(vkOf('A'), 0, 'a');
    R.Press(vkOf('B'), 0, 'b');
    EXPECT_EQ(R.Text(), "ab|");
    // Ctrl+Q S: to the start of the line, and neither character typed.
    R.Press(vkOf('Q'), ssCtrl, 0x11);
    R.Press(vkOf('S'), 0, 's');
    EXPECT_EQ(R.Text(), "|ab");
    // Ctrl+Q X completes nothing: the x is typed.
    R.Press(vkOf('Q'), ssCtrl, 0x11);
    R.Press(vkOf('X'), 0, 'x');
    EXPECT_EQ(R.Text(), "x|ab");
    // Ctrl+P Ctrl+Y does nothing at all; Ctrl+P y types the y.
    R.Press(vkOf('P'), ssCtrl, 0x10);
    R.Press(vkOf('Y'), ssCtrl, 0x19);
    EXPECT_EQ(R.Text(), "x|ab") << "Ctrl+Y would delete the line";
    R.Press(vkOf('P'), ssCtrl, 0x10);
    R.Press(vkOf('Y'), 0, 'y');
    EXPECT_EQ(R.Text(), "xy|ab");
}

TEST(InputKeys, CharactersAndTheHandlersThatMayChangeThem) {
    TInputRig R;
    R.Load("|");
    R.Ed.OnKeyPress = [](TKroCustomEditor&, char& Key) {
        if (Key == 'q') Key = 0;
        if (Key == 'u') Key = 'U';
    };
    R.Press(vkOf('Q'), 0, 'q');
    R.Press(vkOf('U'), 0, 'u');
    R.Ed.CharMessage('\x01');
    EXPECT_EQ(R.Text(), "U|") << "0 cancels; control characters are never typed";
    R.Ed.OnKeyDown = [](TKroCustomEditor&, std::uint16_t& Key, TKroShiftState) {
        if (Key == vkLeft) Key = 0;
    };
    R.Press(vkLeft);
    EXPECT_EQ(R.Text(), "U|") << "a key code of 0 matches nothing";
    // Alt keys go through the tables but type nothing: Alt+Backspace is no editor command.
    R.Ed.SysKeyDown(vkBack, ssAlt);
    EXPECT_EQ(R.Text(), "U|");
}

TEST(InputKeys, EnterTabReadOnlyAndOverwrite) {
    TInputRig R;
    R.Load("ab|cd\nef");
    R.Press(vkReturn, 0, '\r');
    EXPECT_EQ(R.Text(), "ab\n|cd\nef");
    R.Press(vkInsert);
    ASSERT_FALSE(R.Ed.InsertMode());
    R.Press(vkReturn, 0, '\r');
    EXPECT_EQ(R.Text(), "ab\ncd\n|ef") << "overwrite: to the next paragraph, no split";
    R.Ed.SetInsertMode(true);

    R.Load("ab|cd\nef");
    R.Ed.SetReadOnly(true);
    R.Press(vkOf('Z'), 0, 'z');
    R.Press(vkReturn, 0, '\r');
    EXPECT_EQ(R.Text(), "abcd\n|ef");
    R.Press(vkBack, 0, '\b');
    EXPECT_EQ(R.Text(), "abcd|\nef");
    R.Ed.SetReadOnly(false);

    // Without tables Tab is typed only when the control wants it.
    for (int I = 0; I < R.Controller.EntryCommands().Count(); ++I)
        R.Controller.EntryCommands().Tables(I).SetActive(false);
    R.Load("|x");
    R.Press(vkTab, 0, '\t');
    EXPECT_EQ(R.Text(), "|x");
    R.Ed.SetWantTab(true);
    R.Press(vkTab, 0, '\t');
    EXPECT_EQ(R.Text(), "\t|x");
    R.Ed.SetWantEnter(false);
    R.Press(vkReturn, 0, '\r');
    EXPECT_EQ(R.Text(), "\t|x");
}

// ---------------------------------------------------------------------------------------------

TEST(InputPointer, PointToLineColAtTheWindowsEdges) {
    TInputRig R(40, 20);
    R.Window.Height = 205; // a partial row of 5 pixels under the 20 whole ones
    R.Ed.FullRefresh(false);
    std::string Text = Numbered(100);
    R.Load("a\tb\n" + Text.substr(2));
    R.Ed.MakeTopLine(10);
    auto At = [&](int X, int Y) {
        R.Window.Pointer = {X, Y};
        return TPointer::At(R.Ed);
    };
    EXPECT_EQ(At(20, -1).Line, 9) << "above the window: the line above the top";
    EXPECT_EQ(At(20, 0).Line, 10);
    EXPECT_EQ(At(20, 199).Line, 29);
    EXPECT_EQ(At(20, 202).Line, 29) << "the partial row counts as the last whole row";
    EXPECT_EQ(At(20, 205).Line, 30) << "below the window: the line below the last row";
    R.Ed.MakeTopLine(1);
    EXPECT_EQ(At(20, -50).Line, 1);
    // Columns: the nearer character boundary; before the text; after the line's end.
    EXPECT_EQ(At(15 + 4, 5).Pos, 1);
    EXPECT_EQ(At(15 + 5, 5).Pos, 2);
    EXPECT_EQ(At(0, 5).Pos, 1);
    EXPECT_EQ(At(15 + 5 * CW, 5).Pos, 2) << "inside the tab's blanks: the tab itself";
    EXPECT_EQ(At(15 + 8 * CW + 2, 5).Pos, 3) << "the b after the tab";
    EXPECT_EQ(At(15 + 30 * CW, 5).Pos, 4) << "after the end of the line";
    R.Ed.SetScrollPastEnd(true);
    EXPECT_EQ(At(15 + 30 * CW, 5).Pos, 25) << "virtual space: column 31 of a 9-column line";
    // In the strip right of the last visible column's middle: that column, not beyond.
    EXPECT_EQ(At(15 + 40 * CW - CW / 2, 15).Pos, 40);
    EXPECT_EQ(At(15 + 40 * CW + 2, 15).Pos, 40);
    R.Ed.WMHScroll(SB_THUMBPOSITION, 5);
    EXPECT_EQ(At(15 + 40 * CW + 2, 15).Pos, 45);
    EXPECT_EQ(At(0, 15).Pos, 5) << "left of the text: a column before the first visible one";
}

TEST(InputPointer, TheMarginHasItsOwnCursor) {
    TInputRig R;
    R.Window.Pointer = {15, 5};
    EXPECT_TRUE(R.Ed.SetCursorMessage(true));
    EXPECT_EQ(R.Window.Cursor, TKroCursor::crMargin);
    R.Window.Pointer = {16, 5};
    EXPECT_FALSE(R.Ed.SetCursorMessage(true));
    R.Window.Pointer = {5, 5};
    EXPECT_FALSE(R.Ed.SetCursorMessage(false)) << "not over the client area";
}

// ---------------------------------------------------------------------------------------------

TEST(InputMouse, AClickInAnEmptyDocumentOnlyTakesTheFocus) {
    TInputRig R;
    R.Load("|");
    R.Window.HasFocus = false;
    R.Window.OnSetFocus = [&] { R.Window.HasFocus = true; };
    R.Click(Cell(1, 1));
    EXPECT_TRUE(R.Window.HasFocus);
    EXPECT_EQ(R.Window.ProcessMessagesCount, 0) << "no drag loop";
    EXPECT_FALSE(R.Window.Captured);
}

TEST(InputMouse, ClickPlacesTheCaretShiftClickExtendsFromTheAnchor) {
    TInputRig R;
    R.Load("abcdef\nghijkl\nmnopqr");
    R.Click(Cell(2, 3));
    EXPECT_EQ(R.Text(), "abcdef\ngh|ijkl\nmnopqr");
    EXPECT_FALSE(R.Window.Captured) << "the button-up released the capture";
    R.Window.Shift = ssShift;
    R.Click(Cell(3, 5));
    EXPECT_EQ(R.Text(), "abcdef\ngh{ijkl\nmnop|}qr");
    R.Click(Cell(1, 2));
    EXPECT_EQ(R.Text(), "a{|bcdef\ngh}ijkl\nmnopqr") << "the anchor stays where it was";
    R.Window.Shift = 0;
    // A drag extends from where the button went down, without Shift.
    R.Drag(Cell(1, 3), {Cell(1, 4), Cell(2, 2)});
    EXPECT_EQ(R.Text(), "ab{cdef\ng|}hijkl\nmnopqr");
}

TEST(InputMouse, MarginClicksAndDragsSelectWholeLines) {
    TInputRig R;
    R.Load("l1\nl2\nl3\nl4\nl5\nl6");
    const TKroPoint Row3{5, 25};
    R.Click(Row3);
    EXPECT_EQ(R.Text(), "l1\nl2\n{l3\n|}l4\nl5\nl6");
    R.Drag(Row3, {{5, 35}, {5, 45}});
    EXPECT_EQ(R.Text(), "l1\nl2\n{l3\nl4\nl5\n|}l6") << "downward: whole lines";
    R.Drag(Row3, {{5, 15}, {5, 5}});
    EXPECT_EQ(R.Text(), "{|l1\nl2\n}l3\nl4\nl5\nl6") << "upward from the first line";
    R.Click({5, 55});
    EXPECT_EQ(R.Text(), "l1\nl2\nl3\nl4\nl5\n{l6|}") << "the last line ends at its end";
    // Shift+margin click keeps the end of the selection farther from the click.
    R.Load("l1\nl2\n{l3\n|}l4\nl5\nl6");
    R.Window.Shift = ssShift;
    R.Click({5, 45});
    EXPECT_EQ(R.Text(), "l1\nl2\n{l3\nl4\nl5\n|}l6");
}

TEST(InputMouse, DraggingAboveTheWindowScrollsALineAPassUntilLineOne) {
    TInputRig R(40, 10);
    R.Load(Numbered(60));
    R.Ed.MakeTopLine(20);
    std::vector<std::int32_t> Tops;
    R.Window.Pointer = Cell(1, 1);
    R.Window.ButtonDown = true;
    int Passes = 0;
    R.Window.OnProcessMessages = [&] {
        R.Window.Pointer = {17, -3};
        Tops.push_back(R.Ed.TopLine());
        if (++Passes == 40) R.Window.ButtonDown = false;
    };
    R.Ed.SetCursorMessage(true);
    R.Ed.LButtonDown(Cell(1, 1).X, Cell(1, 1).Y, 0);
    ASSERT_GE(Tops.size(), 5u);
    EXPECT_EQ(Tops[1], 19);
    EXPECT_EQ(Tops[2], 18);
    EXPECT_EQ(Tops[3], 17);
    EXPECT_EQ(R.Ed.TopLine(), 1);
    int32_t SL, SP, EL, EP;
    ASSERT_TRUE(R.Ed.GetSelection(SL, SP, EL, EP));
    EXPECT_EQ((std::vector<int32_t>{SL, SP, EL, EP}), (std::vector<int32_t>{1, 1, 20, 1}));
}

TEST(InputMouse, DoubleClicksSelectAWordWithItsBlanksOrAParagraph) {
    TInputRig R;
    R.Load("foo  bar\nnext");
    R.DoubleClick(Cell(1, 3));
    EXPECT_EQ(R.Text(), "{foo  |}bar\nnext") << "on the last letter of foo";
    R.DoubleClick(Cell(1, 5));
    EXPECT_EQ(R.Text(), "{foo  |}bar\nnext") << "on a blank: the word before it";
    R.DoubleClick(Cell(1, 8));
    EXPECT_EQ(R.Text(), "foo  {bar|}\nnext");
    R.Window.Shift = ssShift;
    R.Window.Pointer = Cell(1, 1);
    R.Ed.SetCursorMessage(true);
    R.Ed.LButtonDblClk(Cell(1, 1).X, Cell(1, 1).Y, ssShift);
    EXPECT_EQ(R.Text(), "{|foo  bar}\nnext") << "Shift: from the word to the far end";
    R.Window.Shift = 0;
    R.DoubleClick(Cell(2, 2));
    EXPECT_EQ(R.Text(), "foo  bar\n{next|}");
    R.DoubleClick({5, 5});
    EXPECT_EQ(R.Text(), "{foo  bar|}\nnext") << "in the margin: the paragraph";
    R.Load("\n|");
    R.DoubleClick(Cell(1, 1));
    EXPECT_EQ(R.Text(), "|\n") << "an empty line selects nothing";
}

TEST(InputMouse, AClickIsAPressAndAReleaseInsideTheWindow) {
    TInputRig R;
    R.Load("abc");
    std::vector<std::string> Events;
    R.Ed.OnClick = [&](TKroCustomEditor&) { Events.push_back("click"); };
    R.Ed.OnMouseUp = [&](TKroCustomEditor&, TKroMouseButton, TKroShiftState, int, int) {
        Events.push_back("up");
    };
    R.Click(Cell(1, 2));
    EXPECT_EQ(Events, (std::vector<std::string>{"click", "up"}));
    // Released outside the window: no click.
    Events.clear();
    R.Drag(Cell(1, 2), {{30, -20}});
    EXPECT_EQ(Events, (std::vector<std::string>{"up"}));
    // The release that ends a double click is no click of its own.
    Events.clear();
    R.DoubleClick(Cell(1, 2));
    R.Ed.LButtonUp(Cell(1, 2).X, Cell(1, 2).Y, 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"click", "up", "up"}));
    // An empty document takes the focus only, but the press and release are still a click.
    R.Load("|");
    Events.clear();
    R.Click(Cell(1, 1));
    EXPECT_EQ(Events, (std::vector<std::string>{"click", "up"}));
}

// ---------------------------------------------------------------------------------------------

TEST(InputFocus, TheInsertModeGoesFromOneControlToTheNext) {
    TInputRig R;
    TKroHeadlessWindow OtherWindow;
    OtherWindow.Surface.Metrics = TKroTextMetrics{10, 9, 0};
    TTestEditor Other(nullptr, &OtherWindow);
    Other.SetController(&R.Controller);
    Other.CreateWnd();

    R.Window.HasFocus = true;
    R.Ed.FocusGained();
    EXPECT_TRUE(R.Window.Caret.Exists);
    EXPECT_EQ(R.Window.Caret.Width, 2);
    R.Ed.KeyDown(vkInsert, 0);
    ASSERT_FALSE(R.Ed.InsertMode());
    EXPECT_EQ(R.Window.Caret.Width, 10) << "overwrite: a block as wide as a cell";
    R.Window.HasFocus = false;
    R.Ed.FocusLost();
    EXPECT_FALSE(R.Window.Caret.Exists);

    ASSERT_TRUE(Other.InsertMode());
    OtherWindow.HasFocus = true;
    Other.FocusGained();
    EXPECT_FALSE(Other.InsertMode());
    EXPECT_EQ(OtherWindow.Caret.Width, 10);
    EXPECT_TRUE(OtherWindow.Caret.Visible);
}

TEST(InputFocus, WithHideSelectionTheFocusRepaints) {
    TInputRig R;
    R.Ed.PaintDone();
    R.ClearLog();
    R.Ed.FocusGained();
    EXPECT_EQ(R.Window.InvalidateAllCount, 1);
    R.Ed.PaintDone();
    R.Ed.SetHideSelection(false);
    R.Ed.PaintDone();
    R.ClearLog();
    R.Ed.FocusLost();
    EXPECT_EQ(R.Window.InvalidateAllCount, 0);
}

TEST(InputWheel, ThreeLinesANotchAndColumnsWithinTheRange) {
    TInputRig R(40, 10);
    R.Load(Numbered(60));
    R.Ed.MouseWheel(-2, false);
    EXPECT_EQ(R.Ed.TopLine(), 7);
    R.Ed.MouseWheel(1, false);
    EXPECT_EQ(R.Ed.TopLine(), 4);
    R.Ed.MouseWheel(100, false);
    EXPECT_EQ(R.Ed.TopLine(), 1);
    R.Ed.MouseWheel(-1, true);
    EXPECT_EQ(R.Ed.LeftCol(), 3);
    R.Ed.MouseWheel(-1000, true);
    EXPECT_EQ(R.Ed.LeftCol(), 512) << "no further than the horizontal range";
    R.Ed.MouseWheel(1000, true);
    EXPECT_EQ(R.Ed.LeftCol(), 0);
}

} // namespace
