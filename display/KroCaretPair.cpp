// The insert and overwrite carets of an editor.
#include "KroCaretPair.h"

TKroCaretPair::TKroCaretPair(IKroWindow* Editor) : TKroSingleCaret(Editor) {
    FCaretIns = new TKroCaret();
    FCaretIns->AddRef();
    FCaretOvr = new TKroCaret();
    FCaretOvr->AddRef();
    FCaretOvr->SetShape(csBlock);
    FInsertMode = true;
    SetCaret(FCaretIns);
}

TKroCaretPair::~TKroCaretPair() {
    FCaretIns->Release();
    FCaretOvr->Release();
}

void TKroCaretPair::SetInsertMode(bool Value) {
    if (Value == FInsertMode) return;
    FInsertMode = Value;
    SetCaret(Value ? FCaretIns : FCaretOvr);
}

void TKroCaretPair::SetCaretIns(TKroCaret* C) {
    if (C == nullptr || C == FCaretIns) return;
    TKroCaret* Old = FCaretIns;
    FCaretIns = C;
    C->AddRef();
    if (FInsertMode) SetCaret(C);
    Old->Release();
}

void TKroCaretPair::SetCaretOvr(TKroCaret* C) {
    if (C == nullptr || C == FCaretOvr) return;
    TKroCaret* Old = FCaretOvr;
    FCaretOvr = C;
    C->AddRef();
    if (!FInsertMode) SetCaret(C);
    Old->Release();
}
