// The recording implementation of the portability interfaces used by the tests.
#include "Headless.h"

#include <string>

namespace {

std::string RectText(const TKroRect& R) {
    return std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Right) +
           "," + std::to_string(R.Bottom);
}

const char* BarName(TKroScrollBarKind Bar) {
    return Bar == TKroScrollBarKind::sbHorizontal ? "H" : "V";
}

const char* CursorName(TKroCursor C) {
    switch (C) {
    case TKroCursor::crDefault:
        return "Default";
    case TKroCursor::crArrow:
        return "Arrow";
    case TKroCursor::crIBeam:
        return "IBeam";
    case TKroCursor::crHourGlass:
        return "HourGlass";
    case TKroCursor::crMargin:
        return "Margin";
    }
    return "?";
}

} // namespace

// ---- surface

void TKroHeadlessSurface::ClearLog() {
    Draws.clear();
    Calls.clear();
}

void TKroHeadlessSurface::SelectFont(const TKroFontData& F) {
    Font = F;
    TKroDrawCall D;
    D.Kind = TKroDrawCall::dkSelectFont;
    D.Font = F;
    Draws.push_back(D);
    Calls.push_back("SelectFont(" + F.Name + "," + std::to_string(F.Size) + ")");
}

TKroTextMetrics TKroHeadlessSurface::TextMetrics() {
    Calls.push_back("TextMetrics");
    auto It = MetricsByName.find(Font.Name);
    return It != MetricsByName.end() ? It->second : Metrics;
}

void TKroHeadlessSurface::TextRectOpaque(const TKroRect& Clip, int X, int Y, std::string_view Text,
                                         TColor TextColor, TColor BackColor) {
    TKroDrawCall D;
    D.Kind = TKroDrawCall::dkTextRect;
    D.Rect = Clip;
    D.At = {X, Y};
    D.Text = std::string(Text);
    D.TextColor = TextColor;
    D.BackColor = BackColor;
    D.Font = Font;
    Draws.push_back(D);
    Calls.push_back("TextRect(" + RectText(Clip) + "," + std::to_string(X) + "," +
                    std::to_string(Y) + ",\"" + D.Text + "\")");
}

void TKroHeadlessSurface::FillRect(const TKroRect& R, TColor Color) {
    TKroDrawCall D;
    D.Kind = TKroDrawCall::dkFillRect;
    D.Rect = R;
    D.BackColor = Color;
    Draws.push_back(D);
    Calls.push_back("FillRect(" + RectText(R) + ")");
}

void TKroHeadlessSurface::CopyBitmap(const TKroBitmap& Bitmap, const TKroRect& Source,
                                     const TKroPoint& Dest) {
    TKroDrawCall D;
    D.Kind = TKroDrawCall::dkCopyBitmap;
    D.Rect = Source;
    D.At = Dest;
    D.BitmapWidth = Bitmap.Width;
    D.BitmapHeight = Bitmap.Height;
    Draws.push_back(D);
    Calls.push_back("CopyBitmap(" + RectText(Source) + "," + std::to_string(Dest.X) + "," +
                    std::to_string(Dest.Y) + ")");
}

TColor TKroHeadlessSurface::GrayTextColor() {
    return GrayText;
}

// ---- caret

void TKroHeadlessCaret::Create(int W, int H, bool G) {
    // Like the desktop's caret, a new one replaces an existing one, hidden.
    Exists = true;
    Visible = false;
    FromBitmap = false;
    Bitmap = {};
    Width = W;
    Height = H;
    Gray = G;
    ++CreateCount;
    Calls.push_back("Create(" + std::to_string(W) + "," + std::to_string(H) + "," +
                    (G ? "gray" : "solid") + ")");
}

void TKroHeadlessCaret::CreateFromBitmap(const TKroBitmap& B) {
    Exists = true;
    Visible = false;
    FromBitmap = true;
    Bitmap = B;
    Width = B.Width;
    Height = B.Height;
    Gray = false;
    ++CreateCount;
    Calls.push_back("CreateFromBitmap(" + std::to_string(B.Width) + "," + std::to_string(B.Height) +
                    ")");
}

void TKroHeadlessCaret::Show() {
    if (Exists) Visible = true;
    Calls.push_back("Show");
}

void TKroHeadlessCaret::Hide() {
    Visible = false;
    Calls.push_back("Hide");
}

void TKroHeadlessCaret::SetPos(int X, int Y) {
    Pos = {X, Y};
    Calls.push_back("SetPos(" + std::to_string(X) + "," + std::to_string(Y) + ")");
}

void TKroHeadlessCaret::Destroy() {
    if (Exists) ++DestroyCount;
    Exists = false;
    Visible = false;
    Calls.push_back("Destroy");
}

unsigned TKroHeadlessCaret::GetBlinkTime() {
    Calls.push_back("GetBlinkTime");
    return BlinkTime;
}

void TKroHeadlessCaret::SetBlinkTime(unsigned Milliseconds) {
    BlinkTime = Milliseconds;
    Calls.push_back("SetBlinkTime(" + std::to_string(Milliseconds) + ")");
}

// ---- window

void TKroHeadlessWindow::ClearLog() {
    Calls.clear();
    Invalidated.clear();
    InvalidateAllCount = 0;
    UpdateCount = 0;
    ProcessMessagesCount = 0;
    Scrolls.clear();
    Surface.ClearLog();
    Caret.ClearLog();
}

int TKroHeadlessWindow::DeliverPosted() {
    int Count = 0;
    while (!Posted.empty()) {
        TKroPostedMessage M = Posted.front();
        Posted.pop_front();
        ++Count;
        if (OnPostedMessage) OnPostedMessage(M);
    }
    return Count;
}

void TKroHeadlessWindow::SetStyle(bool HScroll, bool VScroll, bool Border) {
    StyleHScroll = HScroll;
    StyleVScroll = VScroll;
    StyleBorder = Border;
    Calls.push_back(std::string("SetStyle(") + (HScroll ? "H" : "-") + (VScroll ? "V" : "-") +
                    (Border ? "B" : "-") + ")");
}

void TKroHeadlessWindow::SetFocus() {
    Calls.push_back("SetFocus");
    if (HasFocus || !Focusable) return;
    HasFocus = true;
    if (OnSetFocus) OnSetFocus();
}

void TKroHeadlessWindow::Invalidate(const TKroRect& R) {
    Invalidated.push_back(R);
    Calls.push_back("Invalidate(" + RectText(R) + ")");
}

void TKroHeadlessWindow::InvalidateAll() {
    ++InvalidateAllCount;
    Calls.push_back("InvalidateAll");
}

void TKroHeadlessWindow::Update() {
    ++UpdateCount;
    Calls.push_back("Update");
    if (OnUpdate) OnUpdate();
}

void TKroHeadlessWindow::ScrollRect(const TKroRect& Area, int Dx, int Dy) {
    Scrolls.push_back({Area, Dx, Dy});
    Calls.push_back("ScrollRect(" + RectText(Area) + "," + std::to_string(Dx) + "," +
                    std::to_string(Dy) + ")");
}

void TKroHeadlessWindow::SetRedraw(bool On) {
    RedrawOn = On;
    Calls.push_back(std::string("SetRedraw(") + (On ? "1" : "0") + ")");
}

void TKroHeadlessWindow::SetScrollRange(TKroScrollBarKind Bar, int Min, int Max, bool Redraw) {
    TKroScrollBarState& S = Bar == TKroScrollBarKind::sbHorizontal ? HorzBar : VertBar;
    S.Min = Min;
    S.Max = Max;
    Calls.push_back(std::string("SetScrollRange(") + BarName(Bar) + "," + std::to_string(Min) +
                    "," + std::to_string(Max) + "," + (Redraw ? "1" : "0") + ")");
}

void TKroHeadlessWindow::SetScrollPos(TKroScrollBarKind Bar, int Pos, bool Redraw) {
    TKroScrollBarState& S = Bar == TKroScrollBarKind::sbHorizontal ? HorzBar : VertBar;
    S.Pos = Pos;
    Calls.push_back(std::string("SetScrollPos(") + BarName(Bar) + "," + std::to_string(Pos) + "," +
                    (Redraw ? "1" : "0") + ")");
}

void TKroHeadlessWindow::PostMessage(std::uint32_t Msg, std::uintptr_t WParam,
                                     std::intptr_t LParam) {
    Posted.push_back({Msg, WParam, LParam});
    Calls.push_back("PostMessage(" + std::to_string(Msg) + "," + std::to_string(WParam) + "," +
                    std::to_string(LParam) + ")");
}

void TKroHeadlessWindow::ProcessMessages() {
    ++ProcessMessagesCount;
    Calls.push_back("ProcessMessages");
    if (OnProcessMessages) OnProcessMessages();
    DeliverPosted();
}

void TKroHeadlessWindow::SetCapture() {
    Captured = true;
    Calls.push_back("SetCapture");
}

void TKroHeadlessWindow::ReleaseCapture() {
    Captured = false;
    Calls.push_back("ReleaseCapture");
}

void TKroHeadlessWindow::SetCursor(TKroCursor C) {
    Cursor = C;
    Calls.push_back(std::string("SetCursor(") + CursorName(C) + ")");
}

// ---- clipboard and fonts

bool TKroHeadlessClipboard::HasText() {
    Calls.push_back("HasText");
    return Text.has_value();
}

std::string TKroHeadlessClipboard::GetText() {
    Calls.push_back("GetText");
    return Text.value_or(std::string());
}

bool TKroHeadlessClipboard::SetText(std::string_view T) {
    Calls.push_back("SetText(" + std::to_string(T.size()) + ")");
    if (FailSetText) return false;
    Text = std::string(T);
    return true;
}

std::vector<std::string> TKroHeadlessFonts::FixedPitchFamilies() {
    ++EnumerationCount;
    return FixedFamilies;
}

// ---- platform

TKroHeadlessPlatform::TKroHeadlessPlatform() {
    // The classic desktop palette.
    SystemColors = {
        {KroSystemColorIndex(clScrollBar), KroRGB(192, 192, 192)},
        {KroSystemColorIndex(clBackground), KroRGB(0, 128, 128)},
        {KroSystemColorIndex(clWindow), KroRGB(255, 255, 255)},
        {KroSystemColorIndex(clWindowFrame), KroRGB(0, 0, 0)},
        {KroSystemColorIndex(clMenuText), KroRGB(0, 0, 0)},
        {KroSystemColorIndex(clWindowText), KroRGB(0, 0, 0)},
        {KroSystemColorIndex(clHighlight), KroRGB(0, 0, 128)},
        {KroSystemColorIndex(clHighlightText), KroRGB(255, 255, 255)},
        {KroSystemColorIndex(clBtnFace), KroRGB(192, 192, 192)},
        {KroSystemColorIndex(clBtnShadow), KroRGB(128, 128, 128)},
        {KroSystemColorIndex(clGrayText), KroRGB(128, 128, 128)},
        {KroSystemColorIndex(clBtnText), KroRGB(0, 0, 0)},
        {KroSystemColorIndex(clBtnHighlight), KroRGB(255, 255, 255)},
    };
}

void TKroHeadlessPlatform::Beep() {
    ++BeepCount;
    Calls.push_back("Beep");
}

void TKroHeadlessPlatform::BeginBusy() {
    Calls.push_back("BeginBusy");
    if (BusyDepth++ == 0) BusyChanges.push_back(true);
}

void TKroHeadlessPlatform::EndBusy() {
    Calls.push_back("EndBusy");
    if (BusyDepth > 0 && --BusyDepth == 0) BusyChanges.push_back(false);
}

TColor TKroHeadlessPlatform::ColorToRGB(TColor Color) {
    if (!KroIsSystemColor(Color)) return Color;
    auto It = SystemColors.find(KroSystemColorIndex(Color));
    return It != SystemColors.end() ? It->second : clBlack;
}

TKroBitmap TKroHeadlessPlatform::LoadBitmap(std::string_view Name) {
    Calls.push_back("LoadBitmap(" + std::string(Name) + ")");
    auto It = Bitmaps.find(Name);
    return It != Bitmaps.end() ? It->second : TKroBitmap{};
}

void TKroHeadlessPlatform::ShowError(const std::string& Message) {
    Calls.push_back("ShowError");
    Errors.push_back(Message);
}

TKroBitmap KroHeadlessGlyphStrip(int GlyphWidth, int Height) {
    TKroBitmap B;
    B.Width = GlyphWidth * 10;
    B.Height = Height;
    B.Pixels.assign(std::size_t(B.Width) * std::size_t(Height), clSilver);
    // Each glyph gets its own colour in its top-left pixel so a copy shows which one it was.
    for (int N = 0; N < 10; ++N)
        B.Pixels[std::size_t(N * GlyphWidth)] = KroRGB(std::uint8_t(N), 0, 0);
    return B;
}
