// The built-in command tables "Default", "WordStar" and "Grid" as constant data.
#include "CommandTable.h"
#include "VirtualKeys.h"

#include <array>

namespace {
constexpr std::uint8_t N = 0;                 // no modifier
constexpr std::uint8_t S = ssShift;           // Shift
constexpr std::uint8_t C = ssCtrl;            // Ctrl
constexpr std::uint8_t CS = ssCtrl | ssShift; // Ctrl+Shift
constexpr std::uint8_t A = ssAlt;             // Alt

constexpr TKroCommandEntry K(std::uint8_t Key, std::uint8_t Shift, TKroCommand Command) {
    return {Key, Shift, 0, 0, Command};
}
// Prefix key with Ctrl, then Key2 with or without Ctrl.
constexpr TKroCommandEntry K2(char Prefix, std::uint8_t Key2, TKroCommand Command) {
    return {vkOf(Prefix), C, Key2, ssAnyCtrl, Command};
}

template <std::size_t Head>
constexpr std::array<TKroCommandEntry, Head + 20>
WithMarkers(const std::array<TKroCommandEntry, Head>& First, TKroCommandEntry (*Goto)(int),
            TKroCommandEntry (*Set)(int)) {
    std::array<TKroCommandEntry, Head + 20> Result{};
    for (std::size_t I = 0; I < Head; ++I)
        Result[I] = First[I];
    for (int D = 0; D < 10; ++D) {
        Result[Head + static_cast<std::size_t>(D)] = Goto(D);
        Result[Head + 10 + static_cast<std::size_t>(D)] = Set(D);
    }
    return Result;
}

constexpr std::uint8_t Digit(int D) {
    return static_cast<std::uint8_t>(vk0 + D);
}

constexpr std::array<TKroCommandEntry, 44> DefaultHead = {{
    K(vkLeft, N, ccLeft),
    K(vkRight, N, ccRight),
    K(vkLeft, C, ccWordLeft),
    K(vkRight, C, ccWordRight),
    K(vkHome, N, ccHome),
    K(vkEnd, N, ccEnd),
    K(vkDelete, N, ccDel),
    K(vkBack, N, ccBack),
    K(vkBack, S, ccBack),
    K(vkPrior, C, ccTopOfPage),
    K(vkNext, C, ccBotOfPage),
    K(vkInsert, N, ccIns),
    K(vkOf('Z'), C, ccUndo),
    K(vkBack, A, ccRestore),
    K(vkUp, N, ccUp),
    K(vkDown, N, ccDown),
    K(vkReturn, C, ccNewLine),
    K(vkLeft, S, ccExtendLeft),
    K(vkRight, S, ccExtendRight),
    K(vkHome, S, ccExtendHome),
    K(vkEnd, S, ccExtendEnd),
    K(vkLeft, CS, ccExtWordLeft),
    K(vkRight, CS, ccExtWordRight),
    K(vkPrior, S, ccExtendPgUp),
    K(vkNext, S, ccExtendPgDn),
    K(vkUp, S, ccExtendUp),
    K(vkDown, S, ccExtendDown),
    K(vkHome, CS, ccExtFirstPage),
    K(vkEnd, CS, ccExtLastPage),
    K(vkPrior, CS, ccExtTopOfPage),
    K(vkNext, CS, ccExtBotOfPage),
    K(vkDelete, S, ccCut),
    K(vkOf('X'), C, ccCut),
    K(vkInsert, C, ccCopy),
    K(vkOf('C'), C, ccCopy),
    K(vkInsert, S, ccPaste),
    K(vkOf('V'), C, ccPaste),
    K(vkPrior, N, ccPrevPage),
    K(vkNext, N, ccNextPage),
    K(vkHome, C, ccFirstPage),
    K(vkEnd, C, ccLastPage),
    K(vkTab, N, ccTab),
    K(vkTab, C, ccTab),
    K(vkOf('Z'), CS, ccRedo),
}};

constexpr std::array<TKroCommandEntry, 64> DefaultTable = WithMarkers(
    DefaultHead, [](int D) { return K(Digit(D), C, static_cast<TKroCommand>(ccGotoMarker0 + D)); },
    [](int D) { return K(Digit(D), CS, static_cast<TKroCommand>(ccSetMarker0 + D)); });

constexpr std::array<TKroCommandEntry, 20> WordStarHead = {{
    K(vkOf('S'), C, ccLeft),      K(vkOf('D'), C, ccRight),      K(vkOf('E'), C, ccUp),
    K(vkOf('X'), C, ccDown),      K(vkOf('R'), C, ccPrevPage),   K(vkOf('C'), C, ccNextPage),
    K(vkOf('W'), C, ccScrollUp),  K(vkOf('Z'), C, ccScrollDown), K(vkOf('A'), C, ccWordLeft),
    K(vkOf('F'), C, ccWordRight), K2('Q', vkOf('S'), ccHome),    K2('Q', vkOf('D'), ccEnd),
    K(vkOf('G'), C, ccDel),       K(vkOf('H'), C, ccBack),       K(vkOf('Y'), C, ccDelLine),
    K2('Q', vkOf('Y'), ccDelEol), K(vkOf('V'), C, ccIns),        K(vkOf('T'), C, ccDelWord),
    K(vkOf('P'), C, ccCtrlChar),  K2('Q', vkOf('L'), ccRestore),
}};

constexpr std::array<TKroCommandEntry, 40> WordStarTable = WithMarkers(
    WordStarHead,
    [](int D) { return K2('Q', Digit(D), static_cast<TKroCommand>(ccGotoMarker0 + D)); },
    [](int D) { return K2('K', Digit(D), static_cast<TKroCommand>(ccSetMarker0 + D)); });

constexpr std::array<TKroCommandEntry, 38> GridTable = {{
    K(vkLeft, N, ccLeft),
    K(vkRight, N, ccRight),
    K(vkLeft, C, ccPageLeft),
    K(vkRight, C, ccPageRight),
    K(vkHome, N, ccHome),
    K(vkEnd, N, ccEnd),
    K(vkDelete, N, ccDel),
    K(vkBack, N, ccBack),
    K(vkNext, C, ccBotOfPage),
    K(vkPrior, C, ccTopOfPage),
    K(vkInsert, N, ccIns),
    K(vkOf('Z'), C, ccRestore),
    K(vkUp, N, ccUp),
    K(vkDown, N, ccDown),
    K(vkLeft, S, ccExtendLeft),
    K(vkRight, S, ccExtendRight),
    K(vkHome, S, ccExtendHome),
    K(vkEnd, S, ccExtendEnd),
    K(vkLeft, CS, ccExtWordLeft),
    K(vkRight, CS, ccExtWordRight),
    K(vkPrior, S, ccExtendPgUp),
    K(vkNext, S, ccExtendPgDn),
    K(vkUp, S, ccExtendUp),
    K(vkDown, S, ccExtendDown),
    K(vkHome, CS, ccExtFirstPage),
    K(vkEnd, CS, ccExtLastPage),
    K(vkPrior, CS, ccExtTopOfPage),
    K(vkNext, CS, ccExtBotOfPage),
    K(vkOf('X'), C, ccCut),
    K(vkOf('C'), C, ccCopy),
    K(vkOf('V'), C, ccPaste),
    K(vkPrior, N, ccPrevPage),
    K(vkHome, C, ccFirstPage),
    K(vkNext, N, ccNextPage),
    K(vkEnd, C, ccLastPage),
    K(vkUp, C, ccTopLeftCell),
    K(vkDown, C, ccBotRightCell),
    K(vkF2, N, ccTableEdit),
}};

} // namespace

std::span<const TKroCommandEntry> DefaultCommands() {
    return DefaultTable;
}
std::span<const TKroCommandEntry> WordStarCommands() {
    return WordStarTable;
}
std::span<const TKroCommandEntry> GridCommands() {
    return GridTable;
}

std::span<const TKroCommandEntry> BuiltinCommands(const std::string& Name) {
    if (SameTableName(Name, "Default")) return DefaultTable;
    if (SameTableName(Name, "WordStar")) return WordStarTable;
    if (SameTableName(Name, "Grid")) return GridTable;
    return {};
}
