// The paragraph list: look-ups through a remembered cursor, edits with their totals, limits,
// markers, undo records and notifications, and the undo/redo replay.
#include "ParaList.h"

#include "TextRoutines.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

// Sets a flag for the lifetime of a scope, restoring the previous value on every path.
class TFlagScope {
public:
    TFlagScope(bool& Flag, bool Value) : FFlag(Flag), FSaved(Flag) { Flag = Value; }
    ~TFlagScope() { FFlag = FSaved; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FSaved;
};

// Keeps an undo group open for the lifetime of a scope.
class TGroupScope {
public:
    explicit TGroupScope(TUndoBuffer& Undo) : FUndo(Undo) { FUndo.BeginGroup(FSaved); }
    ~TGroupScope() { FUndo.EndGroup(FSaved); }
    TGroupScope(const TGroupScope&) = delete;
    TGroupScope& operator=(const TGroupScope&) = delete;

private:
    TUndoBuffer& FUndo;
    bool FSaved = false;
};

} // namespace

TParaList::TParaList(IParaListClient* Owner, bool WordWrap, uint16_t UndoBufferSize)
    : FOwner(Owner), FPool(std::make_unique<TParaPool>()), FWordWrap(WordWrap) {
    FFirst = FLast = TParaNode::Create(*FPool, "", 0, NoWrapColumn, FTabSize);
    FCursor = {FFirst, 1, 1, 1};
    SetUndoBufferSize(UndoBufferSize);
}

TParaList::~TParaList() {
    FUndo.reset(); // releases the paragraphs its records own
    // The paragraphs hold nothing but pool storage: the pool takes them all at once.
}

// ---- settings ----

void TParaList::SetTabSize(uint8_t N) {
    if (N == FTabSize) return;
    FTabSize = N;
    if (FWordWrap) {
        Rewrap();
        if (FOwner) FOwner->TextReformatted();
        return;
    }
    // Unwrapped text breaks only where tabs push it to the unwrapped column; only paragraphs
    // long enough to get there need a look.
    bool Changed = false;
    for (TParaNode* P = FFirst; P; P = P->FNext) {
        if (static_cast<int32_t>(P->FLength) * std::max<int>(N, 1) < UnwrappedColumn &&
            P->FLineCount == 1)
            continue;
        int32_t Old = P->FLineCount;
        P->Recalc(UnwrappedColumn, FTabSize, FPool.get());
        if (P->FLineCount != Old) {
            FLineCount += P->FLineCount - Old;
            Changed = true;
        }
    }
    if (Changed) {
        ResetCursor();
        RebuildMarks();
        if (FOwner) FOwner->TextReformatted();
    }
}

void TParaList::SetWordWrap(bool B) {
    if (B == FWordWrap) return;
    FWordWrap = B;
    Rewrap();
    if (FOwner) FOwner->TextReformatted();
}

void TParaList::SetWrapColumn(int32_t N) {
    if (N == FWrapColumn || N <= 0) return;
    FWrapColumn = N;
    if (FWordWrap) {
        Rewrap();
        if (FOwner) FOwner->TextReformatted();
    }
}

void TParaList::SetUndoBufferSize(uint16_t N) {
    FUndo.reset();
    FUndo = std::make_unique<TUndoBuffer>(N);
    // The paragraphs its records own go back to this list's pool.
    FUndo->SetNodeDisposer(
        [Pool = FPool.get()](TParaNode* Node) { TParaNode::Destroy(Node, *Pool); });
}

void TParaList::SetMarker(int N, int32_t Para, int32_t Pos) {
    if (N >= 0 && N < MarkerCount) FMarkers[N] = {Para, Pos};
}

void TParaList::SetMarkerAtLine(int N, int32_t Line, int32_t Pos) {
    if (N < 0 || N >= MarkerCount) return;
    int32_t Start;
    int32_t Para = LineToPara(Line, Start);
    FMarkers[N] = {Para, Pos + Start};
}

TParaPos TParaList::Marker(int N) const {
    return N >= 0 && N < MarkerCount ? FMarkers[N] : TParaPos{};
}

void TParaList::SetModified(bool B) {
    FModified = B;
    if (!B) FUndo->MarkAllModified();
}

int32_t TParaList::EffectiveParaLengthLimit() const {
    return std::min(FParaLengthLimit, MaxParaLength);
}

// ---- look-ups ----

void TParaList::ResetCursor() {
    FCursor = {FFirst, 1, 1, 1};
}

void TParaList::ShiftMarks(int32_t Para, int32_t DPara, int32_t DLine) {
    auto It = std::lower_bound(FMarks.begin(), FMarks.end(), Para,
                               [](const TMark& M, int32_t P) { return M.Para < P; });
    for (; It != FMarks.end(); ++It) {
        It->Para += DPara;
        It->Line += DLine;
    }
}

const TParaList::TMark* TParaList::MarkNearPara(int32_t Para) const {
    auto It = std::lower_bound(FMarks.begin(), FMarks.end(), Para,
                               [](const TMark& M, int32_t P) { return M.Para < P; });
    if (It == FMarks.end()) return FMarks.empty() ? nullptr : &FMarks.back();
    if (It != FMarks.begin() && Para - (It - 1)->Para < It->Para - Para) --It;
    return &*It;
}

const TParaList::TMark* TParaList::MarkNearLine(int32_t Line) const {
    auto It = std::lower_bound(FMarks.begin(), FMarks.end(), Line,
                               [](const TMark& M, int32_t L) { return M.Line < L; });
    if (It == FMarks.end()) return FMarks.empty() ? nullptr : &FMarks.back();
    if (It != FMarks.begin() && Line - (It - 1)->Line < It->Line - Line) --It;
    return &*It;
}

void TParaList::RebuildMarks() {
    FMarks.clear();
    int32_t Para = 1, Line = 1;
    for (TParaNode* N = FFirst; N; N = N->FNext, ++Para) {
        if (Para % MarkSpacing == 0) FMarks.push_back({N, Para, Line});
        Line += N->LineCount();
    }
}

TParaNode* TParaList::GetPara(int32_t Para) {
    if (Para < 1 || Para > FParaCount) return nullptr;
    FCursor.Line = FirstLineOfCursor();
    FCursor.LineInPara = 1;
    if (Para == FCursor.Para) return FCursor.Node;
    TParaNode* N;
    int32_t Line;
    if (Para == 1) {
        N = FFirst;
        Line = 1;
    } else if (Para == FParaCount) {
        N = FLast;
        Line = FLineCount - FLast->LineCount() + 1;
    } else if (Para == FCursor.Para + 1) {
        Line = FCursor.Line + FCursor.Node->LineCount();
        N = FCursor.Node->FNext;
    } else if (Para == FCursor.Para - 1) {
        N = FCursor.Node->FPrev;
        Line = FCursor.Line - N->LineCount();
    } else {
        int32_t FromCursor = std::abs(Para - FCursor.Para);
        int32_t P;
        if (FromCursor >= Para - 1 && FParaCount - Para >= Para - 1) {
            N = FFirst;
            P = 1;
            Line = 1;
        } else if (FromCursor < FParaCount - Para) {
            N = FCursor.Node;
            P = FCursor.Para;
            Line = FCursor.Line;
        } else {
            N = FLast;
            P = FParaCount;
            Line = FLineCount - FLast->LineCount() + 1;
        }
        if (const TMark* M = MarkNearPara(Para);
            M && std::abs(Para - M->Para) < std::abs(Para - P)) {
            N = M->Node;
            P = M->Para;
            Line = M->Line;
        }
        while (P < Para) {
            Line += N->LineCount();
            N = N->FNext;
            ++P;
        }
        while (P > Para) {
            N = N->FPrev;
            Line -= N->LineCount();
            --P;
        }
    }
    FCursor = {N, Para, Line, 1};
    return N;
}

int32_t TParaList::GetParaLength(int32_t Para) {
    TParaNode* N = GetPara(Para);
    return N ? N->Length() : 0;
}

TParaNode* TParaList::GetLine(int32_t Line, const char*& Text, int32_t& Len) {
    if (Line < 1 || Line > FLineCount) {
        Text = "";
        Len = 0;
        return nullptr;
    }
    TCursor C = FCursor;
    if (Line == C.Line) {
        // already there
    } else if (Line == 1) {
        C = {FFirst, 1, 1, 1};
    } else if (Line == FLineCount) {
        C = {FLast, FParaCount, FLineCount, FLast->LineCount()};
    } else if (Line == C.Line + 1) {
        if (C.LineInPara < C.Node->LineCount())
            C = {C.Node, C.Para, Line, C.LineInPara + 1};
        else
            C = {C.Node->FNext, C.Para + 1, Line, 1};
    } else if (Line == C.Line - 1) {
        if (C.LineInPara > 1)
            C = {C.Node, C.Para, Line, C.LineInPara - 1};
        else
            C = {C.Node->FPrev, C.Para - 1, Line, C.Node->FPrev->LineCount()};
    } else {
        int32_t FromCursor = std::abs(Line - C.Line);
        TParaNode* N;
        int32_t P, First; // paragraph and its first line
        if (FromCursor >= Line - 1 && FLineCount - Line >= Line - 1) {
            N = FFirst;
            P = 1;
            First = 1;
        } else if (FromCursor < FLineCount - Line) {
            N = C.Node;
            P = C.Para;
            First = C.Line - C.LineInPara + 1;
        } else {
            N = FLast;
            P = FParaCount;
            First = FLineCount - FLast->LineCount() + 1;
        }
        if (const TMark* M = MarkNearLine(Line);
            M && std::abs(Line - M->Line) < std::abs(Line - First)) {
            N = M->Node;
            P = M->Para;
            First = M->Line;
        }
        while (Line < First) {
            N = N->FPrev;
            --P;
            First -= N->LineCount();
        }
        while (Line >= First + N->LineCount()) {
            First += N->LineCount();
            N = N->FNext;
            ++P;
        }
        C = {N, P, Line, Line - First + 1};
    }
    FCursor = C;
    Text = C.Node->LineText(C.LineInPara, Len);
    return C.Node;
}

int32_t TParaList::GetLineLength(int32_t Line) {
    const char* T;
    int32_t Len;
    GetLine(Line, T, Len);
    return Len;
}

int32_t TParaList::GetLineWidth(int32_t Line) {
    const char* T;
    int32_t Len;
    GetLine(Line, T, Len);
    return TextWidth(T, Len);
}

int32_t TParaList::ParaToLine(int32_t Para, int32_t Pos, int32_t& LinePos) {
    Para = std::clamp(Para, 1, FParaCount);
    TParaNode* N = GetPara(Para);
    int32_t K = N->PosToLine(Pos, LinePos);
    return FCursor.Line + K - 1;
}

int32_t TParaList::LineToPara(int32_t Line, int32_t& LineStart) {
    LineStart = 0;
    if (Line < 1) return Line;
    if (Line > FLineCount) return FParaCount + (Line - FLineCount);
    const char* T;
    int32_t Len;
    TParaNode* N = GetLine(Line, T, Len);
    LineStart = N->LineStart(FCursor.LineInPara - 1);
    return FCursor.Para;
}

int32_t TParaList::TextWidth(const char* Text, int32_t Len) const {
    return HasTab(Text, Len) ? ::TextWidth(Text, Len, FTabSize) : Len;
}

int32_t TParaList::PosToColumn(const char* Text, int32_t Len, int32_t Pos) const {
    if (Pos <= 1 || Len <= 0) return std::max(Pos, 1);
    if (Pos <= Len) return TextWidth(Text, Pos - 1) + 1;
    return TextWidth(Text, Len) + (Pos - Len);
}

int32_t TParaList::ColumnToPos(const char* Text, int32_t Len, int32_t Col) const {
    if (Col <= 1 || Len <= 0) return Col;
    if (!HasTab(Text, Len)) return Col;
    // Past the end of the line, virtual space maps one column to one position.
    int32_t Width = ::TextWidth(Text, Len, FTabSize);
    if (Width < Col) return Len + Col - Width;
    return ColumnToOffset(Text, Len, Col, FTabSize);
}

TResultCode TParaList::CheckLimits(int32_t Para, int32_t NewParas, int32_t NewBytes) {
    if (NewParas > 0 || Para > FParaLimit) {
        int64_t Allowed = FParaLimit;
        if (Para <= FParaLimit && FLast->Length() == 0 && FParaLimit != MaxLongint)
            Allowed = int64_t(FParaLimit) + 1; // an empty last paragraph does not count
        if (int64_t(FParaCount) + NewParas > Allowed) return erTooManyParas;
    }
    if (int64_t(FByteCount) + NewBytes > FByteLimit) return erTextTooLarge;
    if (Para != 0 && NewParas == 0) {
        TParaNode* N = GetPara(Para);
        if (N && int64_t(N->Length()) + NewBytes > EffectiveParaLengthLimit()) return erParaTooLong;
    }
    return erOK;
}

// ---- edits ----

void TParaList::Record(TUndoKind Kind, int32_t Para, int32_t Pos, const char* Data, int32_t Len) {
    if (!FInUndoRedo) FUndo->Add(Kind, FModified, Para, Pos, Data, static_cast<uint16_t>(Len));
}

void TParaList::MarkUnchanged(TParaNode* Node, int32_t Pos) {
    int32_t InLine;
    FFirstDirtyLine = FLastDirtyLine =
        FCursor.Line + Node->PosToLine(std::min<int32_t>(Pos, Node->Length() + 1), InLine) - 1;
}

void TParaList::EditTail(IParaListClient* Editor, int32_t Para, int32_t FirstLine, int32_t OldLines,
                         TParaNode* Node, int32_t OldLength, int32_t First, int32_t Last) {
    (void)Editor;
    FByteCount += Node->Length() - OldLength;
    FLineCount += Node->LineCount() - OldLines;
    if (Node->LineCount() != OldLines) ShiftMarks(Para + 1, 0, Node->LineCount() - OldLines);
    FFirstDirtyLine = FirstLine + First - 1;
    FLastDirtyLine = Node->LineCount() == OldLines ? FirstLine + Last - 1 : MaxLongint;
    FModified = true;
}

TResultCode TParaList::InsertText(IParaListClient* Editor, int32_t Para, int32_t Len,
                                  const char* Text, int32_t Pos) {
    TResultCode R = InsertTextChecked(Editor, Para, Len, Text, Pos, !FInUndoRedo);
    DebugCheck();
    return R;
}

TResultCode TParaList::InsertTextChecked(IParaListClient* Editor, int32_t Para, int32_t Len,
                                         const char* Text, int32_t Pos, bool Check) {
    TParaNode* N = GetPara(Para);
    if (!N) return erOK;
    if (Pos < 1) Pos = 1;
    if (Len <= 0) {
        MarkUnchanged(N, Pos);
        return erOK;
    }
    const int32_t L = N->Length(), Lines = N->LineCount(), FirstLine = FCursor.Line;
    if (Check) {
        TResultCode R = CheckLimits(Para, 0, Len);
        if (R) return R;
    }
    if (std::max(L, Pos - 1) + int64_t(Len) > MaxParaLength) return erParaTooLong;
    int32_t First, Last;
    TResultCode R =
        N->InsertText(Text, Len, Pos, EffectiveWrapColumn(), FTabSize, First, Last, FPool.get());
    if (R) return R;
    const int32_t Grown = N->Length() - L;
    if (Grown > Len) // spaces were added in front: undoing removes them too
        Record(uaInsertText, Para, L + 1, N->Text() + L, Grown);
    else
        Record(uaInsertText, Para, Pos, Text, Len);
    EditTail(Editor, Para, FirstLine, Lines, N, L, First, Last);
    if (FNotifyEnabled) {
        for (TParaPos& M : FMarkers)
            AdjustForTextInserted(M, Para, Len, Pos);
        if (Editor) Editor->TextInserted(Para, Pos, Len);
    }
    return erOK;
}

void TParaList::DeleteText(IParaListClient* Editor, int32_t Para, int32_t Count, int32_t Pos) {
    TParaNode* N = GetPara(Para);
    if (!N) return;
    if (Pos < 1) Pos = 1;
    const int32_t L = N->Length(), Lines = N->LineCount(), FirstLine = FCursor.Line;
    if (int64_t(Pos) + Count - 1 > L) Count = L - Pos + 1;
    if (Count < 0 || L == 0) Count = 0;
    if (Count == 0) { // nothing to delete: no record, no change
        MarkUnchanged(N, Pos);
        return;
    }
    Record(uaDeleteText, Para, Pos, N->Text() + Pos - 1, Count);
    int32_t First, Last;
    N->DeleteText(Pos, Count, EffectiveWrapColumn(), FTabSize, First, Last, FPool.get());
    EditTail(Editor, Para, FirstLine, Lines, N, L, First, Last);
    if (FNotifyEnabled) {
        for (TParaPos& M : FMarkers)
            AdjustMarkerForTextDeleted(M, Para, Count, Pos);
        if (Editor) Editor->TextDeleted(Para, Pos, Count);
    }
    DebugCheck();
}

TResultCode TParaList::ReplaceText(IParaListClient* Editor, int32_t Para, int32_t NewLen,
                                   const char* NewText, int32_t OldLen, int32_t Pos) {
    TParaNode* N = GetPara(Para);
    if (!N) return erOK;
    if (Pos < 1) Pos = 1;
    if (NewLen < 0) NewLen = 0;
    const int32_t L = N->Length(), Lines = N->LineCount(), FirstLine = FCursor.Line;
    if (Pos > L + 1) { // nothing there to replace: an insertion beyond the end
        TResultCode R = InsertTextChecked(Editor, Para, NewLen, NewText, Pos, false);
        DebugCheck();
        return R;
    }
    OldLen = std::clamp(OldLen, 0, L - Pos + 1);
    if (int64_t(L) - OldLen + NewLen > MaxParaLength) return erParaTooLong;
    const std::string Old(N->Text() + Pos - 1, static_cast<size_t>(OldLen));
    int32_t First, Last;
    TResultCode R = N->ReplaceText(Pos, OldLen, NewLen, NewText, EffectiveWrapColumn(), FTabSize,
                                   First, Last, FPool.get());
    if (R) return R;
    if (!FInUndoRedo)
        FUndo->AddReplace(FModified, Para, Pos, Old.data(), static_cast<uint16_t>(OldLen), NewText,
                          static_cast<uint16_t>(NewLen));
    EditTail(Editor, Para, FirstLine, Lines, N, L, First, Last);
    if (FNotifyEnabled) {
        const int32_t D = NewLen - OldLen;
        if (D > 0) {
            for (TParaPos& M : FMarkers)
                AdjustForTextInserted(M, Para, D, Pos + OldLen);
            if (Editor) Editor->TextInserted(Para, Pos + OldLen, D);
        } else if (D < 0) {
            for (TParaPos& M : FMarkers)
                AdjustMarkerForTextDeleted(M, Para, -D, Pos + NewLen);
            if (Editor) Editor->TextDeleted(Para, Pos + NewLen, -D);
        } else if (Editor)
            Editor->TextInserted(Para, Pos, 0);
    }
    DebugCheck();
    return erOK;
}

void TParaList::LinkBefore(TParaNode* Node, int32_t Para) {
    TParaNode* At = GetPara(Para);
    const int32_t FirstLine = FCursor.Line;
    Node->FNext = At;
    Node->FPrev = At->FPrev;
    if (At->FPrev)
        At->FPrev->FNext = Node;
    else
        FFirst = Node;
    At->FPrev = Node;
    ++FParaCount;
    FLineCount += Node->LineCount();
    FByteCount += Node->Length() + 2;
    FCursor = {Node, Para, FirstLine, 1};
    ShiftMarks(Para, 1, Node->LineCount());
}

void TParaList::LinkAfter(TParaNode* Node, int32_t Para) {
    TParaNode* At = GetPara(Para); // the cursor stays on At, which keeps its number and lines
    Node->FPrev = At;
    Node->FNext = At->FNext;
    if (At->FNext)
        At->FNext->FPrev = Node;
    else
        FLast = Node;
    At->FNext = Node;
    ++FParaCount;
    FLineCount += Node->LineCount();
    FByteCount += Node->Length() + 2;
    ShiftMarks(Para + 1, 1, Node->LineCount());
}

TResultCode TParaList::DoInsertPara(IParaListClient* Editor, int32_t Para, int32_t Len,
                                    const char* Text, bool After, bool Check) {
    if (!GetPara(Para)) return erOK;
    if (Len < 0) Len = 0;
    if (Check) {
        TResultCode R = CheckLimits(0, 1, Len + 2);
        if (R) return R;
    }
    if (Len > MaxParaLength) return erParaTooLong;
    TParaNode* Node;
    try {
        Node = TParaNode::Create(*FPool, Text, Len, EffectiveWrapColumn(), FTabSize);
    } catch (const std::bad_alloc&) {
        return erOutOfMemory;
    }
    if (!FInUndoRedo)
        FUndo->Add(After ? uaInsertParaAfter : uaInsertParaBefore, FModified, Para, 1, Node);
    const int32_t A = After ? Para + 1 : Para;
    if (After)
        LinkAfter(Node, Para);
    else
        LinkBefore(Node, Para);
    if (FNotifyEnabled) {
        for (TParaPos& M : FMarkers)
            AdjustForParaSplit(M, A, 0, 1);
        if (Editor) Editor->ParaSplit(A, 1, 0);
    }
    FModified = true;
    return erOK;
}

TResultCode TParaList::InsertParaBefore(IParaListClient* Editor, int32_t Para, int32_t Len,
                                        const char* Text) {
    TResultCode R = DoInsertPara(Editor, Para, Len, Text, false, !FInUndoRedo);
    DebugCheck();
    return R;
}

TResultCode TParaList::InsertParaAfter(IParaListClient* Editor, int32_t Para, int32_t Len,
                                       const char* Text) {
    TResultCode R = DoInsertPara(Editor, Para, Len, Text, true, false);
    DebugCheck();
    return R;
}

void TParaList::DeletePara(IParaListClient* Editor, int32_t Para) {
    TParaNode* N = GetPara(Para);
    if (!N || FParaCount == 1) return; // the last remaining paragraph stays
    bool Kept = false;
    if (!FInUndoRedo) Kept = FUndo->Add(uaDeletePara, FModified, Para, 1, N);
    if (Para == 1)
        FCursor = {N->FNext, 1, 1, 1};
    else
        FCursor = {N->FPrev, Para - 1, FCursor.Line - N->FPrev->LineCount(), 1};
    if (N->FPrev)
        N->FPrev->FNext = N->FNext;
    else
        FFirst = N->FNext;
    if (N->FNext)
        N->FNext->FPrev = N->FPrev;
    else
        FLast = N->FPrev;
    N->FNext = N->FPrev = nullptr;
    if (const TMark* M = MarkNearPara(Para); M && M->Node == N)
        FMarks.erase(FMarks.begin() + (M - FMarks.data()));
    ShiftMarks(Para + 1, -1, -N->LineCount());
    --FParaCount;
    FLineCount -= N->LineCount();
    FByteCount -= N->Length() + 2;
    // While replaying, the record being replayed keeps the node for a later redo or undo.
    if (!FInUndoRedo && !Kept) TParaNode::Destroy(N, *FPool);
    if (FNotifyEnabled) {
        for (TParaPos& M : FMarkers)
            AdjustMarkerForParaDeleted(M, Para);
        if (Editor) Editor->ParaDeleted(Para);
    }
    FModified = true;
    DebugCheck();
}

TResultCode TParaList::SplitPara(IParaListClient* Editor, int32_t Para, int32_t Pos,
                                 int IndentTabSize, int32_t& Indent, bool TrimBlanks) {
    TParaNode* N = GetPara(Para);
    if (!N) return erOK;
    const int32_t L = N->Length();
    Pos = std::clamp(Pos, 1, L + 1);
    if (Pos == 1) return InsertParaBefore(Editor, Para, 0, "");
    TGroupScope Group(*FUndo);
    Record(uaCaret, Para, Pos, nullptr, 0);
    // Blanks trimmed before the split point; they are reported as deleted before the split, so
    // positions inside them come back to the new end of the paragraph.
    int32_t Trimmed = 0;
    {
        TFlagScope Quiet(FNotifyEnabled, false);
        TResultCode R = InsertParaAfter(Editor, Para, L - Pos + 1, N->Text() + Pos - 1);
        if (R) return R;
        if (Pos <= L) {
            Trimmed = TrimBlanks ? N->CountTrailingBlanks(Pos - 1) : 0;
            DeleteText(Editor, Para, L - (Pos - Trimmed) + 1, Pos - Trimmed);
        }
        int32_t Chars = 0;
        if (Indent > 0) {
            std::string S;
            if (IndentTabSize > 0)
                S = std::string(Indent / IndentTabSize, '\t') +
                    std::string(Indent % IndentTabSize, ' ');
            else
                S.assign(Indent, ' ');
            // Indentation that would make the new paragraph too long is left out.
            if (InsertTextChecked(Editor, Para + 1, static_cast<int32_t>(S.size()), S.data(), 1,
                                  !FInUndoRedo) == erOK)
                Chars = static_cast<int32_t>(S.size());
        }
        Indent = Chars;
        Record(uaCaret, Para + 1, Indent + 1, nullptr, 0);
    }
    if (FNotifyEnabled) {
        if (Trimmed > 0) {
            Pos -= Trimmed;
            for (TParaPos& M : FMarkers)
                AdjustMarkerForTextDeleted(M, Para, Trimmed, Pos);
            if (Editor) Editor->TextDeleted(Para, Pos, Trimmed);
        }
        for (TParaPos& M : FMarkers)
            AdjustForParaSplit(M, Para, Indent, Pos);
        if (Editor) Editor->ParaSplit(Para, Pos, Indent);
    }
    DebugCheck();
    return erOK;
}

TResultCode TParaList::JoinParas(IParaListClient* Editor, int32_t Para, int32_t Pos) {
    TResultCode R = DoJoin(Editor, Para, Pos);
    DebugCheck();
    return R;
}

TResultCode TParaList::DoJoin(IParaListClient* Editor, int32_t Para, int32_t Pos) {
    TParaNode* N = GetPara(Para);
    TParaNode* Next = GetPara(Para + 1);
    if (!N || !Next) return erOK;
    if (Pos < 1) Pos = 1;
    const int32_t L = N->Length(), NL = Next->Length();
    TGroupScope Group(*FUndo);
    if (L == 0 && Pos == 1) {
        // An empty paragraph simply goes; the next one takes its number.
        {
            TFlagScope Quiet(FNotifyEnabled, false);
            DeletePara(Editor, Para);
        }
        if (FNotifyEnabled) {
            for (TParaPos& M : FMarkers)
                AdjustMarkerForJoin(M, Para, 1);
            if (Editor) Editor->ParasJoined(Para, 1);
        }
        return erOK;
    }
    // A join takes a paragraph break (two bytes) and a paragraph out of the text; it adds only
    // the spaces that pad paragraph Para up to Pos. So the joined paragraph's length counts, and
    // the text size only for padding beyond those two bytes: a join is never refused for bytes
    // or paragraphs that are already there.
    const int64_t Joined = std::max<int64_t>(L, Pos - 1) + NL;
    const int64_t Growth = std::max<int64_t>(0, Pos - 1 - L) - 2;
    if (Joined > EffectiveParaLengthLimit() || (Growth > 0 && FByteCount + Growth > FByteLimit))
        return erCannotJoin;
    {
        TFlagScope Quiet(FNotifyEnabled, false);
        if (NL > 0) {
            TResultCode R = InsertTextChecked(Editor, Para, NL, Next->Text(), Pos, false);
            if (R) return R;
        }
        DeletePara(Editor, Para + 1);
    }
    Record(uaCaret, Para, Pos, nullptr, 0);
    // An empty successor brings no text and so no padding: what stood at its start stands at
    // the end of the text, not in the gap up to Pos.
    const int32_t At = NL > 0 ? Pos : std::min(Pos, L + 1);
    if (FNotifyEnabled) {
        for (TParaPos& M : FMarkers)
            AdjustMarkerForJoin(M, Para, At);
        if (Editor) Editor->ParasJoined(Para, At);
    }
    return erOK;
}

TResultCode TParaList::DeleteBlock(IParaListClient* Editor, int32_t Para1, int32_t Pos1,
                                   int32_t Para2, int32_t Pos2) {
    if (Para1 == Para2) {
        DeleteText(Editor, Para1, Pos2 - Pos1, Pos1);
        return erOK;
    }
    if (Para1 < 1 || Para1 > Para2 || Para2 > FParaCount) return erOK;
    TResultCode R = erOK;
    {
        TGroupScope Group(*FUndo);
        if (Pos1 <= 1 && Pos2 <= 1) {
            for (int32_t I = Para1; I < Para2; ++I)
                DeletePara(Editor, Para1);
        } else {
            const int32_t L1 = GetParaLength(Para1);
            if (Pos1 <= L1) DeleteText(Editor, Para1, L1 - Pos1 + 1, Pos1);
            if (Pos2 > 1) DeleteText(Editor, Para2, Pos2 - 1, 1);
            for (int32_t I = Para1 + 1; I < Para2; ++I)
                DeletePara(Editor, Para1 + 1);
            R = DoJoin(Editor, Para1, GetParaLength(Para1) + 1);
        }
    }
    DebugCheck();
    return R;
}

TResultCode TParaList::InsertTextBlock(IParaListClient* Editor, TParaPos& At, const char* Text,
                                       int32_t Len) {
    if (Len <= 0) return erOK;
    if (CountToLineFeed(Text, Len) == Len && Text[Len - 1] != '\n') {
        TResultCode R = InsertText(Editor, At.Para, Len, Text, At.Pos);
        if (R == erOK) At.Pos += Len;
        return R;
    }
    int32_t LinePos;
    const int32_t StartLine = ParaToLine(At.Para, At.Pos, LinePos);
    TResultCode R = erOK;
    {
        TGroupScope Group(*FUndo);
        for (int32_t P = 0; P < Len && R == erOK;) {
            const int32_t Seg = CountToLineFeed(Text + P, Len - P);
            int32_t Content = Seg;
            while (Content > 0 && (Text[P + Content - 1] == '\r' || Text[P + Content - 1] == '\n'))
                --Content;
            const bool EndsLine = Content < Seg;
            if (EndsLine && At.Pos == 1) {
                R = InsertParaBefore(Editor, At.Para, Content, Text + P);
            } else {
                if (Content > 0) {
                    R = InsertText(Editor, At.Para, Content, Text + P, At.Pos);
                    if (R == erOK) At.Pos += Content;
                }
                if (R == erOK && EndsLine) {
                    // The inserted text is reproduced exactly: its blanks before a line end stay.
                    R = CheckLimits(0, 1, 2);
                    int32_t Indent = 0;
                    if (R == erOK) R = SplitPara(Editor, At.Para, At.Pos, 0, Indent, false);
                }
            }
            if (R == erOK && EndsLine) At = {At.Para + 1, 1};
            P += Seg;
        }
    }
    FFirstDirtyLine = StartLine > 1 ? StartLine - 1 : 1;
    FLastDirtyLine = MaxLongint;
    return R;
}

void TParaList::AppendPara(const char* Text, int32_t Len, bool TrimBlanks) {
    if (Len < 0) Len = 0;
    for (;;) {
        // Text longer than a paragraph can hold continues in further paragraphs.
        const bool Last = Len <= MaxParaLength;
        const int32_t Piece = Last ? Len : BreakLongText(Text, MaxParaLength);
        TParaNode* Node = TParaNode::Create(*FPool, Text, Piece, EffectiveWrapColumn(), FTabSize);
        const int32_t Trimmed = TrimBlanks && Last ? Node->TrimTrailingBlanks() : 0;
        Node->FNext = FLast;
        Node->FPrev = FLast->FPrev;
        if (FLast->FPrev)
            FLast->FPrev->FNext = Node;
        else
            FFirst = Node;
        FLast->FPrev = Node;
        // The new paragraph takes the last one's number and lines; the last one moves on.
        const int32_t Para = FParaCount;
        const int32_t Line = FLineCount - FLast->LineCount() + 1;
        // Only the last paragraph's mark can lie at or after the new one.
        const bool LastMarked = !FMarks.empty() && FMarks.back().Node == FLast;
        if (LastMarked) {
            FMarks.back().Para += 1;
            FMarks.back().Line += Node->LineCount();
        }
        if (Para % MarkSpacing == 0)
            FMarks.insert(LastMarked ? FMarks.end() - 1 : FMarks.end(), {Node, Para, Line});
        ++FParaCount;
        FByteCount += Piece + 2 - Trimmed;
        FLineCount += Node->LineCount();
        if (Last) break;
        Text += Piece;
        Len -= Piece;
    }
    ResetCursor();
}

void TParaList::Rewrap() {
    struct TBusy {
        IParaListClient* Client;
        explicit TBusy(IParaListClient* C) : Client(C) {
            if (Client) Client->ShowBusy(true);
        }
        ~TBusy() {
            if (Client) Client->ShowBusy(false);
        }
    } Busy(FByteCount > BusyRewrapBytes ? FOwner : nullptr);
    const int32_t Wrap = EffectiveWrapColumn();
    int32_t Lines = 0;
    int32_t Para = 1;
    FMarks.clear();
    for (TParaNode* N = FFirst; N; N = N->FNext, ++Para) {
        N->Recalc(Wrap, FTabSize, FPool.get());
        if (Para % MarkSpacing == 0) FMarks.push_back({N, Para, Lines + 1});
        Lines += N->LineCount();
    }
    FLineCount = Lines;
    ResetCursor();
}

// ---- undo and redo ----

void TParaList::RelinkBefore(IParaListClient* Editor, TParaNode* Node, int32_t Para) {
    Node->Recalc(EffectiveWrapColumn(), FTabSize, FPool.get());
    if (Para > FParaCount) { // the paragraph deleted was the last one
        Para = FParaCount + 1;
        Node->FPrev = FLast;
        Node->FNext = nullptr;
        FLast->FNext = Node;
        FLast = Node;
        const int32_t FirstLine = FLineCount + 1;
        ++FParaCount;
        FLineCount += Node->LineCount();
        FByteCount += Node->Length() + 2;
        FCursor = {Node, Para, FirstLine, 1};
    } else {
        LinkBefore(Node, Para);
    }
    if (FNotifyEnabled) {
        for (TParaPos& M : FMarkers)
            AdjustForParaSplit(M, Para, 0, 1);
        if (Editor) Editor->ParaSplit(Para, 1, 0);
    }
    FModified = true;
}

void TParaList::RelinkAfter(IParaListClient* Editor, TParaNode* Node, int32_t Para) {
    if (!GetPara(Para)) return;
    Node->Recalc(EffectiveWrapColumn(), FTabSize, FPool.get());
    LinkAfter(Node, Para);
    if (FNotifyEnabled) {
        for (TParaPos& M : FMarkers)
            AdjustForParaSplit(M, Para + 1, 0, 1);
        if (Editor) Editor->ParaSplit(Para + 1, 1, 0);
    }
    FModified = true;
}

void TParaList::ApplyUndo(IParaListClient* Editor, const TUndoStep& S, int32_t& Para,
                          int32_t& Pos) {
    switch (S.Kind) {
    case uaCaret:
        break;
    case uaInsertText:
        DeleteText(Editor, S.Para, S.DataLen, S.Pos);
        break;
    case uaInsertParaBefore:
        DeletePara(Editor, S.Para);
        break;
    case uaInsertParaAfter:
        DeletePara(Editor, S.Para + 1);
        break;
    case uaDeleteText:
        InsertTextChecked(Editor, S.Para, S.DataLen, S.Data, S.Pos, false);
        break;
    case uaDeletePara:
        RelinkBefore(Editor, S.Node, S.Para);
        break;
    case uaReplaceText:
        ReplaceText(Editor, S.Para, S.OldLen, S.OldText, S.NewLen, S.Pos);
        break;
    }
    Para = S.Para;
    Pos = S.Pos;
}

void TParaList::ApplyRedo(IParaListClient* Editor, const TUndoStep& S, int32_t& Para,
                          int32_t& Pos) {
    Para = S.Para;
    Pos = S.Pos;
    switch (S.Kind) {
    case uaCaret:
        break;
    case uaInsertText:
        InsertTextChecked(Editor, S.Para, S.DataLen, S.Data, S.Pos, false);
        Pos += S.DataLen;
        break;
    case uaInsertParaBefore:
        RelinkBefore(Editor, S.Node, S.Para);
        Para += 1;
        Pos = 1;
        break;
    case uaInsertParaAfter:
        RelinkAfter(Editor, S.Node, S.Para);
        Para += 1;
        Pos = 1;
        break;
    case uaDeleteText:
        DeleteText(Editor, S.Para, S.DataLen, S.Pos);
        break;
    case uaDeletePara:
        DeletePara(Editor, S.Para);
        break;
    case uaReplaceText:
        ReplaceText(Editor, S.Para, S.NewLen, S.NewText, S.OldLen, S.Pos);
        Pos += S.NewLen;
        break;
    }
}

bool TParaList::Undo(IParaListClient* Editor, int32_t& Para, int32_t& Pos) {
    if (FUndo->UndoCount() == 0) return FModified;
    bool Restored = FModified;
    {
        TFlagScope Replay(FInUndoRedo, true);
        const uint8_t G = FUndo->NextUndoGroup();
        do {
            TUndoStep S = FUndo->StepBack();
            ApplyUndo(Editor, S, Para, Pos);
            Restored = S.Modified;
        } while (FUndo->UndoCount() > 0 && FUndo->NextUndoGroup() == G);
    }
    FModified = Restored;
    DebugCheck();
    return Restored;
}

void TParaList::Redo(IParaListClient* Editor, int32_t& Para, int32_t& Pos) {
    if (FUndo->RedoCount() == 0) return;
    {
        TFlagScope Replay(FInUndoRedo, true);
        const uint8_t G = FUndo->NextRedoGroup();
        do {
            TUndoStep S = FUndo->StepForward(FModified);
            ApplyRedo(Editor, S, Para, Pos);
        } while (FUndo->RedoCount() > 0 && FUndo->NextRedoGroup() == G);
    }
    DebugCheck();
}

// ---- position adjusters ----

void TParaList::AdjustForTextInserted(TParaPos& P, int32_t A, int32_t Count, int32_t At) {
    if (P.Para == A && P.Pos >= At) P.Pos += Count;
}

void TParaList::AdjustForTextDeleted(TParaPos& P, int32_t A, int32_t Count, int32_t At) {
    if (P.Para == A && P.Pos >= At) P.Pos = P.Pos < At + Count ? At : P.Pos - Count;
}

void TParaList::AdjustMarkerForTextDeleted(TParaPos& P, int32_t A, int32_t Count, int32_t At) {
    if (P.Para == A && P.Pos >= At) {
        if (P.Pos < At + Count)
            P = {};
        else
            P.Pos -= Count;
    }
}

void TParaList::AdjustForParaDeleted(TParaPos& P, int32_t A) const {
    if (P.Para == A)
        P.Pos = 1;
    else if (P.Para > A)
        P.Para -= 1;
    if (P.Para > FParaCount) P.Para = FParaCount;
}

void TParaList::AdjustMarkerForParaDeleted(TParaPos& P, int32_t A) {
    if (P.Para == A)
        P = {};
    else if (P.Para > A)
        P.Para -= 1;
}

void TParaList::AdjustForParaSplit(TParaPos& P, int32_t A, int32_t Indent, int32_t At) {
    if (P.Para > A)
        P.Para += 1;
    else if (P.Para == A && P.Pos >= At)
        P = {A + 1, Indent + P.Pos - At + 1};
}

void TParaList::AdjustMarkerForJoin(TParaPos& P, int32_t A, int32_t At) {
    if (P.Para > A) {
        if (P.Para == A + 1) P.Pos += At - 1;
        P.Para -= 1;
    }
}

// ---- checking ----

void TParaList::DebugCheck() const {
#ifndef NDEBUG
    if (FParaCount <= DebugCheckParas) CheckInvariant();
#endif
}

void TParaList::CheckInvariant() const {
    auto Fail = [](const std::string& What) { throw std::logic_error("TParaList: " + What); };
    if (!FFirst || !FLast || FFirst->FPrev || FLast->FNext) Fail("list ends");
    int64_t Paras = 0, Lines = 0, Bytes = 0;
    bool CursorSeen = false;
    const int32_t Wrap = EffectiveWrapColumn();
    std::size_t Mark = 0;
    for (const TParaNode* N = FFirst; N; N = N->FNext) {
        ++Paras;
        if (Mark < FMarks.size() && FMarks[Mark].Para == Paras) {
            if (FMarks[Mark].Node != N || FMarks[Mark].Line != Lines + 1)
                Fail("mark at paragraph " + std::to_string(Paras));
            ++Mark;
        }
        if (N->FNext && N->FNext->FPrev != N) Fail("links");
        if (!N->FNext && N != FLast) Fail("last node");
        if (N->HasBuffer() && (N->Length() + 1 > N->Capacity() || N->Text()[N->Length()] != 0))
            Fail("text buffer of paragraph " + std::to_string(Paras));
        if (!N->HasBuffer() && N->Length() != 0) Fail("length without buffer");
        std::vector<uint16_t> Want = ComputeLineStarts(N->Text(), N->Length(), Wrap, FTabSize);
        bool Same = static_cast<int32_t>(Want.size()) == N->LineCount() &&
                    N->LineTableSize() >= N->LineCount();
        for (int32_t K = 0; Same && K < N->LineCount(); ++K)
            Same = Want[K] == N->LineStart(K);
        if (!Same) Fail("line table of paragraph " + std::to_string(Paras));
        if (N == FCursor.Node) {
            CursorSeen = true;
            if (FCursor.Para != Paras || FCursor.LineInPara < 1 ||
                FCursor.LineInPara > N->LineCount() ||
                FCursor.Line - FCursor.LineInPara + 1 != Lines + 1)
                Fail("cursor");
        }
        Lines += N->LineCount();
        Bytes += N->Length();
    }
    Bytes += 2 * (Paras - 1);
    if (!CursorSeen) Fail("cursor node not in the list");
    if (Mark != FMarks.size()) Fail("marks out of order or past the end");
    if (Paras != FParaCount) Fail("ParaCount");
    if (Lines != FLineCount) Fail("LineCount");
    if (Bytes != FByteCount) Fail("ByteCount");
}
