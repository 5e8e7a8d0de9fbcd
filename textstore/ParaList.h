// The document: a doubly linked list of wrapped paragraphs with totals, limits, markers, undo.
#pragma once

#include "ParaListClient.h"
#include "ParaNode.h"
#include "ParaPool.h"
#include "ResultCodes.h"
#include "UndoBuffer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// A document position: 1-based paragraph and 1-based character position in it (position n is
// in front of the n-th character; beyond length + 1 is virtual space). (0, 0) means not set.
struct TParaPos {
    int32_t Para = 0;
    int32_t Pos = 0;
    friend bool operator==(const TParaPos&, const TParaPos&) = default;
};

// Counts and limits of the whole document: this value means "no limit".
constexpr int32_t MaxLongint = 2147483647;
// Wrap column handed to the paragraphs while word wrap is off.
constexpr int32_t UnwrappedColumn = 32767;
constexpr int32_t DefaultParaLengthLimit = 32767;
constexpr int32_t DefaultWrapColumn = 80;
constexpr uint8_t DefaultTabSize = 8;
constexpr int MarkerCount = 10;
// A whole-document re-wrap of more bytes than this shows the wait cursor.
constexpr int32_t BusyRewrapBytes = 10000;

class TParaList {
public:
    // One empty paragraph, the default limits and an undo buffer of (at most) UndoBufferSize.
    TParaList(IParaListClient* Owner, bool WordWrap, uint16_t UndoBufferSize);
    ~TParaList();
    TParaList(const TParaList&) = delete;
    TParaList& operator=(const TParaList&) = delete;

    // The editor that created the list (receives TextReformatted and ShowBusy).
    IParaListClient* Owner() const { return FOwner; }
    void SetOwner(IParaListClient* Editor) { FOwner = Editor; }

    // Settings. The wrap setters re-wrap everything and send TextReformatted to the owner.
    uint8_t TabSize() const { return FTabSize; }
    void SetTabSize(uint8_t N);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool B);
    int32_t WrapColumn() const { return FWrapColumn; }
    void SetWrapColumn(int32_t N);
    // WrapColumn() while wrapping, else UnwrappedColumn.
    int32_t EffectiveWrapColumn() const { return FWordWrap ? FWrapColumn : UnwrappedColumn; }
    // Replaces the undo buffer (the history is lost); reads back the size granted.
    uint16_t UndoBufferSize() const { return FUndo->Size(); }
    void SetUndoBufferSize(uint16_t N);
    int32_t ByteLimit() const { return FByteLimit; }
    void SetByteLimit(int32_t N) { FByteLimit = N; }
    int32_t ParaLimit() const { return FParaLimit; }
    void SetParaLimit(int32_t N) { FParaLimit = N; }
    int32_t ParaLengthLimit() const { return FParaLengthLimit; }
    void SetParaLengthLimit(int32_t N) { FParaLengthLimit = N; }

    // Markers 0..9; other numbers are ignored (Marker gives (0, 0)).
    void SetMarker(int N, int32_t Para, int32_t Pos);
    // Stores (paragraph of Line, Pos + offset of the line's start).
    void SetMarkerAtLine(int N, int32_t Line, int32_t Pos);
    TParaPos Marker(int N) const;
    const std::array<TParaPos, MarkerCount>& Markers() const { return FMarkers; }

    // Totals and state.
    int32_t ParaCount() const { return FParaCount; }
    int32_t LineCount() const { return FLineCount; }
    // Paragraph lengths plus 2 for every paragraph break.
    int32_t ByteCount() const { return FByteCount; }
    bool Modified() const { return FModified; }
    // Setting false also marks every undo record modified, so that undoing past a save leaves
    // the text modified.
    void SetModified(bool B);
    bool NotifyEnabled() const { return FNotifyEnabled; }
    bool InUndoRedo() const { return FInUndoRedo; }
    // Display lines changed by the latest single-paragraph edit or text block insertion;
    // LastDirtyLine() == MaxLongint reaches to the end of the document.
    int32_t FirstDirtyLine() const { return FFirstDirtyLine; }
    int32_t LastDirtyLine() const { return FLastDirtyLine; }
    TUndoBuffer& UndoBuffer() { return *FUndo; }
    uint16_t UndoCount() const { return FUndo->UndoCount(); }
    uint16_t RedoCount() const { return FUndo->RedoCount(); }

    // Look-ups. Numbers outside the valid range give none / 0 / an empty line.
    TParaNode* GetPara(int32_t Para);
    int32_t GetParaLength(int32_t Para);
    // The node holding display line Line, the start of the line's characters and their count.
    TParaNode* GetLine(int32_t Line, const char*& Text, int32_t& Len);
    int32_t GetLineLength(int32_t Line);
    int32_t GetLineWidth(int32_t Line);
    // Display line holding (Para, Pos) (Para clamped) and the position within that line.
    int32_t ParaToLine(int32_t Para, int32_t Pos, int32_t& LinePos);
    // Paragraph holding display line Line and the 0-based offset of the line's first character.
    int32_t LineToPara(int32_t Line, int32_t& LineStart);
    // Tab-expanded width of a text with the list's tab size.
    int32_t TextWidth(const char* Text, int32_t Len) const;
    // Display column (1-based) of Pos in a line of Len characters, and back.
    int32_t PosToColumn(const char* Text, int32_t Len, int32_t Pos) const;
    int32_t ColumnToPos(const char* Text, int32_t Len, int32_t Col) const;
    // Tests growth by NewParas paragraphs and NewBytes bytes (into paragraph Para when
    // NewParas = 0) against the limits: erTooManyParas, erTextTooLarge, erParaTooLong or 0.
    // A paragraph length limit above MaxParaLength counts as MaxParaLength.
    TResultCode CheckLimits(int32_t Para, int32_t NewParas, int32_t NewBytes);

    // Edits, on behalf of Editor (which is notified; may be null). Positions are 1-based.
    TResultCode InsertText(IParaListClient* Editor, int32_t Para, int32_t Len, const char* Text,
                           int32_t Pos);
    void DeleteText(IParaListClient* Editor, int32_t Para, int32_t Count, int32_t Pos);
    TResultCode ReplaceText(IParaListClient* Editor, int32_t Para, int32_t NewLen,
                            const char* NewText, int32_t OldLen, int32_t Pos);
    TResultCode InsertParaBefore(IParaListClient* Editor, int32_t Para, int32_t Len,
                                 const char* Text);
    TResultCode InsertParaAfter(IParaListClient* Editor, int32_t Para, int32_t Len,
                                const char* Text);
    void DeletePara(IParaListClient* Editor, int32_t Para);
    // New line at (Para, Pos). Indent: columns of indentation wanted, returns the characters
    // inserted. IndentTabSize > 0 lets the indentation use tabs.
    TResultCode SplitPara(IParaListClient* Editor, int32_t Para, int32_t Pos, int IndentTabSize,
                          int32_t& Indent, bool TrimBlanks);
    // Appends paragraph Para + 1 to paragraph Para at Pos (padding with spaces past the end).
    // An empty paragraph Para joined at 1 is simply removed. erCannotJoin when the joined
    // paragraph would pass the length limit, or the padding the byte limit.
    TResultCode JoinParas(IParaListClient* Editor, int32_t Para, int32_t Pos);
    // Deletes from (Para1, Pos1) up to, not including, (Para2, Pos2), for Para1 < Para2.
    // Returns erCannotJoin when the two remaining parts could not be joined.
    TResultCode DeleteBlock(IParaListClient* Editor, int32_t Para1, int32_t Pos1, int32_t Para2,
                            int32_t Pos2);
    // Inserts Len bytes that may hold CR/LF line ends at At, in one undo group; At returns the
    // position after them (or as far as the insertion got). The text is reproduced exactly:
    // blanks before a line end are kept.
    TResultCode InsertTextBlock(IParaListClient* Editor, TParaPos& At, const char* Text,
                                int32_t Len);
    // Loading: adds a paragraph before the last one; no limits, undo, notification or Modified.
    // Text longer than a paragraph can hold is split with BreakLongText, never cut.
    void AppendPara(const char* Text, int32_t Len, bool TrimBlanks);
    // Replays the newest group backwards; Para/Pos return where the caret belongs. Returns the
    // restored Modified flag. Replayed edits are not tested against the limits: they only bring
    // back text that was there.
    bool Undo(IParaListClient* Editor, int32_t& Para, int32_t& Pos);
    void Redo(IParaListClient* Editor, int32_t& Para, int32_t& Pos);
    // Re-wraps every paragraph with the current settings.
    void Rewrap();

    // Position adjusters for an edit in paragraph A.
    static void AdjustForTextInserted(TParaPos& P, int32_t A, int32_t Count, int32_t At);
    static void AdjustForTextDeleted(TParaPos& P, int32_t A, int32_t Count, int32_t At);
    static void AdjustMarkerForTextDeleted(TParaPos& P, int32_t A, int32_t Count, int32_t At);
    void AdjustForParaDeleted(TParaPos& P, int32_t A) const;
    static void AdjustMarkerForParaDeleted(TParaPos& P, int32_t A);
    static void AdjustForParaSplit(TParaPos& P, int32_t A, int32_t Indent, int32_t At);
    static void AdjustMarkerForJoin(TParaPos& P, int32_t A, int32_t At);

    // Recomputes everything the list maintains (links, totals, line tables, cursor) and throws
    // std::logic_error on a mismatch. Debug builds run it after every edit of documents of up
    // to DebugCheckParas paragraphs (loading and re-wrapping are not checked).
    void CheckInvariant() const;
    static constexpr int32_t DebugCheckParas = 2000;

    // First and last node, for walking the whole document.
    TParaNode* FirstNode() const { return FFirst; }
    TParaNode* LastNode() const { return FLast; }

private:
    struct TCursor {
        TParaNode* Node = nullptr;
        int32_t Para = 1;
        int32_t Line = 1;       // document line of one of the node's lines
        int32_t LineInPara = 1; // which one
    };
    // A paragraph whose number and first line are known, so that a look-up far from the
    // cursor walks from the nearest one instead of from an end of the list. Loading and
    // re-wrapping leave one every MarkSpacing paragraphs; edits keep them up to date.
    struct TMark {
        TParaNode* Node;
        int32_t Para;
        int32_t Line; // the paragraph's first line
    };
    static constexpr int32_t MarkSpacing = 1024;

    TResultCode InsertTextChecked(IParaListClient* Editor, int32_t Para, int32_t Len,
                                  const char* Text, int32_t Pos, bool Check);
    TResultCode DoInsertPara(IParaListClient* Editor, int32_t Para, int32_t Len, const char* Text,
                             bool After, bool Check);
    TResultCode DoJoin(IParaListClient* Editor, int32_t Para, int32_t Pos);
    void LinkBefore(TParaNode* Node, int32_t Para);
    void LinkAfter(TParaNode* Node, int32_t Para);
    void RelinkBefore(IParaListClient* Editor, TParaNode* Node, int32_t Para);
    void RelinkAfter(IParaListClient* Editor, TParaNode* Node, int32_t Para);
    void EditTail(IParaListClient* Editor, int32_t Para, int32_t FirstLine, int32_t OldLines,
                  TParaNode* Node, int32_t OldLength, int32_t First, int32_t Last);
    // A no-op edit at (paragraph of the cursor, Pos): the dirty range is that one line.
    void MarkUnchanged(TParaNode* Node, int32_t Pos);
    int32_t FirstLineOfCursor() const { return FCursor.Line - FCursor.LineInPara + 1; }
    void ResetCursor();
    // Paragraphs from Para on (and their lines) were renumbered by DPara and DLine.
    void ShiftMarks(int32_t Para, int32_t DPara, int32_t DLine);
    // The mark nearest to Para (by paragraph) or Line (by line); null when there is none.
    const TMark* MarkNearPara(int32_t Para) const;
    const TMark* MarkNearLine(int32_t Line) const;
    // Rebuilds the marks in one walk of the list.
    void RebuildMarks();
    void Record(TUndoKind Kind, int32_t Para, int32_t Pos, const char* Data, int32_t Len);
    void ApplyUndo(IParaListClient* Editor, const TUndoStep& S, int32_t& Para, int32_t& Pos);
    void ApplyRedo(IParaListClient* Editor, const TUndoStep& S, int32_t& Para, int32_t& Pos);
    void DebugCheck() const;
    int32_t EffectiveParaLengthLimit() const;

    IParaListClient* FOwner;
    // Every paragraph's storage; declared first so that it goes last.
    std::unique_ptr<TParaPool> FPool;
    TParaNode* FFirst = nullptr;
    TParaNode* FLast = nullptr;
    TCursor FCursor;
    std::vector<TMark> FMarks; // by paragraph (and so by line)
    int32_t FParaCount = 1;
    int32_t FByteCount = 0;
    int32_t FLineCount = 1;
    int32_t FParaLimit = MaxLongint;
    int32_t FByteLimit = MaxLongint;
    int32_t FParaLengthLimit = DefaultParaLengthLimit;
    bool FWordWrap;
    int32_t FWrapColumn = DefaultWrapColumn;
    uint8_t FTabSize = DefaultTabSize;
    bool FModified = false;
    bool FNotifyEnabled = true;
    std::array<TParaPos, MarkerCount> FMarkers{};
    std::unique_ptr<TUndoBuffer> FUndo;
    bool FInUndoRedo = false;
    int32_t FFirstDirtyLine = 1;
    int32_t FLastDirtyLine = 1;
};
