// The editor's widget host, offscreen: keys typed into it, the picture it paints, its caret,
// what a keystroke or a scroll repaints, scroll bars, wheel, mouse and focus.
#include "QtRig.h"

#include "Controller.h"
#include "KroFixedFontList.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QImage>
#include <QScrollBar>
#include <QWheelEvent>

#include <set>

namespace {

struct TCells {
    int W = 0;
    int H = 0;
};

TCells Cells(TWidgetRig& R) {
    IKroSurface& C = R.Widget->Canvas();
    C.SelectFont(R.Ed().FixedFont().Font());
    const TKroTextMetrics M = C.TextMetrics();
    return {M.AveCharWidth, M.Height + M.ExternalLeading + 1};
}

std::string Lines(int Count) {
    std::string S;
    for (int I = 1; I <= Count; ++I)
        S += (I > 1 ? "\r\n" : "") + std::to_string(I);
    return S;
}

// The display lines the control drew since Watch (it still draws them itself).
std::set<int32_t> Drawn;

std::set<int32_t>& DrawnLines() {
    return Drawn;
}

void Watch(TKroCustomEditor& Ed) {
    Drawn.clear();
    Ed.OnDrawLine = [](TKroCustomEditor&, IKroSurface&, TKroRect&, const char*, int32_t,
                       int32_t Line, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                       bool&) { Drawn.insert(Line); };
}

bool Dark(QRgb P) {
    return qGray(P) < 128;
}

// ---------------------------------------------------------------------------------------------

TEST(EditorWidget, KeysTypedIntoTheWidgetChangeTheText) {
    TWidgetRig R;
    ASSERT_TRUE(R.Widget->hasFocus());
    R.Type("Ab");
    R.Key(Qt::Key_Return, Qt::NoModifier, "\r");
    R.Type("c d");
    R.Key(Qt::Key_Left);
    R.Key(Qt::Key_Backspace, Qt::NoModifier, "\b");
    EXPECT_EQ(R.Text(), "Ab\ncd");
    R.Key(Qt::Key_Z, Qt::ControlModifier, "\x1a");
    EXPECT_EQ(R.Text(), "Ab\nc d") << "Ctrl+Z undoes and types nothing";
}

TEST(EditorWidget, CtrlShiftDigitSetsAMarkerAndTypesNothing) {
    TWidgetRig R;
    R.Type("hello");
    R.Key(Qt::Key_NumberSign, Qt::ControlModifier | Qt::ShiftModifier, "#");
    EXPECT_EQ(R.Text(), "hello");
    EXPECT_EQ(R.Ed().ParaList().Marker(3), (TParaPos{1, 6}));
    R.Key(Qt::Key_Home);
    R.Key(Qt::Key_3, Qt::ControlModifier, "3");
    EXPECT_EQ(R.Ed().CaretParaPos(), (TParaPos{1, 6})) << "Ctrl+3 goes to marker 3";
    EXPECT_EQ(R.Text(), "hello");
}

TEST(EditorWidget, CharactersOutsideTheCodePageAreRefusedWithABeep) {
    TWidgetRig R;
    R.Key(0x20AC, Qt::NoModifier, QString::fromUtf8("€"));
    R.Key(0x0416, Qt::NoModifier, QString::fromUtf8("Ж"));
    EXPECT_EQ(R.Text(), "\x80");
    EXPECT_EQ(R.Platform.BeepCount(), 1);
    R.Key(Qt::Key_X, Qt::AltModifier, "x");
    EXPECT_EQ(R.Text(), "\x80") << "Alt+X is a system key and types nothing";
}

TEST(EditorWidget, TabGoesToTheControlOnlyWhenItWantsTabs) {
    TQtPlatformRig P;
    QWidget Parent;
    TKroController Controller;
    auto* A = new TKroEditorWidget(&Parent, &Controller);
    auto* B = new TKroEditorWidget(&Parent, &Controller);
    A->setGeometry(0, 0, 200, 100);
    B->setGeometry(0, 100, 200, 100);
    Parent.show();
    Parent.activateWindow();
    A->setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(A->hasFocus());
    QKeyEvent Tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, "\t");
    QApplication::sendEvent(A, &Tab);
    QCoreApplication::processEvents();
    EXPECT_TRUE(B->hasFocus()) << "WantTab off: Tab moves the focus";
    EXPECT_EQ(A->Editor().TextLength(), 0);
    B->Editor().SetWantTab(true);
    QApplication::sendEvent(B, &Tab);
    EXPECT_TRUE(B->hasFocus());
    int32_t Len = 0;
    EXPECT_EQ(std::string(B->Editor().GetPara(1, Len), 1), "\t");
}

TEST(EditorWidget, CtrlTabReachesTheControlWhenTabMovesTheFocus) {
    // Only Tab and Shift+Tab are the surrounding window's focus keys; Ctrl+Tab is the "Default"
    // table's tab, so a control without WantTab still gets one.
    TQtPlatformRig P;
    QWidget Parent;
    TKroController Controller;
    auto* A = new TKroEditorWidget(&Parent, &Controller);
    auto* B = new TKroEditorWidget(&Parent, &Controller);
    A->setGeometry(0, 0, 200, 100);
    B->setGeometry(0, 100, 200, 100);
    Parent.show();
    Parent.activateWindow();
    A->setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(A->hasFocus());
    ASSERT_FALSE(A->Editor().WantTab());
    QKeyEvent CtrlTab(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier, "\t");
    QApplication::sendEvent(A, &CtrlTab);
    QCoreApplication::processEvents();
    EXPECT_TRUE(A->hasFocus());
    int32_t Len = 0;
    const char* Text = A->Editor().GetPara(1, Len);
    EXPECT_EQ(std::string(Text, std::size_t(Len)), "\t");
    QKeyEvent BackTab(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier, "\t");
    QApplication::sendEvent(A, &BackTab);
    QCoreApplication::processEvents();
    EXPECT_TRUE(B->hasFocus()) << "Shift+Tab still moves the focus";
    EXPECT_EQ(A->Editor().TextLength(), 1);
}

// ---------------------------------------------------------------------------------------------

TEST(EditorWidget, AGrabShowsTheTextInFixedCells) {
    TWidgetRig R(400, 120);
    EXPECT_TRUE(KroIsFixedFont(R.Ed().FixedFont().Name()));
    EXPECT_TRUE(QFontDatabase::isFixedPitch(QString::fromStdString(R.Ed().FixedFont().Name())));
    R.Type("MMMMMMMMMM");
    R.Key(Qt::Key_Return, Qt::NoModifier, "\r");
    R.Type("iiiiiiiiii");
    R.Widget->clearFocus(); // no caret in the picture
    R.Settle();
    const TCells C = Cells(R);
    const QImage I = R.Widget->Viewport()->grab().toImage();
    const int Left = R.Ed().LeftMargin();
    auto InkIn = [&](int Row, int X0, int X1) {
        for (int Y = Row * C.H; Y < (Row + 1) * C.H; ++Y)
            for (int X = X0; X < X1; ++X)
                if (Dark(I.pixel(X, Y))) return true;
        return false;
    };
    for (int Row = 0; Row < 2; ++Row) {
        // Ten characters, one in each cell, however narrow the letter.
        for (int K = 0; K < 10; ++K)
            EXPECT_TRUE(InkIn(Row, Left + K * C.W, Left + (K + 1) * C.W)) << Row << "," << K;
        EXPECT_FALSE(InkIn(Row, Left + 10 * C.W + 1, I.width())) << "nothing right of the text";
    }
    EXPECT_FALSE(InkIn(2, 0, I.width())) << "the third row is empty";
    EXPECT_FALSE(InkIn(0, 0, Left - 1)) << "the margin is empty";
}

TEST(EditorWidget, TheCaretIsABarInInsertModeAndABlockInOverwriteMode) {
    TWidgetRig R;
    R.Type("ab");
    R.Settle();
    const TCells C = Cells(R);
    ASSERT_TRUE(R.Widget->CaretDrawn());
    const int X = R.Ed().LeftMargin() + 2 * C.W;
    EXPECT_EQ(R.Widget->CaretRect(), QRect(X - 1, 0, 2, C.H)) << "one pixel left of the cell";
    // The caret inverts the window where it stands.
    const QImage I = R.Widget->Viewport()->grab().toImage();
    EXPECT_TRUE(Dark(I.pixel(X - 1, C.H / 2)));
    EXPECT_FALSE(Dark(I.pixel(X + 3, C.H / 2)));

    R.Key(Qt::Key_Insert);
    EXPECT_FALSE(R.Ed().InsertMode());
    EXPECT_EQ(R.Widget->CaretRect(), QRect(X, 0, C.W, C.H));
    R.Widget->clearFocus();
    R.Settle();
    EXPECT_FALSE(R.Widget->CaretDrawn());
    EXPECT_TRUE(R.Widget->CaretRect().isEmpty()) << "the caret goes with the focus";
}

TEST(EditorWidget, AKeystrokeRepaintsOnlyItsLineAndCaretMovesRepaintNoText) {
    TWidgetRig R(400, 300);
    R.Ed().InsertString(Lines(20));
    R.Ed().SetCaretPosition(3, 2);
    R.Settle();
    Watch(R.Ed());
    R.Type("x");
    R.Settle();
    EXPECT_EQ(DrawnLines(), (std::set<int32_t>{3}));
    DrawnLines().clear();
    const int Before = R.Widget->ControlPaints();
    R.Key(Qt::Key_Down);
    R.Key(Qt::Key_Right);
    R.Settle();
    EXPECT_EQ(R.Widget->ControlPaints(), Before);
    EXPECT_TRUE(DrawnLines().empty());
}

TEST(EditorWidget, AnUpdateRequestPaintsAtOnce) {
    TWidgetRig R;
    const int Before = R.Widget->ControlPaints();
    R.Widget->InvalidateAll();
    R.Widget->Update();
    EXPECT_EQ(R.Widget->ControlPaints(), Before + 1) << "without the event loop running";
    R.Widget->Update();
    EXPECT_EQ(R.Widget->ControlPaints(), Before + 1) << "nothing pending, nothing painted";
}

TEST(EditorWidget, ScrollingALineRepaintsOnlyTheUncoveredRow) {
    TWidgetRig R(400, 200);
    R.Ed().InsertString(Lines(100));
    R.Ed().SetCaretPosition(1, 1);
    R.Settle();
    const int Rows = R.Ed().VisibleRowCount();
    R.Ed().SetCaretPosition(Rows, 1);
    R.Settle();
    Watch(R.Ed());
    R.Key(Qt::Key_Down);
    R.Settle();
    EXPECT_EQ(R.Ed().TopLine(), 2);
    EXPECT_EQ(DrawnLines(), (std::set<int32_t>{Rows + 1}));
    // The moved pixels are the text of the lines below: row 1 now shows line 2.
    Watch(R.Ed());
    R.Widget->Viewport()->grab();
    EXPECT_TRUE(DrawnLines().empty()) << "a grab paints from what is already painted";
}

TEST(EditorWidget, ScrollBarsAndTheWheelMoveTheView) {
    TWidgetRig R(400, 200);
    R.Ed().InsertString(Lines(3));
    R.Settle();
    EXPECT_FALSE(R.Widget->VerticalBar()->isVisible());
    R.Ed().InsertString("\r\n" + Lines(97));
    R.Settle();
    QScrollBar* V = R.Widget->VerticalBar();
    ASSERT_TRUE(V->isVisible());
    EXPECT_LT(R.Widget->Viewport()->width(), 400 - V->width() + 1);
    R.Ed().SetCaretPosition(1, 1);
    R.Settle();
    const int Rows = R.Ed().VisibleRowCount();
    V->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(R.Ed().TopLine(), 2);
    V->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(R.Ed().TopLine(), 2 + Rows);
    EXPECT_EQ(V->value(), 2 + Rows) << "the control puts the thumb";
    V->setSliderPosition(50);
    EXPECT_EQ(R.Ed().TopLine(), 50);
    V->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(R.Ed().TopLine(), 100 - Rows + 1);

    R.Ed().MakeTopLine(10);
    const QPointF At(50, 50);
    QWheelEvent Notch(At, R.Widget->mapToGlobal(At), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(R.Widget.get(), &Notch);
    EXPECT_EQ(R.Ed().TopLine(), 13) << "three lines a notch";
    QWheelEvent Half(At, R.Widget->mapToGlobal(At), QPoint(), QPoint(0, 60), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(R.Widget.get(), &Half);
    EXPECT_EQ(R.Ed().TopLine(), 13);
    QApplication::sendEvent(R.Widget.get(), &Half);
    EXPECT_EQ(R.Ed().TopLine(), 10);
}

// The widget draws a tall scroll bar in pieces; the picture is the style's own.
TEST(EditorWidget, WhatScrollingAndEditingLeaveOnScreenIsWhatAFullRepaintShows) {
    // The screen is kept from moved pixels and repainted bands; after every few steps it must
    // match a repaint of the whole window, wrapped and unwrapped, while the window changes size.
    for (const bool Wrap : {false, true}) {
        TWidgetRig R(330, 170);
        std::string T;
        for (int I = 1; I <= 300; ++I) {
            T += std::to_string(I) +
                 (I % 3 ? "\tword" : " a line that runs on past the window's edge");
            if (I % 7 == 0) T += "\tx\ty";
            T += "\r\n";
        }
        R.Ed().InsertString(T);
        R.Ed().SetHideSelection(false);
        R.Ed().SetWordWrap(Wrap);
        R.Ed().SetWrapToWindow(Wrap);
        R.Ed().SetMarkerAt(1, 5, 1);
        R.Ed().SetMarkerAt(2, 9, 1);
        R.Settle();
        std::uint32_t Seed = 12345;
        auto Next = [&Seed](std::uint32_t N) {
            Seed = Seed * 1103515245u + 12345u;
            return (Seed >> 16) % N;
        };
        for (int Step = 0; Step < 200; ++Step) {
            if (Step % 37 == 5) R.Widget->resize(250 + int(Next(150)), 120 + int(Next(100)));
            const Qt::KeyboardModifiers Shift = Next(2) ? Qt::ShiftModifier : Qt::NoModifier;
            switch (Next(10)) {
            case 0:
                R.Key(Qt::Key_Down, Shift);
                break;
            case 1:
                R.Key(Qt::Key_Up, Shift);
                break;
            case 2:
                R.Key(Qt::Key_PageDown);
                break;
            case 3:
                R.Key(Qt::Key_Right, Shift);
                break;
            case 4:
                R.Type("q");
                break;
            case 5:
                R.Widget->VerticalBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
                break;
            case 6:
                R.Widget->HorizontalBar()->triggerAction(
                    Shift ? QAbstractSlider::SliderSingleStepAdd
                          : QAbstractSlider::SliderSingleStepSub);
                break;
            case 7: {
                QWheelEvent W(QPointF(50, 50), QPointF(50, 50), QPoint(),
                              QPoint(0, Shift ? 120 : -120), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
                QApplication::sendEvent(R.Widget->Viewport(), &W);
                break;
            }
            case 8:
                R.Key(Qt::Key_Return, Qt::NoModifier, "\r");
                break;
            default:
                R.Key(Qt::Key_Backspace, Qt::NoModifier, "\b");
                break;
            }
            R.Settle();
            if (Step % 10 != 9) continue;
            R.Widget->clearFocus(); // no caret in the picture
            R.Settle();
            const QImage Kept = R.Widget->Viewport()->grab().toImage();
            R.Widget->InvalidateAll();
            R.Settle();
            ASSERT_TRUE(Kept == R.Widget->Viewport()->grab().toImage())
                << (Wrap ? "wrapped" : "unwrapped") << ", step " << Step;
            R.Widget->setFocus();
            R.Settle();
        }
    }
}

TEST(EditorWidget, ATallScrollBarLooksAsTheStyleDrawsIt) {
    TWidgetRig R(400, 300);
    R.Ed().InsertString(Lines(500));
    R.Ed().MakeTopLine(200);
    R.Settle();
    QScrollBar* V = R.Widget->VerticalBar();
    ASSERT_TRUE(V->isVisible());
    ASSERT_GT(V->height(), 200);
    QScrollBar Plain(Qt::Vertical);
    Plain.resize(V->size());
    Plain.setRange(V->minimum(), V->maximum());
    Plain.setPageStep(V->pageStep());
    Plain.setValue(V->value());
    QImage Mine(V->size(), QImage::Format_ARGB32_Premultiplied);
    QImage Style(V->size(), QImage::Format_ARGB32_Premultiplied);
    V->render(&Mine);
    Plain.render(&Style);
    EXPECT_TRUE(Mine == Style);
}

// ---------------------------------------------------------------------------------------------

TEST(EditorWidget, ClicksPlaceTheCaretAndTheMarginSelectsLines) {
    TWidgetRig R;
    R.Ed().InsertString("first line\r\nsecond line\r\nthird");
    R.Settle();
    const TCells C = Cells(R);
    const int Left = R.Ed().LeftMargin();
    R.MoveTo({Left + 3 * C.W + 1, C.H + C.H / 2});
    EXPECT_EQ(R.Widget->Viewport()->cursor().shape(), Qt::IBeamCursor);
    R.Click({Left + 3 * C.W + 1, C.H + C.H / 2});
    EXPECT_EQ(R.Ed().CaretParaPos(), (TParaPos{2, 4}));
    EXPECT_FALSE(R.Widget->HasCapture()) << "the button-up released the mouse";

    R.MoveTo({3, C.H / 2});
    EXPECT_EQ(R.Widget->Viewport()->cursor().shape(), Qt::BitmapCursor) << "the margin cursor";
    R.Click({3, C.H / 2});
    int32_t SL, SP, EL, EP;
    ASSERT_TRUE(R.Ed().GetSelection(SL, SP, EL, EP));
    EXPECT_EQ((std::vector<int32_t>{SL, SP, EL, EP}), (std::vector<int32_t>{1, 1, 2, 1}));

    R.MoveTo({Left + 2, 2 * C.H + 2});
    R.DoubleClick({Left + 2, 2 * C.H + 2});
    ASSERT_TRUE(R.Ed().GetSelection(SL, SP, EL, EP));
    EXPECT_EQ((std::vector<int32_t>{SL, SP, EL, EP}), (std::vector<int32_t>{3, 1, 3, 6}));
}

TEST(EditorWidget, TheStatusReportArrivesFromTheEventLoop) {
    TWidgetRig R;
    std::vector<std::pair<int32_t, int32_t>> Status;
    R.Ed().OnShowStatus = [&](TKroCustomEditor&, int32_t Line, int32_t Col) {
        Status.emplace_back(Line, Col);
    };
    R.Key(Qt::Key_Tab, Qt::NoModifier, "\t"); // not wanted: the focus stays, nothing is typed
    R.Ed().SetWantTab(true);
    R.Key(Qt::Key_Tab, Qt::NoModifier, "\t");
    EXPECT_TRUE(Status.empty()) << "deferred until the command is done";
    R.Settle();
    ASSERT_FALSE(Status.empty());
    EXPECT_EQ(Status.back(), (std::pair<int32_t, int32_t>{1, 9})) << "the column after the tab";
}

TEST(EditorWidget, AnErrorFromAKeyIsShownNotThrownThroughTheToolkit) {
    TWidgetRig R;
    R.Ed().SetParaLengthLimit(3);
    R.Type("abcd");
    EXPECT_EQ(R.Text(), "abc");
    ASSERT_EQ(R.Platform.Errors.size(), 1u);
    EXPECT_EQ(R.Platform.Errors[0], "Current operation will exceed the maximum paragraph size");
}

TEST(EditorWidget, ResizingRerunsTheGeometry) {
    TWidgetRig R(400, 300);
    const TCells C = Cells(R);
    const int Rows = R.Ed().VisibleRowCount();
    R.Widget->resize(400, 300 + 3 * C.H);
    R.Settle();
    EXPECT_EQ(R.Ed().VisibleRowCount(), Rows + 3);
    EXPECT_EQ(R.Ed().VisibleColumns(),
              (R.Widget->Viewport()->width() - R.Ed().LeftMargin() - R.Ed().RightMargin()) / C.W);
}

} // namespace
