// The process-wide list of fixed-pitch font families.
#include "KroFixedFontList.h"

#include <algorithm>

namespace {

struct TFixedFontList {
    bool Built = false;
    std::vector<std::string> Names;
};

TFixedFontList& List() {
    static TFixedFontList L;
    return L;
}

} // namespace

std::string KroNoFixedFontMessage(const std::string& Fallback) {
    return "No fixed-pitch font is installed; the editor uses \"" + Fallback + "\" instead";
}

void KroBuildFixedFontList(IKroPlatform& Platform) {
    TFixedFontList& L = List();
    L.Names.clear();
    for (std::string& Name : Platform.Fonts().FixedPitchFamilies())
        if (!Name.empty() && std::find(L.Names.begin(), L.Names.end(), Name) == L.Names.end())
            L.Names.push_back(std::move(Name));
    if (L.Names.empty()) {
        // Never fall silently into a proportional font: take the general monospace font and say so.
        std::string Fallback = Platform.Fonts().MonospaceFamily();
        if (Fallback.empty()) Fallback = "monospace";
        L.Names.push_back(Fallback);
        Platform.ShowError(KroNoFixedFontMessage(Fallback));
    }
    L.Built = true;
}

const std::vector<std::string>& KroFixedFontList() {
    TFixedFontList& L = List();
    if (!L.Built)
        if (IKroPlatform* P = KroPlatform()) KroBuildFixedFontList(*P);
    return L.Names;
}

bool KroIsFixedFont(std::string_view Name) {
    const std::vector<std::string>& Names = KroFixedFontList();
    return std::find(Names.begin(), Names.end(), Name) != Names.end();
}
