// The editor control's clipboard: the selection copied as text with CR LF between paragraphs,
// cut, and paste of text whose line ends may be CR LF, LF or CR.
#include "CustomEditor.h"

#include <algorithm>
#include <new>
#include <string>

namespace {

// The most bytes one copy puts on the clipboard (text plus two per line break).
constexpr std::int64_t MaxClipboardBytes = 65520;

// Every CR LF, lone LF and lone CR becomes one LF, the line end the text block insertion splits
// paragraphs at.
std::string UnifyLineEnds(const std::string& S) {
    std::string Out;
    Out.reserve(S.size());
    for (std::size_t I = 0; I < S.size(); ++I) {
        if (S[I] == '\r') {
            Out.push_back('\n');
            if (I + 1 < S.size() && S[I + 1] == '\n') ++I;
        } else {
            Out.push_back(S[I]);
        }
    }
    return Out;
}

} // namespace

TResultCode TKroCustomEditor::CopySelectionToClipboard() {
    if (!HasSelection()) return erOK;
    const TParaPos First = FSelStart;
    const TParaPos Last = FSelEnd;

    // The size first, so that nothing is allocated for a region that is refused; the count
    // stops as soon as it passes the limit.
    std::int64_t Total = 0;
    {
        TParaNode* Node = FParaList->GetPara(First.Para);
        std::int32_t From = First.Pos;
        for (std::int32_t Para = First.Para; Node; ++Para, Node = Node->Next(), From = 1) {
            if (Para == Last.Para) {
                Total += std::max(0, std::min<std::int32_t>(Last.Pos, Node->Length() + 1) - From);
                break;
            }
            Total += std::max(0, Node->Length() + 1 - From) + 2;
            if (Total > MaxClipboardBytes) break;
        }
    }
    if (Total > MaxClipboardBytes) return erRegionTooLarge;

    IKroPlatform* Platform = KroPlatform();
    if (!Platform) return erOutOfMemory;
    std::string Text;
    try {
        Text.reserve(static_cast<std::size_t>(Total));
    } catch (const std::bad_alloc&) {
        return erOutOfMemory;
    }
    TParaNode* Node = FParaList->GetPara(First.Para);
    std::int32_t From = First.Pos;
    for (std::int32_t Para = First.Para; Node; ++Para, Node = Node->Next(), From = 1) {
        const std::int32_t Len = Node->Length();
        const std::int32_t To = Para == Last.Para ? std::min(Last.Pos, Len + 1) : Len + 1;
        if (To > From) Text.append(Node->Text() + From - 1, static_cast<std::size_t>(To - From));
        if (Para == Last.Para) break;
        Text += "\r\n";
    }
    // A clipboard that does not take the text has lost nothing, but the caller must know.
    if (!Platform->Clipboard().SetText(Text)) return erOutOfMemory;
    return erOK;
}

void TKroCustomEditor::CopyToClipboard() {
    if (!HasSelection()) return;
    DoOnError(CopySelectionToClipboard());
}

void TKroCustomEditor::CutToClipboard() {
    if (HasSelection() && !ReadOnly()) {
        // The text goes only once it is on the clipboard.
        const TResultCode Rc = CopySelectionToClipboard();
        if (Rc != erOK)
            DoOnError(Rc);
        else
            DeleteSelection();
    }
    UpdateVScrollRange();
    ScrollBy(0, 0);
}

void TKroCustomEditor::PasteFromClipboard() {
    if (ReadOnly()) return;
    IKroPlatform* Platform = KroPlatform();
    if (!Platform) return;
    IKroClipboard& Clipboard = Platform->Clipboard();
    TResultCode Rc = erOK;
    if (Clipboard.HasText()) {
        const std::string Text = Clipboard.GetText();
        if (!Text.empty()) Rc = InsertString(UnifyLineEnds(Text));
    }
    UpdateVScrollRange();
    ScrollBy(0, 0);
    DoOnError(Rc);
}
