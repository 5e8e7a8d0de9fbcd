// The undo buffer: records packed in one block, merging, groups and discarding of old groups.
#include "UndoBuffer.h"

#include "ParaNode.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr uint16_t OffPrev = 0, OffKind = 2, OffGroup = 3, OffPara = 4, OffPos = 8, OffLen = 12,
                   OffData = 14;

template <typename T> T Get(const std::vector<uint8_t>& B, size_t At) {
    T V;
    std::memcpy(&V, B.data() + At, sizeof(T));
    return V;
}
template <typename T> void Put(std::vector<uint8_t>& B, size_t At, T V) {
    std::memcpy(B.data() + At, &V, sizeof(T));
}

inline bool IsParaKind(TUndoKind K) {
    return K == uaInsertParaBefore || K == uaInsertParaAfter || K == uaDeletePara;
}

} // namespace

// ---- TUndoNode ----

void TUndoNode::Build(uint16_t Offset, uint16_t PrevSize, TUndoKind Kind, bool Modified,
                      uint8_t Group, int32_t Para, int32_t Pos, uint16_t DataLen) {
    auto& B = FOwner.FBlock;
    Put<uint16_t>(B, Offset + OffPrev, PrevSize);
    B[Offset + OffKind] = static_cast<uint8_t>(Kind | (Modified ? 0x80 : 0));
    B[Offset + OffGroup] = Group;
    Put<int32_t>(B, Offset + OffPara, Para);
    Put<int32_t>(B, Offset + OffPos, Pos);
    Put<uint16_t>(B, Offset + OffLen, DataLen);
    Put<uint16_t>(B, Offset + OffData + DataLen, 0);
}

uint16_t TUndoNode::Size(uint16_t Offset) const {
    return static_cast<uint16_t>(DataLen(Offset) + UndoRecordOverhead);
}
uint16_t TUndoNode::PrevSize(uint16_t Offset) const {
    return Get<uint16_t>(FOwner.FBlock, Offset + OffPrev);
}
void TUndoNode::SetPrevSize(uint16_t Offset, uint16_t V) {
    Put<uint16_t>(FOwner.FBlock, Offset + OffPrev, V);
}
TUndoKind TUndoNode::Kind(uint16_t Offset) const {
    return static_cast<TUndoKind>(FOwner.FBlock[Offset + OffKind] & 0x7F);
}
bool TUndoNode::Modified(uint16_t Offset) const {
    return (FOwner.FBlock[Offset + OffKind] & 0x80) != 0;
}
void TUndoNode::SetModified(uint16_t Offset, bool V) {
    uint8_t& K = FOwner.FBlock[Offset + OffKind];
    K = static_cast<uint8_t>((K & 0x7F) | (V ? 0x80 : 0));
}
uint8_t TUndoNode::Group(uint16_t Offset) const {
    return FOwner.FBlock[Offset + OffGroup];
}
int32_t TUndoNode::Para(uint16_t Offset) const {
    return Get<int32_t>(FOwner.FBlock, Offset + OffPara);
}
int32_t TUndoNode::Pos(uint16_t Offset) const {
    return Get<int32_t>(FOwner.FBlock, Offset + OffPos);
}
void TUndoNode::SetPos(uint16_t Offset, int32_t V) {
    Put<int32_t>(FOwner.FBlock, Offset + OffPos, V);
}
uint16_t TUndoNode::DataLen(uint16_t Offset) const {
    return Get<uint16_t>(FOwner.FBlock, Offset + OffLen);
}
void TUndoNode::SetDataLen(uint16_t Offset, uint16_t V) {
    Put<uint16_t>(FOwner.FBlock, Offset + OffLen, V);
}
uint8_t* TUndoNode::Data(uint16_t Offset) {
    return FOwner.FBlock.data() + Offset + OffData;
}
uint16_t TUndoNode::Spare(uint16_t Offset) const {
    return Get<uint16_t>(FOwner.FBlock, Offset + OffData + DataLen(Offset));
}
void TUndoNode::SetSpare(uint16_t Offset, uint16_t V) {
    Put<uint16_t>(FOwner.FBlock, Offset + OffData + DataLen(Offset), V);
}

TUndoStep TUndoNode::Read(uint16_t Offset) {
    TUndoStep S;
    S.Kind = Kind(Offset);
    S.Group = Group(Offset);
    S.Modified = Modified(Offset);
    S.Para = Para(Offset);
    S.Pos = Pos(Offset);
    S.DataLen = DataLen(Offset);
    S.Data = reinterpret_cast<const char*>(Data(Offset));
    if (IsParaKind(S.Kind)) {
        uint32_t H;
        std::memcpy(&H, S.Data, sizeof H);
        S.Node = FOwner.FNodes[H];
    } else if (S.Kind == uaReplaceText) {
        S.OldLen = Spare(Offset);
        S.OldText = S.Data;
        S.NewText = S.Data + S.OldLen + 1;
        S.NewLen = static_cast<uint16_t>(S.DataLen - S.OldLen - 2);
    }
    return S;
}

void TUndoNode::Release(uint16_t Offset, bool Undoable) {
    TUndoKind K = Kind(Offset);
    if (!IsParaKind(K)) return;
    uint32_t H;
    std::memcpy(&H, Data(Offset), sizeof H);
    TParaNode* Node = FOwner.FNodes[H];
    // A removed paragraph belongs to its deletion record until that is undone; an inserted one
    // belongs to its insertion record once the insertion is undone.
    bool Owned = K == uaDeletePara ? Undoable : !Undoable;
    if (Owned) {
        if (FOwner.FDisposeNode)
            FOwner.FDisposeNode(Node);
        else
            delete Node;
    }
    FOwner.FNodes[H] = nullptr;
    FOwner.FFreeHandles.push_back(H);
}

// ---- TUndoBuffer ----

TUndoBuffer::TUndoBuffer(uint16_t Size) {
    for (;;) {
        try {
            FBlock.assign(Size, 0);
            break;
        } catch (const std::bad_alloc&) {
            if (Size > 16)
                Size = static_cast<uint16_t>(Size - Size / 2);
            else {
                Size = 0;
                FBlock.clear();
                break;
            }
        }
    }
    FSize = Size;
    FFree = Size;
}

TUndoBuffer::~TUndoBuffer() {
    ReleaseAll();
}

void TUndoBuffer::BeginGroup(bool& Saved) {
    Saved = FInGroup;
    if (!FInGroup) {
        FInGroup = true;
        NextGroup();
    }
}

void TUndoBuffer::NextGroup() {
    // The 8-bit counter comes round again after 255 groups, and undoing can bring a record of
    // that older group back to the top: skip its id, so that the new group is never replayed
    // together with it.
    ++FGroup;
    if (FUndoCount > 0 && FNode.Group(FCurrent) == FGroup) ++FGroup;
}

void TUndoBuffer::EndGroup(bool Saved) {
    FInGroup = Saved;
    if (!Saved) FSuspended = false;
}

uint16_t TUndoBuffer::UsedEnd() const {
    return FUndoCount ? static_cast<uint16_t>(FCurrent + FNode.Size(FCurrent)) : 0;
}

uint16_t TUndoBuffer::NextOffset(uint16_t Offset) const {
    return static_cast<uint16_t>(Offset + FNode.Size(Offset));
}

void TUndoBuffer::DropRedo() {
    uint16_t Off = UsedEnd();
    for (uint16_t I = 0; I < FRedoCount; ++I) {
        FNode.Release(Off, false);
        Off = NextOffset(Off);
    }
    FRedoCount = 0;
}

void TUndoBuffer::ReleaseAll() {
    uint16_t Off = 0;
    for (uint16_t I = 0; I < FUndoCount; ++I) {
        FNode.Release(Off, true);
        Off = NextOffset(Off);
    }
    DropRedo();
}

void TUndoBuffer::ResetEmpty() {
    FFree = FSize;
    FUndoCount = 0;
    FRedoCount = 0;
    FCurrent = 0;
    FGroup = 0;
}

void TUndoBuffer::Clear() {
    ReleaseAll();
    ResetEmpty();
}

void TUndoBuffer::MarkAllModified() {
    uint16_t Off = 0;
    for (int32_t I = 0; I < FUndoCount + FRedoCount; ++I) {
        FNode.SetModified(Off, true);
        Off = NextOffset(Off);
    }
}

bool TUndoBuffer::Reserve(int32_t N, bool Extending) {
    if (FSuspended) return false;
    if (N > FSize) {
        Clear();
        FSuspended = FInGroup;
        return false;
    }
    if (N <= FFree) return true;
    DropRedo();
    // Discard the oldest whole groups until a sixteenth of the block (or N) is free, so that a
    // full buffer does not discard on every keystroke.
    const int32_t Target = std::max<int32_t>(N, FSize / 16);
    const uint16_t End = UsedEnd();
    uint16_t Off = 0, Discarded = 0;
    while (FFree < Target && Discarded < FUndoCount) {
        uint8_t G = FNode.Group(Off);
        while (Discarded < FUndoCount && FNode.Group(Off) == G) {
            uint16_t Size = FNode.Size(Off);
            FNode.Release(Off, true);
            FFree = static_cast<uint16_t>(FFree + Size);
            Off = static_cast<uint16_t>(Off + Size);
            ++Discarded;
        }
    }
    if (Discarded == FUndoCount) {
        // Nothing older is left. A group is never recorded in part, and a record that had to be
        // discarded to make room for its own extension is gone: record nothing.
        ResetEmpty();
        FSuspended = FInGroup;
        return !FInGroup && !Extending;
    }
    std::memmove(FBlock.data(), FBlock.data() + Off, End - Off);
    FNode.SetPrevSize(0, 0);
    FUndoCount = static_cast<uint16_t>(FUndoCount - Discarded);
    FCurrent = static_cast<uint16_t>(FCurrent - Off);
    FRedoCount = 0;
    return true;
}

uint16_t TUndoBuffer::Append(TUndoKind Kind, bool Modified, uint8_t Group, int32_t Para,
                             int32_t Pos, uint16_t DataLen) {
    DropRedo();
    uint16_t Off = UsedEnd();
    uint16_t Prev = FUndoCount ? FNode.Size(FCurrent) : 0;
    FNode.Build(Off, Prev, Kind, Modified, Group, Para, Pos, DataLen);
    FCurrent = Off;
    ++FUndoCount;
    FFree = static_cast<uint16_t>(FFree - DataLen - UndoRecordOverhead);
    return Off;
}

TUndoBuffer::TMerge TUndoBuffer::TryMerge(TUndoKind Kind, int32_t Para, int32_t Pos,
                                          const char* Data, uint16_t DataLen, const char* NewText,
                                          uint16_t NewLen) {
    if (FUndoCount == 0 || FNode.Kind(FCurrent) != Kind || FNode.Para(FCurrent) != Para)
        return TMerge::None;
    const int32_t RPos = FNode.Pos(FCurrent);
    const int32_t RLen = FNode.DataLen(FCurrent);
    enum { Append, Prepend, Replace } How;
    int32_t Add;
    if (Kind == uaInsertText && Pos == RPos + RLen) {
        How = Append;
        Add = DataLen;
    } else if (Kind == uaDeleteText && Pos == RPos) {
        How = Append;
        Add = DataLen;
    } else if (Kind == uaDeleteText && Pos + DataLen == RPos) {
        How = Prepend;
        Add = DataLen;
    } else if (Kind == uaReplaceText && Pos == RPos + RLen - FNode.Spare(FCurrent) - 2) {
        // The edit continues right after the record's new text (for overwrite typing, where
        // both texts have the same length, that is also right after its old text).
        How = Replace;
        Add = DataLen + NewLen;
    } else
        return TMerge::None;
    if (!Reserve(Add, true)) return TMerge::Lost;
    DropRedo();
    const uint16_t Off = FCurrent; // the reservation may have moved it
    uint8_t* D = FNode.Data(Off);
    const int32_t Len = FNode.DataLen(Off);
    if (How == Append) {
        if (DataLen) std::memcpy(D + Len, Data, DataLen);
        FNode.SetDataLen(Off, static_cast<uint16_t>(Len + Add));
    } else if (How == Prepend) {
        std::memmove(D + Add, D, Len);
        std::memcpy(D, Data, DataLen);
        FNode.SetPos(Off, Pos);
        FNode.SetDataLen(Off, static_cast<uint16_t>(Len + Add));
    } else {
        const int32_t OldLen = FNode.Spare(Off);
        const int32_t OldNew = Len - OldLen - 2;
        // old, NUL, new, NUL  ->  old + added old, NUL, new + added new, NUL
        std::memmove(D + OldLen + DataLen + 1, D + OldLen + 1, OldNew);
        if (DataLen) std::memcpy(D + OldLen, Data, DataLen);
        D[OldLen + DataLen] = 0;
        uint8_t* NewPart = D + OldLen + DataLen + 1;
        if (NewLen) std::memcpy(NewPart + OldNew, NewText, NewLen);
        NewPart[OldNew + NewLen] = 0;
        FNode.SetDataLen(Off, static_cast<uint16_t>(Len + Add));
        FNode.SetSpare(Off, static_cast<uint16_t>(OldLen + DataLen));
    }
    FFree = static_cast<uint16_t>(FFree - Add);
    return TMerge::Merged;
}

bool TUndoBuffer::Add(TUndoKind Kind, bool Modified, int32_t Para, int32_t Pos, const char* Data,
                      uint16_t DataLen) {
    if (IsParaKind(Kind) || Kind == uaReplaceText) return false;
    if (Kind == uaCaret) DataLen = 0;
    if (!FInGroup) {
        TMerge M = TryMerge(Kind, Para, Pos, Data, DataLen, nullptr, 0);
        if (M != TMerge::None) return M == TMerge::Merged;
        NextGroup();
    }
    if (!Reserve(DataLen + UndoRecordOverhead, false)) return false;
    // Read after the reservation: discarding everything older starts the counter again.
    uint16_t Off = Append(Kind, Modified, FGroup, Para, Pos, DataLen);
    if (DataLen) std::memcpy(FNode.Data(Off), Data, DataLen);
    return true;
}

bool TUndoBuffer::Add(TUndoKind Kind, bool Modified, int32_t Para, int32_t Pos, TParaNode* Node) {
    if (!IsParaKind(Kind)) return false;
    if (!FInGroup) NextGroup();
    if (!Reserve(UndoNodeRefSize + UndoRecordOverhead, false)) return false;
    uint32_t H;
    if (!FFreeHandles.empty()) {
        H = FFreeHandles.back();
        FFreeHandles.pop_back();
        FNodes[H] = Node;
    } else {
        H = static_cast<uint32_t>(FNodes.size());
        FNodes.push_back(Node);
    }
    uint16_t Off = Append(Kind, Modified, FGroup, Para, Pos, UndoNodeRefSize);
    std::memcpy(FNode.Data(Off), &H, sizeof H);
    return true;
}

bool TUndoBuffer::AddReplace(bool Modified, int32_t Para, int32_t Pos, const char* OldText,
                             uint16_t OldLen, const char* NewText, uint16_t NewLen) {
    if (!FInGroup) {
        TMerge M = TryMerge(uaReplaceText, Para, Pos, OldText, OldLen, NewText, NewLen);
        if (M != TMerge::None) return M == TMerge::Merged;
        NextGroup();
    }
    const int32_t DataLen = OldLen + NewLen + 2;
    if (!Reserve(DataLen + UndoRecordOverhead, false)) return false;
    uint16_t Off =
        Append(uaReplaceText, Modified, FGroup, Para, Pos, static_cast<uint16_t>(DataLen));
    uint8_t* D = FNode.Data(Off);
    if (OldLen) std::memcpy(D, OldText, OldLen);
    D[OldLen] = 0;
    if (NewLen) std::memcpy(D + OldLen + 1, NewText, NewLen);
    D[OldLen + 1 + NewLen] = 0;
    FNode.SetSpare(Off, OldLen);
    return true;
}

TUndoStep TUndoBuffer::StepBack() {
    const uint16_t Off = FCurrent;
    TUndoStep S = FNode.Read(Off);
    --FUndoCount;
    ++FRedoCount;
    FFree = static_cast<uint16_t>(FFree + FNode.Size(Off));
    uint16_t Prev = FNode.PrevSize(Off);
    if (Prev > 0) FCurrent = static_cast<uint16_t>(Off - Prev);
    return S;
}

TUndoStep TUndoBuffer::StepForward(bool CurrentModified) {
    const uint16_t Off = FUndoCount ? NextOffset(FCurrent) : FCurrent;
    FNode.SetModified(Off, CurrentModified);
    TUndoStep S = FNode.Read(Off);
    --FRedoCount;
    ++FUndoCount;
    FFree = static_cast<uint16_t>(FFree - FNode.Size(Off));
    FCurrent = Off;
    return S;
}

uint8_t TUndoBuffer::NextUndoGroup() const {
    if (FSize < UndoRecordOverhead) return 0;
    uint8_t G = FNode.Group(FCurrent);
    return FUndoCount ? G : static_cast<uint8_t>(~G);
}

uint8_t TUndoBuffer::NextRedoGroup() const {
    if (FSize < UndoRecordOverhead) return 0;
    if (FRedoCount) return FNode.Group(FUndoCount ? NextOffset(FCurrent) : FCurrent);
    return static_cast<uint8_t>(~FNode.Group(FCurrent));
}
