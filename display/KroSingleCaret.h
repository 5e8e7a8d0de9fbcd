// Binds one caret description to the editor's window: builds the window's caret while linked,
// sizes it to the character cell, shows, hides and places it.
#pragma once

#include "KroCaret.h"
#include "KroPersistent.h"
#include "Port.h"

#include <string>

class TKroSingleCaret : public TKroPersistent {
public:
    // A coordinate that means nowhere: the caret is off the window.
    static constexpr int Nowhere = 2147483647;

    // Editor may be null (the caret then never links); it must outlive this object.
    explicit TKroSingleCaret(IKroWindow* Editor);
    ~TKroSingleCaret() override;
    TKroSingleCaret(const TKroSingleCaret&) = delete;
    TKroSingleCaret& operator=(const TKroSingleCaret&) = delete;

    std::string ClassName() const override { return "TKroSingleCaret"; }

    TKroCaret* Caret() const { return FCaret; }
    // Shares C (a null caret is ignored) and rebuilds the window's caret for it.
    void SetCaret(TKroCaret* C);

    int CellHeight() const { return FCellHeight; }
    void SetCellHeight(int Value);
    int CellWidth() const { return FCellWidth; }
    void SetCellWidth(int Value);

    // Linking needs an existing window; the blink period is changed only while linked.
    bool Linked() const { return FLinked; }
    void SetLinked(bool Value);

    int X() const { return FX; }
    int Y() const { return FY; }
    // Top-left of the character cell at the caret; a negative coordinate means nowhere.
    void SetPosition(int X, int Y);

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    // Where the caret sits inside the cell.
    int XOffset() const { return FXOffset; }
    int YOffset() const { return FYOffset; }

    // Re-measures and rebuilds the window's caret after the description changed.
    void CaretTypeHasChanged();

private:
    void ComputeMetrics();
    void Place();
    void Link();
    void Unlink();

    IKroWindow* FEditor;
    TKroCaret* FCaret = nullptr;
    int FCellHeight = 10;
    bool FLinked = false;
    int FX = 0;
    int FY = 0;
    bool FVisible = false;
    int FCellWidth = 10;
    unsigned FSavedBlinkTime = 0;
    // Whether linking changed the blink period, so unlinking has something to restore.
    bool FBlinkChanged = false;
    int FXOffset = 0;
    int FYOffset = 0;
};
