// Command codes: the numbers key translation produces and the editor carries out.
#pragma once

#include <cstdint>
#include <string>

// A command code is a 16-bit unsigned number.
using TKroCommand = std::uint16_t;

// The named commands; the code is the position in this list (alphabetical after ccNone).
constexpr TKroCommand ccNone = 0;
constexpr TKroCommand ccBack = 1;
constexpr TKroCommand ccBotOfPage = 2;
constexpr TKroCommand ccBotRightCell = 3;
constexpr TKroCommand ccCompleteDate = 4;
constexpr TKroCommand ccCompleteTime = 5;
constexpr TKroCommand ccCopy = 6;
constexpr TKroCommand ccCtrlChar = 7;
constexpr TKroCommand ccCut = 8;
constexpr TKroCommand ccDec = 9;
constexpr TKroCommand ccDel = 10;
constexpr TKroCommand ccDelBol = 11;
constexpr TKroCommand ccDelEol = 12;
constexpr TKroCommand ccDelLine = 13;
constexpr TKroCommand ccDelWord = 14;
constexpr TKroCommand ccDown = 15;
constexpr TKroCommand ccEnd = 16;
constexpr TKroCommand ccExtendDown = 17;
constexpr TKroCommand ccExtendEnd = 18;
constexpr TKroCommand ccExtendHome = 19;
constexpr TKroCommand ccExtendLeft = 20;
constexpr TKroCommand ccExtendPgDn = 21;
constexpr TKroCommand ccExtendPgUp = 22;
constexpr TKroCommand ccExtendRight = 23;
constexpr TKroCommand ccExtendUp = 24;
constexpr TKroCommand ccExtBotOfPage = 25;
constexpr TKroCommand ccExtFirstPage = 26;
constexpr TKroCommand ccExtLastPage = 27;
constexpr TKroCommand ccExtTopOfPage = 28;
constexpr TKroCommand ccExtWordLeft = 29;
constexpr TKroCommand ccExtWordRight = 30;
constexpr TKroCommand ccFirstPage = 31;
constexpr TKroCommand ccGotoMarker0 = 32;
constexpr TKroCommand ccGotoMarker1 = 33;
constexpr TKroCommand ccGotoMarker2 = 34;
constexpr TKroCommand ccGotoMarker3 = 35;
constexpr TKroCommand ccGotoMarker4 = 36;
constexpr TKroCommand ccGotoMarker5 = 37;
constexpr TKroCommand ccGotoMarker6 = 38;
constexpr TKroCommand ccGotoMarker7 = 39;
constexpr TKroCommand ccGotoMarker8 = 40;
constexpr TKroCommand ccGotoMarker9 = 41;
constexpr TKroCommand ccHome = 42;
constexpr TKroCommand ccInc = 43;
constexpr TKroCommand ccIns = 44;
constexpr TKroCommand ccLastPage = 45;
constexpr TKroCommand ccLeft = 46;
constexpr TKroCommand ccNewLine = 47;
constexpr TKroCommand ccNextPage = 48;
constexpr TKroCommand ccPageLeft = 49;
constexpr TKroCommand ccPageRight = 50;
constexpr TKroCommand ccPaste = 51;
constexpr TKroCommand ccPrevPage = 52;
constexpr TKroCommand ccRedo = 53;
constexpr TKroCommand ccRestore = 54;
constexpr TKroCommand ccRight = 55;
constexpr TKroCommand ccScrollDown = 56;
constexpr TKroCommand ccScrollUp = 57;
constexpr TKroCommand ccSetMarker0 = 58;
constexpr TKroCommand ccSetMarker1 = 59;
constexpr TKroCommand ccSetMarker2 = 60;
constexpr TKroCommand ccSetMarker3 = 61;
constexpr TKroCommand ccSetMarker4 = 62;
constexpr TKroCommand ccSetMarker5 = 63;
constexpr TKroCommand ccSetMarker6 = 64;
constexpr TKroCommand ccSetMarker7 = 65;
constexpr TKroCommand ccSetMarker8 = 66;
constexpr TKroCommand ccSetMarker9 = 67;
constexpr TKroCommand ccTab = 68;
constexpr TKroCommand ccTableEdit = 69;
constexpr TKroCommand ccTopLeftCell = 70;
constexpr TKroCommand ccTopOfPage = 71;
constexpr TKroCommand ccUndo = 72;
constexpr TKroCommand ccUp = 73;
constexpr TKroCommand ccWordLeft = 74;
constexpr TKroCommand ccWordRight = 75;

// Number of named commands (codes 0 .. ccNamedCount - 1).
constexpr int ccNamedCount = 76;

// Insert the character that travels with the command; issued by the character handler only.
constexpr TKroCommand ccChar = 249;
// Results of key translation only; never stored in a table.
constexpr TKroCommand ccNoCommand = 252;
constexpr TKroCommand ccUnknownSequence = 254;
constexpr TKroCommand ccPartial = 255;
// First user command; codes from here on go to the editor's OnUserCommand.
constexpr TKroCommand ccUserFirst = 256;

// The identifier of a named command ("ccDelLine"), or "" for any other code.
const char* CommandName(int Code);

// The code of an identifier (exact spelling), or -1 when it names no command.
int CommandCodeOf(const std::string& Name);
