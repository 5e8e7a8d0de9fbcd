// editor-demo FILE: one editor control with the "Default" key table, its status in a status bar.
#include "EditorWidget.h"
#include "QtPlatform.h"

#include "Controller.h"
#include "KroExceptions.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include <cstdio>
#include <string>

namespace {

// Reads FileName into the control, one paragraph a line (CR LF, LF or CR ends a line).
bool LoadInto(TKroCustomEditor& Editor, const QString& FileName) {
    QFile F(FileName);
    if (!F.open(QIODevice::ReadOnly)) return false;
    const QByteArray Bytes = F.readAll();
    Editor.ClearText(false);
    qsizetype Start = 0;
    for (qsizetype I = 0; I <= Bytes.size(); ++I) {
        if (I < Bytes.size() && Bytes[I] != '\r' && Bytes[I] != '\n') continue;
        if (I == Bytes.size() && Start == I) break;
        Editor.AppendText(std::string_view(Bytes.constData() + Start, std::size_t(I - Start)));
        if (I + 1 < Bytes.size() && Bytes[I] == '\r' && Bytes[I + 1] == '\n') ++I;
        Start = I + 1;
    }
    Editor.SetModified(false);
    Editor.SetCaretPosition(1, 1);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication App(argc, argv);
    QApplication::setApplicationName(QStringLiteral("editor-demo"));
    TKroQtPlatform Platform;
    KroSetPlatform(&Platform);

    QMainWindow Window;
    auto* Editor = new TKroEditorWidget(&Window);
    Window.setCentralWidget(Editor);
    auto* Status = new QLabel(&Window);
    Window.statusBar()->addWidget(Status);

    TKroCustomEditor& Ed = Editor->Editor();
    // As the application's main window has it: Tab types, the overwrite caret is a block.
    Ed.SetWantTab(true);
    Ed.OnShowStatus = [Status](TKroCustomEditor& Sender, std::int32_t Line, std::int32_t Col) {
        Status->setText(
            QStringLiteral("Line %1   Col %2   %3   %4")
                .arg(Line)
                .arg(Col)
                .arg(Sender.InsertMode() ? QStringLiteral("Insert") : QStringLiteral("Overwrite"))
                .arg(Sender.Modified() ? QStringLiteral("Modified") : QString()));
    };

    const QStringList Args = App.arguments();
    if (Args.size() > 1) {
        if (!LoadInto(Ed, Args[1])) {
            std::fprintf(stderr, "editor-demo: cannot read %s\n", qPrintable(Args[1]));
            return 1;
        }
        Window.setWindowTitle(QStringLiteral("editor-demo: ") + Args[1]);
    } else {
        Window.setWindowTitle(QStringLiteral("editor-demo"));
    }
    Window.resize(800, 600);
    Window.show();
    Editor->setFocus();
    return App.exec();
}
