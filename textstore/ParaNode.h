// One paragraph: its bytes and the offsets at which its wrapped display lines start.
#pragma once

#include "ResultCodes.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

// The most characters a paragraph can hold (offsets are 16-bit).
constexpr int32_t MaxParaLength = 32767;
// Wrap column meaning "never wrap".
constexpr int32_t NoWrapColumn = 2147483647;

class TParaList;
class TParaPool;

class TParaNode {
public:
    // Copies Length bytes of Text (which may hold NULs) and wraps them. An allocation failure
    // raises EOutOfMemory. Length must not exceed MaxParaLength.
    TParaNode(const char* Text, int32_t Length, int32_t WrapColumn, int TabSize);
    // The same with the node, its text and its line table in Pool, which must outlive it.
    // Every later call that may allocate (InsertText, DeleteText, ReplaceText, Recalc) passes
    // the same pool, and Destroy gives it all back; what is not given back goes with the pool.
    static TParaNode* Create(TParaPool& Pool, const char* Text, int32_t Length, int32_t WrapColumn,
                             int TabSize);
    static void Destroy(TParaNode* Node, TParaPool& Pool);
    ~TParaNode();
    TParaNode(const TParaNode&) = delete;
    TParaNode& operator=(const TParaNode&) = delete;

    // delete is for nodes made without a pool; a pool's node is left to its pool.
    static void* operator new(std::size_t Size) { return ::operator new(Size); }
    void operator delete(TParaNode* Node, std::destroying_delete_t);
    // For a constructor that throws inside new.
    void operator delete(void* P) { ::operator delete(P); }

    // Bytes reserved for the text including its NUL; 0 while the paragraph has no buffer.
    uint16_t Capacity() const { return static_cast<uint16_t>(FCapacity8 * 8u); }
    // Display lines, at least 1.
    int32_t LineCount() const { return FLineCount; }
    // Entry K (from 0) of the line table: 0-based offset of the first character of line K + 1.
    // Meaningful for K < LineCount().
    uint16_t LineStart(int32_t K) const { return FHasTable ? Table()[K] : 0; }
    // Entries reserved for the line table (storage for single-line paragraphs is not allocated).
    uint16_t LineTableSize() const { return FLineTableSize; }
    uint16_t Length() const { return FLength; }
    // The text, NUL-terminated after Length() bytes; "" when there is no buffer.
    const char* Text() const;
    bool HasBuffer() const { return FCapacity8 != 0; }

    TParaNode* Next() const { return FNext; }
    TParaNode* Prev() const { return FPrev; }

    // Start of display line N and its character count (including the blanks skipped at its
    // break); "" and 0 when N is outside 1..LineCount().
    const char* LineText(int32_t N, int32_t& Len) const;
    // The display line holding 1-based position Pos and Pos relative to that line's start.
    int32_t PosToLine(int32_t Pos, int32_t& PosInLine) const;

    // Inserts Count bytes at Pos, padding with spaces when Pos is beyond the end. Returns
    // erOutOfMemory (nothing changed) when the buffer cannot grow or the result would exceed
    // MaxParaLength. FirstChanged/LastChanged: display lines of this paragraph to repaint.
    TResultCode InsertText(const char* Text, int32_t Count, int32_t Pos, int32_t WrapColumn,
                           int TabSize, int32_t& FirstChanged, int32_t& LastChanged,
                           TParaPool* Pool = nullptr);
    // Deletes up to Count bytes at Pos; nothing when Pos is beyond the end.
    void DeleteText(int32_t Pos, int32_t Count, int32_t WrapColumn, int TabSize,
                    int32_t& FirstChanged, int32_t& LastChanged, TParaPool* Pool = nullptr);
    // Replaces OldLen bytes at Pos by NewLen bytes of NewText.
    TResultCode ReplaceText(int32_t Pos, int32_t OldLen, int32_t NewLen, const char* NewText,
                            int32_t WrapColumn, int TabSize, int32_t& FirstChanged,
                            int32_t& LastChanged, TParaPool* Pool = nullptr);
    // Rebuilds the whole line table.
    void Recalc(int32_t WrapColumn, int TabSize, TParaPool* Pool = nullptr);
    // Removes the spaces and tabs at the end; returns how many. The line table is kept.
    int32_t TrimTrailingBlanks();
    // Spaces and tabs directly before offset Upto.
    int32_t CountTrailingBlanks(int32_t Upto) const;

private:
    friend class TParaList;

    // Texts up to 7 characters live inside the node.
    static constexpr int InlineSize = 8;

    TParaNode(TParaPool* Pool, const char* Text, int32_t Length, int32_t WrapColumn, int TabSize);
    // Storage from the pool (a node made by Create) or the heap; null when none is left.
    void* AllocBytes(std::size_t N, TParaPool* Pool);
    void FreeBytes(void* P, std::size_t N, TParaPool* Pool);
    // Gives the text and the line table back.
    void FreeStorage(TParaPool* Pool);
    // Text beyond the node and the line table share one block: the text's capacity, then the
    // table's entries.
    bool OutOfLine() const { return Capacity() > InlineSize || FHasTable; }
    std::size_t BlockSize() const {
        return Capacity() + (FHasTable ? sizeof(uint16_t) * FLineTableSize : 0);
    }
    uint16_t* Table() const { return reinterpret_cast<uint16_t*>(FHeap + Capacity()); }
    // Moves the text (and the table, which keeps its entries and gets new zero ones) to a new
    // block of Cap text bytes and TableSize entries, with or without a table.
    bool Relocate(int32_t Cap, int32_t TableSize, bool WithTable, TParaPool* Pool);
    char* Buf();
    bool EnsureCapacity(int32_t Needed, TParaPool* Pool);
    bool GrowLineTable(int32_t Size, TParaPool* Pool);
    bool EnsureLineTable(int32_t Entries, TParaPool* Pool);
    // Brings the line table up to date after [Offset, Offset + OldSpan) became
    // [Offset, Offset + NewSpan).
    void Reflow(int32_t Offset, int32_t OldSpan, int32_t NewSpan, int32_t WrapColumn, int TabSize,
                int32_t& FirstChanged, int32_t& LastChanged, TParaPool* Pool);

    TParaNode* FNext = nullptr;
    TParaNode* FPrev = nullptr;
    union {
        char* FHeap;
        char FInline[InlineSize];
    };
    uint16_t FLength : 15 = 0;    // at most MaxParaLength
    uint16_t FPooled : 1 = 0;     // made by Create: the storage is the pool's
    uint16_t FCapacity8 : 13 = 0; // the text's capacity (always a multiple of 8) in eights
    uint16_t FHasTable : 1 = 0;   // table storage exists (needed once there is a second line)
    uint16_t FLineTableSize = 1;
    uint16_t FLineCount = 1;
};

// The line starts a full wrap of Text gives (one entry per display line, the first 0).
std::vector<uint16_t> ComputeLineStarts(const char* Text, int32_t Length, int32_t WrapColumn,
                                        int TabSize);
