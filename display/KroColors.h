// A pair of colours, text and background, that remembers whether both are still the defaults.
#pragma once

#include "KroPersistent.h"
#include "Port.h"

#include <string>

class TKroColors : public TKroPersistent {
public:
    // Both colours start at their defaults, UseDefault true; no event.
    TKroColors(TColor DefaultText, TColor DefaultBack);

    std::string ClassName() const override { return "TKroColors"; }
    // From another colour pair: BackColor, then TextColor, through their setters.
    void Assign(const TKroPersistent& Source) override;

    TColor BackColor() const { return FBackColor; }
    // A new value other than the default clears UseDefault; setting the default back does not
    // set it again.
    void SetBackColor(TColor Value);
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value);
    bool UseDefault() const { return FUseDefault; }
    // True puts both colours back to their defaults and raises one change event.
    void SetUseDefault(bool Value);

    TColor DefaultBackColor() const { return FDefaultBack; }
    TColor DefaultTextColor() const { return FDefaultText; }

    TKroNotifyEvent OnColorChange;

private:
    void Changed();

    TColor FBackColor;
    TColor FTextColor;
    bool FUseDefault = true;
    TColor FDefaultBack;
    TColor FDefaultText;
};
