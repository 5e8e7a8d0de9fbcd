// The editor control's positions: caret movement, selection, the view and its scroll bars,
// markers, and keeping every position on its text when the document changes.
#include "CustomEditor.h"

#include "KroExceptions.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool Before(const TParaPos& A, const TParaPos& B) {
    return A.Para < B.Para || (A.Para == B.Para && A.Pos < B.Pos);
}

std::int32_t Clamp32(std::int64_t V, std::int64_t Lo, std::int64_t Hi) {
    return static_cast<std::int32_t>(std::clamp(V, Lo, Hi));
}

// The window's largest vertical scroll-bar range.
constexpr std::int64_t MaxScrollRange = 32767;

// The largest caret position in a display line of Len characters. Virtual space reaches to
// column ParaLengthLimit (no paragraph is longer than MaxParaLength, so a larger limit counts as
// that); the end of the line's own text is always reachable, also on a line as long as the
// limit (or wider, with tabs).
std::int32_t MaxCaretPos(const TParaList& L, const char* Text, std::int32_t Len, bool ScrollPastEnd,
                         std::int32_t ParaLengthLimit) {
    const std::int32_t Limit = std::min(ParaLengthLimit, MaxParaLength);
    std::int32_t MaxPos = ScrollPastEnd ? Limit + 1 : Len + 1;
    if (L.PosToColumn(Text, Len, MaxPos) > Limit)
        MaxPos = std::max(Len + 1, L.ColumnToPos(Text, Len, Limit));
    return MaxPos;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Conversions

TLinePos TKroCustomEditor::ParaToLine(const TParaPos& P) const {
    // Unwrapped text whose lines all fit is one line per paragraph: no look-up at all.
    if (!FParaList->WordWrap() && FParaList->LineCount() == FParaList->ParaCount())
        return {std::clamp(P.Para, 1, FParaList->ParaCount()), P.Pos};
    TLinePos R;
    R.Line = FParaList->ParaToLine(P.Para, P.Pos, R.Pos);
    return R;
}

TParaPos TKroCustomEditor::LineToPara(std::int32_t Line) const {
    if (!FParaList->WordWrap() && FParaList->LineCount() == FParaList->ParaCount())
        return {Line, 0};
    TParaPos R;
    R.Para = FParaList->LineToPara(Line, R.Pos);
    return R;
}

TParaPos TKroCustomEditor::CaretSelPos() const {
    const std::int32_t P = FCaretLineStart + FCaretPos;
    return {FCaretPara, std::min(P, FParaList->GetParaLength(FCaretPara) + 1)};
}

std::int32_t TKroCustomEditor::CaretColumn() {
    const char* Text = nullptr;
    std::int32_t Len = 0;
    FParaList->GetLine(FCaretLine, Text, Len);
    return FParaList->PosToColumn(Text, Len, FCaretPos);
}

bool TKroCustomEditor::CaretVisible() {
    if (!CaretLineVisible()) return false;
    const std::int32_t C = CaretColumn();
    return C >= FLeftCol + 1 && C <= std::int64_t(FLeftCol) + FVisibleCols;
}

void TKroCustomEditor::SetCaretFromParaPos(const TParaPos& P) {
    const TLinePos LP = ParaToLine(P);
    FCaretLine = LP.Line;
    // A caret in virtual space that an insertion in front pushed along stays within the
    // virtual space, as every move keeps it.
    const char* Text = nullptr;
    std::int32_t Len = 0;
    FParaList->GetLine(FCaretLine, Text, Len);
    FCaretPos =
        std::clamp(LP.Pos, 1, MaxCaretPos(*FParaList, Text, Len, FScrollPastEnd, FParaLengthLimit));
    const TParaPos Start = LineToPara(FCaretLine);
    FCaretPara = Start.Para;
    FCaretLineStart = Start.Pos;
}

void TKroCustomEditor::UpdateSelStartDisplay() {
    const TLinePos LP = ParaToLine(FSelStart);
    FSelStartLine = LP.Line;
    FSelStartLinePos = LP.Pos;
}

void TKroCustomEditor::UpdateSelEndDisplay() {
    const TLinePos LP = ParaToLine(FSelEnd);
    FSelEndLine = LP.Line;
    FSelEndLinePos = LP.Pos;
}

// ---------------------------------------------------------------------------------------------
// Caret movement

void TKroCustomEditor::MoveCaretBy(std::int32_t DeltaPos, std::int32_t DeltaLine, bool Extend,
                                   bool KeepRow) {
    MoveCaretByEx(DeltaPos, DeltaLine, Extend, KeepRow, false);
}

void TKroCustomEditor::MoveCaretByEx(std::int64_t DeltaPos, std::int64_t DeltaLine, bool Extend,
                                     bool KeepRow, bool Absolute) {
    std::int32_t Row = 0;
    if (CaretLineVisible())
        Row = FCaretLine - FTopLine;
    else
        KeepRow = false;

    const std::int32_t OldLine = FCaretLine;
    const std::int32_t Lines = FParaList->LineCount();
    std::int64_t NewLine = std::int64_t(FCaretLine) + DeltaLine;
    if (NewLine < 1) {
        NewLine = 1;
    } else if (NewLine > Lines) {
        NewLine = Lines;
        if (NewLine == OldLine) return; // nowhere to go: no selection change, no report
    }
    FCaretLine = static_cast<std::int32_t>(NewLine);

    const char* Text = nullptr;
    std::int32_t Len = 0;
    if (FCaretLine != OldLine && !Absolute) {
        // Carry the caret over by screen column, not by character count.
        FParaList->GetLine(OldLine, Text, Len);
        const std::int32_t Col = FParaList->PosToColumn(Text, Len, FCaretPos);
        FParaList->GetLine(FCaretLine, Text, Len);
        FCaretPos = FParaList->ColumnToPos(Text, Len, Col);
    } else {
        FParaList->GetLine(FCaretLine, Text, Len);
    }

    const std::int32_t MaxPos =
        MaxCaretPos(*FParaList, Text, Len, FScrollPastEnd, FParaLengthLimit);
    FCaretPos = Clamp32(std::int64_t(FCaretPos) + DeltaPos, 1, MaxPos);

    const TParaPos Start = LineToPara(FCaretLine);
    FCaretPara = Start.Para;
    FCaretLineStart = Start.Pos;

    if (Extend)
        ExtendSelection(true);
    else
        ResetSelection(true);

    if (!KeepRow && (FVisibleRows <= 0 || CaretVisible())) {
        PositionCaret(0);
        return;
    }

    // Bring the caret into view.
    std::int64_t T;
    if (KeepRow) {
        T = std::int64_t(FCaretLine) - Row;
    } else {
        T = FTopLine;
        if (FCaretLine < FTopLine)
            T = FCaretLine;
        else if (FCaretLine > std::int64_t(FTopLine) + FVisibleRows - 1)
            T = std::int64_t(FCaretLine) - (FVisibleRows - 1);
    }
    T = std::max<std::int64_t>(T, 1);
    T = std::max<std::int64_t>(T, std::int64_t(FCaretLine) - (FVisibleRows - 1));

    const std::int32_t C = CaretColumn();
    std::int64_t L = FLeftCol;
    if (C < FLeftCol + 1)
        L = C <= 2 ? 0 : C - 1;
    else if (C > std::int64_t(FLeftCol) + FVisibleCols)
        L = std::int64_t(C) - FVisibleCols;
    std::int64_t DeltaCols = L - FLeftCol;
    // On a later line (typing that wrapped, a line break) the view goes back to column 0, as
    // long as the caret is still in view there.
    if (L != FLeftCol && FCaretLine > OldLine && C <= FVisibleCols) DeltaCols = -FLeftCol;
    ScrollBy(static_cast<std::int32_t>(DeltaCols), static_cast<std::int32_t>(T - FTopLine));
}

void TKroCustomEditor::MoveCaretTo(std::int32_t Line, std::int32_t Pos, bool Extend) {
    MoveCaretByEx(std::int64_t(Pos) - FCaretPos, std::int64_t(Line) - FCaretLine, Extend, false,
                  true);
}

void TKroCustomEditor::MoveCaretToPara(std::int32_t Para, std::int32_t Pos, bool Extend) {
    const TLinePos LP = ParaToLine({Para, Pos});
    MoveCaretTo(LP.Line, LP.Pos, Extend);
}

void TKroCustomEditor::SetCaretPosition(std::int32_t Line, std::int32_t Pos) {
    if (Line < 1 || Line > FParaList->LineCount() || Pos < 1) throw EInvalidLineOrPara();
    MoveCaretTo(Line, Pos, false);
}

void TKroCustomEditor::CaretLeft(bool Extend) {
    const std::int32_t P = FCaretLineStart + FCaretPos;
    if (P > 1)
        MoveCaretToPara(FCaretPara, P - 1, Extend);
    else if (FCaretLine > 1 && FWrapAtLeft)
        MoveCaretTo(FCaretLine - 1, FParaList->GetLineLength(FCaretLine - 1) + 1, Extend);
}

void TKroCustomEditor::CaretRight(bool Extend) {
    const std::int32_t P = FCaretLineStart + FCaretPos;
    if (P <= FParaList->GetParaLength(FCaretPara) || FScrollPastEnd)
        MoveCaretToPara(FCaretPara, P + 1, Extend);
    else
        MoveCaretTo(FCaretLine + 1, 1, Extend);
}

void TKroCustomEditor::CaretEndOfLine(bool Extend) {
    const std::int32_t Len = FParaList->GetLineLength(FCaretLine);
    // A wrapped line that is not its paragraph's last: onto the blank it was broken at.
    if (FCaretLineStart + Len < FParaList->GetParaLength(FCaretPara))
        MoveCaretTo(FCaretLine, Len, Extend);
    else
        MoveCaretTo(FCaretLine, Len + 1, Extend);
}

void TKroCustomEditor::CaretLastPage(bool Extend) {
    const std::int32_t Last = FParaList->LineCount();
    MoveCaretTo(Last, FParaList->GetLineLength(Last) + 1, Extend);
}

void TKroCustomEditor::WordLeft(bool Extend) {
    const std::int32_t P = FCaretLineStart + FCaretPos;
    if (P > 1) {
        TParaNode* Node = FParaList->GetPara(FCaretPara);
        const char* T = Node->Text();
        const std::int32_t L = Node->Length();
        std::int32_t I = std::min(P, L + 1) - 1;
        while (I > 0 && IsWordDelimiter(T[I - 1]))
            --I;
        while (I > 0 && !IsWordDelimiter(T[I - 1]))
            --I;
        MoveCaretToPara(FCaretPara, I + 1, Extend);
    } else if (FCaretPara > 1) {
        MoveCaretTo(FCaretLine - 1, FParaList->GetLineLength(FCaretLine - 1) + 1, Extend);
    }
}

void TKroCustomEditor::WordRight(bool Extend) {
    const std::int32_t P = FCaretLineStart + FCaretPos;
    TParaNode* Node = FParaList->GetPara(FCaretPara);
    const char* T = Node->Text();
    const std::int32_t L = Node->Length();
    if (P > L) {
        MoveCaretTo(FCaretLine + 1, 1, Extend);
        return;
    }
    std::int32_t I = P;
    while (I <= L && !IsWordDelimiter(T[I - 1]))
        ++I;
    while (I <= L && IsWordDelimiter(T[I - 1]))
        ++I;
    MoveCaretToPara(FCaretPara, I, Extend);
}

void TKroCustomEditor::PositionCaret(std::int32_t Col) {
    if (FCaretLine > FParaList->LineCount()) {
        FCaretLine = FParaList->LineCount();
        const TParaPos Start = LineToPara(FCaretLine);
        FCaretPara = Start.Para;
        FCaretLineStart = Start.Pos;
    }
    if (Col == 0) Col = CaretColumn();
    if (!HasWindow()) return;
    int X = 32767;
    int Y = 32767;
    if (CaretLineVisible() && Col >= FLeftCol + 1 && Col <= std::int64_t(FLeftCol) + FVisibleCols) {
        X = (Col - FLeftCol - 1) * FCharWidth + FLeftMargin;
        Y = (FCaretLine - FTopLine) * FLineHeight;
    }
    if (FWindow->Focused()) {
        const TKroCaret* C = FCarets->Caret();
        const bool InCell = C && (C->Shape() == csBlock || C->Shape() == csHalfBlock ||
                                  C->Shape() == csHorzLine || C->CaretWidth() > 4);
        // A thin caret sits one pixel left of the cell, but never left of the window.
        FCarets->SetPosition(InCell ? X : std::max(0, X - 1), Y);
    }
    FWindow->PostMessage(KM_SHOWSTATUS, static_cast<std::uintptr_t>(Col),
                         static_cast<std::intptr_t>(FCaretLine));
}

// ---------------------------------------------------------------------------------------------
// The view

void TKroCustomEditor::ScrollBy(std::int32_t DeltaCols, std::int32_t DeltaLines) {
    const std::int32_t OldLeft = FLeftCol;
    const std::int32_t OldTop = FTopLine;
    const std::int32_t NewLeft = Clamp32(std::int64_t(FLeftCol) + DeltaCols, 0, MaxLongint);
    // Before the window exists there are no rows; the top still stays on a line of the text.
    std::int64_t MaxTop = std::int64_t(FParaList->LineCount()) - std::max(FVisibleRows, 1) + 1;
    if (MaxTop < 1) MaxTop = 1;
    const std::int32_t NewTop = Clamp32(std::int64_t(FTopLine) + DeltaLines, 1, MaxTop);
    if (NewLeft == OldLeft && NewTop == OldTop) {
        PositionCaret(0);
        return;
    }
    const bool TopChanged = NewTop != OldTop;
    FLeftCol = NewLeft;
    if (TopChanged) {
        // The new top is stored now for the repaint; its event comes last.
        FTopLine = NewTop;
        const TParaPos T = LineToPara(NewTop);
        FTopPara = T.Para;
        FTopLineStart = T.Pos;
        UpdateVScrollPos();
    }
    if (NewLeft != OldLeft) UpdateHScrollPos();

    try {
        if (HasWindow()) {
            TKroRect Area;
            Area.Left = FLeftMargin;
            Area.Top = 0;
            Area.Right = FLeftMargin + FVisibleCols * FCharWidth;
            Area.Bottom = FVisibleRows * FLineHeight;
            const std::int64_t Dx = (std::int64_t(OldLeft) - NewLeft) * FCharWidth;
            const std::int64_t Dy = (std::int64_t(OldTop) - NewTop) * FLineHeight;
            if (FRepaintPending) {
                FWindow->Update();
            } else if (std::llabs(Dx) >= Area.Width() || std::llabs(Dy) >= Area.Height() ||
                       (Dx != 0 && Dy != 0)) {
                InvalidateAll(true);
            } else {
                FWindow->ScrollRect(Area, static_cast<int>(Dx), static_cast<int>(Dy));
                if (FShowBookmarks && Dy != 0)
                    FWindow->ScrollRect(TKroRect{0, 0, FLeftMargin, Area.Bottom}, 0,
                                        static_cast<int>(Dy));
                FWindow->Update();
            }
        }
    } catch (...) {
        if (TopChanged) DoOnTopLineChanged(FTopLine);
        throw;
    }
    if (TopChanged) DoOnTopLineChanged(FTopLine);
}

void TKroCustomEditor::SetTopLine(std::int32_t Line) {
    if (Line == FTopLine) return;
    FTopLine = Line;
    DoOnTopLineChanged(Line);
}

void TKroCustomEditor::MakeTopLine(std::int32_t Line) {
    if (Line < 1 || Line > FParaList->LineCount()) throw EInvalidLineOrPara();
    if (Line != FTopLine) ScrollBy(0, Line - FTopLine);
}

void TKroCustomEditor::UpdateVScrollRange() {
    if (!HasWindow()) return;
    const std::int64_t N =
        std::max<std::int64_t>(0, std::int64_t(FParaList->LineCount()) - FVisibleRows + 1);
    // Scaled so that the range stays within what a scroll bar holds.
    FVScrollUnit = N <= MaxScrollRange ? 1 : static_cast<std::int32_t>((N / 32768) * 2);
    FVScrollMax = static_cast<std::int32_t>(N / FVScrollUnit);
    if (FVScrollMax <= 1 && FScrollBarsAlways) FVScrollMax = 2;
    if (FHasVScroll) {
        if (FVisibleRows < FParaList->LineCount() || FScrollBarsAlways)
            FWindow->SetScrollRange(TKroScrollBarKind::sbVertical, 1, FVScrollMax, true);
        else
            FWindow->SetScrollRange(TKroScrollBarKind::sbVertical, 1, 1, true);
    } else {
        FWindow->SetScrollRange(TKroScrollBarKind::sbVertical, 0, 0, false);
    }
    FVScrollRangeDirty = false;
}

void TKroCustomEditor::UpdateVScrollPos() {
    if (!HasWindow()) return;
    if (FHasVScroll)
        FWindow->SetScrollPos(TKroScrollBarKind::sbVertical, FTopLine / FVScrollUnit, true);
    FVScrollPosDirty = false;
}

void TKroCustomEditor::UpdateHScrollRange() {
    if (!HasWindow()) return;
    FHScrollMax = std::min<std::int32_t>(WordWrap() ? WrapColumn() : FParaLengthLimit, 512);
    if (FHScrollMax <= 0 && FScrollBarsAlways) FHScrollMax = 1;
    if (!FHasHScroll || (FVisibleCols >= FHScrollMax && !FScrollBarsAlways))
        FWindow->SetScrollRange(TKroScrollBarKind::sbHorizontal, 0, 0, true);
    else
        FWindow->SetScrollRange(TKroScrollBarKind::sbHorizontal, 0, FHScrollMax, true);
}

void TKroCustomEditor::UpdateHScrollPos() {
    if (!HasWindow()) return;
    if (FHasHScroll) FWindow->SetScrollPos(TKroScrollBarKind::sbHorizontal, FLeftCol, true);
    FHScrollPosDirty = false;
}

// ---------------------------------------------------------------------------------------------
// Selection

void TKroCustomEditor::ResetSelection(bool Redraw) {
    const bool Had = HasSelection();
    const std::int32_t OldFirst = FSelStartLine;
    const std::int32_t OldLast = FSelEndLine;
    const TParaPos N = CaretSelPos();
    FSelStart = FSelEnd = FSelCaretEnd = N;
    const std::int32_t Cut = FCaretLineStart + FCaretPos - N.Pos;
    FSelStartLine = FSelEndLine = FCaretLine;
    FSelStartLinePos = FSelEndLinePos = FCaretPos - Cut;
    if (Redraw && Had) InvalidateLines(OldFirst, OldLast);
}

void TKroCustomEditor::ExtendSelection(bool Redraw) {
    const TParaPos N = CaretSelPos();
    const TParaPos OldStart = FSelStart;
    const TParaPos OldEnd = FSelEnd;
    const std::int32_t OldStartLine = FSelStartLine;
    const std::int32_t OldEndLine = FSelEndLine;
    if (FSelCaretEnd == FSelStart)
        FSelStart = N;
    else
        FSelEnd = N;
    if (Before(FSelEnd, FSelStart)) std::swap(FSelStart, FSelEnd); // crossed the anchor
    FSelCaretEnd = N;
    const bool StartChanged = !(FSelStart == OldStart);
    const bool EndChanged = !(FSelEnd == OldEnd);
    if (!StartChanged && !EndChanged) return;
    if (StartChanged) UpdateSelStartDisplay();
    if (EndChanged) UpdateSelEndDisplay();
    if (!Redraw) return;
    std::int32_t Lo = FCaretLine;
    std::int32_t Hi = FCaretLine;
    auto Take = [&](std::int32_t Line) {
        Lo = std::min(Lo, Line);
        Hi = std::max(Hi, Line);
    };
    if (StartChanged) {
        Take(OldStartLine);
        Take(FSelStartLine);
    }
    if (EndChanged) {
        Take(OldEndLine);
        Take(FSelEndLine);
    }
    InvalidateLines(Lo, Hi);
}

void TKroCustomEditor::SetSelection(std::int32_t StartLine, std::int32_t StartPos,
                                    std::int32_t EndLine, std::int32_t EndPos, bool CaretAtEnd) {
    if (FParaList->ByteCount() == 0) return;
    const std::int32_t Lines = FParaList->LineCount();
    StartLine = std::clamp(StartLine, 1, Lines);
    EndLine = std::clamp(EndLine, 1, Lines);
    StartPos = std::clamp(StartPos, 1, FParaList->GetLineLength(StartLine) + 1);
    EndPos = std::clamp(EndPos, 1, FParaList->GetLineLength(EndLine) + 1);
    const TLinePos Anchor = CaretAtEnd ? TLinePos{StartLine, StartPos} : TLinePos{EndLine, EndPos};
    const TLinePos Target = CaretAtEnd ? TLinePos{EndLine, EndPos} : TLinePos{StartLine, StartPos};
    // The caret is put at the anchor (no view change, no report), the selection collapsed
    // there, and then moved to the other end extending it.
    FCaretLine = Anchor.Line;
    FCaretPos = Anchor.Pos;
    const TParaPos Start = LineToPara(FCaretLine);
    FCaretPara = Start.Para;
    FCaretLineStart = Start.Pos;
    ResetSelection(true);
    MoveCaretTo(Target.Line, Target.Pos, true);
}

void TKroCustomEditor::SetSelectionByPara(std::int32_t StartPara, std::int32_t StartPos,
                                          std::int32_t EndPara, std::int32_t EndPos,
                                          bool CaretAtEnd) {
    const TLinePos S = ParaToLine({StartPara, StartPos});
    const TLinePos E = ParaToLine({EndPara, EndPos});
    SetSelection(S.Line, S.Pos, E.Line, E.Pos, CaretAtEnd);
}

void TKroCustomEditor::SelectAll(bool CaretAtEnd) {
    // The end position is clamped to the last line's length + 1, whatever its length.
    SetSelection(1, 1, MaxLongint, MaxLongint, CaretAtEnd);
}

bool TKroCustomEditor::GetSelection(std::int32_t& StartLine, std::int32_t& StartPos,
                                    std::int32_t& EndLine, std::int32_t& EndPos) const {
    if (!HasSelection()) return false;
    StartLine = FSelStartLine;
    StartPos = FSelStartLinePos;
    EndLine = FSelEndLine;
    EndPos = FSelEndLinePos;
    return true;
}

void TKroCustomEditor::SetSelRaw(std::int32_t StartPara, std::int32_t StartPos,
                                 std::int32_t EndPara, std::int32_t EndPos) {
    FSelStart = {StartPara, StartPos};
    FSelEnd = {EndPara, EndPos};
}

// ---------------------------------------------------------------------------------------------
// Markers

void TKroCustomEditor::SetMarker(int N) {
    if (N < 0 || N > 9) return;
    FParaList->SetMarker(N, FCaretPara, FCaretLineStart + FCaretPos);
    // Every control of the ring shows the shared markers.
    ForEachInRing([](TKroCustomEditor* E) { E->InvalidateAll(false); });
}

void TKroCustomEditor::SetMarkerAt(int N, std::int32_t Line, std::int32_t Col) {
    if (N < 0 || N > 9) return;
    if (Line < 1 || Line > FParaList->LineCount() || Col < 1) throw EInvalidLineOrCol();
    // No paragraph reaches further than MaxParaLength + 1, so a larger column names the same
    // place; cut it there so that adding the line's start cannot overflow.
    FParaList->SetMarkerAtLine(N, Line, std::min(Col, MaxParaLength + 1));
    ForEachInRing([](TKroCustomEditor* E) { E->InvalidateAll(false); });
}

void TKroCustomEditor::GotoMarker(int N) {
    if (N < 0 || N > 9) return;
    const TParaPos M = FParaList->Marker(N);
    if (M.Para != 0 && M.Pos != 0) MoveCaretToPara(M.Para, M.Pos, false);
}

// ---------------------------------------------------------------------------------------------
// Edit notifications: relayed to the ring, then handled by every control

void TKroCustomEditor::TextInserted(std::int32_t Para, std::int32_t Pos, std::int32_t Count) {
    ForEachInRing([&](TKroCustomEditor* E) { E->OnTextInserted(Para, Pos, Count, E == this); });
}

void TKroCustomEditor::TextDeleted(std::int32_t Para, std::int32_t Pos, std::int32_t Count) {
    ForEachInRing([&](TKroCustomEditor* E) { E->OnTextDeleted(Para, Pos, Count, E == this); });
}

void TKroCustomEditor::ParaDeleted(std::int32_t Para) {
    ForEachInRing([&](TKroCustomEditor* E) { E->OnParaDeleted(Para, E == this); });
}

void TKroCustomEditor::ParaSplit(std::int32_t Para, std::int32_t Pos, std::int32_t Indent) {
    ForEachInRing([&](TKroCustomEditor* E) { E->OnParaSplit(Para, Pos, Indent, E == this); });
}

void TKroCustomEditor::ParasJoined(std::int32_t Para, std::int32_t Pos) {
    ForEachInRing([&](TKroCustomEditor* E) { E->OnParasJoined(Para, Pos, E == this); });
}

void TKroCustomEditor::TextReformatted() {
    ForEachInRing([](TKroCustomEditor* E) { E->OnTextReformatted(); });
}

void TKroCustomEditor::SetTopFromParaPos(const TParaPos& T, bool RecomputeStart) {
    FTopPara = T.Para;
    SetTopLine(ParaToLine(T).Line);
    if (RecomputeStart) {
        const TParaPos Start = LineToPara(FTopLine);
        FTopPara = Start.Para;
        FTopLineStart = Start.Pos;
    }
}

void TKroCustomEditor::RecomputeSelDisplay() {
    // Removing the last paragraph clamps the ends that were in it onto the one before, which
    // can put them out of order; and an end never lies past its paragraph's end.
    const std::int32_t Paras = FParaList->ParaCount();
    for (TParaPos* P : {&FSelStart, &FSelEnd, &FSelCaretEnd}) {
        P->Para = std::clamp(P->Para, 1, Paras);
        P->Pos = std::clamp(P->Pos, 1, FParaList->GetParaLength(P->Para) + 1);
    }
    if (Before(FSelEnd, FSelStart)) std::swap(FSelStart, FSelEnd);
    if (!(FSelCaretEnd == FSelStart) && !(FSelCaretEnd == FSelEnd)) FSelCaretEnd = FSelEnd;
    // Both ends: with wrapping, an edit before an end moves its display line even when its
    // paragraph position stays.
    UpdateSelStartDisplay();
    UpdateSelEndDisplay();
}

void TKroCustomEditor::NotificationDone() {
    FHScrollPosDirty = FVScrollPosDirty = FVScrollRangeDirty = true;
    InvalidateAll(false);
}

void TKroCustomEditor::OnTextInserted(std::int32_t Para, std::int32_t Pos, std::int32_t Count,
                                      bool IsSelf) {
    TParaPos T{FTopPara, FTopLineStart + 1};
    if (Para < FTopPara || (Para == FTopPara && Pos < T.Pos)) {
        TParaList::AdjustForTextInserted(T, Para, Count, Pos);
        SetTopFromParaPos(T, Para == FTopPara);
    } else if (Para == FTopPara) {
        // Re-wrapping behind the top can still move the top line's start.
        SetTopFromParaPos(T, true);
    }
    if (IsSelf) return;
    FollowOthersEdit(Para,
                     [&](TParaPos& P) { TParaList::AdjustForTextInserted(P, Para, Count, Pos); });
    NotificationDone();
}

void TKroCustomEditor::OnTextDeleted(std::int32_t Para, std::int32_t Pos, std::int32_t Count,
                                     bool IsSelf) {
    if (Para <= FTopPara) {
        TParaPos T{FTopPara, FTopLineStart + 1};
        TParaList::AdjustForTextDeleted(T, Para, Count, Pos);
        SetTopFromParaPos(T, Para == FTopPara);
    }
    if (IsSelf) return;
    FollowOthersEdit(Para,
                     [&](TParaPos& P) { TParaList::AdjustForTextDeleted(P, Para, Count, Pos); });
    NotificationDone();
}

void TKroCustomEditor::OnParaSplit(std::int32_t Para, std::int32_t Pos, std::int32_t Indent,
                                   bool IsSelf) {
    if (Para <= FTopPara) {
        TParaPos T{FTopPara, FTopLineStart + 1};
        if (IsSelf && T == TParaPos{Para, Pos}) {
            // Own line break at the top: the new line shows in the top row; only the top's
            // paragraph form follows the text.
            const TParaPos Start = LineToPara(FTopLine);
            FTopPara = Start.Para;
            FTopLineStart = Start.Pos;
        } else {
            TParaList::AdjustForParaSplit(T, Para, Indent, Pos);
            SetTopFromParaPos(T, Para == FTopPara);
        }
    }
    if (IsSelf) return;
    FollowOthersEdit(Para,
                     [&](TParaPos& P) { TParaList::AdjustForParaSplit(P, Para, Indent, Pos); });
    NotificationDone();
}

void TKroCustomEditor::OnParaDeleted(std::int32_t Para, bool IsSelf) {
    if (Para <= FTopPara) {
        // A deleted top paragraph gives the top row to the paragraph that moves up (or, when
        // it was the last, to the one before).
        TParaPos T{FTopPara, FTopLineStart + 1};
        FParaList->AdjustForParaDeleted(T, Para);
        SetTopFromParaPos(T, Para == FTopPara);
    }
    if (IsSelf) return;
    const bool BothInDeleted = FSelStart.Para == Para && FSelEnd.Para == Para;
    FollowOthersEdit(Para, [&](TParaPos& P) { FParaList->AdjustForParaDeleted(P, Para); });
    if (BothInDeleted) ResetSelection(false);
    NotificationDone();
}

void TKroCustomEditor::OnParasJoined(std::int32_t Para, std::int32_t Pos, bool IsSelf) {
    if (Para <= FTopPara) {
        TParaPos T{FTopPara, FTopLineStart + 1};
        const bool InTop = Para == FTopPara || Para + 1 == FTopPara;
        TParaList::AdjustMarkerForJoin(T, Para, Pos);
        SetTopFromParaPos(T, InTop);
    }
    if (IsSelf) return;
    // In the receiving paragraph positions stay; re-wrapping may still move the caret's line.
    FollowOthersEdit(Para, [&](TParaPos& P) { TParaList::AdjustMarkerForJoin(P, Para, Pos); });
    NotificationDone();
}

void TKroCustomEditor::OnTextReformatted() {
    // Wrapping rules out virtual space and forces WrapAtLeft in every control showing the
    // text, not only in the one whose setting switched it on: virtual space on a wrapped line
    // would name a character of a later line.
    if (WordWrap()) {
        FWrapAtLeft = true;
        FScrollPastEnd = false;
    }
    // The caret keeps its paragraph position.
    const TLinePos LP = ParaToLine({FCaretPara, FCaretLineStart + FCaretPos});
    FCaretLine = LP.Line;
    FCaretPos = LP.Pos;
    if (WordWrap()) FCaretPos = std::min(FCaretPos, FParaList->GetLineLength(FCaretLine) + 1);
    const TParaPos Start = LineToPara(FCaretLine);
    FCaretPara = Start.Para;
    FCaretLineStart = Start.Pos;
    // The top keeps its text.
    SetTopLine(ParaToLine({FTopPara, FTopLineStart + 1}).Line);
    const TParaPos Top = LineToPara(FTopLine);
    FTopPara = Top.Para;
    FTopLineStart = Top.Pos;
    UpdateSelStartDisplay();
    UpdateSelEndDisplay();
    UpdateHScrollRange();
    FLeftCol = std::min(FLeftCol, std::max(0, FHScrollMax));
    // Without a bar to scroll back with (every wrapped line fits, or there is none), a view
    // left scrolled would show nothing of the text: it returns to column 1, as on a resize.
    if (!FHasHScroll || (FVisibleCols >= FHScrollMax && !FScrollBarsAlways)) FLeftCol = 0;
    FullRefresh(true);
}
