// Windows virtual-key codes and shift-state bits: command tables and their files keep these.
#pragma once

#include <cstdint>

// Shift-state bits of a key, added together (6 = Ctrl+Shift, 0 = no modifier).
constexpr std::uint8_t ssShift = 2;
constexpr std::uint8_t ssCtrl = 4;
constexpr std::uint8_t ssAlt = 8;
// Wildcard, only as the shift state of a second key: matches no modifier or Ctrl alone.
constexpr std::uint8_t ssAnyCtrl = 128;

// The shift-state byte for the modifiers held down.
constexpr std::uint8_t ShiftStateOf(bool Shift, bool Ctrl, bool Alt) {
    return static_cast<std::uint8_t>((Shift ? ssShift : 0) | (Ctrl ? ssCtrl : 0) |
                                     (Alt ? ssAlt : 0));
}

constexpr std::uint8_t vkBack = 0x08;
constexpr std::uint8_t vkTab = 0x09;
constexpr std::uint8_t vkReturn = 0x0D;
constexpr std::uint8_t vkShift = 0x10;
constexpr std::uint8_t vkControl = 0x11;
constexpr std::uint8_t vkMenu = 0x12; // Alt
constexpr std::uint8_t vkPause = 0x13;
constexpr std::uint8_t vkCapital = 0x14; // Caps Lock
constexpr std::uint8_t vkEscape = 0x1B;
constexpr std::uint8_t vkSpace = 0x20;
constexpr std::uint8_t vkPrior = 0x21; // PgUp
constexpr std::uint8_t vkNext = 0x22;  // PgDn
constexpr std::uint8_t vkEnd = 0x23;
constexpr std::uint8_t vkHome = 0x24;
constexpr std::uint8_t vkLeft = 0x25;
constexpr std::uint8_t vkUp = 0x26;
constexpr std::uint8_t vkRight = 0x27;
constexpr std::uint8_t vkDown = 0x28;
constexpr std::uint8_t vkInsert = 0x2D;
constexpr std::uint8_t vkDelete = 0x2E;
constexpr std::uint8_t vk0 = 0x30; // digits 0x30 .. 0x39
constexpr std::uint8_t vkA = 0x41; // letters 0x41 .. 0x5A
constexpr std::uint8_t vkNumpad0 = 0x60;
constexpr std::uint8_t vkF1 = 0x70; // F1 .. F24 follow in order
constexpr std::uint8_t vkF2 = 0x71;
constexpr std::uint8_t vkF5 = 0x74;
constexpr std::uint8_t vkNumLock = 0x90;
constexpr std::uint8_t vkScroll = 0x91; // Scroll Lock

// The virtual key of an upper-case letter or a digit.
constexpr std::uint8_t vkOf(char C) {
    return static_cast<std::uint8_t>(C);
}
