// The editor control's Qt host: a framed widget with a client area and two scroll bars that
// implements the control's window and caret, and turns Qt events into the control's messages.
#pragma once

#include "CustomEditor.h"
#include "Port.h"
#include "QtKeys.h"
#include "QtSurface.h"
#include "TextFileEditor.h"

#include <QFrame>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QScrollBar;
class TKroController;
class TKroEditorViewport;

class TKroEditorWidget : public QFrame, public IKroWindow, public IKroSystemCaret {
    Q_OBJECT

public:
    // Makes the control shown in the widget; the default makes a text file editor.
    using TEditorFactory =
        std::function<std::unique_ptr<TKroCustomEditor>(TKroComponent* Owner, IKroWindow* Window)>;

    // Controller: the controller the control is attached to (it must outlive the widget);
    // without one the widget makes its own. The control's window exists when this returns.
    explicit TKroEditorWidget(QWidget* Parent = nullptr, TKroController* Controller = nullptr,
                              const TEditorFactory& Factory = {});
    ~TKroEditorWidget() override;

    TKroCustomEditor& Editor() const { return *FEditor; }
    // The control as a text file editor (null when a factory made another kind).
    TKroCustomTextFileEditor* FileEditor() const;
    TKroController& Controller() const { return *FController; }
    // The client area: painting, mouse and the caret live there.
    QWidget* Viewport() const;
    QScrollBar* HorizontalBar() const { return FHBar; }
    QScrollBar* VerticalBar() const { return FVBar; }

    // The caret as drawn: its rectangle in the client area and whether it shows right now
    // (created, shown, on the window and in the visible half of its blink).
    QRect CaretRect() const;
    bool CaretDrawn() const;
    // How often the control was asked to paint (caret blinks and moves do not ask it).
    int ControlPaints() const { return FControlPaints; }

    // ---- IKroWindow
    bool HandleAllocated() const override { return true; }
    void SetStyle(bool HScroll, bool VScroll, bool Border) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    bool Focused() const override;
    bool CanFocus() const override;
    void SetFocus() override;
    void Invalidate(const TKroRect& R) override;
    void InvalidateAll() override;
    void Update() override;
    void ScrollRect(const TKroRect& Area, int Dx, int Dy) override;
    void SetRedraw(bool On) override;
    void SetScrollRange(TKroScrollBarKind Bar, int Min, int Max, bool Redraw) override;
    void SetScrollPos(TKroScrollBarKind Bar, int Pos, bool Redraw) override;
    void PostMessage(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) override;
    void ProcessMessages() override;
    void SetCapture() override { FCaptured = true; }
    void ReleaseCapture() override { FCaptured = false; }
    bool HasCapture() const override { return FCaptured; }
    TKroPoint PointerPos() const override { return {FPointer.x(), FPointer.y()}; }
    void SetCursor(TKroCursor Cursor) override;
    bool PrimaryButtonDown() const override { return FButtonDown; }
    TKroShiftState ShiftState() const override;
    IKroSurface& Canvas() override;
    IKroSystemCaret& SystemCaret() override { return *this; }

    // ---- IKroSystemCaret
    void Create(int Width, int Height, bool Gray) override;
    void CreateFromBitmap(const TKroBitmap& Bitmap) override;
    void Show() override;
    void Hide() override;
    void SetPos(int X, int Y) override;
    void Destroy() override;
    unsigned GetBlinkTime() override { return FBlinkTime; }
    void SetBlinkTime(unsigned Milliseconds) override;

    QSize sizeHint() const override { return {480, 320}; }
    QSize minimumSizeHint() const override { return {40, 30}; }

protected:
    bool event(QEvent* E) override;
    void keyPressEvent(QKeyEvent* E) override;
    void keyReleaseEvent(QKeyEvent* E) override;
    void focusInEvent(QFocusEvent* E) override;
    void focusOutEvent(QFocusEvent* E) override;
    void inputMethodEvent(QInputMethodEvent* E) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery Query) const override;
    void wheelEvent(QWheelEvent* E) override;
    void resizeEvent(QResizeEvent* E) override;
    void changeEvent(QEvent* E) override;

private:
    friend class TKroEditorViewport;

    // From the client area.
    void ViewportPaint(QPaintEvent* E);
    void EnsureBuffer();
    // Lets the control paint what it asked to repaint within Region into the buffer.
    void PaintControl(const QRegion& Region);
    void ViewportMousePress(QMouseEvent* E);
    void ViewportMouseRelease(QMouseEvent* E);
    void ViewportMouseDoubleClick(QMouseEvent* E);
    void ViewportMouseMove(QMouseEvent* E);

    void TypeText(const QString& Text);
    void TrackPointer(const QPointF& Pos, Qt::KeyboardModifiers Modifiers);
    void UpdateCursorShape();
    void Relayout();
    void ScrollAction(bool Vertical, int Action);
    void UpdatePageSteps();
    void CaretChanged(const QRect& Before);
    void RestartBlink();
    // Whether a key is the control's or the surrounding dialog's (Tab, arrows, Enter, Escape).
    bool KeyClaimed(const TKroKeyStroke& Stroke) const;

    std::unique_ptr<TKroController> FOwnController;
    TKroController* FController = nullptr;
    std::unique_ptr<TKroCustomEditor> FEditor;
    TKroEditorViewport* FViewport = nullptr;
    QScrollBar* FHBar = nullptr;
    QScrollBar* FVBar = nullptr;
    QWidget* FCorner = nullptr;
    std::unique_ptr<TKroQtSurface> FCanvas;
    // What the control painted, and the part of the client area it still has to paint.
    QImage FBuffer;
    QRegion FDirty;
    int FControlPaints = 0;
    int FCanvasDpi = 0;

    // Window style and scroll-bar visibility (a bar shows when the style has it and its range
    // is not empty).
    bool FStyleH = true;
    bool FStyleV = true;
    bool FShowH = false;
    bool FShowV = false;
    QSize FClientSize;
    bool FInPaint = false;
    bool FRelayoutQueued = false;

    // Pointer and modifiers as the latest input event left them.
    QPoint FPointer;
    Qt::KeyboardModifiers FModifiers;
    bool FButtonDown = false;
    bool FCaptured = false;
    int FWheelAngleY = 0;
    int FWheelAngleX = 0;

    // The caret.
    bool FCaretExists = false;
    bool FCaretShown = false;
    bool FCaretGray = false;
    QSize FCaretSize;
    QImage FCaretImage;
    QPoint FCaretPos{2147483647, 2147483647};
    bool FBlinkOn = true;
    unsigned FBlinkTime = 530;
    QTimer FBlinkTimer;
};
