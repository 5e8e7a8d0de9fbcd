// Caret descriptions and their setting rules.
#include "KroCaret.h"

#include "KroSingleCaret.h"

#include <algorithm>

void TKroCaret::Release() {
    if (FRefCount > 0 && --FRefCount == 0) delete this;
}

void TKroCaret::AddHolder(TKroSingleCaret* Holder) {
    if (std::find(FHolders.begin(), FHolders.end(), Holder) == FHolders.end())
        FHolders.push_back(Holder);
}

void TKroCaret::RemoveHolder(TKroSingleCaret* Holder) {
    FHolders.erase(std::remove(FHolders.begin(), FHolders.end(), Holder), FHolders.end());
}

void TKroCaret::Changed() {
    if (FQuiet > 0) return;
    // A holder re-measuring may not add or remove holders, but take a copy all the same.
    const std::vector<TKroSingleCaret*> Holders = FHolders;
    for (TKroSingleCaret* H : Holders)
        H->CaretTypeHasChanged();
    if (OnChange) OnChange(*this);
}

void TKroCaret::SetAlign(TKroCaretAlign Value) {
    if (Value == FAlign) return;
    FAlign = Value;
    Changed();
}

void TKroCaret::SetBitmap(const TKroBitmap& Value) {
    FBitmap = Value;
    Changed();
}

void TKroCaret::SetBitmapHotSpotX(int Value) {
    if (Value == FHotSpotX) return;
    FHotSpotX = Value;
    if (FShape == csBitmap) Changed();
}

void TKroCaret::SetBitmapHotSpotY(int Value) {
    if (Value == FHotSpotY) return;
    FHotSpotY = Value;
    if (FShape == csBitmap) Changed();
}

void TKroCaret::SetBlinkTime(std::uint16_t Value) {
    if (Value == FBlinkTime) return;
    FBlinkTime = Value;
    Changed();
}

void TKroCaret::SetCaretHeight(int Value) {
    if (Value == FCaretHeight || Value <= 0) return;
    FCaretHeight = Value;
    Changed();
}

void TKroCaret::SetCaretWidth(int Value) {
    if (Value == FCaretWidth || Value <= 0) return;
    FCaretWidth = Value;
    Changed();
}

void TKroCaret::SetIsGray(bool Value) {
    if (Value == FIsGray) return;
    FIsGray = Value;
    Changed();
}

void TKroCaret::SetShape(TKroCaretShape Value) {
    if (Value == FShape) return;
    FShape = Value;
    switch (Value) {
    case csBlock:
        FAlign = caLeft;
        break;
    case csHalfBlock:
        FAlign = caBottom;
        break;
    case csVertLine:
        FAlign = caLeft;
        FCaretWidth = 2;
        break;
    case csHorzLine:
        FAlign = caBottom;
        FCaretHeight = 2;
        break;
    case csBitmap:
        // An empty image leaves the size alone, like any size of 0.
        if (FBitmap.Height > 0) FCaretHeight = FBitmap.Height;
        if (FBitmap.Width > 0) FCaretWidth = FBitmap.Width;
        break;
    case csCustom:
        break;
    }
    Changed();
}
