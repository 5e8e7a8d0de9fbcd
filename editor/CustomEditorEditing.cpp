// The editor control's editing operations: typing, tabs, new lines, the deletions, inserting
// and appending text, and undo and redo with the grouping of their records.
#include "CustomEditor.h"

#include "TextRoutines.h"

#include <algorithm>
#include <string>

namespace {

// The steps of one operation that form one undo group. End() (also run on every way out,
// exceptions included) restores the state Begin() saved; without a Begin() it closes whatever
// group a caller left open, as every typing operation does at its end.
class TUndoGroup {
public:
    explicit TUndoGroup(TUndoBuffer& Undo) : FUndo(Undo) {}
    ~TUndoGroup() { End(); }
    TUndoGroup(const TUndoGroup&) = delete;
    TUndoGroup& operator=(const TUndoGroup&) = delete;

    void Begin() {
        if (!FBegun) FUndo.BeginGroup(FSaved);
        FBegun = true;
    }
    void End() {
        if (FEnded) return;
        FEnded = true;
        FUndo.EndGroup(FSaved);
    }

private:
    TUndoBuffer& FUndo;
    bool FSaved = false;
    bool FBegun = false;
    bool FEnded = false;
};

// Bytes an insertion of Count characters at Pos adds to a paragraph of Len characters,
// including the spaces that fill virtual space in front of it.
std::int32_t Growth(std::int32_t Len, std::int32_t Pos, std::int32_t Count) {
    const std::int64_t G = std::max<std::int64_t>(Len, std::int64_t(Pos) - 1) + Count - Len;
    return static_cast<std::int32_t>(std::min<std::int64_t>(G, MaxLongint));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Typing

void TKroCustomEditor::InsertChar(char Ch) {
    if (ReadOnly()) return;
    TUndoGroup Group(FParaList->UndoBuffer());
    bool Insert = FInsertMode;
    if (HasSelection()) {
        // The typed character replaces the selection, whatever the mode.
        Group.Begin();
        DeleteSelection();
        Insert = true;
    }
    const std::int32_t Para = FCaretPara;
    const std::int32_t P = FCaretLineStart + FCaretPos;
    const std::int32_t Len = FParaList->GetParaLength(Para);
    TResultCode R;
    if (Insert || P > Len) {
        R = FParaList->CheckLimits(Para, 0, Growth(Len, P, 1));
        if (R == erOK) R = FParaList->InsertText(this, Para, 1, &Ch, P);
    } else {
        R = FParaList->ReplaceText(this, Para, 1, &Ch, 1, P);
    }
    Group.End();
    if (R != erOK) {
        DoOnError(R);
        return;
    }
    const std::int32_t OldLine = FCaretLine;
    InvalidateLines(FParaList->FirstDirtyLine(), FParaList->LastDirtyLine());
    if (FParaList->LastDirtyLine() == MaxLongint) UpdateVScrollRange();
    MoveCaretToPara(Para, P + 1, false);
    // Typing that wrapped onto the next line shows that line from its start.
    if (FCaretLine > OldLine && FLeftCol != 0) ScrollBy(-FLeftCol, 0);
    if (HasWindow()) FWindow->Update();
}

void TKroCustomEditor::InsertTab() {
    if (ReadOnly()) return;
    if (HasSelection()) DeleteSelection();
    const std::int32_t Tab = std::max<std::int32_t>(1, TabSize());
    // Blanks from the caret's position in its line to the next multiple of the tab size + 1.
    auto FixedBlanks = [&] { return Tab * ((FCaretPos - 1) / Tab + 1) + 1 - FCaretPos; };
    switch (FTabType) {
    case ttReal:
        InsertChar('\t');
        break;
    case ttFixed:
        InsertBlanks(FixedBlanks());
        break;
    case ttSmart: {
        // Under (or over) the next word start of the neighbouring line, measured in display
        // columns so that tabs before the caret do not shift the target.
        const std::int32_t Col = CaretColumn();
        std::int32_t T = 0;
        if (FCaretPara != 1) {
            T = NextWordStart(FCaretLine - 1, Col);
            if (T == 0 && FCaretLine != FParaList->LineCount())
                T = NextWordStart(FCaretLine + 1, Col);
        }
        if (T > Col)
            InsertBlanks(T - Col);
        else
            InsertBlanks(FixedBlanks());
        break;
    }
    }
}

std::int32_t TKroCustomEditor::NextWordStart(std::int32_t Line, std::int32_t Col) {
    if (Line < 1 || Line > FParaList->LineCount()) return 0;
    std::string S;
    const std::int32_t W = GetPrintableLine(Line, S, MaxLongint);
    if (W == 0) return 0;
    if (Col > W) return Col;
    std::int32_t I = std::max(Col, 1);
    if (S[I - 1] != ' ')
        while (I <= W && S[I - 1] != ' ')
            ++I;
    while (I <= W && S[I - 1] == ' ')
        ++I;
    return I;
}

void TKroCustomEditor::InsertBlanks(std::int32_t N) {
    if (ReadOnly() || N <= 0) return;
    TUndoGroup Group(FParaList->UndoBuffer());
    if (HasSelection()) {
        Group.Begin();
        DeleteSelection();
    } else if (!FInsertMode) {
        // Overwriting: the characters the blanks take the place of go first.
        Group.Begin();
        FParaList->DeleteText(this, FCaretPara, N, FCaretLineStart + FCaretPos);
        InvalidateLines(FParaList->FirstDirtyLine(), FParaList->LastDirtyLine());
        if (FParaList->LastDirtyLine() == MaxLongint) UpdateVScrollRange();
    }
    const std::int32_t Para = FCaretPara;
    const std::int32_t P = FCaretLineStart + FCaretPos;
    TResultCode R = FParaList->CheckLimits(Para, 0, Growth(FParaList->GetParaLength(Para), P, N));
    if (R == erOK) {
        const std::string Blanks(static_cast<std::size_t>(N), ' ');
        R = FParaList->InsertText(this, Para, N, Blanks.data(), P);
    }
    if (R == erOK) {
        InvalidateLines(FParaList->FirstDirtyLine(), FParaList->LastDirtyLine());
        if (FParaList->LastDirtyLine() == MaxLongint) UpdateVScrollRange();
        MoveCaretToPara(Para, P + N, false);
        Group.End();
        return;
    }
    Group.End();
    // What was overwritten stays deleted (one undo brings it back); the caret keeps its place.
    MoveCaretToPara(Para, P, false);
    DoOnError(R);
}

// ---------------------------------------------------------------------------------------------
// New line

void TKroCustomEditor::NewLine(bool Split, bool MoveCaret) {
    // A read-only control only moves the caret, as a new line in overwrite mode does.
    if (ReadOnly()) Split = false;
    if (HasSelection() && !ReadOnly()) {
        TUndoGroup Group(FParaList->UndoBuffer());
        Group.Begin();
        DeleteSelection();
    }
    std::int32_t Indent = 0;
    if (Split) {
        const std::int32_t Para = FCaretPara;
        const std::int32_t P = FCaretLineStart + FCaretPos;
        const std::int32_t Len = FParaList->GetParaLength(Para);
        if (FAutoIndent) {
            // The width of the blanks that start the caret's line, up to and including the
            // character under the caret.
            const char* Text = nullptr;
            std::int32_t LineLen = 0;
            FParaList->GetLine(FCaretLine, Text, LineLen);
            const std::int32_t Upto = std::min(FCaretPos, LineLen);
            std::int32_t K = 0;
            while (K < Upto && IsBlank(Text[K]))
                ++K;
            Indent = FParaList->PosToColumn(Text, LineLen, K + 1) - 1;
        }
        const int IndentTabSize = FTabType == ttReal ? TabSize() : 0;
        TResultCode R = FParaList->CheckLimits(0, 1, Indent + 2);
        if (R == erOK) R = FParaList->SplitPara(this, Para, P, IndentTabSize, Indent, true);
        if (R != erOK) {
            DoOnError(R);
            return;
        }
        // At the start of a paragraph an empty one goes in front and nothing is indented: the
        // caret goes to the start of the moved text.
        if (P <= 1 || Len == 0) Indent = 0;
        UpdateVScrollRange();
        InvalidateAll(true);
    }
    if (!MoveCaret) return;
    if (!Split && FCaretPara >= FParaList->ParaCount()) {
        const std::int32_t Last = FParaList->LineCount();
        MoveCaretTo(Last, FParaList->GetLineLength(Last) + 1, false);
    } else {
        MoveCaretToPara(FCaretPara + 1, Indent + 1, false);
    }
}

// ---------------------------------------------------------------------------------------------
// Deletions

void TKroCustomEditor::DeleteSelection() {
    if (ReadOnly()) return;
    const std::int32_t Para = FCaretPara;
    const std::int32_t P = FCaretLineStart + FCaretPos;
    if (HasSelection()) {
        const TParaPos S = FSelStart;
        const TParaPos E = FSelEnd;
        TResultCode R = erOK;
        if (S.Para == E.Para) {
            FParaList->DeleteText(this, S.Para, E.Pos - S.Pos, S.Pos);
            InvalidateLines(FParaList->FirstDirtyLine(), FParaList->LastDirtyLine());
            // Fewer wrapped lines make a shorter document.
            if (FParaList->LastDirtyLine() == MaxLongint) UpdateVScrollRange();
        } else {
            R = FParaList->DeleteBlock(this, S.Para, S.Pos, E.Para, E.Pos);
            UpdateVScrollRange();
            InvalidateAll(false);
        }
        MoveCaretToPara(S.Para, S.Pos, false);
        // A block whose two remaining parts could not be joined: what was deleted stays
        // deleted (one undo brings it back).
        if (R != erOK) DoOnError(R);
    } else if (P > FParaList->GetParaLength(Para)) {
        // At (or past) the end of the paragraph the next one is joined on.
        const TResultCode R = FParaList->JoinParas(this, Para, P);
        if (R != erOK) {
            DoOnError(R);
            return;
        }
        UpdateVScrollRange();
        InvalidateAll(false);
        MoveCaretToPara(Para, P, false);
    } else {
        FParaList->DeleteText(this, Para, 1, P);
        InvalidateLines(FParaList->FirstDirtyLine(), FParaList->LastDirtyLine());
        if (FParaList->LastDirtyLine() == MaxLongint) UpdateVScrollRange();
        MoveCaretToPara(Para, P, false);
    }
    if (!FParaList->UndoBuffer().InGroup() && HasWindow()) FWindow->Update();
}

void TKroCustomEditor::DeleteCharLeft() {
    if (ReadOnly()) return;
    if (!HasSelection()) {
        if (FCaretLine == 1 && FCaretPos == 1) return;
        const TParaPos Before = CaretParaPos();
        // In virtual space past the end of the paragraph there is nothing to the left to
        // delete: the caret only moves.
        const bool InVirtualSpace = Before.Pos > FParaList->GetParaLength(Before.Para) + 1;
        CaretLeft(false);
        // A caret that could not move (the start of a line with WrapAtLeft off) deletes
        // nothing: the character to its right is not the one to the left.
        if (InVirtualSpace || CaretParaPos() == Before) return;
    }
    DeleteSelection();
}

void TKroCustomEditor::DeleteToEndOfLine() {
    if (ReadOnly()) return;
    const std::int32_t Len = FParaList->GetLineLength(FCaretLine);
    if (Len == 0 || Len < FCaretPos) {
        ResetSelection(true);
        PositionCaret(0);
        return;
    }
    SetSelRaw(FCaretPara, FCaretLineStart + FCaretPos, FCaretPara, FCaretLineStart + Len + 1);
    DeleteSelection();
}

void TKroCustomEditor::DeleteLine() {
    if (ReadOnly()) return;
    TUndoGroup Group(FParaList->UndoBuffer());
    Group.Begin();
    if (FCaretLine >= FParaList->LineCount()) {
        // The last line: its text goes, the (empty) line stays.
        const std::int32_t Len = FParaList->GetLineLength(FCaretLine);
        if (Len == 0) return;
        SetSelRaw(FCaretPara, FCaretLineStart + 1, FCaretPara, FCaretLineStart + Len + 1);
    } else {
        const TParaPos Next = LineToPara(FCaretLine + 1);
        SetSelRaw(FCaretPara, FCaretLineStart + 1, Next.Para, Next.Pos + 1);
    }
    DeleteSelection();
}

void TKroCustomEditor::DeleteWord() {
    if (ReadOnly()) return;
    if (HasSelection()) {
        DeleteSelection();
        return;
    }
    // The word from the caret and the blanks after it; on other punctuation nothing is
    // selected and the one character at the caret goes.
    std::int32_t Len = 0;
    const char* Text = GetPara(FCaretPara, Len);
    const std::int32_t P = FCaretLineStart + FCaretPos;
    std::int32_t E = P;
    while (E <= Len && !IsWordDelimiter(Text[E - 1]))
        ++E;
    while (E <= Len && IsBlank(Text[E - 1]))
        ++E;
    if (E > P) SetSelRaw(FCaretPara, P, FCaretPara, E);
    DeleteSelection();
}

// ---------------------------------------------------------------------------------------------
// Inserting and appending text

TResultCode TKroCustomEditor::InsertString(std::string_view S) {
    if (ReadOnly()) return erOK;
    TUndoGroup Group(FParaList->UndoBuffer());
    if (HasSelection()) {
        Group.Begin();
        DeleteSelection();
    }
    if (S.empty()) return erOK;
    TParaPos At{FCaretPara, FCaretLineStart + FCaretPos};
    const auto Len = static_cast<std::int32_t>(std::min<std::size_t>(S.size(), MaxLongint));
    const TResultCode R = FParaList->InsertTextBlock(this, At, S.data(), Len);
    // Also after a failure: what was inserted before it stays, and the caret follows it.
    UpdateVScrollRange();
    InvalidateLines(FParaList->FirstDirtyLine(), FParaList->LastDirtyLine());
    MoveCaretToPara(At.Para, At.Pos, false);
    if (HasWindow()) FWindow->Update();
    Group.End();
    return R;
}

TResultCode TKroCustomEditor::AppendParas(std::string_view S, std::int32_t& Pieces, bool FromFile) {
    Pieces = 0;
    auto Len = static_cast<std::int32_t>(std::min<std::size_t>(S.size(), MaxLongint - 2));
    const char* Text = S.data();
    // Blanks that end the line are dropped as a whole, before any split, so that the blank a
    // long line is split after is never taken for one.
    if (FTrimWhiteSpace)
        while (Len > 0 && IsBlank(Text[Len - 1]))
            --Len;
    const std::int32_t Limit = std::min(FParaLengthLimit, MaxParaLength);
    TResultCode R = FParaList->CheckLimits(0, 1, Len + 2);
    while (R == erOK) {
        std::int32_t Piece = Len > Limit ? BreakLongText(Text, Limit) : Len;
        // With trimming, a piece of a file's line must not end in the blanks it was split at:
        // saved as a line of its own, they would be trimmed when the file is read again. They
        // open the next piece instead. When the only blanks to split at are the line's
        // indentation, the piece is cut at the limit, so the indentation keeps its text.
        if (FromFile && FTrimWhiteSpace && Piece < Len) {
            std::int32_t Kept = Piece;
            while (Kept > 0 && IsBlank(Text[Kept - 1]))
                --Kept;
            Piece = Kept > 0 ? Kept : std::min(Len, Limit);
        }
        FParaList->AppendPara(Text, Piece, false);
        ++Pieces;
        Text += Piece;
        Len -= Piece;
        if (Len == 0) break;
        R = FParaList->CheckLimits(0, 1, Len + 2);
    }
    return R;
}

TResultCode TKroCustomEditor::AppendText(std::string_view S) {
    if (ReadOnly()) return erOK;
    const std::int32_t Lines = FParaList->LineCount();
    // The new paragraphs go in front of the last one, from its first line on.
    const std::int32_t At = ParaToLine({FParaList->ParaCount(), 1}).Line;
    std::int32_t Pieces = 0;
    const TResultCode R = AppendParas(S, Pieces);
    if (FParaList->LineCount() != Lines) {
        // The scroll range follows every added line, and the window shows them when they go
        // in within its rows (also when the text first outgrows the window).
        UpdateVScrollRange();
        if (At <= std::int64_t(FTopLine) + FVisibleRows - 1) InvalidateAll(true);
    }
    return R;
}

// ---------------------------------------------------------------------------------------------
// Undo and redo

bool TKroCustomEditor::CanUndo() const {
    return !ReadOnly() && FParaList->UndoCount() != 0;
}

bool TKroCustomEditor::CanRedo() const {
    return !ReadOnly() && FParaList->RedoCount() != 0;
}

void TKroCustomEditor::CaretAfterReplay(std::int32_t Para, std::int32_t Pos) {
    Para = std::clamp(Para, 1, FParaList->ParaCount());
    if (!FScrollPastEnd) Pos = std::min(Pos, FParaList->GetParaLength(Para) + 1);
    SetCaretFromParaPos({Para, std::max(Pos, 1)});
    // The replay may have added or removed lines; the view and the scroll bars follow, and
    // the caret is placed again (which reports the status).
    UpdateVScrollRange();
    ScrollBy(0, 0);
    ResetSelection(false);
    InvalidateAll(false);
    if (!CaretVisible()) MoveCaretTo(FCaretLine, FCaretPos, false);
}

void TKroCustomEditor::Undo() {
    if (!CanUndo()) {
        if (IKroPlatform* P = KroPlatform()) P->Beep();
        return;
    }
    std::int32_t Para = FCaretPara;
    std::int32_t Pos = FCaretLineStart + FCaretPos;
    FParaList->Undo(this, Para, Pos);
    CaretAfterReplay(Para, Pos);
}

void TKroCustomEditor::Redo() {
    if (!CanRedo()) {
        if (IKroPlatform* P = KroPlatform()) P->Beep();
        return;
    }
    std::int32_t Para = FCaretPara;
    std::int32_t Pos = FCaretLineStart + FCaretPos;
    FParaList->Redo(this, Para, Pos);
    CaretAfterReplay(Para, Pos);
}
