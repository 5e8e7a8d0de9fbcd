// The undo and redo history of one paragraph list, packed into a single fixed-size block.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

class TParaNode;

// Record kinds; the numbers are stored in the low 7 bits of a record's kind byte.
enum TUndoKind : uint8_t {
    uaCaret = 0,            // no data: a caret position only
    uaInsertText = 1,       // the inserted characters
    uaInsertParaBefore = 2, // the inserted paragraph
    uaInsertParaAfter = 3,  // the inserted paragraph
    uaDeleteText = 4,       // the deleted characters
    uaDeletePara = 5,       // the removed paragraph, owned by the record while undoable
    uaReplaceText = 6,      // old characters, NUL, new characters, NUL
};

// Bytes of budget every record costs besides its data.
constexpr int UndoRecordOverhead = 16;
// Budget counted for a paragraph reference.
constexpr int UndoNodeRefSize = 4;
constexpr uint16_t DefaultUndoBufferSize = 8192;

// One record as handed out by StepBack/StepForward. The pointers stay valid until the buffer
// is next changed by Add, AddReplace, Clear or a discard.
struct TUndoStep {
    TUndoKind Kind = uaCaret;
    uint8_t Group = 0;
    bool Modified = false;
    int32_t Para = 0;
    int32_t Pos = 0;
    const char* Data = nullptr; // record data (text kinds)
    uint16_t DataLen = 0;       // data bytes as budgeted (4 for a paragraph reference)
    TParaNode* Node = nullptr;  // paragraph kinds
    // uaReplaceText: the two texts inside Data.
    const char* OldText = nullptr;
    uint16_t OldLen = 0;
    const char* NewText = nullptr;
    uint16_t NewLen = 0;
};

class TUndoBuffer;

// Accessor for the records inside the block: builds them in place, reads and writes the kind
// and modified bit, and releases what a record owns when it is dropped.
//
// Record layout at offset O (little-endian): previous size (2), kind | modified << 7 (1),
// group (1), paragraph (4), position (4), data length (2), data, then 2 spare bytes, which a
// uaReplaceText record uses for the length of its old text (texts may hold NULs). A paragraph
// reference is a 4-byte handle into the buffer's node table.
class TUndoNode {
public:
    explicit TUndoNode(TUndoBuffer& Owner) : FOwner(Owner) {}

    void Build(uint16_t Offset, uint16_t PrevSize, TUndoKind Kind, bool Modified, uint8_t Group,
               int32_t Para, int32_t Pos, uint16_t DataLen);
    uint16_t Size(uint16_t Offset) const;
    uint16_t PrevSize(uint16_t Offset) const;
    void SetPrevSize(uint16_t Offset, uint16_t V);
    TUndoKind Kind(uint16_t Offset) const;
    bool Modified(uint16_t Offset) const;
    void SetModified(uint16_t Offset, bool V);
    uint8_t Group(uint16_t Offset) const;
    int32_t Para(uint16_t Offset) const;
    int32_t Pos(uint16_t Offset) const;
    void SetPos(uint16_t Offset, int32_t V);
    uint16_t DataLen(uint16_t Offset) const;
    void SetDataLen(uint16_t Offset, uint16_t V);
    uint8_t* Data(uint16_t Offset);
    uint16_t Spare(uint16_t Offset) const;
    void SetSpare(uint16_t Offset, uint16_t V);
    TUndoStep Read(uint16_t Offset);
    // Drops the record's paragraph reference. The paragraph is destroyed when the record owns
    // it: a uaDeletePara record while undoable, an insert-paragraph record while redoable.
    void Release(uint16_t Offset, bool Undoable);

private:
    TUndoBuffer& FOwner;
};

class TUndoBuffer {
public:
    // Allocates the block; on failure retries with half the size (rounded up) down to none.
    explicit TUndoBuffer(uint16_t Size = DefaultUndoBufferSize);
    ~TUndoBuffer();
    TUndoBuffer(const TUndoBuffer&) = delete;
    TUndoBuffer& operator=(const TUndoBuffer&) = delete;

    // Opens a group unless one is open; Saved tells whether one was already open.
    void BeginGroup(bool& Saved);
    // Restores the group state; closing the outermost group also ends a suspension.
    void EndGroup(bool Saved);

    // Records a caret or text kind. Returns whether the change is recorded (stored or merged).
    bool Add(TUndoKind Kind, bool Modified, int32_t Para, int32_t Pos, const char* Data,
             uint16_t DataLen);
    // Records a paragraph kind referring to Node.
    bool Add(TUndoKind Kind, bool Modified, int32_t Para, int32_t Pos, TParaNode* Node);
    // Records uaReplaceText.
    bool AddReplace(bool Modified, int32_t Para, int32_t Pos, const char* OldText, uint16_t OldLen,
                    const char* NewText, uint16_t NewLen);

    // The newest undoable record, stepped back over. Needs UndoCount() > 0.
    TUndoStep StepBack();
    // The next redoable record, stepped forward over after storing CurrentModified in it.
    // Needs RedoCount() > 0.
    TUndoStep StepForward(bool CurrentModified);
    // Group of the record the next StepBack/StepForward returns, or the complement of the
    // current record's group when there is none.
    uint8_t NextUndoGroup() const;
    uint8_t NextRedoGroup() const;

    void Clear();
    void MarkAllModified();

    // How a paragraph that a dropped record owns is destroyed; plain delete until set.
    void SetNodeDisposer(std::function<void(TParaNode*)> Disposer) {
        FDisposeNode = std::move(Disposer);
    }

    uint16_t UndoCount() const { return FUndoCount; }
    uint16_t RedoCount() const { return FRedoCount; }
    uint16_t Size() const { return FSize; }
    uint16_t Free() const { return FFree; }
    bool InGroup() const { return FInGroup; }
    bool Suspended() const { return FSuspended; }
    uint8_t GroupCounter() const { return FGroup; }
    // Offset of the current record in the block (0 when nothing is undoable).
    uint16_t Current() const { return FCurrent; }

private:
    friend class TUndoNode;

    enum class TMerge { None, Merged, Lost };
    // Advances the group counter for a new group.
    void NextGroup();
    TMerge TryMerge(TUndoKind Kind, int32_t Para, int32_t Pos, const char* Data, uint16_t DataLen,
                    const char* NewText, uint16_t NewLen);
    // Makes room for N bytes; Extending is true when the newest record is to grow.
    bool Reserve(int32_t N, bool Extending);
    uint16_t Append(TUndoKind Kind, bool Modified, uint8_t Group, int32_t Para, int32_t Pos,
                    uint16_t DataLen);
    uint16_t UsedEnd() const;
    void DropRedo();
    void ReleaseAll();
    void ResetEmpty();
    uint32_t NewNodeHandle(TParaNode* Node);
    uint16_t NextOffset(uint16_t Offset) const;

    std::vector<uint8_t> FBlock;
    uint16_t FSize = 0;
    uint16_t FFree = 0;
    uint16_t FCurrent = 0;
    uint16_t FUndoCount = 0;
    uint16_t FRedoCount = 0;
    uint8_t FGroup = 0;
    bool FInGroup = false;
    bool FSuspended = false;
    TUndoNode FNode{*this};
    // Paragraphs referred to by records; a record stores an index into this table.
    std::vector<TParaNode*> FNodes;
    std::vector<uint32_t> FFreeHandles;
    std::function<void(TParaNode*)> FDisposeNode;
};
