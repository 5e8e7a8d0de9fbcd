// What a caret looks like: shape, alignment in the character cell, size, blink period, grey or
// solid, or a bitmap with a hot spot. Shared by reference count among its holders.
#pragma once

#include "KroPersistent.h"
#include "Port.h"

#include <cstdint>
#include <string>
#include <vector>

enum TKroCaretShape { csBlock, csHalfBlock, csVertLine, csHorzLine, csCustom, csBitmap };
enum TKroCaretAlign { caLeft, caTop, caRight, caBottom, caCenter };

class TKroSingleCaret;

// Lives on the heap only: the last holder's Release destroys it.
class TKroCaret : public TKroPersistent {
public:
    TKroCaret() = default;
    TKroCaret(const TKroCaret&) = delete;
    TKroCaret& operator=(const TKroCaret&) = delete;

    std::string ClassName() const override { return "TKroCaret"; }

    TKroCaretAlign Align() const { return FAlign; }
    void SetAlign(TKroCaretAlign Value);
    const TKroBitmap& Bitmap() const { return FBitmap; }
    // Copies the image; the size is taken from it only when Shape becomes csBitmap.
    void SetBitmap(const TKroBitmap& Value);
    int BitmapHotSpotX() const { return FHotSpotX; }
    // Raises the change event only while Shape is csBitmap.
    void SetBitmapHotSpotX(int Value);
    int BitmapHotSpotY() const { return FHotSpotY; }
    void SetBitmapHotSpotY(int Value);
    // Milliseconds; 0 keeps the desktop's period.
    std::uint16_t BlinkTime() const { return FBlinkTime; }
    void SetBlinkTime(std::uint16_t Value);
    int CaretHeight() const { return FCaretHeight; }
    // Sizes of 0 or less are ignored.
    void SetCaretHeight(int Value);
    int CaretWidth() const { return FCaretWidth; }
    void SetCaretWidth(int Value);
    bool IsGray() const { return FIsGray; }
    void SetIsGray(bool Value);
    TKroCaretShape Shape() const { return FShape; }
    // Also adjusts Align and the size as the shape demands; one change event for all of it.
    void SetShape(TKroCaretShape Value);

    // Raised after each effective change (besides the holders that use the caret, which are
    // told directly).
    TKroNotifyEvent OnChange;

    int RefCount() const { return FRefCount; }
    void AddRef() { ++FRefCount; }
    // Drops one reference; the last one destroys the caret. Without a reference it does nothing.
    void Release();

protected:
    ~TKroCaret() override = default;

private:
    friend class TKroSingleCaret;

    void Changed();
    void AddHolder(TKroSingleCaret* Holder);
    void RemoveHolder(TKroSingleCaret* Holder);

    TKroCaretAlign FAlign = caLeft;
    TKroBitmap FBitmap;
    int FHotSpotX = 0;
    int FHotSpotY = 0;
    std::uint16_t FBlinkTime = 0;
    int FCaretHeight = 10;
    int FCaretWidth = 2;
    bool FIsGray = false;
    TKroCaretShape FShape = csVertLine;
    int FRefCount = 0;
    // Holders that re-measure on a change; every one of them, not just the last to arrive.
    std::vector<TKroSingleCaret*> FHolders;
    // While positive, changes are not announced (a holder is measuring).
    int FQuiet = 0;
};
