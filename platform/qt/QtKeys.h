// Qt key events as the editor sees keys: Windows virtual-key codes, shift states and the
// characters a key types, in the Windows-1252 code page.
#pragma once

#include "Port.h"

#include <QtGlobal>

#include <cstdint>
#include <optional>
#include <string>

class QKeyEvent;
class QString;

// One key press, translated.
struct TKroKeyStroke {
    // The virtual-key code naming the physical key (0 when it has none).
    std::uint16_t Key = 0;
    // ssShiftKey + ssCtrlKey + ssAltKey held at the moment of the key.
    TKroShiftState Shift = 0;
    // Alt held without Ctrl (or F10): the key goes to the system-key path and types nothing.
    bool System = false;
};

// The virtual key for a Qt key code. Keypad marks a key of the numeric keypad. ScanCode is the
// event's native scan code; when ScanCodeIsXkb is set it is an XKB key code (evdev + 8) and
// names the physical key, which decides the digit row and the punctuation keys whatever the
// layout prints on them. Without it a US layout is assumed for shifted symbols.
std::uint16_t KroVirtualKeyFromQt(int QtKey, bool Keypad, quint32 ScanCode, bool ScanCodeIsXkb);

// Whether the running platform's scan codes are XKB key codes (X11 and Wayland).
bool KroPlatformHasXkbScanCodes();

TKroKeyStroke KroTranslateKeyEvent(const QKeyEvent& Event);

// The characters a key press delivers after its key-down, as Unicode text; keys pressed with
// Alt deliver none, keys pressed with Ctrl only control characters, Delete none.
QString KroKeyEventText(const QKeyEvent& Event, const TKroKeyStroke& Stroke);

// Unicode text to Windows-1252 bytes: each character the code page lacks is reported through
// Refused (when given) and left out.
std::string KroToCp1252(const QString& Text, int* Refused = nullptr);
// Windows-1252 bytes to Unicode text.
QString KroFromCp1252(const char* Text, qsizetype Len);
