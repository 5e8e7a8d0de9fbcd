// Deleting at a caret in virtual space joins the next paragraph there; an empty one brings no
// text, so nothing pads the gap, and what stood at its start (markers, the caret and selection
// of another control showing the document) must land at the end of the text, not in the gap:
// found by the editor model test.
#include "EditorPairRig.h"

#include <gtest/gtest.h>

#include <string>

TEST(JoinEmpty, MarkerOfAnEmptyParagraphJoinedPastTheEndStaysAtTheEnd) {
    TSilentClient Client;
    TParaList L(&Client, false, 8192);
    TParaPos At{1, 1};
    ASSERT_EQ(L.InsertTextBlock(&Client, At, "abc\n", 4), erOK);
    ASSERT_EQ(L.ParaCount(), 2);
    L.SetMarker(0, 2, 1);
    L.SetMarker(1, 1, 2);
    ASSERT_EQ(L.JoinParas(&Client, 1, 7), erOK);
    ASSERT_EQ(L.ParaCount(), 1);
    EXPECT_EQ(std::string(L.GetPara(1)->Text(), L.GetParaLength(1)), "abc");
    EXPECT_TRUE(L.Marker(0) == (TParaPos{1, 4}))
        << "marker at (" << L.Marker(0).Para << ", " << L.Marker(0).Pos << ")";
    EXPECT_TRUE(L.Marker(1) == (TParaPos{1, 2}));
}

TEST(JoinEmpty, PaddedJoinMovesTheMarkerWithTheText) {
    TSilentClient Client;
    TParaList L(&Client, false, 8192);
    TParaPos At{1, 1};
    ASSERT_EQ(L.InsertTextBlock(&Client, At, "abc\nxy", 6), erOK);
    ASSERT_EQ(L.ParaCount(), 2);
    L.SetMarker(0, 2, 2); // on the y
    ASSERT_EQ(L.JoinParas(&Client, 1, 7), erOK);
    EXPECT_EQ(std::string(L.GetPara(1)->Text(), L.GetParaLength(1)), "abc   xy");
    EXPECT_TRUE(L.Marker(0) == (TParaPos{1, 8}))
        << "marker at (" << L.Marker(0).Para << ", " << L.Marker(0).Pos << ")";
}

TEST(JoinEmpty, DeleteInVirtualSpaceKeepsMarkersAndTheOtherControlInsideTheText) {
    TEditorPair R;
    auto& Ed1 = R.Ed1;
    auto& Ed2 = R.Ed2;
    R.Type("abc");
    Ed1.ProcessCommand(ccNewLine, 0);
    ASSERT_EQ(Ed1.ParaList().ParaCount(), 2);
    Ed1.ParaList().SetMarker(5, 2, 1);
    Ed2.Attach(&Ed1);
    Ed2.MoveCaretToPara(2, 1, false);

    Ed1.SetScrollPastEnd(true);
    Ed1.MoveCaretToPara(1, 7, false);
    ASSERT_TRUE(Ed1.CaretParaPos() == (TParaPos{1, 7}));
    Ed1.ProcessCommand(ccDel, 0);
    ASSERT_EQ(Ed1.ParaList().ParaCount(), 1);
    EXPECT_TRUE(Ed1.ParaList().Marker(5) == (TParaPos{1, 4}))
        << "marker at (" << Ed1.ParaList().Marker(5).Para << ", " << Ed1.ParaList().Marker(5).Pos
        << ")";
    EXPECT_TRUE(Ed2.CaretParaPos() == (TParaPos{1, 4}))
        << "caret at (" << Ed2.CaretParaPos().Para << ", " << Ed2.CaretParaPos().Pos << ")";
    EXPECT_NO_THROW(Ed2.CheckInvariant());
    EXPECT_NO_THROW(Ed1.CheckInvariant());
}
