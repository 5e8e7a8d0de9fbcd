// Qt keys as the editor's key tables name them: the physical key's virtual-key code, the shift
// state, the system-key path, and the characters a key press types in Windows-1252.
#include "QtKeys.h"
#include "QtRig.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

namespace {

// XKB key codes (evdev + 8) of some keys of a US keyboard.
constexpr quint32 Xkb1 = 2 + 8;
constexpr quint32 Xkb3 = 4 + 8;
constexpr quint32 XkbA = 30 + 8;
constexpr quint32 XkbLeftBrace = 26 + 8;

std::uint16_t Vk(int QtKey, bool Keypad = false, quint32 Scan = 0) {
    return KroVirtualKeyFromQt(QtKey, Keypad, Scan, Scan != 0);
}

TKroKeyStroke Stroke(int QtKey, Qt::KeyboardModifiers M, const QString& Text = {}) {
    const QKeyEvent E(QEvent::KeyPress, QtKey, M, Text);
    return KroTranslateKeyEvent(E);
}

QString Typed(int QtKey, Qt::KeyboardModifiers M, const QString& Text) {
    const QKeyEvent E(QEvent::KeyPress, QtKey, M, Text);
    return KroKeyEventText(E, KroTranslateKeyEvent(E));
}

TEST(VirtualKeys, AShiftedSymbolIsTheKeyItIsPrintedOn) {
    KroTestApp();
    EXPECT_EQ(Vk(Qt::Key_NumberSign), '3') << "Ctrl+Shift+3 as Qt reports it";
    EXPECT_EQ(Vk(Qt::Key_ParenRight), '0');
    EXPECT_EQ(Vk(Qt::Key_Underscore), 0xBD);
    EXPECT_EQ(Vk(Qt::Key_BraceLeft), 0xDB);
    // With the physical key known, the layout does not matter: the French '&' is the key 1.
    EXPECT_EQ(Vk(Qt::Key_Ampersand, false, Xkb1), '1');
    EXPECT_EQ(Vk(Qt::Key_NumberSign, false, Xkb3), '3');
    EXPECT_EQ(Vk(Qt::Key_Udiaeresis, false, XkbLeftBrace), 0xDB) << "the German key right of P";
    // Letters follow the layout, except where it has no Latin letters.
    EXPECT_EQ(Vk(Qt::Key_Q, false, XkbA), 'Q') << "AZERTY: the A position types Q";
    EXPECT_EQ(Vk(0x0424, false, XkbA), 'A') << "the Cyrillic letter on the A key";
    EXPECT_EQ(Vk(Qt::Key_Udiaeresis), 0) << "unknown without the physical key";
}

TEST(VirtualKeys, NamedKeysKeypadAndFunctionKeys) {
    KroTestApp();
    EXPECT_EQ(Vk(Qt::Key_A), 'A');
    EXPECT_EQ(Vk(Qt::Key_Backtab), 0x09) << "Shift+Tab is the Tab key";
    EXPECT_EQ(Vk(Qt::Key_Return), 0x0D);
    EXPECT_EQ(Vk(Qt::Key_Insert), 0x2D);
    EXPECT_EQ(Vk(Qt::Key_PageDown), 0x22);
    EXPECT_EQ(Vk(Qt::Key_F1), 0x70);
    EXPECT_EQ(Vk(Qt::Key_F12), 0x7B);
    EXPECT_EQ(Vk(Qt::Key_5, true), 0x65);
    EXPECT_EQ(Vk(Qt::Key_Asterisk, true), 0x6A) << "not the 8 of the main keyboard";
    EXPECT_EQ(Vk(Qt::Key_Period, true), 0x6E);
    EXPECT_EQ(Vk(Qt::Key_Enter, true), 0x0D);
    EXPECT_EQ(Vk(Qt::Key_Home, true), 0x24) << "Num Lock off";
    EXPECT_EQ(Vk(Qt::Key_Delete, true), 0x2E);
}

TEST(VirtualKeys, ShiftStatesAndTheSystemKeyPath) {
    KroTestApp();
    const TKroKeyStroke CtrlShift3 =
        Stroke(Qt::Key_NumberSign, Qt::ControlModifier | Qt::ShiftModifier, "#");
    EXPECT_EQ(CtrlShift3.Key, '3');
    EXPECT_EQ(CtrlShift3.Shift, 6);
    EXPECT_FALSE(CtrlShift3.System);
    const TKroKeyStroke AltX = Stroke(Qt::Key_X, Qt::AltModifier, "x");
    EXPECT_EQ(AltX.Shift, 8);
    EXPECT_TRUE(AltX.System);
    EXPECT_FALSE(Stroke(Qt::Key_X, Qt::AltModifier | Qt::ControlModifier).System);
    EXPECT_TRUE(Stroke(Qt::Key_F10, Qt::NoModifier).System);
    EXPECT_EQ(Stroke(Qt::Key_5, Qt::KeypadModifier | Qt::ShiftModifier, "5").Shift, 2)
        << "the keypad flag is no shift state";
}

TEST(VirtualKeys, WhatAKeyPressTypes) {
    KroTestApp();
    EXPECT_EQ(Typed(Qt::Key_X, Qt::AltModifier, "x"), QString()) << "Alt keys type nothing";
    EXPECT_EQ(Typed(Qt::Key_NumberSign, Qt::ControlModifier | Qt::ShiftModifier, "#"), QString());
    EXPECT_EQ(Typed(Qt::Key_A, Qt::ControlModifier, "\x01"), QString("\x01"));
    EXPECT_EQ(Typed(Qt::Key_Space, Qt::ControlModifier, " "), QString(" "));
    EXPECT_EQ(Typed(Qt::Key_Delete, Qt::NoModifier, "\x7f"), QString());
    EXPECT_EQ(Typed(Qt::Key_Eacute, Qt::NoModifier, QString::fromUtf8("é")),
              QString::fromUtf8("é"));
}

TEST(CodePage, UnicodeToBytesRefusesWhatTheCodePageLacks) {
    int Refused = -1;
    EXPECT_EQ(KroToCp1252(QString::fromUtf8("a€éЖ"), &Refused), std::string("a\x80\xE9"));
    EXPECT_EQ(Refused, 1);
    std::string All;
    for (int B = 0; B < 256; ++B)
        All.push_back(char(B));
    const QString U = KroFromCp1252(All.data(), qsizetype(All.size()));
    EXPECT_EQ(U[0x80], QChar(0x20AC));
    EXPECT_EQ(KroToCp1252(U, &Refused), All) << "every byte survives the round trip";
    EXPECT_EQ(Refused, 0);
}

} // namespace
