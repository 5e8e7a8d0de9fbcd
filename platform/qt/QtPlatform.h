// The Qt implementation of the process-wide platform services: clipboard, font catalogue, beep,
// wait cursor, system colours and the bitmaps shipped with the program.
#pragma once

#include "Port.h"

#include <QColor>

class QCursor;
class QImage;
class QPalette;

class TKroQtClipboard : public IKroClipboard {
public:
    bool HasText() override;
    // Line ends come back as CR LF; characters the code page lacks become '?'.
    std::string GetText() override;
    // CR LF becomes the desktop's LF on the way out.
    bool SetText(std::string_view Text) override;
};

class TKroQtFontCatalogue : public IKroFontCatalogue {
public:
    std::vector<std::string> FixedPitchFamilies() override;
    std::string MonospaceFamily() override;
};

class TKroQtPlatform : public IKroPlatform {
public:
    IKroClipboard& Clipboard() override { return FClipboard; }
    IKroFontCatalogue& Fonts() override { return FFonts; }
    void Beep() override;
    void BeginBusy() override;
    void EndBusy() override;
    // System colours come from the application's palette.
    TColor ColorToRGB(TColor Color) override;
    // "MARKERS": the marker glyph strip.
    TKroBitmap LoadBitmap(std::string_view Name) override;
    void ShowError(const std::string& Message) override;

    // Counted: how often the desktop was asked to beep (the editor refuses keys this way).
    int BeepCount() const { return FBeeps; }

private:
    TKroQtClipboard FClipboard;
    TKroQtFontCatalogue FFonts;
    int FBusyDepth = 0;
    int FBeeps = 0;
};

// Conversions between the editor's colours and bitmaps and Qt's.
QColor KroToQColor(TColor Color);
TColor KroFromQColor(const QColor& Color);
// A system colour from Palette (plain colours unchanged).
TColor KroResolveColor(TColor Color, const QPalette& Palette);
// A plain or system colour resolved through the installed platform, else the app palette.
QColor KroResolveQColor(TColor Color);
TKroBitmap KroBitmapFromImage(const QImage& Image);
QImage KroImageFromBitmap(const TKroBitmap& Bitmap);

// The program's pictures.
QImage KroMarkerStripImage();
// The cursor over the editor's left margin (an arrow up and to the right, hot spot at the tip).
const QCursor& KroMarginCursor();
