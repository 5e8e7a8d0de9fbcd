// The editor's drawing surface on a QPainter: characters in fixed cells of the selected font,
// opaque clipped text, filled rectangles and bitmap copies.
#pragma once

#include "Port.h"

#include <QFont>
#include <QRawFont>

#include <QImage>

#include <array>
#include <bitset>
#include <map>
#include <memory>
#include <tuple>

class QPainter;

// Every byte's glyph drawn once in one colour pair, each in a cell of the character width and
// the row height, ready to be copied into an image of the same pixel format.
struct TKroQtCellStrip {
    QImage Cells; // 256 cells side by side
    std::bitset<256> Drawn;
    // The glyph's ink stays inside its cell: copying the cell draws exactly what drawing the
    // glyph there would.
    std::bitset<256> Fits;
};

// A font prepared for cell drawing: the raw font, its metrics and a glyph for every byte.
struct TKroQtCellFont {
    QFont Font;
    QRawFont Raw;
    TKroTextMetrics Metrics;
    int Ascent = 0;
    std::array<quint32, 256> Glyphs{};
    // Drawn cells by text colour, background colour, row height and baseline; filled as the
    // painting needs them (the painting runs on one thread).
    using TStripKey = std::tuple<QRgb, QRgb, int, int>;
    mutable std::map<TStripKey, TKroQtCellStrip> Strips;
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

    // The painter draws on Image (device pixel ratio 1, no transformation) and is clipped to
    // Clip: text may then be copied from drawn cells straight into the image.
    void SetDirectTarget(QImage* Image, const QRect& Clip);

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
    // Copies the cells of Text[First, Last) to X + I * width, clipped to Clip and the painter's
    // clip; false (nothing drawn) when a cell is not available exactly.
    bool CopyCells(const QRect& Clip, int X, int Y, std::string_view Text, int First, int Last,
                   QRgb Fore, QRgb Back);

    QPainter* FPainter;
    int FDpi;
    TKroFontData FFontData;
    bool FHasFont = false;
    std::shared_ptr<const TKroQtCellFont> FFont;
    QImage* FDirect = nullptr;
    QRect FDirectClip;
};
