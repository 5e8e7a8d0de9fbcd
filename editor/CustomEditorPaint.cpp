// The editor control's painting: rows in fixed character cells with tabs expanded, the selection
// highlight, the margin glyphs of the markers, the owner-draw hook, and the scroll-bar messages.
#include "CustomEditor.h"

#include "TextRoutines.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace {

// A colour as plain RGB (system colours resolved by the platform).
TColor PlainColor(TColor C) {
    if (IKroPlatform* P = KroPlatform()) return P->ColorToRGB(C);
    return C;
}

// Display line Len characters with every tab expanded to blanks up to the next stop, into Out.
void ExpandTabs(const char* Text, std::int32_t Len, int TabSize, std::string& Out) {
    if (TabSize < 1) TabSize = 1;
    Out.clear();
    Out.reserve(std::size_t(TextWidth(Text, Len, TabSize)));
    // From tab to tab: the characters between go over as they are.
    for (std::int32_t I = 0; I < Len;) {
        const void* Tab = std::memchr(Text + I, '\t', std::size_t(Len - I));
        const std::int32_t Run =
            Tab ? std::int32_t(static_cast<const char*>(Tab) - (Text + I)) : Len - I;
        Out.append(Text + I, std::size_t(Run));
        I += Run;
        if (I < Len) {
            Out.append(std::size_t(TabSize - int(Out.size() % std::size_t(TabSize))), ' ');
            ++I;
        }
    }
}

} // namespace

bool TKroCustomEditor::DrawLine(IKroSurface& EditorCanvas, const TKroRect& Rect, const char* S,
                                std::int32_t Len, std::int32_t Line, std::int32_t Pos,
                                std::int32_t Count, std::int32_t HBLine, std::int32_t HBCol,
                                std::int32_t HELine, std::int32_t HECol) {
    bool WasDrawn = false;
    if (OnDrawLine) {
        TKroRect Copy = Rect;
        OnDrawLine(*this, EditorCanvas, Copy, S, Len, Line, Pos, Count, HBLine, HBCol, HELine,
                   HECol, WasDrawn);
    }
    return WasDrawn;
}

void TKroCustomEditor::Paint(IKroSurface& Canvas, const TKroRect& ClipBox) {
    if (!HasWindow() || FVisibleRows <= 0) return;
    Canvas.SelectFont(FFixedFont->Font());
    const int LH = FLineHeight;
    const int CW = FCharWidth;
    const int ClientW = FWindow->ClientWidth();
    const int ClientH = FWindow->ClientHeight();

    // The rows meeting the clip box; the partial row under the last whole one counts too.
    const std::int32_t FirstRow = std::max(0, ClipBox.Top) / LH + 1;
    std::int32_t LastRow = (ClipBox.Bottom + LH - 1) / LH;
    if (LastRow == FVisibleRows) LastRow = FVisibleRows + 1;
    // Rows that fit whole. A window lower than one row has none: its one row is partial and
    // shows no text.
    const std::int32_t WholeRows = std::min<std::int32_t>(FVisibleRows, ClientH / LH);

    const TColor TextColor = FEnabled ? FFixedFont->Color() : Canvas.GrayTextColor();
    const TColor Back = FColor;
    const TColor HiText = PlainColor(FHighlightColors->TextColor());
    const TColor HiBack = PlainColor(FHighlightColors->BackColor());

    const bool Highlight = FEnabled && HasSelection() && !(FHideSelection && !FWindow->Focused());
    const std::int32_t HBLine = Highlight ? FSelStartLine : 0;
    const std::int32_t HBCol = Highlight ? FSelStartLinePos : 0;
    const std::int32_t HELine = Highlight ? FSelEndLine : 0;
    const std::int32_t HECol = Highlight ? FSelEndLinePos : 0;

    const int TextLeft = FLeftMargin;
    const int TextRight = FLeftMargin + FVisibleCols * CW;
    auto RowRect = [&](std::int32_t Row) {
        const int Top = (Row - 1) * LH;
        return TKroRect{TextLeft, Top, TextRight, std::min(Top + LH, ClientH)};
    };

    // The strips beside the text.
    Canvas.FillRect(TKroRect{0, ClipBox.Top, FLeftMargin, ClipBox.Bottom}, Back);
    Canvas.FillRect(TKroRect{TextRight, ClipBox.Top, ClientW, ClipBox.Bottom}, Back);

    const std::int32_t From = std::max<std::int32_t>(1, FirstRow);
    const std::int32_t To = std::min(WholeRows, LastRow);
    const std::int32_t Lines = FParaList->LineCount();

    // The marker glyphs: the lowest-numbered marker on a row's line shows.
    const int GlyphW = FMarkerBitmap.Width / 10;
    if (FShowBookmarks && !FMarkerBitmap.Empty() && GlyphW >= 1 && GlyphW <= FLeftMargin) {
        std::array<std::int32_t, MarkerCount> MarkerLine{};
        for (int N = 0; N < MarkerCount; ++N) {
            const TParaPos M = FParaList->Marker(N);
            MarkerLine[std::size_t(N)] = (M.Para != 0 && M.Pos != 0) ? ParaToLine(M).Line : 0;
        }
        const int BH = FMarkerBitmap.Height;
        for (std::int32_t Row = From; Row <= To; ++Row) {
            const std::int32_t Line = FTopLine + Row - 1;
            const auto It = std::find(MarkerLine.begin(), MarkerLine.end(), Line);
            if (It == MarkerLine.end()) continue;
            const int N = int(It - MarkerLine.begin());
            int T = (Row - 1) * LH;
            if (LH >= BH + 2) T += (LH - BH) / 2;
            Canvas.CopyBitmap(FMarkerBitmap, TKroRect{N * GlyphW, 0, (N + 1) * GlyphW, BH},
                              TKroPoint{1, T});
        }
    }

    // The rows. One buffer holds each row's tab-expanded copy in turn.
    std::string Expanded;
    for (std::int32_t Row = From; Row <= To; ++Row) {
        const std::int32_t Line = FTopLine + Row - 1;
        const TKroRect R = RowRect(Row);
        if (Line > Lines) {
            if (!DrawLine(Canvas, R, "", 0, Line, FLeftCol, FVisibleCols, HBLine, HBCol, HELine,
                          HECol))
                Canvas.FillRect(R, Back);
            continue;
        }
        const char* Text = nullptr;
        std::int32_t Len = 0;
        TParaNode* Node = FParaList->GetLine(Line, Text, Len);
        // What the owner-draw hook sees: a tab-expanded copy of the line, or the paragraph's
        // own text from the line's start to the paragraph's end.
        const char* Shown = Text;
        std::int32_t ShownLen = Len;
        std::int32_t HookLen = Node ? std::int32_t(Node->Length()) - LineToPara(Line).Pos : Len;
        if (HasTab(Text, Len)) {
            ExpandTabs(Text, Len, FParaList->TabSize(), Expanded);
            Shown = Expanded.c_str();
            ShownLen = std::int32_t(Expanded.size());
            HookLen = ShownLen;
        }
        if (DrawLine(Canvas, R, Shown, HookLen, Line, FLeftCol, FVisibleCols, HBLine, HBCol, HELine,
                     HECol))
            continue;

        const std::int32_t VisLen =
            ShownLen > FLeftCol ? std::min(FVisibleCols, ShownLen - FLeftCol) : 0;
        if (VisLen <= 0) {
            Canvas.FillRect(R, Back);
            continue;
        }
        const char* Vis = Shown + FLeftCol;

        // Normal, highlighted, normal.
        std::int32_t N1 = VisLen;
        std::int32_t H = 0;
        if (Highlight && Line >= HBLine && Line <= HELine) {
            const std::int32_t F = FLeftCol + 1;
            auto Column = [&](std::int32_t Pos) { return FParaList->PosToColumn(Text, Len, Pos); };
            if (Line > HBLine && Line < HELine) {
                N1 = 0;
                H = VisLen;
            } else if (Line == HBLine) {
                N1 = std::clamp(Column(HBCol) - F, 0, VisLen);
                H = Line == HELine ? std::clamp(Column(HECol) - F - N1, 0, VisLen - N1)
                                   : VisLen - N1;
            } else {
                N1 = 0;
                H = std::clamp(Column(HECol) - F, 0, VisLen);
            }
        }
        const std::int32_t N2 = VisLen - N1 - H;
        const int Y = R.Top + 1;
        int X = TextLeft;
        if (N1 > 0 && N2 + H > 0) {
            Canvas.TextRectOpaque(TKroRect{X, R.Top, X + N1 * CW, R.Bottom}, X, Y,
                                  std::string_view(Vis, std::size_t(N1)), TextColor, Back);
            X += N1 * CW;
        } else if (N1 > 0) {
            // One normal piece: it reaches the right edge.
            Canvas.TextRectOpaque(TKroRect{X, R.Top, TextRight, R.Bottom}, X, Y,
                                  std::string_view(Vis, std::size_t(N1)), TextColor, Back);
            continue;
        }
        if (H > 0) {
            Canvas.TextRectOpaque(TKroRect{X, R.Top, X + H * CW, R.Bottom}, X, Y,
                                  std::string_view(Vis + N1, std::size_t(H)), HiText, HiBack);
            X += H * CW;
        }
        // The last piece reaches the right edge, so the rest of the row is background.
        Canvas.TextRectOpaque(TKroRect{X, R.Top, TextRight, R.Bottom}, X, Y,
                              std::string_view(Vis + N1 + H, std::size_t(N2)), TextColor, Back);
    }

    // The partial row under the last whole row.
    if (WholeRows < LastRow && WholeRows * LH < ClientH)
        Canvas.FillRect(TKroRect{TextLeft, WholeRows * LH, TextRight, ClientH}, Back);

    FRepaintPending = false;
    if (FVScrollRangeDirty) UpdateVScrollRange();
    if (FVScrollPosDirty) UpdateVScrollPos();
    if (FHScrollPosDirty) UpdateHScrollPos();
    PositionCaret(0);
}

// ---------------------------------------------------------------------------------------------
// Scroll-bar messages

void TKroCustomEditor::WMVScroll(int Code, int Pos) {
    switch (Code) {
    case SB_LINEUP:
        ScrollBy(0, -1);
        break;
    case SB_LINEDOWN:
        ScrollBy(0, 1);
        break;
    case SB_PAGEUP:
        ScrollBy(0, -FVisibleRows);
        break;
    case SB_PAGEDOWN:
        ScrollBy(0, FVisibleRows);
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        const std::int32_t P = Pos & 0xFFFF;
        const std::int32_t Lines = FParaList->LineCount();
        std::int64_t Line;
        if (P == 1)
            Line = 1;
        else if (P == FVScrollMax)
            Line = std::max<std::int64_t>(1, std::int64_t(Lines) - FVisibleRows + 1);
        else
            Line = std::int64_t(P) * FVScrollUnit;
        // A thumb position outside the range (0 from a bar that starts at 0) still names a
        // line of the document rather than raising.
        MakeTopLine(std::int32_t(std::clamp<std::int64_t>(Line, 1, Lines)));
        break;
    }
    default:
        break;
    }
}

void TKroCustomEditor::WMHScroll(int Code, int Pos) {
    switch (Code) {
    case SB_LINELEFT:
        ScrollBy(-1, 0);
        break;
    case SB_LINERIGHT:
        ScrollBy(1, 0);
        break;
    case SB_PAGELEFT:
        ScrollBy(-(FVisibleCols - 1), 0);
        break;
    case SB_PAGERIGHT:
        ScrollBy(FVisibleCols - 1, 0);
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        const std::int32_t P = Pos & 0xFFFF;
        if (P != FLeftCol) {
            FLeftCol = P;
            UpdateHScrollPos();
            InvalidateAll(true);
        }
        break;
    }
    default:
        break;
    }
}
