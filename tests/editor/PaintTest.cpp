// Painting decisions of the editor control, read from the drawing calls it makes: which pieces of
// a row are normal and which highlighted, the margin glyphs, the owner-draw hook, the clip box,
// the partial row, and the scroll-bar messages.
#include "EditorRig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Rows of the rig are 10 pixels high, characters 10 wide, text from x = 15.
constexpr int LH = 10;

struct TPaintRig : TEditorRig {
    using TEditorRig::TEditorRig;

    TColor HiBack() { return Platform.ColorToRGB(clHighlight); }
    TColor HiText() { return Platform.ColorToRGB(clHighlightText); }

    void PaintAll() { PaintClip({0, 0, Window.Width, Window.Height}); }
    void PaintClip(const TKroRect& Clip) {
        Window.Surface.ClearLog();
        Ed.Paint(Window.Surface, Clip);
    }

    // The text area's drawing for one row, as "[normal]{highlighted}" pieces, "_" for a fill.
    std::string Row(int RowNo) {
        std::string Out;
        for (const TKroDrawCall& D : Window.Surface.Draws) {
            if (D.Rect.Top != (RowNo - 1) * LH || D.Rect.Left < Ed.LeftMargin() ||
                D.Rect.Right > Ed.LeftMargin() + Ed.VisibleColumns() * 10)
                continue;
            if (D.Kind == TKroDrawCall::dkFillRect) {
                Out += "_";
            } else if (D.Kind == TKroDrawCall::dkTextRect) {
                const bool High = D.BackColor == HiBack();
                Out += (High ? "{" : "[") + D.Text + (High ? "}" : "]");
            }
        }
        return Out;
    }

    std::vector<TKroDrawCall> Calls(TKroDrawCall::TKind Kind) {
        std::vector<TKroDrawCall> Out;
        for (const TKroDrawCall& D : Window.Surface.Draws)
            if (D.Kind == Kind) Out.push_back(D);
        return Out;
    }

    void GiveGlyphs() {
        Platform.Bitmaps["MARKERS"] = KroHeadlessGlyphStrip(12, 12);
        Ed.SetShowBookmarks(false);
        Ed.SetShowBookmarks(true);
    }
};

// ---------------------------------------------------------------------------------------------

TEST(PaintSelection, FromTheMiddleOfLineThreeToTheMiddleOfLineFive) {
    TPaintRig R;
    R.Window.HasFocus = true;
    R.Load("line one\nline two\nabc{defghij\nklmnopqrst\nuvwxy}z1234");
    R.PaintAll();
    EXPECT_EQ(R.Row(1), "[line one]");
    EXPECT_EQ(R.Row(2), "[line two]");
    EXPECT_EQ(R.Row(3), "[abc]{defghij}[]") << "the blank after the line is not highlighted";
    EXPECT_EQ(R.Row(4), "{klmnopqrst}[]");
    EXPECT_EQ(R.Row(5), "{uvwxy}[z1234]");
    EXPECT_EQ(R.Row(6), "_") << "below the document";

    // The pieces sit side by side in character cells; the last one reaches the right edge.
    std::vector<TKroRect> Rects;
    for (const TKroDrawCall& D : R.Calls(TKroDrawCall::dkTextRect))
        if (D.Rect.Top == 2 * LH) {
            Rects.push_back(D.Rect);
            EXPECT_EQ(D.At, (TKroPoint{D.Rect.Left, 2 * LH + 1})) << "text one pixel below";
        }
    ASSERT_EQ(Rects.size(), 3u);
    EXPECT_EQ(Rects[0], (TKroRect{15, 20, 45, 30}));
    EXPECT_EQ(Rects[1], (TKroRect{45, 20, 115, 30}));
    EXPECT_EQ(Rects[2], (TKroRect{115, 20, 415, 30}));
    for (const TKroDrawCall& D : R.Calls(TKroDrawCall::dkTextRect)) {
        if (D.BackColor == R.HiBack()) {
            EXPECT_EQ(D.TextColor, R.HiText());
        }
    }
}

TEST(PaintSelection, AnEmptyLineInsideASelectionShowsNoHighlight) {
    TPaintRig R;
    R.Window.HasFocus = true;
    R.Load("ab{c\n\nde}f");
    R.PaintAll();
    EXPECT_EQ(R.Row(1), "[ab]{c}[]");
    EXPECT_EQ(R.Row(2), "_");
    EXPECT_EQ(R.Row(3), "{de}[f]");
}

TEST(PaintSelection, HighlightColumnsCountTabsAndOneLineSelections) {
    TPaintRig R;
    R.Window.HasFocus = true;
    R.Load("a\tb{c}d");
    R.PaintAll();
    EXPECT_EQ(R.Row(1), "[a       b]{c}[d]");
    // Scrolled so that the selection starts left of the window: it is cut at the left edge.
    R.Load("0123{45678}9");
    R.Ed.WMHScroll(SB_THUMBPOSITION, 6);
    R.PaintAll();
    EXPECT_EQ(R.Row(1), "{678}[9]");
}

TEST(PaintSelection, HideSelectionFollowsTheFocus) {
    TPaintRig R;
    R.Load("a{bc}d");
    R.Window.HasFocus = false;
    R.PaintAll();
    EXPECT_EQ(R.Row(1), "[abcd]");
    R.Window.HasFocus = true;
    R.PaintAll();
    EXPECT_EQ(R.Row(1), "[a]{bc}[d]");
    R.Ed.SetHideSelection(false);
    R.Window.HasFocus = false;
    R.PaintAll();
    EXPECT_EQ(R.Row(1), "[a]{bc}[d]");
}

TEST(PaintSelection, ADisabledControlPaintsGreyTextAndNoHighlight) {
    TPaintRig R;
    R.Window.HasFocus = true;
    R.Load("a{bc}d");
    R.Ed.SetEnabled(false);
    R.PaintAll();
    EXPECT_EQ(R.Row(1), "[abcd]");
    const auto Text = R.Calls(TKroDrawCall::dkTextRect);
    ASSERT_FALSE(Text.empty());
    EXPECT_EQ(Text[0].TextColor, R.Window.Surface.GrayText);
    R.Ed.SetEnabled(true);
    R.PaintAll();
    EXPECT_EQ(R.Calls(TKroDrawCall::dkTextRect)[0].TextColor, R.Ed.FixedFont().Color());
}

// ---------------------------------------------------------------------------------------------

TEST(PaintRows, ALineScrolledPastItsEndIsAnEmptyRow) {
    TPaintRig R;
    R.Load("short\nabcdefghijklmnopqrstuvwxyz0123\nab\tc");
    R.Ed.WMHScroll(SB_THUMBPOSITION, 5);
    R.PaintAll();
    EXPECT_EQ(R.Row(1), "_") << "exactly at its end";
    EXPECT_EQ(R.Row(2), "[fghijklmnopqrstuvwxyz0123]");
    EXPECT_EQ(R.Row(3), "[   c]") << "tabs are expanded before the columns are cut";
    R.Ed.WMHScroll(SB_THUMBPOSITION, 30);
    R.PaintAll();
    EXPECT_EQ(R.Row(2), "_");
}

TEST(PaintRows, OnlyRowsMeetingTheClipBoxArePainted) {
    TPaintRig R;
    R.Load("1\n2\n3\n4\n5\n6");
    R.PaintClip({0, 25, 420, 41});
    std::vector<int> Tops;
    for (const TKroDrawCall& D : R.Window.Surface.Draws)
        if (D.Rect.Left >= 15 && D.Rect.Right <= 415) Tops.push_back(D.Rect.Top);
    EXPECT_EQ(Tops, (std::vector<int>{20, 30, 40}));
    // The margins are filled over the clip box's height only.
    const auto Fills = R.Calls(TKroDrawCall::dkFillRect);
    ASSERT_GE(Fills.size(), 2u);
    EXPECT_EQ(Fills[0].Rect, (TKroRect{0, 25, 15, 41}));
    EXPECT_EQ(Fills[1].Rect, (TKroRect{415, 25, 420, 41}));
}

TEST(PaintRows, ThePartialRowUnderTheLastWholeRowIsFilled) {
    TPaintRig R(40, 20);
    R.Window.Height = 205;
    R.Ed.FullRefresh(false);
    R.Load("text");
    R.PaintAll();
    const auto Fills = R.Calls(TKroDrawCall::dkFillRect);
    ASSERT_FALSE(Fills.empty());
    EXPECT_EQ(Fills.back().Rect, (TKroRect{15, 200, 415, 205}));

    // A window lower than one row: one partial row, no text in it.
    R.Window.Height = 6;
    R.Ed.FullRefresh(false);
    R.PaintAll();
    EXPECT_TRUE(R.Calls(TKroDrawCall::dkTextRect).empty());
    EXPECT_EQ(R.Calls(TKroDrawCall::dkFillRect).back().Rect, (TKroRect{15, 0, 415, 6}));
}

TEST(PaintRows, APaintBringsDirtyScrollBarsUpToDateAndPlacesTheCaret) {
    TPaintRig R(40, 20);
    R.Load("1\n2\n3");
    EXPECT_FALSE(R.Window.VertBar.Visible());
    // Paragraphs typed into a second control on the same document: this control is only
    // told, which marks its scroll bars dirty.
    TKroHeadlessWindow OtherWindow;
    TTestEditor Other(nullptr, &OtherWindow);
    Other.SetController(&R.Controller);
    Other.CreateWnd();
    Other.Attach(&R.Ed);
    for (int I = 0; I < 30; ++I)
        R.Ed.ParaList().InsertParaAfter(&Other, 3, 1, "x");
    EXPECT_FALSE(R.Window.VertBar.Visible());
    EXPECT_TRUE(R.Ed.RepaintPending());
    R.ClearLog();
    R.PaintAll();
    EXPECT_FALSE(R.Ed.RepaintPending());
    EXPECT_EQ(R.Window.VertBar.Min, 1);
    EXPECT_EQ(R.Window.VertBar.Max, 33 - 20 + 1);
    EXPECT_EQ(R.Deliver(), 1) << "the caret placement reports the status";
}

// ---------------------------------------------------------------------------------------------

TEST(PaintGlyphs, TheLowestMarkerOfALineShowsCentredInTheRow) {
    TPaintRig R;
    R.Window.Surface.Metrics = TKroTextMetrics{10, 19, 0}; // rows of 20 pixels
    R.Ed.FullRefresh(false);
    R.GiveGlyphs();
    R.Load("one\ntwo\nthree\nfour\n5\n6\n7\n8\n9\n10\n11\n12");
    R.Ed.SetMarkerAt(3, 2, 1);
    R.Ed.SetMarkerAt(1, 2, 3);
    R.Ed.SetMarkerAt(5, 4, 1);
    R.PaintAll();
    const auto Glyphs = R.Calls(TKroDrawCall::dkCopyBitmap);
    ASSERT_EQ(Glyphs.size(), 2u);
    EXPECT_EQ(Glyphs[0].Rect, (TKroRect{12, 0, 24, 12})) << "marker 1, not 3";
    EXPECT_EQ(Glyphs[0].At, (TKroPoint{1, 20 + 4}));
    EXPECT_EQ(Glyphs[1].Rect, (TKroRect{60, 0, 72, 12}));
    EXPECT_EQ(Glyphs[1].At, (TKroPoint{1, 60 + 4}));
    // Scrolled off the window: the glyph goes with its line.
    R.Ed.ScrollBy(0, 2);
    R.PaintAll();
    ASSERT_EQ(R.Calls(TKroDrawCall::dkCopyBitmap).size(), 1u);
    EXPECT_EQ(R.Calls(TKroDrawCall::dkCopyBitmap)[0].At, (TKroPoint{1, 20 + 4}));
}

TEST(PaintGlyphs, NoGlyphInAMarginNarrowerThanIt) {
    TPaintRig R;
    R.GiveGlyphs();
    R.Load("one\ntwo");
    R.Ed.SetMarkerAt(0, 1, 1);
    R.Ed.SetLeftMargin(11);
    R.PaintAll();
    EXPECT_TRUE(R.Calls(TKroDrawCall::dkCopyBitmap).empty());
    R.Ed.SetLeftMargin(12);
    R.PaintAll();
    ASSERT_EQ(R.Calls(TKroDrawCall::dkCopyBitmap).size(), 1u);
    EXPECT_EQ(R.Calls(TKroDrawCall::dkCopyBitmap)[0].At, (TKroPoint{1, 0}))
        << "a row lower than the glyph + 2 is not centred";
    R.Ed.SetShowBookmarks(false);
    R.PaintAll();
    EXPECT_TRUE(R.Calls(TKroDrawCall::dkCopyBitmap).empty());
}

// ---------------------------------------------------------------------------------------------

TEST(PaintOwnerDraw, AHandlerThatDrawsEveryRowLeavesMarginsGlyphsAndThePartialRow) {
    TPaintRig R(40, 5);
    R.Window.Height = 55;
    R.Ed.FullRefresh(false);
    R.GiveGlyphs();
    R.Window.HasFocus = true;
    R.Load("a\tb\nab{cd\nef}gh");
    R.Ed.SetMarkerAt(2, 1, 1);
    struct TSeen {
        std::string S;
        int32_t Len, Line, Pos, Count, HBLine, HBCol, HELine, HECol;
    };
    std::vector<TSeen> Seen;
    R.Ed.OnDrawLine = [&](TKroCustomEditor&, IKroSurface&, TKroRect& Rect, const char* S,
                          int32_t Len, int32_t Line, int32_t Pos, int32_t Count, int32_t HBLine,
                          int32_t HBCol, int32_t HELine, int32_t HECol, bool& WasDrawn) {
        EXPECT_FALSE(WasDrawn);
        EXPECT_EQ(Rect, (TKroRect{15, (Line - 1) * LH, 415, Line * LH}));
        Seen.push_back({std::string(S, std::size_t(Len)), Len, Line, Pos, Count, HBLine, HBCol,
                        HELine, HECol});
        WasDrawn = true;
    };
    R.PaintAll();
    EXPECT_TRUE(R.Calls(TKroDrawCall::dkTextRect).empty());
    ASSERT_EQ(Seen.size(), 5u);
    EXPECT_EQ(Seen[0].S, "a       b") << "a tab line comes expanded";
    EXPECT_EQ(Seen[1].S, "abcd");
    EXPECT_EQ(Seen[3].Line, 4);
    EXPECT_EQ(Seen[3].Len, 0) << "a row below the document";
    EXPECT_EQ(Seen[1].Count, 40);
    EXPECT_EQ(Seen[1].Pos, 0);
    EXPECT_EQ((std::vector<int32_t>{Seen[2].HBLine, Seen[2].HBCol, Seen[2].HELine, Seen[2].HECol}),
              (std::vector<int32_t>{2, 3, 3, 3}));
    EXPECT_EQ(R.Calls(TKroDrawCall::dkCopyBitmap).size(), 1u);
    const auto Fills = R.Calls(TKroDrawCall::dkFillRect);
    ASSERT_EQ(Fills.size(), 3u) << "the two margins and the partial row";
    EXPECT_EQ(Fills[2].Rect, (TKroRect{15, 50, 415, 55}));

    // Without a selection shown, the highlight arguments are all 0.
    R.Window.HasFocus = false;
    Seen.clear();
    R.PaintAll();
    EXPECT_EQ(Seen[0].HBLine + Seen[0].HBCol + Seen[0].HELine + Seen[0].HECol, 0);
}

TEST(PaintOwnerDraw, AWrappedLineWithoutTabsRunsOnToTheParagraphEnd) {
    TPaintRig R;
    R.Ed.SetWordWrap(true);
    R.Ed.SetWrapColumn(10);
    R.Load("aaaa bbbb cccc dddd");
    ASSERT_GE(R.Ed.LineCount(), 2);
    std::vector<std::string> Seen;
    R.Ed.OnDrawLine = [&](TKroCustomEditor&, IKroSurface&, TKroRect&, const char* S, int32_t Len,
                          int32_t Line, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                          bool&) {
        if (Line <= 2) Seen.emplace_back(S, std::size_t(Len));
    };
    R.PaintAll();
    ASSERT_EQ(Seen.size(), 2u);
    EXPECT_EQ(Seen[0], "aaaa bbbb cccc dddd");
    EXPECT_EQ(Seen[1], "cccc dddd");
    // A handler that leaves WasDrawn false gets the default drawing of the line alone.
    EXPECT_EQ(R.Row(1), "[aaaa bbbb ]");
}

// ---------------------------------------------------------------------------------------------

TEST(ScrollMessages, TheThumbAtTheBottomShowsTheLastPageExactly) {
    TPaintRig R(40, 30);
    std::string Text;
    for (int I = 1; I <= 100000; ++I)
        Text += (I > 1 ? "\n" : "") + std::to_string(I);
    R.Load(Text);
    ASSERT_EQ(R.Ed.VScrollUnit(), 6);
    ASSERT_LT(int64_t(R.Ed.VScrollMax()) * 6, 100000 - 30 + 1);
    R.Ed.WMVScroll(SB_THUMBTRACK, R.Ed.VScrollMax());
    EXPECT_EQ(R.Ed.TopLine(), 100000 - 30 + 1);
    R.Ed.WMVScroll(SB_THUMBPOSITION, 2);
    EXPECT_EQ(R.Ed.TopLine(), 12);
    R.Ed.WMVScroll(SB_THUMBPOSITION, 1);
    EXPECT_EQ(R.Ed.TopLine(), 1);
    // A position outside the bar's range is taken as the nearest line, not an error.
    EXPECT_NO_THROW(R.Ed.WMVScroll(SB_THUMBTRACK, 0));
    EXPECT_EQ(R.Ed.TopLine(), 1);
}

TEST(ScrollMessages, PagesAreWholeWindowsAndTheHorizontalThumbSetsTheColumn) {
    TPaintRig R(40, 10);
    std::string Text;
    for (int I = 1; I <= 50; ++I)
        Text += (I > 1 ? "\n" : "") + std::string(100, 'x');
    R.Load(Text);
    R.Ed.WMVScroll(SB_PAGEDOWN, 0);
    EXPECT_EQ(R.Ed.TopLine(), 11);
    R.Ed.WMVScroll(SB_LINEUP, 0);
    EXPECT_EQ(R.Ed.TopLine(), 10);
    R.Ed.WMVScroll(SB_PAGEUP, 0);
    EXPECT_EQ(R.Ed.TopLine(), 1);
    R.Ed.WMHScroll(SB_PAGERIGHT, 0);
    EXPECT_EQ(R.Ed.LeftCol(), 39);
    R.Ed.PaintDone();
    R.ClearLog();
    R.Ed.WMHScroll(SB_THUMBTRACK, 7);
    EXPECT_EQ(R.Ed.LeftCol(), 7);
    EXPECT_EQ(R.Window.HorzBar.Pos, 7);
    EXPECT_EQ(R.Window.InvalidateAllCount, 1);
    EXPECT_TRUE(R.Window.Scrolls.empty()) << "the thumb repaints rather than scrolls";
    // One line down moves pixels and repaints only the band it uncovers.
    R.Ed.PaintDone();
    R.ClearLog();
    R.Ed.WMVScroll(SB_LINEDOWN, 0);
    ASSERT_FALSE(R.Window.Scrolls.empty());
    EXPECT_EQ(R.Window.Scrolls[0].Dy, -LH);
    EXPECT_EQ(R.Window.InvalidateAllCount, 0);
}

} // namespace
