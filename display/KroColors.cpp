// Colour pairs with defaults.
#include "KroColors.h"

TKroColors::TKroColors(TColor DefaultText, TColor DefaultBack)
    : FBackColor(DefaultBack), FTextColor(DefaultText), FDefaultBack(DefaultBack),
      FDefaultText(DefaultText) {}

void TKroColors::Changed() {
    if (OnColorChange) OnColorChange(*this);
}

void TKroColors::Assign(const TKroPersistent& Source) {
    if (auto* C = dynamic_cast<const TKroColors*>(&Source)) {
        SetBackColor(C->BackColor());
        SetTextColor(C->TextColor());
        return;
    }
    TKroPersistent::Assign(Source);
}

void TKroColors::SetBackColor(TColor Value) {
    if (Value == FBackColor) return;
    if (Value != FDefaultBack) FUseDefault = false;
    FBackColor = Value;
    Changed();
}

void TKroColors::SetTextColor(TColor Value) {
    if (Value == FTextColor) return;
    if (Value != FDefaultText) FUseDefault = false;
    FTextColor = Value;
    Changed();
}

void TKroColors::SetUseDefault(bool Value) {
    FUseDefault = Value;
    if (!Value) return;
    FBackColor = FDefaultBack;
    FTextColor = FDefaultText;
    Changed();
}
