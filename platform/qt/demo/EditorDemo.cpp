// editor-demo FILE: one editor control with the "Default" key table, its status in a status bar.
#include "EditorWidget.h"
#include "QtPlatform.h"

#include "Controller.h"
#include "KroExceptions.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

#include <cstdio>
#include <exception>

namespace {
// Saves under the editor's file name, asking for one when the document is untitled. False when
// the user cancelled or the save failed (the failure is shown; the text stays modified).
bool SaveDocument(QWidget* Parent, TKroCustomTextFileEditor& File) {
    std::string Name = File.FileName();
    if (Name.empty()) {
        const QString Chosen = QFileDialog::getSaveFileName(Parent, QStringLiteral("Save as"));
        if (Chosen.isEmpty()) return false;
        Name = Chosen.toStdString();
    }
    try {
        File.SaveToFile(Name);
        File.SetFileName(Name);
    } catch (const std::exception& E) {
        QMessageBox::critical(Parent, QStringLiteral("editor-demo"),
                              QString::fromLocal8Bit(E.what()));
        return false;
    }
    return true;
}

// The demo's window: closing asks before modified text is thrown away.
class TDemoWindow : public QMainWindow {
public:
    TKroCustomTextFileEditor* File = nullptr;

protected:
    void closeEvent(QCloseEvent* Event) override {
        if (File && File->Modified()) {
            const auto Answer = QMessageBox::question(
                this, QStringLiteral("editor-demo"), QStringLiteral("Save changes?"),
                QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
            if (Answer == QMessageBox::Cancel ||
                (Answer == QMessageBox::Save && !SaveDocument(this, *File))) {
                Event->ignore();
                return;
            }
        }
        Event->accept();
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication App(argc, argv);
    QApplication::setApplicationName(QStringLiteral("editor-demo"));
    TKroQtPlatform Platform;
    KroSetPlatform(&Platform);

    TDemoWindow Window;
    auto* Editor = new TKroEditorWidget(&Window);
    Window.setCentralWidget(Editor);
    Window.File = Editor->FileEditor();
    QAction* Save =
        Window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("&Save"));
    Save->setShortcut(QKeySequence::Save);
    QObject::connect(Save, &QAction::triggered, &Window,
                     [&Window] { SaveDocument(&Window, *Window.File); });
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
