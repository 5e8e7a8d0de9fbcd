// The Qt platform services: clipboard bytes, fixed-pitch families, code-page glyphs, the marker
// glyph strip and the margin cursor.
#include "QtPlatform.h"
#include "QtRig.h"
#include "QtSurface.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QCursor>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace {

TEST(QtPlatform, ClipboardTextTravelsAsCodePageBytesWithCrLf) {
    TQtPlatformRig R;
    IKroClipboard& C = R.Platform.Clipboard();
    ASSERT_TRUE(C.SetText("a\r\nb\x80"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("a\nb€"));
    EXPECT_TRUE(C.HasText());
    EXPECT_EQ(C.GetText(), "a\r\nb\x80");
    QGuiApplication::clipboard()->setText(QString::fromUtf8("x\ry\nzЖ"));
    EXPECT_EQ(C.GetText(), "x\r\ny\r\nz?") << "lone CR and LF, and an unknown character";
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(C.HasText());
}

TEST(QtPlatform, OnlyFixedPitchFamiliesAreListed) {
    TQtPlatformRig R;
    const auto Families = R.Platform.Fonts().FixedPitchFamilies();
    ASSERT_FALSE(Families.empty());
    for (const std::string& F : Families)
        EXPECT_TRUE(QFontDatabase::isFixedPitch(QString::fromStdString(F))) << F;
    EXPECT_EQ(std::count(Families.begin(), Families.end(), "DejaVu Sans"), 0);
}

TEST(QtSurface, HighBytesAreShownThroughTheCodePage) {
    TQtPlatformRig R;
    const auto Families = R.Platform.Fonts().FixedPitchFamilies();
    ASSERT_FALSE(Families.empty());
    TKroFontData Data;
    Data.Name = Families.front();
    const auto F = KroCellFont(Data, 96);
    ASSERT_TRUE(F->Raw.isValid());
    auto GlyphOf = [&](const char* Utf8) {
        return F->Raw.glyphIndexesForString(QString::fromUtf8(Utf8)).value(0);
    };
    EXPECT_EQ(F->Glyphs[0x80], GlyphOf("€"));
    EXPECT_EQ(F->Glyphs[0xE9], GlyphOf("é"));
    EXPECT_EQ(F->Glyphs['A'], GlyphOf("A"));
    EXPECT_NE(F->Glyphs[0x80], F->Glyphs['?']);
    EXPECT_GT(F->Metrics.AveCharWidth, 0);
    EXPECT_GT(F->Metrics.Height, F->Metrics.AveCharWidth);
}

// Text copied from pre-drawn character cells must be pixel for pixel what drawing the glyphs
// gives: every byte, two colour pairs, a clip that cuts cells, text that starts left of it.
TEST(QtSurface, TextFromCellsIsWhatThePainterDraws) {
    TQtPlatformRig R;
    const auto Families = R.Platform.Fonts().FixedPitchFamilies();
    ASSERT_FALSE(Families.empty());
    std::string All;
    for (int B = 1; B < 256; ++B)
        All += char(B);
    for (const int Size : {9, 10, 13}) {
        TKroFontData Font;
        Font.Name = Families.front();
        Font.Size = Size;
        auto Draw = [&](bool Direct) {
            QImage Image(900, 300, QImage::Format_RGB32);
            Image.fill(Qt::red);
            QPainter P(&Image);
            TKroQtSurface Surface(&P, 96);
            Surface.SelectFont(Font);
            const int W = Surface.TextMetrics().AveCharWidth;
            const int H = Surface.TextMetrics().Height;
            const QRect Clip(3 * W / 2, 0, 880 - 3 * W, 300);
            P.setClipRect(Clip);
            if (Direct) Surface.SetDirectTarget(&Image, Clip);
            for (int Row = 0; Row * 64 < 255; ++Row) {
                const std::string_view Piece = std::string_view(All).substr(Row * 64, 64);
                const int Top = Row * (H + 2);
                Surface.TextRectOpaque({0, Top, 900, Top + H + 2}, -W / 2, Top + 1, Piece,
                                       Row % 2 ? clBlack : clWhite, Row % 2 ? clWhite : clNavy);
            }
            return Image;
        };
        const QImage Painted = Draw(false);
        const QImage Copied = Draw(true);
        int Differ = 0;
        for (int Y = 0; Y < Painted.height(); ++Y)
            for (int X = 0; X < Painted.width(); ++X)
                Differ += Painted.pixel(X, Y) != Copied.pixel(X, Y);
        EXPECT_EQ(Differ, 0) << Font.Name << " " << Size;
        EXPECT_NE(Painted.pixel(2 * Size, 5), QColor(Qt::red).rgb()) << "something was drawn";
    }
}

TEST(QtPictures, TheMarkerStripIsTenRaisedDigitButtons) {
    TQtPlatformRig R;
    const TKroBitmap B = R.Platform.LoadBitmap("MARKERS");
    ASSERT_EQ(B.Width, 120);
    ASSERT_EQ(B.Height, 12);
    std::vector<std::vector<TColor>> Glyphs;
    for (int N = 0; N < 10; ++N) {
        const int X0 = N * 12;
        EXPECT_EQ(B.Pixel(X0 + 3, 0), clWhite) << "top edge of " << N;
        EXPECT_EQ(B.Pixel(X0, 5), clWhite) << "left edge of " << N;
        EXPECT_EQ(B.Pixel(X0 + 5, 11), KroRGB(128, 128, 128)) << "bottom edge of " << N;
        EXPECT_EQ(B.Pixel(X0 + 11, 5), KroRGB(128, 128, 128)) << "right edge of " << N;
        EXPECT_EQ(B.Pixel(X0 + 2, 2), clSilver) << "face of " << N;
        std::vector<TColor> Inside;
        int Black = 0;
        for (int Y = 1; Y < 11; ++Y)
            for (int X = 1; X < 11; ++X) {
                Inside.push_back(B.Pixel(X0 + X, Y));
                Black += B.Pixel(X0 + X, Y) == clBlack;
            }
        EXPECT_GT(Black, 5) << "a digit on " << N;
        Glyphs.push_back(Inside);
    }
    for (int N = 0; N < 10; ++N)
        for (int M = N + 1; M < 10; ++M)
            EXPECT_NE(Glyphs[std::size_t(N)], Glyphs[std::size_t(M)]) << N << " and " << M;
    EXPECT_TRUE(R.Platform.LoadBitmap("OTHER").Empty());
}

TEST(QtPictures, TheMarginCursorPointsUpAndRightFromItsTip) {
    TQtPlatformRig R;
    const QCursor& C = KroMarginCursor();
    EXPECT_EQ(C.hotSpot(), QPoint(31, 0));
    const QImage I = C.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(I.size(), QSize(32, 32));
    // The tip is the top-right pixel; the arrow body widens downwards and to the left.
    EXPECT_EQ(qAlpha(I.pixel(31, 0)), 255);
    for (int X = 0; X < 31; ++X)
        EXPECT_EQ(qAlpha(I.pixel(X, 0)), 0) << X;
    EXPECT_EQ(qAlpha(I.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(I.pixel(0, 31)), 0);
    EXPECT_EQ(I.pixel(28, 6) & 0xFFFFFF, 0xFFFFFFu) << "white inside";
    EXPECT_EQ(I.pixel(31, 6) & 0xFFFFFF, 0u) << "black outline";
}

} // namespace
