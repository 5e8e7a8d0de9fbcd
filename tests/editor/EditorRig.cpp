// The headless editor rig: loading marked texts and describing the editor's state as one.
#include "EditorRig.h"

void TEditorRig::Load(const std::string& Marked) {
    std::vector<std::string> Paras(1);
    TParaPos Caret{1, 1}, SelStart{0, 0}, SelEnd{0, 0};
    for (char C : Marked) {
        const TParaPos Here{static_cast<int32_t>(Paras.size()),
                            static_cast<int32_t>(Paras.back().size()) + 1};
        if (C == '\n')
            Paras.emplace_back();
        else if (C == '|')
            Caret = Here;
        else if (C == '{')
            SelStart = Here;
        else if (C == '}')
            SelEnd = Here;
        else
            Paras.back().push_back(C);
    }
    Ed.ClearText(false);
    TParaList& L = Ed.ParaList();
    for (const std::string& P : Paras)
        L.AppendPara(P.data(), static_cast<int32_t>(P.size()), false);
    L.DeletePara(nullptr, L.ParaCount()); // the empty paragraph the new list started with
    L.UndoBuffer().Clear();
    L.SetModified(false);
    Ed.FullRefresh(false);
    if (SelStart.Para != 0) {
        const bool CaretAtEnd = Caret == SelEnd;
        Ed.SetSelectionByPara(SelStart.Para, SelStart.Pos, SelEnd.Para, SelEnd.Pos, CaretAtEnd);
    } else {
        Ed.MoveCaretToPara(Caret.Para, Caret.Pos, false);
    }
    ClearLog();
}

std::string TEditorRig::Text() {
    Ed.CheckInvariant();
    std::string Out;
    const TParaPos Caret = Ed.CaretParaPos();
    const bool Sel = Ed.HasSelection();
    TParaList& L = Ed.ParaList();
    for (int32_t P = 1; P <= L.ParaCount(); ++P) {
        int32_t Len = 0;
        const char* T = Ed.GetPara(P, Len);
        std::string S(T, static_cast<size_t>(Len));
        // Virtual space shows as blanks up to the caret.
        if (Caret.Para == P && Caret.Pos > Len + 1) S.append(Caret.Pos - Len - 1, ' ');
        for (int32_t I = static_cast<int32_t>(S.size()) + 1; I >= 1; --I) {
            std::string Marks;
            if (Sel && Ed.SelStart() == TParaPos{P, I}) Marks += '{';
            if (Caret == TParaPos{P, I}) Marks += '|';
            if (Sel && Ed.SelEnd() == TParaPos{P, I}) Marks += '}';
            S.insert(static_cast<size_t>(I - 1), Marks);
        }
        if (P > 1) Out += '\n';
        Out += S;
    }
    return Out;
}
