// The editor's drawing surface on a QPainter: characters in fixed cells of the selected font,
// opaque clipped text, filled rectangles and bitmap copies.
#pragma once

#include "Port.h"

#include <QFont>
#include <QRawFont>

#include <array>
#include <memory>

class QPainter;

// A font prepared for cell drawing: the raw font, its metrics and a glyph for every byte.
struct TKroQtCellFont {
    QFont Font;
    QRawFont Raw;
    TKroTextMetrics Metrics;
    int Ascent = 0;
    std::array<quint32, 256> Glyphs{};
};

// The prepared font for Data at the given resolution (cached for the process).
std::shared_ptr<const TKroQtCellFont> KroCellFont(const TKroFontData& Data, int Dpi);
// The QFont the editor's font data names.
QFont KroQFont(const TKroFontData& Data);

class TKroQtSurface : public IKroSurface {
public:
    // Painter may be null: the surface then answers metrics and draws nothing. Dpi is the
    // resolution fonts are measured at.
    TKroQtSurface(QPainter* Painter, int Dpi);

    void SelectFont(const TKroFontData& Font) override;
    TKroTextMetrics TextMetrics() override;
    void TextRectOpaque(const TKroRect& Clip, int X, int Y, std::string_view Text, TColor TextColor,
                        TColor BackColor) override;
    void FillRect(const TKroRect& R, TColor Color) override;
    void CopyBitmap(const TKroBitmap& Bitmap, const TKroRect& Source,
                    const TKroPoint& Dest) override;
    TColor GrayTextColor() override;

private:
    void EnsureFont();

    QPainter* FPainter;
    int FDpi;
    TKroFontData FFontData;
    bool FHasFont = false;
    std::shared_ptr<const TKroQtCellFont> FFont;
};
