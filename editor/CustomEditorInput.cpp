// The editor control's keyboard, mouse and focus handling: key-down, system-key and character
// paths, the margin cursor, clicks and drags that place the caret and select, double clicks
// that select words or paragraphs, and the insert mode handed on through the controller.
#include "CustomEditor.h"

#include "Controller.h"
#include "VirtualKeys.h"

#include <algorithm>

namespace {

// Whether any of the modifier bits is held.
bool Held(TKroShiftState State, TKroShiftState Bits) {
    return (State & Bits) != 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Keyboard

bool TKroCustomEditor::KeyDown(std::uint16_t Key, TKroShiftState Shift) {
    if (OnKeyDown) OnKeyDown(*this, Key, Shift);
    const TKroCommand C =
        Controller() ? Controller()->EntryCommands().Translate(Key, Shift) : ccNoCommand;
    if (ProcessCommand(C, static_cast<std::uint8_t>(Key))) return true;
    bool Processed = false;
    if (Key == vkTab && FWantTab) {
        InsertTab();
        Processed = true;
    } else if (Key == vkReturn && FWantEnter) {
        NewLine(FInsertMode && !ReadOnly(), true);
        Processed = true;
    }
    // After a prefix key its character, and the one of the key that completes the sequence,
    // are not typed.
    FSkipNextChar = C == ccPartial;
    return Processed;
}

void TKroCustomEditor::SysKeyDown(std::uint16_t Key, TKroShiftState Shift) {
    if (OnKeyDown) OnKeyDown(*this, Key, Shift);
    const TKroCommand C =
        Controller() ? Controller()->EntryCommands().Translate(Key, Shift) : ccNoCommand;
    ProcessCommand(C, static_cast<std::uint8_t>(Key));
}

bool TKroCustomEditor::CharMessage(char Ch) {
    if (OnKeyPress) OnKeyPress(*this, Ch);
    if (Ch == 0) return false;
    if (FSkipNextChar || static_cast<unsigned char>(Ch) < 32) return false;
    ProcessCommand(ccChar, static_cast<std::uint8_t>(Ch));
    return true;
}

void TKroCustomEditor::KeyUp(std::uint16_t Key, TKroShiftState Shift) {
    if (OnKeyUp) OnKeyUp(*this, Key, Shift);
}

unsigned TKroCustomEditor::GetDlgCode(unsigned Base) const {
    unsigned Code = Base | DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    if (FWantTab) Code |= DLGC_WANTTAB;
    return Code;
}

// ---------------------------------------------------------------------------------------------
// Mouse

bool TKroCustomEditor::SetCursorMessage(bool HitClient) {
    FMouseInMargin = false;
    if (!HitClient || !HasWindow()) return false;
    if (FWindow->PointerPos().X <= FLeftMargin) {
        FWindow->SetCursor(FMarginCursor);
        FMouseInMargin = true;
        return true;
    }
    return false;
}

TLinePos TKroCustomEditor::PointToLineCol() {
    const TKroPoint P = FWindow ? FWindow->PointerPos() : TKroPoint{};
    const int ClientW = FWindow ? FWindow->ClientWidth() : 0;
    const int ClientH = FWindow ? FWindow->ClientHeight() : 0;
    const int LH = FLineHeight;
    const int CW = FCharWidth;

    std::int64_t Line;
    if (P.Y < 0) {
        Line = std::int64_t(FTopLine) - 1;
    } else if (P.Y < ClientH) {
        Line = P.Y / LH + std::int64_t(FTopLine);
        // The partial row at the bottom belongs to the last whole row.
        if (P.Y >= FVisibleRows * LH) Line -= 1;
    } else {
        Line = std::int64_t(FTopLine) + FVisibleRows;
    }
    const std::int32_t L = std::int32_t(std::clamp<std::int64_t>(Line, 1, LineCount()));

    const char* Text = nullptr;
    std::int32_t Len = 0;
    FParaList->GetLine(L, Text, Len);
    auto ToPos = [&](std::int64_t Col) -> std::int32_t {
        std::int32_t Pos =
            Col > 0 ? FParaList->ColumnToPos(Text, Len,
                                             std::int32_t(std::min<std::int64_t>(Col, MaxLongint)))
                    : 1;
        if (!FScrollPastEnd && Pos > Len + 1) Pos = Len + 1;
        return Pos;
    };
    // Half a character is added first, so the nearer character boundary wins.
    std::int32_t Pos = ToPos((P.X + CW / 2 - FLeftMargin) / CW + std::int64_t(FLeftCol) + 1);
    // In the strip right of the last visible column the position stays in that column, so the
    // view does not scroll; the column is converted like any other (tabs counted).
    if (P.X >= FLeftMargin + FVisibleCols * CW - CW / 2 && P.X < ClientW)
        Pos = ToPos(std::int64_t(FLeftCol) + FVisibleCols);
    return {L, Pos};
}

void TKroCustomEditor::MouseMove(int X, int Y, TKroShiftState Shift) {
    if (OnMouseMove) OnMouseMove(*this, Shift, X, Y);
}

void TKroCustomEditor::LButtonDown(int X, int Y, TKroShiftState Shift) {
    FClicked = true;
    if (OnMouseDown) OnMouseDown(*this, mbLeft, Shift, X, Y);
    if (!HasWindow()) return;
    if (!FWindow->Focused() && FWindow->CanFocus()) FWindow->SetFocus();
    if (TextLength() == 0) return;

    FWindow->SetCapture();
    FMouseCaptured = true;
    bool ShiftDown = Held(FWindow->ShiftState(), ssShiftKey);
    const bool Margin = FMouseInMargin;

    TLinePos Anchor;
    if (Margin) {
        const TLinePos Click = PointToLineCol();
        if (ShiftDown) {
            // The end of the selection farther from the click stays.
            Anchor = Click.Line < FSelStartLine ? TLinePos{FSelEndLine, FSelEndLinePos}
                                                : TLinePos{FSelStartLine, FSelStartLinePos};
        } else {
            Anchor = TLinePos{Click.Line, 1};
        }
    }

    std::int32_t PreviousLine = -1;
    std::int32_t PreviousColumn = -1;
    do {
        const TLinePos At = PointToLineCol();
        if (At.Line != PreviousLine || (At.Pos != PreviousColumn && !Margin)) {
            if (Margin) {
                // Whole lines: from the anchor line to the start of the line after the pointer.
                const bool Off = At.Line < FTopLine ||
                                 std::int64_t(At.Line) > std::int64_t(FTopLine) + FVisibleRows - 1;
                if (Off) FWindow->SetRedraw(false);
                if (At.Line < Anchor.Line || FWindow->PointerPos().Y < 0)
                    SetSelection(At.Line, 1, Anchor.Line, Anchor.Pos, false);
                else if (At.Line < LineCount())
                    SetSelection(Anchor.Line, Anchor.Pos, At.Line + 1, 1, true);
                else
                    SetSelection(Anchor.Line, Anchor.Pos, At.Line, LineLength(At.Line) + 1, true);
                if (Off) {
                    FWindow->SetRedraw(true);
                    FRepaintPending = false;
                    InvalidateAll(true);
                }
            } else {
                MoveCaretTo(At.Line, At.Pos, ShiftDown);
                FWindow->Update();
            }
            PreviousLine = At.Line;
            PreviousColumn = At.Pos;
        }
        // Dragging extends from where the button went down.
        ShiftDown = true;
        FWindow->ProcessMessages();
    } while (FWindow->PrimaryButtonDown());
}

void TKroCustomEditor::LButtonUp(int X, int Y, TKroShiftState Shift) {
    if (FMouseCaptured) {
        if (FWindow) FWindow->ReleaseCapture();
        FMouseCaptured = false;
    }
    // A press and a release inside the window make a click (not the release of a double click).
    if (FClicked) {
        FClicked = false;
        if (OnClick && FWindow && X >= 0 && Y >= 0 && X < FWindow->ClientWidth() &&
            Y < FWindow->ClientHeight())
            OnClick(*this);
    }
    if (OnMouseUp) OnMouseUp(*this, mbLeft, Shift, X, Y);
}

void TKroCustomEditor::LButtonDblClk(int X, int Y, TKroShiftState Shift) {
    (void)X;
    (void)Y;
    (void)Shift;
    FClicked = false;
    if (OnDblClick) OnDblClick(*this);
    if (!HasWindow()) return;
    const bool ShiftDown = Held(FWindow->ShiftState(), ssShiftKey);
    const TLinePos At = PointToLineCol();

    if (FMouseInMargin) {
        // The paragraph, or from it to the far end of the selection.
        const std::int32_t Para = LineToPara(At.Line).Para;
        const std::int32_t Len = FParaList->GetParaLength(Para);
        if (!ShiftDown || (FSelStart.Para == Para && FSelEnd.Para == Para))
            SetSelectionByPara(Para, 1, Para, Len + 1, true);
        else if (Para <= FSelStart.Para)
            SetSelectionByPara(Para, 1, FSelEnd.Para, FSelEnd.Pos, false);
        else
            SetSelectionByPara(FSelStart.Para, FSelStart.Pos, Para, Len + 1, true);
        return;
    }

    // The word: in paragraph positions, the character at position I being Text[I - 1].
    const char* LineText = nullptr;
    std::int32_t LineLen = 0;
    TParaNode* Node = FParaList->GetLine(At.Line, LineText, LineLen);
    const std::int32_t LineStart = LineToPara(At.Line).Pos;
    const char* Text = Node ? Node->Text() : "";
    const std::int32_t Len = Node ? Node->Length() : 0;
    auto Delimiter = [&](std::int32_t I) { return IsWordDelimiter(Text[I - 1]); };
    auto Blank = [&](std::int32_t I) { return Text[I - 1] == ' ' || Text[I - 1] == '\t'; };

    std::int32_t C = std::max(std::min(At.Pos, LineLen) + LineStart, LineStart + 1);
    if (C > 1 && Len > 0) {
        C = std::min(C, Len);
        // A click on a delimiter takes the word before it.
        while (C > 0 && Delimiter(C))
            --C;
        while (C > 0 && !Delimiter(C))
            --C;
        ++C;
    }
    std::int32_t E = C;
    while (E <= Len && !Delimiter(E))
        ++E;
    while (E <= Len && Blank(E))
        ++E;
    const std::int32_t S = C - LineStart;
    const std::int32_t T = E - LineStart;

    if (!ShiftDown)
        SetSelection(At.Line, S, At.Line, T, true);
    else if (FSelStartLine < At.Line || (FSelStartLine == At.Line && FSelStartLinePos < S))
        SetSelection(FSelStartLine, FSelStartLinePos, At.Line, T, true);
    else
        SetSelection(At.Line, S, FSelEndLine, FSelEndLinePos, false);
}

void TKroCustomEditor::MouseWheel(int Notches, bool Horizontal) {
    if (Notches == 0) return;
    const std::int64_t Delta = -3 * std::int64_t(Notches);
    if (!Horizontal) {
        ScrollBy(0, std::int32_t(std::clamp<std::int64_t>(Delta, -MaxLongint, MaxLongint)));
        return;
    }
    // Columns: never left of the first, never right of the scroll range.
    const std::int64_t Target =
        std::clamp<std::int64_t>(FLeftCol + Delta, 0, std::max(FLeftCol, FHScrollMax));
    ScrollBy(std::int32_t(Target - FLeftCol), 0);
}

int TKroCustomEditor::MouseActivate() {
    if (FWindow && !FWindow->Focused()) {
        FWindow->SetFocus();
        return MA_ACTIVATE;
    }
    return MA_DEFAULT;
}

// ---------------------------------------------------------------------------------------------
// Focus and size

void TKroCustomEditor::FocusGained() {
    if (OnEnter) OnEnter(*this);
    // The editor that had the focus before leaves its insert mode with the controller.
    if (Controller()) FInsertMode = Controller()->SavedInsertMode();
    FCarets->SetLinked(true);
    FCarets->SetCellHeight(FLineHeight);
    FCarets->SetCellWidth(FCharWidth);
    FCarets->SetInsertMode(FInsertMode);
    PositionCaret(0);
    FCarets->SetVisible(true);
    if (FHideSelection) InvalidateAll(false);
}

void TKroCustomEditor::FocusLost() {
    if (OnExit) OnExit(*this);
    FCarets->SetLinked(false);
    // Shown again only after the next focus gain has placed it.
    FCarets->SetVisible(false);
    if (FHideSelection) InvalidateAll(false);
    if (Controller()) Controller()->SetSavedInsertMode(FInsertMode);
}

void TKroCustomEditor::Resized() {
    ComputeGeometry();
    ApplyWrapToWindow();
}
