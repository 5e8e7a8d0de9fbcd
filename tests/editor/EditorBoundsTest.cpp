// The largest values the control's settings and moves accept.
#include "EditorRig.h"

#include <gtest/gtest.h>

#include <string>

TEST(EditorBounds, VirtualSpaceStopsAtTheLongestParagraphWhateverTheLimit) {
    TEditorRig R;
    R.Ed.SetParaLengthLimit(MaxLongint);
    R.Ed.SetScrollPastEnd(true);
    R.Load("ab|");
    EXPECT_EQ(R.Ed.ParaLengthLimit(), MaxLongint);
    R.Ed.CaretRight(false);
    EXPECT_EQ(R.Ed.CaretPos(), 4);
    R.Ed.MoveCaretBy(MaxLongint, 0, false, false);
    EXPECT_EQ(R.Ed.CaretPos(), MaxParaLength);
    R.Ed.CheckInvariant();
    // A character typed there makes the paragraph as long as a paragraph can be.
    R.Ed.InsertChar('x');
    EXPECT_EQ(R.Ed.LineLength(1), MaxParaLength);
    EXPECT_EQ(R.Ed.CaretPos(), MaxParaLength + 1);
    R.Ed.CheckInvariant();
}

TEST(EditorBounds, MarkerAtTheLargestColumnOfAWrappedLineStaysBeyondItsText) {
    TEditorRig R;
    R.Ed.SetWrapColumn(6);
    R.Ed.SetWordWrap(true);
    R.Load("hello world again|\nnext");
    ASSERT_EQ(R.Ed.LineCount(), 4);
    R.Ed.SetMarkerAt(1, 2, MaxLongint);
    const TParaPos M = R.Ed.ParaList().Marker(1);
    EXPECT_EQ(M.Para, 1);
    EXPECT_GT(M.Pos, R.Ed.ParaList().GetParaLength(1));
    // Visiting it puts the caret at the end of the paragraph's text.
    R.Ed.MoveCaretToPara(2, 1, false);
    R.Ed.GotoMarker(1);
    EXPECT_EQ(R.Text(), "hello world again|\nnext");
}
