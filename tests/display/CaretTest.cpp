// Caret descriptions, their measurement in a character cell, linking to the window's caret,
// shared descriptions and the insert/overwrite pair.
#include "Headless.h"
#include "KroCaret.h"
#include "KroCaretPair.h"
#include "KroSingleCaret.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

// A description held by the test itself, released at the end of the test.
struct THeldCaret {
    THeldCaret() : C(new TKroCaret()) { C->AddRef(); }
    ~THeldCaret() { C->Release(); }
    TKroCaret* operator->() const { return C; }
    TKroCaret* C;
};

struct TCounter {
    explicit TCounter(TKroCaret* C) {
        C->OnChange = [this](TKroPersistent&) { ++Count; };
    }
    int Count = 0;
};

class CaretTest : public ::testing::Test {
protected:
    TKroHeadlessWindow Window;
    TKroHeadlessCaret& System = Window.Caret;

    bool Called(const std::string& Call) const {
        for (const std::string& C : System.Calls)
            if (C == Call) return true;
        return false;
    }
    bool CalledLike(const std::string& Prefix) const {
        for (const std::string& C : System.Calls)
            if (C.rfind(Prefix, 0) == 0) return true;
        return false;
    }
};

} // namespace

// ---- description setters

TEST(CaretDescription, DefaultsAndIgnoredSizes) {
    THeldCaret C;
    TCounter Events(C.C);
    EXPECT_EQ(C->Shape(), csVertLine);
    EXPECT_EQ(C->Align(), caLeft);
    EXPECT_EQ(C->CaretHeight(), 10);
    EXPECT_EQ(C->CaretWidth(), 2);
    EXPECT_EQ(C->BlinkTime(), 0);
    C->SetCaretHeight(0);
    C->SetCaretHeight(-3);
    C->SetCaretWidth(0);
    C->SetCaretWidth(2); // unchanged
    C->SetAlign(caLeft);
    C->SetIsGray(false);
    EXPECT_EQ(C->CaretHeight(), 10);
    EXPECT_EQ(C->CaretWidth(), 2);
    EXPECT_EQ(Events.Count, 0);
    C->SetCaretHeight(7);
    C->SetIsGray(true);
    C->SetBlinkTime(250);
    EXPECT_EQ(Events.Count, 3);
}

TEST(CaretDescription, HotSpotChangesAnnounceThemselvesOnlyForBitmapCarets) {
    THeldCaret C;
    TCounter Events(C.C);
    C->SetBitmapHotSpotX(3);
    C->SetBitmapHotSpotY(4);
    EXPECT_EQ(Events.Count, 0);
    EXPECT_EQ(C->BitmapHotSpotX(), 3) << "stored all the same";
    C->SetShape(csBitmap);
    Events.Count = 0;
    C->SetBitmapHotSpotX(5);
    C->SetBitmapHotSpotX(5);
    EXPECT_EQ(Events.Count, 1);
}

TEST(CaretDescription, ShapeAdjustsAlignAndSizeWithOneEvent) {
    THeldCaret C;
    TCounter Events(C.C);
    C->SetCaretWidth(5);
    C->SetAlign(caCenter);
    Events.Count = 0;

    C->SetShape(csVertLine); // unchanged: no adjustment either
    EXPECT_EQ(C->CaretWidth(), 5);
    EXPECT_EQ(Events.Count, 0);

    C->SetShape(csHorzLine);
    EXPECT_EQ(C->Align(), caBottom);
    EXPECT_EQ(C->CaretHeight(), 2);
    EXPECT_EQ(Events.Count, 1);

    C->SetShape(csVertLine);
    EXPECT_EQ(C->Align(), caLeft);
    EXPECT_EQ(C->CaretWidth(), 2);

    C->SetShape(csHalfBlock);
    EXPECT_EQ(C->Align(), caBottom);
    C->SetShape(csBlock);
    EXPECT_EQ(C->Align(), caLeft);
    C->SetAlign(caRight);
    C->SetShape(csCustom);
    EXPECT_EQ(C->Align(), caRight) << "custom keeps what was set";
    EXPECT_EQ(Events.Count, 6);
}

TEST(CaretDescription, BitmapSizeIsTakenWhenTheShapeBecomesBitmap) {
    THeldCaret C;
    TCounter Events(C.C);
    TKroBitmap B{5, 9, std::vector<TColor>(45, clBlack)};
    C->SetBitmap(B);
    EXPECT_EQ(Events.Count, 1);
    EXPECT_EQ(C->CaretWidth(), 2) << "size untouched until the shape changes";
    C->SetShape(csBitmap);
    EXPECT_EQ(C->CaretWidth(), 5);
    EXPECT_EQ(C->CaretHeight(), 9);
    EXPECT_EQ(C->Bitmap(), B);

    THeldCaret Empty;
    Empty->SetShape(csBitmap);
    EXPECT_EQ(Empty->CaretWidth(), 2) << "an empty image is no size of 0";
    EXPECT_EQ(Empty->CaretHeight(), 10);
}

// ---- metrics

TEST_F(CaretTest, HalfBlockAndHorizontalLineInA16By8Cell) {
    TKroSingleCaret S(&Window);
    THeldCaret C;
    C->SetShape(csHalfBlock);
    S.SetCellHeight(16);
    S.SetCellWidth(8);
    S.SetCaret(C.C);
    EXPECT_EQ(C->CaretHeight(), 8);
    EXPECT_EQ(C->CaretWidth(), 8);
    EXPECT_EQ(S.XOffset(), 0);
    EXPECT_EQ(S.YOffset(), 8);

    C->SetShape(csHorzLine);
    EXPECT_EQ(C->CaretHeight(), 2);
    EXPECT_EQ(C->CaretWidth(), 8);
    EXPECT_EQ(S.XOffset(), 0);
    EXPECT_EQ(S.YOffset(), 14);
}

TEST_F(CaretTest, CustomCaretIsCentredWithoutResizing) {
    TKroSingleCaret S(&Window);
    S.SetCellHeight(16);
    S.SetCellWidth(8);
    THeldCaret C;
    C->SetShape(csCustom);
    C->SetCaretHeight(6);
    C->SetCaretWidth(3);
    C->SetAlign(caCenter);
    S.SetCaret(C.C);
    EXPECT_EQ(C->CaretHeight(), 6);
    EXPECT_EQ(C->CaretWidth(), 3);
    EXPECT_EQ(S.XOffset(), 2);
    EXPECT_EQ(S.YOffset(), 5);

    C->SetAlign(caRight);
    EXPECT_EQ(S.XOffset(), 5);
    EXPECT_EQ(S.YOffset(), 5);
    C->SetAlign(caTop);
    EXPECT_EQ(S.XOffset(), 2);
    EXPECT_EQ(S.YOffset(), 0);
}

TEST_F(CaretTest, OffsetsTruncateTowardZeroWhenTheCaretIsLargerThanTheCell) {
    TKroSingleCaret S(&Window);
    S.SetCellHeight(4);
    S.SetCellWidth(2);
    THeldCaret C;
    C->SetShape(csCustom);
    C->SetCaretWidth(5);
    C->SetCaretHeight(7);
    C->SetAlign(caCenter);
    S.SetCaret(C.C);
    EXPECT_EQ(S.XOffset(), -1); // (2 - 5) div 2
    EXPECT_EQ(S.YOffset(), -1); // (4 - 7) div 2
}

TEST_F(CaretTest, BitmapHotSpotIsSubtracted) {
    TKroSingleCaret S(&Window);
    S.SetCellHeight(16);
    S.SetCellWidth(8);
    THeldCaret C;
    C->SetBitmap({4, 6, std::vector<TColor>(24, clBlack)});
    C->SetShape(csBitmap);
    C->SetAlign(caCenter);
    C->SetBitmapHotSpotX(1);
    C->SetBitmapHotSpotY(2);
    S.SetCaret(C.C);
    EXPECT_EQ(S.XOffset(), 2 - 1);
    EXPECT_EQ(S.YOffset(), 5 - 2);
}

TEST_F(CaretTest, HotSpotsFarOutsideTheImageSaturateInsteadOfWrapping) {
    TKroSingleCaret S(&Window);
    S.SetCellHeight(16);
    S.SetCellWidth(8);
    THeldCaret C;
    C->SetBitmap({4, 6, std::vector<TColor>(24, clBlack)});
    C->SetShape(csBitmap);
    C->SetAlign(caCenter);
    C->SetBitmapHotSpotX(std::numeric_limits<int>::min());
    C->SetBitmapHotSpotY(std::numeric_limits<int>::max());
    S.SetCaret(C.C);
    EXPECT_EQ(S.XOffset(), std::numeric_limits<int>::max());
    EXPECT_EQ(S.YOffset(), 5 - std::numeric_limits<int>::max());
    S.SetPosition(100, 100);
    S.SetLinked(true);
    EXPECT_EQ(System.Pos,
              (TKroPoint{std::numeric_limits<int>::max(), 105 - std::numeric_limits<int>::max()}));
}

TEST_F(CaretTest, CellSizesOfZeroOrLessAreIgnored) {
    TKroSingleCaret S(&Window);
    S.SetCellHeight(16);
    S.SetCellHeight(0);
    S.SetCellWidth(-1);
    EXPECT_EQ(S.CellHeight(), 16);
    EXPECT_EQ(S.CellWidth(), 10);
    EXPECT_EQ(S.Caret()->CaretHeight(), 16);
}

// ---- linking

TEST_F(CaretTest, LinkingNeedsAnExistingWindow) {
    TKroSingleCaret Orphan(nullptr);
    Orphan.SetLinked(true);
    EXPECT_FALSE(Orphan.Linked());

    Window.Allocated = false;
    TKroSingleCaret S(&Window);
    S.SetLinked(true);
    EXPECT_FALSE(S.Linked());
    EXPECT_FALSE(System.Exists);
    Window.Allocated = true;
    S.SetLinked(true);
    EXPECT_TRUE(S.Linked());
    EXPECT_TRUE(System.Exists);
}

TEST_F(CaretTest, LinkCreatesShowsAndPlacesWithTheOffsets) {
    TKroSingleCaret S(&Window);
    THeldCaret C;
    C->SetShape(csHalfBlock);
    C->SetIsGray(true);
    S.SetCaret(C.C);
    S.SetCellHeight(16);
    S.SetCellWidth(8);
    S.SetPosition(40, 32);
    S.SetVisible(true);
    EXPECT_FALSE(System.Exists) << "nothing reaches the window while unlinked";
    S.SetLinked(true);
    EXPECT_EQ(System.Calls, (std::vector<std::string>{"GetBlinkTime", "Create(8,8,gray)", "Show",
                                                      "SetPos(40,40)"}));
    S.SetVisible(false);
    EXPECT_FALSE(System.Visible);
    S.SetPosition(48, 32);
    EXPECT_EQ(System.Pos, (TKroPoint{48, 40}));
    S.SetLinked(false);
    EXPECT_FALSE(System.Exists);
}

TEST_F(CaretTest, NegativeCoordinatesMeanNowhereAndNowhereIsPassedUnchanged) {
    TKroSingleCaret S(&Window);
    THeldCaret C;
    C->SetShape(csHorzLine);
    S.SetCaret(C.C);
    S.SetLinked(true);
    S.SetPosition(-1, 20);
    EXPECT_EQ(S.X(), TKroSingleCaret::Nowhere);
    EXPECT_EQ(System.Pos, (TKroPoint{TKroSingleCaret::Nowhere, 20 + 8}));
    S.SetPosition(2147483000, -5);
    EXPECT_EQ(System.Pos, (TKroPoint{2147483000, TKroSingleCaret::Nowhere}));
}

TEST_F(CaretTest, BitmapCaretIsBuiltFromItsImage) {
    TKroSingleCaret S(&Window);
    THeldCaret C;
    TKroBitmap B{3, 5, std::vector<TColor>(15, clWhite)};
    C->SetBitmap(B);
    C->SetShape(csBitmap);
    S.SetCaret(C.C);
    S.SetLinked(true);
    EXPECT_TRUE(System.FromBitmap);
    EXPECT_EQ(System.Bitmap, B);
    const int Created = System.CreateCount;
    C->SetBitmapHotSpotX(1); // announced for a bitmap caret: the caret is rebuilt
    EXPECT_EQ(System.CreateCount, Created + 1);
    EXPECT_EQ(S.XOffset(), -1);
}

TEST_F(CaretTest, ZeroBlinkTimeNeverTouchesTheDesktopPeriod) {
    TKroSingleCaret S(&Window);
    S.SetLinked(true);
    S.SetLinked(false);
    S.SetLinked(true);
    S.SetCellHeight(20);
    S.SetLinked(false);
    EXPECT_FALSE(CalledLike("SetBlinkTime"));
    EXPECT_EQ(System.BlinkTime, 530u);
}

TEST_F(CaretTest, BlinkTimeIsInForceOnlyWhileLinkedAndAlwaysRestored) {
    TKroSingleCaret S(&Window);
    S.Caret()->SetBlinkTime(200);
    EXPECT_EQ(System.BlinkTime, 530u) << "not linked: desktop untouched";
    S.SetLinked(true);
    EXPECT_EQ(System.BlinkTime, 200u);
    // A change while linked rebuilds the caret; the period saved stays the desktop's own.
    S.Caret()->SetBlinkTime(300);
    EXPECT_EQ(System.BlinkTime, 300u);
    S.SetLinked(false);
    EXPECT_EQ(System.BlinkTime, 530u);
}

TEST_F(CaretTest, BlinkTimeEqualToTheDesktopsIsNotSet) {
    TKroSingleCaret S(&Window);
    S.Caret()->SetBlinkTime(530);
    S.SetLinked(true);
    S.SetLinked(false);
    EXPECT_FALSE(CalledLike("SetBlinkTime"));
}

TEST_F(CaretTest, DestructionHidesUnlinksAndRestores) {
    {
        TKroSingleCaret S(&Window);
        S.Caret()->SetBlinkTime(100);
        S.SetVisible(true);
        S.SetLinked(true);
        System.ClearLog();
    }
    EXPECT_EQ(System.Calls, (std::vector<std::string>{"Hide", "SetBlinkTime(530)", "Destroy"}));
    EXPECT_FALSE(System.Exists);
}

TEST_F(CaretTest, CellChangeWhileLinkedRebuildsTheCaretWithTheNewSize) {
    TKroCaretPair Pair(&Window);
    Pair.SetVisible(true);
    Pair.SetLinked(true);
    Pair.SetCellHeight(18);
    EXPECT_TRUE(System.Exists);
    EXPECT_TRUE(System.Visible);
    EXPECT_EQ(System.Height, 18);
    EXPECT_EQ(System.Width, 2);
}

// ---- pair and sharing

TEST_F(CaretTest, NewPairShowsABarAndOverwriteShowsABlock) {
    TKroCaretPair Pair(&Window);
    Pair.SetCellHeight(16);
    Pair.SetCellWidth(8);
    Pair.SetPosition(10, 0);
    Pair.SetLinked(true);
    EXPECT_TRUE(Pair.InsertMode());
    EXPECT_EQ(Pair.Caret(), Pair.CaretIns());
    EXPECT_EQ(System.Width, 2);
    EXPECT_EQ(System.Height, 16);
    EXPECT_EQ(System.Pos, (TKroPoint{10, 0}));

    Pair.SetInsertMode(false);
    EXPECT_EQ(Pair.Caret(), Pair.CaretOvr());
    EXPECT_EQ(Pair.CaretOvr()->Shape(), csBlock);
    EXPECT_TRUE(System.Exists);
    EXPECT_EQ(System.Width, 8);
    EXPECT_EQ(System.Height, 16);
    EXPECT_EQ(System.Pos, (TKroPoint{10, 0}));
}

TEST_F(CaretTest, SlotReplacementTakesEffectOnlyInTheMatchingMode) {
    TKroCaretPair Pair(&Window);
    THeldCaret Mine;
    Mine->SetShape(csHorzLine);
    Pair.SetInsertMode(false);
    Pair.SetCaretIns(Mine.C);
    EXPECT_EQ(Pair.CaretIns(), Mine.C);
    EXPECT_EQ(Pair.Caret(), Pair.CaretOvr());
    EXPECT_EQ(Mine->RefCount(), 2); // the test and the slot
    Pair.SetInsertMode(true);
    EXPECT_EQ(Pair.Caret(), Mine.C);
    EXPECT_EQ(Mine->RefCount(), 3); // and the caret in use
    Pair.SetCaretIns(nullptr);
    EXPECT_EQ(Pair.CaretIns(), Mine.C);
}

TEST_F(CaretTest, SharedCaretOutlivesOneHolderAndStillReachesTheOther) {
    TKroHeadlessWindow OtherWindow;
    THeldCaret Shared;
    TCounter Events(Shared.C);
    auto* First = new TKroCaretPair(&Window);
    TKroCaretPair Second(&OtherWindow);
    // The holder that goes away is the last to take the description.
    Second.SetCaretIns(Shared.C);
    First->SetCaretIns(Shared.C);
    EXPECT_EQ(Shared->RefCount(), 5);
    Second.SetLinked(true);

    delete First;
    EXPECT_EQ(Shared->RefCount(), 3);
    // The surviving holder still hears of changes (and the destroyed one is not called).
    Shared->SetIsGray(true);
    EXPECT_TRUE(OtherWindow.Caret.Gray);
    EXPECT_EQ(Events.Count, 1);
    EXPECT_EQ(Second.Caret(), Shared.C);
}

TEST_F(CaretTest, PairTearDownReleasesEveryDescriptionItCreated) {
    THeldCaret Watch; // proves a released description is freed only with its last holder
    {
        TKroCaretPair Pair(&Window);
        Pair.SetCaretOvr(Watch.C);
        Pair.SetInsertMode(false);
        EXPECT_EQ(Watch->RefCount(), 3);
    }
    EXPECT_EQ(Watch->RefCount(), 1);
}

TEST_F(CaretTest, SwitchedAwayDescriptionNoLongerRebuildsTheCaret) {
    TKroCaretPair Pair(&Window);
    Pair.SetLinked(true);
    Pair.SetInsertMode(false);
    const int Created = System.CreateCount;
    Pair.CaretIns()->SetIsGray(true);
    EXPECT_EQ(System.CreateCount, Created);
    EXPECT_FALSE(System.Gray);
    Pair.CaretOvr()->SetIsGray(true);
    EXPECT_EQ(System.CreateCount, Created + 1);
    EXPECT_TRUE(System.Gray);
}
