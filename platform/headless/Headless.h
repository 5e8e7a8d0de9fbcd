// A recording implementation of the portability interfaces for tests: every call is logged and
// the answers (sizes, focus, clipboard, fonts, metrics, key and button state) are scripted.
#pragma once

#include "Port.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// One drawing operation as it reached the surface.
struct TKroDrawCall {
    enum TKind { dkSelectFont, dkTextRect, dkFillRect, dkCopyBitmap };
    TKind Kind = dkFillRect;
    TKroRect Rect;        // clip rectangle, filled rectangle or copied source part
    TKroPoint At;         // text origin or bitmap destination
    std::string Text;     // the bytes drawn
    TColor TextColor = 0; // text colour
    TColor BackColor = 0; // background or fill colour
    TKroFontData Font;    // the font selected (dkSelectFont) or in use (dkTextRect)
    int BitmapWidth = 0;  // size of the copied bitmap (dkCopyBitmap)
    int BitmapHeight = 0;
};

class TKroHeadlessSurface : public IKroSurface {
public:
    // Scripted: metrics by font name, else Metrics.
    TKroTextMetrics Metrics{8, 16, 0};
    std::map<std::string, TKroTextMetrics> MetricsByName;
    TColor GrayText = KroRGB(128, 128, 128);

    // Recorded.
    std::vector<TKroDrawCall> Draws;
    std::vector<std::string> Calls;
    TKroFontData Font;

    void ClearLog();

    void SelectFont(const TKroFontData& Font) override;
    TKroTextMetrics TextMetrics() override;
    void TextRectOpaque(const TKroRect& Clip, int X, int Y, std::string_view Text, TColor TextColor,
                        TColor BackColor) override;
    void FillRect(const TKroRect& R, TColor Color) override;
    void CopyBitmap(const TKroBitmap& Bitmap, const TKroRect& Source,
                    const TKroPoint& Dest) override;
    TColor GrayTextColor() override;
};

class TKroHeadlessCaret : public IKroSystemCaret {
public:
    // Scripted: the blink period the desktop starts with.
    unsigned BlinkTime = 530;

    // Recorded state of the caret and the calls that led to it.
    bool Exists = false;
    bool Visible = false;
    bool Gray = false;
    bool FromBitmap = false;
    int Width = 0;
    int Height = 0;
    TKroBitmap Bitmap;
    TKroPoint Pos;
    int CreateCount = 0;
    int DestroyCount = 0;
    std::vector<std::string> Calls;

    void ClearLog() { Calls.clear(); }

    void Create(int Width, int Height, bool Gray) override;
    void CreateFromBitmap(const TKroBitmap& Bitmap) override;
    void Show() override;
    void Hide() override;
    void SetPos(int X, int Y) override;
    void Destroy() override;
    unsigned GetBlinkTime() override;
    void SetBlinkTime(unsigned Milliseconds) override;
};

struct TKroPostedMessage {
    std::uint32_t Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
};

struct TKroScrollBarState {
    int Min = 0;
    int Max = 0;
    int Pos = 0;
    bool Visible() const { return Min != Max; }
};

struct TKroScrollCall {
    TKroRect Area;
    int Dx = 0;
    int Dy = 0;
};

class TKroHeadlessWindow : public IKroWindow {
public:
    // Scripted answers.
    bool Allocated = true;
    int Width = 640;
    int Height = 480;
    bool HasFocus = false;
    bool Focusable = true;
    TKroPoint Pointer;
    bool ButtonDown = false;
    TKroShiftState Shift = 0;

    // Hooks a test or a simulated host sets: delivery of posted messages, the body of
    // ProcessMessages (e.g. release the button after some passes), focus taken, repaint now.
    std::function<void(const TKroPostedMessage&)> OnPostedMessage;
    std::function<void()> OnProcessMessages;
    std::function<void()> OnSetFocus;
    std::function<void()> OnUpdate;

    // Recorded.
    std::vector<std::string> Calls;
    std::vector<TKroRect> Invalidated;
    int InvalidateAllCount = 0;
    int UpdateCount = 0;
    int ProcessMessagesCount = 0;
    std::vector<TKroScrollCall> Scrolls;
    bool RedrawOn = true;
    TKroScrollBarState HorzBar;
    TKroScrollBarState VertBar;
    bool StyleHScroll = false;
    bool StyleVScroll = false;
    bool StyleBorder = false;
    std::deque<TKroPostedMessage> Posted;
    bool Captured = false;
    TKroCursor Cursor = TKroCursor::crDefault;

    TKroHeadlessSurface Surface;
    TKroHeadlessCaret Caret;

    // Clears the recorded calls and counters (not the state).
    void ClearLog();
    // Hands every queued message (also those queued meanwhile) to OnPostedMessage, in order;
    // returns how many were delivered. Without a handler the messages are dropped.
    int DeliverPosted();

    bool HandleAllocated() const override { return Allocated; }
    void SetStyle(bool HScroll, bool VScroll, bool Border) override;
    int ClientWidth() const override { return Width; }
    int ClientHeight() const override { return Height; }
    bool Focused() const override { return HasFocus; }
    bool CanFocus() const override { return Focusable; }
    void SetFocus() override;
    void Invalidate(const TKroRect& R) override;
    void InvalidateAll() override;
    void Update() override;
    void ScrollRect(const TKroRect& Area, int Dx, int Dy) override;
    void SetRedraw(bool On) override;
    void SetScrollRange(TKroScrollBarKind Bar, int Min, int Max, bool Redraw) override;
    void SetScrollPos(TKroScrollBarKind Bar, int Pos, bool Redraw) override;
    void PostMessage(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) override;
    void ProcessMessages() override;
    void SetCapture() override;
    void ReleaseCapture() override;
    bool HasCapture() const override { return Captured; }
    TKroPoint PointerPos() const override { return Pointer; }
    void SetCursor(TKroCursor Cursor) override;
    bool PrimaryButtonDown() const override { return ButtonDown; }
    TKroShiftState ShiftState() const override { return Shift; }
    IKroSurface& Canvas() override { return Surface; }
    IKroSystemCaret& SystemCaret() override { return Caret; }
};

class TKroHeadlessClipboard : public IKroClipboard {
public:
    // Scripted: the content (none when empty optional) and whether placing text fails.
    std::optional<std::string> Text;
    bool FailSetText = false;
    std::vector<std::string> Calls;

    bool HasText() override;
    std::string GetText() override;
    bool SetText(std::string_view Text) override;
};

class TKroHeadlessFonts : public IKroFontCatalogue {
public:
    // Scripted.
    std::vector<std::string> FixedFamilies{"Courier New", "Fixedsys", "Lucida Console"};
    std::string Monospace = "Monospace";
    int EnumerationCount = 0;

    std::vector<std::string> FixedPitchFamilies() override;
    std::string MonospaceFamily() override { return Monospace; }
};

class TKroHeadlessPlatform : public IKroPlatform {
public:
    TKroHeadlessClipboard ClipboardImpl;
    TKroHeadlessFonts FontsImpl;
    // Scripted: system colours by index (clWindow, clHighlight, ...) and bitmaps by name.
    std::map<int, TColor> SystemColors;
    std::map<std::string, TKroBitmap, std::less<>> Bitmaps;

    // Recorded.
    std::vector<std::string> Calls;
    int BeepCount = 0;
    int BusyDepth = 0;
    // Every change of the shown cursor between normal and wait, in order (true = wait).
    std::vector<bool> BusyChanges;
    std::vector<std::string> Errors;

    TKroHeadlessPlatform();

    IKroClipboard& Clipboard() override { return ClipboardImpl; }
    IKroFontCatalogue& Fonts() override { return FontsImpl; }
    void Beep() override;
    void BeginBusy() override;
    void EndBusy() override;
    TColor ColorToRGB(TColor Color) override;
    TKroBitmap LoadBitmap(std::string_view Name) override;
    void ShowError(const std::string& Message) override;
};

// Installs a platform for the lifetime of a test and puts the previous one back.
class TKroPlatformScope {
public:
    explicit TKroPlatformScope(IKroPlatform& Platform) : FPrevious(KroPlatform()) {
        KroSetPlatform(&Platform);
    }
    ~TKroPlatformScope() { KroSetPlatform(FPrevious); }
    TKroPlatformScope(const TKroPlatformScope&) = delete;
    TKroPlatformScope& operator=(const TKroPlatformScope&) = delete;

private:
    IKroPlatform* FPrevious;
};

// A marker glyph strip of the usual layout: ten glyphs of GlyphWidth x Height side by side.
TKroBitmap KroHeadlessGlyphStrip(int GlyphWidth = 12, int Height = 12);
