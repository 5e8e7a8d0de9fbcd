// The Windows-1252 code page: bytes to Unicode and back, and its upper-case mapping. The screen,
// the keyboard, the clipboard and case-insensitive search all use this one table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

// Unicode code points of the bytes 0x80..0x9F. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same number, so that every byte
// survives a round trip.
inline constexpr std::array<char32_t, 32> KroCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t KroCp1252ToUnicode(unsigned char B) {
    return B >= 0x80 && B <= 0x9F ? KroCp1252High[B - 0x80] : char32_t(B);
}

// The byte for a code point, or nothing when the code page has no such character.
constexpr std::optional<unsigned char> KroUnicodeToCp1252(char32_t C) {
    if (C < 0x80 || (C >= 0xA0 && C <= 0xFF)) return static_cast<unsigned char>(C);
    for (unsigned I = 0; I < KroCp1252High.size(); ++I)
        if (KroCp1252High[I] == C) return static_cast<unsigned char>(0x80 + I);
    return std::nullopt;
}

// Upper case as the desktop's Western locale has it: a..z, the accented small letters
// 0xE0..0xFE except the division sign 0xF7, and the four small letters among 0x80..0x9F whose
// capitals are in the code page (š, œ, ž, ÿ). ß and µ have no capital here and stay.
constexpr unsigned char KroCp1252Upper(unsigned char B) {
    if (B >= 'a' && B <= 'z') return static_cast<unsigned char>(B - 0x20);
    if (B >= 0xE0 && B <= 0xFE && B != 0xF7) return static_cast<unsigned char>(B - 0x20);
    switch (B) {
    case 0x9A:
        return 0x8A;
    case 0x9C:
        return 0x8C;
    case 0x9E:
        return 0x8E;
    case 0xFF:
        return 0x9F;
    default:
        return B;
    }
}
