// The editor's two carets, one for insert and one for overwrite mode, switched with the mode.
#pragma once

#include "KroCaret.h"
#include "KroSingleCaret.h"

#include <string>

class TKroCaretPair : public TKroSingleCaret {
public:
    // Insert mode with CaretIns (a vertical bar); CaretOvr is a block.
    explicit TKroCaretPair(IKroWindow* Editor);
    ~TKroCaretPair() override;

    std::string ClassName() const override { return "TKroCaretPair"; }

    bool InsertMode() const { return FInsertMode; }
    void SetInsertMode(bool Value);
    TKroCaret* CaretIns() const { return FCaretIns; }
    // Shares C (null is ignored); in use at once when the pair is in the matching mode.
    void SetCaretIns(TKroCaret* C);
    TKroCaret* CaretOvr() const { return FCaretOvr; }
    void SetCaretOvr(TKroCaret* C);

private:
    bool FInsertMode = true;
    TKroCaret* FCaretIns = nullptr;
    TKroCaret* FCaretOvr = nullptr;
};
