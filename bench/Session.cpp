// Drives one editor through open, paint, paging, typing, search, wrap, undo, save and close.
#include "Session.h"

#include "EditorAdapter.h"
#include "Workload.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QKeyEvent>
#include <QWidget>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace zbench {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// VmRSS or VmHWM of this process, in bytes.
double ProcStatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0) return std::stod(line.substr(prefix.size())) * 1024.0;
    return 0;
}

void Result(const char* key, double value) {
    std::printf("result %s %.9g\n", key, value);
    std::fflush(stdout);
}
void Info(const char* key, const QString& text) {
    std::printf("info %s %s\n", key, qPrintable(text));
    std::fflush(stdout);
}
int errors = 0;
void Error(const QString& text) {
    std::printf("error %s\n", qPrintable(text));
    std::fflush(stdout);
    ++errors;
}

void Warn(const QString& text) {
    std::printf("warn %s\n", qPrintable(text));
    std::fflush(stdout);
}

// Delivers what the last action left pending: posted events, deferred deletes, repaints.
void Settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void PressKey(QWidget* target, int key, Qt::KeyboardModifiers mods, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(target, &release);
}

// Types up to `keys` keys, every `returnEvery`-th one Return, each followed by its repaint,
// and stops early when the budget is spent. Returns the number of keys typed.
int Type(QWidget* target, int keys, int returnEvery, double budget) {
    static const char kText[] = "lorem ipsum dolor sit amet consectetur ";
    const auto start = Clock::now();
    int i = 1;
    for (; i <= keys; ++i) {
        if (returnEvery > 0 && i % returnEvery == 0) {
            PressKey(target, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        } else {
            const char c = kText[(i - 1) % (sizeof kText - 1)];
            const int key = c == ' ' ? Qt::Key_Space : Qt::Key_A + (c - 'a');
            PressKey(target, key, Qt::NoModifier, QString(QLatin1Char(c)));
        }
        QCoreApplication::processEvents();
        if (SecondsSince(start) > budget) return i;
    }
    return keys;
}

// Counts the paint events the widgets receive, so a session can tell that typing repainted.
class PaintCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return QObject::eventFilter(watched, event);
    }
};

// True when the image holds more than one colour: something was drawn.
bool HasInk(const QImage& image) {
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first) return true;
    return false;
}

// Compares two files in pieces, so the check itself does not raise the peak.
bool SameFile(const QString& a, const QString& b) {
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly)) return false;
    if (fa.size() != fb.size()) return false;
    while (!fa.atEnd()) {
        if (fa.read(1 << 20) != fb.read(1 << 20)) return false;
    }
    return true;
}

} // namespace

int RunSession(const SessionOptions& options) {
    const EditorInfo* info = FindEditor(options.editor);
    if (!info) {
        Error(QStringLiteral("unknown editor %1").arg(QString::fromStdString(options.editor)));
        return 2;
    }
    const SessionShape& shape = options.shape;
    try {
        QFont font(QString::fromStdString(shape.fontFamily), shape.fontPoints);
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);

        std::unique_ptr<EditorAdapter> editor = info->make();
        editor->Create(font, QSize(shape.width, shape.height));
        Info("font", editor->FontInUse());
        PaintCounter paints;
        qApp->installEventFilter(&paints);
        QImage image(shape.width, shape.height, QImage::Format_ARGB32_Premultiplied);

        auto start = Clock::now();
        editor->Open(options.file);
        QCoreApplication::sendPostedEvents();
        Result("open", SecondsSince(start));
        Result("rss_open", ProcStatusBytes("VmRSS"));
        const qint64 openLength = editor->DocumentLength();
        Info("length", QString::number(openLength));

        QWidget* widget = editor->Widget();
        start = Clock::now();
        widget->render(&image);
        Result("first_paint", SecondsSince(start));
        if (!HasInk(image)) Error(QStringLiteral("the first paint drew nothing"));

        widget->show();
        widget->activateWindow();
        editor->KeyTarget()->setFocus();
        Settle();
        QWidget* keys = editor->KeyTarget();

        start = Clock::now();
        PressKey(keys, Qt::Key_End, Qt::ControlModifier);
        widget->render(&image);
        Result("end_paint", SecondsSince(start));
        Settle();
        const EditorAdapter::CaretPlace end = editor->Caret();
        if (!end.atEnd) Error(QStringLiteral("Ctrl+End did not reach the end"));

        PressKey(keys, Qt::Key_Home, Qt::ControlModifier);
        Settle();
        if (!editor->Caret().atStart) Error(QStringLiteral("Ctrl+Home did not reach the start"));
        int pages = 0;
        start = Clock::now();
        while (pages < shape.pages) {
            PressKey(keys, Qt::Key_PageDown, Qt::NoModifier);
            widget->render(&image);
            ++pages;
            if (SecondsSince(start) > shape.budgetSeconds) break;
        }
        Result("page_down", SecondsSince(start) / std::max(pages, 1));
        Result("pages", pages);
        Settle();
        // Unwrapped, every page down moves the caret at least one line, until the last.
        if (editor->Caret().line < std::min<qint64>(pages, end.line))
            Error(QStringLiteral("%1 page-downs moved the caret only to line %2")
                      .arg(pages)
                      .arg(editor->Caret().line + 1));

        PressKey(keys, Qt::Key_End, Qt::ControlModifier);
        Settle();
        if (!editor->Caret().atEnd) Error(QStringLiteral("Ctrl+End did not reach the end"));
        paints.count = 0;
        start = Clock::now();
        int typed = Type(keys, shape.keys, shape.returnEvery, shape.budgetSeconds);
        Result("type_end", SecondsSince(start) / std::max(typed, 1));
        Result("keys_end", typed);
        if (typed > 0 && paints.count == 0) Error(QStringLiteral("typing did not repaint"));
        Settle();
        const qint64 afterEnd = editor->DocumentLength();
        if (shape.keys > 0 && afterEnd <= openLength)
            Error(QStringLiteral("typing at the end changed nothing"));

        editor->PlaceCaretInMiddle();
        Settle();
        const int typedEnd = typed;
        start = Clock::now();
        typed = Type(keys, shape.keys, shape.returnEvery, shape.budgetSeconds);
        Result("type_middle", SecondsSince(start) / std::max(typed, 1));
        Result("keys_middle", typed);
        Settle();
        if (shape.keys > 0 && editor->DocumentLength() <= afterEnd)
            Error(QStringLiteral("typing in the middle changed nothing"));

        const QString absent = QString::fromLatin1(kAbsentPattern);
        for (bool caseSensitive : {true, false}) {
            PressKey(keys, Qt::Key_Home, Qt::ControlModifier);
            Settle();
            if (!editor->Caret().atStart)
                Error(QStringLiteral("Ctrl+Home did not reach the start"));
            start = Clock::now();
            const bool found = editor->Find(absent, caseSensitive);
            Result(caseSensitive ? "search_cs" : "search_ci", SecondsSince(start));
            if (found) Error(QStringLiteral("the search found the absent text"));
            Settle();
        }
        // Not finding proves little unless the same search finds what is there: the typing
        // began with "lorem ipsum", which only a search that ignores case finds in capitals.
        if (std::min(typedEnd, typed) >= 11) {
            for (bool caseSensitive : {true, false}) {
                PressKey(keys, Qt::Key_Home, Qt::ControlModifier);
                Settle();
                if (editor->Find(QStringLiteral("LOREM IPSUM"), caseSensitive) == caseSensitive)
                    Error(caseSensitive
                              ? QStringLiteral("the case-sensitive search ignored the case")
                              : QStringLiteral("the search missed the typed text"));
                Settle();
            }
            // Searching on from each match reaches the typing at the end, below the last line
            // the document had when it opened: the search goes through the whole text.
            qint64 last = editor->Caret().line;
            for (int i = 0; i < 1000 && editor->Find(QStringLiteral("LOREM IPSUM"), false); ++i)
                last = editor->Caret().line;
            Settle();
            if (last < end.line)
                Error(QStringLiteral("searching on stopped at line %1, before the typing at the "
                                     "end (line %2 or later)")
                          .arg(last + 1)
                          .arg(end.line + 1));
            // Back at the top, where the timed searches left the caret.
            PressKey(keys, Qt::Key_Home, Qt::ControlModifier);
            Settle();
        }

        const qint64 unwrapped = editor->DisplayLines();
        for (bool on : {true, false}) {
            start = Clock::now();
            editor->SetWrap(on, shape.wrapColumn);
            widget->render(&image);
            Result(on ? "wrap_on" : "wrap_off", SecondsSince(start));
            Settle();
            // Every text has lines longer than the wrap column, so wrapping adds lines and
            // unwrapping gives the same count back.
            const qint64 lines = editor->DisplayLines();
            if (unwrapped >= 0 && on && lines <= unwrapped)
                Error(QStringLiteral("word wrap at column %1 left %2 display lines")
                          .arg(shape.wrapColumn)
                          .arg(lines));
            if (unwrapped >= 0 && !on && lines != unwrapped)
                Error(QStringLiteral("word wrap off left %1 display lines, not %2")
                          .arg(lines)
                          .arg(unwrapped));
        }

        int steps = 0;
        start = Clock::now();
        while (editor->CanUndo() && steps < 1000000) {
            editor->Undo();
            ++steps;
        }
        widget->render(&image);
        Result("undo", SecondsSince(start));
        Info("undo_steps", QString::number(steps));
        Settle();
        // An editor may keep fewer undo steps than the typing made; that is reported, not failed,
        // and the saved copy then cannot match the file.
        const qint64 leftOver = editor->DocumentLength() - openLength;
        if (leftOver != 0)
            Warn(QStringLiteral("undo stopped with %1 characters of the typing still in the "
                                "document (no more undo steps were kept)")
                     .arg(leftOver));

        const QString saved = QStringLiteral("%1/saved-%2-%3.txt")
                                  .arg(options.workDir, QString::fromStdString(info->key))
                                  .arg(::getpid());
        start = Clock::now();
        editor->Save(saved);
        Result("save", SecondsSince(start));

        start = Clock::now();
        editor->Close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Result("close", SecondsSince(start));
        Result("rss_peak", ProcStatusBytes("VmHWM"));
        editor.reset();

        if (leftOver == 0 && !SameFile(saved, options.file))
            Error(QStringLiteral("the saved file differs from the file opened"));
        QFile::remove(saved);
    } catch (const std::exception& e) {
        Error(QString::fromUtf8(e.what()));
        return 1;
    }
    return errors == 0 ? 0 : 1;
}

} // namespace zbench
