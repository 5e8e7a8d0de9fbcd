// Randomized runs of two controls sharing a document, each editing, moving, changing its
// settings, following its window and attaching or detaching, with a third control coming and
// going; every control's invariant is checked after every step.
#include "EditorRig.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace {

struct TRingRun {
    std::mt19937 Rng;
    std::unique_ptr<TEditorRig> C; // destroyed after A and B: it may end up owning the document
    TEditorRig A{30, 6};
    TEditorRig B{20, 4};
    std::string Log;

    explicit TRingRun(unsigned Seed) : Rng(Seed) {
        A.Load("alpha beta\ngamma, delta epsilon zeta\n\teta theta\niota kappa lambda mu nu\nxi");
        B.Ed.Attach(&A.Ed);
        // Refused edits (limits) are part of the run, not failures.
        A.Ed.OnError = [](TKroCustomEditor&, std::uint16_t&) {};
        B.Ed.OnError = [](TKroCustomEditor&, std::uint16_t&) {};
    }

    int Pick(int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); }

    void Step() {
        TEditorRig& R = Pick(0, 1) ? A : B;
        TTestEditor& E = R.Ed;
        const bool Ext = Pick(0, 1) == 1;
        const int Op = Pick(0, 30);
        Log += std::to_string(Op) + (&R == &A ? "a " : "b ");
        switch (Op) {
        case 0:
            E.InsertChar('x');
            break;
        case 1:
            E.InsertChar(' ');
            break;
        case 2:
            E.NewLine(true, true);
            break;
        case 3:
            E.DeleteSelection();
            break;
        case 4:
            E.DeleteCharLeft();
            break;
        case 5:
            E.DeleteLine();
            break;
        case 6:
            E.InsertTab();
            break;
        case 7:
            E.InsertString("ab\r\ncd");
            break;
        case 8:
            E.Undo();
            break;
        case 9:
            E.Redo();
            break;
        case 10:
            E.MoveCaretBy(Pick(-3, 3), Pick(-3, 3), Ext, Pick(0, 1) == 1);
            break;
        case 11:
            E.CaretRight(Ext);
            break;
        case 12:
            E.WordLeft(Ext);
            break;
        case 13:
            E.CaretEndOfLine(Ext);
            break;
        case 14:
            E.SetWordWrap(!E.WordWrap());
            break;
        case 15:
            E.SetScrollPastEnd(!E.ScrollPastEnd());
            break;
        case 16:
            E.SetTabSize(static_cast<std::uint8_t>(Pick(1, 8)));
            break;
        case 17:
            E.SetWrapColumn(Pick(4, 20));
            break;
        case 18:
            E.SetParaLengthLimit(Pick(10, 60));
            break;
        case 19:
            E.SetSelection(Pick(-2, 30), Pick(-2, 40), Pick(-2, 30), Pick(-2, 40), Ext);
            break;
        case 20:
            E.SetMarkerAt(Pick(0, 9), Pick(1, E.LineCount()), Pick(1, 40));
            break;
        case 21:
            E.GotoMarker(Pick(0, 9));
            break;
        case 22:
            R.Window.Width = Pick(0, 400);
            R.Window.Height = Pick(0, 200);
            E.Resized();
            break;
        case 23:
            E.SetWrapToWindow(!E.WrapToWindow());
            break;
        case 24:
            R.Window.HasFocus = Pick(0, 1) == 1;
            if (R.Window.HasFocus)
                E.FocusGained();
            else
                E.FocusLost();
            break;
        case 25:
            if (Pick(0, 5) == 0) E.ClearText(true);
            break;
        case 26:
            if (Pick(0, 3) == 0) (&R == &A ? A.Ed : B.Ed).Attach(&R == &A ? &B.Ed : &A.Ed);
            break;
        case 27:
            if (Pick(0, 5) == 0) E.Detach();
            break;
        case 28:
            if (!C) {
                C = std::make_unique<TEditorRig>(10, 3);
                C->Ed.OnError = [](TKroCustomEditor&, std::uint16_t&) {};
            }
            C->Ed.Attach(&E);
            C->Ed.SetCaretOvr(E.CaretIns()); // a shared caret description
            break;
        case 29:
            C.reset();
            break;
        case 30:
            if (C) {
                C->Ed.InsertChar('q');
                C->Ed.MoveCaretBy(Pick(-3, 3), Pick(-3, 3), Ext, false);
            }
            break;
        }
        if (Pick(0, 3) == 0) {
            TKroHeadlessSurface S;
            A.Ed.Paint(S, TKroRect{0, 0, 400, 100});
            B.Ed.Paint(S, TKroRect{0, 0, 400, 100});
        }
        A.Deliver();
        B.Deliver();
        if (C) C->Deliver();
    }
};

} // namespace

TEST(EditorRingRandom, EveryControlStaysConsistentWhateverTheOthersDo) {
    for (unsigned Seed = 1; Seed <= 200; ++Seed) {
        TRingRun Run(Seed);
        for (int I = 0; I < 150; ++I) {
            try {
                Run.Step();
                Run.A.Ed.CheckInvariant();
                Run.B.Ed.CheckInvariant();
                if (Run.C) Run.C->Ed.CheckInvariant();
            } catch (const std::exception& X) {
                FAIL() << "seed " << Seed << ", step " << I << ": " << X.what()
                       << "\nsteps: " << Run.Log;
            }
        }
    }
}
