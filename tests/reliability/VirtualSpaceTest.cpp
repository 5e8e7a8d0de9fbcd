// Switching virtual space off brings a caret standing past the end of its line back into the
// text: found by the editor model test.
#include "Controller.h"
#include "CustomEditor.h"
#include "Headless.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct TRig {
    TKroHeadlessPlatform Platform;
    TKroPlatformScope Scope{Platform};
    TKroController Controller;
    TKroHeadlessWindow Window;
    TKroCustomEditor Ed{nullptr, &Window};

    TRig() {
        Window.Surface.Metrics = TKroTextMetrics{10, 9, 0};
        Ed.SetController(&Controller);
        Ed.CreateWnd();
        const std::string Text = "abc";
        Ed.ParaList().InsertText(nullptr, 1, 3, Text.data(), 1);
        Ed.ParaList().UndoBuffer().Clear();
        Ed.SetScrollPastEnd(true);
        Ed.MoveCaretToPara(1, 4, false);
        for (int I = 0; I < 5; ++I)
            Ed.ProcessCommand(ccRight, 0);
    }
};
} // namespace

TEST(VirtualSpace, SwitchingScrollPastEndOffBringsTheCaretBackToTheLineEnd) {
    TRig Rig;
    ASSERT_EQ(Rig.Ed.CaretParaPos(), (TParaPos{1, 9})) << "the caret did not enter virtual space";
    Rig.Ed.SetScrollPastEnd(false);
    EXPECT_EQ(Rig.Ed.CaretParaPos(), (TParaPos{1, 4}));
    EXPECT_NO_THROW(Rig.Ed.CheckInvariant());
}

// Word wrap switches virtual space off too, and there the caret already comes back.
TEST(VirtualSpace, SwitchingWordWrapOnBringsTheCaretBackToTheLineEnd) {
    TRig Rig;
    ASSERT_EQ(Rig.Ed.CaretParaPos(), (TParaPos{1, 9}));
    Rig.Ed.SetWordWrap(true);
    EXPECT_FALSE(Rig.Ed.ScrollPastEnd());
    EXPECT_EQ(Rig.Ed.CaretParaPos(), (TParaPos{1, 4}));
    EXPECT_NO_THROW(Rig.Ed.CheckInvariant());
}

// Lowering ParaLengthLimit narrows virtual space; a caret beyond the new limit comes back to it.
TEST(VirtualSpace, LoweringParaLengthLimitBringsTheCaretWithinTheNewLimit) {
    TRig Rig;
    for (int I = 0; I < 20; ++I)
        Rig.Ed.ProcessCommand(ccRight, 0);
    ASSERT_EQ(Rig.Ed.CaretParaPos(), (TParaPos{1, 29}));
    Rig.Ed.SetParaLengthLimit(10);
    EXPECT_LE(Rig.Ed.CaretParaPos().Pos, 11);
    EXPECT_NO_THROW(Rig.Ed.CheckInvariant());
}
