// The editor's font: a font whose family must be one of the fixed-pitch families.
#pragma once

#include "KroFont.h"
#include "KroPersistent.h"
#include "Port.h"

#include <string>

class TKroFixedFont : public TKroPersistent {
public:
    // The toolkit's default font on the first family of the fixed-font list.
    TKroFixedFont();

    std::string ClassName() const override { return "TKroFixedFont"; }
    // From another fixed font (an unlisted name keeps the current one) or from a plain font
    // with a listed name (EInvalidFixedFont otherwise); anything else is EInvalidFontParam.
    // A refused assignment leaves the font as it was.
    void Assign(const TKroPersistent& Source) override;

    const TKroFontData& Font() const { return FFont.Data(); }

    TColor Color() const { return FFont.Color(); }
    void SetColor(TColor Value);
    const std::string& Name() const { return FFont.Name(); }
    // Only a name of the fixed-font list is taken; any other is ignored, without an event.
    void SetName(const std::string& Value);
    int Size() const { return FFont.Size(); }
    void SetSize(int Value);
    TKroFontStyles Style() const { return FFont.Style(); }
    void SetStyle(TKroFontStyles Value);

    TKroNotifyEvent OnChange;

protected:
    // A plain font takes a copy of this one.
    void AssignTo(TKroPersistent& Dest) const override;

private:
    void Changed();

    TKroFont FFont;
};
