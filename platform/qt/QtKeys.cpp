// Translation of Qt key events into virtual-key codes, shift states and code-page characters.
#include "QtKeys.h"

#include "Cp1252.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QString>

namespace {

// Windows virtual-key codes that the editor's own key list does not name.
constexpr std::uint16_t vkClear = 0x0C;
constexpr std::uint16_t vkSnapshot = 0x2C;
constexpr std::uint16_t vkHelp = 0x2F;
constexpr std::uint16_t vkLWin = 0x5B;
constexpr std::uint16_t vkRWin = 0x5C;
constexpr std::uint16_t vkApps = 0x5D;
constexpr std::uint16_t vkMultiply = 0x6A;
constexpr std::uint16_t vkAdd = 0x6B;
constexpr std::uint16_t vkSubtract = 0x6D;
constexpr std::uint16_t vkDecimal = 0x6E;
constexpr std::uint16_t vkDivide = 0x6F;
constexpr std::uint16_t vkF1 = 0x70;
constexpr std::uint16_t vkF10 = 0x79;
constexpr std::uint16_t vkOem1 = 0xBA;      // ; :
constexpr std::uint16_t vkOemPlus = 0xBB;   // = +
constexpr std::uint16_t vkOemComma = 0xBC;  // , <
constexpr std::uint16_t vkOemMinus = 0xBD;  // - _
constexpr std::uint16_t vkOemPeriod = 0xBE; // . >
constexpr std::uint16_t vkOem2 = 0xBF;      // / ?
constexpr std::uint16_t vkOem3 = 0xC0;      // ` ~
constexpr std::uint16_t vkOem4 = 0xDB;      // [ {
constexpr std::uint16_t vkOem5 = 0xDC;      // \ |
constexpr std::uint16_t vkOem6 = 0xDD;      // ] }
constexpr std::uint16_t vkOem7 = 0xDE;      // ' "
constexpr std::uint16_t vkOem102 = 0xE2;    // the extra key of ISO keyboards

std::uint16_t KeypadKey(int QtKey) {
    if (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9) return std::uint16_t(0x60 + (QtKey - Qt::Key_0));
    switch (QtKey) {
    case Qt::Key_Asterisk:
        return vkMultiply;
    case Qt::Key_Plus:
        return vkAdd;
    case Qt::Key_Minus:
        return vkSubtract;
    case Qt::Key_Slash:
        return vkDivide;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return vkDecimal;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        return 0x0D;
    case Qt::Key_Clear:
        return vkClear;
    default:
        return 0;
    }
}

// Keys whose virtual key does not depend on the layout or on Shift.
std::uint16_t NamedKey(int QtKey) {
    if (QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z) return std::uint16_t('A' + (QtKey - Qt::Key_A));
    if (QtKey >= Qt::Key_F1 && QtKey <= Qt::Key_F24)
        return std::uint16_t(vkF1 + (QtKey - Qt::Key_F1));
    switch (QtKey) {
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 0x09;
    case Qt::Key_Clear:
        return vkClear;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Shift:
        return 0x10;
    case Qt::Key_Control:
        return 0x11;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return 0x12;
    case Qt::Key_Pause:
        return 0x13;
    case Qt::Key_CapsLock:
        return 0x14;
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_PageUp:
        return 0x21;
    case Qt::Key_PageDown:
        return 0x22;
    case Qt::Key_End:
        return 0x23;
    case Qt::Key_Home:
        return 0x24;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_Print:
        return vkSnapshot;
    case Qt::Key_Insert:
        return 0x2D;
    case Qt::Key_Delete:
        return 0x2E;
    case Qt::Key_Help:
        return vkHelp;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
        return vkLWin;
    case Qt::Key_Super_R:
        return vkRWin;
    case Qt::Key_Menu:
        return vkApps;
    case Qt::Key_NumLock:
        return 0x90;
    case Qt::Key_ScrollLock:
        return 0x91;
    default:
        return 0;
    }
}

// The keys of a US keyboard by XKB key code (evdev code + 8): the digit row, the punctuation
// keys and, last resort for layouts without Latin letters, the letters.
std::uint16_t PhysicalKey(quint32 Xkb) {
    if (Xkb < 8) return 0;
    const quint32 Ev = Xkb - 8;
    if (Ev >= 2 && Ev <= 10) return std::uint16_t('1' + (Ev - 2));
    static const char Row1[] = "QWERTYUIOP"; // evdev 16..25
    static const char Row2[] = "ASDFGHJKL";  // evdev 30..38
    static const char Row3[] = "ZXCVBNM";    // evdev 44..50
    if (Ev >= 16 && Ev <= 25) return std::uint16_t(Row1[Ev - 16]);
    if (Ev >= 30 && Ev <= 38) return std::uint16_t(Row2[Ev - 30]);
    if (Ev >= 44 && Ev <= 50) return std::uint16_t(Row3[Ev - 44]);
    switch (Ev) {
    case 11:
        return '0';
    case 12:
        return vkOemMinus;
    case 13:
        return vkOemPlus;
    case 26:
        return vkOem4;
    case 27:
        return vkOem6;
    case 39:
        return vkOem1;
    case 40:
        return vkOem7;
    case 41:
        return vkOem3;
    case 43:
        return vkOem5;
    case 51:
        return vkOemComma;
    case 52:
        return vkOemPeriod;
    case 53:
        return vkOem2;
    case 86:
        return vkOem102;
    default:
        return 0;
    }
}

bool IsLetter(std::uint16_t Vk) {
    return Vk >= 'A' && Vk <= 'Z';
}

// The key a symbol is printed on in the US layout, shifted or not.
std::uint16_t UsSymbolKey(int QtKey) {
    if (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9) return std::uint16_t('0' + (QtKey - Qt::Key_0));
    switch (QtKey) {
    case Qt::Key_Exclam:
        return '1';
    case Qt::Key_At:
        return '2';
    case Qt::Key_NumberSign:
        return '3';
    case Qt::Key_Dollar:
        return '4';
    case Qt::Key_Percent:
        return '5';
    case Qt::Key_AsciiCircum:
        return '6';
    case Qt::Key_Ampersand:
        return '7';
    case Qt::Key_Asterisk:
        return '8';
    case Qt::Key_ParenLeft:
        return '9';
    case Qt::Key_ParenRight:
        return '0';
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return vkOemMinus;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return vkOemPlus;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return vkOem4;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return vkOem6;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
        return vkOem5;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return vkOem1;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return vkOem7;
    case Qt::Key_Comma:
    case Qt::Key_Less:
        return vkOemComma;
    case Qt::Key_Period:
    case Qt::Key_Greater:
        return vkOemPeriod;
    case Qt::Key_Slash:
    case Qt::Key_Question:
        return vkOem2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return vkOem3;
    default:
        return 0;
    }
}

} // namespace

std::uint16_t KroVirtualKeyFromQt(int QtKey, bool Keypad, quint32 ScanCode, bool ScanCodeIsXkb) {
    if (Keypad) {
        if (std::uint16_t Vk = KeypadKey(QtKey)) return Vk;
        // Num Lock off: the keypad's navigation keys are the ordinary ones.
        return NamedKey(QtKey);
    }
    if (std::uint16_t Vk = NamedKey(QtKey)) return Vk;
    // What remains depends on the layout or on Shift: the physical key decides, as Windows
    // has it (Ctrl+Shift+3 is the key 3 although Qt reports '#').
    const std::uint16_t Physical = ScanCodeIsXkb ? PhysicalKey(ScanCode) : 0;
    if (Physical && !IsLetter(Physical)) return Physical;
    if (std::uint16_t Vk = UsSymbolKey(QtKey)) return Vk;
    return Physical;
}

bool KroPlatformHasXkbScanCodes() {
    const QString Name = QGuiApplication::platformName();
    return Name == QLatin1String("xcb") || Name.startsWith(QLatin1String("wayland"));
}

TKroKeyStroke KroTranslateKeyEvent(const QKeyEvent& Event) {
    TKroKeyStroke S;
    const Qt::KeyboardModifiers M = Event.modifiers();
    S.Shift = TKroShiftState(((M & Qt::ShiftModifier) ? ssShiftKey : 0) |
                             ((M & Qt::ControlModifier) ? ssCtrlKey : 0) |
                             ((M & Qt::AltModifier) ? ssAltKey : 0));
    S.Key = KroVirtualKeyFromQt(Event.key(), (M & Qt::KeypadModifier) != 0, Event.nativeScanCode(),
                                KroPlatformHasXkbScanCodes());
    S.System = ((S.Shift & ssAltKey) && !(S.Shift & ssCtrlKey)) || S.Key == vkF10;
    return S;
}

QString KroKeyEventText(const QKeyEvent& Event, const TKroKeyStroke& Stroke) {
    if (Stroke.System || Event.key() == Qt::Key_Delete) return {};
    QString Text = Event.text();
    if (Text.isEmpty()) return Text;
    if ((Stroke.Shift & ssCtrlKey) && !(Stroke.Shift & ssAltKey)) {
        // With Ctrl a key types only control characters (Ctrl+A is 1); Ctrl+Space is a blank.
        if (Event.key() == Qt::Key_Space) return QStringLiteral(" ");
        for (QChar C : Text)
            if (C.unicode() >= 32) return {};
    }
    // Delete (127) is never typed; the key-down path handles it.
    Text.remove(QChar(0x7F));
    return Text;
}

std::string KroToCp1252(const QString& Text, int* Refused) {
    std::string Out;
    Out.reserve(std::size_t(Text.size()));
    int Bad = 0;
    for (char32_t C : Text.toUcs4()) {
        if (auto B = KroUnicodeToCp1252(C))
            Out.push_back(char(*B));
        else
            ++Bad;
    }
    if (Refused) *Refused = Bad;
    return Out;
}

QString KroFromCp1252(const char* Text, qsizetype Len) {
    QString Out;
    Out.resize(Len);
    QChar* D = Out.data();
    for (qsizetype I = 0; I < Len; ++I)
        D[I] = QChar(char16_t(KroCp1252ToUnicode(static_cast<unsigned char>(Text[I]))));
    return Out;
}
