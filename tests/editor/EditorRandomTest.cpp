// Randomized runs: one control edits a shared document while another moves and selects; both
// controls' invariants are checked after every step, wrapped and unwrapped.
#include "EditorRig.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

struct TRandomRun {
    std::mt19937 Rng;
    TEditorRig A{30, 8};
    TEditorRig B{25, 6};

    explicit TRandomRun(unsigned Seed) : Rng(Seed) {
        A.Load("alpha beta\ngamma, delta epsilon zeta\n\teta theta\niota kappa lambda mu nu\nxi");
        B.Ed.Attach(&A.Ed);
    }

    int Pick(int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); }

    // An edit made by A, which then places its own caret as its editing operations do.
    void EditByA() {
        TParaList& L = A.Ed.ParaList();
        const int32_t Para = Pick(1, L.ParaCount());
        const int32_t Len = L.GetParaLength(Para);
        static const char* Words[] = {"x", " ", "word ", "\t", "long-word here "};
        const std::string W = Words[Pick(0, 4)];
        int32_t Indent = 0;
        switch (Pick(0, 5)) {
        case 0:
            L.InsertText(&A.Ed, Para, static_cast<int32_t>(W.size()), W.data(), Pick(1, Len + 1));
            break;
        case 1:
            L.DeleteText(&A.Ed, Para, Pick(1, 6), Pick(1, Len + 1));
            break;
        case 2:
            if (L.ParaCount() < 40) L.SplitPara(&A.Ed, Para, Pick(1, Len + 1), 0, Indent, true);
            break;
        case 3:
            if (Para < L.ParaCount()) L.JoinParas(&A.Ed, Para, Len + 1);
            break;
        case 4:
            if (L.ParaCount() > 1) L.DeletePara(&A.Ed, Para);
            break;
        case 5:
            if (Para < L.ParaCount()) L.DeleteBlock(&A.Ed, Para, Pick(1, Len + 1), Para + 1, 1);
            break;
        }
        const int32_t P = Pick(1, L.ParaCount());
        A.Ed.MoveCaretToPara(P, Pick(1, L.GetParaLength(P) + 1), false);
    }

    void MoveB() {
        const bool Extend = Pick(0, 1) == 1;
        switch (Pick(0, 7)) {
        case 0:
            B.Ed.MoveCaretBy(0, Pick(-3, 3), Extend, Pick(0, 1) == 1);
            break;
        case 1:
            B.Ed.CaretLeft(Extend);
            break;
        case 2:
            B.Ed.CaretRight(Extend);
            break;
        case 3:
            B.Ed.WordLeft(Extend);
            break;
        case 4:
            B.Ed.WordRight(Extend);
            break;
        case 5:
            B.Ed.CaretEndOfLine(Extend);
            break;
        case 6:
            B.Ed.MoveCaretBy(Pick(-5, 5), 0, Extend, false);
            break;
        case 7:
            B.Ed.SelectAll(Pick(0, 1) == 1);
            break;
        }
    }
};

void RunShared(unsigned Seed, bool Wrap) {
    TRandomRun R(Seed);
    if (Wrap) {
        R.A.Ed.SetWrapColumn(12);
        R.A.Ed.SetWordWrap(true);
    } else {
        R.B.Ed.SetScrollPastEnd(true); // B's caret may stand in virtual space
    }
    for (int Step = 0; Step < 400; ++Step) {
        if (R.Pick(0, 2) == 0)
            R.MoveB();
        else
            R.EditByA();
        if (Step % 97 == 96) R.A.Ed.SetWrapColumn(R.Pick(5, 20));
        try {
            R.A.Ed.CheckInvariant();
            R.B.Ed.CheckInvariant();
            R.A.Ed.ParaList().CheckInvariant();
        } catch (const std::exception& E) {
            ADD_FAILURE() << "seed " << Seed << " step " << Step << ": " << E.what();
            return;
        }
    }
}

} // namespace

TEST(EditorRandom, SharedDocumentKeepsBothControlsConsistentUnwrapped) {
    for (unsigned Seed = 1; Seed <= 20; ++Seed)
        RunShared(Seed, false);
}

TEST(EditorRandom, SharedDocumentKeepsBothControlsConsistentWrapped) {
    for (unsigned Seed = 1; Seed <= 20; ++Seed)
        RunShared(Seed, true);
}
