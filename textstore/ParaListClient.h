// The interface through which a paragraph list tells an editor what changed.
#pragma once

#include <cstdint>

// Implemented by the editor control. The list calls the editor that performed an edit (which
// relays the call to every editor of its ring); TextReformatted and ShowBusy go to the list's
// owner, which passes TextReformatted on to every editor of its ring.
class IParaListClient {
public:
    virtual ~IParaListClient() = default;

    // Count characters were inserted at (Para, Pos); Count 0 means only a repaint is needed.
    virtual void TextInserted(int32_t Para, int32_t Pos, int32_t Count) = 0;
    // Count characters were deleted at (Para, Pos).
    virtual void TextDeleted(int32_t Para, int32_t Pos, int32_t Count) = 0;
    // Paragraph Para was removed; the following ones moved up by one.
    virtual void ParaDeleted(int32_t Para) = 0;
    // Paragraph Para was split at Pos and Indent characters begin the new paragraph Para + 1.
    // A paragraph inserted before A arrives as (A, 1, 0), one inserted after A as (A + 1, 1, 0).
    virtual void ParaSplit(int32_t Para, int32_t Pos, int32_t Indent) = 0;
    // Paragraph Para + 1 was appended to paragraph Para at Pos.
    virtual void ParasJoined(int32_t Para, int32_t Pos) = 0;
    // Every paragraph was re-wrapped (tab size, word wrap or wrap column changed).
    virtual void TextReformatted() = 0;
    // A long whole-document re-wrap starts (true) or ends (false): show the wait cursor.
    virtual void ShowBusy(bool Busy) { (void)Busy; }
};
