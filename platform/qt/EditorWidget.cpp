// The editor control's Qt host: window, caret and event translation.
#include "EditorWidget.h"

#include "Controller.h"
#include "Cp1252.h"
#include "KroExceptions.h"
#include "QtPlatform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleHints>
#include <QStyleOptionComplex>
#include <QThread>
#include <QWheelEvent>

namespace {

// A message the control posted to itself, delivered by the event loop.
class TKroPostedEvent : public QEvent {
public:
    static QEvent::Type Kind() {
        static const QEvent::Type T = QEvent::Type(QEvent::registerEventType());
        return T;
    }
    TKroPostedEvent(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam)
        : QEvent(Kind()), Msg(Msg), WParam(WParam), LParam(LParam) {}
    std::uint32_t Msg;
    std::uintptr_t WParam;
    std::intptr_t LParam;
};

constexpr int Nowhere = 2147483647;

QRect ToQRect(const TKroRect& R) {
    return QRect(R.Left, R.Top, R.Width(), R.Height());
}

TKroShiftState ShiftOf(Qt::KeyboardModifiers M) {
    return TKroShiftState(((M & Qt::ShiftModifier) ? ssShiftKey : 0) |
                          ((M & Qt::ControlModifier) ? ssCtrlKey : 0) |
                          ((M & Qt::AltModifier) ? ssAltKey : 0));
}

// The application-level handler: an exception that leaves a control's message handler is shown
// in the error box instead of unwinding through the toolkit.
template <class Fn> void Guarded(Fn&& F) {
    try {
        F();
    } catch (const std::exception& E) {
        if (IKroPlatform* P = KroPlatform()) P->ShowError(E.what());
    }
}

// Qt's raster engine gives every fill of more than about a hundred rows to its thread pool and
// waits for the pool; on a busy machine that wait costs far more than the fill. Scroll bars are
// long enough to do that on every paint, so the style draws them in pieces of at most PaintBand
// rows (or columns), each on an image of its own, which no fill can exceed.
constexpr int PaintBand = 64;

// The application's style with scroll bars drawn piece by piece.
class TKroBandedStyle : public QProxyStyle {
public:
    explicit TKroBandedStyle(QStyle* Base) : QProxyStyle(Base) {}

    void drawComplexControl(ComplexControl Control, const QStyleOptionComplex* Option,
                            QPainter* Painter, const QWidget* Widget) const override {
        const QRect R = Option->rect;
        const bool Tall = R.height() >= R.width();
        const int Length = Tall ? R.height() : R.width();
        if (Control != CC_ScrollBar || Length <= PaintBand) {
            QProxyStyle::drawComplexControl(Control, Option, Painter, Widget);
            return;
        }
        const qreal Dpr = Painter->device() ? Painter->device()->devicePixelRatioF() : 1.0;
        for (int At = 0; At < Length; At += PaintBand) {
            const int N = std::min(PaintBand, Length - At);
            const QRect Piece = Tall ? QRect(R.left(), R.top() + At, R.width(), N)
                                     : QRect(R.left() + At, R.top(), N, R.height());
            QImage Image(Piece.size() * Dpr, QImage::Format_ARGB32_Premultiplied);
            Image.setDevicePixelRatio(Dpr);
            Image.fill(Qt::transparent);
            {
                QPainter P(&Image);
                P.setRenderHints(Painter->renderHints());
                P.setFont(Painter->font());
                P.translate(-Piece.topLeft());
                QProxyStyle::drawComplexControl(Control, Option, &P, Widget);
            }
            Painter->drawImage(Piece.topLeft(), Image);
        }
    }
};

} // namespace

// The client area: it paints and takes the mouse; everything else belongs to the host.
class TKroEditorViewport : public QWidget {
public:
    explicit TKroEditorViewport(TKroEditorWidget* Host) : QWidget(Host), FHost(Host) {
        // Painting covers every pixel: no background erase, and scrolling may move pixels.
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setMouseTracking(true);
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::IBeamCursor);
    }

protected:
    void paintEvent(QPaintEvent* E) override { FHost->ViewportPaint(E); }
    void mousePressEvent(QMouseEvent* E) override { FHost->ViewportMousePress(E); }
    void mouseReleaseEvent(QMouseEvent* E) override { FHost->ViewportMouseRelease(E); }
    void mouseDoubleClickEvent(QMouseEvent* E) override { FHost->ViewportMouseDoubleClick(E); }
    void mouseMoveEvent(QMouseEvent* E) override { FHost->ViewportMouseMove(E); }

private:
    TKroEditorWidget* FHost;
};

TKroEditorWidget::TKroEditorWidget(QWidget* Parent, TKroController* Controller,
                                   const TEditorFactory& Factory)
    : QFrame(Parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression, false);

    FViewport = new TKroEditorViewport(this);
    FHBar = new QScrollBar(Qt::Horizontal, this);
    FVBar = new QScrollBar(Qt::Vertical, this);
    FCorner = new QWidget(this);
    FCorner->setAutoFillBackground(true);
    if (QStyle* Base = QStyleFactory::create(style()->name())) {
        auto* Banded = new TKroBandedStyle(Base);
        Banded->setParent(this);
        FVBar->setStyle(Banded);
        FHBar->setStyle(Banded);
    }
    for (QScrollBar* B : {FHBar, FVBar}) {
        B->setFocusPolicy(Qt::NoFocus);
        B->setRange(0, 0);
        B->hide();
        const bool Vertical = B == FVBar;
        connect(B, &QScrollBar::actionTriggered, this,
                [this, Vertical](int Action) { ScrollAction(Vertical, Action); });
    }
    FCorner->hide();

    if (const int Flash = QGuiApplication::styleHints()->cursorFlashTime(); Flash >= 0)
        FBlinkTime = unsigned(Flash / 2);
    connect(&FBlinkTimer, &QTimer::timeout, this, [this] {
        FBlinkOn = !FBlinkOn;
        FViewport->update(CaretRect());
    });

    if (Controller) {
        FController = Controller;
    } else {
        FOwnController = std::make_unique<TKroController>();
        FController = FOwnController.get();
    }
    Relayout();

    FEditor =
        Factory ? Factory(nullptr, this) : std::make_unique<TKroTextFileEditor>(nullptr, this);
    FEditor->SetController(FController);
    FEditor->HandleNeeded();
    UpdateCursorShape();
}

TKroEditorWidget::~TKroEditorWidget() {
    // The control talks to its window while it goes; it goes first.
    FEditor.reset();
    FBlinkTimer.stop();
}

TKroCustomTextFileEditor* TKroEditorWidget::FileEditor() const {
    return dynamic_cast<TKroCustomTextFileEditor*>(FEditor.get());
}

QWidget* TKroEditorWidget::Viewport() const {
    return FViewport;
}

// ---------------------------------------------------------------------------------------------
// Layout and scroll bars

void TKroEditorWidget::Relayout() {
    FRelayoutQueued = false;
    const QRect R = contentsRect();
    const int VW = FShowV ? FVBar->sizeHint().width() : 0;
    const int HH = FShowH ? FHBar->sizeHint().height() : 0;
    const QRect Client(R.x(), R.y(), std::max(0, R.width() - VW), std::max(0, R.height() - HH));
    FViewport->setGeometry(Client);
    FVBar->setVisible(FShowV);
    FHBar->setVisible(FShowH);
    if (FShowV) FVBar->setGeometry(Client.right() + 1, R.y(), VW, Client.height());
    if (FShowH) FHBar->setGeometry(R.x(), Client.bottom() + 1, Client.width(), HH);
    FCorner->setVisible(FShowV && FShowH);
    if (FShowV && FShowH) FCorner->setGeometry(Client.right() + 1, Client.bottom() + 1, VW, HH);

    if (Client.size() != FClientSize) {
        FClientSize = Client.size();
        // The size message reaches the control at once, as the window system's would; the
        // control's geometry loop copes with the scroll bars it shows or hides meanwhile.
        if (FEditor) Guarded([this] { FEditor->Resized(); });
    }
}

int TKroEditorWidget::ClientWidth() const {
    return FViewport->width();
}

int TKroEditorWidget::ClientHeight() const {
    return FViewport->height();
}

void TKroEditorWidget::SetStyle(bool HScroll, bool VScroll, bool Border) {
    FStyleH = HScroll;
    FStyleV = VScroll;
    setFrameStyle(Border ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
    FShowH = FShowH && FStyleH;
    FShowV = FShowV && FStyleV;
    Relayout();
}

void TKroEditorWidget::SetScrollRange(TKroScrollBarKind Bar, int Min, int Max, bool) {
    const bool Vertical = Bar == TKroScrollBarKind::sbVertical;
    QScrollBar* B = Vertical ? FVBar : FHBar;
    {
        const QSignalBlocker Block(B);
        B->setRange(std::min(Min, Max), std::max(Min, Max));
    }
    bool& Show = Vertical ? FShowV : FShowH;
    const bool Wanted = (Vertical ? FStyleV : FStyleH) && Min != Max;
    UpdatePageSteps();
    if (Wanted == Show) return;
    Show = Wanted;
    if (FInPaint) {
        // The client area does not change size under its own paint; it does right after.
        if (!FRelayoutQueued) {
            FRelayoutQueued = true;
            QMetaObject::invokeMethod(
                this, [this] { Relayout(); }, Qt::QueuedConnection);
        }
        return;
    }
    Relayout();
}

void TKroEditorWidget::SetScrollPos(TKroScrollBarKind Bar, int Pos, bool) {
    QScrollBar* B = Bar == TKroScrollBarKind::sbVertical ? FVBar : FHBar;
    const QSignalBlocker Block(B);
    B->setValue(Pos);
}

void TKroEditorWidget::UpdatePageSteps() {
    if (!FEditor) return;
    // The thumb's length shows a window's share of the document, in the bar's own units.
    const int Rows = std::max(1, FEditor->VisibleRowCount());
    const std::int32_t N = std::max<std::int32_t>(0, FEditor->LineCount() - Rows + 1);
    const int Unit = N <= 32767 ? 1 : int(N / 32768) * 2;
    FVBar->setPageStep(std::max(1, Rows / Unit));
    FHBar->setPageStep(std::max(1, FEditor->VisibleColumns()));
}

void TKroEditorWidget::ScrollAction(bool Vertical, int Action) {
    QScrollBar* B = Vertical ? FVBar : FHBar;
    const int Proposed = B->sliderPosition();
    // The control moves the thumb itself (SetScrollPos); until it does, it stays.
    B->setSliderPosition(B->value());
    int Code = -1;
    int Pos = 0;
    switch (Action) {
    case QAbstractSlider::SliderSingleStepAdd:
        Code = SB_LINEDOWN;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        Code = SB_LINEUP;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        Code = SB_PAGEDOWN;
        break;
    case QAbstractSlider::SliderPageStepSub:
        Code = SB_PAGEUP;
        break;
    case QAbstractSlider::SliderMove:
        Code = SB_THUMBTRACK;
        Pos = Proposed;
        break;
    case QAbstractSlider::SliderToMinimum:
        Code = SB_THUMBPOSITION;
        Pos = B->minimum();
        break;
    case QAbstractSlider::SliderToMaximum:
        Code = SB_THUMBPOSITION;
        Pos = B->maximum();
        break;
    default:
        return;
    }
    Pos &= 0xFFFF;
    Guarded([&] {
        if (Vertical)
            FEditor->WMVScroll(Code, Pos);
        else
            FEditor->WMHScroll(Code, Pos);
    });
}

void TKroEditorWidget::resizeEvent(QResizeEvent* E) {
    QFrame::resizeEvent(E);
    Relayout();
}

void TKroEditorWidget::changeEvent(QEvent* E) {
    QFrame::changeEvent(E);
    if (!FEditor) return;
    if (E->type() == QEvent::EnabledChange) {
        FEditor->SetEnabled(isEnabled());
        FViewport->update();
    } else if (E->type() == QEvent::PaletteChange || E->type() == QEvent::StyleChange) {
        FViewport->update();
    }
}

// ---------------------------------------------------------------------------------------------
// Window services

bool TKroEditorWidget::Focused() const {
    return hasFocus();
}

bool TKroEditorWidget::CanFocus() const {
    return isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus;
}

void TKroEditorWidget::SetFocus() {
    setFocus(Qt::OtherFocusReason);
}

void TKroEditorWidget::Invalidate(const TKroRect& R) {
    if (R.IsEmpty()) return;
    FDirty += ToQRect(R);
    FViewport->update(ToQRect(R));
}

void TKroEditorWidget::InvalidateAll() {
    FDirty = QRegion(FViewport->rect());
    FViewport->update();
}

void TKroEditorWidget::Update() {
    // The window's pending repaint, now (not from inside a paint): the control paints into the
    // buffer at once, as it would on an immediate update of its window. The screen takes the
    // pixels from the buffer with the repaint already scheduled for every dirty area, so a
    // burst of updates (one per undo step, say) copies them to the screen once.
    if (FInPaint || !FViewport->isVisible() || !FViewport->updatesEnabled() || !FEditor) return;
    EnsureBuffer();
    PaintControl(QRegion(FViewport->rect()));
}

void TKroEditorWidget::ScrollRect(const TKroRect& Area, int Dx, int Dy) {
    const QRect A = ToQRect(Area).intersected(FViewport->rect());
    if (A.isEmpty() || (Dx == 0 && Dy == 0)) return;
    EnsureBuffer();
    // The pixels that stay inside the area move; what is still to be painted moves with them;
    // the band they uncover is to be painted.
    const QRect Src = A.translated(-Dx, -Dy) & A;
    if (!Src.isEmpty()) {
        const qreal Dpr = FBuffer.devicePixelRatio();
        const QRect Physical(Src.topLeft() * Dpr, Src.size() * Dpr);
        const QImage Moved = FBuffer.copy(Physical);
        QPainter B(&FBuffer);
        B.setCompositionMode(QPainter::CompositionMode_Source);
        B.drawImage(Src.topLeft() + QPoint(Dx, Dy), Moved);
    }
    const QRegion Inside = FDirty & A;
    FDirty = (FDirty - A) + (Inside.translated(Dx, Dy) & A);
    FDirty += QRegion(A) - QRegion(A.translated(Dx, Dy));
    FViewport->update(A);
}

void TKroEditorWidget::SetRedraw(bool On) {
    FViewport->setUpdatesEnabled(On);
}

void TKroEditorWidget::PostMessage(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    QCoreApplication::postEvent(this, new TKroPostedEvent(Msg, WParam, LParam));
}

void TKroEditorWidget::ProcessMessages() {
    const QPointer<TKroEditorWidget> Self(this);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // A drag loop polls: give the desktop a breath between passes while the button is held,
    // which also paces the automatic scrolling.
    if (Self && FButtonDown) {
        QThread::msleep(8);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void TKroEditorWidget::SetCursor(TKroCursor Cursor) {
    switch (Cursor) {
    case TKroCursor::crMargin:
        FViewport->setCursor(KroMarginCursor());
        break;
    case TKroCursor::crIBeam:
        FViewport->setCursor(Qt::IBeamCursor);
        break;
    case TKroCursor::crHourGlass:
        FViewport->setCursor(Qt::WaitCursor);
        break;
    case TKroCursor::crArrow:
    case TKroCursor::crDefault:
        FViewport->setCursor(Qt::ArrowCursor);
        break;
    }
}

TKroShiftState TKroEditorWidget::ShiftState() const {
    return ShiftOf(FModifiers);
}

IKroSurface& TKroEditorWidget::Canvas() {
    const int Dpi = FViewport->logicalDpiY();
    if (!FCanvas || Dpi != FCanvasDpi) {
        FCanvas = std::make_unique<TKroQtSurface>(nullptr, Dpi);
        FCanvasDpi = Dpi;
    }
    return *FCanvas;
}

// ---------------------------------------------------------------------------------------------
// Painting

void TKroEditorWidget::EnsureBuffer() {
    const qreal Dpr = FViewport->devicePixelRatioF();
    const QSize Physical = FViewport->size() * Dpr;
    if (FBuffer.size() == Physical && FBuffer.devicePixelRatio() == Dpr) return;
    FBuffer = QImage(Physical.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    FBuffer.setDevicePixelRatio(Dpr);
    FBuffer.fill(Qt::white);
    FDirty = QRegion(FViewport->rect());
}

void TKroEditorWidget::PaintControl(const QRegion& Region) {
    const QRegion ToPaint = FDirty & Region;
    if (ToPaint.isEmpty()) return;
    FDirty -= ToPaint;
    FInPaint = true;
    {
        QPainter B(&FBuffer);
        TKroQtSurface Surface(&B, FViewport->logicalDpiY());
        auto PaintRect = [&](const QRect& R) {
            B.setClipRect(R);
            Surface.SetDirectTarget(&FBuffer, R);
            Guarded([&] {
                FEditor->Paint(Surface, {R.left(), R.top(), R.right() + 1, R.bottom() + 1});
            });
        };
        // Separate dirty bands are painted each on its own, not the gap between them.
        if (ToPaint.rectCount() <= 8) {
            for (const QRect& R : ToPaint)
                PaintRect(R);
        } else {
            PaintRect(ToPaint.boundingRect());
        }
    }
    FInPaint = false;
    ++FControlPaints;
}

void TKroEditorWidget::ViewportPaint(QPaintEvent* E) {
    if (!FEditor) return;
    EnsureBuffer();
    // The control paints what it asked to repaint, into the buffer; everything else on the
    // screen comes from the buffer, so neither the caret's blinking nor its moves repaint text.
    PaintControl(E->region());
    QPainter P(FViewport);
    P.drawImage(QPoint(0, 0), FBuffer);
    if (CaretDrawn()) {
        const QRect R = CaretRect();
        // The caret inverts what is under it (grey: half of it), as the desktop's caret does.
        P.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        if (!FCaretImage.isNull())
            P.drawImage(R.topLeft(), FCaretImage);
        else
            P.fillRect(R, FCaretGray ? QColor(128, 128, 128) : QColor(255, 255, 255));
    }
}

// ---------------------------------------------------------------------------------------------
// The caret

QRect TKroEditorWidget::CaretRect() const {
    if (!FCaretExists || FCaretPos.x() == Nowhere || FCaretPos.y() == Nowhere) return {};
    return QRect(FCaretPos, FCaretSize);
}

bool TKroEditorWidget::CaretDrawn() const {
    return FCaretExists && FCaretShown && FBlinkOn && !CaretRect().isEmpty();
}

void TKroEditorWidget::CaretChanged(const QRect& Before) {
    if (!Before.isEmpty()) FViewport->update(Before);
    const QRect After = CaretRect();
    if (!After.isEmpty() && After != Before) FViewport->update(After);
}

void TKroEditorWidget::RestartBlink() {
    FBlinkOn = true;
    if (FCaretExists && FCaretShown && FBlinkTime > 0)
        FBlinkTimer.start(int(FBlinkTime));
    else
        FBlinkTimer.stop();
}

void TKroEditorWidget::Create(int Width, int Height, bool Gray) {
    const QRect Before = CaretDrawn() ? CaretRect() : QRect();
    FCaretExists = true;
    FCaretShown = false;
    FCaretGray = Gray;
    FCaretImage = QImage();
    FCaretSize = QSize(std::max(1, Width), std::max(1, Height));
    RestartBlink();
    CaretChanged(Before);
}

void TKroEditorWidget::CreateFromBitmap(const TKroBitmap& Bitmap) {
    const QRect Before = CaretDrawn() ? CaretRect() : QRect();
    FCaretExists = true;
    FCaretShown = false;
    FCaretGray = false;
    FCaretImage = KroImageFromBitmap(Bitmap);
    FCaretSize = FCaretImage.isNull() ? QSize(1, 1) : FCaretImage.size();
    RestartBlink();
    CaretChanged(Before);
}

void TKroEditorWidget::Show() {
    if (!FCaretExists || FCaretShown) return;
    FCaretShown = true;
    RestartBlink();
    CaretChanged(QRect());
}

void TKroEditorWidget::Hide() {
    if (!FCaretExists || !FCaretShown) return;
    const QRect Before = CaretRect();
    FCaretShown = false;
    RestartBlink();
    CaretChanged(Before);
}

void TKroEditorWidget::SetPos(int X, int Y) {
    const QPoint P(X, Y);
    if (P == FCaretPos) return;
    const QRect Before = CaretRect();
    FCaretPos = P;
    RestartBlink();
    CaretChanged(Before);
}

void TKroEditorWidget::Destroy() {
    if (!FCaretExists) return;
    const QRect Before = CaretRect();
    FCaretExists = false;
    FCaretShown = false;
    FBlinkTimer.stop();
    CaretChanged(Before);
}

void TKroEditorWidget::SetBlinkTime(unsigned Milliseconds) {
    FBlinkTime = Milliseconds;
    RestartBlink();
    FViewport->update(CaretRect());
}

// ---------------------------------------------------------------------------------------------
// Keyboard

bool TKroEditorWidget::KeyClaimed(const TKroKeyStroke& S) const {
    unsigned Mask = 0;
    switch (S.Key) {
    case 0x09: // Tab
        // Only Tab and Shift+Tab are the surrounding window's focus keys; with Ctrl the key is
        // the control's (the "Default" table types a tab on Ctrl+Tab).
        if (S.Shift & ssCtrlKey) return true;
        Mask = DLGC_WANTTAB;
        break;
    case 0x25:
    case 0x26:
    case 0x27:
    case 0x28: // arrows
        Mask = DLGC_WANTARROWS;
        break;
    case 0x0D: // Enter
    case 0x1B: // Escape
        Mask = DLGC_WANTALLKEYS;
        break;
    default:
        return true;
    }
    return (FEditor->GetDlgCode(0) & Mask) != 0;
}

bool TKroEditorWidget::event(QEvent* E) {
    if (E->type() == TKroPostedEvent::Kind()) {
        auto* P = static_cast<TKroPostedEvent*>(E);
        if (FEditor) Guarded([&] { FEditor->HandlePostedMessage(P->Msg, P->WParam, P->LParam); });
        return true;
    }
    if (E->type() == QEvent::ShortcutOverride && FEditor) {
        // Alt+Backspace is the control's own key, not a menu's.
        auto* K = static_cast<QKeyEvent*>(E);
        const TKroKeyStroke S = KroTranslateKeyEvent(*K);
        if (S.Key == 0x08 && FEditor->DialogChar(8, S.Shift)) {
            E->accept();
            return true;
        }
    }
    if (E->type() == QEvent::KeyPress && FEditor) {
        auto* K = static_cast<QKeyEvent*>(E);
        const TKroKeyStroke S = KroTranslateKeyEvent(*K);
        if (!S.System && !KeyClaimed(S)) {
            // Not wanted: Tab moves the focus, the others go to the surrounding window.
            if (S.Key == 0x09) {
                // The surrounding window's: it moves the focus, or does nothing when there is
                // nowhere to go; the control never sees it.
                focusNextPrevChild(!(S.Shift & ssShiftKey));
                return true;
            }
            K->ignore();
            return false;
        }
        keyPressEvent(K);
        return true;
    }
    return QFrame::event(E);
}

void TKroEditorWidget::keyPressEvent(QKeyEvent* E) {
    FModifiers = E->modifiers();
    const TKroKeyStroke S = KroTranslateKeyEvent(*E);
    const QPointer<TKroEditorWidget> Self(this);
    Guarded([&] {
        if (S.System)
            FEditor->SysKeyDown(S.Key, S.Shift);
        else
            FEditor->KeyDown(S.Key, S.Shift);
    });
    if (!Self) return;
    TypeText(KroKeyEventText(*E, S));
    E->accept();
}

void TKroEditorWidget::TypeText(const QString& Text) {
    const QPointer<TKroEditorWidget> Self(this);
    for (char32_t C : Text.toUcs4()) {
        if (!Self || !FEditor) return;
        if (C < 32) {
            // Control characters travel as they are; the control decides what they do.
            Guarded([&] { FEditor->CharMessage(char(C)); });
        } else if (auto B = KroUnicodeToCp1252(C)) {
            Guarded([&] { FEditor->CharMessage(char(*B)); });
        } else if (IKroPlatform* P = KroPlatform()) {
            // The document holds Windows-1252 only: a character outside it is refused.
            P->Beep();
        }
    }
}

void TKroEditorWidget::keyReleaseEvent(QKeyEvent* E) {
    FModifiers = E->modifiers();
    const TKroKeyStroke S = KroTranslateKeyEvent(*E);
    Guarded([&] { FEditor->KeyUp(S.Key, S.Shift); });
    E->accept();
}

void TKroEditorWidget::inputMethodEvent(QInputMethodEvent* E) {
    // Composed characters (dead keys, input methods) arrive without a key-down.
    TypeText(E->commitString());
    E->accept();
}

QVariant TKroEditorWidget::inputMethodQuery(Qt::InputMethodQuery Query) const {
    if (Query == Qt::ImCursorRectangle) {
        const QRect R = CaretRect();
        return R.isEmpty() ? QRect() : R.translated(FViewport->pos());
    }
    if (Query == Qt::ImEnabled) return true;
    return QFrame::inputMethodQuery(Query);
}

// ---------------------------------------------------------------------------------------------
// Focus

void TKroEditorWidget::focusInEvent(QFocusEvent* E) {
    QFrame::focusInEvent(E);
    if (FEditor) Guarded([this] { FEditor->FocusGained(); });
}

void TKroEditorWidget::focusOutEvent(QFocusEvent* E) {
    QFrame::focusOutEvent(E);
    if (FEditor) Guarded([this] { FEditor->FocusLost(); });
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TKroEditorWidget::TrackPointer(const QPointF& Pos, Qt::KeyboardModifiers Modifiers) {
    FPointer = Pos.toPoint();
    FModifiers = Modifiers;
}

void TKroEditorWidget::UpdateCursorShape() {
    if (!FEditor) return;
    // The control sets the margin cursor itself; elsewhere its Cursor property holds.
    if (!FEditor->SetCursorMessage(FViewport->rect().contains(FPointer)))
        SetCursor(FEditor->Cursor());
}

void TKroEditorWidget::ViewportMousePress(QMouseEvent* E) {
    TrackPointer(E->position(), E->modifiers());
    if (E->button() != Qt::LeftButton) return;
    FButtonDown = true;
    // The cursor query comes before the button message, so the margin is known.
    UpdateCursorShape();
    const QPoint P = FPointer;
    Guarded([&] { FEditor->LButtonDown(P.x(), P.y(), ShiftOf(FModifiers)); });
}

void TKroEditorWidget::ViewportMouseRelease(QMouseEvent* E) {
    TrackPointer(E->position(), E->modifiers());
    if (E->button() != Qt::LeftButton) return;
    FButtonDown = false;
    Guarded([&] { FEditor->LButtonUp(FPointer.x(), FPointer.y(), ShiftOf(FModifiers)); });
}

void TKroEditorWidget::ViewportMouseDoubleClick(QMouseEvent* E) {
    TrackPointer(E->position(), E->modifiers());
    if (E->button() != Qt::LeftButton) return;
    FButtonDown = true;
    UpdateCursorShape();
    Guarded([&] { FEditor->LButtonDblClk(FPointer.x(), FPointer.y(), ShiftOf(FModifiers)); });
}

void TKroEditorWidget::ViewportMouseMove(QMouseEvent* E) {
    TrackPointer(E->position(), E->modifiers());
    // While the button is held the control's drag loop reads the pointer itself.
    if (!FButtonDown) UpdateCursorShape();
    Guarded([&] { FEditor->MouseMove(FPointer.x(), FPointer.y(), ShiftOf(FModifiers)); });
}

void TKroEditorWidget::wheelEvent(QWheelEvent* E) {
    // Whole notches of 120 eighths of a degree; fine-grained wheels add up to them.
    FWheelAngleY += E->angleDelta().y();
    FWheelAngleX += E->angleDelta().x();
    const int NY = FWheelAngleY / 120;
    const int NX = FWheelAngleX / 120;
    FWheelAngleY -= NY * 120;
    FWheelAngleX -= NX * 120;
    Guarded([&] {
        if (NY) FEditor->MouseWheel(NY, false);
        if (NX) FEditor->MouseWheel(NX, true);
    });
    E->accept();
}
