// A new line removes the blanks before the split point; positions inside those blanks (markers,
// and the caret of another control showing the same document) must stay inside the text:
// found by the editor model test.
#include "EditorPairRig.h"

#include <gtest/gtest.h>

#include <string>

namespace {
bool InsideText(TParaList& L, const TParaPos& P) {
    return P.Para >= 1 && P.Para <= L.ParaCount() && P.Pos >= 1 &&
           P.Pos <= L.GetParaLength(P.Para) + 1;
}
} // namespace

TEST(SplitTrim, MarkerInsideTheTrimmedBlanksStaysInsideTheText) {
    TSilentClient Client;
    TParaList L(&Client, false, 8192);
    const std::string Text = "ab   cd";
    ASSERT_EQ(L.InsertText(&Client, 1, 7, Text.data(), 1), erOK);
    L.SetMarker(0, 1, 4); // between the blanks
    L.SetMarker(1, 1, 3); // on the first blank
    int32_t Indent = 0;
    ASSERT_EQ(L.SplitPara(&Client, 1, 6, 0, Indent, true), erOK);
    ASSERT_EQ(std::string(L.GetPara(1)->Text()), "ab");
    ASSERT_EQ(std::string(L.GetPara(2)->Text()), "cd");
    for (int N : {0, 1}) {
        const TParaPos M = L.Marker(N);
        EXPECT_TRUE(M == TParaPos{} || InsideText(L, M))
            << "marker " << N << " at (" << M.Para << ", " << M.Pos << ")";
    }
}

TEST(SplitTrim, OtherControlsCaretInsideTheTrimmedBlanksStaysInsideTheText) {
    TEditorPair R;
    auto& Ed1 = R.Ed1;
    auto& Ed2 = R.Ed2;
    R.Type("ab   cd");
    Ed2.Attach(&Ed1);
    Ed2.MoveCaretToPara(1, 4, false);
    Ed1.MoveCaretToPara(1, 6, false);
    Ed1.ProcessCommand(ccNewLine, 0);
    ASSERT_EQ(Ed1.ParaList().ParaCount(), 2);
    EXPECT_TRUE(InsideText(Ed2.ParaList(), Ed2.CaretParaPos()))
        << "caret at (" << Ed2.CaretParaPos().Para << ", " << Ed2.CaretParaPos().Pos << ")";
    EXPECT_NO_THROW(Ed2.CheckInvariant());
}
