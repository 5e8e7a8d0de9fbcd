// One paragraph: its text buffer, the line table, and the full and incremental line wrap.
#include "ParaNode.h"

#include "ParaPool.h"
#include "TextRoutines.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>

namespace {

inline int32_t RoundUp(int32_t N, int32_t Step) {
    return (N + Step - 1) / Step * Step;
}

inline bool Wraps(int32_t WrapColumn) {
    return WrapColumn != NoWrapColumn && WrapColumn > 0;
}

// Start of the display line after the one starting at Start, or -1 when that line is the last.
int32_t NextLineStart(const char* Text, int32_t Length, int32_t Start, int32_t WrapColumn,
                      int TabSize, bool WithTabs) {
    int32_t Remaining = Length - Start;
    int32_t Limit =
        WithTabs ? ColumnToOffset(Text + Start, Remaining, WrapColumn, TabSize) : WrapColumn;
    if (Limit >= Remaining) return -1;
    int32_t Next = Start + FindBreak(Text + Start, Remaining, Limit);
    return Next >= Length ? -1 : Next; // only blanks followed: they stay on this line
}

// Line table entries wanted when a paragraph of Length characters is created or fully wrapped.
int32_t LineTableEstimate(int32_t Length, int32_t WrapColumn) {
    if (!Wraps(WrapColumn)) return 1;
    if (Length < WrapColumn) return 8; // the usual case, without a division
    int32_t N = Length / WrapColumn;
    return std::max<int32_t>(8, RoundUp(N + N / 5, 8));
}

} // namespace

std::vector<uint16_t> ComputeLineStarts(const char* Text, int32_t Length, int32_t WrapColumn,
                                        int TabSize) {
    std::vector<uint16_t> Starts{0};
    if (!Wraps(WrapColumn) || Length == 0) return Starts;
    bool WithTabs = HasTab(Text, Length);
    for (int32_t Start = 0;;) {
        Start = NextLineStart(Text, Length, Start, WrapColumn, TabSize, WithTabs);
        if (Start < 0) break;
        Starts.push_back(static_cast<uint16_t>(Start));
    }
    return Starts;
}

TParaNode::TParaNode(const char* Text, int32_t Length, int32_t WrapColumn, int TabSize)
    : TParaNode(nullptr, Text, Length, WrapColumn, TabSize) {}

TParaNode::TParaNode(TParaPool* Pool, const char* Text, int32_t Length, int32_t WrapColumn,
                     int TabSize) {
    FHeap = nullptr;
    FPooled = Pool != nullptr;
    if (Length < 0) Length = 0;
    if (Length > MaxParaLength) throw EOutOfMemory();
    if (Length > 0) {
        int32_t Cap = RoundUp(Length + 1, 8);
        if (Cap > InlineSize) {
            FHeap = static_cast<char*>(AllocBytes(static_cast<size_t>(Cap), Pool));
            if (!FHeap) throw EOutOfMemory();
        }
        FCapacity8 = static_cast<uint16_t>(Cap / 8);
        std::memcpy(Buf(), Text, static_cast<size_t>(Length));
        Buf()[Length] = '\0';
        FLength = static_cast<uint16_t>(Length);
    }
    FLineTableSize = static_cast<uint16_t>(LineTableEstimate(Length, WrapColumn));
    // The usual line is one display line: what Recalc would find without calling it.
    if (!Wraps(WrapColumn) || int64_t(Length) * std::max(TabSize, 1) <= WrapColumn) return;
    try {
        Recalc(WrapColumn, TabSize, Pool);
    } catch (...) {
        FreeStorage(Pool);
        throw;
    }
}

TParaNode* TParaNode::Create(TParaPool& Pool, const char* Text, int32_t Length, int32_t WrapColumn,
                             int TabSize) {
    void* Mem = Pool.Allocate(sizeof(TParaNode));
    if (!Mem) throw EOutOfMemory();
    try {
        return ::new (Mem) TParaNode(&Pool, Text, Length, WrapColumn, TabSize);
    } catch (...) {
        Pool.Release(Mem, sizeof(TParaNode));
        throw;
    }
}

void TParaNode::Destroy(TParaNode* Node, TParaPool& Pool) {
    if (!Node) return;
    assert(Node->FPooled);
    Node->FreeStorage(&Pool);
    Node->~TParaNode();
    Pool.Release(Node, sizeof(TParaNode));
}

TParaNode::~TParaNode() {
    // A pool's node gives its storage back through Destroy, or the pool takes it.
    if (!FPooled) FreeStorage(nullptr);
}

void TParaNode::operator delete(TParaNode* Node, std::destroying_delete_t) {
    // Only Destroy gives a pool's node back; otherwise its storage stays with the pool until
    // the pool goes.
    assert(!Node->FPooled);
    if (Node->FPooled) return;
    Node->~TParaNode();
    ::operator delete(Node);
}

void TParaNode::FreeStorage(TParaPool* Pool) {
    if (OutOfLine()) FreeBytes(FHeap, BlockSize(), Pool);
    FCapacity8 = 0;
    FHasTable = 0;
    FLength = 0;
}

void* TParaNode::AllocBytes(std::size_t N, TParaPool* Pool) {
    assert((Pool != nullptr) == bool(FPooled));
    return Pool ? Pool->Allocate(N) : std::malloc(N);
}

void TParaNode::FreeBytes(void* P, std::size_t N, TParaPool* Pool) {
    assert((Pool != nullptr) == bool(FPooled));
    if (Pool)
        Pool->Release(P, N);
    else
        std::free(P);
}

char* TParaNode::Buf() {
    return OutOfLine() ? FHeap : FInline;
}

const char* TParaNode::Text() const {
    if (FCapacity8 == 0) return "";
    return OutOfLine() ? FHeap : FInline;
}

bool TParaNode::Relocate(int32_t Cap, int32_t TableSize, bool WithTable, TParaPool* Pool) {
    const std::size_t Size =
        static_cast<size_t>(Cap) + (WithTable ? sizeof(uint16_t) * TableSize : 0);
    char* P = static_cast<char*>(AllocBytes(Size, Pool));
    if (!P) return false;
    if (FCapacity8 == 0)
        P[0] = '\0';
    else
        std::memcpy(P, Buf(), static_cast<size_t>(FLength) + 1);
    if (WithTable) {
        auto* T = reinterpret_cast<uint16_t*>(P + Cap);
        const int32_t Kept = FHasTable ? std::min<int32_t>(FLineTableSize, TableSize) : 0;
        if (Kept > 0) std::memcpy(T, Table(), sizeof(uint16_t) * Kept);
        std::memset(T + Kept, 0, sizeof(uint16_t) * (TableSize - Kept));
    }
    if (OutOfLine()) FreeBytes(FHeap, BlockSize(), Pool);
    FHeap = P;
    FCapacity8 = static_cast<uint16_t>(Cap / 8);
    FHasTable = WithTable;
    FLineTableSize = static_cast<uint16_t>(TableSize);
    return true;
}

bool TParaNode::EnsureCapacity(int32_t Needed, TParaPool* Pool) {
    if (Needed <= Capacity()) return true;
    int32_t Cap = RoundUp(Needed, 16);
    if (Cap > 0xFFFF) return false;
    if (Cap <= InlineSize && !FHasTable) { // the text is already inline, or there is none yet
        if (FCapacity8 == 0) FInline[0] = '\0';
        FCapacity8 = static_cast<uint16_t>(Cap / 8);
        return true;
    }
    return Relocate(Cap, FLineTableSize, FHasTable, Pool);
}

bool TParaNode::GrowLineTable(int32_t Size, TParaPool* Pool) {
    if (Size <= FLineTableSize) return true;
    if (FHasTable) return Relocate(Capacity(), Size, true, Pool);
    FLineTableSize = static_cast<uint16_t>(Size);
    return true;
}

bool TParaNode::EnsureLineTable(int32_t Entries, TParaPool* Pool) {
    if (Entries > FLineTableSize && !GrowLineTable(std::max<int32_t>(8, RoundUp(Entries, 8)), Pool))
        return false;
    // Single-line paragraphs keep no table storage; it appears with the second line.
    if (Entries > 1 && !FHasTable) return Relocate(Capacity(), FLineTableSize, true, Pool);
    return true;
}

void TParaNode::Recalc(int32_t WrapColumn, int TabSize, TParaPool* Pool) {
    FLineCount = 1;
    if (!Wraps(WrapColumn) || FCapacity8 == 0) return;
    if (!GrowLineTable(LineTableEstimate(FLength, WrapColumn), Pool)) throw EOutOfMemory();
    // Even with every character a tab the text would not pass the wrap column: one line.
    if (int64_t(FLength) * std::max(TabSize, 1) <= WrapColumn) return;
    const char* T = Text();
    bool WithTabs = HasTab(T, FLength);
    int32_t Count = 1;
    for (int32_t Start = 0;;) {
        Start = NextLineStart(T, FLength, Start, WrapColumn, TabSize, WithTabs);
        if (Start < 0) break;
        if (!EnsureLineTable(Count + 1, Pool)) throw EOutOfMemory();
        T = Text(); // the text moves when the table first appears or grows
        Table()[Count++] = static_cast<uint16_t>(Start);
    }
    FLineCount = static_cast<uint16_t>(Count);
}

void TParaNode::Reflow(int32_t Offset, int32_t OldSpan, int32_t NewSpan, int32_t WrapColumn,
                       int TabSize, int32_t& FirstChanged, int32_t& LastChanged, TParaPool* Pool) {
    const int32_t OldCount = FLineCount;
    // E: the line that held the edit offset, in the old table.
    int32_t PosInLine;
    const int32_t E = PosToLine(Offset + 1, PosInLine);
    if (!Wraps(WrapColumn) || FCapacity8 == 0) {
        FirstChanged = LastChanged = E;
        return;
    }
    if (OldCount == 1 && int64_t(FLength) * std::max(TabSize, 1) <= WrapColumn) {
        FirstChanged = LastChanged = 1; // one line before and, as in Recalc, one line after
        return;
    }
    const int32_t Delta = NewSpan - OldSpan;
    const char* T = Text();
    const bool WithTabs = HasTab(T, FLength);
    auto Old = [this](int32_t I) -> int32_t { return LineStart(I); };
    // Old start I as it reads in the new text; -1 when it lay inside the replaced characters.
    auto Mapped = [&](int32_t I) -> int32_t {
        int32_t V = Old(I);
        if (V <= Offset) return V;
        if (V < Offset + OldSpan) return -1;
        return V + Delta;
    };

    // An edit can pull the first word of its line back onto the previous line, so derivation
    // starts one line earlier. Lines before that cannot change: a line's break depends only on
    // text before the start of the line after next.
    const int32_t S = std::max<int32_t>(1, E - 1);
    int32_t Cur = Old(S - 1);
    uint16_t Small[32];
    std::vector<uint16_t> Big;
    int32_t DCount = 0;
    auto Push = [&](int32_t V) {
        if (DCount < 32) {
            Small[DCount++] = static_cast<uint16_t>(V);
            return;
        }
        if (Big.empty()) Big.assign(Small, Small + 32);
        Big.push_back(static_cast<uint16_t>(V));
        ++DCount;
    };
    auto Derived = [&](int32_t I) -> int32_t { return DCount <= 32 ? Small[I] : Big[I]; };

    // Once a derived start past the change meets a shifted old start, the text from there on is
    // the old text shifted, so the rest of the old table holds, shifted by Delta.
    int32_t J = S;
    bool Realigned = false;
    for (;;) {
        int32_t Next = NextLineStart(T, FLength, Cur, WrapColumn, TabSize, WithTabs);
        if (Next < 0) break;
        if (Next >= Offset + NewSpan) {
            while (J < OldCount && Old(J) + Delta < Next)
                ++J;
            if (J < OldCount && Old(J) + Delta == Next) {
                Realigned = true;
                break;
            }
        }
        Push(Next);
        Cur = Next;
    }
    const int32_t Tail = Realigned ? OldCount - J : 0;
    const int32_t NewCount = S + DCount + Tail;

    // Where the new table first differs from the old one, and (counts equal) where it last does.
    int32_t FirstDiff = -1, LastDiff = -1;
    for (int32_t I = S; I < S + DCount; ++I)
        if (I >= OldCount || Mapped(I) != Derived(I - S)) {
            if (FirstDiff < 0) FirstDiff = I;
            LastDiff = I;
        }
    if (FirstDiff < 0 && NewCount != OldCount) FirstDiff = S + DCount;

    if (!EnsureLineTable(NewCount, Pool)) throw EOutOfMemory();
    // (Written only when there is more than one line, and so a table.)
    uint16_t* Lines = FHasTable ? Table() : nullptr;
    if (Tail > 0) {
        int32_t To = S + DCount;
        if (To != J) std::memmove(Lines + To, Lines + J, sizeof(uint16_t) * Tail);
        for (int32_t I = To; I < To + Tail; ++I)
            Lines[I] = static_cast<uint16_t>(Lines[I] + Delta);
    }
    for (int32_t I = 0; I < DCount; ++I)
        Lines[S + I] = static_cast<uint16_t>(Derived(I));
    FLineCount = static_cast<uint16_t>(NewCount);

    // A moved start changes the line before it as well; the lines holding new characters
    // changed even when no start moved.
    if (FirstDiff >= 0)
        FirstChanged = std::max<int32_t>(1, std::min<int32_t>(E, FirstDiff));
    else
        FirstChanged = std::max<int32_t>(1, E - 1);
    LastChanged = std::max<int32_t>(E, LastDiff + 1);
    if (NewSpan > 0) {
        int32_t InLine;
        LastChanged = std::max(LastChanged, PosToLine(Offset + NewSpan, InLine));
    }
}

TResultCode TParaNode::InsertText(const char* Text, int32_t Count, int32_t Pos, int32_t WrapColumn,
                                  int TabSize, int32_t& FirstChanged, int32_t& LastChanged,
                                  TParaPool* Pool) {
    int32_t Offset = std::max<int32_t>(0, Pos - 1);
    if (Count < 0) Count = 0;
    int32_t OldLength = FLength;
    int32_t NewLength = std::max(Offset, OldLength) + Count;
    if (NewLength == OldLength) {
        int32_t InLine;
        FirstChanged = LastChanged = PosToLine(Offset + 1, InLine);
        return erOK;
    }
    if (NewLength > MaxParaLength || !EnsureCapacity(NewLength + 1, Pool)) return erOutOfMemory;
    char* B = Buf();
    int32_t EditAt = Offset;
    if (Offset > OldLength) {
        FillChars(B, OldLength, Offset, ' ');
        EditAt = OldLength;
    }
    InsertBytes(B, std::max(Offset, OldLength), Offset, Text, Count);
    FLength = static_cast<uint16_t>(NewLength);
    Reflow(EditAt, 0, NewLength - OldLength, WrapColumn, TabSize, FirstChanged, LastChanged, Pool);
    return erOK;
}

void TParaNode::DeleteText(int32_t Pos, int32_t Count, int32_t WrapColumn, int TabSize,
                           int32_t& FirstChanged, int32_t& LastChanged, TParaPool* Pool) {
    int32_t Offset = std::max<int32_t>(0, Pos - 1);
    if (FCapacity8 == 0 || Offset >= FLength || Count <= 0) {
        int32_t InLine;
        FirstChanged = LastChanged = PosToLine(std::min<int32_t>(Offset, FLength) + 1, InLine);
        return;
    }
    Count = std::min<int32_t>(Count, FLength - Offset);
    DeleteBytes(Buf(), FLength, Offset, Count);
    FLength = static_cast<uint16_t>(FLength - Count);
    Reflow(Offset, Count, 0, WrapColumn, TabSize, FirstChanged, LastChanged, Pool);
}

TResultCode TParaNode::ReplaceText(int32_t Pos, int32_t OldLen, int32_t NewLen, const char* NewText,
                                   int32_t WrapColumn, int TabSize, int32_t& FirstChanged,
                                   int32_t& LastChanged, TParaPool* Pool) {
    int32_t Offset = std::max<int32_t>(0, Pos - 1);
    if (NewLen < 0) NewLen = 0;
    if (Offset > FLength)
        return InsertText(NewText, NewLen, Pos, WrapColumn, TabSize, FirstChanged, LastChanged,
                          Pool);
    OldLen = std::clamp<int32_t>(OldLen, 0, FLength - Offset);
    int32_t D = NewLen - OldLen;
    int32_t NewLength = FLength + D;
    if (OldLen == 0 && NewLen == 0) {
        int32_t InLine;
        FirstChanged = LastChanged = PosToLine(Offset + 1, InLine);
        return erOK;
    }
    if (NewLength > MaxParaLength || !EnsureCapacity(NewLength + 1, Pool)) return erOutOfMemory;
    char* B = Buf();
    int32_t Common = std::min(OldLen, NewLen);
    if (Common > 0) std::memcpy(B + Offset, NewText, static_cast<size_t>(Common));
    if (D < 0)
        DeleteBytes(B, FLength, Offset + NewLen, -D);
    else if (D > 0)
        InsertBytes(B, FLength, Offset + OldLen, NewText + OldLen, D);
    FLength = static_cast<uint16_t>(NewLength);
    Reflow(Offset, OldLen, NewLen, WrapColumn, TabSize, FirstChanged, LastChanged, Pool);
    return erOK;
}

int32_t TParaNode::TrimTrailingBlanks() {
    int32_t N = CountTrailingBlanks(FLength);
    if (N > 0) {
        FLength = static_cast<uint16_t>(FLength - N);
        Buf()[FLength] = '\0';
    }
    return N;
}

int32_t TParaNode::CountTrailingBlanks(int32_t Upto) const {
    if (FCapacity8 == 0) return 0;
    Upto = std::clamp<int32_t>(Upto, 0, FLength);
    const char* T = Text();
    int32_t N = 0;
    while (Upto - N > 0 && IsBlank(T[Upto - N - 1]))
        ++N;
    return N;
}

const char* TParaNode::LineText(int32_t N, int32_t& Len) const {
    if (N < 1 || N > FLineCount) {
        Len = 0;
        return "";
    }
    int32_t Start = LineStart(N - 1);
    int32_t End = N < FLineCount ? LineStart(N) : FLength;
    Len = End - Start;
    return Text() + Start;
}

int32_t TParaNode::PosToLine(int32_t Pos, int32_t& PosInLine) const {
    if (FLineCount <= 1) {
        PosInLine = Pos;
        return 1;
    }
    // The last line whose start offset is below Pos.
    const uint16_t* Begin = Table();
    const uint16_t* End = Begin + FLineCount;
    int32_t K = static_cast<int32_t>(
        std::upper_bound(Begin, End, Pos - 1, [](int32_t V, uint16_t E) { return V < E; }) - Begin);
    if (K < 1) K = 1;
    PosInLine = Pos - Begin[K - 1];
    return K;
}
