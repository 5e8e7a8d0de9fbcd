// The Qt test rig: application, recording platform, synthetic key and mouse events.
#include "QtRig.h"

#include <QKeyEvent>
#include <QMouseEvent>

QApplication& KroTestApp() {
    static int Argc = 1;
    static char Name[] = "qt_tests";
    static char* Argv[] = {Name, nullptr};
    static QApplication* App = new QApplication(Argc, Argv);
    return *App;
}

TQtPlatformRig::TQtPlatformRig() {
    KroTestApp();
    Previous = KroPlatform();
    KroSetPlatform(&Platform);
}

TQtPlatformRig::~TQtPlatformRig() {
    KroSetPlatform(Previous);
}

TWidgetRig::TWidgetRig(int Width, int Height) {
    Widget = std::make_unique<TKroEditorWidget>();
    Widget->resize(Width, Height);
    Widget->show();
    Widget->activateWindow();
    Widget->setFocus();
    Settle();
}

void TWidgetRig::Key(int QtKey, Qt::KeyboardModifiers Mods, const QString& Text, quint32 ScanCode) {
    QKeyEvent Press(QEvent::KeyPress, QtKey, Mods, ScanCode, 0, 0, Text);
    QApplication::sendEvent(Widget.get(), &Press);
    QKeyEvent Release(QEvent::KeyRelease, QtKey, Mods, ScanCode, 0, 0, Text);
    QApplication::sendEvent(Widget.get(), &Release);
}

void TWidgetRig::Type(const QString& Text) {
    // Qt names a letter key by its capital; other keys by the character they type.
    for (QChar C : Text)
        Key(int(C.toUpper().unicode()), C.isUpper() ? Qt::ShiftModifier : Qt::NoModifier,
            QString(C));
}

void TWidgetRig::Click(QPoint At, Qt::KeyboardModifiers Mods) {
    QWidget* V = Widget->Viewport();
    const QPointF P(At);
    const QPointF G(V->mapToGlobal(At));
    QCoreApplication::postEvent(
        V, new QMouseEvent(QEvent::MouseButtonRelease, P, G, Qt::LeftButton, Qt::NoButton, Mods));
    QMouseEvent Press(QEvent::MouseButtonPress, P, G, Qt::LeftButton, Qt::LeftButton, Mods);
    QApplication::sendEvent(V, &Press);
    Settle();
}

void TWidgetRig::DoubleClick(QPoint At) {
    Click(At);
    QWidget* V = Widget->Viewport();
    const QPointF P(At);
    const QPointF G(V->mapToGlobal(At));
    QMouseEvent Double(QEvent::MouseButtonDblClick, P, G, Qt::LeftButton, Qt::LeftButton,
                       Qt::NoModifier);
    QApplication::sendEvent(V, &Double);
    QMouseEvent Release(QEvent::MouseButtonRelease, P, G, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(V, &Release);
    Settle();
}

void TWidgetRig::MoveTo(QPoint At) {
    QWidget* V = Widget->Viewport();
    QMouseEvent Move(QEvent::MouseMove, QPointF(At), QPointF(V->mapToGlobal(At)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(V, &Move);
}

void TWidgetRig::Settle() {
    for (int I = 0; I < 5; ++I)
        QCoreApplication::processEvents();
}

std::string TWidgetRig::Text() {
    std::string Out;
    for (int32_t P = 1; P <= Ed().ParaList().ParaCount(); ++P) {
        int32_t Len = 0;
        const char* T = Ed().GetPara(P, Len);
        if (P > 1) Out += '\n';
        Out.append(T, std::size_t(Len));
    }
    return Out;
}
