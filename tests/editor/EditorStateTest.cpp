// The editor control's properties and their setting rules, reports, the shared document ring,
// clearing, and the checks of its public accessors.
#include "EditorRig.h"
#include "KroExceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

bool Stored(const TKroCustomEditor& Ed, const std::string& Name, const std::string& Value) {
    const auto Props = Ed.WriteFormProperties();
    return std::find(Props.begin(), Props.end(), std::make_pair(Name, Value)) != Props.end();
}

} // namespace

TEST(EditorProperties, NewControlIsEmptyWithItsInitialValues) {
    TEditorRig R;
    EXPECT_EQ(R.Text(), "|");
    EXPECT_EQ(R.Ed.LineCount(), 1);
    EXPECT_FALSE(R.Ed.HasSelection());
    EXPECT_TRUE(R.Ed.InsertMode());
    EXPECT_EQ(R.Ed.RightMargin(), 5);
    EXPECT_EQ(R.Ed.LeftMargin(), 15);
    // 5 differs from the declared default 15, so form data keeps it; nothing else is stored.
    EXPECT_EQ(R.Ed.WriteFormProperties(),
              (std::vector<std::pair<std::string, std::string>>{{"RightMargin", "5"}}));
    EXPECT_EQ(R.Ed.VisibleColumns(), 40);
    EXPECT_EQ(R.Ed.VisibleRowCount(), 20);
}

TEST(EditorProperties, ScrollBarSettingsRecreateTheWindowAndNoneClearsAlways) {
    TEditorRig R;
    R.Ed.SetScrollBarsAlways(true);
    EXPECT_TRUE(R.Ed.ScrollBarsAlways());
    // A short text keeps its bars visible with a range of 1 .. 2.
    EXPECT_EQ(R.Window.VertBar.Max, 2);
    R.Ed.SetScrollBars(ssNone);
    EXPECT_FALSE(R.Ed.ScrollBarsAlways());
    EXPECT_FALSE(R.Window.StyleHScroll);
    EXPECT_FALSE(R.Window.StyleVScroll);
    R.Ed.SetScrollBarsAlways(true);
    EXPECT_FALSE(R.Ed.ScrollBarsAlways());
    R.Ed.SetScrollBars(ssVertical);
    EXPECT_TRUE(R.Window.StyleVScroll);
    EXPECT_FALSE(R.Window.StyleHScroll);
}

TEST(EditorProperties, HorizontalRangeFollowsTheLongestPossibleLine) {
    TEditorRig R;
    EXPECT_EQ(R.Window.HorzBar.Max, 512) << "capped, although a paragraph may hold 32767";
    R.Ed.SetParaLengthLimit(100);
    EXPECT_EQ(R.Ed.ParaList().ParaLengthLimit(), 100);
    EXPECT_EQ(R.Window.HorzBar.Max, 100);
    R.Ed.SetWordWrap(true);
    EXPECT_EQ(R.Window.HorzBar.Max, 80);
    R.Ed.SetWrapColumn(30);
    EXPECT_FALSE(R.Window.HorzBar.Visible()) << "40 visible columns hold a 30-column line";
}

TEST(EditorProperties, WordWrapAndScrollPastEndExcludeEachOther) {
    TEditorRig R;
    R.Ed.SetWrapAtLeft(false);
    R.Ed.SetScrollPastEnd(true);
    R.Ed.SetWordWrap(true);
    EXPECT_FALSE(R.Ed.ScrollPastEnd());
    EXPECT_TRUE(R.Ed.WrapAtLeft());
    R.Ed.SetWrapAtLeft(false);
    EXPECT_TRUE(R.Ed.WrapAtLeft()) << "forced on while wrapping";
    R.Ed.SetScrollPastEnd(true);
    EXPECT_FALSE(R.Ed.WordWrap());
    R.Ed.SetWrapAtLeft(false);
    EXPECT_FALSE(R.Ed.WrapAtLeft());
}

TEST(EditorProperties, OutOfRangeValuesAreIgnored) {
    TEditorRig R;
    R.Ed.SetTabSize(0);
    R.Ed.SetWrapColumn(0);
    R.Ed.SetWrapColumn(-3);
    R.Ed.SetParaLimit(0);
    R.Ed.SetParaLengthLimit(-1);
    R.Ed.SetByteLimit(-1);
    R.Ed.SetLeftMargin(-1);
    R.Ed.SetRightMargin(-7);
    EXPECT_EQ(R.Ed.TabSize(), 8);
    EXPECT_EQ(R.Ed.WrapColumn(), 80);
    EXPECT_EQ(R.Ed.ParaLimit(), MaxLongint);
    EXPECT_EQ(R.Ed.ParaLengthLimit(), 32767);
    EXPECT_EQ(R.Ed.ByteLimit(), MaxLongint);
    EXPECT_EQ(R.Ed.LeftMargin(), 15);
    EXPECT_EQ(R.Ed.RightMargin(), 5);
    R.Ed.SetByteLimit(0);
    EXPECT_EQ(R.Ed.ByteLimit(), 0) << "zero is a limit, only negatives are ignored";
}

TEST(EditorProperties, UndoBufferSizeReplacesTheHistory) {
    TEditorRig R;
    R.Load("abc|");
    ASSERT_EQ(R.Ed.ParaList().InsertText(&R.Ed, 1, 1, "x", 4), 0);
    EXPECT_EQ(R.Ed.ParaList().UndoCount(), 1);
    R.Ed.SetUndoBufferSize(1000);
    EXPECT_EQ(R.Ed.UndoBufferSize(), 1000);
    EXPECT_EQ(R.Ed.ParaList().UndoCount(), 0);
}

TEST(EditorProperties, WrapToWindowFollowsTheVisibleColumns) {
    TEditorRig R(60);
    R.Load("|" + std::string(100, 'x'));
    R.Ed.SetWrapToWindow(true);
    EXPECT_EQ(R.Ed.WrapColumn(), 80) << "only while wrapping";
    R.Ed.SetWordWrap(true);
    EXPECT_EQ(R.Ed.WrapColumn(), 58);
    EXPECT_EQ(R.Ed.LineCount(), 2);
    // A narrower text area (wider margin) re-applies the rule.
    R.Ed.SetLeftMargin(115);
    EXPECT_EQ(R.Ed.VisibleColumns(), 50);
    EXPECT_EQ(R.Ed.WrapColumn(), 48);
    R.Ed.CheckInvariant();
}

TEST(EditorProperties, TinyWindowStillHasOneColumnAndOneRow) {
    TEditorRig R(1, 1);
    R.Window.Width = 5;
    R.Window.Height = 4;
    R.Ed.FullRefresh(false);
    EXPECT_EQ(R.Ed.VisibleColumns(), 1);
    EXPECT_EQ(R.Ed.VisibleRowCount(), 1);
}

TEST(EditorProperties, FormDataAcceptsTheLegacyMarginAndNamedValues) {
    TEditorRig R;
    EXPECT_TRUE(R.Ed.ReadFormProperty("Margin", "7"));
    EXPECT_EQ(R.Ed.LeftMargin(), 7);
    EXPECT_EQ(R.Ed.RightMargin(), 7);
    EXPECT_TRUE(R.Ed.ReadFormProperty("WantTab", "True"));
    EXPECT_TRUE(R.Ed.ReadFormProperty("BorderStyle", "bsNone"));
    EXPECT_TRUE(R.Ed.ReadFormProperty("CaretOvr.Shape", "csHalfBlock"));
    EXPECT_TRUE(R.Ed.ReadFormProperty("FixedFont.Name", "'Fixedsys'"));
    EXPECT_TRUE(R.Ed.WantTab());
    EXPECT_FALSE(R.Window.StyleBorder);
    EXPECT_EQ(R.Ed.CaretOvr()->Shape(), csHalfBlock);
    EXPECT_EQ(R.Ed.FixedFont().Name(), "Fixedsys");
    EXPECT_FALSE(R.Ed.ReadFormProperty("Margin", "wide"));
    EXPECT_FALSE(R.Ed.ReadFormProperty("NoSuchProperty", "1"));
    EXPECT_TRUE(Stored(R.Ed, "WantTab", "True"));
    EXPECT_TRUE(Stored(R.Ed, "LeftMargin", "7"));
}

TEST(EditorReports, StatusIsDeferredAndMadeOncePerCaretPlacement) {
    TEditorRig R;
    R.Load("a\tb|c\nxyz");
    // One command moving the caret twice.
    R.Ed.CaretLeft(false);
    R.Ed.MoveCaretBy(0, 1, false, false);
    EXPECT_TRUE(R.Status.empty()) << "nothing before the command has finished";
    EXPECT_EQ(R.Deliver(), 2);
    // After the tab the column is the one past the tab stop.
    EXPECT_EQ(R.Status, (std::vector<std::pair<int32_t, int32_t>>{{1, 9}, {2, 4}}));
}

TEST(EditorReports, InsertModeChangeReportsTheStatus) {
    TEditorRig R;
    R.Load("ab|c");
    R.Ed.SetInsertMode(false);
    R.Deliver();
    EXPECT_EQ(R.Status, (std::vector<std::pair<int32_t, int32_t>>{{1, 3}}));
    EXPECT_FALSE(R.Ed.CaretIns() == nullptr);
}

TEST(EditorReports, ErrorsGoToTheHandlerOrBecomeExceptions) {
    TEditorRig R;
    R.Ed.DoOnError(0); // nothing to report
    try {
        R.Ed.DoOnError(erParaTooLong);
        ADD_FAILURE() << "no exception";
    } catch (const EEditorError& E) {
        EXPECT_EQ(E.Code(), 268);
        EXPECT_STREQ(E.what(), "Current operation will exceed the maximum paragraph size");
    }
    try {
        R.Ed.DoOnError(269);
        ADD_FAILURE() << "no exception";
    } catch (const EEditorError& E) {
        EXPECT_STREQ(E.what(), "Unknown Error condition");
    }
    std::vector<uint16_t> Seen;
    R.Ed.OnError = [&](TKroCustomEditor&, uint16_t& Code) {
        Seen.push_back(Code);
        Code = 0;
    };
    EXPECT_NO_THROW(R.Ed.DoOnError(erTooManyParas));
    EXPECT_EQ(Seen, std::vector<uint16_t>{265});
}

TEST(EditorAccess, PublicEntriesCheckTheirArguments) {
    TEditorRig R;
    R.Load("one\ntwo");
    int32_t Len = 0;
    std::string S;
    EXPECT_THROW(R.Ed.GetPara(0, Len), EInvalidLineOrPara);
    EXPECT_THROW(R.Ed.GetPara(3, Len), EInvalidLineOrPara);
    EXPECT_THROW(R.Ed.GetLineText(3, S, 10), EInvalidLineOrPara);
    EXPECT_THROW(R.Ed.GetPrintableLine(0, S, 10), EInvalidLineOrPara);
    EXPECT_THROW(R.Ed.LineLength(3), EInvalidLineOrPara);
    EXPECT_THROW(R.Ed.SetCaretPosition(3, 1), EInvalidLineOrPara);
    EXPECT_THROW(R.Ed.SetCaretPosition(1, 0), EInvalidLineOrPara);
    EXPECT_THROW(R.Ed.MakeTopLine(0), EInvalidLineOrPara);
    EXPECT_THROW(R.Ed.SetMarkerAt(1, 3, 1), EInvalidLineOrCol);
    EXPECT_THROW(R.Ed.SetMarkerAt(1, 1, 0), EInvalidLineOrCol);
    EXPECT_NO_THROW(R.Ed.SetMarkerAt(10, 99, 0)) << "numbers above 9 are ignored first";
    EXPECT_EQ(R.Text(), "|one\ntwo");
}

TEST(EditorAccess, WithoutAWindowPositionsMoveButNothingIsReported) {
    TKroHeadlessPlatform Platform;
    TKroPlatformScope Scope(Platform);
    TTestEditor Ed;
    Ed.ParaList().AppendPara("abc", 3, false);
    Ed.MoveCaretTo(2, 1, false);
    Ed.ScrollBy(0, 5);
    EXPECT_EQ(Ed.CaretLine(), 2);
    EXPECT_EQ(Ed.TopLine(), 2) << "no further than the last line";
    EXPECT_EQ(Ed.VisibleRowCount(), 0);
    Ed.CheckInvariant();
    EXPECT_TRUE(Ed.DialogChar('\b', ssAltKey));
    EXPECT_FALSE(Ed.DialogChar('\b', 0));
    EXPECT_FALSE(Ed.DialogChar('x', ssAltKey));
}

TEST(EditorAccess, LineTextKeepsTabsAndPrintableLineExpandsThem) {
    TEditorRig R;
    R.Ed.SetTabSize(4);
    R.Load("a\tbc\td");
    std::string S = "old";
    R.Ed.GetLineText(1, S, 3);
    EXPECT_EQ(S, "a\tb");
    EXPECT_EQ(R.Ed.GetPrintableLine(1, S, 100), 9);
    EXPECT_EQ(S, "a   bc  d");
    EXPECT_EQ(R.Ed.GetPrintableLine(1, S, 6), 6) << "cut after expanding";
    EXPECT_EQ(S, "a   bc");
}

TEST(EditorAccess, ClearTextKeepsLimitsAndSettingsAndDropsTheRest) {
    TEditorRig R;
    R.Ed.SetByteLimit(5000);
    R.Ed.SetParaLimit(40);
    R.Ed.SetParaLengthLimit(300);
    R.Ed.SetWrapColumn(30);
    R.Ed.SetWordWrap(true);
    R.Ed.SetTabSize(3);
    R.Ed.SetUndoBufferSize(2048);
    R.Load("hello\nworld|");
    R.Ed.SetMarker(2);
    ASSERT_EQ(R.Ed.ParaList().InsertText(&R.Ed, 2, 1, "!", 6), 0);
    R.Ed.ClearText(true);
    EXPECT_EQ(R.Text(), "|");
    EXPECT_EQ(R.Ed.ByteLimit(), 5000);
    EXPECT_EQ(R.Ed.ParaLimit(), 40);
    EXPECT_EQ(R.Ed.ParaLengthLimit(), 300);
    EXPECT_EQ(R.Ed.ParaList().ParaLengthLimit(), 300);
    EXPECT_TRUE(R.Ed.WordWrap());
    EXPECT_EQ(R.Ed.WrapColumn(), 30);
    EXPECT_EQ(R.Ed.TabSize(), 3);
    EXPECT_EQ(R.Ed.UndoBufferSize(), 2048);
    EXPECT_EQ(R.Ed.ParaList().UndoCount(), 0);
    EXPECT_EQ(R.Ed.ParaList().Marker(2), (TParaPos{0, 0}));
    EXPECT_EQ(R.Ed.TopLine(), 1);
}

// Two controls showing one document, as the ring keeps them. (Loading clears the text, which
// gives a control a document of its own, so A loads before B attaches.)
struct TSharedPair {
    TEditorRig A;
    TEditorRig B;
    explicit TSharedPair(const std::string& Text) {
        A.Load(Text);
        B.Ed.Attach(&A.Ed);
    }
};

TEST(EditorRing, EditsInOneControlKeepTheOtherOnItsText) {
    TSharedPair P("first\nsecond\nthird|");
    P.B.Ed.SetSelectionByPara(2, 2, 3, 3, true); // "econd" .. "th"
    EXPECT_EQ(P.B.Text(), "first\ns{econd\nth|}ird");
    TParaList& L = P.A.Ed.ParaList();
    // Typing at the start of paragraph 2 and in front of B's caret.
    ASSERT_EQ(L.InsertText(&P.A.Ed, 2, 2, "XY", 1), 0);
    ASSERT_EQ(L.InsertText(&P.A.Ed, 3, 1, "Z", 1), 0);
    EXPECT_EQ(P.B.Text(), "first\nXYs{econd\nZth|}ird");
    // A line break before both ends moves them down a paragraph.
    int32_t Indent = 0;
    ASSERT_EQ(L.SplitPara(&P.A.Ed, 1, 3, 0, Indent, true), 0);
    EXPECT_EQ(P.B.Text(), "fi\nrst\nXYs{econd\nZth|}ird");
    // Deleting the paragraph that holds both... only the start: the selection keeps its end.
    L.DeletePara(&P.A.Ed, 3);
    EXPECT_EQ(P.B.Text(), "fi\nrst\n{Zth|}ird");
    // Joining paragraph 2 and 3 carries the caret into paragraph 2.
    ASSERT_EQ(L.JoinParas(&P.A.Ed, 2, 4), 0);
    EXPECT_EQ(P.B.Text(), "fi\nrst{Zth|}ird");
}

TEST(EditorRing, TheOtherControlsTopLineStaysOnTheSameText) {
    std::string Doc;
    for (int I = 1; I <= 60; ++I)
        Doc += "line " + std::to_string(I) + "\n";
    TSharedPair P(Doc + "|end");
    P.B.Ed.MakeTopLine(30);
    std::vector<int32_t> Tops;
    P.B.Ed.OnTopLineChanged = [&](TKroCustomEditor&, int32_t Line) { Tops.push_back(Line); };
    int32_t Indent = 0;
    ASSERT_EQ(P.A.Ed.ParaList().SplitPara(&P.A.Ed, 5, 1, 0, Indent, true), 0);
    EXPECT_EQ(P.B.Ed.TopLine(), 31);
    std::string S;
    P.B.Ed.GetLineText(P.B.Ed.TopLine(), S, 100);
    EXPECT_EQ(S, "line 30");
    EXPECT_EQ(Tops, std::vector<int32_t>{31});
    // A line break that A makes exactly at its own top shows the new line in A's top row,
    // while B keeps showing the text it showed.
    P.A.Ed.MakeTopLine(31);
    ASSERT_EQ(P.A.Ed.ParaList().SplitPara(&P.A.Ed, 31, 1, 0, Indent, true), 0);
    EXPECT_EQ(P.A.Ed.TopLine(), 31);
    EXPECT_EQ(P.A.Ed.LineLength(31), 0);
    EXPECT_EQ(P.B.Ed.TopLine(), 32);
    P.B.Ed.GetLineText(P.B.Ed.TopLine(), S, 100);
    EXPECT_EQ(S, "line 30");
    P.A.Ed.MoveCaretToPara(P.A.Ed.ParaList().ParaCount(), 1, false);
    P.A.Ed.CheckInvariant();
    P.B.Ed.CheckInvariant();
}

TEST(EditorRing, DestroyingTheOwnerHandsTheDocumentOn) {
    TEditorRig B;
    auto A = std::make_unique<TEditorRig>();
    A->Load("kept|");
    B.Ed.Attach(&A->Ed);
    TParaList* Doc = &A->Ed.ParaList();
    EXPECT_EQ(Doc->Owner(), static_cast<IParaListClient*>(&A->Ed));
    A.reset();
    EXPECT_EQ(&B.Ed.ParaList(), Doc);
    EXPECT_EQ(Doc->Owner(), static_cast<IParaListClient*>(&B.Ed));
    EXPECT_EQ(B.Ed.NextEditor(), &B.Ed);
    EXPECT_EQ(B.Text(), "|kept");
}

TEST(EditorRing, AttachingASharingControlLeavesItsOldRingFirst) {
    TEditorRig A, B, C, D;
    A.Load("a");
    D.Load("d");
    B.Ed.Attach(&A.Ed);
    C.Ed.Attach(&A.Ed);
    // The ring runs A -> B -> C: each new control joins just before the owner.
    EXPECT_EQ(A.Ed.NextEditor(), &B.Ed);
    EXPECT_EQ(B.Ed.NextEditor(), &C.Ed);
    C.Ed.Attach(&D.Ed);
    EXPECT_EQ(A.Ed.NextEditor(), &B.Ed);
    EXPECT_EQ(B.Ed.NextEditor(), &A.Ed);
    EXPECT_EQ(D.Ed.NextEditor(), &C.Ed);
    EXPECT_EQ(C.Text(), "|d");
    EXPECT_EQ(B.Text(), "|a");
    A.Ed.CheckInvariant();
    D.Ed.CheckInvariant();
}

TEST(EditorRing, ModifiedIsStoredInTheDocumentAndRepaintsEveryControl) {
    TSharedPair P("x");
    ASSERT_EQ(P.A.Ed.ParaList().InsertText(&P.A.Ed, 1, 1, "y", 1), 0);
    EXPECT_TRUE(P.B.Ed.Modified());
    P.B.Ed.PaintDone();
    P.B.Window.ClearLog();
    P.A.Ed.SetModified(false);
    EXPECT_FALSE(P.B.Ed.Modified());
    EXPECT_EQ(P.B.Window.InvalidateAllCount, 1);
}
