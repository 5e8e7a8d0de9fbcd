// The portability interfaces the editing engine is written against: window, surface, caret,
// clipboard, fonts and system services. No toolkit header may appear here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Plain values

struct TKroPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TKroPoint&, const TKroPoint&) = default;
};

// Pixel rectangle; Right and Bottom are exclusive.
struct TKroRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    friend bool operator==(const TKroRect&, const TKroRect&) = default;
};

// A colour: 0x00BBGGRR for a plain RGB value; with the top bit set, the low byte names a
// system colour that the platform resolves (ColorToRGB).
using TColor = std::uint32_t;

constexpr TColor KroRGB(std::uint8_t R, std::uint8_t G, std::uint8_t B) {
    return TColor(R) | (TColor(G) << 8) | (TColor(B) << 16);
}
constexpr std::uint8_t KroRValue(TColor C) {
    return std::uint8_t(C & 0xFF);
}
constexpr std::uint8_t KroGValue(TColor C) {
    return std::uint8_t((C >> 8) & 0xFF);
}
constexpr std::uint8_t KroBValue(TColor C) {
    return std::uint8_t((C >> 16) & 0xFF);
}
constexpr bool KroIsSystemColor(TColor C) {
    return (C & 0x80000000u) != 0;
}
constexpr int KroSystemColorIndex(TColor C) {
    return int(C & 0xFF);
}

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor clScrollBar = 0x80000000;
constexpr TColor clBackground = 0x80000001;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowFrame = 0x80000006;
constexpr TColor clMenuText = 0x80000007;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clHighlight = 0x8000000D;
constexpr TColor clHighlightText = 0x8000000E;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;
constexpr TColor clGrayText = 0x80000011;
constexpr TColor clBtnText = 0x80000012;
constexpr TColor clBtnHighlight = 0x80000014;

// A bitmap as plain pixels (row-major, plain RGB colours); the caret image and the marker glyph
// strip travel in this form.
struct TKroBitmap {
    int Width = 0;
    int Height = 0;
    std::vector<TColor> Pixels;
    bool Empty() const { return Width <= 0 || Height <= 0; }
    TColor Pixel(int X, int Y) const { return Pixels[std::size_t(Y) * std::size_t(Width) + X]; }
    friend bool operator==(const TKroBitmap&, const TKroBitmap&) = default;
};

// Font style bits.
using TKroFontStyles = std::uint8_t;
constexpr TKroFontStyles fsBold = 1;
constexpr TKroFontStyles fsItalic = 2;
constexpr TKroFontStyles fsUnderline = 4;
constexpr TKroFontStyles fsStrikeOut = 8;

// A font as a value: what a surface is asked to select.
struct TKroFontData {
    std::string Name;
    int Size = 10; // points
    TKroFontStyles Style = 0;
    TColor Color = clWindowText;
    friend bool operator==(const TKroFontData&, const TKroFontData&) = default;
};

struct TKroTextMetrics {
    int AveCharWidth = 0;
    int Height = 0;
    int ExternalLeading = 0;
    friend bool operator==(const TKroTextMetrics&, const TKroTextMetrics&) = default;
};

// Shift state bits, as the key tables store them.
using TKroShiftState = std::uint8_t;
constexpr TKroShiftState ssShiftKey = 2;
constexpr TKroShiftState ssCtrlKey = 4;
constexpr TKroShiftState ssAltKey = 8;

enum class TKroCursor { crDefault, crArrow, crIBeam, crHourGlass, crMargin };

enum class TKroScrollBarKind { sbHorizontal, sbVertical };

// ---------------------------------------------------------------------------------------------
// Interfaces

// Where text and pictures are drawn. Characters are bytes of the 8-bit code page; the port
// converts them for display.
class IKroSurface {
public:
    virtual ~IKroSurface() = default;
    virtual void SelectFont(const TKroFontData& Font) = 0;
    // Metrics of the font selected last.
    virtual TKroTextMetrics TextMetrics() = 0;
    // Draws Text with its top-left cell at (X, Y) in the selected font; first fills Clip with
    // Back, and nothing reaches outside Clip.
    virtual void TextRectOpaque(const TKroRect& Clip, int X, int Y, std::string_view Text,
                                TColor TextColor, TColor BackColor) = 0;
    virtual void FillRect(const TKroRect& R, TColor Color) = 0;
    // Copies the Source part of Bitmap so that its top-left lands on Dest.
    virtual void CopyBitmap(const TKroBitmap& Bitmap, const TKroRect& Source,
                            const TKroPoint& Dest) = 0;
    // The plain RGB colour for disabled text.
    virtual TColor GrayTextColor() = 0;
};

// The one insertion-point indicator of a window. Size, grey flag or bitmap, position and blink
// period follow the rules of the caret descriptions; position (2147483647, y) is off the window.
class IKroSystemCaret {
public:
    virtual ~IKroSystemCaret() = default;
    virtual void Create(int Width, int Height, bool Gray) = 0;
    virtual void CreateFromBitmap(const TKroBitmap& Bitmap) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void SetPos(int X, int Y) = 0;
    virtual void Destroy() = 0;
    // Blink period in milliseconds.
    virtual unsigned GetBlinkTime() = 0;
    virtual void SetBlinkTime(unsigned Milliseconds) = 0;
};

// The window an editor control lives in, provided by its host.
class IKroWindow {
public:
    virtual ~IKroWindow() = default;

    // Whether the window exists yet (geometry and the caret need it).
    virtual bool HandleAllocated() const = 0;
    // Window style: scroll bars and border; a change may rebuild the window.
    virtual void SetStyle(bool HScroll, bool VScroll, bool Border) = 0;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;

    virtual bool Focused() const = 0;
    virtual bool CanFocus() const = 0;
    virtual void SetFocus() = 0;

    virtual void Invalidate(const TKroRect& R) = 0;
    virtual void InvalidateAll() = 0;
    // Processes a pending repaint at once.
    virtual void Update() = 0;
    // Moves the pixels inside Area by (Dx, Dy) and invalidates the band left uncovered.
    virtual void ScrollRect(const TKroRect& Area, int Dx, int Dy) = 0;
    virtual void SetRedraw(bool On) = 0;

    // A range whose ends are equal hides the bar.
    virtual void SetScrollRange(TKroScrollBarKind Bar, int Min, int Max, bool Redraw) = 0;
    virtual void SetScrollPos(TKroScrollBarKind Bar, int Pos, bool Redraw) = 0;

    // Queues a message to the window itself; the host hands it back to the control when the
    // event loop next runs.
    virtual void PostMessage(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) = 0;
    // Dispatches pending events now (the drag loop keeps painting and sees the button-up).
    virtual void ProcessMessages() = 0;

    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    virtual bool HasCapture() const = 0;
    // Pointer position in client coordinates.
    virtual TKroPoint PointerPos() const = 0;
    virtual void SetCursor(TKroCursor Cursor) = 0;
    // Live state of the physical primary mouse button (swapped buttons taken into account)
    // and of the modifier keys.
    virtual bool PrimaryButtonDown() const = 0;
    virtual TKroShiftState ShiftState() const = 0;

    // The window's drawing surface outside painting (font metrics); painting gets its own.
    virtual IKroSurface& Canvas() = 0;
    virtual IKroSystemCaret& SystemCaret() = 0;
};

// Plain text on the system clipboard, as bytes of the 8-bit code page with CR LF line ends.
class IKroClipboard {
public:
    virtual ~IKroClipboard() = default;
    virtual bool HasText() = 0;
    virtual std::string GetText() = 0;
    // False when the text could not be placed.
    virtual bool SetText(std::string_view Text) = 0;
};

// The installed font families.
class IKroFontCatalogue {
public:
    virtual ~IKroFontCatalogue() = default;
    // Families reported as fixed pitch, in the platform's order.
    virtual std::vector<std::string> FixedPitchFamilies() = 0;
    // The platform's general monospace font, for when no family is reported as fixed pitch.
    virtual std::string MonospaceFamily() = 0;
};

// Process-wide services.
class IKroPlatform {
public:
    virtual ~IKroPlatform() = default;
    virtual IKroClipboard& Clipboard() = 0;
    virtual IKroFontCatalogue& Fonts() = 0;
    virtual void Beep() = 0;
    // The wait cursor is shown while at least one busy section is open.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
    // Resolves a system colour to plain RGB; plain colours come back unchanged.
    virtual TColor ColorToRGB(TColor Color) = 0;
    // A bitmap shipped with the program ("MARKERS"); empty when there is none.
    virtual TKroBitmap LoadBitmap(std::string_view Name) = 0;
    // The application-level error box.
    virtual void ShowError(const std::string& Message) = 0;
};

// The platform the process runs on; installed once by main() or by a test.
inline IKroPlatform*& KroPlatformSlot() {
    static IKroPlatform* Installed = nullptr;
    return Installed;
}
inline IKroPlatform* KroPlatform() {
    return KroPlatformSlot();
}
inline void KroSetPlatform(IKroPlatform* Platform) {
    KroPlatformSlot() = Platform;
}

// Shows the wait cursor for its lifetime, also when the work inside throws.
class TKroBusyCursor {
public:
    explicit TKroBusyCursor(IKroPlatform* Platform = KroPlatform()) : FPlatform(Platform) {
        if (FPlatform) FPlatform->BeginBusy();
    }
    ~TKroBusyCursor() {
        if (FPlatform) FPlatform->EndBusy();
    }
    TKroBusyCursor(const TKroBusyCursor&) = delete;
    TKroBusyCursor& operator=(const TKroBusyCursor&) = delete;

private:
    IKroPlatform* FPlatform;
};
