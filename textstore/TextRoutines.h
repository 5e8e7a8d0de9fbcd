// Byte-text routines shared by the text store and the editor: blanks, tab expansion, line breaks.
#pragma once

#include <cstdint>

// Every routine takes an explicit length: a NUL byte is an ordinary character here.

// A space or a tab.
inline bool IsBlank(char C) {
    return C == ' ' || C == '\t';
}

// Whether a tab occurs among the first Len characters.
bool HasTab(const char* Text, int32_t Len);

// Display width of the first Len characters, tabs expanded from column 0 at Text. A tab advances
// to the next multiple of TabSize strictly after its starting column. TabSize < 1 counts as 1.
int32_t TextWidth(const char* Text, int32_t Len, int TabSize);

// Characters taken from Text until the column after a character is at least Col; at least one
// is taken. Running off the end of the Len characters gives Len + 1. With tabs this is the
// 1-based position of the character covering display column Col.
int32_t ColumnToOffset(const char* Text, int32_t Len, int32_t Col, int TabSize);

// Where the next display line starts, as an offset into LineText (the rest of the paragraph from
// the current line start, Len characters), given Limit = offset of the first character that does
// not fit. Breaks after a blank run or a hyphen, else cuts the word at Limit.
int32_t FindBreak(const char* LineText, int32_t Len, int32_t Limit);

// Split point for text longer than Limit: the length up to and including the last blank within
// the first Limit characters, or Limit when there is none.
int32_t BreakLongText(const char* Text, int32_t Limit);

// Byte routines on NUL-terminated buffers whose current text length is Len.
// Fills Buffer[From, To) with C and puts a NUL at To.
void FillChars(char* Buffer, int32_t From, int32_t To, char C);
// Inserts Count bytes at Offset, moving the rest (and the NUL) right.
void InsertBytes(char* Buffer, int32_t Len, int32_t Offset, const char* Bytes, int32_t Count);
// Deletes Count bytes at Offset, moving the rest (and the NUL) left; Count is clipped to the end.
void DeleteBytes(char* Buffer, int32_t Len, int32_t Offset, int32_t Count);

// Characters up to and including the first line feed among Len characters (Len when none).
int32_t CountToLineFeed(const char* Text, int32_t Len);
