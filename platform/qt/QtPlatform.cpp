// Qt platform services: clipboard bytes through Windows-1252, fixed-pitch families, beep, busy
// cursor, palette colours and the program's pictures.
#include "QtPlatform.h"

#include "Cp1252.h"
#include "QtKeys.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QPalette>
#include <QPixmap>

namespace {

#include "../../resources/margin-cursor.xpm"
#include "../../resources/markers.xpm"

} // namespace

// ---- clipboard

bool TKroQtClipboard::HasText() {
    return !QGuiApplication::clipboard()->text().isEmpty();
}

std::string TKroQtClipboard::GetText() {
    QString T = QGuiApplication::clipboard()->text();
    T.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    T.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    T.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    std::string Out;
    Out.reserve(std::size_t(T.size()));
    for (char32_t C : T.toUcs4()) {
        const auto B = KroUnicodeToCp1252(C);
        Out.push_back(B ? char(*B) : '?');
    }
    return Out;
}

bool TKroQtClipboard::SetText(std::string_view Text) {
    QString T = KroFromCp1252(Text.data(), qsizetype(Text.size()));
    T.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QClipboard* C = QGuiApplication::clipboard();
    if (!C) return false;
    C->setText(T);
    return true;
}

// ---- fonts

std::vector<std::string> TKroQtFontCatalogue::FixedPitchFamilies() {
    std::vector<std::string> Out;
    for (const QString& F : QFontDatabase::families())
        if (QFontDatabase::isFixedPitch(F) && !QFontDatabase::isPrivateFamily(F))
            Out.push_back(F.toStdString());
    return Out;
}

std::string TKroQtFontCatalogue::MonospaceFamily() {
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family().toStdString();
}

// ---- platform

void TKroQtPlatform::Beep() {
    ++FBeeps;
    QApplication::beep();
}

void TKroQtPlatform::BeginBusy() {
    if (FBusyDepth++ == 0) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void TKroQtPlatform::EndBusy() {
    if (FBusyDepth > 0 && --FBusyDepth == 0) QGuiApplication::restoreOverrideCursor();
}

TColor TKroQtPlatform::ColorToRGB(TColor Color) {
    return KroResolveColor(Color, QGuiApplication::palette());
}

TKroBitmap TKroQtPlatform::LoadBitmap(std::string_view Name) {
    if (Name == "MARKERS") return KroBitmapFromImage(KroMarkerStripImage());
    return {};
}

void TKroQtPlatform::ShowError(const std::string& Message) {
    QMessageBox::critical(QApplication::activeWindow(), QGuiApplication::applicationDisplayName(),
                          QString::fromStdString(Message));
}

// ---- conversions

QColor KroToQColor(TColor Color) {
    return QColor(KroRValue(Color), KroGValue(Color), KroBValue(Color));
}

TColor KroFromQColor(const QColor& Color) {
    return KroRGB(std::uint8_t(Color.red()), std::uint8_t(Color.green()),
                  std::uint8_t(Color.blue()));
}

TColor KroResolveColor(TColor Color, const QPalette& P) {
    if (!KroIsSystemColor(Color)) return Color & 0xFFFFFF;
    QColor C;
    switch (KroSystemColorIndex(Color)) {
    case 0: // scroll bar
    case 10:
    case 11:
    case 15: // button face and borders
        C = P.color(QPalette::Button);
        break;
    case 1:  // desktop
    case 12: // application workspace
    case 3:  // inactive caption
        C = P.color(QPalette::Mid);
        break;
    case 2: // active caption
    case 13:
        C = P.color(QPalette::Highlight);
        break;
    case 4: // menu
        C = P.color(QPalette::Window);
        break;
    case 5:
        C = P.color(QPalette::Base);
        break;
    case 6: // window frame
    case 21:
        C = P.color(QPalette::Shadow);
        break;
    case 7: // menu text
        C = P.color(QPalette::WindowText);
        break;
    case 9: // caption text
    case 14:
        C = P.color(QPalette::HighlightedText);
        break;
    case 16:
        C = P.color(QPalette::Dark);
        break;
    case 17:
        C = P.color(QPalette::Disabled, QPalette::Text);
        break;
    case 18:
        C = P.color(QPalette::ButtonText);
        break;
    case 20:
        C = P.color(QPalette::Light);
        break;
    case 22:
        C = P.color(QPalette::Midlight);
        break;
    case 23:
        C = P.color(QPalette::ToolTipText);
        break;
    case 24:
        C = P.color(QPalette::ToolTipBase);
        break;
    default: // window text, inactive caption text and anything unknown
        C = P.color(QPalette::Text);
        break;
    }
    return KroFromQColor(C);
}

QColor KroResolveQColor(TColor Color) {
    if (!KroIsSystemColor(Color)) return KroToQColor(Color);
    if (IKroPlatform* P = KroPlatform()) return KroToQColor(P->ColorToRGB(Color));
    return KroToQColor(KroResolveColor(Color, QGuiApplication::palette()));
}

TKroBitmap KroBitmapFromImage(const QImage& Image) {
    TKroBitmap B;
    if (Image.isNull()) return B;
    const QImage I = Image.convertToFormat(QImage::Format_RGB32);
    B.Width = I.width();
    B.Height = I.height();
    B.Pixels.resize(std::size_t(B.Width) * std::size_t(B.Height));
    for (int Y = 0; Y < B.Height; ++Y) {
        const QRgb* Row = reinterpret_cast<const QRgb*>(I.constScanLine(Y));
        for (int X = 0; X < B.Width; ++X)
            B.Pixels[std::size_t(Y) * std::size_t(B.Width) + std::size_t(X)] =
                KroRGB(std::uint8_t(qRed(Row[X])), std::uint8_t(qGreen(Row[X])),
                       std::uint8_t(qBlue(Row[X])));
    }
    return B;
}

QImage KroImageFromBitmap(const TKroBitmap& B) {
    if (B.Empty() || B.Pixels.size() < std::size_t(B.Width) * std::size_t(B.Height)) return {};
    QImage I(B.Width, B.Height, QImage::Format_RGB32);
    for (int Y = 0; Y < B.Height; ++Y) {
        QRgb* Row = reinterpret_cast<QRgb*>(I.scanLine(Y));
        for (int X = 0; X < B.Width; ++X) {
            const TColor C = B.Pixel(X, Y);
            Row[X] = qRgb(KroRValue(C), KroGValue(C), KroBValue(C));
        }
    }
    return I;
}

QImage KroMarkerStripImage() {
    return QImage(markers_xpm);
}

const QCursor& KroMarginCursor() {
    static const QCursor Cursor(QPixmap::fromImage(QImage(margin_cursor_xpm)), 31, 0);
    return Cursor;
}
