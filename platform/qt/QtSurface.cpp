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

#include <cmath>
#include <map>
#include <mutex>
#include <tuple>

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

TKroQtSurface::TKroQtSurface(QPainter* Painter, int Dpi) : FPainter(Painter), FDpi(Dpi) {}

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

    FPainter->save();
    FPainter->setClipRect(R, Qt::IntersectClip);
    FPainter->setPen(KroResolveQColor(TextColor));
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
