// Cell drawing on a QPainter: every character sits in a cell of the font's average width, so
// columns line up whatever advances the glyphs have.
#include "QtSurface.h"

#include "Cp1252.h"
#include "QtPlatform.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

QFont KroQFont(const TKroFontData& Data) {
    QFont F(QString::fromStdString(Data.Name));
    F.setPointSize(Data.Size > 0 ? Data.Size : 10);
    F.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
    F.setFixedPitch(true);
    F.setBold(Data.Style & fsBold);
    F.setItalic(Data.Style & fsItalic);
    F.setUnderline(Data.Style & fsUnderline);
    F.setStrikeOut(Data.Style & fsStrikeOut);
    F.setKerning(false);
    return F;
}

std::shared_ptr<const TKroQtCellFont> KroCellFont(const TKroFontData& Data, int Dpi) {
    using TKey = std::tuple<std::string, int, int, int>;
    static std::map<TKey, std::shared_ptr<const TKroQtCellFont>> Cache;
    const TKey Key{Data.Name, Data.Size, int(Data.Style), Dpi};
    if (auto It = Cache.find(Key); It != Cache.end()) return It->second;

    auto C = std::make_shared<TKroQtCellFont>();
    C->Font = KroQFont(Data);
    // Measure at the target resolution: the pixel size the painter will use.
    QFont Pixel = C->Font;
    Pixel.setPixelSize(std::max(1, int(std::lround(C->Font.pointSizeF() * Dpi / 72.0))));
    C->Font = Pixel;
    C->Raw = QRawFont::fromFont(Pixel);
    const QFontMetricsF M(Pixel);
    qreal Advance = M.horizontalAdvance(QLatin1Char('0'));
    if (C->Raw.isValid()) {
        const QList<quint32> G = C->Raw.glyphIndexesForString(QStringLiteral("0"));
        if (!G.isEmpty()) {
            const QList<QPointF> A = C->Raw.advancesForGlyphIndexes(G);
            if (!A.isEmpty() && A.front().x() > 0) Advance = A.front().x();
        }
        C->Ascent = int(std::ceil(C->Raw.ascent()));
        C->Metrics.Height = C->Ascent + int(std::ceil(C->Raw.descent()));
        C->Metrics.ExternalLeading = std::max(0, int(std::lround(C->Raw.leading())));
        for (int B = 0; B < 256; ++B) {
            const QChar Ch(char16_t(KroCp1252ToUnicode(static_cast<unsigned char>(B))));
            quint32 Glyph = 0;
            int N = 1;
            if (C->Raw.glyphIndexesForChars(&Ch, 1, &Glyph, &N) && N == 1) C->Glyphs[B] = Glyph;
        }
    } else {
        C->Ascent = int(std::ceil(M.ascent()));
        C->Metrics.Height = C->Ascent + int(std::ceil(M.descent()));
        C->Metrics.ExternalLeading = std::max(0, int(std::lround(M.leading())));
    }
    C->Metrics.AveCharWidth = std::max(1, int(std::lround(Advance)));
    Cache.emplace(Key, C);
    return C;
}

namespace {

// Strips kept per font (and the memory they may take) before they are all dropped and drawn
// again as needed.
constexpr std::size_t MaxStrips = 16;
constexpr std::size_t MaxStripBytes = std::size_t(16) << 20;

// Draws the glyphs of Bytes (not yet drawn) of Font in Fore on Back into their cells of Strip,
// and records for each whether its ink stays inside its cell.
void DrawCells(const TKroQtCellFont& Font, TKroQtCellStrip& Strip, const std::vector<int>& Bytes,
               int Baseline, const QColor& Fore, QRgb Back) {
    const int W = Font.Metrics.AveCharWidth;
    const int H = Strip.Cells.height();
    // Each glyph goes in the middle of three cells, so that ink outside its own cell shows.
    QImage Wide(3 * W, H, QImage::Format_RGB32);
    QPainter P(&Wide);
    P.setPen(Fore);
    for (const int B : Bytes) {
        Wide.fill(Back);
        QGlyphRun Run;
        Run.setRawFont(Font.Raw);
        Run.setGlyphIndexes({Font.Glyphs[std::size_t(B)]});
        Run.setPositions({QPointF(W, Baseline)});
        P.drawGlyphRun(QPointF(0, 0), Run);
        bool Fits = true;
        for (int Y = 0; Y < H && Fits; ++Y) {
            const auto* Row = reinterpret_cast<const QRgb*>(Wide.constScanLine(Y));
            for (int X = 0; X < 3 * W; ++X)
                if ((X < W || X >= 2 * W) && Row[X] != Back) {
                    Fits = false;
                    break;
                }
        }
        for (int Y = 0; Y < H; ++Y)
            std::memcpy(Strip.Cells.scanLine(Y) + std::size_t(B) * W * 4,
                        Wide.constScanLine(Y) + std::size_t(W) * 4, std::size_t(W) * 4);
        Strip.Drawn.set(std::size_t(B));
        Strip.Fits.set(std::size_t(B), Fits);
    }
}

} // namespace

TKroQtSurface::TKroQtSurface(QPainter* Painter, int Dpi) : FPainter(Painter), FDpi(Dpi) {}

void TKroQtSurface::SetDirectTarget(QImage* Image, const QRect& Clip) {
    const bool Usable = Image && Image->format() == QImage::Format_RGB32 &&
                        Image->devicePixelRatio() == 1.0 && FPainter &&
                        FPainter->transform().isIdentity();
    FDirect = Usable ? Image : nullptr;
    FDirectClip = Clip;
}

bool TKroQtSurface::CopyCells(const QRect& Clip, int X, int Y, std::string_view Text, int First,
                              int Last, QRgb Fore, QRgb Back) {
    const TKroQtCellFont& F = *FFont;
    if (!FDirect || !F.Raw.isValid() || (FFontData.Style & (fsUnderline | fsStrikeOut)))
        return false;
    const QRect Area = Clip & FDirectClip & FDirect->rect();
    if (Area.isEmpty()) return true;
    const int W = F.Metrics.AveCharWidth;
    const int H = Clip.height();
    const int Baseline = Y - Clip.top() + F.Ascent;
    const TKroQtCellFont::TStripKey Key{Fore, Back, H, Baseline};
    auto It = F.Strips.find(Key);
    if (It == F.Strips.end()) {
        const std::size_t Bytes = std::size_t(256) * W * H * 4;
        if (F.Strips.size() >= MaxStrips || (F.Strips.size() + 1) * Bytes > MaxStripBytes)
            F.Strips.clear();
        It = F.Strips.emplace(Key, TKroQtCellStrip{}).first;
        It->second.Cells = QImage(256 * W, H, QImage::Format_RGB32);
        if (It->second.Cells.isNull()) {
            F.Strips.erase(It);
            return false;
        }
    }
    TKroQtCellStrip& Strip = It->second;
    std::vector<int> Missing;
    for (int I = First; I < Last; ++I) {
        const auto B = static_cast<unsigned char>(Text[std::size_t(I)]);
        if (!Strip.Drawn[B]) {
            if (std::find(Missing.begin(), Missing.end(), B) == Missing.end()) Missing.push_back(B);
        } else if (!Strip.Fits[B]) {
            return false;
        }
    }
    if (!Missing.empty()) {
        DrawCells(F, Strip, Missing, Baseline, QColor::fromRgba(Fore), Back);
        for (const int B : Missing)
            if (!Strip.Fits[std::size_t(B)]) return false;
    }
    // The visible part of every cell: where it goes and where it comes from.
    struct TPiece {
        int To, From, Count;
    };
    constexpr int MaxPieces = 512;
    if (Last - First > MaxPieces) return false; // wider than any window: drawn the usual way
    TPiece Pieces[MaxPieces];
    int N = 0;
    for (int I = First; I < Last; ++I) {
        const int CellX = X + I * W;
        const int L = std::max(CellX, Area.left());
        const int R = std::min(CellX + W, Area.right() + 1);
        if (L >= R) continue;
        const auto B = static_cast<unsigned char>(Text[std::size_t(I)]);
        Pieces[N++] = {L, int(B) * W + (L - CellX), R - L};
    }
    uchar* Bits = FDirect->bits();
    const qsizetype Stride = FDirect->bytesPerLine();
    const uchar* Cells = Strip.Cells.constBits();
    const qsizetype CellStride = Strip.Cells.bytesPerLine();
    for (int Row = Area.top(); Row <= Area.bottom(); ++Row) {
        auto* To = reinterpret_cast<QRgb*>(Bits + Row * Stride);
        const auto* From = reinterpret_cast<const QRgb*>(Cells + (Row - Clip.top()) * CellStride);
        for (int K = 0; K < N; ++K)
            std::copy_n(From + Pieces[K].From, Pieces[K].Count, To + Pieces[K].To);
    }
    return true;
}

void TKroQtSurface::SelectFont(const TKroFontData& Font) {
    if (FHasFont && Font == FFontData) return;
    FFontData = Font;
    FHasFont = true;
    FFont = KroCellFont(Font, FDpi);
}

void TKroQtSurface::EnsureFont() {
    if (!FFont) SelectFont(FFontData);
}

TKroTextMetrics TKroQtSurface::TextMetrics() {
    EnsureFont();
    return FFont->Metrics;
}

void TKroQtSurface::TextRectOpaque(const TKroRect& Clip, int X, int Y, std::string_view Text,
                                   TColor TextColor, TColor BackColor) {
    if (!FPainter || Clip.IsEmpty()) return;
    EnsureFont();
    const QRect R(Clip.Left, Clip.Top, Clip.Width(), Clip.Height());
    FPainter->fillRect(R, KroResolveQColor(BackColor));
    if (Text.empty()) return;
    const int W = FFont->Metrics.AveCharWidth;
    // Only the characters that reach into the clip rectangle are laid out.
    int First = 0;
    if (X < Clip.Left) First = std::min<int>(int(Text.size()), (Clip.Left - X) / W);
    int Last = int(Text.size());
    if (X + Last * W > Clip.Right) Last = std::min(Last, (Clip.Right - X + W - 1) / W);
    if (Last <= First) return;
    const QColor Fore = KroResolveQColor(TextColor);
    const QColor Back = KroResolveQColor(BackColor);
    if (Back.alpha() == 255 && CopyCells(R, X, Y, Text, First, Last, Fore.rgba(), Back.rgb()))
        return;

    FPainter->save();
    FPainter->setClipRect(R, Qt::IntersectClip);
    FPainter->setPen(Fore);
    const qreal Baseline = Y + FFont->Ascent;
    if (FFont->Raw.isValid()) {
        QList<quint32> Glyphs;
        QList<QPointF> Positions;
        Glyphs.reserve(Last - First);
        Positions.reserve(Last - First);
        for (int I = First; I < Last; ++I) {
            Glyphs.push_back(FFont->Glyphs[static_cast<unsigned char>(Text[std::size_t(I)])]);
            Positions.push_back(QPointF(X + I * W, Baseline));
        }
        QGlyphRun Run;
        Run.setRawFont(FFont->Raw);
        Run.setGlyphIndexes(Glyphs);
        Run.setPositions(Positions);
        Run.setUnderline(FFontData.Style & fsUnderline);
        Run.setOverline(false);
        Run.setStrikeOut(FFontData.Style & fsStrikeOut);
        FPainter->drawGlyphRun(QPointF(0, 0), Run);
    } else {
        FPainter->setFont(FFont->Font);
        for (int I = First; I < Last; ++I) {
            const QChar Ch(
                char16_t(KroCp1252ToUnicode(static_cast<unsigned char>(Text[std::size_t(I)]))));
            FPainter->drawText(QPointF(X + I * W, Baseline), QString(Ch));
        }
    }
    FPainter->restore();
}

void TKroQtSurface::FillRect(const TKroRect& R, TColor Color) {
    if (!FPainter || R.IsEmpty()) return;
    FPainter->fillRect(QRect(R.Left, R.Top, R.Width(), R.Height()), KroResolveQColor(Color));
}

void TKroQtSurface::CopyBitmap(const TKroBitmap& Bitmap, const TKroRect& Source,
                               const TKroPoint& Dest) {
    if (!FPainter || Bitmap.Empty() || Source.IsEmpty()) return;
    const QImage Image = KroImageFromBitmap(Bitmap);
    if (Image.isNull()) return;
    FPainter->drawImage(QPoint(Dest.X, Dest.Y), Image,
                        QRect(Source.Left, Source.Top, Source.Width(), Source.Height()));
}

TColor TKroQtSurface::GrayTextColor() {
    if (IKroPlatform* P = KroPlatform()) return P->ColorToRGB(clGrayText);
    return KroResolveColor(clGrayText, QGuiApplication::palette());
}
