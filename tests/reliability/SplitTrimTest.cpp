// A new line removes the blanks before the split point; positions inside those blanks (markers,
// and the caret of another control showing the same document) must stay inside the text:
// found by the editor model test.
#include "Controller.h"
#include "CustomEditor.h"
#include "Headless.h"
#include "ParaList.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct TSilentClient : IParaListClient {
    void TextInserted(int32_t, int32_t, int32_t) override {}
    void TextDeleted(int32_t, int32_t, int32_t) override {}
    void ParaDeleted(int32_t) override {}
    void ParaSplit(int32_t, int32_t, int32_t) override {}
    void ParasJoined(int32_t, int32_t) override {}
    void TextReformatted() override {}
};

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
    TKroHeadlessPlatform Platform;
    TKroPlatformScope Scope{Platform};
    TKroController Controller;
    TKroHeadlessWindow W1, W2;
    TKroCustomEditor Ed1{nullptr, &W1}, Ed2{nullptr, &W2};
    for (TKroCustomEditor* E : {&Ed1, &Ed2}) {
        E->SetController(&Controller);
        E->CreateWnd();
    }
    for (char C : std::string("ab   cd"))
        Ed1.ProcessCommand(ccChar, static_cast<std::uint8_t>(C));
    Ed2.Attach(&Ed1);
    Ed2.MoveCaretToPara(1, 4, false);
    Ed1.MoveCaretToPara(1, 6, false);
    Ed1.ProcessCommand(ccNewLine, 0);
    ASSERT_EQ(Ed1.ParaList().ParaCount(), 2);
    EXPECT_TRUE(InsideText(Ed2.ParaList(), Ed2.CaretParaPos()))
        << "caret at (" << Ed2.CaretParaPos().Para << ", " << Ed2.CaretParaPos().Pos << ")";
    EXPECT_NO_THROW(Ed2.CheckInvariant());
}
