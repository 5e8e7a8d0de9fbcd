// editor-demo FILE: one editor control with the "Default" key table, its status in a status bar.
#include "EditorWidget.h"
#include "QtPlatform.h"

#include "Controller.h"
#include "KroExceptions.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include <cstdio>
#include <exception>

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
        // Opening as the application does: the name, then the open flag, which loads.
        TKroCustomTextFileEditor& File = *Editor->FileEditor();
        try {
            File.SetFileName(Args[1].toStdString());
            File.SetIsOpen(true);
        } catch (const std::exception& E) {
            std::fprintf(stderr, "editor-demo: %s: %s\n", qPrintable(Args[1]), E.what());
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
