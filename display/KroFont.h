// A plain font: a name, a size in points, a style and a colour, with no rule on the name.
#pragma once

#include "KroPersistent.h"
#include "Port.h"

#include <string>

class TKroFont : public TKroPersistent {
public:
    TKroFont() = default;
    explicit TKroFont(const TKroFontData& Data) : FData(Data) {}

    std::string ClassName() const override { return "TKroFont"; }
    void Assign(const TKroPersistent& Source) override {
        if (auto* F = dynamic_cast<const TKroFont*>(&Source)) {
            FData = F->FData;
            return;
        }
        TKroPersistent::Assign(Source);
    }

    const TKroFontData& Data() const { return FData; }
    const std::string& Name() const { return FData.Name; }
    void SetName(const std::string& Value) { FData.Name = Value; }
    int Size() const { return FData.Size; }
    void SetSize(int Value) { FData.Size = Value; }
    TKroFontStyles Style() const { return FData.Style; }
    void SetStyle(TKroFontStyles Value) { FData.Style = Value; }
    TColor Color() const { return FData.Color; }
    void SetColor(TColor Value) { FData.Color = Value; }

private:
    TKroFontData FData;
};
