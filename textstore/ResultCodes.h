// Result codes of the text store and the clipboard, and the message shown for each.
#pragma once

#include <cstdint>
#include <new>
#include <string>

using TResultCode = std::uint16_t;

constexpr TResultCode erOK = 0;
constexpr TResultCode erOutOfMemory = 263;
constexpr TResultCode erRegionTooLarge = 264;
constexpr TResultCode erTooManyParas = 265;
constexpr TResultCode erCannotJoin = 266;
constexpr TResultCode erTextTooLarge = 267;
constexpr TResultCode erParaTooLong = 268;

// The user-visible text for a non-zero result code; "Unknown Error condition" for any other.
std::string ResultCodeMessage(int Code);

// Raised when a paragraph's buffer or line table cannot be allocated.
class EOutOfMemory : public std::bad_alloc {
public:
    const char* what() const noexcept override {
        return "insufficient memory for requested operation";
    }
};
