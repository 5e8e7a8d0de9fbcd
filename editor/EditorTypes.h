// Value types, enumerations, message numbers and event signatures of the editor control.
#pragma once

#include "Port.h"

#include <cstdint>
#include <functional>

class TKroCustomEditor;

enum TBorderStyle { bsNone, bsSingle };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
// What the tab command inserts: a tab character, blanks to the next stop, or blanks to the
// next word of the neighbouring line.
enum TTabType { ttReal, ttFixed, ttSmart };

// Search flags, one bit each, combined with |.
using TSearchFlags = std::uint8_t;
constexpr TSearchFlags sfNone = 1; // no effect
constexpr TSearchFlags sfBackward = 2;
constexpr TSearchFlags sfMatchCase = 4;
constexpr TSearchFlags sfEntireScope = 8;
constexpr TSearchFlags sfReplace = 16;
constexpr TSearchFlags sfReplaceAll = 32;
constexpr TSearchFlags sfWholeWord = 64;
constexpr TSearchFlags sfSelectedOnly = 128;

// The private message the control posts to itself after each caret placement; the column
// travels in the word parameter, the line in the long parameter.
constexpr std::uint32_t KM_SHOWSTATUS = 0x7F02; // 32514

// Scroll-bar request codes delivered to WMVScroll / WMHScroll (the left/right requests share
// the numbers of up/down).
constexpr int SB_LINEUP = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_LINELEFT = SB_LINEUP;
constexpr int SB_LINERIGHT = SB_LINEDOWN;
constexpr int SB_PAGELEFT = SB_PAGEUP;
constexpr int SB_PAGERIGHT = SB_PAGEDOWN;

// Answers to the dialog-code query: which keys the control keeps from the dialog manager.
constexpr unsigned DLGC_WANTARROWS = 0x01;
constexpr unsigned DLGC_WANTTAB = 0x02;
constexpr unsigned DLGC_WANTALLKEYS = 0x04;
constexpr unsigned DLGC_WANTCHARS = 0x80;
constexpr unsigned DLGC_STATIC = 0x100;

// Answers to the mouse-activation query.
constexpr int MA_ACTIVATE = 1;
constexpr int MA_DEFAULT = 0;

enum TKroMouseButton { mbLeft, mbRight, mbMiddle };

// Events. Each is a std::function member of the control and fires only when set.
using TShowStatusEvent =
    std::function<void(TKroCustomEditor& Sender, std::int32_t LineNum, std::int32_t ColNum)>;
using TTopLineChangedEvent = std::function<void(TKroCustomEditor& Sender, std::int32_t Line)>;
// ErrorCode is passed in and out; the control ignores what the handler leaves in it.
using TEditorErrorEvent = std::function<void(TKroCustomEditor& Sender, std::uint16_t& ErrorCode)>;
using TUserCommandEvent = std::function<void(TKroCustomEditor& Sender, std::uint16_t Command)>;
// S and Len: the line's characters; Pos = LeftCol, Count = VisibleCols; HB*/HE*: the highlight
// (all 0 when nothing is highlighted). Set WasDrawn when the handler painted the row itself.
using TEditorDrawLineEvent = std::function<void(
    TKroCustomEditor& Sender, IKroSurface& EditorCanvas, TKroRect& Rect, const char* S,
    std::int32_t Len, std::int32_t Line, std::int32_t Pos, std::int32_t Count, std::int32_t HBLine,
    std::int32_t HBCol, std::int32_t HELine, std::int32_t HECol, bool& WasDrawn)>;

// The framework's own events of a control.
using TNotifyEvent = std::function<void(TKroCustomEditor& Sender)>;
using TKeyEvent =
    std::function<void(TKroCustomEditor& Sender, std::uint16_t& Key, TKroShiftState Shift)>;
using TKeyPressEvent = std::function<void(TKroCustomEditor& Sender, char& Key)>;
using TMouseEvent = std::function<void(TKroCustomEditor& Sender, TKroMouseButton Button,
                                       TKroShiftState Shift, int X, int Y)>;
using TMouseMoveEvent =
    std::function<void(TKroCustomEditor& Sender, TKroShiftState Shift, int X, int Y)>;

// A display position: 1-based display line over the whole document and 1-based position
// within that line.
struct TLinePos {
    std::int32_t Line = 1;
    std::int32_t Pos = 1;
    friend bool operator==(const TLinePos&, const TLinePos&) = default;
};
