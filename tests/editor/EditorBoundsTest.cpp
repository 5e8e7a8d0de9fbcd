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
