// Byte-text routines: blank tests, tab expansion, line-break search and buffer shifting.
#include "TextRoutines.h"

#include <algorithm>
#include <cstring>

namespace {
inline int32_t TabStopAfter(int32_t Col, int TabSize) {
    return (Col / TabSize + 1) * TabSize;
}

// Characters before the next tab among the Len characters at Text (Len when there is none).
inline int32_t RunToTab(const char* Text, int32_t Len) {
    const void* Tab = std::memchr(Text, '\t', static_cast<size_t>(Len));
    return Tab ? static_cast<int32_t>(static_cast<const char*>(Tab) - Text) : Len;
}

} // namespace

bool HasTab(const char* Text, int32_t Len) {
    return Len > 0 && std::memchr(Text, '\t', static_cast<size_t>(Len)) != nullptr;
}

// Both walk from tab to tab: the characters between tabs take a column each.
int32_t TextWidth(const char* Text, int32_t Len, int TabSize) {
    if (TabSize < 1) TabSize = 1;
    int32_t Col = 0;
    for (int32_t I = 0; I < Len;) {
        const int32_t Run = RunToTab(Text + I, Len - I);
        Col += Run;
        I += Run;
        if (I < Len) { // the tab
            Col = TabStopAfter(Col, TabSize);
            ++I;
        }
    }
    return Col;
}

int32_t ColumnToOffset(const char* Text, int32_t Len, int32_t Col, int TabSize) {
    if (TabSize < 1) TabSize = 1;
    int32_t Column = 0;
    for (int32_t Count = 0; Count < Len;) {
        const int32_t Run = RunToTab(Text + Count, Len - Count);
        if (Run > 0) {
            // After K more characters the column is Column + K; at least one is taken.
            const int32_t Need = std::max<int32_t>(1, Col - Column);
            if (Need <= Run) return Count + Need;
            Column += Run;
            Count += Run;
        }
        if (Count < Len) { // the tab
            Column = TabStopAfter(Column, TabSize);
            ++Count;
            if (Column >= Col) return Count;
        }
    }
    return Len + 1; // ran into the end: the terminator counts as taken
}

int32_t FindBreak(const char* LineText, int32_t Len, int32_t Limit) {
    if (Limit >= Len) return Limit;
    for (int32_t K = Limit; K >= 0; --K) {
        char C = LineText[K];
        if (IsBlank(C)) {
            int32_t J = K;
            while (J < Len && IsBlank(LineText[J]))
                ++J;
            return J;
        }
        if (C == '-') {
            int32_t J = K + 1;
            while (J < Len && IsBlank(LineText[J]))
                ++J;
            return J;
        }
    }
    return Limit;
}

int32_t BreakLongText(const char* Text, int32_t Limit) {
    for (int32_t I = Limit - 1; I >= 0; --I)
        if (IsBlank(Text[I])) return I + 1;
    return Limit;
}

void FillChars(char* Buffer, int32_t From, int32_t To, char C) {
    if (To > From) std::memset(Buffer + From, C, static_cast<size_t>(To - From));
    Buffer[To] = '\0';
}

void InsertBytes(char* Buffer, int32_t Len, int32_t Offset, const char* Bytes, int32_t Count) {
    if (Count <= 0) return;
    std::memmove(Buffer + Offset + Count, Buffer + Offset, static_cast<size_t>(Len - Offset + 1));
    std::memcpy(Buffer + Offset, Bytes, static_cast<size_t>(Count));
}

void DeleteBytes(char* Buffer, int32_t Len, int32_t Offset, int32_t Count) {
    if (Count > Len - Offset) Count = Len - Offset;
    if (Count <= 0) return;
    std::memmove(Buffer + Offset, Buffer + Offset + Count,
                 static_cast<size_t>(Len - Offset - Count + 1));
}

int32_t CountToLineFeed(const char* Text, int32_t Len) {
    if (Len <= 0) return 0;
    const void* P = std::memchr(Text, '\n', static_cast<size_t>(Len));
    return P ? static_cast<int32_t>(static_cast<const char*>(P) - Text) + 1 : Len;
}
