// One caret description bound to the editor's window.
#include "KroSingleCaret.h"

#include <cstdint>
#include <limits>

namespace {

// A value beyond the range stays at its edge.
int Saturate(std::int64_t V) {
    if (V > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (V < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return int(V);
}

// Offsets never move "nowhere" anywhere, and a sum beyond the range stays at its edge.
int Offset(int Coordinate, int Delta) {
    if (Coordinate == TKroSingleCaret::Nowhere) return Coordinate;
    return Saturate(std::int64_t(Coordinate) + Delta);
}

} // namespace

TKroSingleCaret::TKroSingleCaret(IKroWindow* Editor) : FEditor(Editor) {
    FCaret = new TKroCaret();
    FCaret->AddRef();
    FCaret->AddHolder(this);
    ComputeMetrics();
}

TKroSingleCaret::~TKroSingleCaret() {
    SetVisible(false);
    SetLinked(false);
    FCaret->RemoveHolder(this);
    FCaret->Release();
}

void TKroSingleCaret::SetCaret(TKroCaret* C) {
    if (C == nullptr || C == FCaret) return;
    TKroCaret* Old = FCaret;
    Old->RemoveHolder(this);
    FCaret = C;
    C->AddRef();
    C->AddHolder(this);
    Old->Release();
    CaretTypeHasChanged();
}

void TKroSingleCaret::SetCellHeight(int Value) {
    if (Value == FCellHeight || Value <= 0) return;
    FCellHeight = Value;
    CaretTypeHasChanged();
}

void TKroSingleCaret::SetCellWidth(int Value) {
    if (Value == FCellWidth || Value <= 0) return;
    FCellWidth = Value;
    CaretTypeHasChanged();
}

void TKroSingleCaret::CaretTypeHasChanged() {
    const bool WasLinked = FLinked;
    SetLinked(false);
    ComputeMetrics();
    if (WasLinked) SetLinked(true);
}

void TKroSingleCaret::SetLinked(bool Value) {
    if (Value == FLinked) return;
    if (Value) {
        if (FEditor == nullptr || !FEditor->HandleAllocated()) return;
        FLinked = true;
        Link();
    } else {
        FLinked = false;
        Unlink();
    }
}

void TKroSingleCaret::Link() {
    IKroSystemCaret& System = FEditor->SystemCaret();
    FSavedBlinkTime = System.GetBlinkTime();
    if (FCaret->Shape() == csBitmap && !FCaret->Bitmap().Empty())
        System.CreateFromBitmap(FCaret->Bitmap());
    else
        System.Create(FCaret->CaretWidth(), FCaret->CaretHeight(), FCaret->IsGray());
    if (FVisible) System.Show();
    Place();
    const unsigned Blink = FCaret->BlinkTime();
    if (Blink != 0 && Blink != FSavedBlinkTime) {
        System.SetBlinkTime(Blink);
        FBlinkChanged = true;
    }
}

void TKroSingleCaret::Unlink() {
    IKroSystemCaret& System = FEditor->SystemCaret();
    if (FBlinkChanged) {
        System.SetBlinkTime(FSavedBlinkTime);
        FBlinkChanged = false;
    }
    System.Destroy();
}

void TKroSingleCaret::SetPosition(int X, int Y) {
    if (X < 0) X = Nowhere;
    if (Y < 0) Y = Nowhere;
    if (X == FX && Y == FY) return;
    FX = X;
    FY = Y;
    if (FLinked) Place();
}

void TKroSingleCaret::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    if (!FLinked) return;
    if (Value)
        FEditor->SystemCaret().Show();
    else
        FEditor->SystemCaret().Hide();
}

void TKroSingleCaret::Place() {
    FEditor->SystemCaret().SetPos(Offset(FX, FXOffset), Offset(FY, FYOffset));
}

void TKroSingleCaret::ComputeMetrics() {
    TKroCaret& C = *FCaret;
    const int H = FCellHeight;
    const int W = FCellWidth;
    // The size changes below are ours; nobody is told about them.
    ++C.FQuiet;
    switch (C.Shape()) {
    case csBlock:
        C.SetCaretHeight(H);
        C.SetCaretWidth(W);
        break;
    case csHalfBlock:
        C.SetCaretHeight(H / 2);
        C.SetCaretWidth(W);
        break;
    case csVertLine:
        C.SetCaretHeight(H);
        break;
    case csHorzLine:
        C.SetCaretWidth(W);
        break;
    case csCustom:
    case csBitmap:
        break;
    }
    --C.FQuiet;

    const int Height = C.CaretHeight();
    const int Width = C.CaretWidth();
    int X = 0;
    int Y = 0;
    switch (C.Align()) {
    case caLeft:
        Y = (H - Height) / 2;
        break;
    case caTop:
        X = (W - Width) / 2;
        break;
    case caRight:
        X = W - Width;
        Y = (H - Height) / 2;
        break;
    case caBottom:
        X = (W - Width) / 2;
        Y = H - Height;
        break;
    case caCenter:
        X = (W - Width) / 2;
        Y = (H - Height) / 2;
        break;
    }
    if (C.Shape() == csBitmap) {
        // Any hot spot is accepted; one far outside the image must not wrap round the range.
        X = Saturate(std::int64_t(X) - C.BitmapHotSpotX());
        Y = Saturate(std::int64_t(Y) - C.BitmapHotSpotY());
    }
    if (X == FXOffset && Y == FYOffset) return;
    FXOffset = X;
    FYOffset = Y;
    if (FLinked) Place();
}
