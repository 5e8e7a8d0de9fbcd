// The editor's fixed-pitch font.
#include "KroFixedFont.h"

#include "KroExceptions.h"
#include "KroFixedFontList.h"

TKroFixedFont::TKroFixedFont() {
    const auto& Names = KroFixedFontList();
    if (!Names.empty()) FFont.SetName(Names.front());
}

void TKroFixedFont::Changed() {
    if (OnChange) OnChange(*this);
}

void TKroFixedFont::Assign(const TKroPersistent& Source) {
    TKroFont Temp;
    if (auto* Fixed = dynamic_cast<const TKroFixedFont*>(&Source)) {
        Temp.Assign(Fixed->FFont);
    } else if (auto* Plain = dynamic_cast<const TKroFont*>(&Source)) {
        Temp.Assign(*Plain);
        if (!KroIsFixedFont(Temp.Name())) throw EInvalidFixedFont();
    } else {
        throw EInvalidFontParam();
    }
    // A fixed font carries a name from outside the list only if the list was rebuilt since.
    if (!KroIsFixedFont(Temp.Name())) Temp.SetName(FFont.Name());
    FFont.Assign(Temp);
    Changed();
}

void TKroFixedFont::AssignTo(TKroPersistent& Dest) const {
    if (auto* Plain = dynamic_cast<TKroFont*>(&Dest)) {
        Plain->Assign(FFont);
        return;
    }
    TKroPersistent::AssignTo(Dest);
}

void TKroFixedFont::SetColor(TColor Value) {
    if (Value == FFont.Color()) return;
    FFont.SetColor(Value);
    Changed();
}

void TKroFixedFont::SetName(const std::string& Value) {
    if (Value == FFont.Name() || !KroIsFixedFont(Value)) return;
    FFont.SetName(Value);
    Changed();
}

void TKroFixedFont::SetSize(int Value) {
    if (Value == FFont.Size()) return;
    FFont.SetSize(Value);
    Changed();
}

void TKroFixedFont::SetStyle(TKroFontStyles Value) {
    if (Value == FFont.Style()) return;
    FFont.SetStyle(Value);
    Changed();
}
